#include "data/contentstore.h"
#include "data/database.h"
#include "data/datalocation.h"
#include "data/filedatabase.h"
#include "data/schema.h"
#include "data/sql.h"
#include "ordinaryuser.h"
#include "toolkit/error.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <optional>

using namespace Qt::StringLiterals;

namespace {

const QString Note = u"moja notatka"_s;

// Builds a database file of the program's schema with the tree name given
// as its content, and a note when asked.
void makeDatabase(const QString &path, const QString &nazwa, bool withNote)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    const FileDatabase file(path, FileDatabase::Mode::Create);
    const QSqlDatabase db = file.database();
    ContentStore::replace(db, [&] {
        Sql::exec(
            db,
            u"INSERT INTO tree (item_id, parent_id, node_type_id, nazwa, kolejnosc) VALUES (1, NULL, 0, '%1', 1)"_s
                .arg(nazwa));
        Sql::exec(
            db,
            u"INSERT INTO test_pytania (id_pytanie, poprawna_odpowiedz, id_dzial) VALUES (101, 'A', 1)"_s);
    });
    if (withNote)
        Sql::exec(
            db,
            u"INSERT INTO notes (row_added_dttm, tresc) VALUES ('2026-12-01T08:00:00', '%1')"_s.arg(
                Note));
}

QString scalar(const QString &path, const QString &statement)
{
    const FileDatabase file(path, FileDatabase::Mode::ReadOnly);
    QSqlQuery query = Sql::exec(file.database(), statement);
    return query.next() ? query.value(0).toString() : QString();
}

QByteArray contents(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void writeFile(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        QFAIL(qPrintable(path));
    file.write(bytes);
}

// A program directory with its delivered database, and a user's home.
struct Fixture
{
    QTemporaryDir dir;
    QString program = dir.filePath(u"program"_s);
    QString userData = dir.filePath(u"home/.local/share/Voltaris"_s);
    QString delivered = program + u"/db/qmx_vemora.db"_s;
    QString user = userData + u"/db/qmx_vemora.db"_s;

    Fixture() { makeDatabase(delivered, u"nowa"_s, false); }
};

} // namespace

class TestDataLocation : public QObject
{
    Q_OBJECT

private slots:
    void cleanup() { Database::close(); }

    void choosesTheDatabase_data();
    void choosesTheDatabase();
    void writeProtectedProgramDirectory();
    void damagedNameNeverTakesAnExistingOne();
};

void TestDataLocation::choosesTheDatabase_data()
{
    QTest::addColumn<bool>("installed");
    QTest::addColumn<QString>("userCopy"); // what the user's data directory holds at start
    QTest::addColumn<QString>("expectedFile"); // "program" or "user"
    QTest::addColumn<QString>("expectedTree");
    QTest::addColumn<bool>("noteKept");
    QTest::addColumn<QString>("problem");

    QTest::newRow("writable program directory")
        << false << u"none"_s << u"program"_s << u"nowa"_s << true << QString();
    QTest::newRow("installed, no user copy: first start copies")
        << true << u"none"_s << u"user"_s << u"nowa"_s << false << QString();
    QTest::newRow("older user copy: content refreshed, note kept")
        << true << u"older"_s << u"user"_s << u"nowa"_s << true << QString();
    QTest::newRow("current user copy: left alone")
        << true << u"current"_s << u"user"_s << u"znacznik"_s << true << QString();
    QTest::newRow("damaged user copy: moved aside, fresh copy")
        << true << u"damaged"_s << u"user"_s << u"nowa"_s << false << u"jest uszkodzona"_s;
    QTest::newRow("user copy locked by another instance: not taken for damaged")
        << true << u"locked"_s << u"program"_s << u"nowa"_s << false << u"database is locked"_s;
    QTest::newRow("user data directory cannot be made: read-only")
        << true << u"blocked"_s << u"program"_s << u"nowa"_s << false
        << u"Nie można utworzyć katalogu danych użytkownika"_s;
}

void TestDataLocation::choosesTheDatabase()
{
    QFETCH(bool, installed);
    QFETCH(QString, userCopy);
    QFETCH(QString, expectedFile);
    QFETCH(QString, expectedTree);
    QFETCH(bool, noteKept);
    QFETCH(QString, problem);

    Fixture f;
    const QByteArray garbage(4096, 'x');
    std::optional<FileDatabase> lock;
    if (userCopy == u"older"_s) {
        makeDatabase(f.user, u"stara"_s, true);
    } else if (userCopy == u"current"_s) {
        QVERIFY(QDir().mkpath(QFileInfo(f.user).absolutePath()));
        QVERIFY(QFile::copy(f.delivered, f.user));
        // Marks the content, so a refresh that should not happen shows.
        const FileDatabase file(f.user, FileDatabase::Mode::ReadWrite);
        Sql::exec(file.database(), u"UPDATE tree SET nazwa = 'znacznik'"_s);
        Sql::exec(
            file.database(),
            u"INSERT INTO notes (row_added_dttm, tresc) VALUES ('2026-12-01T08:00:00', '%1')"_s.arg(
                Note));
    } else if (userCopy == u"damaged"_s) {
        QVERIFY(QDir().mkpath(QFileInfo(f.user).absolutePath()));
        writeFile(f.user, garbage);
        writeFile(f.user + u"-journal"_s, "journal of the damaged file");
    } else if (userCopy == u"locked"_s) {
        makeDatabase(f.user, u"stara"_s, true);
        lock.emplace(f.user, FileDatabase::Mode::ReadWrite);
        Sql::exec(lock->database(), u"BEGIN EXCLUSIVE"_s);
    } else if (userCopy == u"blocked"_s) {
        // A file where a directory must go: not even root can make it.
        QVERIFY(QDir().mkpath(f.dir.filePath(u"home/.local"_s)));
        writeFile(f.dir.filePath(u"home/.local/share"_s), "a file");
    }
    if (!installed)
        makeDatabase(f.delivered, u"nowa"_s, true); // a build the user has written notes in

    const QByteArray deliveredBefore = contents(f.delivered);
    const DataLocation location = DataLocation::prepare({f.program, f.userData, installed});
    lock.reset();

    const QString file = expectedFile == u"user"_s ? f.user : f.delivered;
    QCOMPARE(QFileInfo(location.databasePath()), QFileInfo(file));
    QCOMPARE(location.userCopy(), expectedFile == u"user"_s);
    const bool readOnly = userCopy == u"blocked"_s || userCopy == u"locked"_s;
    QCOMPARE(location.readOnly(), readOnly);
    if (problem.isEmpty()) {
        QVERIFY2(location.problems().isEmpty(), qPrintable(location.problems().join(u'\n')));
    } else {
        QCOMPARE(location.problems().size(), 1);
        QVERIFY2(location.problems().first().contains(problem),
                 qPrintable(location.problems().first()));
        const QString named = userCopy == u"blocked"_s ? f.userData : f.user;
        if (readOnly)
            QVERIFY(location.problems().first().contains(u"tylko do odczytu"_s));
        QVERIFY2(location.problems().first().contains(QDir::toNativeSeparators(named)),
                 qPrintable(location.problems().first()));
    }
    if (installed)
        QCOMPARE(contents(f.delivered), deliveredBefore);

    QCOMPARE(scalar(file, u"SELECT group_concat(nazwa) FROM tree"_s), expectedTree);
    QCOMPARE(scalar(file, u"SELECT group_concat(tresc) FROM notes"_s), noteKept ? Note : QString());
    if (expectedFile == u"user"_s) {
        const FileDatabase copy(f.user, FileDatabase::Mode::ReadOnly);
        const FileDatabase source(f.delivered, FileDatabase::Mode::ReadOnly);
        if (userCopy != u"current"_s)
            QCOMPARE(ContentStore::computeStamp(copy.database()),
                     ContentStore::stamp(source.database()));
        QCOMPARE(ContentStore::stamp(copy.database()), ContentStore::stamp(source.database()));
        QVERIFY(QFileInfo(f.user).isWritable());
    }
    if (userCopy == u"locked"_s)
        QCOMPARE(scalar(f.user, u"SELECT group_concat(tresc) FROM notes"_s), Note);
    if (userCopy == u"damaged"_s) {
        QVERIFY(location.problems().first().contains(u"Utworzono nową kopię"_s));
        // Nothing the user had is destroyed, and a journal left beside the
        // damaged file (SQLite may have dropped it as not its own) is not
        // replayed into the fresh copy.
        const QString aside = QDir(QFileInfo(f.user).absolutePath())
                                  .entryList({u"qmx_vemora.db.damaged-*"_s}, QDir::Files)
                                  .value(0);
        QVERIFY(aside.startsWith(u"qmx_vemora.db.damaged-"_s
                                 + QDate::currentDate().toString(u"yyyy-MM-dd"_s)));
        const QString asidePath = QFileInfo(f.user).absoluteDir().filePath(aside);
        QCOMPARE(contents(asidePath), garbage);
        QVERIFY(!QFileInfo::exists(f.user + u"-journal"_s));
    }

    // The program opens what was chosen; a note is written or refused.
    Database::open(location.databaseDirectory(),
                   location.readOnly() ? Database::Access::ReadOnly : Database::Access::ReadWrite);
    const auto writeNote = [] {
        Sql::exec(
            Database::connection(),
            u"INSERT INTO notes (row_added_dttm, tresc) VALUES ('2026-12-02T09:00:00', 'druga')"_s);
    };
    if (location.readOnly()) {
        QVERIFY_THROWS_EXCEPTION(Error, writeNote());
    } else {
        writeNote();
    }
    Database::close();
    if (installed)
        QCOMPARE(contents(f.delivered), deliveredBefore);
}

void TestDataLocation::writeProtectedProgramDirectory()
{
    Fixture f;
    makeDatabase(f.user, u"stara"_s, true);
    // An installation: the program's files are readable by all and writable
    // by none; the user owns the home.
    const auto setMode = [](const QString &path, QFile::Permissions mode) {
        return QFile::setPermissions(path, mode);
    };
    const QFile::Permissions readOnlyDir = QFile::ReadOwner | QFile::ExeOwner | QFile::ReadGroup
        | QFile::ExeGroup | QFile::ReadOther | QFile::ExeOther;
    const QFile::Permissions everyone
        = readOnlyDir | QFile::WriteOwner | QFile::WriteGroup | QFile::WriteOther;
    QVERIFY(setMode(f.dir.path(), readOnlyDir));
    QVERIFY(setMode(f.delivered, QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther));
    QVERIFY(setMode(f.program + u"/db"_s, readOnlyDir));
    QVERIFY(setMode(f.program, readOnlyDir));
    for (const QString &path :
         {f.dir.filePath(u"home"_s), f.dir.filePath(u"home/.local"_s),
          f.dir.filePath(u"home/.local/share"_s), f.userData, QString(f.userData + u"/db"_s)})
        QVERIFY(setMode(path, everyone));
    QVERIFY(setMode(f.user,
                    QFile::ReadOwner | QFile::WriteOwner | QFile::ReadOther | QFile::WriteOther));

    DataLocation location;
    {
        OrdinaryUser user;
        if (!user.canMeetReadOnlyFiles())
            QSKIP("running as root without the right to take an ordinary user's rights");
        location = DataLocation::prepare({f.program, f.userData, false});
    }
    QVERIFY(QFile::setPermissions(f.dir.path(), everyone));
    QVERIFY2(location.problems().isEmpty(), qPrintable(location.problems().join(u'\n')));
    QVERIFY(location.userCopy());
    QCOMPARE(scalar(f.user, u"SELECT group_concat(nazwa) FROM tree"_s), u"nowa"_s);
    QCOMPARE(scalar(f.user, u"SELECT group_concat(tresc) FROM notes"_s), Note);
}

void TestDataLocation::damagedNameNeverTakesAnExistingOne()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(u"qmx_vemora.db"_s);
    const QDateTime when(QDate(2026, 12, 11), QTime(16, 30));
    const QString first = DataLocation::damagedName(path, when);
    QCOMPARE(first, path + u".damaged-2026-12-11"_s);
    writeFile(first, "earlier");
    QCOMPARE(DataLocation::damagedName(path, when), path + u".damaged-2026-12-11-2"_s);
}

QTEST_GUILESS_MAIN(TestDataLocation)
#include "tst_datalocation.moc"
