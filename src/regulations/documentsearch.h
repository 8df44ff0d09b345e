#pragma once

#include <QList>
#include <QString>
#include <QStringView>

#include <functional>
#include <optional>

// A node of the library tree as the search walks it, by absolute index.
struct SearchNode
{
    qint32 itemId = 0;
    qint32 nodeType = 0;
};

// Where the search stands and how it moves on: the next occurrence of a
// phrase in the shown document, or in the library's documents in tree
// order. Matching ignores letter case (Unicode simple case folding, one
// character to one, so positions stay those of the document); any substring
// matches. An empty phrase matches nothing.
//
// It touches no window: the main window asks it where the next match is and
// shows it.
class DocumentSearch
{
public:
    struct State
    {
        // Absolute index of the node whose document the library search is in.
        int FSearchNodeIndex = 0;
        // Start of the last match in the document being searched.
        std::optional<int> FSearchPos;
        // A match was found by the current run of the library search.
        bool FSearchFound = false;
        QString FLastPhrase;
        // Set while the search itself selects the node of a match, so that the
        // selection handler's reset leaves the search where it is.
        bool FSearchSelecting = false;
    };

    struct Match
    {
        int nodeIndex = -1; // -1 for a match in the shown document
        int position = 0;
        int length = 0;
    };

    // The case-folded text of a node's document; none when it has none.
    using TextOf = std::function<std::optional<QString>(qint32 itemId)>;

    // The text with characters 0 to 32 removed at both ends.
    static QString trimPhrase(const QString &text);
    // True when the phrases differ other than in the case of the letters A to Z.
    static bool differsBeyondAsciiCase(QStringView a, QStringView b);

    const State &state() const { return m_state; }

    // Starts the library search again from the first node, unless the search
    // is selecting the node of a match.
    void ResetSearch();
    void setSelecting(bool selecting) { m_state.FSearchSelecting = selecting; }

    // Stands at a match found elsewhere (the list of every match), so that the
    // next search with the phrase goes on after it.
    void continueAfter(int nodeIndex, int position, const QString &phrase);

    // Takes the phrase of a new search: a phrase that differs from the last
    // one other than in the case of A to Z starts again from the first node.
    void takePhrase(const QString &phrase);

    // The next match in the shown document's folded text, after the last
    // match or from the top; none (and from the top next time) when there
    // is no further one.
    std::optional<Match> findInDocument(QStringView foldedText);

    // The next match in the documents of the nodes, from the node and the
    // position the search stands at. Nodes other than documents are passed
    // over without asking for a text. After the last match the search stays
    // at the end until it is reset. textOf may raise Error; the search then
    // stands at the node it failed on.
    std::optional<Match> findInLibrary(const QList<SearchNode> &nodes, const TextOf &textOf);

private:
    int startPosition() const { return m_state.FSearchPos ? *m_state.FSearchPos + 1 : 0; }

    State m_state;
    QString m_foldedPhrase;
};
