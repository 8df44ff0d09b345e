#include "regulations/qmx_tree.h"
#include "mainwindowfixture.h"
#include "shell/form_main.h"
#include "tests/answerpage.h"
#include "tests/questionmap.h"
#include "tests/resultpage.h"
#include "tests/resumeoffer.h"
#include "tests/testrunner.h"
#include "tests/thematicconfigpage.h"
#include "toolkit/frameanimation.h"
#include "toolkit/zoomlevel.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QSplitterHandle>
#include <QSqlQuery>
#include <QTextBlock>
#include <QTextEdit>
#include <QTest>
#include <QToolButton>
#include <QTreeWidget>
#include <QWheelEvent>

using namespace Qt::StringLiterals;

namespace {

const QList<int> Codes = {1,  3,  4,  5,  6,  7,  8,  9,  10, 11, 12, 13, 14, 15, 16,
                          17, 18, 19, 21, 22, 23, 24, 25, 27, 28, 29, 30, 31, 32};

bool fillDatabase(TestDatabase &db, int perCode)
{
    if (!db.exec({u"INSERT INTO tree VALUES (1, NULL, 0, 'Regulacje prawne', NULL, 0, 1)"_s,
                  u"INSERT INTO tree VALUES (2, NULL, 0, 'Regulamin i tryb nadawania uprawnień', NULL, 1, 2)"_s,
                  u"INSERT INTO tree VALUES (3, NULL, 0, 'Wiedza techniczna', NULL, 3, 3)"_s,
                  u"INSERT INTO tree VALUES (4, NULL, 0, 'Testy', NULL, 4, 4)"_s,
                  u"INSERT INTO tree VALUES (11, 1, 1, 'Prawo energetyczne', NULL, 0, 1)"_s,
                  u"INSERT INTO tree VALUES (12, 1, 1, 'Rozporządzenie', NULL, 0, 2)"_s,
                  u"INSERT INTO tree_documents VALUES (11, CAST('{\\rtf1\\fs24 Ustawa\\par}' AS BLOB))"_s,
                  u"INSERT INTO tree_documents VALUES (12, CAST('{\\rtf1 Akt\\par}' AS BLOB))"_s,
                  u"INSERT INTO tree VALUES (41, 4, 2, 'Test egzaminacyjny', NULL, 3, 1)"_s,
                  u"INSERT INTO tree VALUES (42, 4, 3, 'Test tematyczny', NULL, 3, 2)"_s}))
        return false;
    QSqlQuery insert(db.database());
    insert.prepare(u"INSERT INTO test_pytania VALUES (?, ?, ?, ?, ?, ?, ?)"_s);
    for (int code : Codes) {
        for (int i = 1; i <= perCode; ++i) {
            const int id = code * 100 + i;
            insert.addBindValue(id);
            insert.addBindValue(QByteArray(QByteArray("{\\rtf1 Pytanie ") + QByteArray::number(id) + "\\par}"));
            for (const char *letter : {"A", "B", "C"})
                insert.addBindValue(QStringLiteral("{\\rtf1\\ansi\\ansicpg1250 Odpowied\\'9f %1}").arg(QLatin1String(letter)));
            insert.addBindValue(QStringLiteral("ABC").mid(id % 3, 1));
            insert.addBindValue(code);
            if (!insert.exec())
                return false;
        }
    }
    return true;
}

struct Fixture : MainWindowFixture
{
    explicit Fixture(int perCode = 6)
    {
        filled = fillDatabase(db, perCode);
        reopen();
    }
    // A new window on the same database, as at the next start of the program.
    void reopen() { open({1000, 700}); }
    // A key pressed as the user presses it: it goes where the focus is.
    void press(int key, Qt::KeyboardModifiers modifiers = {}) const
    {
        QTest::keyClick(window->windowHandle(), Qt::Key(key), modifiers);
    }
    QString focusName() const
    {
        return QApplication::focusWidget() ? QApplication::focusWidget()->objectName() : QString();
    }
    void click(const QString &name) const
    {
        auto *button = find<QAbstractButton>(name);
        QVERIFY2(button, qPrintable(name));
        QVERIFY2(button->isVisible() && button->isEnabled(), qPrintable(name));
        // A check box or radio button answers to clicks on its box, at the left.
        const bool box = qobject_cast<QCheckBox *>(button) || qobject_cast<QRadioButton *>(button);
        QTest::mouseClick(button, Qt::LeftButton, {}, box ? QPoint(8, button->height() / 2) : QPoint());
    }
    // The default exam drawn from the tree: the configuration page's start.
    void drawExam() const
    {
        choose(41);
        click(u"BB_TestStartOK"_s);
    }
    int rows(const QString &table) { return db.scalar(u"SELECT count(*) FROM "_s + table).toInt(); }
    QString answerOf(const QString &table, int lp)
    {
        return db.scalar(u"SELECT udzielona_odpowiedz FROM \"%1\" WHERE lp = %2"_s.arg(table).arg(lp)).toString();
    }
    QString correctOf(const QString &table, int lp)
    {
        return db.scalar(u"SELECT poprawna_odpowiedz FROM \"%1\" WHERE lp = %2"_s.arg(table).arg(lp)).toString();
    }
    AnswerPage *examPage() const { return window->examRunner()->answerPage(); }
};

QString otherThan(const QString &letter)
{
    return letter == u"A"_s ? u"B"_s : u"A"_s;
}

} // namespace

class TestPracticeTests : public QObject
{
    Q_OBJECT

private slots:
    void defaultExamFromTheTree_data();
    void defaultExamFromTheTree();
    void topicGroupButtons();
    void restoreDefaults_data();
    void restoreDefaults();
    void enterStartsAndEscapeRestores();
    void movingAndAnswering();
    void oneQuestionSet();
    void answeringByKeyboard();
    void unansweredQuestionsStopTheFinish();
    void scoreAndVerdict_data();
    void scoreAndVerdict();
    void reviewColoursAndCaption_data();
    void reviewColoursAndCaption();
    void repeatThenFinishAtOnce();
    void confirmationsAnsweredNoChangeNothing();
    void cancelLeadsToTheConfiguration_data();
    void cancelLeadsToTheConfiguration();
    void leavingInReviewAndComingBack();
    void emptyBankKeepsTheConfigurationPage();
    void failedDrawKeepsThePreviousTest();
    void thematicBuild();
    void thematicWithNothingChosen();
    void thematicEnterOnStepTwo();
    void countFieldLimits_data();
    void countFieldLimits();
    void answerRows();
    void resultLayout();
    void keyboardFollowsThePage_data();
    void keyboardFollowsThePage();
    void clickOnAnswerText_data();
    void clickOnAnswerText();
    void questionMap();
    void resumeInterruptedTest_data();
    void resumeInterruptedTest();
    void emptyDrawWithdrawsTheResumeOffer();
    void zoomKeys();
    void generatingSetsHint();
    void availableCounts();
};

void TestPracticeTests::defaultExamFromTheTree_data()
{
    QTest::addColumn<bool>("supervision");
    QTest::addColumn<int>("questions");
    QTest::newRow("D") << true << 25;
    QTest::newRow("E") << false << 20;
}

void TestPracticeTests::defaultExamFromTheTree()
{
    QFETCH(bool, supervision);
    QFETCH(int, questions);
    Fixture f;
    QVERIFY(f.ok());
    f.choose(41);
    QCOMPARE(f.window->currentPageName(), u"NP_Test_0"_s);
    if (!supervision)
        f.click(u"JvSB_E"_s);
    f.click(u"BB_TestStartOK"_s);
    QCOMPARE(f.boxes.count(), 0);
    QCOMPARE(f.rows(u"test_zestaw"_s), questions);
    QCOMPARE(f.window->currentPageName(), u"NP_Test_1"_s);
    QCOMPARE(f.window->testStep(), 1);
    QCOMPARE(f.examPage()->headerCaption(), u"Pytanie nr 1 z %1"_s.arg(questions));
    QVERIFY(f.find<QWidget>(u"JvSB_TestFinish"_s)->isVisible());
    QVERIFY(!f.find<QWidget>(u"JvSB_TestSummary"_s)->isVisible());
    QVERIFY(!f.find<QWidget>(u"JvSB_PrevQuestion"_s)->isEnabled());
    QVERIFY(f.find<QWidget>(u"JvSB_NextQuestionBottom"_s)->isEnabled());
    // The question itself is on screen.
    const int firstId = f.db.scalar(u"SELECT id_pytanie FROM test_zestaw WHERE lp = 1"_s).toInt();
    QCOMPARE(f.find<QTextEdit>(u"JvDBRichEdit1"_s)->toPlainText().trimmed(), u"Pytanie %1"_s.arg(firstId));
    QCOMPARE(f.find<QTextEdit>(u"JvDBRE_B"_s)->toPlainText().trimmed(), u"Odpowiedź B"_s);
}

void TestPracticeTests::topicGroupButtons()
{
    Fixture f;
    QVERIFY(f.ok());
    f.choose(41);
    const auto checked = [&] {
        QList<int> groups;
        for (int i = 1; i <= 10; ++i) {
            if (f.find<QCheckBox>(u"JvCB_GT_%1"_s.arg(i))->isChecked())
                groups << i;
        }
        return groups;
    };
    f.click(u"BB_GrupyTem_None"_s);
    QCOMPARE(checked(), QList<int>());
    for (int group : {1, 3, 10})
        f.click(u"JvCB_GT_%1"_s.arg(group));
    f.click(u"BB_GrupyTem_Inv"_s);
    QCOMPARE(checked(), (QList<int>{2, 4, 5, 6, 7, 8, 9}));
    // A click on a caption is a click on its box.
    QTest::mouseClick(f.find<QLabel>(u"JvCB_GT_2_caption"_s), Qt::LeftButton);
    QCOMPARE(checked(), (QList<int>{4, 5, 6, 7, 8, 9}));
    f.click(u"BB_GrupyTem_All"_s);
    QCOMPARE(checked().size(), 10);

    // No groups: 15 questions under D.
    f.click(u"BB_GrupyTem_None"_s);
    f.click(u"BB_TestStartOK"_s);
    QCOMPARE(f.rows(u"test_zestaw"_s), 15);
    // The configuration survives the test and a new one.
    f.choose(1);
    f.choose(41);
    QCOMPARE(f.window->currentPageName(), u"NP_Test_1"_s);
    QCOMPARE(checked(), QList<int>());
}

void TestPracticeTests::restoreDefaults_data()
{
    QTest::addColumn<QMessageBox::StandardButton>("answer");
    QTest::addColumn<bool>("restored");
    QTest::newRow("No") << QMessageBox::No << false;
    QTest::newRow("Yes") << QMessageBox::Yes << true;
}

void TestPracticeTests::restoreDefaults()
{
    QFETCH(QMessageBox::StandardButton, answer);
    QFETCH(bool, restored);
    Fixture f;
    QVERIFY(f.ok());
    f.choose(41);
    f.click(u"JvSB_E"_s);
    f.click(u"JvRB_zakres_prac__obsluga"_s);
    f.click(u"CB_PE_do1kV"_s);
    f.click(u"JvCB_OchrPrzPor_pow1kV"_s);
    f.click(u"JvCB_GT_7"_s);
    f.boxes.answer(answer);
    f.click(u"BB_TestStartCancel"_s);
    QCOMPARE(f.boxes.count(), 1);
    const MessageBoxes::Request &box = f.boxes.shown().first();
    QCOMPARE(box.caption, u"Załadowanie ustawień domyślnych"_s);
    QCOMPARE(box.text, u"Czy chcesz załadować ustawinia dumyślne?"_s);
    QCOMPARE(box.defaultButton, QMessageBox::No);
    QCOMPARE(f.find<QToolButton>(u"JvSB_D"_s)->isChecked(), restored);
    QCOMPARE(f.find<QToolButton>(u"JvSB_E"_s)->isChecked(), !restored);
    QCOMPARE(f.find<QAbstractButton>(u"JvRB_zakres_prac__konserwacja"_s)->isChecked(), restored);
    QCOMPARE(f.find<QCheckBox>(u"CB_PE_do1kV"_s)->isChecked(), restored);
    QVERIFY(f.find<QCheckBox>(u"CB_PE_po1kV"_s)->isChecked());
    QCOMPARE(f.find<QCheckBox>(u"JvCB_OchrPrzPor_pow1kV"_s)->isChecked(), restored);
    QCOMPARE(f.find<QCheckBox>(u"JvCB_GT_7"_s)->isChecked(), restored);
    QVERIFY(f.find<QCheckBox>(u"JvCB_GT_6"_s)->isChecked());
}

void TestPracticeTests::enterStartsAndEscapeRestores()
{
    Fixture f;
    QVERIFY(f.ok());
    f.choose(41);
    f.find<QCheckBox>(u"JvCB_GT_3"_s)->setFocus();
    f.boxes.answer(QMessageBox::No);
    QTest::keyClick(f.find<QCheckBox>(u"JvCB_GT_3"_s), Qt::Key_Escape);
    QCOMPARE(f.boxes.count(), 1);
    QCOMPARE(f.window->currentPageName(), u"NP_Test_0"_s);
    QTest::keyClick(f.find<QCheckBox>(u"JvCB_GT_3"_s), Qt::Key_Return);
    QCOMPARE(f.window->currentPageName(), u"NP_Test_1"_s);
    QCOMPARE(f.rows(u"test_zestaw"_s), 25);
}

void TestPracticeTests::movingAndAnswering()
{
    Fixture f;
    QVERIFY(f.ok());
    f.drawExam();
    AnswerPage *page = f.examPage();
    f.click(u"JvSB_B"_s);
    QCOMPARE(f.answerOf(u"test_zestaw"_s, 1), u"B"_s);
    QCOMPARE(page->letterColor(1), AnswerPage::Chosen);
    f.click(u"JvSB_NextQuestion"_s);
    QCOMPARE(page->headerCaption(), u"Pytanie nr 2 z 25"_s);
    QVERIFY(page->pressedLetter().isEmpty());
    QCOMPARE(page->letterColor(1), AnswerPage::neutral());
    f.click(u"JvSB_PrevQuestionBottom"_s);
    QCOMPARE(page->pressedLetter(), u"B"_s);
    QCOMPARE(page->letterColor(1), AnswerPage::Chosen);
    // A click on the letter answers too.
    QTest::mouseClick(f.find<QLabel>(u"P_C"_s), Qt::LeftButton);
    QCOMPARE(f.answerOf(u"test_zestaw"_s, 1), u"C"_s);
    QCOMPARE(page->letterColor(2), AnswerPage::Chosen);
    QCOMPARE(page->letterColor(1), AnswerPage::neutral());
    // The last question: the forward moves are off and the caption shows n twice.
    for (int k = 1; k < 25; ++k)
        f.click(u"JvSB_NextQuestionBottom"_s);
    QCOMPARE(page->headerCaption(), u"Pytanie nr 25 z 25"_s);
    QVERIFY(!f.find<QWidget>(u"JvSB_NextQuestion"_s)->isEnabled());
    QVERIFY(!f.find<QWidget>(u"JvSB_NextQuestionBottom"_s)->isEnabled());
    QVERIFY(f.find<QWidget>(u"JvSB_PrevQuestion"_s)->isEnabled());
}

void TestPracticeTests::oneQuestionSet()
{
    Fixture f;
    QVERIFY(f.ok());
    f.choose(42);
    f.find<QSpinBox>(u"JvSE_TestT_30"_s)->setValue(1);
    f.click(u"BitBtn1"_s);
    f.click(u"BitBtn2"_s);
    QCOMPARE(f.window->currentPageName(), u"NP_TestT_2"_s);
    QCOMPARE(f.window->thematicRunner()->answerPage()->headerCaption(), u"Pytanie nr 1 z 1"_s);
    for (const QString &name : {u"JvSB_PrevQuestion_T"_s, u"JvSB_NextQuestion_T"_s, u"JvSB_PrevQuestionBottom_T"_s,
                                u"JvSB_NextQuestionBottom_T"_s})
        QVERIFY2(!f.find<QWidget>(name)->isEnabled(), qPrintable(name));
}

void TestPracticeTests::answeringByKeyboard()
{
    Fixture f;
    QVERIFY(f.ok());
    f.drawExam();
    QWidget *view = f.find<QWidget>(u"JvDBRichEdit1"_s);
    view->setFocus();
    QTest::keyClick(view, Qt::Key_B);
    QCOMPARE(f.answerOf(u"test_zestaw"_s, 1), u"B"_s);
    QTest::keyClick(view, Qt::Key_Right);
    QCOMPARE(f.examPage()->headerCaption(), u"Pytanie nr 2 z 25"_s);
    QTest::keyClick(view, Qt::Key_3);
    QCOMPARE(f.answerOf(u"test_zestaw"_s, 2), u"C"_s);
    QTest::keyClick(view, Qt::Key_PageUp);
    QCOMPARE(f.examPage()->headerCaption(), u"Pytanie nr 1 z 25"_s);
    QTest::keyClick(view, Qt::Key_Left); // no question before the first
    QCOMPARE(f.examPage()->headerCaption(), u"Pytanie nr 1 z 25"_s);
}

void TestPracticeTests::unansweredQuestionsStopTheFinish()
{
    Fixture f;
    QVERIFY(f.ok());
    f.drawExam();
    QVERIFY(f.db.exec({u"UPDATE test_zestaw SET udzielona_odpowiedz = 'A' WHERE lp NOT IN (4, 9)"_s}));
    f.click(u"JvSB_TestFinish"_s);
    QCOMPARE(f.boxes.count(), 1);
    const MessageBoxes::Request &box = f.boxes.shown().first();
    QCOMPARE(box.caption, u"Zakończenie testu niemożliwe"_s);
    QCOMPARE(box.text, u"Nie można zakończyć testu.\r\nNie wybrano odpowiedzi na wszystkie pytania.\r\nUzupełnij brakujące odpowiedzi!"_s);
    QCOMPARE(box.icon, QMessageBox::Warning);
    QCOMPARE(f.examPage()->headerCaption(), u"Pytanie nr 4 z 25"_s);
    QCOMPARE(f.window->currentPageName(), u"NP_Test_1"_s);
    f.click(u"JvSB_C"_s);
    f.click(u"JvSB_TestFinish"_s);
    QCOMPARE(f.examPage()->headerCaption(), u"Pytanie nr 9 z 25"_s);
    QCOMPARE(f.boxes.count(), 2);
    f.click(u"JvSB_A"_s);
    f.click(u"JvSB_TestFinish"_s);
    QCOMPARE(f.boxes.count(), 2);
    QCOMPARE(f.window->currentPageName(), u"NP_Test_2"_s);
    QCOMPARE(f.window->testStep(), 2);
}

void TestPracticeTests::scoreAndVerdict_data()
{
    QTest::addColumn<int>("right");
    QTest::addColumn<QString>("percent");
    QTest::addColumn<bool>("passed");
    QTest::newRow("18 of 25") << 18 << u"72 %"_s << true;
    QTest::newRow("17 of 25") << 17 << u"68 %"_s << false;
}

void TestPracticeTests::scoreAndVerdict()
{
    QFETCH(int, right);
    QFETCH(QString, percent);
    QFETCH(bool, passed);
    Fixture f;
    QVERIFY(f.ok());
    f.drawExam();
    QVERIFY(f.db.exec({u"UPDATE test_zestaw SET udzielona_odpowiedz = CASE WHEN lp <= %1 THEN poprawna_odpowiedz "
                       "WHEN poprawna_odpowiedz = 'A' THEN 'B' ELSE 'A' END"_s.arg(right)}));
    f.click(u"JvSB_TestFinish"_s);
    QCOMPARE(f.window->currentPageName(), u"NP_Test_2"_s);
    QCOMPARE(f.find<QLabel>(u"L_ilosc_correct"_s)->text(), QString::number(right));
    QCOMPARE(f.find<QLabel>(u"L_ilosc_notcorrect"_s)->text(), QString::number(25 - right));
    QCOMPARE(f.find<QLabel>(u"L_ilosc_correct_perc"_s)->text(), percent);
    QCOMPARE(f.find<QLabel>(u"L_Summary"_s)->text(), passed ? u"ZDAŁEŚ !!!"_s : u"MUSISZ SIE JESZCZE POUCZYC! :-("_s);
    auto *ok = f.find<FrameAnimation>(u"JvBmpAnimator_Ok"_s);
    auto *no = f.find<FrameAnimation>(u"JvBmpAnimator_No"_s);
    QCOMPARE(ok->isRunning(), passed);
    QCOMPARE(ok->isVisible(), passed);
    QCOMPARE(no->isRunning(), !passed);
    QCOMPARE(no->isVisible(), !passed);
    QCOMPARE(ok->frameCount(), 10);
    QCOMPARE(no->frameCount(), 11);
    QCOMPARE(ok->interval(), 200);
    QCOMPARE(ok->size(), QSize(49, 32));
    QCOMPARE(no->size(), QSize(50, 40));
    // Labels, verdict, animation and buttons are centred on the page.
    const int middle = f.find<QWidget>(u"S_Test_2_Bkg"_s)->width() / 2;
    for (const char *name : {"L_Summary", "BB_Test_2_Look", "BB_Test_2_Finish", passed ? "JvBmpAnimator_Ok" : "JvBmpAnimator_No"}) {
        const QRect r = f.find<QWidget>(QLatin1String(name))->geometry();
        QVERIFY2(qAbs(r.center().x() - middle) <= 1, name);
    }
    const QRect caption = f.find<QWidget>(u"L_ilosc_correct_Lab"_s)->geometry();
    QCOMPARE(f.find<QWidget>(u"L_ilosc_notcorrect_Lab"_s)->geometry().right(), caption.right());
    QCOMPARE(f.find<QWidget>(u"L_ilosc_correct_perc"_s)->x(), caption.right() + 1 + ResultPage::Gap);
    // A larger window keeps the page centred.
    f.window->resize(1300, 800);
    QTRY_COMPARE(f.find<QWidget>(u"L_Summary"_s)->geometry().center().x(), f.find<QWidget>(u"S_Test_2_Bkg"_s)->width() / 2);
}

void TestPracticeTests::reviewColoursAndCaption_data()
{
    QTest::addColumn<bool>("thematic");
    QTest::addColumn<bool>("rightAnswer");
    QTest::newRow("exam, wrong") << false << false;
    QTest::newRow("exam, right") << false << true;
    QTest::newRow("thematic, wrong") << true << false;
    QTest::newRow("thematic, right") << true << true;
}

void TestPracticeTests::reviewColoursAndCaption()
{
    QFETCH(bool, thematic);
    QFETCH(bool, rightAnswer);
    Fixture f;
    QVERIFY(f.ok());
    const QString table = thematic ? u"test_T_zestaw"_s : u"test_zestaw"_s;
    const QString suffix = thematic ? u"_T"_s : QString();
    if (thematic) {
        f.choose(42);
        f.find<QSpinBox>(u"JvSE_TestT_1"_s)->setValue(3);
        f.click(u"BitBtn1"_s);
        f.click(u"BitBtn2"_s);
    } else {
        f.drawExam();
    }
    TestRunner *runner = thematic ? f.window->thematicRunner() : f.window->examRunner();
    const int n = f.rows(table);
    QVERIFY(f.db.exec({u"UPDATE \"%1\" SET udzielona_odpowiedz = poprawna_odpowiedz"_s.arg(table)}));
    const QString correct = f.correctOf(table, 2);
    const QString given = rightAnswer ? correct : otherThan(correct);
    QVERIFY(f.db.exec({u"UPDATE \"%1\" SET udzielona_odpowiedz = '%2' WHERE lp = 2"_s.arg(table, given)}));
    f.click(u"JvSB_TestFinish"_s + suffix);
    f.click(u"BB_Test_2_Look"_s + suffix);
    QCOMPARE(f.window->currentPageName(), runner->mode().answeringPage);
    f.click(u"JvSB_NextQuestion"_s + suffix);

    AnswerPage *page = runner->answerPage();
    const QString expected = u"Pytanie nr 2 z %1   Udzielona odpowiedź \"%2\" jest %3"_s.arg(n).arg(given, rightAnswer ? u"poprawna"_s : u"błędna"_s);
    QCOMPARE(page->headerCaption(), expected);
    QCOMPARE(page->headerColor(), rightAnswer ? AnswerPage::Right : AnswerPage::Wrong);
    const int correctIndex = correct.front().unicode() - u'A';
    const int givenIndex = given.front().unicode() - u'A';
    QCOMPARE(page->letterColor(correctIndex), AnswerPage::Right);
    if (!rightAnswer)
        QCOMPARE(page->letterColor(givenIndex), AnswerPage::Wrong);
    QCOMPARE(page->pressedLetter(), correct);
    // Review: the answer buttons are off, the letters do nothing, only the way back is shown.
    QVERIFY(!f.find<QWidget>(u"JvSB_A"_s + suffix)->isEnabled());
    QVERIFY(!f.find<QWidget>(u"JvSB_TestFinish"_s + suffix)->isVisible());
    QVERIFY(f.find<QWidget>(u"JvSB_TestSummary"_s + suffix)->isVisible());
    QTest::mouseClick(f.find<QLabel>(u"P_%1"_s.arg(otherThan(given)) + suffix), Qt::LeftButton);
    QCOMPARE(f.answerOf(table, 2), given);
    // The other mode's page is untouched.
    AnswerPage *other = thematic ? f.window->examRunner()->answerPage() : f.window->thematicRunner()->answerPage();
    for (int i = 0; i < 3; ++i)
        QCOMPARE(other->letterColor(i), AnswerPage::neutral());
    // Back to the result: the same numbers.
    const QString percent = f.find<QLabel>(u"L_ilosc_correct_perc"_s + suffix)->text();
    f.click(u"JvSB_TestSummary"_s + suffix);
    QCOMPARE(f.window->currentPageName(), runner->mode().resultPage);
    QCOMPARE(f.find<QLabel>(u"L_ilosc_correct_perc"_s + suffix)->text(), percent);
}

void TestPracticeTests::repeatThenFinishAtOnce()
{
    Fixture f;
    QVERIFY(f.ok());
    f.drawExam();
    const QList<QVariantList> questions = f.db.rows(u"SELECT lp, id_pytanie FROM test_zestaw ORDER BY lp"_s);
    QVERIFY(f.db.exec({u"UPDATE test_zestaw SET udzielona_odpowiedz = poprawna_odpowiedz"_s}));
    f.click(u"JvSB_TestFinish"_s);
    f.boxes.answer(QMessageBox::Yes);
    f.click(u"BB_Test_2_Again"_s);
    QCOMPARE(f.boxes.shown().last().caption, u"Potwierdzenie zakończenia testu"_s);
    QCOMPARE(f.db.rows(u"SELECT lp, id_pytanie FROM test_zestaw ORDER BY lp"_s), questions);
    QCOMPARE(f.db.scalar(u"SELECT count(*) FROM test_zestaw WHERE udzielona_odpowiedz = ' '"_s).toInt(), 25);
    QCOMPARE(f.window->currentPageName(), u"NP_Test_1"_s);
    QCOMPARE(f.examPage()->headerCaption(), u"Pytanie nr 1 z 25"_s);
    QVERIFY(f.examPage()->pressedLetter().isEmpty());
    QVERIFY(f.find<QWidget>(u"JvSB_A"_s)->isEnabled());
    QVERIFY(f.find<QWidget>(u"JvSB_TestCancel"_s)->isVisible());
    f.boxes.clear();
    f.click(u"JvSB_NextQuestion"_s);
    f.click(u"JvSB_TestFinish"_s);
    QCOMPARE(f.boxes.count(), 1);
    QCOMPARE(f.examPage()->headerCaption(), u"Pytanie nr 1 z 25"_s);
}

void TestPracticeTests::confirmationsAnsweredNoChangeNothing()
{
    Fixture f;
    QVERIFY(f.ok());
    f.drawExam();
    f.click(u"JvSB_B"_s);
    f.boxes.answer(QMessageBox::No);
    f.click(u"JvSB_TestCancel"_s);
    QCOMPARE(f.boxes.shown().last().caption, u"Potwierdzenie anulowania testu"_s);
    QCOMPARE(f.boxes.shown().last().defaultButton, QMessageBox::Yes);
    QCOMPARE(f.window->testStep(), 1);
    QCOMPARE(f.window->currentPageName(), u"NP_Test_1"_s);
    QVERIFY(f.db.exec({u"UPDATE test_zestaw SET udzielona_odpowiedz = 'A'"_s}));
    f.click(u"JvSB_TestFinish"_s);
    for (const QString &button : {u"BB_Test_2_NewTest"_s, u"BB_Test_2_Again"_s, u"BB_Test_2_Finish"_s}) {
        f.boxes.answer(QMessageBox::No);
        f.click(button);
        QCOMPARE(f.window->testStep(), 2);
        QCOMPARE(f.window->currentPageName(), u"NP_Test_2"_s);
    }
    QCOMPARE(f.db.scalar(u"SELECT count(*) FROM test_zestaw WHERE udzielona_odpowiedz = 'A'"_s).toInt(), 25);
    f.boxes.answer(QMessageBox::Yes);
    f.click(u"BB_Test_2_NewTest"_s);
    QCOMPARE(f.window->testStep(), 0);
    QCOMPARE(f.window->currentPageName(), u"NP_Test_0"_s);
}

void TestPracticeTests::cancelLeadsToTheConfiguration_data()
{
    QTest::addColumn<bool>("thematic");
    QTest::newRow("exam") << false;
    QTest::newRow("thematic") << true;
}

void TestPracticeTests::cancelLeadsToTheConfiguration()
{
    QFETCH(bool, thematic);
    Fixture f;
    QVERIFY(f.ok());
    if (thematic) {
        f.choose(42);
        f.find<QSpinBox>(u"JvSE_TestT_31"_s)->setValue(2);
        f.click(u"BitBtn1"_s);
        f.find<QSpinBox>(u"JvSE_TestT_7"_s)->setValue(2);
        f.click(u"BitBtn2"_s);
        QCOMPARE(f.rows(u"test_T_zestaw"_s), 4);
    } else {
        f.drawExam();
    }
    f.boxes.answer(QMessageBox::Yes);
    f.click(thematic ? u"JvSB_TestCancel_T"_s : u"JvSB_TestCancel"_s);
    QCOMPARE(f.window->currentPageName(), thematic ? u"NP_TestT_0"_s : u"NP_Test_0"_s);
    QCOMPARE(thematic ? f.window->thematicTestStep() : f.window->testStep(), 0);
    // The counts are kept for the next test.
    if (thematic)
        QCOMPARE(f.find<QSpinBox>(u"JvSE_TestT_7"_s)->value(), 2);
}

void TestPracticeTests::leavingInReviewAndComingBack()
{
    Fixture f;
    QVERIFY(f.ok());
    f.drawExam();
    QVERIFY(f.db.exec({u"UPDATE test_zestaw SET udzielona_odpowiedz = 'A'"_s}));
    f.click(u"JvSB_TestFinish"_s);
    f.click(u"BB_Test_2_Look"_s);
    f.click(u"JvSB_NextQuestion"_s);
    f.choose(1);
    QCOMPARE(f.window->currentPageName(), u"NP_Empty"_s);
    f.choose(41);
    QCOMPARE(f.window->currentPageName(), u"NP_Test_1"_s);
    QCOMPARE(f.window->testStep(), 3);
    QVERIFY(!f.find<QWidget>(u"JvSB_B"_s)->isEnabled());
    QVERIFY(f.find<QWidget>(u"JvSB_TestSummary"_s)->isVisible());
    QVERIFY(f.examPage()->headerCaption().startsWith(u"Pytanie nr 2 z 25   Udzielona"_s));
}

void TestPracticeTests::emptyBankKeepsTheConfigurationPage()
{
    Fixture f(0);
    QVERIFY(f.ok());
    f.drawExam();
    QCOMPARE(f.boxes.count(), 1);
    QCOMPARE(f.boxes.shown().first().icon, QMessageBox::Information);
    QCOMPARE(f.window->currentPageName(), u"NP_Test_0"_s);
    QCOMPARE(f.window->testStep(), 0);
}

void TestPracticeTests::failedDrawKeepsThePreviousTest()
{
    Fixture f;
    QVERIFY(f.ok());
    f.drawExam();
    f.click(u"JvSB_C"_s);
    const QList<QVariantList> before = f.db.rows(u"SELECT * FROM test_zestaw ORDER BY lp"_s);
    f.boxes.answer(QMessageBox::Yes);
    f.click(u"JvSB_TestCancel"_s);
    QCOMPARE(f.window->currentPageName(), u"NP_Test_0"_s);
    QVERIFY(f.db.exec({u"ALTER TABLE test_pytania RENAME COLUMN id_dzial TO dzial"_s}));
    f.boxes.clear();
    f.click(u"BB_TestStartOK"_s);
    QCOMPARE(f.boxes.errors().size(), 1);
    QVERIFY2(f.boxes.errors().first().contains(u"id_dzial"_s), qPrintable(f.boxes.errors().first()));
    QCOMPARE(f.window->currentPageName(), u"NP_Test_0"_s);
    QCOMPARE(f.window->testStep(), 0);
    QCOMPARE(f.db.rows(u"SELECT * FROM test_zestaw ORDER BY lp"_s), before);
}

void TestPracticeTests::thematicBuild()
{
    Fixture f;
    QVERIFY(f.ok());
    f.choose(42);
    QCOMPARE(f.window->currentPageName(), u"NP_TestT_0"_s);
    QCOMPARE(f.find<QLabel>(u"JvL_TestT_31"_s)->text(), u"VII. Organizacja bezpiecznej pracy "_s);
    auto *first = f.find<QSpinBox>(u"JvSE_TestT_1"_s);
    first->setFocus();
    QTest::keyClicks(first->findChild<QLineEdit *>(), u"5"_s);
    f.find<QSpinBox>(u"JvSE_TestT_32"_s)->setValue(3);
    f.click(u"BitBtn1"_s);
    QCOMPARE(f.window->currentPageName(), u"NP_TestT_1"_s);
    QCOMPARE(f.window->thematicTestStep(), 1);
    f.click(u"BitBtn3"_s);
    QCOMPARE(f.window->thematicTestStep(), 0);
    QCOMPARE(first->value(), 5);
    f.click(u"BitBtn1"_s);
    f.click(u"BitBtn2"_s);
    QCOMPARE(f.window->currentPageName(), u"NP_TestT_2"_s);
    QCOMPARE(f.window->thematicTestStep(), 2);
    QCOMPARE(f.db.scalar(u"SELECT group_concat(q.id_dzial) FROM (SELECT * FROM test_T_zestaw ORDER BY lp) s JOIN test_pytania q USING (id_pytanie)"_s).toString(),
             u"1,1,1,1,1,32,32,32"_s);
    QCOMPARE(f.window->thematicRunner()->answerPage()->headerCaption(), u"Pytanie nr 1 z 8"_s);
}

void TestPracticeTests::thematicWithNothingChosen()
{
    Fixture f;
    QVERIFY(f.ok());
    f.choose(42);
    f.click(u"BitBtn1"_s);
    f.click(u"BitBtn2"_s);
    QCOMPARE(f.boxes.count(), 1);
    const MessageBoxes::Request &box = f.boxes.shown().first();
    QCOMPARE(box.caption, u"Brak wybranych pytań"_s);
    QCOMPARE(box.text, u"Nie wybrano żadnych pytań. Proszę wybrać choć jedno pytanie."_s);
    QCOMPARE(box.icon, QMessageBox::Critical);
    QCOMPARE(box.buttons, QMessageBox::StandardButtons(QMessageBox::Ok));
    QCOMPARE(f.window->currentPageName(), u"NP_TestT_0"_s);
    QCOMPARE(f.window->thematicTestStep(), 0);
    QCOMPARE(f.rows(u"test_T_zestaw"_s), 0);
}

void TestPracticeTests::thematicEnterOnStepTwo()
{
    Fixture f;
    QVERIFY(f.ok());
    f.choose(42);
    f.click(u"BitBtn1"_s);
    auto *field = f.find<QSpinBox>(u"JvSE_TestT_18"_s);
    field->setFocus();
    QTest::keyClicks(field->findChild<QLineEdit *>(), u"2"_s);
    QTest::keyClick(field, Qt::Key_Return);
    QCOMPARE(f.window->currentPageName(), u"NP_TestT_2"_s);
    QCOMPARE(f.rows(u"test_T_zestaw"_s), 2);
}

void TestPracticeTests::countFieldLimits_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<int>("value");
    QTest::newRow("above the maximum") << u"151"_s << 150;
    QTest::newRow("negative") << u"-3"_s << 0;
    QTest::newRow("within") << u"42"_s << 42;
    QTest::newRow("a sign alone") << u"+"_s << 0;
    QTest::newRow("letters are not taken") << u"ab7"_s << 7;
    QTest::newRow("at most three characters") << u"1234"_s << 123;
}

void TestPracticeTests::countFieldLimits()
{
    QFETCH(QString, typed);
    QFETCH(int, value);
    QWidget window;
    CountSpinBox field(&window);
    QLineEdit other(&window);
    other.move(0, 40);
    window.show();
    QVERIFY(QTest::qWaitForWindowActive(&window));
    field.setFocus();
    field.findChild<QLineEdit *>()->selectAll();
    QTest::keyClicks(field.findChild<QLineEdit *>(), typed);
    other.setFocus();
    QTRY_VERIFY(!field.hasFocus());
    QCOMPARE(field.value(), value);
    QCOMPARE(field.text(), QString::number(value));
}

void TestPracticeTests::answerRows()
{
    const std::array<QRect, 3> rows = AnswerPage::answerRows(QSize(400, 100), 25);
    QCOMPARE(rows[0], QRect(0, 0, 25, 33));
    QCOMPARE(rows[1], QRect(0, 33, 25, 33));
    QCOMPARE(rows[2], QRect(0, 66, 25, 34));
    Fixture f;
    QVERIFY(f.ok());
    f.drawExam();
    QWidget *area = f.find<QWidget>(u"Panel7"_s);
    QCOMPARE(f.find<QWidget>(u"P_C"_s)->geometry().bottom(), area->height() - 1);
    QCOMPARE(f.find<QWidget>(u"JvDBRE_B"_s)->geometry(),
             QRect(25, area->height() / 3, area->width() - 25, area->height() / 3));
}

void TestPracticeTests::resultLayout()
{
    QCOMPARE(ResultPage::centredPairLeft(381, 215, 18), 72);
    QCOMPARE(72 + 215 + ResultPage::Gap, 291);
    QCOMPARE(ResultPage::centredPairLeft(380, 100, 20), 190 - 62);
}

enum class Before { TreeDocument, ExamDrawn, Review, Repeat, BackFromLibrary, ThematicDrawn, CancelAnsweredNo };

void TestPracticeTests::keyboardFollowsThePage_data()
{
    QTest::addColumn<Before>("before");
    QTest::addColumn<QString>("focused");
    QTest::addColumn<int>("key");
    QTest::addColumn<QString>("caption"); // the header caption after the key starts with it
    QTest::addColumn<QString>("table");
    QTest::addColumn<QString>("firstAnswer"); // of question 1 after the key
    QTest::addColumn<int>("treeItem");        // current tree node after the key, or 0
    QTest::newRow("tree click on a document")
            << Before::TreeDocument << u"JvTV_LeftTree"_s << int(Qt::Key_Down) << QString() << QString() << QString() << 12;
    QTest::newRow("exam drawn") << Before::ExamDrawn << u"JvDBRichEdit1"_s << int(Qt::Key_B) << u"Pytanie nr 1 z 25"_s
                                << u"test_zestaw"_s << u"B"_s << 0;
    QTest::newRow("review") << Before::Review << u"JvDBRichEdit1"_s << int(Qt::Key_Right)
                            << u"Pytanie nr 2 z 25   Udzielona"_s << u"test_zestaw"_s << u"A"_s << 0;
    QTest::newRow("repeat") << Before::Repeat << u"JvDBRichEdit1"_s << int(Qt::Key_2) << u"Pytanie nr 1 z 25"_s
                            << u"test_zestaw"_s << u"B"_s << 0;
    QTest::newRow("back from the library") << Before::BackFromLibrary << u"JvDBRichEdit1"_s << int(Qt::Key_End)
                                           << u"Pytanie nr 25 z 25"_s << u"test_zestaw"_s << QString() << 0;
    QTest::newRow("thematic drawn") << Before::ThematicDrawn << u"JvDBRichEdit1_T"_s << int(Qt::Key_C)
                                    << u"Pytanie nr 1 z 3"_s << u"test_T_zestaw"_s << u"C"_s << 0;
    // Space after a mouse click on "Anuluj test" must not ask again.
    QTest::newRow("cancel answered No") << Before::CancelAnsweredNo << u"JvDBRichEdit1"_s << int(Qt::Key_Space)
                                        << u"Pytanie nr 1 z 25"_s << u"test_zestaw"_s << QString() << 0;
}

void TestPracticeTests::keyboardFollowsThePage()
{
    QFETCH(Before, before);
    QFETCH(QString, focused);
    QFETCH(int, key);
    QFETCH(QString, caption);
    QFETCH(QString, table);
    QFETCH(QString, firstAnswer);
    QFETCH(int, treeItem);
    Fixture f;
    QVERIFY(f.ok());
    switch (before) {
    case Before::TreeDocument:
        f.choose(11);
        QCOMPARE(f.window->currentPageName(), u"NP_Document"_s);
        break;
    case Before::ExamDrawn:
        f.drawExam();
        break;
    case Before::Review:
    case Before::Repeat:
        f.drawExam();
        QVERIFY(f.db.exec({u"UPDATE test_zestaw SET udzielona_odpowiedz = 'A'"_s}));
        f.click(u"JvSB_TestFinish"_s);
        f.boxes.answer(QMessageBox::Yes);
        f.click(before == Before::Review ? u"BB_Test_2_Look"_s : u"BB_Test_2_Again"_s);
        break;
    case Before::BackFromLibrary:
        f.drawExam();
        f.choose(11);
        f.choose(41);
        QCOMPARE(f.window->currentPageName(), u"NP_Test_1"_s);
        break;
    case Before::ThematicDrawn:
        f.choose(42);
        f.find<QSpinBox>(u"JvSE_TestT_1"_s)->setValue(3);
        f.click(u"BitBtn1"_s);
        f.click(u"BitBtn2"_s);
        break;
    case Before::CancelAnsweredNo:
        f.drawExam();
        f.boxes.answer(QMessageBox::No);
        f.click(u"JvSB_TestCancel"_s);
        break;
    }
    // The draw's progress dialog gives the window back its activation first.
    QTRY_COMPARE(f.focusName(), focused);
    const int boxes = f.boxes.count();
    f.press(key);
    QCOMPARE(f.boxes.count(), boxes);
    if (treeItem)
        QCOMPARE(static_cast<TreeNodeItem *>(f.tree->currentItem())->node().ItemId, treeItem);
    if (!caption.isEmpty()) {
        TestRunner *runner = table == u"test_T_zestaw"_s ? f.window->thematicRunner() : f.window->examRunner();
        QVERIFY2(runner->answerPage()->headerCaption().startsWith(caption),
                 qPrintable(runner->answerPage()->headerCaption()));
    }
    if (!firstAnswer.isEmpty())
        QCOMPARE(f.answerOf(table, 1), firstAnswer);
    // Splitter handles never hold the keyboard.
    QVERIFY(!qobject_cast<QSplitterHandle *>(QApplication::focusWidget()));
}

void TestPracticeTests::clickOnAnswerText_data()
{
    QTest::addColumn<bool>("review");
    QTest::newRow("answering") << false;
    QTest::newRow("review") << true;
}

void TestPracticeTests::clickOnAnswerText()
{
    QFETCH(bool, review);
    Fixture f;
    QVERIFY(f.ok());
    f.drawExam();
    AnswerPage *page = f.examPage();
    if (review) {
        QVERIFY(f.db.exec({u"UPDATE test_zestaw SET udzielona_odpowiedz = 'A'"_s}));
        f.click(u"JvSB_TestFinish"_s);
        f.click(u"BB_Test_2_Look"_s);
    }
    auto *view = f.find<QTextEdit>(u"JvDBRE_C"_s);
    QCOMPARE(view->textInteractionFlags() == Qt::NoTextInteraction, !review);
    const QColor before = page->answerRowColor(2);
    QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, view->viewport()->rect().center());
    QTest::mouseDClick(view->viewport(), Qt::LeftButton, {}, QPoint(12, 8));
    if (review) {
        QCOMPARE(f.answerOf(u"test_zestaw"_s, 1), u"A"_s);
        QCOMPARE(page->answerRowColor(2), before);
        return;
    }
    QCOMPARE(f.answerOf(u"test_zestaw"_s, 1), u"C"_s);
    QCOMPARE(page->pressedLetter(), u"C"_s);
    // The whole row is marked, not only its letter; nothing was selected.
    QCOMPARE(page->letterColor(2), AnswerPage::Chosen);
    QCOMPARE(page->answerRowColor(2), AnswerPage::Chosen);
    QCOMPARE(page->answerRowColor(1), QApplication::palette().color(QPalette::Base));
    QVERIFY(!view->textCursor().hasSelection());
    QTest::mouseClick(f.find<QTextEdit>(u"JvDBRE_A"_s)->viewport(), Qt::LeftButton);
    QCOMPARE(f.answerOf(u"test_zestaw"_s, 1), u"A"_s);
    QCOMPARE(page->answerRowColor(0), AnswerPage::Chosen);
    QCOMPARE(page->answerRowColor(2), QApplication::palette().color(QPalette::Base));
}

void TestPracticeTests::questionMap()
{
    Fixture f;
    QVERIFY(f.ok());
    f.drawExam();
    QuestionMap *map = f.find<QuestionMap>(u"QuestionMap"_s);
    using Cell = QuestionMap::Cell;
    QCOMPARE(map->cells(), QList<Cell>(25, Cell::Unanswered));
    QCOMPARE(map->current(), 1);
    f.click(u"JvSB_B"_s);
    f.click(u"JvSB_NextQuestion"_s);
    QCOMPARE(map->cells().at(0), Cell::Answered);
    QCOMPARE(map->cells().at(1), Cell::Unanswered);
    QCOMPARE(map->current(), 2);
    // A click on a cell goes to its question; an answer given there shows at once.
    QTest::mouseClick(map->widget(), Qt::LeftButton, {}, map->cellRect(5).center());
    QCOMPARE(f.examPage()->headerCaption(), u"Pytanie nr 5 z 25"_s);
    QCOMPARE(map->current(), 5);
    f.press(Qt::Key_A);
    QCOMPARE(map->cells().at(4), Cell::Answered);
    QCOMPARE(map->cells().count(Cell::Answered), 2);

    // Review: right and wrong.
    QVERIFY(f.db.exec({u"UPDATE test_zestaw SET udzielona_odpowiedz = poprawna_odpowiedz"_s,
                       u"UPDATE test_zestaw SET udzielona_odpowiedz = CASE poprawna_odpowiedz WHEN 'A' THEN 'B' "
                       "ELSE 'A' END WHERE lp IN (3, 7)"_s}));
    f.click(u"JvSB_TestFinish"_s);
    f.click(u"BB_Test_2_Look"_s);
    QList<Cell> expected(25, Cell::Right);
    expected[2] = expected[6] = Cell::Wrong;
    QCOMPARE(map->cells(), expected);
    QTest::mouseClick(map->widget(), Qt::LeftButton, {}, map->cellRect(7).center());
    QVERIFY(f.examPage()->headerCaption().startsWith(u"Pytanie nr 7 z 25   "_s));
    QVERIFY(f.examPage()->headerCaption().endsWith(u"jest błędna"_s));
    QCOMPARE(map->current(), 7);
}

void TestPracticeTests::resumeInterruptedTest_data()
{
    QTest::addColumn<bool>("thematic");
    QTest::addColumn<QString>("ending"); // how the first test was left
    QTest::addColumn<bool>("offered");
    QTest::newRow("exam, program closed") << false << u"close"_s << true;
    QTest::newRow("thematic, program closed") << true << u"close"_s << true;
    QTest::newRow("exam, finished") << false << u"finish"_s << false;
    QTest::newRow("exam, cancelled") << false << u"cancel"_s << false;
    QTest::newRow("thematic, cancelled") << true << u"cancel"_s << false;
}

void TestPracticeTests::resumeInterruptedTest()
{
    QFETCH(bool, thematic);
    QFETCH(QString, ending);
    QFETCH(bool, offered);
    Fixture f;
    QVERIFY(f.ok());
    const QString suffix = thematic ? u"_T"_s : QString();
    const QString table = thematic ? u"test_T_zestaw"_s : u"test_zestaw"_s;
    const int node = thematic ? 42 : 41;
    if (thematic) {
        f.choose(42);
        f.find<QSpinBox>(u"JvSE_TestT_1"_s)->setValue(5);
        f.click(u"BitBtn1"_s);
        f.click(u"BitBtn2"_s);
    } else {
        f.drawExam();
    }
    const int n = f.rows(table);
    f.click(u"JvSB_B"_s + suffix);
    f.click(u"JvSB_NextQuestion"_s + suffix);
    f.click(u"JvSB_C"_s + suffix);
    if (ending == u"finish"_s) {
        QVERIFY(f.db.exec({u"UPDATE \"%1\" SET udzielona_odpowiedz = 'A'"_s.arg(table)}));
        f.click(u"JvSB_TestFinish"_s + suffix);
        QCOMPARE(f.window->currentPageName(), thematic ? u"NP_TestT_3"_s : u"NP_Test_2"_s);
    } else if (ending == u"cancel"_s) {
        f.boxes.answer(QMessageBox::Yes);
        f.click(u"JvSB_TestCancel"_s + suffix);
    }
    if (ending != u"cancel"_s)
        f.reopen();
    QVERIFY(f.ok());
    f.choose(node);
    QCOMPARE(f.window->currentPageName(), thematic ? u"NP_TestT_0"_s : u"NP_Test_0"_s);
    auto *offer = f.find<ResumeOffer>(u"P_TestResume"_s + suffix);
    QVERIFY(offer);
    QCOMPARE(offer->isVisible(), offered);
    if (!offered)
        return;
    QVERIFY2(offer->text().contains(u"na 2 z %1 pytań"_s.arg(n)), qPrintable(offer->text()));
    f.click(u"BB_TestResume"_s + suffix);
    TestRunner *runner = thematic ? f.window->thematicRunner() : f.window->examRunner();
    QCOMPARE(f.window->currentPageName(), runner->mode().answeringPage);
    QCOMPARE(runner->step(), runner->mode().answeringStep);
    QCOMPARE(runner->answerPage()->headerCaption(), u"Pytanie nr 3 z %1"_s.arg(n));
    QCOMPARE(f.focusName(), u"JvDBRichEdit1"_s + suffix);
    QCOMPARE(runner->answerPage()->questionMap()->cells().count(QuestionMap::Cell::Answered), 2);
    f.click(u"JvSB_PrevQuestion"_s + suffix);
    QCOMPARE(runner->answerPage()->pressedLetter(), u"C"_s);
    // A new test replaces it, as before.
    f.boxes.answer(QMessageBox::Yes);
    f.click(u"JvSB_TestCancel"_s + suffix);
    QVERIFY(!offer->isVisible());
}

void TestPracticeTests::emptyDrawWithdrawsTheResumeOffer()
{
    Fixture f;
    QVERIFY(f.ok());
    f.drawExam();
    f.click(u"JvSB_A"_s);
    f.reopen();
    QVERIFY(f.ok());
    f.choose(41);
    auto *offer = f.find<ResumeOffer>(u"P_TestResume"_s);
    QVERIFY(offer->isVisible());
    QVERIFY(f.db.exec({u"DELETE FROM test_pytania"_s}));
    f.click(u"BB_TestStartOK"_s);
    QCOMPARE(f.boxes.count(), 1);
    QCOMPARE(f.window->currentPageName(), u"NP_Test_0"_s);
    QCOMPARE(f.rows(u"test_zestaw"_s), 0);
    QVERIFY(!offer->isVisible());
}

void TestPracticeTests::zoomKeys()
{
    Fixture f;
    QVERIFY(f.ok());
    const auto firstSize = [](QTextEdit *view) {
        return view->document()->begin().begin().fragment().charFormat().fontPointSize();
    };
    // The document viewer, with the keyboard still in the tree.
    f.choose(11);
    auto *document = f.find<QTextEdit>(u"JvDBRE_Dokument"_s);
    const qreal unzoomed = firstSize(document);
    QCOMPARE(unzoomed, 12.0);
    f.press(Qt::Key_Plus, Qt::ControlModifier);
    QCOMPARE(f.window->documentZoom()->percent(), 110);
    QCOMPARE(firstSize(document), 12.0 * 1.1);
    f.press(Qt::Key_Minus, Qt::ControlModifier);
    f.press(Qt::Key_Minus, Qt::ControlModifier);
    QCOMPARE(f.window->documentZoom()->percent(), 90);
    QCOMPARE(firstSize(document), 12.0 * 0.9);
    // Kept for the next document.
    f.choose(12);
    QVERIFY(firstSize(document) > 0);
    f.choose(11);
    QCOMPARE(firstSize(document), 12.0 * 0.9);
    f.press(Qt::Key_0, Qt::ControlModifier);
    QCOMPARE(firstSize(document), unzoomed);

    // The questions and answers zoom together, apart from the documents.
    f.drawExam();
    QTRY_VERIFY(f.window->isActiveWindow());
    auto *question = f.find<QTextEdit>(u"JvDBRichEdit1"_s);
    auto *answer = f.find<QTextEdit>(u"JvDBRE_A"_s);
    const qreal questionSize = firstSize(question);
    const qreal answerSize = firstSize(answer);
    QWheelEvent wheel(QPointF(5, 5), question->viewport()->mapToGlobal(QPointF(5, 5)), QPoint(), QPoint(0, 120),
                      Qt::NoButton, Qt::ControlModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(question->viewport(), &wheel);
    QCOMPARE(f.window->testZoom()->percent(), 110);
    QCOMPARE(f.window->documentZoom()->percent(), 100);
    QCOMPARE(firstSize(question), questionSize * 1.1);
    QCOMPARE(firstSize(answer), answerSize * 1.1);
    f.press(Qt::Key_Right);
    QCOMPARE(firstSize(question), questionSize * 1.1);
    f.press(Qt::Key_0, Qt::ControlModifier);
    QCOMPARE(firstSize(answer), answerSize);
}

void TestPracticeTests::generatingSetsHint()
{
    Fixture f;
    QVERIFY(f.ok());
    f.choose(41);
    // The captions stay as they are; the hints say what the law in force says.
    QCOMPARE(f.find<QLabel>(u"JvCB_GT_4_caption"_s)->text(), u"4) zespoły prądotwórcze o mocy łącznie od 20 kW wzwyż"_s);
    QCOMPARE(f.find<QLabel>(u"JvL_TestT_13"_s)->text(), u"II.4 Zespoły prądotwórcze o mocy łącznie od 20 kW wzwyż"_s);
    for (const QString &name : {u"JvCB_GT_4"_s, u"JvCB_GT_4_caption"_s, u"JvL_TestT_13"_s, u"JvSE_TestT_13"_s}) {
        const QString hint = f.find<QWidget>(name)->toolTip();
        QVERIFY2(hint.contains(u"powyżej 50 kW"_s) && hint.contains(u"2022"_s), qPrintable(name));
        QVERIFY2(hint.contains(u"„Grupa 1 i rodzaje prac”"_s), qPrintable(name));
    }
    QVERIFY(f.find<QWidget>(u"JvCB_GT_5"_s)->toolTip().isEmpty());
}

void TestPracticeTests::availableCounts()
{
    Fixture f;
    QVERIFY(f.ok());
    QCOMPARE(f.find<QLabel>(u"L_TestT_Available_13"_s)->text(), u"z 6"_s);
    QVERIFY(f.db.exec({u"DELETE FROM test_pytania WHERE id_dzial = 5"_s,
                       u"INSERT INTO test_pytania VALUES (3099, 'x', 'a', 'b', 'c', 'A', 30)"_s}));
    f.reopen();
    QVERIFY(f.ok());
    QCOMPARE(f.find<QLabel>(u"L_TestT_Available_30"_s)->text(), u"z 7"_s);
    QCOMPARE(f.find<QLabel>(u"L_TestT_Available_5"_s)->text(), u"z 0"_s);
    QCOMPARE(f.find<QLabel>(u"L_TestT_Available_1"_s)->text(), u"z 6"_s);
    // Asking for more than there is takes what there is.
    f.choose(42);
    f.find<QSpinBox>(u"JvSE_TestT_30"_s)->setValue(150);
    f.click(u"BitBtn1"_s);
    f.click(u"BitBtn2"_s);
    QCOMPARE(f.rows(u"test_T_zestaw"_s), 7);
}

QTEST_MAIN(TestPracticeTests)
#include "tst_practicetests.moc"
