#pragma once

#include <QByteArray>
#include <QHash>
#include <QList>
#include <QMutex>
#include <QString>
#include <QStringView>

#include <functional>
#include <optional>

class QTextDocument;

// The text of the library's documents, kept for the run of the program once
// read: documents are delivered content and never change while it runs, so
// each is parsed from RTF at most once. A text has the positions of a
// QTextCursor in the document, so a position found in it selects the same
// characters in every view of that document.
//
// A text is held case-folded, as searching needs it, with the few characters
// that folding changed kept aside, so the text as written can be given back
// at about the cost of one copy of the library's text.
//
// Thread-safe: the search fills it on its worker while the user interface
// adds the document it shows.
class DocumentTextCache
{
public:
    // The RTF of a document, or none when the document has no row. May raise Error.
    using Reader = std::function<std::optional<QByteArray>(int itemId)>;

    // The case-folded text of the document, read with the reader when it is
    // not held yet; none when the document has no row. Damaged RTF gives the
    // text that could be read. The RTF is read into the scratch document
    // when one is given, so that a run of reads reuses one document.
    std::optional<QString> foldedText(int itemId, const Reader &read,
                                      QTextDocument *scratch = nullptr);
    // The case-folded text when it is held.
    std::optional<QString> foldedText(int itemId) const;
    // The text as written, or none when it is not held or the document has no row.
    std::optional<QString> plainText(int itemId) const;
    bool contains(int itemId) const;

    // Keeps the text of a document already read, such as the one on screen;
    // a text already held is kept as it is.
    void insert(int itemId, const QTextDocument &document);

    int count() const;
    // What the held texts take in memory, in bytes.
    qint64 memoryBytes() const;

    // Folds the case of every character to exactly one character (surrogate
    // pairs to a pair), so a position in the folded text is the position in
    // the text. Paragraph, line and frame breaks become '\n' and no-break
    // spaces blanks, as in a document's plain text.
    static QString fold(QStringView text);

private:
    struct Entry
    {
        bool hasRow = false;
        QString folded;
        // Where the folded text differs from the text, and the text's characters there.
        QList<qint32> changedAt;
        QString changedFrom;
    };

    // The document's text, one character for each QTextCursor position (a
    // picture is U+FFFC); the text as written is its toPlainText().
    static Entry entryFor(const QTextDocument &document);
    // Adds the entry unless one is held; returns the folded text held.
    std::optional<QString> keep(int itemId, Entry entry);

    mutable QMutex m_mutex;
    QHash<int, Entry> m_entries; // guarded by m_mutex
};
