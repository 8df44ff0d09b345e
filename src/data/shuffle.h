#pragma once

#include <QSqlDatabase>
#include <QString>

class QRandomGenerator;

// The largest value of a column, or 0 when no row qualifies. The condition,
// when given, is an SQL expression written by the program, never user input.
int MaxColumnValue(const QSqlDatabase &database, const QString &table, const QString &column,
                   const QString &condition = {});

// Gives every question number 1 to n a new random key from 0 to 14999: the
// table is emptied and n rows are written in one transaction. With n = 0 the
// table ends empty. Keys come from the given generator, or from one seeded by
// the system when none is given.
void RebuildRandomKeys(const QSqlDatabase &database, const QString &table,
                       const QString &randomColumn, const QString &idColumn, int n,
                       QRandomGenerator *generator = nullptr);

// Keys are drawn from [0, RandomKeyCount).
inline constexpr int RandomKeyCount = 15000;
