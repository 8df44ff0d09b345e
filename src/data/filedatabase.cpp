#include "filedatabase.h"

#include "sql.h"
#include "toolkit/error.h"

#include <QDir>
#include <QFileInfo>
#include <QSqlError>
#include <QUrl>
#include <QUuid>

FileDatabase::FileDatabase(const QString &path, Mode mode)
    : m_name(QStringLiteral("file-") + QUuid::createUuid().toString(QUuid::WithoutBraces))
{
    const auto fail = [&](const QString &reason) {
        QSqlDatabase::removeDatabase(m_name);
        return Error(QDir::toNativeSeparators(path) + QStringLiteral(": ") + reason);
    };
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), m_name);
        if (mode == Mode::Create) {
            db.setDatabaseName(path);
        } else {
            db.setDatabaseName(QUrl::fromLocalFile(path).toString(QUrl::FullyEncoded)
                               + (mode == Mode::ReadOnly ? QStringLiteral("?mode=ro")
                                                         : QStringLiteral("?mode=rw")));
            db.setConnectOptions(QStringLiteral("QSQLITE_OPEN_URI"));
        }
        if (!db.open()) {
            const QString reason = Sql::errorText(db.lastError());
            db = QSqlDatabase();
            throw fail(reason);
        }
        try {
            Sql::exec(db, QStringLiteral("PRAGMA schema_version"));
            return;
        } catch (const Error &error) {
            db.close();
            db = QSqlDatabase();
            throw fail(error.message());
        }
    }
}

FileDatabase::~FileDatabase()
{
    {
        QSqlDatabase db = QSqlDatabase::database(m_name, false);
        db.close();
    }
    QSqlDatabase::removeDatabase(m_name);
}

QSqlDatabase FileDatabase::database() const
{
    return QSqlDatabase::database(m_name, false);
}
