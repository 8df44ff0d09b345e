#include "data/notestable.h"
#include "testdatabase.h"
#include "toolkit/error.h"

#include <QSignalSpy>
#include <QTest>

using namespace Qt::StringLiterals;

namespace {

// Notes 1, 2 and 3 with the texts "A", "B" and "C".
bool fillThree(TestDatabase &db)
{
    return db.exec({u"INSERT INTO notes VALUES (1, '2024-01-01T08:00:00', 'A')"_s,
                    u"INSERT INTO notes VALUES (2, '2024-01-02T08:00:00', 'B')"_s,
                    u"INSERT INTO notes VALUES (3, '2024-01-03T08:00:00', 'C')"_s});
}

// Every write to the notes table fails, as on a full disk.
bool failWrites(TestDatabase &db)
{
    return db.exec(
        {u"CREATE TRIGGER no_update BEFORE UPDATE ON notes BEGIN SELECT RAISE(ABORT, 'disk full'); END"_s,
         u"CREATE TRIGGER no_insert BEFORE INSERT ON notes BEGIN SELECT RAISE(ABORT, 'disk full'); END"_s});
}

} // namespace

class TestNotesTable : public QObject
{
    Q_OBJECT

private slots:
    void opensNewestFirst();
    void removeMakesTheNeighbourCurrent_data();
    void removeMakesTheNeighbourCurrent();
    void insertPostsAtTheTop();
    void editPostsAndCancelRestores();
    void failedPostKeepsThePendingChange();
    void megabyteContentRoundTrips();
};

void TestNotesTable::opensNewestFirst()
{
    TestDatabase db;
    QVERIFY(fillThree(db));
    NotesTable table;
    QSignalSpy current(&table, &NotesTable::currentChanged);
    table.open(db.database());
    QCOMPARE(table.state(), NotesTable::State::Browsing);
    QCOMPARE(table.rowCount(), 3);
    QCOMPARE(table.currentIndex(), 0);
    QCOMPARE(table.currentId(), 3);
    QCOMPARE(table.currentContent(), "C"_ba);
    QCOMPARE(table.data(table.index(2, 0), NotesTable::DateTimeRole).toDateTime(),
             QDateTime(QDate(2024, 1, 1), QTime(8, 0)));
    QCOMPARE(table.headerData(0, Qt::Horizontal).toString(), u"Czas stworzenia notatki"_s);
    QCOMPARE(current.size(), 1);

    QVERIFY(table.setCurrentIndex(2));
    QCOMPARE(table.currentContent(), "A"_ba);
    QCOMPARE(current.size(), 2);
    QVERIFY(!table.setCurrentIndex(3));
    QVERIFY(!table.setCurrentIndex(2));
    QCOMPARE(current.size(), 2);
}

void TestNotesTable::removeMakesTheNeighbourCurrent_data()
{
    QTest::addColumn<int>("notes");
    QTest::addColumn<int>("removed");
    QTest::addColumn<QByteArray>("nowCurrent");
    QTest::addColumn<int>("nowIndex");

    QTest::newRow("the newest: the next becomes current") << 3 << 0 << "B"_ba << 0;
    QTest::newRow("a middle one: the next becomes current") << 3 << 1 << "A"_ba << 1;
    QTest::newRow("the last: the previous becomes current") << 3 << 2 << "B"_ba << 1;
    QTest::newRow("the only one: none is current") << 1 << 0 << QByteArray() << -1;
}

void TestNotesTable::removeMakesTheNeighbourCurrent()
{
    QFETCH(int, notes);
    QFETCH(int, removed);
    QFETCH(QByteArray, nowCurrent);
    QFETCH(int, nowIndex);
    TestDatabase db;
    QVERIFY(fillThree(db));
    QVERIFY(db.exec({u"DELETE FROM notes WHERE note_id > %1"_s.arg(notes)}));
    NotesTable table;
    table.open(db.database());
    table.setCurrentIndex(removed);
    const qint64 removedId = *table.currentId();
    table.edit(); // a pending change goes with the note
    table.setContent("changed"_ba);
    QSignalSpy current(&table, &NotesTable::currentChanged);
    table.remove();
    QCOMPARE(current.size(), 1);
    QCOMPARE(table.currentIndex(), nowIndex);
    QCOMPARE(table.currentContent(), nowCurrent);
    QCOMPARE(table.state(), NotesTable::State::Browsing);
    QCOMPARE(table.rowCount(), notes - 1);
    QCOMPARE(db.scalar(u"SELECT count(*) FROM notes WHERE note_id = %1"_s.arg(removedId)).toInt(),
             0);
    QCOMPARE(db.scalar(u"SELECT count(*) FROM notes"_s).toInt(), notes - 1);
}

void TestNotesTable::insertPostsAtTheTop()
{
    TestDatabase db;
    QVERIFY(fillThree(db));
    NotesTable table;
    table.open(db.database());
    table.setCurrentIndex(1);
    const QDateTime moment(QDate(2024, 3, 3), QTime(9, 5));
    table.insert(moment, "Notatka dodana 2024-03-03 09:05\r\n"_ba);
    QCOMPARE(table.state(), NotesTable::State::Inserting);
    QCOMPARE(table.currentIndex(), 0);
    QVERIFY(!table.currentId());
    QCOMPARE(table.rowCount(), 4);
    QSignalSpy posted(&table, &NotesTable::posted);
    table.post();
    QCOMPARE(table.state(), NotesTable::State::Browsing);
    QCOMPARE(table.currentId(), 4);
    QCOMPARE(posted.size(), 1);
    QCOMPARE(posted.first().first().toLongLong(), 4);
    const QList<QVariantList> rows
        = db.rows(u"SELECT row_added_dttm, tresc FROM notes WHERE note_id = 4"_s);
    QCOMPARE(rows.size(), 1);
    QCOMPARE(rows.first().at(0).toString(), u"2024-03-03T09:05:00"_s);
    QCOMPARE(rows.first().at(1).toByteArray(), "Notatka dodana 2024-03-03 09:05\r\n"_ba);

    // An insert that is dropped leaves no trace and the newest note current.
    table.insert(moment.addSecs(60), "x"_ba);
    table.cancel();
    QCOMPARE(table.rowCount(), 4);
    QCOMPARE(table.currentId(), 4);
    QCOMPARE(db.scalar(u"SELECT count(*) FROM notes"_s).toInt(), 4);
}

void TestNotesTable::editPostsAndCancelRestores()
{
    TestDatabase db;
    QVERIFY(fillThree(db));
    NotesTable table;
    table.open(db.database());
    table.edit();
    QCOMPARE(table.state(), NotesTable::State::Editing);
    table.setContent("C2"_ba);
    QVERIFY2(!table.setCurrentIndex(1), "moving with a pending change would lose it");
    QCOMPARE(table.currentContent(), "C2"_ba);
    table.post();
    QCOMPARE(db.scalar(u"SELECT tresc FROM notes WHERE note_id = 3"_s).toByteArray(), "C2"_ba);

    table.edit();
    table.setContent("dropped"_ba);
    table.cancel();
    QCOMPARE(table.currentContent(), "C2"_ba);
    QCOMPARE(db.scalar(u"SELECT tresc FROM notes WHERE note_id = 3"_s).toByteArray(), "C2"_ba);
}

void TestNotesTable::failedPostKeepsThePendingChange()
{
    TestDatabase db;
    QVERIFY(fillThree(db));
    NotesTable table;
    table.open(db.database());
    QVERIFY(failWrites(db));
    table.edit();
    table.setContent("typed"_ba);
    QVERIFY_THROWS_EXCEPTION(Error, table.post());
    QCOMPARE(table.state(), NotesTable::State::Editing);
    QCOMPARE(table.currentContent(), "typed"_ba);

    table.cancel();
    table.insert(QDateTime::currentDateTime(), "new"_ba);
    QVERIFY_THROWS_EXCEPTION(Error, table.post());
    QCOMPARE(table.state(), NotesTable::State::Inserting);
    QCOMPARE(table.currentContent(), "new"_ba);

    QVERIFY(db.exec({u"DROP TRIGGER no_insert"_s, u"DROP TRIGGER no_update"_s}));
    table.post();
    QCOMPARE(db.scalar(u"SELECT tresc FROM notes WHERE note_id = 4"_s).toByteArray(), "new"_ba);
}

void TestNotesTable::megabyteContentRoundTrips()
{
    TestDatabase db;
    NotesTable table;
    table.open(db.database());
    QCOMPARE(table.currentIndex(), -1);
    QByteArray big(1 << 20, 'x');
    big[12345] = 'y';
    table.insert(QDateTime::currentDateTime(), big);
    table.post();
    NotesTable again;
    again.open(db.database());
    QCOMPARE(again.currentContent(), big);
}

QTEST_GUILESS_MAIN(TestNotesTable)
#include "tst_notestable.moc"
