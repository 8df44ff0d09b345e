#include "documentsearch.h"

#include "documenttextcache.h"
#include "qmx_tree.h"

namespace {

bool isAsciiLetter(QChar c)
{
    return (c >= u'A' && c <= u'Z') || (c >= u'a' && c <= u'z');
}

bool isBlankOrControl(QChar c)
{
    return c.unicode() <= 32;
}

} // namespace

QString DocumentSearch::trimPhrase(const QString &text)
{
    qsizetype begin = 0;
    qsizetype end = text.size();
    while (begin < end && isBlankOrControl(text.at(begin)))
        ++begin;
    while (end > begin && isBlankOrControl(text.at(end - 1)))
        --end;
    return text.mid(begin, end - begin);
}

bool DocumentSearch::differsBeyondAsciiCase(QStringView a, QStringView b)
{
    if (a.size() != b.size())
        return true;
    for (qsizetype i = 0; i < a.size(); ++i) {
        const QChar x = a.at(i);
        const QChar y = b.at(i);
        if (x == y)
            continue;
        if (!isAsciiLetter(x) || !isAsciiLetter(y) || (x.unicode() | 0x20) != (y.unicode() | 0x20))
            return true;
    }
    return false;
}

void DocumentSearch::ResetSearch()
{
    if (m_state.FSearchSelecting)
        return;
    m_state.FSearchNodeIndex = 0;
    m_state.FSearchPos.reset();
}

void DocumentSearch::takePhrase(const QString &phrase)
{
    if (differsBeyondAsciiCase(phrase, m_state.FLastPhrase))
        ResetSearch();
    m_state.FLastPhrase = phrase;
    m_foldedPhrase = DocumentTextCache::fold(phrase);
}

void DocumentSearch::continueAfter(int nodeIndex, int position, const QString &phrase)
{
    m_state.FSearchNodeIndex = nodeIndex;
    m_state.FSearchPos = position;
    m_state.FLastPhrase = phrase;
    m_foldedPhrase = DocumentTextCache::fold(phrase);
}

std::optional<DocumentSearch::Match> DocumentSearch::findInDocument(QStringView foldedText)
{
    const qsizetype found = m_foldedPhrase.isEmpty()
        ? -1
        : foldedText.indexOf(m_foldedPhrase, startPosition(), Qt::CaseSensitive);
    if (found < 0) {
        m_state.FSearchPos.reset();
        return std::nullopt;
    }
    m_state.FSearchPos = int(found);
    return Match {-1, int(found), int(m_foldedPhrase.size())};
}

std::optional<DocumentSearch::Match> DocumentSearch::findInLibrary(const QList<SearchNode> &nodes,
                                                                   const TextOf &textOf)
{
    m_state.FSearchFound = false;
    // Nothing can match an empty phrase: the run ends where a fruitless scan would.
    if (m_foldedPhrase.isEmpty()) {
        m_state.FSearchNodeIndex = int(nodes.size());
        m_state.FSearchPos.reset();
        return std::nullopt;
    }
    while (!m_state.FSearchFound && m_state.FSearchNodeIndex < nodes.size()) {
        const SearchNode &node = nodes.at(m_state.FSearchNodeIndex);
        if (node.nodeType == NodeDocument) {
            if (const std::optional<QString> text = textOf(node.itemId)) {
                const qsizetype found = QStringView(*text).indexOf(m_foldedPhrase, startPosition(),
                                                                   Qt::CaseSensitive);
                if (found >= 0) {
                    m_state.FSearchPos = int(found);
                    m_state.FSearchFound = true;
                    return Match {m_state.FSearchNodeIndex, int(found), int(m_foldedPhrase.size())};
                }
                m_state.FSearchPos.reset();
            }
        }
        ++m_state.FSearchNodeIndex;
        m_state.FSearchPos.reset();
    }
    return std::nullopt;
}
