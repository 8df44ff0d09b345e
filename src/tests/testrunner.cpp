#include "testrunner.h"

#include "data/database.h"
#include "explanationpanel.h"
#include "questionmap.h"
#include "resultpage.h"
#include "toolkit/messageboxes.h"

#include <QKeyEvent>

namespace {

const QString LineBreak = QStringLiteral("\r\n");

History::Kind defaultKind(const TestMode &mode)
{
    return mode.table == TestMode::exam().table ? History::Kind::Exam : History::Kind::Thematic;
}

} // namespace

TestRunner::TestRunner(const TestMode &mode, AnswerPage *answerPage, ResultPage *resultPage, Hooks hooks,
                       QObject *parent)
    : QObject(parent), m_mode(mode), m_answerPage(answerPage), m_resultPage(resultPage),
      m_hooks(std::move(hooks)), m_set(mode.table), m_kind(defaultKind(mode))
{
    connect(answerPage, &AnswerPage::previousRequested, this, &TestRunner::JvSB_PrevQuestionClick);
    connect(answerPage, &AnswerPage::nextRequested, this, &TestRunner::JvSB_NextQuestionClick);
    connect(answerPage, &AnswerPage::answerClicked, this, &TestRunner::JvSB_ABCClick);
    connect(answerPage, &AnswerPage::letterPanelClicked, this, &TestRunner::P_ABCClick);
    connect(answerPage, &AnswerPage::finishRequested, this, &TestRunner::JvSB_TestFinishClick);
    connect(answerPage, &AnswerPage::cancelRequested, this, &TestRunner::JvSB_TestCancelClick);
    connect(answerPage, &AnswerPage::summaryRequested, this, &TestRunner::JvSB_TestSummaryClick);
    connect(resultPage, &ResultPage::reviewRequested, this, &TestRunner::BB_Test_2_LookClick);
    connect(resultPage, &ResultPage::newTestRequested, this, &TestRunner::BB_Test_2_NewTestClick);
    connect(resultPage, &ResultPage::repeatRequested, this, &TestRunner::BB_Test_2_AgainClick);
    connect(resultPage, &ResultPage::endRequested, this, &TestRunner::BB_Test_2_FinishClick);
    connect(answerPage, &AnswerPage::questionRequested, this, [this](int k) {
        if (stage() != AnswerPage::Stage::Other)
            goToQuestion(k);
    });
    answerPage->setKeyHandler([this](int key) { return handleKey(key); });
    connect(answerPage->explanationPanel(), &ExplanationPanel::documentRequested, this, [this](int itemId) {
        if (m_hooks.showDocument)
            m_hooks.showDocument(itemId);
    });
}

QWidget *TestRunner::dialogParent() const
{
    return m_answerPage->window();
}

AnswerPage::Stage TestRunner::stage() const
{
    if (m_step == m_mode.answeringStep)
        return AnswerPage::Stage::Answering;
    if (m_step == m_mode.reviewStep)
        return AnswerPage::Stage::Review;
    return AnswerPage::Stage::Other;
}

void TestRunner::closeSet()
{
    m_set.close();
    m_answerPage->clearQuestion();
}

void TestRunner::openDrawnSet()
{
    openDrawnSet(defaultKind(m_mode));
}

void TestRunner::openDrawnSet(History::Kind kind)
{
    m_kind = kind;
    runGuarded(dialogParent(), [this] { m_set.open(Database::connection()); });
    if (m_set.rowCount() == 0) {
        MessageBoxes::information(dialogParent(), QStringLiteral("Brak pytań"),
                                  QStringLiteral("Wylosowany zestaw nie zawiera żadnego pytania: w bazie "
                                                 "nie ma pytań z wybranych działów.") + LineBreak
                                          + QStringLiteral("Zmień ustawienia testu i spróbuj ponownie."));
        m_step = 0;
        m_hooks.showPage(m_mode.configurationPage);
        return;
    }
    m_step = m_mode.answeringStep;
    m_questionNo = 1;
    m_givenUp = false;
    m_hooks.showPage(m_mode.answeringPage);
    preparePage();
    goToQuestion(m_questionNo);
}

std::optional<Scoring::Progress> TestRunner::interruptedTest()
{
    if (m_givenUp || m_step != 0)
        return std::nullopt;
    std::optional<Scoring::Progress> found;
    runGuarded(dialogParent(), [&] {
        const Scoring::Progress progress = Scoring::progress(Database::connection(), m_mode.table);
        if (progress.isInterrupted())
            found = progress;
    });
    return found;
}

void TestRunner::resumeInterruptedTest()
{
    runGuarded(dialogParent(), [this] {
        const QSqlDatabase db = Database::connection();
        m_set.open(db);
        const std::optional<int> unanswered = Scoring::firstUnanswered(db, m_mode.table);
        if (m_set.rowCount() == 0 || !unanswered)
            return;
        m_step = m_mode.answeringStep;
        m_hooks.showPage(m_mode.answeringPage);
        preparePage();
        goToQuestion(*unanswered);
    });
}

void TestRunner::goToQuestion(int k)
{
    m_questionNo = k;
    if (m_set.locate(k))
        FST_TestZestawAfterScroll();
}

void TestRunner::move(int delta)
{
    goToQuestion(m_questionNo + delta);
}

void TestRunner::FST_TestZestawAfterScroll()
{
    const int n = m_set.rowCount();
    m_answerPage->setMoves(m_questionNo > 1, m_questionNo < n);
    ShowQuestionState();
    if (const SetRow *row = m_set.current()) {
        runGuarded(dialogParent(), [&] {
            m_answerPage->showQuestion(loadQuestion(Database::connection(), row->idPytanie));
            m_answerPage->explanationPanel()->showExplanation(
                    stage() == AnswerPage::Stage::Review ? loadExplanation(Database::connection(), row->idPytanie)
                                                         : std::nullopt);
        });
    }
}

void TestRunner::ShowQuestionState()
{
    m_answerPage->ShowQuestionState(m_set.current(), m_set.rowCount(), stage());
    updateQuestionMap();
}

void TestRunner::updateQuestionMap()
{
    const bool review = stage() == AnswerPage::Stage::Review;
    QList<QuestionMap::Cell> cells;
    cells.reserve(m_set.rowCount());
    for (const SetRow &row : m_set.rows()) {
        if (review)
            cells.append(row.given == row.correct ? QuestionMap::Cell::Right
                                                  : QuestionMap::Cell::Wrong);
        else
            cells.append(row.isAnswered() ? QuestionMap::Cell::Answered
                                          : QuestionMap::Cell::Unanswered);
    }
    const SetRow *current = m_set.current();
    m_answerPage->questionMap()->setCells(
        cells, current ? int(current - m_set.rows().constData()) + 1 : 0);
}

void TestRunner::giveUp()
{
    m_step = 0;
    m_questionNo = 1;
    m_givenUp = true;
}

void TestRunner::preparePage()
{
    m_answerPage->prepare(stage());
}

void TestRunner::JvSB_ABCClick()
{
    const QString letter = m_answerPage->pressedLetter();
    if (!letter.isEmpty())
        runGuarded(dialogParent(), [&] { m_set.postAnswer(Database::connection(), letter); });
    ShowQuestionState();
}

void TestRunner::P_ABCClick(const QString &letter)
{
    if (stage() != AnswerPage::Stage::Answering)
        return;
    m_answerPage->press(letter);
    JvSB_ABCClick();
}

bool TestRunner::handleKey(int key)
{
    const AnswerPage::Stage current = stage();
    if (current == AnswerPage::Stage::Other || !m_set.current())
        return false;
    const auto letterOf = [](int k) -> QString {
        switch (k) {
        case Qt::Key_A: case Qt::Key_1: return QStringLiteral("A");
        case Qt::Key_B: case Qt::Key_2: return QStringLiteral("B");
        case Qt::Key_C: case Qt::Key_3: return QStringLiteral("C");
        default: return {};
        }
    };
    if (const QString letter = letterOf(key); !letter.isEmpty()) {
        P_ABCClick(letter);
        return current == AnswerPage::Stage::Answering;
    }
    if ((key == Qt::Key_Left || key == Qt::Key_PageUp) && m_questionNo > 1) {
        move(-1);
        return true;
    }
    if ((key == Qt::Key_Right || key == Qt::Key_PageDown) && m_questionNo < m_set.rowCount()) {
        move(+1);
        return true;
    }
    if (key == Qt::Key_Home || key == Qt::Key_End) {
        goToQuestion(key == Qt::Key_Home ? 1 : m_set.rowCount());
        return true;
    }
    return false;
}

void TestRunner::JvSB_TestFinishClick()
{
    std::optional<Scoring::Result> scored;
    runGuarded(dialogParent(), [this, &scored] {
        const QSqlDatabase db = Database::connection();
        // The set is read again, so that what is shown from now on is what is scored.
        m_set.open(db);
        if (const std::optional<int> unanswered = Scoring::firstUnanswered(db, m_mode.table)) {
            goToQuestion(*unanswered);
            MessageBoxes::warning(dialogParent(), QStringLiteral("Zakończenie testu niemożliwe"),
                                  QStringLiteral("Nie można zakończyć testu.") + LineBreak
                                          + QStringLiteral("Nie wybrano odpowiedzi na wszystkie pytania.") + LineBreak
                                          + QStringLiteral("Uzupełnij brakujące odpowiedzi!"));
            return;
        }
        const std::optional<Scoring::Result> result = Scoring::score(db, m_mode.table);
        if (!result) {
            MessageBoxes::information(dialogParent(), QStringLiteral("Brak pytań"),
                                      QStringLiteral("Zestaw nie zawiera żadnego pytania, więc nie ma czego ocenić."));
            return;
        }
        m_resultPage->showResult(*result);
        m_step = m_mode.resultStep;
        m_hooks.showPage(m_mode.resultPage);
        scored = result;
    });
    // Once the result is on the page: a failure to record it hides nothing.
    if (scored)
        recordInHistory(*scored);
}

void TestRunner::recordInHistory(const Scoring::Result &result)
{
    runGuarded(dialogParent(), [&] { History::record(Database::connection(), m_mode.table, m_kind, result); });
}

void TestRunner::JvSB_TestCancelClick()
{
    if (!MessageBoxes::question(dialogParent(), QStringLiteral("Potwierdzenie anulowania testu"),
                                QStringLiteral("Czy chcesz anulować rozwiązywanie testu?") + LineBreak
                                        + QStringLiteral("Wszystkie dotychczas wprowadzone dane zostaną utracone!")))
        return;
    giveUp();
    m_hooks.reselectTreeNode();
}

void TestRunner::JvSB_TestSummaryClick()
{
    m_step = m_mode.resultStep;
    m_hooks.showPage(m_mode.resultPage);
}

void TestRunner::BB_Test_2_LookClick()
{
    m_step = m_mode.reviewStep;
    m_questionNo = 1;
    goToQuestion(1);
    m_hooks.showPage(m_mode.answeringPage);
    preparePage();
}

bool TestRunner::confirmEnd()
{
    return MessageBoxes::question(dialogParent(), QStringLiteral("Potwierdzenie zakończenia testu"),
                                  QStringLiteral("Czy chcesz zakończyć rozwiązywanie testu?") + LineBreak
                                          + QStringLiteral("Wszystkie dotychczas wprowadzone dane zostaną utracone!"));
}

void TestRunner::BB_Test_2_NewTestClick()
{
    if (!confirmEnd())
        return;
    giveUp();
    m_hooks.showPage(m_mode.configurationPage);
}

void TestRunner::BB_Test_2_AgainClick()
{
    if (!confirmEnd())
        return;
    runGuarded(dialogParent(), [this] {
        Scoring::clearAnswers(Database::connection(), m_mode.table);
        // The set's rows now carry the blanks too.
        m_set.open(Database::connection());
        m_questionNo = 1;
        m_step = m_mode.answeringStep;
        goToQuestion(1);
        m_hooks.showPage(m_mode.answeringPage);
        preparePage();
    });
}

void TestRunner::BB_Test_2_FinishClick()
{
    if (!confirmEnd())
        return;
    giveUp();
    m_hooks.reselectTreeNode();
}
