#pragma once

#include <QSqlDatabase>
#include <QSqlQuery>
#include <QString>

// Thin helpers over Qt SQL that turn every failed statement into an Error
// carrying the engine's text, so that callers cannot forget to check.
namespace Sql {

// The engine's message for a failed statement or connection.
QString errorText(const QSqlError &error);

QSqlQuery prepare(const QSqlDatabase &database, const QString &statement);
void exec(QSqlQuery &query);
// Runs a statement without parameters and returns it positioned before its first row.
QSqlQuery exec(const QSqlDatabase &database, const QString &statement);

// A unit of work that is undone unless commit() is called. Built on
// savepoints, so a transaction may run inside another one: only the
// outermost commit reaches the disk.
class Transaction
{
public:
    explicit Transaction(const QSqlDatabase &database);
    ~Transaction();
    Transaction(const Transaction &) = delete;
    Transaction &operator=(const Transaction &) = delete;

    void commit();

private:
    QSqlDatabase m_database;
    QString m_name;
    bool m_open = true;
};

} // namespace Sql
