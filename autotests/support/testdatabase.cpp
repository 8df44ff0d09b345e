#include "testdatabase.h"

#include "data/schema.h"
#include "toolkit/error.h"

#include <QDir>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QTest>
#include <QUuid>

TestDatabase::TestDatabase()
    : m_connection(QStringLiteral("fixture-") + QUuid::createUuid().toString(QUuid::WithoutBraces))
{
    if (!m_dir.isValid() || !QDir(m_dir.path()).mkdir(QStringLiteral("db")))
        return;
    QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), m_connection);
    db.setDatabaseName(filePath());
    if (!db.open())
        return;
    try {
        Schema::create(db);
        m_valid = true;
    } catch (const Error &error) {
        qWarning("%s", qPrintable(error.message()));
    }
}

TestDatabase::~TestDatabase()
{
    QSqlDatabase::database(m_connection, false).close();
    QSqlDatabase::removeDatabase(m_connection);
}

QString TestDatabase::databaseDirectory() const
{
    return QDir(m_dir.path()).filePath(QStringLiteral("db"));
}

QString TestDatabase::filePath() const
{
    return QDir(databaseDirectory()).filePath(QStringLiteral("qmx_vemora.db"));
}

QSqlDatabase TestDatabase::database() const
{
    return QSqlDatabase::database(m_connection, false);
}

bool TestDatabase::exec(const QStringList &statements)
{
    QSqlQuery query(database());
    for (const QString &statement : statements) {
        if (!query.exec(statement)) {
            qWarning("fixture statement failed: %s: %s", qPrintable(statement),
                     qPrintable(query.lastError().text()));
            return false;
        }
    }
    return true;
}

bool TestDatabase::insertDocuments(const QList<std::pair<int, QByteArray>> &documents)
{
    QSqlQuery insert(database());
    insert.prepare(QStringLiteral("INSERT INTO tree_documents (item_id, rtf_doc) VALUES (?, ?)"));
    for (const auto &[id, rtf] : documents) {
        insert.bindValue(0, id);
        insert.bindValue(1, rtf);
        if (!insert.exec()) {
            qWarning("fixture document %d failed: %s", id, qPrintable(insert.lastError().text()));
            return false;
        }
    }
    return true;
}

QVariant TestDatabase::scalar(const QString &statement)
{
    QSqlQuery query(database());
    if (!query.exec(statement) || !query.next())
        return {};
    return query.value(0);
}

QList<QVariantList> TestDatabase::rows(const QString &statement)
{
    QList<QVariantList> result;
    QSqlQuery query(database());
    if (!query.exec(statement)) {
        qWarning("fixture query failed: %s: %s", qPrintable(statement),
                 qPrintable(query.lastError().text()));
        return result;
    }
    while (query.next()) {
        QVariantList row;
        for (int i = 0; i < query.record().count(); ++i)
            row.append(query.value(i));
        result.append(row);
    }
    return result;
}

bool TestDatabase::makeReadOnlyForEveryone()
{
    const auto reachable = [](const QString &path, QFile::Permissions extra) {
        return QFile::setPermissions(path, QFile::permissions(path) | extra);
    };
    return QFile::setPermissions(filePath(), QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther)
        && reachable(baseDirectory(), QFile::ExeOther)
        && reachable(databaseDirectory(), QFile::ReadOther | QFile::ExeOther);
}
