#include "documenttextcache.h"

#include "rtf/rtfreader.h"

#include <QMutexLocker>
#include <QTextDocument>

namespace {

// Rough cost of one hash node with its entry, beyond the texts themselves.
constexpr qint64 EntryOverhead = 96;

// The character plain text shows for a character of a document's raw text,
// as QTextDocument::toPlainText() maps it.
char16_t plainCharacter(char16_t c)
{
    switch (c) {
    case 0xfdd0: // beginning of a frame
    case 0xfdd1: // end of a frame
    case QChar::ParagraphSeparator:
    case QChar::LineSeparator:
        return u'\n';
    case QChar::Nbsp:
        return u' ';
    default:
        return c;
    }
}

// Writes the folded plain text of the raw text to out, one character for
// each, and reports every position where folding changed the plain text.
template<typename Changed> void foldInto(QStringView raw, char16_t *out, Changed &&changed)
{
    const char16_t *in = raw.utf16();
    const qsizetype size = raw.size();
    for (qsizetype i = 0; i < size; ++i) {
        const char16_t c = plainCharacter(in[i]);
        char16_t folded = c;
        if (c < 0x80) {
            if (c >= u'A' && c <= u'Z')
                folded = char16_t(c + 0x20);
        } else if (QChar::isHighSurrogate(c) && i + 1 < size && QChar::isLowSurrogate(in[i + 1])) {
            const char32_t folded32 = QChar::toCaseFolded(QChar::surrogateToUcs4(c, in[i + 1]));
            const char16_t high
                = QChar::requiresSurrogates(folded32) ? QChar::highSurrogate(folded32) : c;
            const char16_t low
                = QChar::requiresSurrogates(folded32) ? QChar::lowSurrogate(folded32) : in[i + 1];
            out[i] = high;
            out[i + 1] = low;
            if (high != c)
                changed(i, c);
            if (low != in[i + 1])
                changed(i + 1, in[i + 1]);
            ++i;
            continue;
        } else {
            const char32_t folded32 = QChar::toCaseFolded(char32_t(c));
            if (!QChar::requiresSurrogates(folded32))
                folded = char16_t(folded32);
        }
        out[i] = folded;
        if (folded != c)
            changed(i, c);
    }
}

} // namespace

std::optional<QString> DocumentTextCache::foldedText(int itemId, const Reader &read,
                                                     QTextDocument *scratch)
{
    {
        QMutexLocker locker(&m_mutex);
        const auto found = m_entries.constFind(itemId);
        if (found != m_entries.cend())
            return found->hasRow ? std::optional<QString>(found->folded) : std::nullopt;
    }
    // Read without the lock: parsing a large document must not hold up the
    // user interface, which may add the document it shows meanwhile.
    const std::optional<QByteArray> rtf = read(itemId);
    if (!rtf)
        return keep(itemId, Entry {});
    std::optional<QTextDocument> own;
    QTextDocument *document = scratch ? scratch : &own.emplace();
    RtfReader::read(*rtf, document);
    return keep(itemId, entryFor(*document));
}

std::optional<QString> DocumentTextCache::foldedText(int itemId) const
{
    QMutexLocker locker(&m_mutex);
    const auto found = m_entries.constFind(itemId);
    if (found == m_entries.cend() || !found->hasRow)
        return std::nullopt;
    return found->folded;
}

std::optional<QString> DocumentTextCache::plainText(int itemId) const
{
    QMutexLocker locker(&m_mutex);
    const auto found = m_entries.constFind(itemId);
    if (found == m_entries.cend() || !found->hasRow)
        return std::nullopt;
    QString text = found->folded;
    QChar *data = text.data();
    for (qsizetype i = 0; i < found->changedAt.size(); ++i)
        data[found->changedAt.at(i)] = found->changedFrom.at(i);
    return text;
}

bool DocumentTextCache::contains(int itemId) const
{
    QMutexLocker locker(&m_mutex);
    return m_entries.contains(itemId);
}

void DocumentTextCache::insert(int itemId, const QTextDocument &document)
{
    if (!contains(itemId))
        keep(itemId, entryFor(document));
}

void DocumentTextCache::insertRtf(int itemId, const QByteArray &rtf)
{
    if (contains(itemId))
        return;
    QTextDocument document;
    RtfReader::read(rtf, &document);
    keep(itemId, entryFor(document));
}

void DocumentTextCache::insertMissing(int itemId)
{
    keep(itemId, Entry {});
}

int DocumentTextCache::count() const
{
    QMutexLocker locker(&m_mutex);
    return int(m_entries.size());
}

qint64 DocumentTextCache::memoryBytes() const
{
    QMutexLocker locker(&m_mutex);
    qint64 bytes = 0;
    for (const Entry &entry : m_entries) {
        bytes += EntryOverhead;
        bytes += entry.folded.capacity() * qint64(sizeof(QChar));
        bytes += entry.changedAt.capacity() * qint64(sizeof(qint32));
        bytes += entry.changedFrom.capacity() * qint64(sizeof(QChar));
    }
    return bytes;
}

QString DocumentTextCache::fold(QStringView text)
{
    QString folded(text.size(), Qt::Uninitialized);
    foldInto(text, reinterpret_cast<char16_t *>(folded.data()), [](qsizetype, char16_t) {});
    return folded;
}

DocumentTextCache::Entry DocumentTextCache::entryFor(const QTextDocument &document)
{
    // One pass over the document's raw text gives the folded text and what
    // the plain text has where the two differ.
    const QString raw = document.toRawText();
    Entry entry;
    entry.hasRow = true;
    entry.folded = QString(raw.size(), Qt::Uninitialized);
    foldInto(raw, reinterpret_cast<char16_t *>(entry.folded.data()),
             [&entry](qsizetype position, char16_t plain) {
                 entry.changedAt.append(qint32(position));
                 entry.changedFrom.append(QChar(plain));
             });
    entry.changedAt.squeeze();
    entry.changedFrom.squeeze();
    return entry;
}

std::optional<QString> DocumentTextCache::keep(int itemId, Entry entry)
{
    QMutexLocker locker(&m_mutex);
    auto found = m_entries.find(itemId);
    if (found == m_entries.end())
        found = m_entries.insert(itemId, std::move(entry));
    return found->hasRow ? std::optional<QString>(found->folded) : std::nullopt;
}
