// The schema's behaviour that the tests of the exam rely on, checked on the
// SQL the program issues.

#include "data/schema.h"
#include "testdatabase.h"

#include <QTest>

using namespace Qt::StringLiterals;

namespace {

// n questions of section 27 with ids 1..n, key = 1000 - id, so that
// "order by random" delivers them in descending id.
QStringList questionsWithKeys(int n)
{
    QStringList statements;
    for (int id = 1; id <= n; ++id) {
        statements << u"INSERT INTO test_pytania (id_pytanie, poprawna_odpowiedz, id_dzial) VALUES (%1, 'A', 27)"_s.arg(id)
                   << u"INSERT INTO test_pytania_random (id_pytanie, random) VALUES (%1, %2)"_s.arg(id).arg(1000 - id);
    }
    return statements;
}

QString drawStatement(const QString &table, int count)
{
    return u"insert into %1 (id_pytanie,poprawna_odpowiedz,random)\r\n"
           "SELECT A.id_pytanie,A.poprawna_odpowiedz, B.random FROM test_pytania as A, test_pytania_random as B\r\n"
           "where A.id_pytanie = B.id_pytanie and A.id_dzial >= 27 and A.id_dzial <= 27 order by B.random LIMIT %2"_s
            .arg(table)
            .arg(count);
}

} // namespace

class TestSchema : public QObject
{
    Q_OBJECT

private slots:
    void allTablesExist();
    void lpRestartsAfterEmptying_data();
    void lpRestartsAfterEmptying();
    void insertSelectNumbersInSelectOrder();
    void unansweredCheckSelectsNullAndBlank();
    void rightAndWrongCountsSkipUnanswered();
    void newestNoteHasTheHighestIdEvenAfterDeletingIt();
};

void TestSchema::allTablesExist()
{
    TestDatabase db;
    QVERIFY(db.isValid());
    QStringList tables;
    for (const QVariantList &row :
         db.rows(u"SELECT name FROM sqlite_master WHERE type = 'table' AND name NOT LIKE 'sqlite_%' ORDER BY name COLLATE BINARY"_s))
        tables << row.first().toString();
    QCOMPARE(tables.size(), 15);
    for (const QString &table : Schema::tableNames() + Schema::ownTableNames())
        QVERIFY2(tables.contains(table), qPrintable(table));

    // Every table is content, the user's or the database's own facts, and
    // only one of them, so that a refresh knows what to replace and what to
    // keep.
    QStringList classified = Schema::contentTableNames() + Schema::userTableNames();
    classified << Schema::infoTableName();
    std::sort(classified.begin(), classified.end());
    QCOMPARE(classified, tables);
}

void TestSchema::lpRestartsAfterEmptying_data()
{
    QTest::addColumn<QString>("table");
    QTest::newRow("exam set") << u"test_zestaw"_s;
    QTest::newRow("thematic set, quoted as the program writes it") << u"\"test_T_zestaw\""_s;
}

void TestSchema::lpRestartsAfterEmptying()
{
    QFETCH(QString, table);
    TestDatabase db;
    QVERIFY(db.exec(questionsWithKeys(40)));

    QVERIFY(db.exec({drawStatement(table, 40)}));
    QCOMPARE(db.scalar(u"SELECT max(lp) FROM "_s + table).toInt(), 40);

    QVERIFY(db.exec({u"DELETE FROM "_s + table, drawStatement(table, 30)}));
    QCOMPARE(db.scalar(u"SELECT count(*) FROM "_s + table).toInt(), 30);
    QCOMPARE(db.scalar(u"SELECT min(lp) FROM "_s + table).toInt(), 1);
    QCOMPARE(db.scalar(u"SELECT max(lp) FROM "_s + table).toInt(), 30);
}

void TestSchema::insertSelectNumbersInSelectOrder()
{
    TestDatabase db;
    QVERIFY(db.exec(questionsWithKeys(10)));
    // Two batches in a row, as a draw runs them: the second continues the numbering.
    QVERIFY(db.exec({drawStatement(u"test_zestaw"_s, 3), drawStatement(u"test_zestaw"_s, 2)}));
    const QList<QVariantList> rows = db.rows(u"SELECT lp, id_pytanie, random FROM test_zestaw ORDER BY lp"_s);
    QCOMPARE(rows.size(), 5);
    const QList<int> expectedIds = {10, 9, 8, 10, 9};
    for (int i = 0; i < rows.size(); ++i) {
        QCOMPARE(rows[i][0].toInt(), i + 1);
        QCOMPARE(rows[i][1].toInt(), expectedIds[i]);
    }
    QVERIFY(rows[0][2].toInt() < rows[1][2].toInt());
}

void TestSchema::unansweredCheckSelectsNullAndBlank()
{
    TestDatabase db;
    QVERIFY(db.exec({
            u"INSERT INTO test_zestaw (id_pytanie, poprawna_odpowiedz, udzielona_odpowiedz) VALUES (1, 'A', 'A')"_s,
            u"INSERT INTO test_zestaw (id_pytanie, poprawna_odpowiedz, udzielona_odpowiedz) VALUES (2, 'B', NULL)"_s,
            u"INSERT INTO test_zestaw (id_pytanie, poprawna_odpowiedz, udzielona_odpowiedz) VALUES (3, 'C', ' ')"_s,
            u"INSERT INTO test_zestaw (id_pytanie, poprawna_odpowiedz, udzielona_odpowiedz) VALUES (4, 'A', 'B')"_s,
            u"INSERT INTO test_zestaw (id_pytanie, poprawna_odpowiedz, udzielona_odpowiedz) VALUES (5, 'A', 'C')"_s,
    }));
    const QList<QVariantList> rows = db.rows(
            u"SELECT lp FROM \"test_zestaw\" where udzielona_odpowiedz is null or udzielona_odpowiedz not in ('A', 'B', 'C') order by lp"_s);
    QCOMPARE(rows.size(), 2);
    QCOMPARE(rows[0][0].toInt(), 2);
    QCOMPARE(rows[1][0].toInt(), 3);
}

void TestSchema::rightAndWrongCountsSkipUnanswered()
{
    TestDatabase db;
    QVERIFY(db.exec({
            u"INSERT INTO test_zestaw (id_pytanie, poprawna_odpowiedz, udzielona_odpowiedz) VALUES (1, 'A', 'A')"_s,
            u"INSERT INTO test_zestaw (id_pytanie, poprawna_odpowiedz, udzielona_odpowiedz) VALUES (2, 'B', NULL)"_s,
            u"INSERT INTO test_zestaw (id_pytanie, poprawna_odpowiedz, udzielona_odpowiedz) VALUES (3, 'C', 'A')"_s,
    }));
    QCOMPARE(db.scalar(u"select count(*) as cnt from test_zestaw where udzielona_odpowiedz = poprawna_odpowiedz"_s).toInt(), 1);
    QCOMPARE(db.scalar(u"select count(*) as cnt from test_zestaw where udzielona_odpowiedz <> poprawna_odpowiedz"_s).toInt(), 1);
}

void TestSchema::newestNoteHasTheHighestIdEvenAfterDeletingIt()
{
    TestDatabase db;
    QVERIFY(db.exec({
            u"INSERT INTO notes (row_added_dttm, tresc) VALUES ('2026-01-01T10:00:00', 'a')"_s,
            u"INSERT INTO notes (row_added_dttm, tresc) VALUES ('2026-01-02T10:00:00', 'b')"_s,
            u"DELETE FROM notes WHERE note_id = 2"_s,
            u"INSERT INTO notes (row_added_dttm, tresc) VALUES ('2026-01-03T10:00:00', 'c')"_s,
    }));
    QCOMPARE(db.scalar(u"SELECT tresc FROM notes ORDER BY note_id DESC"_s).toString(), u"c"_s);
    QCOMPARE(db.scalar(u"SELECT max(note_id) FROM notes"_s).toInt(), 3);
}

QTEST_GUILESS_MAIN(TestSchema)
#include "tst_schema.moc"
