#pragma once

#include "data/schema.h"
#include "data/shuffle.h"
#include "data/sql.h"
#include "toolkit/error.h"

#include <QRandomGenerator>
#include <QSqlDatabase>
#include <QDir>
#include <QSqlError>
#include <QSqlQuery>
#include <QTemporaryDir>

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

// A database of the program's schema in a file of the directory, on disk, as
// the program's is. Raises Error.
inline QSqlDatabase openBenchDatabase(const QTemporaryDir &dir)
{
    QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"));
    db.setDatabaseName(QDir(dir.path()).filePath(QStringLiteral("qmx_vemora.db")));
    if (!db.open())
        throw Error(Sql::errorText(db.lastError()));
    Schema::create(db);
    return db;
}
