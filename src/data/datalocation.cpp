#include "datalocation.h"

#include "contentstore.h"
#include "database.h"
#include "filedatabase.h"
#include "sql.h"
#include "toolkit/error.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLoggingCategory>
#include <QSqlError>
#include <QSqlQuery>
#include <QTemporaryFile>
#include <QUrl>
#include <QUuid>

#include <cerrno>

Q_LOGGING_CATEGORY(lcDataLocation, "voltaris.data.location")

namespace {

QString tr(const char *text)
{
    return QCoreApplication::translate("DataLocation", text);
}

QString native(const QString &path)
{
    return QDir::toNativeSeparators(path);
}

// SQLite's companion files: a journal left by an interrupted write belongs
// to its database and would be replayed into whatever file takes its name.
const QStringList CompanionSuffixes
    = {QStringLiteral("-journal"), QStringLiteral("-wal"), QStringLiteral("-shm")};

// Tried, not read from the permission bits: read-only mounts and access
// lists answer too.
bool canWriteDirectory(const QString &path)
{
    if (!QFileInfo(path).isDir())
        return false;
    QTemporaryFile probe(QDir(path).filePath(QStringLiteral(".voltaris-XXXXXX")));
    return probe.open();
}

// SQLite's primary result codes for a file that is not, or no longer, a
// sound database.
constexpr int SqliteCorrupt = 11;
constexpr int SqliteNotADatabase = 26;

// What is wrong with the user's database, or empty when it is sound. Only
// damage counts: a file that is locked or cannot be read raises Error, so
// that a database in use is never taken for a damaged one.
QString damage(const QString &path)
{
    const QString name
        = QStringLiteral("check-") + QUuid::createUuid().toString(QUuid::WithoutBraces);
    QString fault;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), name);
        db.setDatabaseName(QUrl::fromLocalFile(path).toString(QUrl::FullyEncoded)
                           + QStringLiteral("?mode=rw"));
        db.setConnectOptions(QStringLiteral("QSQLITE_OPEN_URI;QSQLITE_BUSY_TIMEOUT=5000"));
        QSqlError error;
        if (db.open()) {
            // A hot journal left by an interrupted write is rolled back here,
            // as SQLite does on every open.
            QSqlQuery check(db);
            if (!check.exec(QStringLiteral("PRAGMA quick_check")))
                error = check.lastError();
            else if (check.next() && check.value(0).toString() != QLatin1String("ok"))
                fault = check.value(0).toString();
        } else {
            error = db.lastError();
        }
        db.close();
        if (error.isValid()) {
            const int code = error.nativeErrorCode().toInt() & 0xff;
            fault = Sql::errorText(error);
            if (code != SqliteCorrupt && code != SqliteNotADatabase) {
                db = QSqlDatabase();
                QSqlDatabase::removeDatabase(name);
                throw Error(native(path) + QStringLiteral(": ") + fault);
            }
        }
    }
    QSqlDatabase::removeDatabase(name);
    return fault;
}

// Moves the database and its companions aside; returns the new name.
QString moveAside(const QString &path)
{
    const QString aside = DataLocation::damagedName(path, QDateTime::currentDateTime());
    if (!QFile::rename(path, aside)) {
        throw Error(tr("Nie można zmienić nazwy uszkodzonej bazy danych \"%1\" na \"%2\"")
                        .arg(native(path), native(aside)));
    }
    for (const QString &suffix : CompanionSuffixes) {
        if (QFileInfo::exists(path + suffix) && !QFile::rename(path + suffix, aside + suffix))
            throw Error(tr("Nie można zmienić nazwy pliku \"%1\"").arg(native(path + suffix)));
    }
    return aside;
}

// Copies the delivered database into place: built aside and moved in whole,
// so that an interrupted copy never passes for the user's database.
void copyDelivered(const QString &delivered, const QString &target)
{
    const QString partial = target + QStringLiteral(".partial");
    QFile::remove(partial);
    QFile source(delivered);
    if (!source.copy(partial)) {
        QFile::remove(partial);
        throw Error(tr("Nie można skopiować bazy danych \"%1\" do \"%2\": %3")
                        .arg(native(delivered), native(target), source.errorString()));
    }
    // The delivered file is read-only for the user; the copy is the user's own.
    QFile::setPermissions(
        partial, QFile::ReadOwner | QFile::WriteOwner | QFile::ReadUser | QFile::WriteUser);
    if (!QFile::rename(partial, target)) {
        QFile::remove(partial);
        throw Error(tr("Nie można skopiować bazy danych do \"%1\"").arg(native(target)));
    }
}

} // namespace

QString DataLocation::databasePath() const
{
    return QDir(m_databaseDirectory).filePath(QLatin1String(Database::FileName));
}

QString DataLocation::damagedName(const QString &path, const QDateTime &when)
{
    const QString base
        = path + QStringLiteral(".damaged-") + when.toString(QStringLiteral("yyyy-MM-dd"));
    QString name = base;
    for (int n = 2; QFileInfo::exists(name); ++n)
        name = base + u'-' + QString::number(n);
    return name;
}

DataLocation DataLocation::prepare(const Paths &paths)
{
    DataLocation location;
    const QString deliveredDirectory = QDir(paths.programDirectory).filePath(QStringLiteral("db"));
    const QString delivered = QDir(deliveredDirectory).filePath(QLatin1String(Database::FileName));
    location.m_databaseDirectory = deliveredDirectory;

    // A folder without db/ keeps its old behaviour too: opening reports it.
    const QString probe
        = QFileInfo::exists(deliveredDirectory) ? deliveredDirectory : paths.programDirectory;
    if (!paths.installed && canWriteDirectory(probe))
        return location;

    const QString userDirectory = QDir(paths.userDataDirectory).filePath(QStringLiteral("db"));
    const QString user = QDir(userDirectory).filePath(QLatin1String(Database::FileName));
    int damagedNote = -1;
    try {
        if (paths.userDataDirectory.isEmpty() || !QDir().mkpath(userDirectory))
            throw Error(tr("Nie można utworzyć katalogu danych użytkownika \"%1\"")
                            .arg(native(userDirectory)));
        if (!canWriteDirectory(userDirectory))
            throw Error(tr("Nie można zapisywać w katalogu danych użytkownika \"%1\"")
                            .arg(native(userDirectory)));

        if (QFileInfo::exists(user)) {
            const QString fault = damage(user);
            if (!fault.isEmpty()) {
                const QString aside = moveAside(user);
                qCWarning(lcDataLocation) << "damaged database moved aside:" << aside << fault;
                damagedNote = int(location.m_problems.size());
                location.m_problems << tr("Baza danych użytkownika \"%1\" jest uszkodzona (%2). "
                                          "Zachowano ją jako \"%3\".")
                                           .arg(native(user), fault, native(aside));
            }
        }
        location.m_databaseDirectory = userDirectory;
        location.m_userCopy = true;
        if (!QFileInfo::exists(user)) {
            copyDelivered(delivered, user);
            if (damagedNote >= 0)
                location.m_problems[damagedNote] += u' ' + tr("Utworzono nową kopię bazy danych.");
            return location;
        }
    } catch (const Error &error) {
        location.m_problems << error.message() + QStringLiteral(". ")
                + tr("Voltaris otworzy dostarczoną bazę danych tylko do odczytu: notatek i "
                     "odpowiedzi nie będzie można zapisać.");
        location.m_databaseDirectory = deliveredDirectory;
        location.m_readOnly = true;
        location.m_userCopy = false;
        return location;
    }

    // The user's copy exists and is sound: bring its content up to the
    // delivered one. A failed refresh leaves it as it was, still usable.
    try {
        FileDatabase copy(user, FileDatabase::Mode::ReadWrite);
        FileDatabase source(delivered, FileDatabase::Mode::ReadOnly);
        const QString deliveredStamp = ContentStore::stamp(source.database());
        if (ContentStore::stamp(copy.database()) != deliveredStamp) {
            qCInfo(lcDataLocation) << "refreshing the content of" << user;
            ContentStore::refreshFrom(copy.database(), delivered);
        }
    } catch (const Error &error) {
        location.m_problems << tr("Nie można odświeżyć treści bazy danych użytkownika \"%1\": %2")
                                   .arg(native(user), error.message());
    }
    return location;
}
