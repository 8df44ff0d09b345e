#include "data/shuffle.h"
#include "testdatabase.h"
#include "toolkit/error.h"

#include <QRandomGenerator>
#include <QTest>

using namespace Qt::StringLiterals;

class TestShuffle : public QObject
{
    Q_OBJECT

private slots:
    void maxColumnValue_data();
    void maxColumnValue();
    void maxColumnValueOfMissingTableRaises();
    void keysForEveryNumberUpToTheLargestId_data();
    void keysForEveryNumberUpToTheLargestId();
    void emptyBankLeavesNoKeys();
    void keysAreSpreadOverTheWholeRange();
    void failedRebuildKeepsTheOldKeys();
};

void TestShuffle::maxColumnValue_data()
{
    QTest::addColumn<QStringList>("rows");
    QTest::addColumn<QString>("condition");
    QTest::addColumn<int>("expected");

    const QStringList bank = {u"(5, 'A', 1)"_s, u"(250, 'B', 27)"_s, u"(17, 'C', 27)"_s};
    QTest::newRow("empty table") << QStringList() << QString() << 0;
    QTest::newRow("whole bank") << bank << QString() << 250;
    QTest::newRow("with a condition") << bank << u"id_dzial = 1"_s << 5;
    QTest::newRow("condition matching nothing") << bank << u"id_dzial = 99"_s << 0;
}

void TestShuffle::maxColumnValue()
{
    QFETCH(QStringList, rows);
    QFETCH(QString, condition);
    QFETCH(int, expected);
    TestDatabase db;
    for (const QString &row : std::as_const(rows))
        QVERIFY(db.exec({u"INSERT INTO test_pytania (id_pytanie, poprawna_odpowiedz, id_dzial) VALUES "_s + row}));
    QCOMPARE(MaxColumnValue(db.database(), u"test_pytania"_s, u"id_pytanie"_s, condition), expected);
}

void TestShuffle::maxColumnValueOfMissingTableRaises()
{
    TestDatabase db;
    try {
        MaxColumnValue(db.database(), u"no_such_table"_s, u"id"_s);
        QFAIL("no error raised");
    } catch (const Error &error) {
        QVERIFY2(error.message().contains(u"no such table"_s), qPrintable(error.message()));
    }
}

void TestShuffle::keysForEveryNumberUpToTheLargestId_data()
{
    QTest::addColumn<QList<int>>("ids");
    QTest::newRow("bank with gaps up to 250") << QList<int>{3, 4, 100, 250};
    QTest::newRow("single question") << QList<int>{1};
    QTest::newRow("largest id the sets can hold") << QList<int>{1, 32767};
}

void TestShuffle::keysForEveryNumberUpToTheLargestId()
{
    QFETCH(QList<int>, ids);
    TestDatabase db;
    for (int id : std::as_const(ids))
        QVERIFY(db.exec({u"INSERT INTO test_pytania (id_pytanie, poprawna_odpowiedz, id_dzial) VALUES (%1, 'A', 1)"_s.arg(id)}));
    // Keys left from an earlier draw must go, also those beyond the new range.
    QVERIFY(db.exec({u"INSERT INTO test_pytania_random VALUES (40000, 1)"_s}));

    const int n = MaxColumnValue(db.database(), u"test_pytania"_s, u"id_pytanie"_s);
    RebuildRandomKeys(db.database(), u"test_pytania_random"_s, u"random"_s, u"id_pytanie"_s, n);

    const int largest = ids.last();
    QCOMPARE(db.scalar(u"SELECT count(*) FROM test_pytania_random"_s).toInt(), largest);
    QCOMPARE(db.scalar(u"SELECT count(DISTINCT id_pytanie) FROM test_pytania_random"_s).toInt(), largest);
    QCOMPARE(db.scalar(u"SELECT min(id_pytanie) FROM test_pytania_random"_s).toInt(), 1);
    QCOMPARE(db.scalar(u"SELECT max(id_pytanie) FROM test_pytania_random"_s).toInt(), largest);
    QCOMPARE(db.scalar(u"SELECT count(*) FROM test_pytania_random WHERE random < 0 OR random > 14999 OR random IS NULL"_s).toInt(), 0);
}

void TestShuffle::emptyBankLeavesNoKeys()
{
    TestDatabase db;
    QVERIFY(db.exec({u"INSERT INTO test_pytania_random VALUES (1, 7)"_s, u"INSERT INTO test_pytania_random VALUES (2, 9)"_s}));
    const int n = MaxColumnValue(db.database(), u"test_pytania"_s, u"id_pytanie"_s);
    QCOMPARE(n, 0);
    RebuildRandomKeys(db.database(), u"test_pytania_random"_s, u"random"_s, u"id_pytanie"_s, n);
    QCOMPARE(db.scalar(u"SELECT count(*) FROM test_pytania_random"_s).toInt(), 0);
}

void TestShuffle::keysAreSpreadOverTheWholeRange()
{
    // With a fixed seed the outcome is repeatable; 30,000 keys over 15,000
    // values come close to both ends of the range and fill both halves evenly.
    TestDatabase db;
    QRandomGenerator generator(20261211);
    RebuildRandomKeys(db.database(), u"test_pytania_random"_s, u"random"_s, u"id_pytanie"_s, 30000, &generator);
    QVERIFY(db.scalar(u"SELECT min(random) FROM test_pytania_random"_s).toInt() < 50);
    QVERIFY(db.scalar(u"SELECT max(random) FROM test_pytania_random"_s).toInt() > 14950);
    const int lowerHalf = db.scalar(u"SELECT count(*) FROM test_pytania_random WHERE random < 7500"_s).toInt();
    QVERIFY2(lowerHalf > 14500 && lowerHalf < 15500, qPrintable(QString::number(lowerHalf)));
}

void TestShuffle::failedRebuildKeepsTheOldKeys()
{
    TestDatabase db;
    QVERIFY(db.exec({u"INSERT INTO test_pytania_random VALUES (1, 7)"_s}));
    try {
        RebuildRandomKeys(db.database(), u"test_pytania_random"_s, u"random"_s, u"no_such_column"_s, 5);
        QFAIL("no error raised");
    } catch (const Error &) {
    }
    QCOMPARE(db.rows(u"SELECT id_pytanie, random FROM test_pytania_random"_s),
             (QList<QVariantList>{{1, 7}}));
}

QTEST_GUILESS_MAIN(TestShuffle)
#include "tst_shuffle.moc"
