#include "testdatabase.h"
#include "tests/testset.h"
#include "toolkit/error.h"

#include <QTest>

using namespace Qt::StringLiterals;

class TestScoring : public QObject
{
    Q_OBJECT

private slots:
    void score_data();
    void score();
    void nothingToScore();
    void unanswered_data();
    void unanswered();
    void countsFromTheTable();
    void repeatClearsEveryAnswer();
    void setWalksAndStoresAnswers();
};

void TestScoring::score_data()
{
    QTest::addColumn<int>("right");
    QTest::addColumn<int>("wrong");
    QTest::addColumn<int>("percent");
    QTest::addColumn<bool>("passed");
    QTest::newRow("18 of 25") << 18 << 7 << 72 << true;
    QTest::newRow("17 of 25") << 17 << 8 << 68 << false;
    QTest::newRow("14 of 20: the mark is inclusive") << 14 << 6 << 70 << true;
    QTest::newRow("13 of 20") << 13 << 7 << 65 << false;
    QTest::newRow("2 of 3 rounds down") << 2 << 1 << 66 << false;
    QTest::newRow("all right") << 25 << 0 << 100 << true;
    QTest::newRow("all wrong") << 0 << 3 << 0 << false;
}

void TestScoring::score()
{
    QFETCH(int, right);
    QFETCH(int, wrong);
    QFETCH(int, percent);
    QFETCH(bool, passed);
    const auto result = Scoring::score(right, wrong);
    QVERIFY(result);
    QCOMPARE(result->right, right);
    QCOMPARE(result->wrong, wrong);
    QCOMPARE(result->percent, percent);
    QCOMPARE(result->passed, passed);
    QCOMPARE(Scoring::verdict(passed), passed ? u"ZDAŁEŚ !!!"_s : u"MUSISZ SIE JESZCZE POUCZYC! :-("_s);
}

void TestScoring::nothingToScore()
{
    QVERIFY(!Scoring::score(0, 0));
    TestDatabase db;
    QVERIFY(!Scoring::score(db.database(), u"test_zestaw"_s));
}

void TestScoring::unanswered_data()
{
    QTest::addColumn<QString>("table");
    QTest::newRow("exam") << u"test_zestaw"_s;
    QTest::newRow("thematic") << u"test_T_zestaw"_s;
}

void TestScoring::unanswered()
{
    QFETCH(QString, table);
    TestDatabase db;
    QStringList rows;
    for (int lp = 1; lp <= 10; ++lp) {
        const QString given = lp == 4 ? u"NULL"_s : lp == 9 ? u"' '"_s : u"'B'"_s;
        rows << u"INSERT INTO \"%1\" (id_pytanie, poprawna_odpowiedz, udzielona_odpowiedz) VALUES (%2, 'A', %3)"_s
                        .arg(table).arg(lp).arg(given);
    }
    QVERIFY(db.exec(rows));
    QCOMPARE(Scoring::firstUnanswered(db.database(), table), std::optional<int>(4));
    QVERIFY(db.exec({u"UPDATE \"%1\" SET udzielona_odpowiedz = 'C' WHERE lp = 4"_s.arg(table)}));
    QCOMPARE(Scoring::firstUnanswered(db.database(), table), std::optional<int>(9));
    QVERIFY(db.exec({u"UPDATE \"%1\" SET udzielona_odpowiedz = 'a' WHERE lp = 9"_s.arg(table)}));
    QCOMPARE(Scoring::firstUnanswered(db.database(), table), std::optional<int>(9)); // only capitals count
    QVERIFY(db.exec({u"UPDATE \"%1\" SET udzielona_odpowiedz = 'A' WHERE lp = 9"_s.arg(table)}));
    QCOMPARE(Scoring::firstUnanswered(db.database(), table), std::nullopt);
}

void TestScoring::countsFromTheTable()
{
    TestDatabase db;
    QStringList rows;
    for (int lp = 1; lp <= 25; ++lp)
        rows << u"INSERT INTO test_zestaw (id_pytanie, poprawna_odpowiedz, udzielona_odpowiedz) VALUES (%1, 'A', '%2')"_s
                        .arg(lp).arg(lp <= 18 ? u"A"_s : u"C"_s);
    QVERIFY(db.exec(rows));
    const auto result = Scoring::score(db.database(), u"test_zestaw"_s);
    QVERIFY(result);
    QCOMPARE(result->right, 18);
    QCOMPARE(result->wrong, 7);
    QCOMPARE(result->percent, 72);
    QVERIFY(result->passed);
    QVERIFY(db.exec({u"DROP TABLE test_zestaw"_s}));
    QVERIFY_THROWS_EXCEPTION(Error, Scoring::score(db.database(), u"test_zestaw"_s));
}

void TestScoring::repeatClearsEveryAnswer()
{
    TestDatabase db;
    QVERIFY(db.exec({u"INSERT INTO test_T_zestaw (id_pytanie, poprawna_odpowiedz, udzielona_odpowiedz) VALUES (7, 'A', 'A')"_s,
                     u"INSERT INTO test_T_zestaw (id_pytanie, poprawna_odpowiedz, udzielona_odpowiedz) VALUES (3, 'B', NULL)"_s}));
    Scoring::clearAnswers(db.database(), u"test_T_zestaw"_s);
    QCOMPARE(db.scalar(u"SELECT group_concat(id_pytanie || '[' || udzielona_odpowiedz || ']', ',') FROM (SELECT * FROM test_T_zestaw ORDER BY lp)"_s).toString(),
             u"7[ ],3[ ]"_s);
    QCOMPARE(Scoring::firstUnanswered(db.database(), u"test_T_zestaw"_s), std::optional<int>(1));
}

void TestScoring::setWalksAndStoresAnswers()
{
    TestDatabase db;
    QVERIFY(db.exec({u"INSERT INTO test_zestaw (id_pytanie, poprawna_odpowiedz) VALUES (11, 'A')"_s,
                     u"INSERT INTO test_zestaw (id_pytanie, poprawna_odpowiedz) VALUES (12, 'B')"_s,
                     u"INSERT INTO test_zestaw (id_pytanie, poprawna_odpowiedz) VALUES (13, 'C')"_s}));
    TestSet set(u"test_zestaw"_s);
    set.open(db.database());
    QCOMPARE(set.rowCount(), 3);
    QCOMPARE(set.current()->lp, 1);
    QVERIFY(set.locate(3));
    QCOMPARE(set.current()->idPytanie, 13);
    QVERIFY(!set.current()->isAnswered());
    set.postAnswer(db.database(), u"B"_s);
    QVERIFY(set.current()->isAnswered());
    QCOMPARE(db.scalar(u"SELECT udzielona_odpowiedz FROM test_zestaw WHERE lp = 3"_s).toString(), u"B"_s);
    QVERIFY(!set.locate(4));
    QCOMPARE(set.current()->lp, 3); // a missing row leaves the current one
    set.close();
    QVERIFY(!set.current());
    QCOMPARE(set.rowCount(), 0);
}

QTEST_GUILESS_MAIN(TestScoring)
#include "tst_scoring.moc"
