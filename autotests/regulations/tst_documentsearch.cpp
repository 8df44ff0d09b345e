#include "regulations/documentsearch.h"
#include "regulations/documenttextcache.h"
#include "regulations/qmx_tree.h"
#include "rtf/rtfreader.h"
#include "toolkit/error.h"

#include <QTest>
#include <QTextCursor>
#include <QTextDocument>

using namespace Qt::StringLiterals;

namespace {

using Texts = QHash<qint32, QString>;

// A library whose texts are given as written; counts what the search asks for.
struct Library
{
    QList<SearchNode> nodes;
    Texts texts;
    QList<qint32> asked;

    DocumentSearch::TextOf textOf()
    {
        return [this](qint32 itemId) -> std::optional<QString> {
            asked.append(itemId);
            if (!texts.contains(itemId))
                return std::nullopt;
            return DocumentTextCache::fold(texts.value(itemId));
        };
    }
};

struct Step
{
    int nodeIndex;
    int position;
};

std::optional<Step> next(DocumentSearch &search, Library &library, const QString &phrase)
{
    search.takePhrase(phrase);
    const auto match = search.findInLibrary(library.nodes, library.textOf());
    if (!match)
        return std::nullopt;
    return Step {match->nodeIndex, match->position};
}

std::optional<int> nextInDocument(DocumentSearch &search, const QString &text,
                                  const QString &phrase)
{
    search.takePhrase(phrase);
    const auto match = search.findInDocument(DocumentTextCache::fold(text));
    return match ? std::optional<int>(match->position) : std::nullopt;
}

// Heading, document, exam entry, document without its row, thematic entry, document.
Library mixedLibrary()
{
    Library library;
    library.nodes = {{1, NodeHeading},   {11, NodeDocument},    {4, NodeExamTest},
                     {12, NodeDocument}, {5, NodeThematicTest}, {13, NodeDocument}};
    library.texts = {{11, u"Napięcie znamionowe; napięcie robocze."_s},
                     {13, u"Dozór urządzeń: NAPIĘCIE sieci."_s}};
    return library;
}

const QByteArray MixedRtf
    = "{\\rtf1\\ansi\\ansicpg1250{\\fonttbl{\\f0 Arial;}}"
      "\\f0 Pierwszy akapit z \\'a3\\'f3dk\\'b9.\\par "
      "Tabela:\\par"
      "\\trowd\\cellx2000\\cellx4000 Kom\\'f3rka A\\cell Kom\\'f3rka B\\cell\\row "
      "Po tabeli\\~twarda spacja\\line nowa linia i \\u321?\\'f3d\\'9f.\\par}";

} // namespace

class TestDocumentSearch : public QObject
{
    Q_OBJECT

private slots:
    void trimsControlCharactersAndBlanks_data();
    void trimsControlCharactersAndBlanks();
    void phraseChange_data();
    void phraseChange();
    void overlappingMatchesInTheDocument();
    void matchingIsLiteralAndIgnoresCase_data();
    void matchingIsLiteralAndIgnoresCase();
    void emptyPhraseMatchesNothingAndReadsNothing();
    void libraryStepsInTreeOrderAndStaysAtTheEnd();
    void caseChangeOfAToZContinuesOtherChangesRestart();
    void resetIsIgnoredWhileSelecting();
    void bothModesShareThePosition();
    void failedReadLeavesTheSearchAtTheNode();
    void foldKeepsEveryPosition();
    void cachedPositionsAreCursorPositions();
    void cacheGivesTheTextBackAsWritten();
    void cacheReadsEachDocumentOnce();
    void damagedRtfIsSearchedAsFarAsItReads();
    void cacheHoldsAboutOneCopyOfTheText();
};

void TestDocumentSearch::trimsControlCharactersAndBlanks_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("phrase");
    QTest::newRow("blanks at both ends") << u"  napięcie  "_s << u"napięcie"_s;
    QTest::newRow("tabs, line breaks and control characters")
        << u"\t\r\n\x01napięcie sieci\x1f\x20"_s << u"napięcie sieci"_s;
    QTest::newRow("inner blanks kept") << u" a  b "_s << u"a  b"_s;
    QTest::newRow("no-break space is not trimmed") << u"\u00a0a\u00a0"_s << u"\u00a0a\u00a0"_s;
    QTest::newRow("blanks only") << u" \t  "_s << QString();
    QTest::newRow("empty") << QString() << QString();
}

void TestDocumentSearch::trimsControlCharactersAndBlanks()
{
    QFETCH(QString, typed);
    QFETCH(QString, phrase);
    QCOMPARE(DocumentSearch::trimPhrase(typed), phrase);
}

void TestDocumentSearch::phraseChange_data()
{
    QTest::addColumn<QString>("previous");
    QTest::addColumn<QString>("phrase");
    QTest::addColumn<bool>("restarts");
    QTest::newRow("same") << u"prąd"_s << u"prąd"_s << false;
    QTest::newRow("case of A to Z") << u"Art. 54"_s << u"aRT. 54"_s << false;
    QTest::newRow("case of a Polish letter") << u"Łódź"_s << u"łódź"_s << true;
    QTest::newRow("case of Ó only") << u"PRÓBA"_s << u"PRóBA"_s << true;
    QTest::newRow("@ against ` differ by the case bit but are no letters")
        << u"a@"_s << u"a`"_s << true;
    QTest::newRow("[ against {") << u"a["_s << u"a{"_s << true;
    QTest::newRow("longer") << u"prąd"_s << u"prądu"_s << true;
    QTest::newRow("shorter") << u"prądu"_s << u"prąd"_s << true;
}

void TestDocumentSearch::phraseChange()
{
    QFETCH(QString, previous);
    QFETCH(QString, phrase);
    QFETCH(bool, restarts);
    QCOMPARE(DocumentSearch::differsBeyondAsciiCase(previous, phrase), restarts);

    Library library;
    library.nodes = {{1, NodeDocument}, {2, NodeDocument}};
    library.texts = {{2, u"x " + previous + u" " + phrase}};
    DocumentSearch search;
    QVERIFY(next(search, library, previous));
    QCOMPARE(search.state().FSearchNodeIndex, 1);
    search.takePhrase(phrase);
    QCOMPARE(search.state().FLastPhrase, phrase);
    QCOMPARE(search.state().FSearchNodeIndex, restarts ? 0 : 1);
    QCOMPARE(search.state().FSearchPos.has_value(), !restarts);
}

void TestDocumentSearch::overlappingMatchesInTheDocument()
{
    DocumentSearch search;
    const QString text = u"aaa"_s;
    QCOMPARE(nextInDocument(search, text, u"aa"_s), 0);
    QCOMPARE(nextInDocument(search, text, u"aa"_s), 1);
    QCOMPARE(nextInDocument(search, text, u"aa"_s), std::nullopt);
    QVERIFY(!search.state().FSearchPos);
    QCOMPARE(nextInDocument(search, text, u"aa"_s), 0);
}

void TestDocumentSearch::matchingIsLiteralAndIgnoresCase_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("phrase");
    QTest::addColumn<int>("position"); // -1: not found

    QTest::newRow("at the very first character") << u"Napięcie"_s << u"nap"_s << 0;
    QTest::newRow("upper case text") << u"Dozór URZĄDZEŃ"_s << u"urządzeń"_s << 6;
    QTest::newRow("Polish capitals fold") << u"w ŁODZI"_s << u"łodzi"_s << 2;
    QTest::newRow("inside a word") << u"przepięciowy"_s << u"PIĘĆ"_s << -1;
    QTest::newRow("substring of a word") << u"przepięciowy"_s << u"PIĘ"_s << 4;
    QTest::newRow("percent is literal") << u"abc 50% def"_s << u"50%"_s << 4;
    QTest::newRow("percent is no wildcard") << u"a-b"_s << u"a%b"_s << -1;
    QTest::newRow("underscore is no wildcard") << u"a-b a_b"_s << u"a_b"_s << 4;
    QTest::newRow("star is no wildcard") << u"abc"_s << u"a*"_s << -1;
    QTest::newRow("star is literal") << u"x a* y"_s << u"a*"_s << 2;
    QTest::newRow("backslash") << u"C:\\dir"_s << u":\\D"_s << 1;
    QTest::newRow("apostrophe") << u"it's ' or 1=1 --"_s << u"' or 1=1 --"_s << 5;
    QTest::newRow("regular expression is literal") << u"abc"_s << u".*"_s << -1;
    QTest::newRow("longer than the text") << u"abc"_s << u"abcd"_s << -1;
    const QString long10k = QString(9999, u'x') + u'Y';
    QTest::newRow("phrase of 10,000 characters")
        << (u"ab"_s + long10k.toLower() + u"c"_s) << long10k << 2;
    QTest::newRow("phrase of 10,000 characters, absent") << u"short"_s << long10k << -1;
}

void TestDocumentSearch::matchingIsLiteralAndIgnoresCase()
{
    QFETCH(QString, text);
    QFETCH(QString, phrase);
    QFETCH(int, position);
    DocumentSearch search;
    const std::optional<int> found = nextInDocument(search, text, phrase);
    QCOMPARE(found.value_or(-1), position);
}

void TestDocumentSearch::emptyPhraseMatchesNothingAndReadsNothing()
{
    Library library = mixedLibrary();
    DocumentSearch search;
    QCOMPARE(nextInDocument(search, u"abc"_s, QString()), std::nullopt);
    QVERIFY(!next(search, library, QString()));
    QVERIFY(library.asked.isEmpty());
    QCOMPARE(search.state().FSearchNodeIndex, library.nodes.size());
    QVERIFY(!search.state().FSearchPos);
    // A real phrase then starts from the first node.
    QCOMPARE(next(search, library, u"napięcie"_s)->nodeIndex, 1);
}

void TestDocumentSearch::libraryStepsInTreeOrderAndStaysAtTheEnd()
{
    Library library = mixedLibrary();
    DocumentSearch search;
    QCOMPARE(search.state().FSearchNodeIndex, 0);
    QVERIFY(!search.state().FSearchPos);
    QVERIFY(!search.state().FSearchFound);
    QVERIFY(search.state().FLastPhrase.isEmpty());
    QVERIFY(!search.state().FSearchSelecting);

    const QList<std::pair<int, int>> expected = {{1, 0}, {1, 21}, {5, 16}};
    for (const auto &[nodeIndex, position] : expected) {
        const std::optional<Step> step = next(search, library, u"napięcie"_s);
        QVERIFY(step);
        QCOMPARE(step->nodeIndex, nodeIndex);
        QCOMPARE(step->position, position);
        QVERIFY(search.state().FSearchFound);
    }
    // Headings and test entries were passed over without a read; the
    // document without its row was asked for once.
    QCOMPARE(library.asked, (QList<qint32> {11, 11, 11, 12, 13}));

    library.asked.clear();
    QVERIFY(!next(search, library, u"napięcie"_s));
    QCOMPARE(library.asked, QList<qint32> {13});
    QVERIFY(!search.state().FSearchFound);
    QCOMPARE(search.state().FSearchNodeIndex, 6);
    library.asked.clear();
    QVERIFY(!next(search, library, u"napięcie"_s));
    QVERIFY(library.asked.isEmpty());

    search.ResetSearch();
    QCOMPARE(next(search, library, u"napięcie"_s)->nodeIndex, 1);
}

void TestDocumentSearch::caseChangeOfAToZContinuesOtherChangesRestart()
{
    Library library;
    library.nodes = {{1, NodeDocument}, {2, NodeDocument}};
    library.texts = {{1, u"Łąka łąka"_s}, {2, u"ŁĄKA"_s}};
    DocumentSearch search;
    QCOMPARE(next(search, library, u"łąka"_s)->position, 0);
    QCOMPARE(next(search, library, u"łąka"_s)->position, 5);
    // Ł against ł: from the first node again.
    const std::optional<Step> restarted = next(search, library, u"Łąka"_s);
    QCOMPARE(restarted->nodeIndex, 0);
    QCOMPARE(restarted->position, 0);

    library.texts = {{1, u"Art. 54 i art. 55"_s}};
    search.ResetSearch();
    QCOMPARE(next(search, library, u"art."_s)->position, 0);
    QCOMPARE(next(search, library, u"ART."_s)->position, 10);
}

void TestDocumentSearch::resetIsIgnoredWhileSelecting()
{
    Library library = mixedLibrary();
    DocumentSearch search;
    QVERIFY(next(search, library, u"robocze"_s));
    search.setSelecting(true);
    search.ResetSearch();
    QCOMPARE(search.state().FSearchNodeIndex, 1);
    QCOMPARE(search.state().FSearchPos, 30);
    search.setSelecting(false);
    search.ResetSearch();
    QCOMPARE(search.state().FSearchNodeIndex, 0);
    QVERIFY(!search.state().FSearchPos);
}

void TestDocumentSearch::bothModesShareThePosition()
{
    Library library = mixedLibrary();
    DocumentSearch search;
    QCOMPARE(next(search, library, u"napięcie"_s)->position, 0);
    // The this-document mode goes on after the match the library search found...
    QCOMPARE(nextInDocument(search, library.texts.value(11), u"napięcie"_s), 21);
    // ...and the library search after the one found in the document.
    const std::optional<Step> step = next(search, library, u"napięcie"_s);
    QCOMPARE(step->nodeIndex, 5);
}

void TestDocumentSearch::failedReadLeavesTheSearchAtTheNode()
{
    Library library = mixedLibrary();
    DocumentSearch search;
    search.takePhrase(u"dozór"_s);
    const auto failing = [](qint32 itemId) -> std::optional<QString> {
        if (itemId == 12)
            throw Error(u"no such table: tree_documents"_s);
        return QString();
    };
    QVERIFY_THROWS_EXCEPTION(Error, search.findInLibrary(library.nodes, failing));
    QCOMPARE(search.state().FSearchNodeIndex, 3);
    QVERIFY(!search.state().FSearchFound);
    // Once the document can be read, the search goes on from there.
    QCOMPARE(next(search, library, u"dozór"_s)->nodeIndex, 5);
}

void TestDocumentSearch::foldKeepsEveryPosition()
{
    // Characters whose full folding would take more than one character, and
    // one beyond the basic plane.
    const QString text = u"STRAßE İ ŉ ﬁ ΣΑΣ \U00010400x ŁĄKA"_s;
    const QString folded = DocumentTextCache::fold(text);
    QCOMPARE(folded.size(), text.size());
    QCOMPARE(folded, u"straße İ ŉ ﬁ σασ \U00010428x łąka"_s);
    QCOMPARE(folded.indexOf(u"x łąka"), text.indexOf(u"x ŁĄKA"));
}

void TestDocumentSearch::cachedPositionsAreCursorPositions()
{
    DocumentTextCache cache;
    const std::optional<QString> folded
        = cache.foldedText(7, [](int) { return std::optional<QByteArray>(MixedRtf); });
    QVERIFY(folded);
    // The viewer reads the same RTF into a document of its own.
    QTextDocument shown;
    QVERIFY(RtfReader::read(MixedRtf, &shown));
    QCOMPARE(folded->size(), shown.characterCount() - 1);
    for (const QString &phrase :
         {u"łódką"_s, u"komórka b"_s, u"po tabeli twarda"_s, u"spacja\nnowa"_s, u"łódź."_s}) {
        const qsizetype at = folded->indexOf(DocumentTextCache::fold(phrase));
        QVERIFY2(at >= 0, qPrintable(phrase));
        QTextCursor cursor(&shown);
        cursor.setPosition(int(at));
        cursor.setPosition(int(at + phrase.size()), QTextCursor::KeepAnchor);
        QString selected = cursor.selectedText();
        selected.replace(QChar::LineSeparator, u'\n').replace(QChar::Nbsp, u' ');
        QCOMPARE(DocumentTextCache::fold(selected), DocumentTextCache::fold(phrase));
    }
    QCOMPARE(cache.plainText(7), shown.toPlainText());

    // Read through a scratch document that held another text before.
    QTextDocument scratch;
    scratch.setPlainText(u"poprzedni dokument, dłuższy niż ten"_s);
    QCOMPARE(cache.foldedText(
                 9, [](int) { return std::optional<QByteArray>(MixedRtf); }, &scratch),
             folded);

    // A text already held is kept as it is.
    QTextDocument other;
    other.setPlainText(u"inny"_s);
    cache.insert(7, other);
    QCOMPARE(cache.plainText(7), shown.toPlainText());
    cache.insert(8, other);
    QCOMPARE(cache.plainText(8), u"inny"_s);
}

void TestDocumentSearch::cacheGivesTheTextBackAsWritten()
{
    QTextDocument document;
    document.setPlainText(u"ŁÓDŹ\u00a0i \U00010400 Straße\nDRUGI akapit"_s);
    QTextCursor cursor(&document);
    cursor.movePosition(QTextCursor::End);
    cursor.insertText(u"\u2028PO ŁAMANIU"_s);
    DocumentTextCache cache;
    cache.insert(1, document);
    QCOMPARE(cache.plainText(1), document.toPlainText());
    QCOMPARE(cache.foldedText(1), u"łódź i \U00010428 straße\ndrugi akapit\npo łamaniu"_s);
}

void TestDocumentSearch::cacheReadsEachDocumentOnce()
{
    DocumentTextCache cache;
    int reads = 0;
    const DocumentTextCache::Reader read = [&reads](int itemId) -> std::optional<QByteArray> {
        ++reads;
        if (itemId == 2)
            return std::nullopt;
        return QByteArray("{\\rtf1\\ansi Doz\\'f3r \\u379?URAWIA}");
    };
    QCOMPARE(cache.foldedText(1, read), u"dozór żurawia"_s);
    QCOMPARE(cache.foldedText(1, read), u"dozór żurawia"_s);
    QCOMPARE(cache.plainText(1), u"Dozór ŻURAWIA"_s);
    QCOMPARE(cache.foldedText(1), u"dozór żurawia"_s);
    QCOMPARE(cache.foldedText(2, read), std::nullopt);
    QCOMPARE(cache.foldedText(2, read), std::nullopt);
    QCOMPARE(reads, 2);
    QVERIFY(cache.contains(2));
    QCOMPARE(cache.plainText(2), std::nullopt);
    QCOMPARE(cache.plainText(3), std::nullopt);
    QCOMPARE(cache.count(), 2);

    // An error while reading keeps nothing, so the next search reads again.
    const DocumentTextCache::Reader failing
        = [](int) -> std::optional<QByteArray> { throw Error(u"disk I/O error"_s); };
    QVERIFY_THROWS_EXCEPTION(Error, cache.foldedText(3, failing));
    QVERIFY(!cache.contains(3));
}

void TestDocumentSearch::damagedRtfIsSearchedAsFarAsItReads()
{
    const QList<QByteArray> damaged = {
        "{\\rtf1\\ansi Przed uszkodzeniem {\\b pogrubione",
        "{\\rtf1\\ansi Przed uszkodzeniem}}}}\\par garbage {{{",
        "{\\rtf1\\ansi Przed uszkodzeniem \\bin999999999 ",
        QByteArray("{\\rtf1\\ansi Przed uszkodzeniem \0\xff\xfe", 34),
    };
    for (const QByteArray &rtf : damaged) {
        DocumentTextCache cache;
        const std::optional<QString> text
            = cache.foldedText(1, [&rtf](int) { return std::optional<QByteArray>(rtf); });
        QVERIFY(text);
        DocumentSearch search;
        search.takePhrase(u"PRZED USZKODZENIEM"_s);
        const auto match = search.findInDocument(*text);
        QVERIFY2(match, rtf.constData());
        QCOMPARE(match->position, 0);
    }
}

void TestDocumentSearch::cacheHoldsAboutOneCopyOfTheText()
{
    QByteArray rtf = "{\\rtf1\\ansi\\ansicpg1250 ";
    for (int i = 0; i < 400; ++i)
        rtf += "Ustawa Prawo energetyczne \\'a3\\'d3D\\'8f, art. " + QByteArray::number(i)
            + ".\\par ";
    rtf += "}";
    DocumentTextCache cache;
    const std::optional<QString> folded
        = cache.foldedText(1, [&rtf](int) { return std::optional<QByteArray>(rtf); });
    QVERIFY(folded);
    const qint64 textBytes = folded->size() * qint64(sizeof(QChar));
    QVERIFY2(cache.memoryBytes() <= 2 * textBytes,
             qPrintable(
                 u"%1 bytes held for %2 bytes of text"_s.arg(cache.memoryBytes()).arg(textBytes)));
    QVERIFY(cache.memoryBytes() >= textBytes);
}

QTEST_MAIN(TestDocumentSearch)
#include "tst_documentsearch.moc"
