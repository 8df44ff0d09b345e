// Learning from mistakes in the main window: the explanation in the review,
// retaking the wrong answers, the history and the page "Postępy".

#include "mainwindowfixture.h"
#include "regulations/qmx_tree.h"
#include "shell/form_main.h"
#include "tests/answerpage.h"
#include "tests/explanationpanel.h"
#include "tests/progresspage.h"
#include "tests/testrunner.h"

#include <QAbstractItemModel>
#include <QBarSet>
#include <QChart>
#include <QHorizontalStackedBarSeries>
#include <QLabel>
#include <QLineSeries>
#include <QPushButton>
#include <QSpinBox>
#include <QSqlQuery>
#include <QTest>
#include <QTextEdit>
#include <QTreeWidget>

using namespace Qt::StringLiterals;

namespace {

const QList<int> Codes = {1,  3,  4,  5,  6,  7,  8,  9,  10, 11, 12, 13, 14, 15, 16,
                          17, 18, 19, 21, 22, 23, 24, 25, 27, 28, 29, 30, 31, 32};

bool fillDatabase(TestDatabase &db, int perCode)
{
    if (!db.exec(
            {u"INSERT INTO tree VALUES (1, NULL, 0, 'Regulacje prawne', NULL, 0, 1)"_s,
             u"INSERT INTO tree VALUES (11, 1, 1, 'Prawo energetyczne', NULL, 0, 1)"_s,
             u"INSERT INTO tree VALUES (2, NULL, 0, 'Regulamin i tryb nadawania uprawnień', NULL, 1, 2)"_s,
             u"INSERT INTO tree VALUES (3, NULL, 0, 'Wiedza techniczna', NULL, 3, 3)"_s,
             u"INSERT INTO tree VALUES (4, NULL, 0, 'Testy', NULL, 4, 4)"_s,
             u"INSERT INTO tree VALUES (41, 4, 2, 'Test egzaminacyjny', NULL, 3, 1)"_s,
             u"INSERT INTO tree VALUES (42, 4, 3, 'Test tematyczny', NULL, 3, 2)"_s,
             u"INSERT INTO tree VALUES (44, 4, 4, 'Postępy', NULL, 4, 3)"_s,
             u"INSERT INTO tree_documents VALUES (11, '{\\rtf1 Dokument o prawie\\par}')"_s}))
        return false;
    QSqlQuery insert(db.database());
    insert.prepare(u"INSERT INTO test_pytania VALUES (?, ?, ?, ?, ?, ?, ?)"_s);
    QSqlQuery explanation(db.database());
    explanation.prepare(u"INSERT INTO pytania_wyjasnienia VALUES (?, ?, 11)"_s);
    for (int code : Codes) {
        for (int i = 1; i <= perCode; ++i) {
            const int id = code * 100 + i;
            insert.addBindValue(id);
            insert.addBindValue(
                QByteArray(QByteArray("{\\rtf1 Pytanie ") + QByteArray::number(id) + "\\par}"));
            for (const char *letter : {"A", "B", "C"})
                insert.addBindValue(
                    QStringLiteral("{\\rtf1 Odpowiedz %1}").arg(QLatin1String(letter)));
            insert.addBindValue(QStringLiteral("ABC").mid(id % 3, 1));
            insert.addBindValue(code);
            explanation.addBindValue(id);
            explanation.addBindValue(u"Bo tak stanowi **przepis** %1."_s.arg(id));
            if (!insert.exec() || !explanation.exec())
                return false;
        }
    }
    return true;
}

struct Fixture : MainWindowFixture
{
    Fixture()
    {
        filled = fillDatabase(db, 6);
        open({1000, 700});
    }

    void click(const QString &name) const
    {
        auto *button = find<QAbstractButton>(name);
        QVERIFY2(button, qPrintable(name));
        QVERIFY2(button->isVisible() && button->isEnabled(), qPrintable(name));
        QTest::mouseClick(button, Qt::LeftButton);
    }
    // The first `right` questions of the set answered right, the rest wrong.
    bool answer(const QString &table, int right)
    {
        return db.exec(
            {u"UPDATE \"%1\" SET udzielona_odpowiedz = CASE WHEN lp <= %2 THEN poprawna_odpowiedz "
             "WHEN poprawna_odpowiedz = 'A' THEN 'B' ELSE 'A' END"_s.arg(table)
                 .arg(right)});
    }
    QList<int> ids(const QString &statement)
    {
        QList<int> list;
        for (const QVariantList &row : db.rows(statement))
            list << row.first().toInt();
        std::sort(list.begin(), list.end());
        return list;
    }
    int count(const QString &table)
    {
        return db.scalar(u"SELECT count(*) FROM "_s + table).toInt();
    }
    ExplanationPanel *panel() const
    {
        return window->examRunner()->answerPage()->explanationPanel();
    }
    ProgressPage *progress() const { return window->progressPage(); }
};

// Tests recorded days ago: (days ago, section, right, wrong) each, with
// questions of that section; right answer and answers as the bank has them.
bool recordHistory(TestDatabase &db, const QList<std::tuple<int, int, int, int>> &tests)
{
    QSqlQuery test(db.database());
    test.prepare(
        u"INSERT INTO historia_testow (data, rodzaj, pytan, poprawne, bledne, procent, zdany) VALUES (?, 1, ?, ?, ?, ?, ?)"_s);
    QSqlQuery answer(db.database());
    answer.prepare(u"INSERT INTO historia_odpowiedzi VALUES (?, ?, ?, ?, 'A', ?)"_s);
    for (const auto &[daysAgo, code, right, wrong] : tests) {
        const int percent = right * 100 / (right + wrong);
        test.addBindValue(
            QDateTime::currentDateTime().addDays(-daysAgo).toString(u"yyyy-MM-dd HH:mm:ss"_s));
        test.addBindValue(right + wrong);
        test.addBindValue(right);
        test.addBindValue(wrong);
        test.addBindValue(percent);
        test.addBindValue(percent >= 70 ? 1 : 0);
        if (!test.exec())
            return false;
        const qint64 id = test.lastInsertId().toLongLong();
        for (int lp = 1; lp <= right + wrong; ++lp) {
            answer.addBindValue(id);
            answer.addBindValue(lp);
            answer.addBindValue(code * 100 + (lp - 1) % 6 + 1);
            answer.addBindValue(code);
            answer.addBindValue(lp <= right ? u"A"_s : u"B"_s);
            if (!answer.exec())
                return false;
        }
    }
    return true;
}

} // namespace

class TestProgress : public QObject
{
    Q_OBJECT

private slots:
    void everyScoredTestIsRecordedOnce_data();
    void everyScoredTestIsRecordedOnce();
    void failedRecordingStillShowsTheResult();
    void explanationOnlyInReviewAndItsLinkLeadsBack();
    void retakeHoldsTheWrongAnswersAndIsRecorded();
    void retakeNotOfferedWhenEverythingWasRight();
    void retakeOfAnExamAsksBeforeReplacingAThematicTest();
    void emptyHistoryIsSaidPlainly();
    void pageShowsTheHistoryAndTheWeakestSections();
    void practiceOfTheWeakestSections();
    void clearingTheHistory();
};

void TestProgress::everyScoredTestIsRecordedOnce_data()
{
    QTest::addColumn<bool>("exam");
    QTest::newRow("exam") << true;
    QTest::newRow("thematic") << false;
}

void TestProgress::everyScoredTestIsRecordedOnce()
{
    QFETCH(bool, exam);
    Fixture f;
    QVERIFY(f.ok());
    QString table;
    if (exam) {
        f.choose(41);
        f.click(u"BB_TestStartOK"_s);
        table = u"test_zestaw"_s;
    } else {
        f.choose(42);
        f.find<QSpinBox>(u"JvSE_TestT_1"_s)->setValue(4);
        f.click(u"BitBtn1"_s);
        f.click(u"BitBtn2"_s);
        table = u"test_T_zestaw"_s;
    }
    const int questions = f.count(table);
    QVERIFY(f.answer(table, questions - 1));
    const QString suffix = exam ? QString() : u"_T"_s;
    f.click(u"JvSB_TestFinish"_s + suffix);
    QCOMPARE(f.db.rows(u"SELECT rodzaj, pytan, poprawne, bledne, procent FROM historia_testow"_s),
             (QList<QVariantList> {
                 {exam ? 1 : 2, questions, questions - 1, 1, (questions - 1) * 100 / questions}}));
    QCOMPARE(f.count(u"historia_odpowiedzi"_s), questions);
    // Reviewing and coming back to the result records nothing more.
    f.click(u"BB_Test_2_Look"_s + suffix);
    f.click(u"JvSB_TestSummary"_s + suffix);
    QCOMPARE(f.count(u"historia_testow"_s), 1);
    // Taking the same set again is a test of its own.
    f.boxes.answer(QMessageBox::Yes);
    f.click(u"BB_Test_2_Again"_s + suffix);
    QVERIFY(f.answer(table, questions));
    f.click(u"JvSB_TestFinish"_s + suffix);
    QCOMPARE(f.ids(u"SELECT poprawne FROM historia_testow"_s),
             (QList<int> {questions - 1, questions}));
    QCOMPARE(f.boxes.errors(), QStringList());
}

void TestProgress::failedRecordingStillShowsTheResult()
{
    Fixture f;
    QVERIFY(f.ok());
    QVERIFY(f.db.exec(
        {u"CREATE TRIGGER refuse BEFORE INSERT ON historia_odpowiedzi BEGIN SELECT RAISE(ABORT, 'zapis odrzucony'); END"_s}));
    f.choose(41);
    f.click(u"BB_TestStartOK"_s);
    QVERIFY(f.answer(u"test_zestaw"_s, 20));
    f.click(u"JvSB_TestFinish"_s);
    QCOMPARE(f.window->currentPageName(), u"NP_Test_2"_s);
    QCOMPARE(f.find<QLabel>(u"L_ilosc_correct"_s)->text(), u"20"_s);
    QCOMPARE(f.boxes.errors().size(), 1);
    QVERIFY(f.boxes.errors().first().contains(u"zapis odrzucony"_s));
    QCOMPARE(f.count(u"historia_testow"_s), 0);
}

void TestProgress::explanationOnlyInReviewAndItsLinkLeadsBack()
{
    Fixture f;
    QVERIFY(f.ok());
    f.choose(41);
    f.click(u"BB_TestStartOK"_s);
    QVERIFY(f.panel()->isHidden());
    QVERIFY(f.answer(u"test_zestaw"_s, 20));
    f.click(u"JvSB_TestFinish"_s);
    f.click(u"BB_Test_2_Look"_s);
    QVERIFY(f.panel()->isVisible());
    f.click(u"JvSB_NextQuestion"_s);
    f.click(u"JvSB_NextQuestion"_s);
    const int third = f.db.scalar(u"SELECT id_pytanie FROM test_zestaw WHERE lp = 3"_s).toInt();
    QCOMPARE(f.panel()->text(), u"Bo tak stanowi **przepis** %1."_s.arg(third));
    QCOMPARE(f.panel()->linkCaption(), u"Czytaj więcej: Prawo energetyczne"_s);

    f.click(u"BB_ReadMore"_s);
    QCOMPARE(f.window->currentPageName(), u"NP_Document"_s);
    QCOMPARE(static_cast<TreeNodeItem *>(f.tree->currentItem())->node().ItemId, 11);
    QCOMPARE(f.find<QTextEdit>(u"JvDBRE_Dokument"_s)->toPlainText().trimmed(),
             u"Dokument o prawie"_s);

    f.choose(41);
    QCOMPARE(f.window->currentPageName(), u"NP_Test_1"_s);
    QVERIFY(
        f.window->examRunner()->answerPage()->headerCaption().startsWith(u"Pytanie nr 3 z 25"_s));
    QVERIFY(f.panel()->isVisible());
    QCOMPARE(f.panel()->text(), u"Bo tak stanowi **przepis** %1."_s.arg(third));

    // Taking the set again hides it while answering.
    f.click(u"JvSB_TestSummary"_s);
    f.boxes.answer(QMessageBox::Yes);
    f.click(u"BB_Test_2_Again"_s);
    QCOMPARE(f.window->currentPageName(), u"NP_Test_1"_s);
    QVERIFY(f.panel()->isHidden());
    f.click(u"JvSB_NextQuestion"_s);
    QVERIFY(f.panel()->isHidden());
}

void TestProgress::retakeHoldsTheWrongAnswersAndIsRecorded()
{
    Fixture f;
    QVERIFY(f.ok());
    f.choose(41);
    f.click(u"BB_TestStartOK"_s);
    QVERIFY(f.answer(u"test_zestaw"_s, 17));
    f.click(u"JvSB_TestFinish"_s);
    const QList<int> wrong = f.ids(u"SELECT id_pytanie FROM test_zestaw WHERE lp > 17"_s);

    f.click(u"BB_Test_2_Retake"_s);
    QCOMPARE(f.window->currentPageName(), u"NP_TestT_2"_s);
    QCOMPARE(f.ids(u"SELECT id_pytanie FROM test_T_zestaw"_s), wrong);
    QCOMPARE(f.window->thematicRunner()->answerPage()->headerCaption(), u"Pytanie nr 1 z 8"_s);
    // The finished exam stays as it was.
    QCOMPARE(f.window->testStep(), 2);
    QCOMPARE(f.count(u"test_zestaw WHERE udzielona_odpowiedz = poprawna_odpowiedz"_s), 17);

    QVERIFY(f.answer(u"test_T_zestaw"_s, 5));
    f.click(u"JvSB_TestFinish_T"_s);
    QCOMPARE(f.db.rows(u"SELECT rodzaj, pytan, poprawne FROM historia_testow ORDER BY id_testu"_s),
             (QList<QVariantList> {{1, 25, 17}, {3, 8, 5}}));

    // The retake of the retake.
    const QList<int> stillWrong = f.ids(u"SELECT id_pytanie FROM test_T_zestaw WHERE lp > 5"_s);
    f.click(u"BB_Test_2_Retake_T"_s);
    QCOMPARE(f.ids(u"SELECT id_pytanie FROM test_T_zestaw"_s), stillWrong);
    QVERIFY(f.answer(u"test_T_zestaw"_s, 3));
    f.click(u"JvSB_TestFinish_T"_s);
    QCOMPARE(f.ids(u"SELECT rodzaj FROM historia_testow"_s), (QList<int> {1, 3, 3}));
    QVERIFY(!f.find<QWidget>(u"BB_Test_2_Retake_T"_s)->isEnabled());
    QCOMPARE(f.boxes.count(), 0);
}

void TestProgress::retakeNotOfferedWhenEverythingWasRight()
{
    Fixture f;
    QVERIFY(f.ok());
    f.choose(41);
    f.click(u"BB_TestStartOK"_s);
    QVERIFY(f.answer(u"test_zestaw"_s, 25));
    f.click(u"JvSB_TestFinish"_s);
    auto *retake = f.find<QPushButton>(u"BB_Test_2_Retake"_s);
    QVERIFY(retake->isVisible());
    QVERIFY(!retake->isEnabled());
    QCOMPARE(retake->size(), f.find<QPushButton>(u"BB_Test_2_Again"_s)->size());
}

void TestProgress::retakeOfAnExamAsksBeforeReplacingAThematicTest()
{
    Fixture f;
    QVERIFY(f.ok());
    f.choose(42);
    f.find<QSpinBox>(u"JvSE_TestT_1"_s)->setValue(3);
    f.click(u"BitBtn1"_s);
    f.click(u"BitBtn2"_s);
    const QList<int> thematic = f.ids(u"SELECT id_pytanie FROM test_T_zestaw"_s);
    f.choose(41);
    f.click(u"BB_TestStartOK"_s);
    QVERIFY(f.answer(u"test_zestaw"_s, 20));
    f.click(u"JvSB_TestFinish"_s);
    f.boxes.answer(QMessageBox::No);
    f.click(u"BB_Test_2_Retake"_s);
    QCOMPARE(f.boxes.count(), 1);
    QCOMPARE(f.ids(u"SELECT id_pytanie FROM test_T_zestaw"_s), thematic);
    QCOMPARE(f.window->currentPageName(), u"NP_Test_2"_s);
    f.boxes.answer(QMessageBox::Yes);
    f.click(u"BB_Test_2_Retake"_s);
    QCOMPARE(f.count(u"test_T_zestaw"_s), 5);
    QCOMPARE(f.window->currentPageName(), u"NP_TestT_2"_s);
}

void TestProgress::emptyHistoryIsSaidPlainly()
{
    Fixture f;
    QVERIFY(f.ok());
    f.choose(44);
    QCOMPARE(f.window->currentPageName(), u"NP_Postepy"_s);
    QVERIFY(f.find<QLabel>(u"L_ProgressEmpty"_s)->isVisible());
    QCOMPARE(f.progress()->historyModel()->rowCount(), 0);
    QVERIFY(!f.find<QWidget>(u"BB_PracticeWeakest"_s)->isEnabled());
    QVERIFY(!f.find<QWidget>(u"BB_ClearHistory"_s)->isEnabled());
    const auto lines = f.progress()->percentChart()->series();
    QCOMPARE(lines.size(), 2);
    QCOMPARE(static_cast<QLineSeries *>(lines.first())->count(), 0);
    QVERIFY(f.progress()->sectionChart()->series().size() <= 1);
    // The page draws without a fault.
    QVERIFY(!f.progress()->grab().isNull());
    QCOMPARE(f.boxes.count(), 0);
}

void TestProgress::pageShowsTheHistoryAndTheWeakestSections()
{
    Fixture f;
    QVERIFY(f.ok());
    // Sections 27..32 and 1 with shares 10 %, 20 %, ... 70 %; an old bad one of 3 left out.
    QVERIFY(recordHistory(f.db,
                          {{40, 3, 0, 10},
                           {5, 27, 1, 9},
                           {4, 28, 2, 8},
                           {3, 29, 3, 7},
                           {2, 30, 4, 6},
                           {1, 31, 5, 5},
                           {1, 32, 6, 4},
                           {0, 1, 7, 3}}));
    f.choose(44);
    QVERIFY(f.find<QLabel>(u"L_ProgressEmpty"_s)->isHidden());
    QAbstractItemModel *model = f.progress()->historyModel();
    QCOMPARE(model->rowCount(), 8);
    QCOMPARE(model->index(0, 2).data().toString(), u"7 z 10 (70 %)"_s);
    QCOMPARE(model->index(0, 3).data().toString(), u"zdany"_s);
    QCOMPARE(model->index(7, 2).data().toString(), u"0 z 10 (0 %)"_s);
    QCOMPARE(model->index(7, 3).data().toString(), u"niezdany"_s);
    QCOMPARE(model->index(7, 1).data().toString(), u"Egzaminacyjny"_s);

    const auto lines = f.progress()->percentChart()->series();
    auto *results = static_cast<QLineSeries *>(lines.at(0));
    QCOMPARE(results->count(), 8);
    QCOMPARE(results->at(0).y(), 0.0); // oldest first
    QCOMPARE(results->at(7).y(), 70.0);
    auto *mark = static_cast<QLineSeries *>(lines.at(1));
    QCOMPARE(mark->at(0).y(), 70.0);
    QCOMPARE(mark->at(1).y(), 70.0);

    QCOMPARE(f.progress()->weakest(), (QList<int> {27, 28, 29, 30, 31}));
    auto *bars = qobject_cast<QHorizontalStackedBarSeries *>(
        f.progress()->sectionChart()->series().first());
    QVERIFY(bars);
    QBarSet *weak = bars->barSets().at(0);
    QBarSet *others = bars->barSets().at(1);
    QCOMPARE(weak->color(), ProgressPage::WeakColor);
    QCOMPARE(weak->count(), 7);
    double weakSum = 0;
    double otherSum = 0;
    for (int i = 0; i < 7; ++i) {
        weakSum += weak->at(i);
        otherSum += others->at(i);
    }
    QCOMPARE(weakSum, 10.0 + 20 + 30 + 40 + 50);
    QCOMPARE(otherSum, 60.0 + 70);
    QVERIFY(f.find<QWidget>(u"BB_PracticeWeakest"_s)->isEnabled());
}

void TestProgress::practiceOfTheWeakestSections()
{
    Fixture f;
    QVERIFY(f.ok());
    QVERIFY(recordHistory(
        f.db,
        {{1, 27, 0, 4}, {1, 28, 1, 9}, {1, 29, 2, 8}, {1, 30, 3, 7}, {1, 31, 4, 6}, {1, 1, 9, 1}}));
    f.choose(44);
    f.click(u"BB_PracticeWeakest"_s);
    QCOMPARE(f.window->currentPageName(), u"NP_TestT_2"_s);
    QCOMPARE(f.window->thematicRunner()->kind(), History::Kind::WeakestSections);
    QCOMPARE(f.count(u"test_T_zestaw"_s), 20);
    QCOMPARE(
        f.count(
            u"test_T_zestaw s JOIN test_pytania q USING (id_pytanie) WHERE q.id_dzial NOT IN (27, 28, 29, 30, 31)"_s),
        0);
    // 28 questions of those sections were answered wrong before: only they are drawn.
    QCOMPARE(
        f.count(u"test_T_zestaw WHERE id_pytanie IN (SELECT id_pytanie FROM historia_odpowiedzi "
                "WHERE udzielona_odpowiedz <> poprawna_odpowiedz AND id_dzial <> 1)"_s),
        20);
    QVERIFY(f.answer(u"test_T_zestaw"_s, 15));
    f.click(u"JvSB_TestFinish_T"_s);
    QCOMPARE(
        f.db.scalar(u"SELECT rodzaj FROM historia_testow ORDER BY id_testu DESC LIMIT 1"_s).toInt(),
        4);
    // The page, shown again, lists it.
    f.choose(44);
    QCOMPARE(f.progress()->historyModel()->rowCount(), 7);
    QCOMPARE(f.progress()->historyModel()->index(0, 1).data().toString(), u"Najsłabsze działy"_s);
}

void TestProgress::clearingTheHistory()
{
    Fixture f;
    QVERIFY(f.ok());
    QVERIFY(recordHistory(f.db, {{1, 27, 3, 7}, {0, 28, 8, 2}}));
    f.choose(44);
    f.boxes.answer(QMessageBox::No);
    f.click(u"BB_ClearHistory"_s);
    QCOMPARE(f.boxes.count(), 1);
    QCOMPARE(f.boxes.shown().first().buttons, QMessageBox::Yes | QMessageBox::No);
    QCOMPARE(f.count(u"historia_testow"_s), 2);
    QCOMPARE(f.progress()->historyModel()->rowCount(), 2);
    f.boxes.answer(QMessageBox::Yes);
    f.click(u"BB_ClearHistory"_s);
    QCOMPARE(f.count(u"historia_testow"_s), 0);
    QCOMPARE(f.count(u"historia_odpowiedzi"_s), 0);
    QCOMPARE(f.progress()->historyModel()->rowCount(), 0);
    QVERIFY(f.find<QLabel>(u"L_ProgressEmpty"_s)->isVisible());
    QVERIFY(!f.find<QWidget>(u"BB_PracticeWeakest"_s)->isEnabled());
}

QTEST_MAIN(TestProgress)
#include "tst_progress.moc"
