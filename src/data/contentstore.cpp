#include "contentstore.h"

#include "schema.h"
#include "sql.h"
#include "toolkit/error.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFileInfo>
#include <QSqlRecord>
#include <QStringList>

#include <cerrno>

namespace ContentStore {

namespace {

const QString StampKey = QStringLiteral("content_stamp");
const QString DeliveredSchema = QStringLiteral("delivered");

bool hasTable(const QSqlDatabase &database, const QString &schema, const QString &table)
{
    QSqlQuery query = Sql::prepare(
        database,
        QStringLiteral("SELECT count(*) FROM %1.sqlite_master WHERE type = 'table' AND name = ?")
            .arg(schema));
    query.addBindValue(table);
    Sql::exec(query);
    return query.next() && query.value(0).toInt() > 0;
}

QStringList columnNames(const QSqlDatabase &database, const QString &table)
{
    QStringList names;
    QSqlQuery query = Sql::exec(database, QStringLiteral("PRAGMA main.table_info(%1)").arg(table));
    while (query.next())
        names << query.value(1).toString();
    return names;
}

void addField(QCryptographicHash &hash, const QVariant &value)
{
    // Type and length go first, so that no two different rows feed the same bytes.
    QByteArray bytes;
    char type = 'n';
    if (value.isNull()) {
        type = 'n';
    } else if (value.typeId() == QMetaType::QByteArray) {
        type = 'b';
        bytes = value.toByteArray();
    } else if (value.typeId() == QMetaType::QString) {
        type = 't';
        bytes = value.toString().toUtf8();
    } else {
        type = 'v';
        bytes = value.toString().toUtf8();
    }
    hash.addData(QByteArrayView(&type, 1));
    hash.addData(QByteArray(QByteArray::number(bytes.size()) + ':'));
    hash.addData(bytes);
}

// Detaches the delivered database however the refresh ends.
class Attached
{
public:
    Attached(const QSqlDatabase &database, const QString &path) : m_database(database)
    {
        // ATTACH would make a missing file: a delivered database that is
        // missing is an error instead.
        if (!QFileInfo::exists(path))
            throw Error(QDir::toNativeSeparators(path) + QStringLiteral(": ")
                        + qt_error_string(ENOENT));
        QSqlQuery attach
            = Sql::prepare(database, QStringLiteral("ATTACH DATABASE ? AS ") + DeliveredSchema);
        attach.addBindValue(path);
        Sql::exec(attach);
    }
    ~Attached()
    {
        QSqlQuery detach(m_database);
        detach.exec(QStringLiteral("DETACH DATABASE ") + DeliveredSchema);
    }
    Attached(const Attached &) = delete;
    Attached &operator=(const Attached &) = delete;

private:
    QSqlDatabase m_database;
};

} // namespace

QString stamp(const QSqlDatabase &database)
{
    if (!hasTable(database, QStringLiteral("main"), Schema::infoTableName()))
        return {};
    QSqlQuery query = Sql::prepare(
        database,
        QStringLiteral("SELECT wartosc FROM %1 WHERE klucz = ?").arg(Schema::infoTableName()));
    query.addBindValue(StampKey);
    Sql::exec(query);
    return query.next() ? query.value(0).toString() : QString();
}

QString computeStamp(const QSqlDatabase &database)
{
    QCryptographicHash hash(QCryptographicHash::Sha256);
    for (const QString &table : Schema::contentTableNames()) {
        hash.addData(QByteArray(table.toUtf8() + '\n'));
        const int columns = int(columnNames(database, table).size());
        // Ordered by every column, so that the order rows were written in
        // does not matter.
        QStringList order;
        for (int i = 1; i <= columns; ++i)
            order << QString::number(i);
        QSqlQuery rows = Sql::prepare(
            database,
            QStringLiteral("SELECT * FROM main.%1 ORDER BY %2").arg(table, order.join(u',')));
        rows.setForwardOnly(true); // documents are large: no cache of rows already read
        Sql::exec(rows);
        while (rows.next()) {
            for (int i = 0; i < columns; ++i)
                addField(hash, rows.value(i));
        }
    }
    return QString::fromLatin1(hash.result().toHex());
}

void replace(const QSqlDatabase &database, const std::function<void()> &fill)
{
    Sql::Transaction transaction(database);
    Schema::create(database);
    for (const QString &table : Schema::contentTableNames())
        Sql::exec(database, QStringLiteral("DELETE FROM main.") + table);
    fill();
    QSqlQuery write
        = Sql::prepare(database,
                       QStringLiteral("INSERT OR REPLACE INTO %1 (klucz, wartosc) VALUES (?, ?)")
                           .arg(Schema::infoTableName()));
    write.addBindValue(StampKey);
    write.addBindValue(computeStamp(database));
    Sql::exec(write);
    transaction.commit();
}

void refreshFrom(const QSqlDatabase &database, const QString &deliveredPath)
{
    const Attached attached(database, deliveredPath);
    replace(database, [&] {
        for (const QString &table : Schema::contentTableNames()) {
            // A delivered database older than a table has no rows for it.
            if (!hasTable(database, DeliveredSchema, table))
                continue;
            const QString columns = columnNames(database, table).join(QStringLiteral(", "));
            Sql::exec(database,
                      QStringLiteral("INSERT INTO main.%1 (%2) SELECT %2 FROM %3.%1")
                          .arg(table, columns, DeliveredSchema));
        }
    });
}

} // namespace ContentStore
