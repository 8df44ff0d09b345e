#pragma once

#include <QList>
#include <QSqlDatabase>
#include <QString>
#include <QStringView>

#include <array>
#include <functional>
#include <optional>

namespace PolishLetters {

// The letter without its Polish diacritic (ą a, ł l, Ż Z, ...); any other
// character as it is. One character for one, so positions do not move.
char16_t plain(char16_t c);
// The text with every Polish letter replaced by its plain letter.
QString stripped(QStringView text);
void strip(QString &text);

} // namespace PolishLetters

// A question of the bank as the search reads it: the plain text of the
// question and of its three answers, as written and case-folded.
struct BankQuestion
{
    enum Field { Question, AnswerA, AnswerB, AnswerC, FieldCount };

    int idPytanie = 0;
    int idDzial = 0;
    QString correct; // "A", "B" or "C"
    std::array<QString, FieldCount> text;
    std::array<QString, FieldCount> folded;
};

// The question bank, read once for the run of the program: the bank is
// delivered content and never changes while it runs.
class QuestionBank
{
public:
    // Reads every question in id order, from the stored plain text where
    // the database has it, else from the RTF. Damaged RTF gives the text that
    // could be read. Raises Error.
    void load(const QSqlDatabase &database);
    bool isLoaded() const { return m_loaded; }
    const QList<BankQuestion> &questions() const { return m_questions; }

private:
    QList<BankQuestion> m_questions;
    bool m_loaded = false;
};

// A document the search looks through, in tree order.
struct SearchDocument
{
    int nodeIndex = 0; // absolute index of its tree node
    qint32 itemId = 0;
    QString caption;
};

// Every match of a phrase in the library and the question bank at once.
// Matching ignores letter case and, unless asked not to, the Polish
// diacritics; any substring matches and matches do not overlap. The texts
// come in case-folded, as the document text cache holds them.
class SearchEverywhere
{
public:
    static constexpr int MaxShown = 1000;
    static constexpr int ContextLength = 60;

    struct Hit
    {
        int position = 0;
        int length = 0;
        QString before; // up to ContextLength characters of context on each side
        QString match; // the text as written
        QString after;
    };
    struct DocumentGroup
    {
        SearchDocument document;
        int count = 0; // every match in the document, shown or not
        QList<Hit> hits; // the shown ones
    };
    struct QuestionHit
    {
        BankQuestion question;
        BankQuestion::Field field = BankQuestion::Question;
        Hit hit;
    };
    struct Results
    {
        QString phrase;
        bool polishLetters = false;
        int documentMatches = 0;
        int questionMatches = 0;
        QList<DocumentGroup> documents; // only documents with matches
        QList<QuestionHit> questions; // the shown ones
        int shown = 0;

        int total() const { return documentMatches + questionMatches; }
        bool capped() const { return shown < total(); }
        // "12 wyników w 5 dokumentach, 3 w pytaniach", and how many are shown.
        QString summary() const;
    };

    // The case-folded text of a document, none when it has none. May raise Error.
    using TextOf = std::function<std::optional<QString>(qint32 itemId)>;

    // The trimmed phrase searched for; an empty one finds nothing. textOf
    // gives the folded text, plainOf the text as written (for the context).
    static Results run(const QString &phrase, bool polishLetters,
                       const QList<SearchDocument> &documents, const TextOf &textOf,
                       const TextOf &plainOf, const QList<BankQuestion> &bank);

    // The bank's part of a search, done apart (on another thread while the
    // documents are read): every match counted, the first MaxShown kept.
    struct BankHits
    {
        int matches = 0;
        QList<QuestionHit> hits;
    };
    static BankHits searchBank(const QString &phrase, bool polishLetters,
                               const QList<BankQuestion> &bank);
    // As above, with the bank's part already done by searchBank.
    static Results run(const QString &phrase, bool polishLetters,
                       const QList<SearchDocument> &documents, const TextOf &textOf,
                       const TextOf &plainOf, const BankHits &bankHits);

    // What the text is compared as: case-folded text, with the diacritics
    // stripped unless they count.
    static QString key(QStringView foldedText, bool polishLetters);
    // Start of every match of the key in the text, left to right, without overlap.
    static QList<int> positions(QStringView text, QStringView key);
    // Every match in a document's case-folded text, as run() finds them.
    static QList<int> positionsIn(QStringView foldedText, const QString &phrase,
                                  bool polishLetters);

    // The Polish forms of "result" and of "document" for a count.
    static QString results(int count);
};
