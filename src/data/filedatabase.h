#pragma once

#include <QSqlDatabase>
#include <QString>

// A connection of its own to one database file, for a job outside the
// program's main connection (building the content, preparing the user's
// copy). Removed when the object goes.
class FileDatabase
{
public:
    enum class Mode {
        Create, // a missing file is made
        ReadWrite, // the file must exist; never created
        ReadOnly,
    };

    // Opens the file and reads its header, so that a file that is no
    // database fails here. Raises Error naming the file.
    FileDatabase(const QString &path, Mode mode);
    ~FileDatabase();
    FileDatabase(const FileDatabase &) = delete;
    FileDatabase &operator=(const FileDatabase &) = delete;

    QSqlDatabase database() const;

private:
    QString m_name;
};
