// The history of scored tests and the sets drawn from it, on the program's schema.

#include "testdatabase.h"
#include "tests/history.h"
#include "tests/retakedraw.h"
#include "toolkit/error.h"

#include <QSqlQuery>
#include <QTest>

#include <set>

using namespace Qt::StringLiterals;

namespace {

// Recorded tests as (days ago, answers as "code:given").
using Tests = QList<std::pair<int, QStringList>>;

const QDateTime Now(QDate(2026, 12, 11), QTime(12, 0));

// Questions id = code * 100 + i of the codes, right answer "A".
bool fillBank(TestDatabase &db, const QList<int> &codes, int perCode)
{
    QSqlQuery insert(db.database());
    insert.prepare(
        u"INSERT INTO test_pytania (id_pytanie, poprawna_odpowiedz, id_dzial) VALUES (?, 'A', ?)"_s);
    for (int code : codes) {
        for (int i = 1; i <= perCode; ++i) {
            insert.addBindValue(code * 100 + i);
            insert.addBindValue(code);
            if (!insert.exec())
                return false;
        }
    }
    return true;
}

// A set of the table: each question with its given answer (empty for none).
bool fillSet(TestDatabase &db, const QString &table, const QList<std::pair<int, QString>> &rows)
{
    if (!db.exec({u"DELETE FROM \"%1\""_s.arg(table)}))
        return false;
    QSqlQuery insert(db.database());
    insert.prepare(
        u"INSERT INTO \"%1\" (id_pytanie, poprawna_odpowiedz, udzielona_odpowiedz) VALUES (?, 'A', ?)"_s
            .arg(table));
    for (const auto &[id, given] : rows) {
        insert.addBindValue(id);
        insert.addBindValue(given.isEmpty() ? QVariant(QMetaType::fromType<QString>())
                                            : QVariant(given));
        if (!insert.exec())
            return false;
    }
    return true;
}

std::set<int> setIds(TestDatabase &db, const QString &table)
{
    std::set<int> ids;
    for (const QVariantList &row : db.rows(u"SELECT id_pytanie FROM \"%1\""_s.arg(table)))
        ids.insert(row.first().toInt());
    return ids;
}

Scoring::Result resultOf(int right, int wrong)
{
    return *Scoring::score(right, wrong);
}

} // namespace

class TestHistory : public QObject
{
    Q_OBJECT

private slots:
    void recordsTheTestAndEachQuestion_data();
    void recordsTheTestAndEachQuestion();
    void failedRecordLeavesNothing();
    void entriesNewestFirst();
    void sectionShares_data();
    void sectionShares();
    void questionGoneFromTheBankKeepsItsCounts();
    void weakest_data();
    void weakest();
    void clearEmptiesBothTables();
    void retakeHoldsTheWrongAndUnanswered();
    void retakeOfARetake();
    void retakeSkipsQuestionsGoneFromTheBank();
    void retakeWithNothingWrongChangesNothing();
    void failedRetakeKeepsTheFinishedTest();
    void practiceOfTheWeakestPrefersMissedQuestions_data();
    void practiceOfTheWeakestPrefersMissedQuestions();
};

void TestHistory::recordsTheTestAndEachQuestion_data()
{
    QTest::addColumn<QString>("table");
    QTest::addColumn<int>("kind");
    QTest::newRow("exam") << u"test_zestaw"_s << int(History::Kind::Exam);
    QTest::newRow("thematic") << u"test_T_zestaw"_s << int(History::Kind::Thematic);
    QTest::newRow("retake") << u"test_T_zestaw"_s << int(History::Kind::Retake);
}

void TestHistory::recordsTheTestAndEachQuestion()
{
    QFETCH(QString, table);
    QFETCH(int, kind);
    TestDatabase db;
    QVERIFY(fillBank(db, {27, 28}, 2));
    QVERIFY(fillSet(db, table, {{2701, u"A"_s}, {2702, u"B"_s}, {2801, u"A"_s}, {2802, u"A"_s}}));

    const qint64 id
        = History::record(db.database(), table, History::Kind(kind), resultOf(3, 1), Now);
    QCOMPARE(
        db.rows(
            u"SELECT data, rodzaj, pytan, poprawne, bledne, procent, zdany FROM historia_testow"_s),
        (QList<QVariantList> {{u"2026-12-11 12:00:00"_s, kind, 4, 3, 1, 75, 1}}));
    QCOMPARE(
        db.rows(
            u"SELECT id_testu, lp, id_pytanie, id_dzial, poprawna_odpowiedz, udzielona_odpowiedz "
            "FROM historia_odpowiedzi ORDER BY lp"_s),
        (QList<QVariantList> {{id, 1, 2701, 27, u"A"_s, u"A"_s},
                              {id, 2, 2702, 27, u"A"_s, u"B"_s},
                              {id, 3, 2801, 28, u"A"_s, u"A"_s},
                              {id, 4, 2802, 28, u"A"_s, u"A"_s}}));
}

void TestHistory::failedRecordLeavesNothing()
{
    TestDatabase db;
    QVERIFY(fillBank(db, {27}, 2));
    QVERIFY(fillSet(db, u"test_zestaw"_s, {{2701, u"A"_s}, {2702, u"B"_s}}));
    // The answers cannot be written: the test row must go too.
    QVERIFY(db.exec(
        {u"CREATE TRIGGER refuse BEFORE INSERT ON historia_odpowiedzi BEGIN SELECT RAISE(ABORT, 'dysk pełny'); END"_s}));
    QVERIFY_THROWS_EXCEPTION(
        Error,
        History::record(db.database(), u"test_zestaw"_s, History::Kind::Exam, resultOf(1, 1), Now));
    QCOMPARE(db.scalar(u"SELECT count(*) FROM historia_testow"_s).toInt(), 0);
}

void TestHistory::entriesNewestFirst()
{
    TestDatabase db;
    QVERIFY(fillBank(db, {27}, 1));
    QVERIFY(fillSet(db, u"test_zestaw"_s, {{2701, u"A"_s}}));
    QVERIFY(History::entries(db.database()).isEmpty());
    History::record(db.database(), u"test_zestaw"_s, History::Kind::Exam, resultOf(1, 0),
                    Now.addDays(-2));
    History::record(db.database(), u"test_zestaw"_s, History::Kind::Thematic, resultOf(0, 1), Now);
    History::record(db.database(), u"test_zestaw"_s, History::Kind::Retake, resultOf(1, 0),
                    Now.addDays(-1));
    const QList<History::Entry> entries = History::entries(db.database());
    QCOMPARE(entries.size(), 3);
    QCOMPARE(entries.at(0).when, Now);
    QCOMPARE(entries.at(0).kind, History::Kind::Thematic);
    QCOMPARE(entries.at(0).passed, false);
    QCOMPARE(entries.at(1).kind, History::Kind::Retake);
    QCOMPARE(entries.at(2).when, Now.addDays(-2));
    QCOMPARE(entries.at(2).percent, 100);
}

void TestHistory::sectionShares_data()
{
    // The right answer is always A.
    QTest::addColumn<Tests>("tests");
    QTest::addColumn<QString>("expected"); // "code right/answers" in ascending code

    QTest::newRow("one test, two sections")
        << Tests {{0, {u"27:A"_s, u"27:B"_s, u"28:A"_s}}} << u"27 1/2, 28 1/1"_s;
    QTest::newRow("tests add up") << Tests {{1, {u"27:A"_s, u"27:B"_s}},
                                            {3, {u"27:A"_s, u"28:C"_s}}}
                                  << u"27 2/3, 28 0/1"_s;
    QTest::newRow("older than 30 days left out")
        << Tests {{31, {u"27:B"_s, u"28:B"_s}}, {29, {u"28:A"_s}}} << u"28 1/1"_s;
    QTest::newRow("unanswered counts as not right")
        << Tests {{0, {u"27:"_s, u"27:A"_s}}} << u"27 1/2"_s;
    QTest::newRow("nothing recorded") << Tests {} << QString();
}

void TestHistory::sectionShares()
{
    QFETCH(Tests, tests);
    QFETCH(QString, expected);
    TestDatabase db;
    QVERIFY(fillBank(db, {27, 28}, 10));
    for (const auto &[daysAgo, answers] : tests) {
        QList<std::pair<int, QString>> rows;
        QMap<int, int> next;
        for (const QString &answer : answers) {
            const int code = answer.section(u':', 0, 0).toInt();
            rows.append({code * 100 + ++next[code], answer.section(u':', 1)});
        }
        QVERIFY(fillSet(db, u"test_zestaw"_s, rows));
        History::record(db.database(), u"test_zestaw"_s, History::Kind::Exam, resultOf(1, 1),
                        Now.addDays(-daysAgo));
    }
    QStringList shares;
    for (const History::SectionShare &share :
         History::sectionShares(db.database(), Now.addDays(-History::RecentDays)))
        shares << u"%1 %2/%3"_s.arg(share.idDzial).arg(share.right).arg(share.answers);
    QCOMPARE(shares.join(u", "_s), expected);
}

void TestHistory::questionGoneFromTheBankKeepsItsCounts()
{
    TestDatabase db;
    QVERIFY(fillBank(db, {27}, 2));
    QVERIFY(fillSet(db, u"test_zestaw"_s, {{2701, u"B"_s}, {2702, u"A"_s}}));
    History::record(db.database(), u"test_zestaw"_s, History::Kind::Exam, resultOf(1, 1), Now);
    // The content is refreshed without question 2701.
    QVERIFY(db.exec({u"DELETE FROM test_pytania WHERE id_pytanie = 2701"_s}));
    const QList<History::SectionShare> shares
        = History::sectionShares(db.database(), Now.addDays(-1));
    QCOMPARE(shares.size(), 1);
    QCOMPARE(shares.first().right, 1);
    QCOMPARE(shares.first().answers, 2);
    QCOMPARE(History::entries(db.database()).first().wrong, 1);
}

void TestHistory::weakest_data()
{
    QTest::addColumn<QList<History::SectionShare>>("shares");
    QTest::addColumn<QList<int>>("expected");
    QTest::newRow("lowest five of seven")
        << QList<History::SectionShare> {{1, 9, 10}, {3, 1, 10}, {4, 5, 10}, {5, 2, 10},
                                         {7, 8, 10}, {8, 3, 10}, {9, 4, 10}}
        << QList<int> {3, 5, 8, 9, 4};
    QTest::newRow("fewer than five")
        << QList<History::SectionShare> {{1, 1, 2}, {3, 0, 1}} << QList<int> {3, 1};
    QTest::newRow("equal shares: more answers first, then lower code")
        << QList<History::SectionShare> {{9, 1, 2}, {4, 2, 4}, {3, 1, 2}, {1, 5, 10},
                                         {5, 0, 0}, {6, 1, 2}, {7, 1, 2}}
        << QList<int> {1, 4, 3, 6, 7};
    QTest::newRow("none") << QList<History::SectionShare> {} << QList<int> {};
}

void TestHistory::weakest()
{
    QFETCH(QList<History::SectionShare>, shares);
    QFETCH(QList<int>, expected);
    QCOMPARE(History::weakest(shares), expected);
}

void TestHistory::clearEmptiesBothTables()
{
    TestDatabase db;
    QVERIFY(fillBank(db, {27}, 1));
    QVERIFY(fillSet(db, u"test_zestaw"_s, {{2701, u"A"_s}}));
    History::record(db.database(), u"test_zestaw"_s, History::Kind::Exam, resultOf(1, 0), Now);
    History::clear(db.database());
    QCOMPARE(db.scalar(u"SELECT count(*) FROM historia_testow"_s).toInt(), 0);
    QCOMPARE(db.scalar(u"SELECT count(*) FROM historia_odpowiedzi"_s).toInt(), 0);
    QCOMPARE(db.scalar(u"SELECT count(*) FROM test_zestaw"_s).toInt(), 1);
}

void TestHistory::retakeHoldsTheWrongAndUnanswered()
{
    TestDatabase db;
    QVERIFY(fillBank(db, {27}, 8));
    QVERIFY(fillSet(db, u"test_zestaw"_s,
                    {{2701, u"A"_s},
                     {2702, u"B"_s},
                     {2703, u"C"_s},
                     {2704, u"A"_s},
                     {2705, QString()},
                     {2706, u" "_s}}));
    QVERIFY(fillSet(db, u"test_T_zestaw"_s, {{2708, u"A"_s}}));
    QCOMPARE(RetakeDraw::wrongAnswers(db.database(), u"test_zestaw"_s), 4);
    QCOMPARE(setIds(db, u"test_T_zestaw"_s), (std::set<int> {2702, 2703, 2705, 2706}));
    // A fresh set: numbered from 1, nothing answered, the bank's right answers.
    QCOMPARE(db.rows(u"SELECT lp FROM test_T_zestaw ORDER BY lp"_s),
             (QList<QVariantList> {{1}, {2}, {3}, {4}}));
    QCOMPARE(
        db.scalar(u"SELECT count(*) FROM test_T_zestaw WHERE udzielona_odpowiedz IS NOT NULL"_s)
            .toInt(),
        0);
    QCOMPARE(
        db.scalar(u"SELECT count(*) FROM test_T_zestaw WHERE poprawna_odpowiedz = 'A'"_s).toInt(),
        4);
    // The finished exam set is left as it was.
    QCOMPARE(db.scalar(u"SELECT count(*) FROM test_zestaw"_s).toInt(), 6);
}

void TestHistory::retakeOfARetake()
{
    TestDatabase db;
    QVERIFY(fillBank(db, {27}, 30));
    QList<std::pair<int, QString>> rows;
    for (int i = 1; i <= 30; ++i)
        rows.append({2700 + i, i % 3 == 0 ? u"A"_s : u"C"_s});
    QVERIFY(fillSet(db, u"test_T_zestaw"_s, rows));
    QCOMPARE(RetakeDraw::wrongAnswers(db.database(), u"test_T_zestaw"_s), 20);
    const QList<QVariantList> firstOrder
        = db.rows(u"SELECT id_pytanie FROM test_T_zestaw ORDER BY lp"_s);
    // The retake is answered: those with an even id right, the others wrong.
    QVERIFY(db.exec(
        {u"UPDATE test_T_zestaw SET udzielona_odpowiedz = CASE WHEN id_pytanie % 2 = 0 THEN 'A' ELSE 'B' END"_s}));
    std::set<int> expected;
    for (const QVariantList &row : firstOrder) {
        if (row.first().toInt() % 2 != 0)
            expected.insert(row.first().toInt());
    }
    QCOMPARE(RetakeDraw::wrongAnswers(db.database(), u"test_T_zestaw"_s), int(expected.size()));
    QCOMPARE(setIds(db, u"test_T_zestaw"_s), expected);
}

void TestHistory::retakeSkipsQuestionsGoneFromTheBank()
{
    TestDatabase db;
    QVERIFY(fillBank(db, {27}, 3));
    QVERIFY(fillSet(db, u"test_zestaw"_s, {{2701, u"B"_s}, {2702, u"B"_s}, {2703, u"A"_s}}));
    QVERIFY(db.exec({u"DELETE FROM test_pytania WHERE id_pytanie = 2701"_s}));
    QCOMPARE(RetakeDraw::wrongAnswers(db.database(), u"test_zestaw"_s), 1);
    QCOMPARE(setIds(db, u"test_T_zestaw"_s), std::set<int> {2702});
}

void TestHistory::retakeWithNothingWrongChangesNothing()
{
    TestDatabase db;
    QVERIFY(fillBank(db, {27}, 3));
    QVERIFY(fillSet(db, u"test_zestaw"_s, {{2701, u"A"_s}, {2702, u"A"_s}}));
    QVERIFY(fillSet(db, u"test_T_zestaw"_s, {{2703, u"B"_s}}));
    QCOMPARE(RetakeDraw::wrongAnswers(db.database(), u"test_zestaw"_s), 0);
    QCOMPARE(setIds(db, u"test_T_zestaw"_s), std::set<int> {2703});
}

void TestHistory::failedRetakeKeepsTheFinishedTest()
{
    TestDatabase db;
    QVERIFY(fillBank(db, {27}, 3));
    QVERIFY(fillSet(db, u"test_T_zestaw"_s, {{2701, u"B"_s}, {2702, u"C"_s}, {2703, u"A"_s}}));
    QVERIFY(db.exec(
        {u"CREATE TRIGGER refuse BEFORE INSERT ON test_T_zestaw BEGIN SELECT RAISE(ABORT, 'dysk pełny'); END"_s}));
    QVERIFY_THROWS_EXCEPTION(Error, RetakeDraw::wrongAnswers(db.database(), u"test_T_zestaw"_s));
    QCOMPARE(db.rows(u"SELECT id_pytanie, udzielona_odpowiedz FROM test_T_zestaw ORDER BY lp"_s),
             (QList<QVariantList> {{2701, u"B"_s}, {2702, u"C"_s}, {2703, u"A"_s}}));
}

void TestHistory::practiceOfTheWeakestPrefersMissedQuestions_data()
{
    QTest::addColumn<int>("perCode");
    QTest::addColumn<int>("missed"); // questions answered wrong before, of code 27
    QTest::addColumn<int>("expected"); // size of the set
    QTest::newRow("plenty of questions") << 10 << 6 << 20;
    QTest::newRow("more missed than room") << 10 << 25 << 20;
    QTest::newRow("small bank gives what it has") << 2 << 2 << 10;
}

void TestHistory::practiceOfTheWeakestPrefersMissedQuestions()
{
    QFETCH(int, perCode);
    QFETCH(int, missed);
    QFETCH(int, expected);
    TestDatabase db;
    const QList<int> sections = {27, 28, 29, 30, 31};
    QVERIFY(fillBank(db, sections + QList<int> {1, 3}, std::max(perCode, missed)));
    // Keep only perCode questions in each section but 27, which has room for the missed ones.
    QVERIFY(db.exec(
        {u"DELETE FROM test_pytania WHERE id_dzial <> 27 AND id_pytanie %% 100 > "_s.replace(
             u"%%"_s, u"%"_s)
         + QString::number(perCode)}));
    QList<std::pair<int, QString>> rows;
    for (int i = 1; i <= missed; ++i)
        rows.append({2700 + i, u"B"_s});
    rows.append({101, u"B"_s}); // missed, but not of a weak section
    QVERIFY(fillSet(db, u"test_zestaw"_s, rows));
    History::record(db.database(), u"test_zestaw"_s, History::Kind::Exam,
                    resultOf(0, int(rows.size())), Now);

    QCOMPARE(RetakeDraw::weakestSections(db.database(), sections), expected);
    const std::set<int> ids = setIds(db, u"test_T_zestaw"_s);
    QCOMPARE(int(ids.size()), expected);
    int missedDrawn = 0;
    for (int id : ids) {
        QVERIFY2(sections.contains(id / 100), qPrintable(QString::number(id)));
        missedDrawn += id / 100 == 27 && id % 100 <= missed;
    }
    QCOMPARE(missedDrawn, std::min(missed, expected));
}

QTEST_GUILESS_MAIN(TestHistory)
#include "tst_history.moc"
