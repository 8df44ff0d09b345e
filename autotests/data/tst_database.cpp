#include "data/database.h"
#include "data/shuffle.h"
#include "data/sql.h"
#include "ordinaryuser.h"
#include "scriptedmessageboxes.h"
#include "testdatabase.h"
#include "toolkit/error.h"

#include <QDir>
#include <QFile>
#include <QRandomGenerator>
#include <QSqlQuery>
#include <QTest>
#include <QThread>

using namespace Qt::StringLiterals;


class TestDatabaseConnection : public QObject
{
    Q_OBJECT

private slots:
    void cleanup() { Database::close(); }

    void opensTheFileInTheDirectory();
    void openFaults_data();
    void openFaults();
    void readOnlyFileReadsAndReportsWrites();
    void workerThreadHasItsOwnConnection();
};

void TestDatabaseConnection::opensTheFileInTheDirectory()
{
    TestDatabase db;
    QVERIFY(db.exec({u"INSERT INTO tree (item_id, nazwa) VALUES (1, 'Regulacje prawne')"_s}));
    Database::open(db.databaseDirectory());
    QVERIFY(Database::isOpen());
    QCOMPARE(QFileInfo(Database::filePath()), QFileInfo(db.filePath()));
    QSqlQuery query = Sql::exec(Database::connection(), u"SELECT nazwa FROM tree"_s);
    QVERIFY(query.next());
    QCOMPARE(query.value(0).toString(), u"Regulacje prawne"_s);

    // Opening again, as the main window's creation does, replaces the connection.
    Database::open(db.databaseDirectory());
    QVERIFY(Database::isOpen());
}

void TestDatabaseConnection::openFaults_data()
{
    QTest::addColumn<QString>("setup");
    QTest::addColumn<QString>("expectedText");

    QTest::newRow("no db directory") << u"no-directory"_s << u"No such file or directory"_s;
    QTest::newRow("directory without the file") << u"no-file"_s << u"No such file or directory"_s;
    QTest::newRow("random bytes") << u"random"_s << u"file is not a database"_s;
    QTest::newRow("a directory in place of the file") << u"directory"_s << u"unable to open database file"_s;
}

void TestDatabaseConnection::openFaults()
{
    QFETCH(QString, setup);
    QFETCH(QString, expectedText);
    QTemporaryDir base;
    const QString dbDir = QDir(base.path()).filePath(u"db"_s);
    const QString file = QDir(dbDir).filePath(u"qmx_vemora.db"_s);
    if (setup != u"no-directory"_s)
        QVERIFY(QDir().mkpath(dbDir));
    if (setup == u"random"_s) {
        QFile out(file);
        QVERIFY(out.open(QIODevice::WriteOnly));
        QRandomGenerator generator(7);
        QByteArray bytes(8192, Qt::Uninitialized);
        generator.fillRange(reinterpret_cast<quint32 *>(bytes.data()), bytes.size() / 4);
        out.write(bytes);
    } else if (setup == u"directory"_s) {
        QVERIFY(QDir().mkpath(file));
    }

    try {
        Database::open(dbDir);
        QFAIL("the database opened");
    } catch (const Error &error) {
        QVERIFY2(error.message().contains(expectedText), qPrintable(error.message()));
        QVERIFY2(error.message().contains(QDir::toNativeSeparators(file)), qPrintable(error.message()));
    }
    QVERIFY(!Database::isOpen());
    // Nothing was created where the database was looked for.
    if (setup == u"no-directory"_s || setup == u"no-file"_s)
        QVERIFY(!QFileInfo::exists(file));
}

void TestDatabaseConnection::readOnlyFileReadsAndReportsWrites()
{
    TestDatabase db;
    QVERIFY(db.exec({u"INSERT INTO test_pytania_random VALUES (1, 7)"_s,
                     u"INSERT INTO test_pytania (id_pytanie, poprawna_odpowiedz, id_dzial) VALUES (3, 'A', 1)"_s}));
    QVERIFY(db.makeReadOnlyForEveryone());

    ScriptedMessageBoxes boxes;
    {
        OrdinaryUser user;
        if (!user.canMeetReadOnlyFiles())
            QSKIP("running as root without the right to take an ordinary user's rights");
        Database::open(db.databaseDirectory());
        const QSqlDatabase connection = Database::connection();
        QCOMPARE(MaxColumnValue(connection, u"test_pytania"_s, u"id_pytanie"_s), 3);

        const bool completed = runGuarded(nullptr, [&] {
            RebuildRandomKeys(connection, u"test_pytania_random"_s, u"random"_s, u"id_pytanie"_s, 3);
        });
        QVERIFY(!completed);
        Database::close();
    }
    QCOMPARE(boxes.count(), 1);
    QVERIFY2(boxes.errors().first().contains(u"readonly"_s), qPrintable(boxes.errors().first()));
    QCOMPARE(db.rows(u"SELECT id_pytanie, random FROM test_pytania_random"_s),
             (QList<QVariantList>{{1, 7}}));
}

void TestDatabaseConnection::workerThreadHasItsOwnConnection()
{
    TestDatabase db;
    QVERIFY(db.exec({u"INSERT INTO tree (item_id, nazwa) VALUES (4, 'Testy')"_s}));
    Database::open(db.databaseDirectory());

    QString seen;
    QString connectionName;
    QThread *worker = QThread::create([&] {
        ThreadConnection connection;
        connectionName = connection.database().connectionName();
        QSqlQuery query = Sql::exec(Database::connection(), u"SELECT nazwa FROM tree WHERE item_id = 4"_s);
        if (query.next())
            seen = query.value(0).toString();
    });
    worker->start();
    QVERIFY(worker->wait(10000));
    delete worker;

    QCOMPARE(seen, u"Testy"_s);
    QVERIFY(connectionName != Database::connection().connectionName());
    // The worker's connection went with its thread.
    QVERIFY(!QSqlDatabase::contains(connectionName));
}

QTEST_GUILESS_MAIN(TestDatabaseConnection)
#include "tst_database.moc"
