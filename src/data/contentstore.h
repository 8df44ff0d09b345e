#pragma once

#include <QSqlDatabase>
#include <QString>

#include <functional>

// The delivered content of a database (the tree, the documents, the question
// bank and the program's own content tables) and its stamp. The build tool
// and the program replace content through the same code, so that the user's
// tables survive both alike.
namespace ContentStore {

// The stamp of the content the database holds; empty when it has none (a
// database made before stamps, or an empty one).
QString stamp(const QSqlDatabase &database);

// The stamp content of these rows would get: a digest of every content
// table's rows, so equal content has equal stamps wherever it was built.
QString computeStamp(const QSqlDatabase &database);

// Replaces the content in one transaction: adds any missing table, empties
// the content tables, lets fill write the new rows, and stamps the result.
// The user's tables are not touched. Raises Error; then nothing has changed.
void replace(const QSqlDatabase &database, const std::function<void()> &fill);

// Replaces the content with that of the database file at deliveredPath,
// which is only read.
void refreshFrom(const QSqlDatabase &database, const QString &deliveredPath);

} // namespace ContentStore
