// The oral drill's boxes, its draw and its records, on the program's schema.

#include "testdatabase.h"
#include "tests/history.h"
#include "tests/oraldrill.h"
#include "toolkit/error.h"

#include <QSqlQuery>
#include <QTest>

using namespace Qt::StringLiterals;
using namespace OralDrill;

namespace {

const QDate Today(2026, 12, 11);

Candidate candidate(int id, char dla, int box = 0, int dueInDays = 0)
{
    return {id, QChar::fromLatin1(dla),
            box == 0 ? BoxState {} : BoxState {box, Today.addDays(dueInDays)}};
}

// Open questions id = code * 10 + i, D for odd i, each teaching document 11.
bool fillBank(TestDatabase &db, const QList<int> &codes, int perCode)
{
    QSqlQuery question(db.database());
    question.prepare(u"INSERT INTO ustne_pytania VALUES (?, ?, ?, 11, ?)"_s);
    QSqlQuery point(db.database());
    point.prepare(u"INSERT INTO ustne_punkty VALUES (?, ?, ?)"_s);
    for (int code : codes) {
        for (int i = 1; i <= perCode; ++i) {
            const int id = code * 10 + i;
            question.addBindValue(id);
            question.addBindValue(code);
            question.addBindValue(i % 2 ? u"D"_s : u"E"_s);
            question.addBindValue(u"Pytanie %1?"_s.arg(id));
            if (!question.exec())
                return false;
            for (int nr = 1; nr <= 2; ++nr) {
                point.addBindValue(id);
                point.addBindValue(nr);
                point.addBindValue(u"Punkt %1.%2"_s.arg(id).arg(nr));
                if (!point.exec())
                    return false;
            }
        }
    }
    return db.exec({u"INSERT INTO tree VALUES (11, NULL, 1, 'Dokument', NULL, 2, 1)"_s});
}

} // namespace

class TestOralDrill : public QObject
{
    Q_OBJECT

private slots:
    void schedule_data();
    void schedule();
    void groups_data();
    void groups();
    void orderTakesDueThenNewThenTheRest();
    void orderPrefersTheVariantWithinAGroup();
    void orderIsRandomWithinAGroup();
    void recordMovesTheQuestionBetweenBoxes();
    void loadKeepsTheOrderAndHidesAMissingDocument();
    void failedWriteIsKeptForTheNextAnswer();
    void boxCountsCountTheBankOnly();
    void drillIsRecordedAsItsOwnKind();
};

void TestOralDrill::schedule_data()
{
    QTest::addColumn<int>("box");
    QTest::addColumn<bool>("known");
    QTest::addColumn<int>("newBox");
    QTest::addColumn<int>("dueInDays");
    QTest::newRow("new, known") << 0 << true << 1 << 1;
    QTest::newRow("new, not known") << 0 << false << 1 << 1;
    QTest::newRow("1, known") << 1 << true << 2 << 2;
    QTest::newRow("2, known") << 2 << true << 3 << 4;
    QTest::newRow("3, known") << 3 << true << 4 << 8;
    QTest::newRow("4, known") << 4 << true << 5 << 16;
    QTest::newRow("5, known stays") << 5 << true << 5 << 16;
    QTest::newRow("4, not known") << 4 << false << 1 << 1;
    QTest::newRow("5, not known") << 5 << false << 1 << 1;
}

void TestOralDrill::schedule()
{
    QFETCH(int, box);
    QFETCH(bool, known);
    QFETCH(int, newBox);
    QFETCH(int, dueInDays);
    const BoxState before {box, box ? Today.addDays(-3) : QDate()};
    QCOMPARE(OralDrill::schedule(before, known ? Judgement::Known : Judgement::NotKnown, Today),
             (BoxState {newBox, Today.addDays(dueInDays)}));
}

void TestOralDrill::groups_data()
{
    QTest::addColumn<int>("box");
    QTest::addColumn<int>("dueInDays");
    QTest::addColumn<int>("group");
    QTest::newRow("never judged") << 0 << 0 << int(Group::New);
    QTest::newRow("due today") << 2 << 0 << int(Group::Due);
    QTest::newRow("overdue") << 1 << -30 << int(Group::Due);
    QTest::newRow("due tomorrow") << 1 << 1 << int(Group::Rest);
    QTest::newRow("longest interval ahead") << 5 << 16 << int(Group::Rest);
    QTest::newRow("clock set back by years") << 3 << 3 * 365 << int(Group::Due);
}

void TestOralDrill::groups()
{
    QFETCH(int, box);
    QFETCH(int, dueInDays);
    QFETCH(int, group);
    const BoxState state = box ? BoxState {box, Today.addDays(dueInDays)} : BoxState {};
    QCOMPARE(int(groupOf(state, Today)), group);
}

void TestOralDrill::orderTakesDueThenNewThenTheRest()
{
    const QList<Candidate> all = {candidate(1, 'D', 2, 5),       candidate(2, 'D'),
                                  candidate(3, 'D', 1, -1),      candidate(4, 'D', 3, -9),
                                  candidate(5, 'D', 4, 3 * 365), candidate(6, 'D'),
                                  candidate(7, 'D', 5, 10)};
    QRandomGenerator random(7);
    const QList<int> ids = order(all, u'D', 7, Today, random);
    // Most overdue first; the date from a clock set back counts as due today.
    QCOMPARE(ids.mid(0, 3), (QList<int> {4, 3, 5}));
    QCOMPARE(QSet<int>(ids.begin() + 3, ids.begin() + 5), (QSet<int> {2, 6}));
    QCOMPARE(QSet<int>(ids.begin() + 5, ids.end()), (QSet<int> {1, 7}));
    QRandomGenerator again(7);
    QCOMPARE(order(all, u'D', 3, Today, again), (QList<int> {4, 3, 5}));
}

void TestOralDrill::orderPrefersTheVariantWithinAGroup()
{
    const QList<Candidate> all = {candidate(1, 'D'), candidate(2, 'E'), candidate(3, 'D'),
                                  candidate(4, 'E', 1, -2), candidate(5, 'D', 1, -2)};
    for (quint32 seed : {1u, 2u, 3u}) {
        QRandomGenerator random(seed);
        const QList<int> forE = order(all, u'E', 5, Today, random);
        QCOMPARE(forE.mid(0, 3), (QList<int> {4, 5, 2}));
        QCOMPARE(QSet<int>(forE.begin() + 3, forE.end()), (QSet<int> {1, 3}));
    }
}

void TestOralDrill::orderIsRandomWithinAGroup()
{
    QList<Candidate> all;
    for (int id = 1; id <= 20; ++id)
        all.append(candidate(id, 'D'));
    QSet<QList<int>> orders;
    for (quint32 seed = 1; seed <= 5; ++seed) {
        QRandomGenerator random(seed);
        const QList<int> ids = order(all, u'D', 20, Today, random);
        QCOMPARE(QSet<int>(ids.begin(), ids.end()).size(), 20);
        orders.insert(ids);
    }
    QVERIFY(orders.size() > 1);
}

void TestOralDrill::recordMovesTheQuestionBetweenBoxes()
{
    TestDatabase db;
    QVERIFY(fillBank(db, {27}, 2));
    record(db.database(), 271, Judgement::Known, Today);
    record(db.database(), 271, Judgement::Known, Today.addDays(1));
    QCOMPARE(boxOf(db.database(), 271), (BoxState {2, Today.addDays(3)}));
    record(db.database(), 271, Judgement::NotKnown, Today.addDays(3));
    QCOMPARE(db.rows(u"SELECT id_ustne, pudelko, termin FROM ustne_powtorki"_s),
             (QList<QVariantList> {{271, 1, u"2026-12-15"_s}}));
    const QList<Candidate> found = candidates(db.database(), {27});
    QCOMPARE(found.size(), 2);
    QCOMPARE(found.at(0).state, (BoxState {1, QDate(2026, 12, 15)}));
    QCOMPARE(found.at(1).state, BoxState {});
    QCOMPARE(found.at(1).dla, u'E');
}

void TestOralDrill::loadKeepsTheOrderAndHidesAMissingDocument()
{
    TestDatabase db;
    QVERIFY(fillBank(db, {27, 28}, 1));
    QVERIFY(db.exec({u"UPDATE ustne_pytania SET item_id = 99 WHERE id_ustne = 281"_s}));
    const QList<OralDrill::Question> questions = load(db.database(), {281, 5, 271});
    QCOMPARE(questions.size(), 2);
    QCOMPARE(questions.at(0).id, 281);
    QCOMPARE(questions.at(0).documentCaption, QString());
    QCOMPARE(questions.at(1).text, u"Pytanie 271?"_s);
    QCOMPARE(questions.at(1).points, (QStringList {u"Punkt 271.1"_s, u"Punkt 271.2"_s}));
    QCOMPARE(questions.at(1).documentCaption, u"Dokument"_s);
}

void TestOralDrill::failedWriteIsKeptForTheNextAnswer()
{
    TestDatabase db;
    QVERIFY(fillBank(db, {27}, 3));
    Session session(load(db.database(), {271, 272, 273}));
    QVERIFY(db.exec(
        {u"CREATE TRIGGER refuse BEFORE INSERT ON ustne_powtorki BEGIN SELECT RAISE(ABORT, 'dysk pełny'); END"_s}));
    session.judge(Judgement::NotKnown, Today);
    QVERIFY_THROWS_EXCEPTION(Error, session.writePending(db.database()));
    QVERIFY(session.hasPending());
    QCOMPARE(session.position(), 1);
    QVERIFY(db.exec({u"DROP TRIGGER refuse"_s}));
    session.skip();
    session.judge(Judgement::Known, Today);
    session.writePending(db.database());
    QVERIFY(!session.hasPending());
    QVERIFY(session.finished());
    QCOMPARE(db.rows(u"SELECT id_ustne, pudelko FROM ustne_powtorki ORDER BY id_ustne"_s),
             (QList<QVariantList> {{271, 1}, {273, 1}}));
    QCOMPARE(session.known(), 1);
    QCOMPARE(session.notKnownQuestions().size(), 1);
    QCOMPARE(session.notKnownQuestions().first().id, 271);
}

void TestOralDrill::boxCountsCountTheBankOnly()
{
    TestDatabase db;
    QVERIFY(fillBank(db, {27}, 4));
    QVERIFY(db.exec({u"INSERT INTO ustne_powtorki VALUES (271, 1, '2026-12-12')"_s,
                     u"INSERT INTO ustne_powtorki VALUES (272, 3, '2026-12-12')"_s,
                     u"INSERT INTO ustne_powtorki VALUES (273, 3, '2026-12-12')"_s,
                     u"INSERT INTO ustne_powtorki VALUES (999, 5, '2026-12-12')"_s}));
    QCOMPARE(boxCounts(db.database()),
             (QMap<int, int> {{0, 1}, {1, 1}, {2, 0}, {3, 2}, {4, 0}, {5, 0}}));
}

void TestOralDrill::drillIsRecordedAsItsOwnKind()
{
    TestDatabase db;
    History::recordOralDrill(db.database(), 10, 6, 3, QDateTime(Today, QTime(9, 30)));
    QCOMPARE(
        db.rows(
            u"SELECT data, rodzaj, pytan, poprawne, bledne, procent, zdany FROM historia_testow"_s),
        (QList<QVariantList> {{u"2026-12-11 09:30:00"_s, 5, 10, 6, 3, 66, 0}}));
    QCOMPARE(History::entries(db.database()).first().kind, History::Kind::OralDrill);
    QCOMPARE(History::kindName(History::Kind::OralDrill), u"Egzamin ustny"_s);
}

QTEST_GUILESS_MAIN(TestOralDrill)
#include "tst_oraldrill.moc"
