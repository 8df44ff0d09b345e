#include "sql.h"

#include "toolkit/error.h"

#include <QSqlError>

#include <atomic>

namespace Sql {

QString errorText(const QSqlError &error)
{
    const QString database = error.databaseText().trimmed();
    return database.isEmpty() ? error.driverText().trimmed() : database;
}

QSqlQuery prepare(const QSqlDatabase &database, const QString &statement)
{
    QSqlQuery query(database);
    if (!query.prepare(statement))
        throw Error(errorText(query.lastError()));
    return query;
}

void exec(QSqlQuery &query)
{
    if (!query.exec())
        throw Error(errorText(query.lastError()));
}

QSqlQuery exec(const QSqlDatabase &database, const QString &statement)
{
    QSqlQuery query(database);
    if (!query.exec(statement))
        throw Error(errorText(query.lastError()));
    return query;
}

Transaction::Transaction(const QSqlDatabase &database) : m_database(database)
{
    static std::atomic<int> counter = 0;
    m_name = QStringLiteral("unit_%1").arg(++counter);
    exec(m_database, QStringLiteral("SAVEPOINT ") + m_name);
}

Transaction::~Transaction()
{
    if (!m_open)
        return;
    // Undo the work and close the savepoint; the destructor must not throw,
    // and a failed rollback leaves nothing better to do.
    QSqlQuery query(m_database);
    query.exec(QStringLiteral("ROLLBACK TO ") + m_name);
    query.exec(QStringLiteral("RELEASE ") + m_name);
}

void Transaction::commit()
{
    exec(m_database, QStringLiteral("RELEASE ") + m_name);
    m_open = false;
}

} // namespace Sql
