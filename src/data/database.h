#pragma once

#include <QSqlDatabase>
#include <QString>

// The program's database: the file qmx_vemora.db in a directory chosen at
// start (db/ beside the executable). Qt SQL connections belong to the thread
// that opened them, so the user-interface thread has the main connection and
// a worker opens its own with a ThreadConnection.
class Database
{
public:
    static constexpr auto FileName = "qmx_vemora.db";

    // ReadWrite still reads a write-protected file; ReadOnly never writes,
    // for a file that belongs to the installation.
    enum class Access { ReadWrite, ReadOnly };

    // Closes the open database, if any, and opens the one in the directory.
    // Never creates a file: a missing directory or file, or a file that is not
    // a database, raises an Error with the system's or the engine's text.
    static void open(const QString &directory, Access access = Access::ReadWrite);
    static void close();
    static bool isOpen();

    // The connection of the calling thread.
    static QSqlDatabase connection();
    static QString filePath();

private:
    friend class ThreadConnection;
    static QSqlDatabase openConnection(const QString &connectionName, const QString &filePath,
                                       Access access);
};

// A connection of a worker thread to the open database, removed when the
// object goes. Create it on the worker thread, at the start of its body.
class ThreadConnection
{
public:
    ThreadConnection();
    ~ThreadConnection();
    ThreadConnection(const ThreadConnection &) = delete;
    ThreadConnection &operator=(const ThreadConnection &) = delete;

    QSqlDatabase database() const;

private:
    QString m_name;
};
