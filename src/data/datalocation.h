#pragma once

#include <QDateTime>
#include <QString>
#include <QStringList>

// Where the program keeps its database. A program whose directory can be
// written (a build, a copied folder) uses db/ beside the executable. An
// installed one cannot write there: it keeps a copy of the delivered database
// in the user's data directory, made at the first start and refreshed when
// the delivered content differs, the user's tables kept. When that copy
// cannot be had, the delivered database is read, read-only.
class DataLocation
{
public:
    struct Paths
    {
        // Holds db/qmx_vemora.db as delivered, and pomoc.rtf.
        QString programDirectory;
        // The user's data directory; the copy goes into its db/.
        QString userDataDirectory;
        // The program runs from where the package installed it: its directory
        // is the package's even where the user (root) could write it.
        bool installed = false;
    };

    // Prepares the database the program is to open. Never throws: what went
    // wrong is in problems(), each a message for the standard error box.
    static DataLocation prepare(const Paths &paths);

    // The directory to open the database in.
    QString databaseDirectory() const { return m_databaseDirectory; }
    QString databasePath() const;
    // The delivered database is used and must not be written.
    bool readOnly() const { return m_readOnly; }
    // The user's copy is used.
    bool userCopy() const { return m_userCopy; }
    const QStringList &problems() const { return m_problems; }

    // The name a damaged database is kept under: "<file>.damaged-<date>".
    static QString damagedName(const QString &path, const QDateTime &when);

private:
    QString m_databaseDirectory;
    bool m_readOnly = false;
    bool m_userCopy = false;
    QStringList m_problems;
};
