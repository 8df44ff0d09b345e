#include "shuffle.h"

#include "sql.h"

#include <QRandomGenerator>
#include <QSqlDriver>
#include <QSqlQuery>

namespace {

QString identifier(const QSqlDatabase &database, const QString &name, QSqlDriver::IdentifierType type)
{
    return database.driver()->escapeIdentifier(name, type);
}

} // namespace

int MaxColumnValue(const QSqlDatabase &database, const QString &table, const QString &column,
                   const QString &condition)
{
    QString statement = QStringLiteral("select max(")
            + identifier(database, column, QSqlDriver::FieldName) + QStringLiteral(") as maxval from ")
            + identifier(database, table, QSqlDriver::TableName);
    if (!condition.isEmpty())
        statement += QStringLiteral("\r\nwhere ") + condition;
    QSqlQuery query = Sql::exec(database, statement);
    return query.next() ? query.value(0).toInt() : 0;
}

void RebuildRandomKeys(const QSqlDatabase &database, const QString &table,
                       const QString &randomColumn, const QString &idColumn, int n,
                       QRandomGenerator *generator)
{
    QRandomGenerator seeded = QRandomGenerator::securelySeeded();
    QRandomGenerator &random = generator ? *generator : seeded;
    const QString tableName = identifier(database, table, QSqlDriver::TableName);

    Sql::Transaction transaction(database);
    Sql::exec(database, QStringLiteral("delete from ") + tableName);
    QSqlQuery insert = Sql::prepare(
            database,
            QStringLiteral("insert into ") + tableName + u'('
                    + identifier(database, idColumn, QSqlDriver::FieldName) + u','
                    + identifier(database, randomColumn, QSqlDriver::FieldName)
                    + QStringLiteral(") values (?, ?)"));
    for (int id = 1; id <= n; ++id) {
        insert.bindValue(0, id);
        insert.bindValue(1, int(random.bounded(RandomKeyCount)));
        Sql::exec(insert);
    }
    transaction.commit();
}
