#include "documentquery.h"

#include "data/sql.h"
#include "toolkit/error.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QSaveFile>
#include <QSqlQuery>

namespace {

constexpr auto DocumentStatement = "SELECT * FROM tree_documents\r\nwhere item_id = :item_id";

QString cannotSave(const QString &path, const QString &reason)
{
    return QCoreApplication::translate("DocumentQuery", "Nie można zapisać pliku \"%1\": %2")
            .arg(QDir::toNativeSeparators(path), reason);
}

} // namespace

bool DocumentQuery::open(const QSqlDatabase &database, int itemId)
{
    close();
    QSqlQuery query = Sql::prepare(database, QLatin1String(DocumentStatement));
    query.bindValue(QStringLiteral(":item_id"), itemId);
    query.setForwardOnly(true);
    Sql::exec(query);
    m_itemId = itemId;
    m_hasRow = query.next();
    if (m_hasRow)
        m_rtf = query.value(QStringLiteral("rtf_doc")).toByteArray();
    return m_hasRow;
}

void DocumentQuery::close()
{
    m_hasRow = false;
    m_itemId = 0;
    m_rtf.clear();
}

QString documentFileName(const QString &chosen)
{
    return QFileInfo(chosen).suffix().isEmpty() ? chosen + QStringLiteral(".rtf") : chosen;
}

void saveDocumentFile(const QString &path, const QByteArray &bytes)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        throw Error(cannotSave(path, file.errorString()));
    if (file.write(bytes) != bytes.size() || !file.commit())
        throw Error(cannotSave(path, file.errorString()));
}
