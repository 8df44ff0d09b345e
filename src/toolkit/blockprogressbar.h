#pragma once

#include <QColor>
#include <QWidget>

// A progress bar of separate blocks whose colour shades from one end of the
// bar to the other; only the blocks up to the position are drawn.
class BlockProgressBar : public QWidget
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(BlockProgressBar)

public:
    explicit BlockProgressBar(QWidget *parent = nullptr);

    int minimum() const { return m_minimum; }
    int maximum() const { return m_maximum; }
    int position() const { return m_position; }
    void setRange(int minimum, int maximum);
    void setPosition(int position);
    void setColors(const QColor &start, const QColor &end);

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    int m_minimum = 0;
    int m_maximum = 100;
    int m_position = 0;
    QColor m_start = Qt::white;
    QColor m_end = Qt::blue;
};
