#pragma once

#include <QTimer>
#include <QWidget>

// A ring of dots with a bright head that moves round while the widget is
// shown: the sign that a long operation is still at work.
class BusyIndicator : public QWidget
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(BusyIndicator)

public:
    explicit BusyIndicator(QWidget *parent = nullptr);

    static constexpr int DotCount = 12;

    // The dot the head is on, 0 .. DotCount - 1; it advances with every tick.
    int step() const { return m_step; }
    bool isAnimating() const { return m_timer.isActive(); }

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    void paintEvent(QPaintEvent *event) override;
    void showEvent(QShowEvent *event) override;
    void hideEvent(QHideEvent *event) override;

private:
    void advance();

    QTimer m_timer;
    int m_step = 0;
};
