#pragma once

#include "answerpage.h"
#include "history.h"
#include "testset.h"

#include <QObject>

#include <functional>

class ResultPage;

// Takes a drawn test from its first question to its result and back: moving
// through the questions, answering, finishing, reviewing, repeating. One
// runner per mode; the main window wires it to its pages and the tree.
class TestRunner : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(TestRunner)

public:
    struct Hooks
    {
        // Shows a page of the page set by its name.
        std::function<void(const QString &)> showPage;
        // Runs the tree's selection handling again for its current node, if any.
        std::function<void()> reselectTreeNode;
        // Shows a library document through the tree, as if its node were chosen.
        std::function<void(int itemId)> showDocument;
    };

    TestRunner(const TestMode &mode, AnswerPage *answerPage, ResultPage *resultPage, Hooks hooks,
               QObject *parent = nullptr);

    const TestMode &mode() const { return m_mode; }
    int step() const { return m_step; }
    void setStep(int step) { m_step = step; }
    int questionNo() const { return m_questionNo; }
    TestSet &set() { return m_set; }
    AnswerPage *answerPage() const { return m_answerPage; }
    ResultPage *resultPage() const { return m_resultPage; }
    AnswerPage::Stage stage() const;
    // What the set in the table is, as the history records it.
    History::Kind kind() const { return m_kind; }

    // Before a draw: the set and the question display close.
    void closeSet();
    // After a draw: the set opens on question 1 for answering. A set
    // without rows cannot be taken: the user is told and the configuration
    // page stays.
    void openDrawnSet();
    void openDrawnSet(History::Kind kind);
    void goToQuestion(int k);
    // The page-change handling's part for the answering page.
    void preparePage();

    // Handlers of the answering page and the result page.
    void JvSB_PrevQuestionClick() { move(-1); }
    void JvSB_NextQuestionClick() { move(+1); }
    void JvSB_ABCClick();
    void P_ABCClick(const QString &letter);
    void JvSB_TestFinishClick();
    void JvSB_TestCancelClick();
    void JvSB_TestSummaryClick();
    void BB_Test_2_LookClick();
    void BB_Test_2_NewTestClick();
    void BB_Test_2_AgainClick();
    void BB_Test_2_FinishClick();

    // Keys of the answering page: letters answer, arrows move.
    bool handleKey(int key);

    // The set left unfinished in the table, by an earlier run of the program
    // or by leaving the test for the library; none once the user has given
    // the test up (cancelled, ended or started anew). Errors show and read as none.
    std::optional<Scoring::Progress> interruptedTest();
    // Opens the unfinished set for answering on its first unanswered question.
    void resumeInterruptedTest();

private:
    void move(int delta);
    void FST_TestZestawAfterScroll();
    void ShowQuestionState();
    void updateQuestionMap();
    void giveUp();
    void recordInHistory(const Scoring::Result &result);
    bool confirmEnd();
    QWidget *dialogParent() const;

    const TestMode &m_mode;
    AnswerPage *m_answerPage;
    ResultPage *m_resultPage;
    Hooks m_hooks;
    TestSet m_set;
    int m_step = 0;
    int m_questionNo = 1;
    // The set in the table was given up in this run; it is not offered again.
    bool m_givenUp = false;
    History::Kind m_kind;
};
