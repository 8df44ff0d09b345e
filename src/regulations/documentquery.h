#pragma once

#include <QByteArray>
#include <QSqlDatabase>
#include <QString>

// The document of a tree node, read from table tree_documents. The row read
// stays current until the next open or close: the viewer, saving and
// printing all use it.
class DocumentQuery
{
public:
    // Reads the node's document; false when the node has none. Raises Error.
    bool open(const QSqlDatabase &database, int itemId);
    void close();

    bool hasRow() const { return m_hasRow; }
    int itemId() const { return m_itemId; }
    // The document as stored: the bytes of rtf_doc.
    const QByteArray &rtf() const { return m_rtf; }

private:
    bool m_hasRow = false;
    int m_itemId = 0;
    QByteArray m_rtf;
};

// The name a document is saved under: the chosen name, with ".rtf" appended
// when it has no extension.
QString documentFileName(const QString &chosen);

// Writes the bytes to the file, replacing it, through a temporary file, so
// that a failed save never leaves a broken file. Raises Error.
void saveDocumentFile(const QString &path, const QByteArray &bytes);
