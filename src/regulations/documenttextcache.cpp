#include "documenttextcache.h"

#include "rtf/rtfreader.h"

#include <QMutexLocker>
#include <QTextDocument>

#include <array>
#include <memory>

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

// The folded plain character of every character of the basic plane, so that
// folding a library's text costs one look-up a character.
const std::array<char16_t, 0x10000> &foldTable()
{
    static const auto table = [] {
        auto built = std::make_unique<std::array<char16_t, 0x10000>>();
        for (char32_t c = 0; c < 0x10000; ++c) {
            const char16_t plain = plainCharacter(char16_t(c));
            const char32_t folded
                = QChar::isSurrogate(plain) ? plain : QChar::toCaseFolded(char32_t(plain));
            (*built)[c] = QChar::requiresSurrogates(folded) ? plain : char16_t(folded);
        }
        return built;
    }();
    return *table;
}

// Writes the folded plain text of the raw text to out, one character for
// each, and reports every position where folding changed the plain text.
template<typename Changed> void foldInto(QStringView raw, char16_t *out, Changed &&changed)
{
    const std::array<char16_t, 0x10000> &table = foldTable();
    const char16_t *in = raw.utf16();
    const qsizetype size = raw.size();
    for (qsizetype i = 0; i < size; ++i) {
        const char16_t c = in[i];
        if (QChar::isHighSurrogate(c) && i + 1 < size && QChar::isLowSurrogate(in[i + 1])) {
            const char32_t folded32 = QChar::toCaseFolded(QChar::surrogateToUcs4(c, in[i + 1]));
            const bool pair = QChar::requiresSurrogates(folded32);
            out[i] = pair ? QChar::highSurrogate(folded32) : c;
            out[i + 1] = pair ? QChar::lowSurrogate(folded32) : in[i + 1];
            if (out[i] != c)
                changed(i, c);
            if (out[i + 1] != in[i + 1])
                changed(i + 1, in[i + 1]);
            ++i;
            continue;
        }
        const char16_t folded = table[c];
        out[i] = folded;
        if (folded != c) {
            const char16_t plain = plainCharacter(c);
            if (folded != plain)
                changed(i, plain);
        }
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
