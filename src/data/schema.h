#pragma once

#include <QSqlDatabase>
#include <QStringList>

// The database's tables, as created by schema.sql.
namespace Schema {

// The seven tables, in the order schema.sql creates them.
QStringList tableNames();
// The tables of the program's own that schema.sql creates beside the seven.
QStringList ownTableNames();
// The tables of the program's own that hold the user's data, like notes:
// a refresh of the content keeps them.
QStringList userTableNames();
// The tables whose rows come with the delivered content, the program's own
// among them.
QStringList contentTableNames();

// Creates whatever table or index is missing; existing ones are left alone.
void create(const QSqlDatabase &database);

} // namespace Schema
