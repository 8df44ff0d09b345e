#include "documenttextcache.h"

#include "rtf/rtfreader.h"

#include <QMutexLocker>
#include <QTextDocument>

namespace {

// Rough cost of one hash node with its entry, beyond the texts themselves.
constexpr qint64 EntryOverhead = 96;

} // namespace

std::optional<QString> DocumentTextCache::foldedText(int itemId, const Reader &read)
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
    QTextDocument document;
    RtfReader::read(*rtf, &document);
    return keep(itemId, entryFor(documentText(document)));
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
        keep(itemId, entryFor(documentText(document)));
}

void DocumentTextCache::insertRtf(int itemId, const QByteArray &rtf)
{
    if (contains(itemId))
        return;
    QTextDocument document;
    RtfReader::read(rtf, &document);
    keep(itemId, entryFor(documentText(document)));
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

QString DocumentTextCache::documentText(const QTextDocument &document)
{
    // toPlainText() keeps one character per position: it only turns
    // paragraph, line and frame separators into '\n' and no-break spaces
    // into blanks.
    return document.toPlainText();
}

QString DocumentTextCache::fold(QStringView text)
{
    QString folded(text.size(), Qt::Uninitialized);
    char16_t *out = reinterpret_cast<char16_t *>(folded.data());
    const char16_t *in = text.utf16();
    const qsizetype size = text.size();
    for (qsizetype i = 0; i < size; ++i) {
        const char16_t c = in[i];
        if (c < 0x80) {
            out[i] = c >= u'A' && c <= u'Z' ? char16_t(c + 0x20) : c;
        } else if (QChar::isHighSurrogate(c) && i + 1 < size && QChar::isLowSurrogate(in[i + 1])) {
            const char32_t folded32 = QChar::toCaseFolded(QChar::surrogateToUcs4(c, in[i + 1]));
            if (QChar::requiresSurrogates(folded32)) {
                out[i] = QChar::highSurrogate(folded32);
                out[i + 1] = QChar::lowSurrogate(folded32);
            } else {
                out[i] = c;
                out[i + 1] = in[i + 1];
            }
            ++i;
        } else {
            const char32_t folded32 = QChar::toCaseFolded(char32_t(c));
            out[i] = QChar::requiresSurrogates(folded32) ? c : char16_t(folded32);
        }
    }
    return folded;
}

DocumentTextCache::Entry DocumentTextCache::entryFor(const QString &text)
{
    Entry entry;
    entry.hasRow = true;
    entry.folded = fold(text);
    const QChar *original = text.constData();
    const QChar *folded = entry.folded.constData();
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (original[i] != folded[i]) {
            entry.changedAt.append(qint32(i));
            entry.changedFrom.append(original[i]);
        }
    }
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
