#pragma once

#include <QSqlDatabase>
#include <QStringList>

// The database's tables, as created by schema.sql.
namespace Schema {

// The seven tables, in the order schema.sql creates them.
QStringList tableNames();
// The tables of the program's own that schema.sql creates beside the seven.
QStringList ownTableNames();
// The tables whose rows come with the delivered content, the program's own
// among them. A refresh replaces their rows.
QStringList contentTableNames();
// The tables the user's work lives in. A refresh never touches them; a new
// table the program writes to joins this list.
QStringList userTableNames();
// Facts about the database itself, such as the stamp of its content.
QString infoTableName();

// Creates whatever table or index is missing; existing ones are left alone.
void create(const QSqlDatabase &database);

} // namespace Schema
