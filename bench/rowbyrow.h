#pragma once

#include "data/shuffle.h"
#include "data/sql.h"

#include <QRandomGenerator>
#include <QSqlDatabase>
#include <QSqlQuery>

// The shuffle keys rebuilt as first designed, for comparison: every row
// posted on its own, each a commit of its own.
inline void rebuildKeysRowByRow(const QSqlDatabase &db, int n)
{
    Sql::exec(db, QStringLiteral("delete from test_pytania_random"));
    QSqlQuery insert = Sql::prepare(db, QStringLiteral("insert into test_pytania_random (id_pytanie, random) values (?, ?)"));
    for (int id = 1; id <= n; ++id) {
        insert.bindValue(0, id);
        insert.bindValue(1, int(QRandomGenerator::global()->bounded(RandomKeyCount)));
        Sql::exec(insert);
    }
}
