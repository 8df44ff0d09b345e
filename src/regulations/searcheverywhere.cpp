#include "searcheverywhere.h"

#include "data/questiontexts.h"
#include "data/sql.h"
#include "documentsearch.h"
#include "documenttextcache.h"

#include "toolkit/error.h"

#include <QSqlError>
#include <QSqlQuery>
#include <QTextDocument>

namespace PolishLetters {

namespace {

// The Polish letters lie between Ó (U+00D3) and ż (U+017C).
constexpr char16_t First = 0x00d3;
constexpr char16_t Last = 0x017c;

constexpr std::array<char16_t, Last - First + 1> makeTable()
{
    std::array<char16_t, Last - First + 1> table {};
    for (char16_t c = First; c <= Last; ++c)
        table[c - First] = c;
    const char16_t pairs[][2] = {
        {u'ą', u'a'}, {u'ć', u'c'}, {u'ę', u'e'}, {u'ł', u'l'}, {u'ń', u'n'}, {u'ó', u'o'},
        {u'ś', u's'}, {u'ź', u'z'}, {u'ż', u'z'}, {u'Ą', u'A'}, {u'Ć', u'C'}, {u'Ę', u'E'},
        {u'Ł', u'L'}, {u'Ń', u'N'}, {u'Ó', u'O'}, {u'Ś', u'S'}, {u'Ź', u'Z'}, {u'Ż', u'Z'},
    };
    for (const auto &pair : pairs)
        table[pair[0] - First] = pair[1];
    return table;
}

constexpr auto Table = makeTable();

} // namespace

char16_t plain(char16_t c)
{
    return c >= First && c <= Last ? Table[c - First] : c;
}

void strip(QString &text)
{
    // Only detaches a shared text when it holds a Polish letter.
    const char16_t *begin = reinterpret_cast<const char16_t *>(text.constData());
    const char16_t *end = begin + text.size();
    const char16_t *at = begin;
    while (at != end && plain(*at) == *at)
        ++at;
    if (at == end)
        return;
    char16_t *data = reinterpret_cast<char16_t *>(text.data());
    for (qsizetype i = at - begin; i < text.size(); ++i)
        data[i] = plain(data[i]);
}

QString stripped(QStringView text)
{
    QString result = text.toString();
    strip(result);
    return result;
}

} // namespace PolishLetters

// ---------------------------------------------------------------------------

void QuestionBank::load(const QSqlDatabase &database)
{
    m_questions.clear();
    m_loaded = false;
    // The stored plain text where the database has it; the RTF of any
    // question it lacks (a database built before the table) is read here.
    const bool hasTexts = database.tables().contains(QStringLiteral("pytania_tekst"));
    QSqlQuery query = Sql::prepare(
        database,
        hasTexts ? QStringLiteral(
            "SELECT t.id_pytanie, t.id_dzial, t.poprawna_odpowiedz, p.id_pytanie IS NOT NULL, "
            "coalesce(p.pytanie, t.pytanie), coalesce(p.odp_A, t.odp_A), "
            "coalesce(p.odp_B, t.odp_B), coalesce(p.odp_C, t.odp_C) FROM test_pytania t "
            "LEFT JOIN pytania_tekst p ON p.id_pytanie = t.id_pytanie ORDER BY t.id_pytanie")
                 : QStringLiteral("SELECT id_pytanie, id_dzial, poprawna_odpowiedz, 0, pytanie, "
                                  "odp_A, odp_B, odp_C FROM test_pytania ORDER BY id_pytanie"));
    query.setForwardOnly(true);
    Sql::exec(query);
    QTextDocument scratch;
    QList<BankQuestion> questions;
    while (query.next()) {
        BankQuestion question;
        question.idPytanie = query.value(0).toInt();
        question.idDzial = query.value(1).toInt();
        question.correct = query.value(2).toString().trimmed();
        const bool stored = query.value(3).toBool();
        for (int field = 0; field < BankQuestion::FieldCount; ++field) {
            const QVariant value = query.value(4 + field);
            question.text[field] = stored ? value.toString()
                                          : QuestionTexts::plainText(value.toByteArray(), &scratch);
            question.folded[field] = DocumentTextCache::fold(question.text[field]);
        }
        questions.append(std::move(question));
    }
    if (query.lastError().isValid())
        throw Error(Sql::errorText(query.lastError()));
    m_questions = std::move(questions);
    m_loaded = true;
}

// ---------------------------------------------------------------------------

namespace {

// Context shown on one line: breaks and pictures become blanks.
QString oneLine(QString text)
{
    for (QChar &c : text) {
        if (c == u'\n' || c == u'\r' || c == u'\t' || c == QChar::ObjectReplacementCharacter)
            c = u' ';
    }
    return text;
}

SearchEverywhere::Hit hitAt(const QString &text, int position, int length)
{
    using S = SearchEverywhere;
    const int start = std::max(0, position - S::ContextLength);
    const int end = std::min(int(text.size()), position + length + S::ContextLength);
    SearchEverywhere::Hit hit;
    hit.position = position;
    hit.length = length;
    hit.before = oneLine(text.mid(start, position - start));
    if (start > 0)
        hit.before.prepend(u'…');
    hit.match = oneLine(text.mid(position, length));
    hit.after = oneLine(text.mid(position + length, end - position - length));
    if (end < text.size())
        hit.after.append(u'…');
    return hit;
}

} // namespace

QString SearchEverywhere::key(QStringView foldedText, bool polishLetters)
{
    return polishLetters ? foldedText.toString() : PolishLetters::stripped(foldedText);
}

QList<int> SearchEverywhere::positions(QStringView text, QStringView key)
{
    QList<int> found;
    if (key.isEmpty())
        return found;
    qsizetype from = 0;
    while ((from = text.indexOf(key, from, Qt::CaseSensitive)) >= 0) {
        found.append(int(from));
        from += key.size();
    }
    return found;
}

namespace {

// The matches of a key without diacritics in a text that has them, each
// character compared stripped: no stripped copy of the text is made, which
// is most of the cost of searching the whole library.
QList<int> strippedPositions(QStringView text, QStringView key)
{
    // A long key goes the way of a copy, so that no text costs its length
    // times the key's.
    constexpr qsizetype LongKey = 32;
    if (key.size() > LongKey)
        return SearchEverywhere::positions(PolishLetters::stripped(text), key);
    QList<int> found;
    const char16_t *t = text.utf16();
    const char16_t *k = key.utf16();
    const qsizetype m = key.size();
    const qsizetype last = text.size() - m;
    for (qsizetype i = 0; i <= last;) {
        qsizetype j = 0;
        while (j < m && PolishLetters::plain(t[i + j]) == k[j])
            ++j;
        if (j == m) {
            found.append(int(i));
            i += m;
        } else {
            ++i;
        }
    }
    return found;
}

QList<int> matches(QStringView foldedText, QStringView key, bool polishLetters)
{
    if (key.isEmpty())
        return {};
    return polishLetters ? SearchEverywhere::positions(foldedText, key)
                         : strippedPositions(foldedText, key);
}

} // namespace

QList<int> SearchEverywhere::positionsIn(QStringView foldedText, const QString &phrase,
                                         bool polishLetters)
{
    const QString wanted
        = key(DocumentTextCache::fold(DocumentSearch::trimPhrase(phrase)), polishLetters);
    return matches(foldedText, wanted, polishLetters);
}

namespace {

QString wantedKey(const QString &trimmedPhrase, bool polishLetters)
{
    return SearchEverywhere::key(DocumentTextCache::fold(trimmedPhrase), polishLetters);
}

} // namespace

SearchEverywhere::BankHits SearchEverywhere::searchBank(const QString &phrase, bool polishLetters,
                                                        const QList<BankQuestion> &bank)
{
    BankHits result;
    const QString wanted = wantedKey(DocumentSearch::trimPhrase(phrase), polishLetters);
    if (wanted.isEmpty())
        return result;
    for (const BankQuestion &question : bank) {
        for (int field = 0; field < BankQuestion::FieldCount; ++field) {
            const QList<int> found = matches(question.folded[field], wanted, polishLetters);
            result.matches += int(found.size());
            for (int position : found) {
                if (result.hits.size() == MaxShown)
                    break;
                result.hits.append({question, BankQuestion::Field(field),
                                    hitAt(question.text[field], position, int(wanted.size()))});
            }
        }
    }
    return result;
}

SearchEverywhere::Results SearchEverywhere::run(const QString &phrase, bool polishLetters,
                                                const QList<SearchDocument> &documents,
                                                const TextOf &textOf, const TextOf &plainOf,
                                                const QList<BankQuestion> &bank)
{
    return run(phrase, polishLetters, documents, textOf, plainOf,
               searchBank(phrase, polishLetters, bank));
}

SearchEverywhere::Results SearchEverywhere::run(const QString &phrase, bool polishLetters,
                                                const QList<SearchDocument> &documents,
                                                const TextOf &textOf, const TextOf &plainOf,
                                                const BankHits &bankHits)
{
    Results results;
    results.phrase = DocumentSearch::trimPhrase(phrase);
    results.polishLetters = polishLetters;
    const QString wanted = wantedKey(results.phrase, polishLetters);
    if (wanted.isEmpty())
        return results;

    for (const SearchDocument &document : documents) {
        const std::optional<QString> folded = textOf(document.itemId);
        if (!folded)
            continue;
        const QList<int> found = matches(*folded, wanted, polishLetters);
        if (found.isEmpty())
            continue;
        DocumentGroup group;
        group.document = document;
        group.count = int(found.size());
        results.documentMatches += group.count;
        if (results.shown < MaxShown) {
            const QString text = plainOf(document.itemId).value_or(*folded);
            for (int position : found) {
                if (results.shown == MaxShown)
                    break;
                group.hits.append(hitAt(text, position, int(wanted.size())));
                ++results.shown;
            }
        }
        results.documents.append(std::move(group));
    }

    // The questions come after the documents, as far as the cap leaves room.
    results.questionMatches = bankHits.matches;
    const int room = std::min(int(bankHits.hits.size()), MaxShown - results.shown);
    results.questions = bankHits.hits.mid(0, room);
    results.shown += room;
    return results;
}

QString SearchEverywhere::results(int count)
{
    const int tens = count % 100;
    const int units = count % 10;
    const char16_t *word = count == 1                            ? u"wynik"
        : (units >= 2 && units <= 4 && (tens < 12 || tens > 14)) ? u"wyniki"
                                                                 : u"wyników";
    return QStringLiteral("%1 %2").arg(count).arg(QStringView(word));
}

QString SearchEverywhere::Results::summary() const
{
    if (total() == 0)
        return QStringLiteral("Brak wyników");
    const int documentCount = int(documents.size());
    QString text = SearchEverywhere::results(documentMatches)
        + (documentCount == 1 ? QStringLiteral(" w 1 dokumencie")
                              : QStringLiteral(" w %1 dokumentach").arg(documentCount))
        + QStringLiteral(", %1 w pytaniach").arg(questionMatches);
    if (capped())
        text += QStringLiteral(" (pokazano pierwsze %1)").arg(shown);
    return text;
}
