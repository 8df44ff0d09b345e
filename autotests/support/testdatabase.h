#pragma once

#include <QSqlDatabase>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

#include <utility>

// A database of the program's schema in a temporary directory, laid out as
// beside the executable: <dir>/db/qmx_vemora.db. The fixture's connection is
// its own; the program's code under test opens the file as it would.
class TestDatabase
{
public:
    TestDatabase();
    ~TestDatabase();
    TestDatabase(const TestDatabase &) = delete;
    TestDatabase &operator=(const TestDatabase &) = delete;

    bool isValid() const { return m_valid; }
    QString baseDirectory() const { return m_dir.path(); }
    QString databaseDirectory() const;
    QString filePath() const;

    QSqlDatabase database() const;
    // Makes the file read-only and lets every user reach it.
    bool makeReadOnlyForEveryone();
    // Runs statements one after another; fails the test (returns false) on the first error.
    bool exec(const QStringList &statements);
    // Stores RTF documents of tree nodes: item id, bytes.
    bool insertDocuments(const QList<std::pair<int, QByteArray>> &documents);
    // Value of the first column of the first row of a query, or an invalid variant.
    QVariant scalar(const QString &statement);
    QList<QVariantList> rows(const QString &statement);

private:
    QTemporaryDir m_dir;
    QString m_connection;
    bool m_valid = false;
};
