#pragma once

#include "oraldrill.h"

#include <QWidget>

class QLabel;
class QPushButton;
class QTreeWidget;

// The end of a drill: how it went, the questions not known with their
// documents, and a drill of those at once.
class OralEndPage : public QWidget
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(OralEndPage)

public:
    explicit OralEndPage(QWidget *parent = nullptr);

    void showResult(const OralDrill::Session &session);
    QString summary() const;
    QTreeWidget *notKnownList() const { return m_list; }

signals:
    // "Powtórz nieznane".
    void repeatRequested();
    // "Zakończ".
    void finishRequested();

protected:
    void keyPressEvent(QKeyEvent *event) override;

private:
    QLabel *m_summary;
    QTreeWidget *m_list;
    QPushButton *m_repeat;
    QPushButton *m_finish;
};
