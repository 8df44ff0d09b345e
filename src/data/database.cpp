#include "database.h"

#include "sql.h"
#include "toolkit/error.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QSqlError>
#include <QSqlQuery>
#include <QThread>
#include <QUrl>

#include <cerrno>

namespace {

const QString MainConnection = QStringLiteral("qmx_vemora");
QString s_filePath;
Database::Access s_access = Database::Access::ReadWrite;

QString threadConnectionName()
{
    if (QThread::currentThread() == QCoreApplication::instance()->thread())
        return MainConnection;
    return MainConnection + QStringLiteral("@%1").arg(quintptr(QThread::currentThreadId()), 0, 16);
}

QString cannotOpen(const QString &filePath, const QString &reason)
{
    return QCoreApplication::translate("Database", "Nie można otworzyć bazy danych \"%1\": %2")
            .arg(QDir::toNativeSeparators(filePath), reason);
}

} // namespace

QSqlDatabase Database::openConnection(const QString &connectionName, const QString &filePath,
                                      Access access)
{
    if (!QFileInfo::exists(filePath))
        throw Error(cannotOpen(filePath, qt_error_string(ENOENT)));

    QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), connectionName);
    // mode=rw: SQLite opens the file for writing where it may, read-only
    // where the file is write-protected, and never creates a new one.
    db.setDatabaseName(QUrl::fromLocalFile(filePath).toString(QUrl::FullyEncoded)
                       + (access == Access::ReadOnly ? QStringLiteral("?mode=ro") : QStringLiteral("?mode=rw")));
    db.setConnectOptions(QStringLiteral("QSQLITE_OPEN_URI;QSQLITE_BUSY_TIMEOUT=30000"));
    QString failure;
    if (!db.open()) {
        failure = Sql::errorText(db.lastError());
    } else {
        // SQLite reads the file only at the first statement: read its header
        // now, so that a file that is no database fails here and not later.
        QSqlQuery probe(db);
        if (!probe.exec(QStringLiteral("PRAGMA schema_version")))
            failure = Sql::errorText(probe.lastError());
    }
    if (!failure.isEmpty()) {
        db = QSqlDatabase();
        QSqlDatabase::removeDatabase(connectionName);
        throw Error(cannotOpen(filePath, failure));
    }
    return db;
}

void Database::open(const QString &directory, Access access)
{
    close();
    const QString path = QDir(directory).filePath(QLatin1String(FileName));
    openConnection(MainConnection, path, access);
    s_filePath = path;
    s_access = access;
}

void Database::close()
{
    if (!QSqlDatabase::contains(MainConnection))
        return;
    {
        QSqlDatabase db = QSqlDatabase::database(MainConnection, false);
        db.close();
    }
    QSqlDatabase::removeDatabase(MainConnection);
    s_filePath.clear();
}

bool Database::isOpen()
{
    return QSqlDatabase::contains(MainConnection)
            && QSqlDatabase::database(MainConnection, false).isOpen();
}

QSqlDatabase Database::connection()
{
    return QSqlDatabase::database(threadConnectionName(), false);
}

QString Database::filePath()
{
    return s_filePath;
}

ThreadConnection::ThreadConnection() : m_name(threadConnectionName())
{
    if (m_name == MainConnection)
        return; // the user-interface thread already has its connection
    if (s_filePath.isEmpty())
        throw Error(QCoreApplication::translate("Database", "Baza danych nie jest otwarta"));
    Database::openConnection(m_name, s_filePath, s_access);
}

ThreadConnection::~ThreadConnection()
{
    if (m_name == MainConnection || !QSqlDatabase::contains(m_name))
        return;
    {
        QSqlDatabase db = QSqlDatabase::database(m_name, false);
        db.close();
    }
    QSqlDatabase::removeDatabase(m_name);
}

QSqlDatabase ThreadConnection::database() const
{
    return QSqlDatabase::database(m_name, false);
}
