#pragma once

#include "data/sql.h"

#include <QSqlDatabase>
#include <QSqlQuery>
#include <QString>
#include <QVariant>

#include <functional>

// The library tree of the main-window benchmarks: items 1 to 4 are the
// sections, every other item hangs below an earlier one, so the tree is four
// sections with branches three levels deep. The node type of each item comes
// from the function. Raises Error.
inline void insertBenchTree(const QSqlDatabase &db, int nodeCount,
                            const std::function<int(int itemId)> &nodeType)
{
    QSqlQuery insert
        = Sql::prepare(db, QStringLiteral("INSERT INTO tree VALUES (?, ?, ?, ?, ?, ?, ?)"));
    for (int id = 1; id <= nodeCount; ++id) {
        const QVariant parent = id <= 4 ? QVariant(QMetaType::fromType<int>())
                                        : QVariant(id <= 40 ? (id % 4) + 1 : id / 10);
        insert.addBindValue(id);
        insert.addBindValue(parent);
        insert.addBindValue(nodeType(id));
        insert.addBindValue(QStringLiteral("Węzeł numer %1").arg(id));
        insert.addBindValue(id % 3 ? QStringLiteral("Podpowiedź do węzła %1").arg(id) : QString());
        insert.addBindValue(id % 5);
        insert.addBindValue(nodeCount - id);
        Sql::exec(insert);
    }
}
