#pragma once

#include "oraldrill.h"

#include <QWidget>

class QFrame;
class QLabel;
class QPushButton;

// One open question of a drill at a time: the question, the model answer
// once revealed, and the learner's own judgement, all from the keyboard.
class OralDrillPage : public QWidget
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(OralDrillPage)

public:
    explicit OralDrillPage(QWidget *parent = nullptr);

    // Shows the question, the answer hidden; position counts from 1. The note,
    // when there is one, stands above the question.
    void showQuestion(const OralDrill::Question &question, int position, int total,
                      const QString &note = {});
    bool isRevealed() const;
    QString progressText() const;
    QString questionText() const;
    QString answerText() const;
    // The link's caption; empty when the question's document is not in the library.
    QString documentLink() const;

public slots:
    void reveal();

signals:
    void judged(OralDrill::Judgement judgement);
    void skipped();
    void documentRequested(int itemId);

protected:
    void keyPressEvent(QKeyEvent *event) override;

private:
    QLabel *m_progress;
    QLabel *m_note;
    QLabel *m_documentLabel;
    QPushButton *m_document;
    QLabel *m_question;
    QFrame *m_answerPanel;
    QLabel *m_answer;
    QPushButton *m_reveal;
    QPushButton *m_known;
    QPushButton *m_notKnown;
    QPushButton *m_skip;
    int m_itemId = 0;
};
