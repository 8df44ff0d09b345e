#include "schema.h"

#include "sql.h"
#include "toolkit/error.h"

#include <QFile>

namespace Schema {

QStringList tableNames()
{
    return {QStringLiteral("tree"),         QStringLiteral("tree_documents"),
            QStringLiteral("test_pytania"), QStringLiteral("test_pytania_random"),
            QStringLiteral("test_zestaw"),  QStringLiteral("test_T_zestaw"),
            QStringLiteral("notes")};
}

QStringList ownTableNames()
{
    return {infoTableName(),
            QStringLiteral("pytania_wyjasnienia"),
            QStringLiteral("ustne_pytania"),
            QStringLiteral("ustne_punkty"),
            QStringLiteral("pytania_tekst"),
            QStringLiteral("historia_testow"),
            QStringLiteral("historia_odpowiedzi"),
            QStringLiteral("ustne_powtorki")};
}

QStringList contentTableNames()
{
    return {QStringLiteral("tree"),          QStringLiteral("tree_documents"),
            QStringLiteral("test_pytania"),  QStringLiteral("pytania_wyjasnienia"),
            QStringLiteral("ustne_pytania"), QStringLiteral("ustne_punkty"),
            QStringLiteral("pytania_tekst")};
}

QStringList userTableNames()
{
    return {QStringLiteral("notes"),
            QStringLiteral("test_zestaw"),
            QStringLiteral("test_T_zestaw"),
            QStringLiteral("test_pytania_random"),
            QStringLiteral("historia_testow"),
            QStringLiteral("historia_odpowiedzi"),
            QStringLiteral("ustne_powtorki")};
}

QString infoTableName()
{
    return QStringLiteral("voltaris_info");
}

void create(const QSqlDatabase &database)
{
    QFile file(QStringLiteral(":/data/schema.sql"));
    if (!file.open(QIODevice::ReadOnly))
        throw Error(file.errorString());
    QString script;
    // Comments go first, so that a semicolon inside one cannot split a statement.
    for (const QString &line : QString::fromUtf8(file.readAll()).split(u'\n')) {
        if (!line.trimmed().startsWith(QLatin1String("--")))
            script += line + u'\n';
    }
    for (const QString &statement : script.split(u';')) {
        if (!statement.trimmed().isEmpty())
            Sql::exec(database, statement.trimmed());
    }
}

} // namespace Schema
