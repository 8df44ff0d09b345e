#include "testdatabase.h"
#include "tests/examdraw.h"
#include "tests/thematicdraw.h"
#include "toolkit/error.h"

#include <QSqlQuery>
#include <QTest>

#include <set>

using namespace Qt::StringLiterals;

namespace {

using Codes = std::set<int>;
// One entry per lp: the codes its question may come from.
using Shape = QList<Codes>;

const QList<int> AllCodes = {1,  3,  4,  5,  6,  7,  8,  9,  10, 11, 12, 13, 14, 15, 16,
                             17, 18, 19, 21, 22, 23, 24, 25, 27, 28, 29, 30, 31, 32};

// perCode questions of every code, ids code * 100 + i.
bool fillBank(TestDatabase &db, int perCode, const QMap<int, int> &exceptions = {})
{
    QSqlQuery insert(db.database());
    insert.prepare(u"INSERT INTO test_pytania (id_pytanie, poprawna_odpowiedz, id_dzial) VALUES (?, ?, ?)"_s);
    for (int code : AllCodes) {
        for (int i = 1; i <= exceptions.value(code, perCode); ++i) {
            insert.addBindValue(code * 100 + i);
            insert.addBindValue(QStringLiteral("ABC").mid(i % 3, 1));
            insert.addBindValue(code);
            if (!insert.exec())
                return false;
        }
    }
    return true;
}

struct SetRows
{
    QList<int> lp;
    QList<int> code;
    QList<int> random;
};

SetRows readSet(TestDatabase &db, const QString &table)
{
    SetRows rows;
    QSqlQuery query(db.database());
    query.exec(u"SELECT s.lp, q.id_dzial, s.random FROM \"%1\" s JOIN test_pytania q ON q.id_pytanie = s.id_pytanie ORDER BY s.lp"_s.arg(table));
    while (query.next()) {
        rows.lp << query.value(0).toInt();
        rows.code << query.value(1).toInt();
        rows.random << query.value(2).toInt();
    }
    return rows;
}

Shape repeat(const Codes &codes, int times)
{
    return Shape(times, codes);
}

Shape defaultShapeD()
{
    Shape shape = {{1}, {3}, {4, 5}, {6, 7, 8, 9, 10, 11, 12}, {13}, {14}, {15}, {16}, {17}, {18}, {19},
                   {27}, {28}, {29}, {30}};
    shape << repeat({31}, 3) << repeat({32}, 4) << repeat({21, 22, 23, 24, 25}, 3);
    return shape;
}

ExamTestConfig configE()
{
    ExamTestConfig config;
    config.variant = ExamTestConfig::Variant::E;
    return config;
}

} // namespace

class TestDraws : public QObject
{
    Q_OBJECT

private slots:
    void examComposition_data();
    void examComposition();
    void examVariantMattersOnlyForMaintenance();
    void shortSectionShortensTheTest();
    void rowsOfABatchInAscendingKey();
    void drawEmptiesThePreviousSet();
    void failedDrawKeepsThePreviousSet();
    void emptyBankGivesAnEmptySet();
    void thematicComposition();
    void thematicTakesWhatASectionHas();
    void thematicSectionsTable();
};

void TestDraws::examComposition_data()
{
    QTest::addColumn<ExamTestConfig>("config");
    QTest::addColumn<Shape>("shape");

    QTest::newRow("default exam under D") << ExamTestConfig{} << defaultShapeD();

    Shape e = defaultShapeD().mid(0, 15);
    e << Codes{31} << Codes{32} << repeat({21, 22, 23, 24, 25}, 3);
    QTest::newRow("default exam under E") << configE() << e;

    ExamTestConfig above;
    above.MeasurementsUpTo1kV = false;
    Shape aboveShape = defaultShapeD().mid(0, 22);
    aboveShape << repeat({23, 25}, 3);
    QTest::newRow("only measurements above 1 kV") << above << aboveShape;

    ExamTestConfig upTo;
    upTo.MeasurementsAbove1kV = false;
    Shape upToShape = defaultShapeD().mid(0, 22);
    upToShape << repeat({21, 22, 24}, 3);
    QTest::newRow("only measurements up to 1 kV") << upTo << upToShape;

    ExamTestConfig noGroups;
    noGroups.TopicGroups.fill(false);
    Shape noGroupsShape = {{1}, {27}, {28}, {29}, {30}};
    noGroupsShape << repeat({31}, 3) << repeat({32}, 4) << repeat({21, 22, 23, 24, 25}, 3);
    QTest::newRow("no topic groups") << noGroups << noGroupsShape;

    ExamTestConfig least;
    least.TopicGroups.fill(false);
    least.MeasurementsUpTo1kV = least.MeasurementsAbove1kV = false;
    least.ShockProtectionUpTo1kV = least.ShockProtectionAbove1kV = false;
    least.workScope = ExamTestConfig::WorkScope::Operation;
    QTest::newRow("nothing chosen: the three always drawn") << least << Shape{{1}, {29}, {30}};

    ExamTestConfig groups;
    groups.TopicGroups = {false, true, false, true, true, true, true, true, true, false};
    groups.ShockProtectionAbove1kV = false;
    Shape groupsShape = {{1}, {4, 5}, {13}, {14}, {15}, {16}, {17}, {18}, {27}, {29}, {30}};
    groupsShape << repeat({31}, 3) << repeat({32}, 4) << repeat({21, 22, 23, 24, 25}, 3);
    QTest::newRow("groups 1, 3 and 10 inverted away, no shock above 1 kV") << groups << groupsShape;
}

void TestDraws::examComposition()
{
    QFETCH(ExamTestConfig, config);
    QFETCH(Shape, shape);
    TestDatabase db;
    QVERIFY(fillBank(db, 6));
    ExamDraw::run(db.database(), config);
    const SetRows rows = readSet(db, u"test_zestaw"_s);
    QCOMPARE(rows.code.size(), shape.size());
    for (int i = 0; i < shape.size(); ++i) {
        QCOMPARE(rows.lp[i], i + 1);
        QVERIFY2(shape[i].count(rows.code[i]), qPrintable(u"lp %1 drew code %2"_s.arg(i + 1).arg(rows.code[i])));
    }
    // No question twice.
    QCOMPARE(db.scalar(u"SELECT count(DISTINCT id_pytanie) FROM test_zestaw"_s).toInt(), shape.size());
    QCOMPARE(db.scalar(u"SELECT count(*) FROM test_zestaw WHERE udzielona_odpowiedz IS NOT NULL"_s).toInt(), 0);
}

void TestDraws::examVariantMattersOnlyForMaintenance()
{
    ExamTestConfig d;
    d.workScope = ExamTestConfig::WorkScope::Operation;
    ExamTestConfig e = d;
    e.variant = ExamTestConfig::Variant::E;
    const auto sqlOf = [](const QList<DrawStatement> &statements) {
        QStringList texts;
        for (const DrawStatement &statement : statements)
            texts << statement.sql + QString::number(statement.count);
        return texts;
    };
    QCOMPARE(sqlOf(ExamDraw::statements(d)), sqlOf(ExamDraw::statements(e)));
    QCOMPARE(ExamDraw::statements(d).size(), 16); // all but the two of maintenance
}

void TestDraws::shortSectionShortensTheTest()
{
    TestDatabase db;
    QVERIFY(fillBank(db, 6, {{32, 2}}));
    ExamDraw::run(db.database(), ExamTestConfig{});
    const SetRows rows = readSet(db, u"test_zestaw"_s);
    QCOMPARE(rows.code.size(), 23);
    QCOMPARE(rows.code.mid(18, 2), (QList<int>{32, 32}));
    for (int lp = 21; lp <= 23; ++lp)
        QVERIFY(Codes({21, 22, 23, 24, 25}).count(rows.code[lp - 1]));
}

void TestDraws::rowsOfABatchInAscendingKey()
{
    TestDatabase db;
    QVERIFY(fillBank(db, 12));
    ExamDraw::run(db.database(), ExamTestConfig{});
    const SetRows rows = readSet(db, u"test_zestaw"_s);
    // Batches of several rows: 31 (lp 16-18), 32 (19-22), measurements (23-25).
    for (const auto &[first, last] : {std::pair{16, 18}, std::pair{19, 22}, std::pair{23, 25}}) {
        for (int lp = first; lp < last; ++lp)
            QVERIFY(rows.random[lp - 1] <= rows.random[lp]);
    }
    // They are the batch's smallest keys.
    QCOMPARE(db.scalar(u"SELECT min(r.random) FROM test_pytania q JOIN test_pytania_random r ON r.id_pytanie = q.id_pytanie WHERE q.id_dzial = 31"_s).toInt(),
             rows.random[15]);
}

void TestDraws::drawEmptiesThePreviousSet()
{
    TestDatabase db;
    QVERIFY(fillBank(db, 6));
    QVERIFY(db.exec({u"INSERT INTO test_zestaw (lp, id_pytanie, poprawna_odpowiedz, udzielona_odpowiedz) VALUES (40, 101, 'A', 'B')"_s}));
    ExamDraw::run(db.database(), configE());
    QCOMPARE(db.scalar(u"SELECT min(lp) || '-' || max(lp) || '-' || count(*) FROM test_zestaw"_s).toString(), u"1-20-20"_s);
}

void TestDraws::failedDrawKeepsThePreviousSet()
{
    TestDatabase db;
    QVERIFY(fillBank(db, 6));
    ExamDraw::run(db.database(), ExamTestConfig{});
    QVERIFY(db.exec({u"UPDATE test_zestaw SET udzielona_odpowiedz = 'B' WHERE lp <= 3"_s}));
    const QList<QVariantList> before = db.rows(u"SELECT * FROM test_zestaw ORDER BY lp"_s);
    const QList<QVariantList> keysBefore = db.rows(u"SELECT * FROM test_pytania_random ORDER BY id_pytanie"_s);
    // The shuffle still works; the batches then fail.
    QVERIFY(db.exec({u"ALTER TABLE test_pytania RENAME COLUMN id_dzial TO dzial"_s}));

    QVERIFY_THROWS_EXCEPTION(Error, ExamDraw::run(db.database(), ExamTestConfig{}));
    QCOMPARE(db.rows(u"SELECT * FROM test_zestaw ORDER BY lp"_s), before);
    QCOMPARE(db.rows(u"SELECT * FROM test_pytania_random ORDER BY id_pytanie"_s), keysBefore);
}

void TestDraws::emptyBankGivesAnEmptySet()
{
    TestDatabase db;
    QVERIFY(db.exec({u"INSERT INTO test_pytania_random VALUES (1, 5)"_s}));
    ExamDraw::run(db.database(), ExamTestConfig{});
    QCOMPARE(db.scalar(u"SELECT count(*) FROM test_zestaw"_s).toInt(), 0);
    QCOMPARE(db.scalar(u"SELECT count(*) FROM test_pytania_random"_s).toInt(), 0);
    ThematicDraw::run(db.database(), {{1, 5}});
    QCOMPARE(db.scalar(u"SELECT count(*) FROM test_T_zestaw"_s).toInt(), 0);
}

void TestDraws::thematicComposition()
{
    TestDatabase db;
    QVERIFY(fillBank(db, 12));
    QVERIFY(db.exec({u"INSERT INTO test_T_zestaw (lp, id_pytanie, poprawna_odpowiedz) VALUES (90, 101, 'A')"_s}));
    // Codes that the thematic test does not offer are never drawn, whatever is asked.
    ThematicDraw::run(db.database(), {{32, 3}, {1, 5}, {6, 4}, {23, 4}});
    const SetRows rows = readSet(db, u"test_T_zestaw"_s);
    QCOMPARE(rows.code, (QList<int>{1, 1, 1, 1, 1, 32, 32, 32}));
    QCOMPARE(rows.lp, (QList<int>{1, 2, 3, 4, 5, 6, 7, 8}));
    for (int i = 0; i + 1 < 5; ++i)
        QVERIFY(rows.random[i] <= rows.random[i + 1]);
    QCOMPARE(db.scalar(u"SELECT count(*) FROM test_T_zestaw WHERE udzielona_odpowiedz IS NOT NULL"_s).toInt(), 0);
}

void TestDraws::thematicTakesWhatASectionHas()
{
    TestDatabase db;
    QVERIFY(fillBank(db, 40));
    ThematicDraw::run(db.database(), {{27, 150}});
    QCOMPARE(db.scalar(u"SELECT count(*) FROM test_T_zestaw"_s).toInt(), 40);
    QCOMPARE(db.scalar(u"SELECT count(DISTINCT id_pytanie) FROM test_T_zestaw"_s).toInt(), 40);
}

void TestDraws::thematicSectionsTable()
{
    const QList<ThematicSection> &sections = ThematicDraw::ThematicSections();
    QCOMPARE(sections.size(), 27);
    int previous = 0;
    int onStep1 = 0;
    for (const ThematicSection &section : sections) {
        QVERIFY(section.idDzial > previous);
        previous = section.idDzial;
        QVERIFY(section.idDzial != 2 && section.idDzial != 6 && section.idDzial != 20
                && section.idDzial != 23 && section.idDzial != 26);
        onStep1 += section.step == 1;
    }
    QCOMPARE(onStep1, 11);
}

QTEST_GUILESS_MAIN(TestDraws)
#include "tst_draws.moc"
