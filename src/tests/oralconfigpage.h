#pragma once

#include <QList>
#include <QMap>
#include <QWidget>

class QCheckBox;
class QPushButton;
class QSpinBox;
class QToolButton;

// The oral drill's configuration: the position whose questions come first,
// the sections to draw from and how many questions a drill asks.
class OralConfigPage : public QWidget
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(OralConfigPage)

public:
    explicit OralConfigPage(QWidget *parent = nullptr);

    // 'D' or 'E'.
    QChar variant() const;
    // The codes of the chosen sections, ascending.
    QList<int> sections() const;
    int count() const;
    // Shows how many open questions each section holds.
    void setAvailable(const QMap<int, int> &counts);

public slots:
    void selectAll();
    void selectNone();
    void invertSelection();

signals:
    void startRequested();

protected:
    void keyPressEvent(QKeyEvent *event) override;

private:
    QToolButton *m_d;
    QToolButton *m_e;
    QList<QCheckBox *> m_sections;
    QSpinBox *m_count;
    QPushButton *m_start;
};
