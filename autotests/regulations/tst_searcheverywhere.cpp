#include "regulations/documenttextcache.h"
#include "regulations/searcheverywhere.h"
#include "testdatabase.h"
#include "toolkit/error.h"

#include <QSqlError>
#include <QSqlQuery>
#include <QTest>
#include <QTextDocument>

using namespace Qt::StringLiterals;

namespace {

// Texts given as written, by item id.
struct Library
{
    QList<SearchDocument> documents;
    QHash<qint32, QString> texts;

    void add(qint32 itemId, const QString &caption, const QString &text)
    {
        documents.append({int(documents.size()), itemId, caption});
        texts.insert(itemId, text);
    }
    SearchEverywhere::TextOf folded() const
    {
        return [this](qint32 itemId) -> std::optional<QString> {
            if (!texts.contains(itemId))
                return std::nullopt;
            return DocumentTextCache::fold(texts.value(itemId));
        };
    }
    SearchEverywhere::TextOf plain() const
    {
        return [this](qint32 itemId) -> std::optional<QString> {
            if (!texts.contains(itemId))
                return std::nullopt;
            return texts.value(itemId);
        };
    }
};

BankQuestion question(int id, int dzial, const QString &text, const QStringList &answers,
                      const QString &correct)
{
    BankQuestion q;
    q.idPytanie = id;
    q.idDzial = dzial;
    q.correct = correct;
    q.text[0] = text;
    for (int i = 0; i < 3; ++i)
        q.text[1 + i] = answers.value(i);
    for (int i = 0; i < BankQuestion::FieldCount; ++i)
        q.folded[i] = DocumentTextCache::fold(q.text[i]);
    return q;
}

// Three documents (one without its row) and two questions.
//   10 "Źródło zasilania": "źródło" twice, "zrodlo" once
//   20 no row
//   30 "Łączniki": "łączniki" once, "laczniki" once
Library smallLibrary()
{
    Library library;
    library.add(10, u"Źródło zasilania"_s,
                u"Źródło zasilania rezerwowego. Drugie ŹRÓDŁO i słowo zrodlo bez znaków."_s);
    library.documents.append({1, 20, u"Bez wiersza"_s});
    library.add(30, u"Łączniki"_s, u"Łączniki i laczniki."_s);
    return library;
}

QList<BankQuestion> smallBank()
{
    return {
        question(101, 4, u"Co jest źródłem napięcia?"_s,
                 {u"bateria"_s, u"źródło prądu"_s, u"opornik"_s}, u"B"_s),
        question(102, 29, u"Czym gasić pożar?"_s, {u"wodą"_s, u"gaśnicą"_s, u"piaskiem"_s}, u"B"_s),
    };
}

SearchEverywhere::Results search(const Library &library, const QString &phrase,
                                 bool polishLetters = false,
                                 const QList<BankQuestion> &bank = smallBank())
{
    return SearchEverywhere::run(phrase, polishLetters, library.documents, library.folded(),
                                 library.plain(), bank);
}

} // namespace

class TestSearchEverywhere : public QObject
{
    Q_OBJECT

private slots:
    void eachPolishLetterFolds_data();
    void eachPolishLetterFolds();
    void phraseAgainstText_data();
    void phraseAgainstText();
    void countsAndGroupsInTreeOrder();
    void contextAroundEachMatch();
    void summary_data();
    void summary();
    void oneLetterIsCappedAndCounted();
    void bankSearchedApartGivesTheSameResults_data();
    void bankSearchedApartGivesTheSameResults();
    void blankPhraseFindsNothing_data();
    void blankPhraseFindsNothing();
    void patternCharactersAreLiteral_data();
    void patternCharactersAreLiteral();
    void bankIsReadOnceWithPlainTextAndRtf();
    void bankReadsStoredTextElseRtf_data();
    void bankReadsStoredTextElseRtf();
    void bankDatabaseErrorRaises();
};

void TestSearchEverywhere::eachPolishLetterFolds_data()
{
    QTest::addColumn<QChar>("letter");
    QTest::addColumn<QChar>("plain");
    const QString polish = u"ąćęłńóśźżĄĆĘŁŃÓŚŹŻ"_s;
    const QString latin = u"acelnoszzACELNOSZZ"_s;
    for (qsizetype i = 0; i < polish.size(); ++i)
        QTest::addRow("%s", QString(polish.at(i)).toUtf8().constData())
            << polish.at(i) << latin.at(i);
    // Neighbours in the code chart and letters of other languages stay.
    QTest::newRow("Ô stays") << QChar(u'Ô') << QChar(u'Ô');
    QTest::newRow("ö stays") << QChar(u'ö') << QChar(u'ö');
    QTest::newRow("Ž stays") << QChar(u'Ž') << QChar(u'Ž');
    QTest::newRow("ſ after ż stays") << QChar(u'ſ') << QChar(u'ſ');
}

void TestSearchEverywhere::eachPolishLetterFolds()
{
    QFETCH(QChar, letter);
    QFETCH(QChar, plain);
    QCOMPARE(QChar(PolishLetters::plain(letter.unicode())), plain);
    const QString text = u"x"_s + letter + u"y"_s;
    const QString stripped = PolishLetters::stripped(text);
    QCOMPARE(stripped.size(), text.size());
    QCOMPARE(stripped.at(1), plain);
}

void TestSearchEverywhere::phraseAgainstText_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("phrase");
    QTest::addColumn<bool>("polishLetters");
    QTest::addColumn<QList<int>>("positions");
    const QString withLetters = u"Do źródło, ŹRÓDŁO: Łączniki."_s;
    const QString without = u"Do zrodlo, ZRODLO: Laczniki."_s;
    QTest::newRow("plain phrase, text with letters")
        << withLetters << u"zrodlo"_s << false << QList<int> {3, 11};
    QTest::newRow("phrase with letters, plain text")
        << without << u"źródło"_s << false << QList<int> {3, 11};
    QTest::newRow("both with letters") << withLetters << u"ŹróDło"_s << false << QList<int> {3, 11};
    QTest::newRow("both plain") << without << u"ZRODLO"_s << false << QList<int> {3, 11};
    QTest::newRow("capital Ł finds l") << without << u"ŁĄCZNIKI"_s << false << QList<int> {19};
    QTest::newRow("letters counted: plain misses")
        << withLetters << u"zrodlo"_s << true << QList<int> {};
    QTest::newRow("letters counted: exact finds")
        << withLetters << u"źródło"_s << true << QList<int> {3, 11};
    QTest::newRow("letters counted: ż is not ź")
        << u"żródło"_s << u"źródło"_s << true << QList<int> {};
    QTest::newRow("long phrase") << QString(u"Źródło "_s).repeated(6)
                                 << u"zrodlo zrodlo zrodlo zrodlo zrodlo"_s << false
                                 << QList<int> {0};
    QTest::newRow("no overlap") << u"aaaa"_s << u"aa"_s << false << QList<int> {0, 2};
}

void TestSearchEverywhere::phraseAgainstText()
{
    QFETCH(QString, text);
    QFETCH(QString, phrase);
    QFETCH(bool, polishLetters);
    QFETCH(QList<int>, positions);
    const QString folded = DocumentTextCache::fold(text);
    QCOMPARE(SearchEverywhere::positionsIn(folded, phrase, polishLetters), positions);
    // A position in the folded text selects the same characters in the text.
    const QString key = SearchEverywhere::key(folded, false);
    QCOMPARE(key.size(), text.size());
    for (int position : positions) {
        const QString written = text.mid(position, phrase.size());
        QCOMPARE(SearchEverywhere::key(DocumentTextCache::fold(written), false),
                 SearchEverywhere::key(DocumentTextCache::fold(phrase), false));
    }
}

void TestSearchEverywhere::countsAndGroupsInTreeOrder()
{
    const Library library = smallLibrary();
    const SearchEverywhere::Results found = search(library, u"  ZRODLO "_s);
    QCOMPARE(found.phrase, u"ZRODLO"_s);
    QCOMPARE(found.documents.size(), 1);
    QCOMPARE(found.documents.first().document.itemId, 10);
    QCOMPARE(found.documents.first().document.caption, u"Źródło zasilania"_s);
    QCOMPARE(found.documents.first().count, 3);
    QCOMPARE(found.documentMatches, 3);
    // "źródło prądu" in answer B of question 101; "źródłem" does not match.
    QCOMPARE(found.questionMatches, 1);
    QCOMPARE(found.questions.first().question.idPytanie, 101);
    QCOMPARE(found.questions.first().field, BankQuestion::AnswerB);
    QCOMPARE(found.questions.first().hit.match, u"źródło"_s);
    QCOMPARE(found.shown, 4);
    QVERIFY(!found.capped());

    const SearchEverywhere::Results two = search(library, u"ł"_s, true);
    QList<qint32> order;
    for (const auto &group : two.documents)
        order.append(group.document.itemId);
    QCOMPARE(order, (QList<qint32> {10, 30}));
    QCOMPARE(two.documents.at(0).count, 3); // Źródło, ŹRÓDŁO, słowo
    QCOMPARE(two.documents.at(1).count, 1);

    const SearchEverywhere::Results exact = search(library, u"źródło"_s, true);
    QCOMPARE(exact.documentMatches, 2);
    QCOMPARE(exact.questionMatches, 1);
}

void TestSearchEverywhere::contextAroundEachMatch()
{
    Library library;
    const QString head = QString(100, u'a') + u"\nkoniec wiersza "_s;
    library.add(1, u"Długi"_s, head + u"Uziom"_s + u" i dalej\ndruga linia"_s);
    const SearchEverywhere::Results found = search(library, u"uziom"_s, false, {});
    QCOMPARE(found.documents.size(), 1);
    const SearchEverywhere::Hit hit = found.documents.first().hits.first();
    QCOMPARE(hit.position, int(head.size()));
    QCOMPARE(hit.length, 5);
    QCOMPARE(hit.match, u"Uziom"_s); // as written
    QCOMPARE(hit.before,
             u"…"_s + QString(SearchEverywhere::ContextLength - 16, u'a') + u" koniec wiersza "_s);
    QCOMPARE(hit.after, u" i dalej druga linia"_s);
}

void TestSearchEverywhere::summary_data()
{
    QTest::addColumn<int>("documentMatches");
    QTest::addColumn<int>("documents");
    QTest::addColumn<int>("questionMatches");
    QTest::addColumn<int>("shown");
    QTest::addColumn<QString>("text");
    QTest::newRow("the usual") << 12 << 5 << 3 << 15
                               << u"12 wyników w 5 dokumentach, 3 w pytaniach"_s;
    QTest::newRow("one") << 1 << 1 << 0 << 1 << u"1 wynik w 1 dokumencie, 0 w pytaniach"_s;
    QTest::newRow("two to four") << 24 << 2 << 0 << 24
                                 << u"24 wyniki w 2 dokumentach, 0 w pytaniach"_s;
    QTest::newRow("twelve to fourteen")
        << 13 << 2 << 0 << 13 << u"13 wyników w 2 dokumentach, 0 w pytaniach"_s;
    QTest::newRow("none") << 0 << 0 << 0 << 0 << u"Brak wyników"_s;
    QTest::newRow("capped")
        << 4000 << 7 << 22 << 1000
        << u"4000 wyników w 7 dokumentach, 22 w pytaniach (pokazano pierwsze 1000)"_s;
}

void TestSearchEverywhere::summary()
{
    QFETCH(int, documentMatches);
    QFETCH(int, documents);
    QFETCH(int, questionMatches);
    QFETCH(int, shown);
    QFETCH(QString, text);
    SearchEverywhere::Results results;
    results.documentMatches = documentMatches;
    results.documents.resize(documents);
    results.questionMatches = questionMatches;
    results.shown = shown;
    QCOMPARE(results.summary(), text);
}

void TestSearchEverywhere::oneLetterIsCappedAndCounted()
{
    Library library;
    library.add(1, u"Pierwszy"_s, QString(700, u'e'));
    library.add(2, u"Drugi"_s, QString(200, u'x') + QString(400, u'ę'));
    QList<BankQuestion> bank;
    for (int id = 1; id <= 50; ++id)
        bank.append(question(id, 1, u"Ile?"_s, {u"e"_s, u"ee"_s, u"x"_s}, u"A"_s));
    const SearchEverywhere::Results found = search(library, u"E"_s, false, bank);
    QCOMPARE(found.documentMatches, 1100);
    QCOMPARE(found.questionMatches, 200);
    QCOMPARE(found.total(), 1300);
    QCOMPARE(found.shown, SearchEverywhere::MaxShown);
    QVERIFY(found.capped());
    // Every document with matches is listed with its full count, shown or not.
    QCOMPARE(found.documents.size(), 2);
    QCOMPARE(found.documents.at(0).hits.size(), 700);
    QCOMPARE(found.documents.at(1).count, 400);
    QCOMPARE(found.documents.at(1).hits.size(), 300);
    QVERIFY(found.questions.isEmpty());
}

void TestSearchEverywhere::bankSearchedApartGivesTheSameResults_data()
{
    QTest::addColumn<int>("documentLetters");
    QTest::addColumn<int>("questionMatches");
    QTest::addColumn<int>("questionsShown");

    // 50 questions with "e" four times each ("Ile?", "e", "ee"): 200 matches.
    QTest::newRow("all shown") << 100 << 200 << 200;
    QTest::newRow("documents leave part of the room") << 900 << 200 << 100;
    QTest::newRow("documents fill the room") << 1200 << 200 << 0;
}

// Searching the bank on its own (another thread, while the documents are
// read) and then the documents gives what one search gives, cap included.
void TestSearchEverywhere::bankSearchedApartGivesTheSameResults()
{
    QFETCH(int, documentLetters);
    QFETCH(int, questionMatches);
    QFETCH(int, questionsShown);
    Library library;
    library.add(1, u"Pierwszy"_s, QString(documentLetters, u'e'));
    QList<BankQuestion> bank;
    for (int id = 1; id <= 50; ++id)
        bank.append(question(id, 1, u"Ile?"_s, {u"e"_s, u"ee"_s, u"x"_s}, u"A"_s));

    const SearchEverywhere::Results whole = search(library, u"E"_s, false, bank);
    const SearchEverywhere::Results apart
        = SearchEverywhere::run(u"E"_s, false, library.documents, library.folded(), library.plain(),
                                SearchEverywhere::searchBank(u"E"_s, false, bank));
    QCOMPARE(apart.questionMatches, questionMatches);
    QCOMPARE(apart.questions.size(), questionsShown);
    QCOMPARE(apart.documentMatches, whole.documentMatches);
    QCOMPARE(apart.questionMatches, whole.questionMatches);
    QCOMPARE(apart.shown, whole.shown);
    QCOMPARE(apart.summary(), whole.summary());
    QCOMPARE(apart.questions.size(), whole.questions.size());
    for (int i = 0; i < apart.questions.size(); ++i) {
        QCOMPARE(apart.questions.at(i).question.idPytanie, whole.questions.at(i).question.idPytanie);
        QCOMPARE(apart.questions.at(i).field, whole.questions.at(i).field);
    }
}

void TestSearchEverywhere::blankPhraseFindsNothing_data()
{
    QTest::addColumn<QString>("phrase");
    QTest::newRow("empty") << QString();
    QTest::newRow("blanks") << u"   "_s;
    QTest::newRow("tabs and line breaks") << u"\t\n \r"_s;
}

void TestSearchEverywhere::blankPhraseFindsNothing()
{
    QFETCH(QString, phrase);
    const SearchEverywhere::Results found = search(smallLibrary(), phrase);
    QVERIFY(found.phrase.isEmpty());
    QCOMPARE(found.total(), 0);
    QCOMPARE(found.shown, 0);
    QVERIFY(found.documents.isEmpty());
}

void TestSearchEverywhere::patternCharactersAreLiteral_data()
{
    QTest::addColumn<QString>("phrase");
    QTest::addColumn<int>("count");
    QTest::newRow("percent") << u"%"_s << 1;
    QTest::newRow("underscore") << u"_"_s << 1;
    QTest::newRow("star") << u"a*"_s << 1;
    QTest::newRow("quote") << u"\""_s << 2;
    QTest::newRow("backslash") << u"\\"_s << 1;
    QTest::newRow("parenthesis") << u"(b"_s << 1;
    QTest::newRow("dot is no wildcard") << u"a.c"_s << 0;
    QTest::newRow("SQL") << u"' or '1'='1"_s << 0;
}

void TestSearchEverywhere::patternCharactersAreLiteral()
{
    QFETCH(QString, phrase);
    QFETCH(int, count);
    Library library;
    library.add(1, u"Znaki"_s, u"50% a_b a*c \"x\" c:\\ (b) abc"_s);
    QCOMPARE(search(library, phrase, false, {}).total(), count);
}

void TestSearchEverywhere::bankIsReadOnceWithPlainTextAndRtf()
{
    TestDatabase db;
    QVERIFY(db.isValid());
    QSqlQuery insert(db.database());
    QVERIFY(insert.prepare(u"INSERT INTO test_pytania VALUES (?, ?, ?, ?, ?, ?, ?)"_s));
    const QList<QVariantList> rows = {
        {2, QByteArray("{\\rtf1\\ansi\\ansicpg1250 Czym jest {\\b uziom}?\\par}"),
         u"{\\rtf1\\ansi przewodem}"_s, u"elektrod\u0105"_s, u"izolatorem"_s, u"B"_s, 27},
        // Damaged RTF gives what could be read; a text that is not RTF is plain.
        {1, QByteArray("{\\rtf1\\ansi Uszkodzone \\'b3\\'b9cze {\\b pogr"), u"tak"_s, u"nie"_s,
         QString(), u"A"_s, 1},
    };
    for (const QVariantList &row : rows) {
        for (int i = 0; i < row.size(); ++i)
            insert.bindValue(i, row.at(i));
        QVERIFY2(insert.exec(), qPrintable(insert.lastError().text()));
    }
    QuestionBank bank;
    QVERIFY(!bank.isLoaded());
    bank.load(db.database());
    QVERIFY(bank.isLoaded());
    QCOMPARE(bank.questions().size(), 2);
    const BankQuestion &first = bank.questions().at(0);
    QCOMPARE(first.idPytanie, 1);
    QCOMPARE(first.idDzial, 1);
    QVERIFY2(first.text[0].startsWith(u"Uszkodzone"_s), qPrintable(first.text[0]));
    const BankQuestion &second = bank.questions().at(1);
    QCOMPARE(second.text[0].trimmed(), u"Czym jest uziom?"_s);
    QCOMPARE(second.text[1].trimmed(), u"przewodem"_s);
    QCOMPARE(second.text[2], u"elektrodą"_s);
    QCOMPARE(second.correct, u"B"_s);
    QCOMPARE(second.idDzial, 27);

    const SearchEverywhere::Results found
        = SearchEverywhere::run(u"ELEKTRODA"_s, false, {}, {}, {}, bank.questions());
    QCOMPARE(found.questionMatches, 1);
    QCOMPARE(found.questions.first().field, BankQuestion::AnswerB);
}

void TestSearchEverywhere::bankReadsStoredTextElseRtf_data()
{
    // The stored text differs from its RTF, so that it shows which was read.
    QTest::addColumn<QStringList>("statements");
    QTest::addColumn<QStringList>("questions"); // of 1 and 2
    QTest::addColumn<QStringList>("answersC");
    QTest::newRow("every question stored")
        << QStringList {u"INSERT INTO pytania_tekst VALUES (1, 'zapisane 1', 'a', 'b', 'c1'), "
                        "(2, 'zapisane 2', 'a', 'b', 'c2')"_s}
        << QStringList {u"zapisane 1"_s, u"zapisane 2"_s} << QStringList {u"c1"_s, u"c2"_s};
    QTest::newRow("one question stored")
        << QStringList {u"INSERT INTO pytania_tekst VALUES (2, 'zapisane 2', 'a', 'b', 'c2')"_s}
        << QStringList {u"Pytanie pierwsze"_s, u"zapisane 2"_s}
        << QStringList {u"łącznik"_s, u"c2"_s};
    QTest::newRow("none stored") << QStringList {}
                                 << QStringList {u"Pytanie pierwsze"_s, u"Pytanie drugie"_s}
                                 << QStringList {u"łącznik"_s, u"łącznik"_s};
    QTest::newRow("a database without the table")
        << QStringList {u"DROP TABLE pytania_tekst"_s}
        << QStringList {u"Pytanie pierwsze"_s, u"Pytanie drugie"_s}
        << QStringList {u"łącznik"_s, u"łącznik"_s};
}

void TestSearchEverywhere::bankReadsStoredTextElseRtf()
{
    QFETCH(QStringList, statements);
    QFETCH(QStringList, questions);
    QFETCH(QStringList, answersC);
    TestDatabase db;
    QVERIFY(db.exec({
        u"INSERT INTO test_pytania VALUES (1, '{\\rtf1\\ansi Pytanie {\\b pierwsze}\\par}', "
        "'tak', 'nie', '{\\rtf1\\ansi\\ansicpg1250 \\''b3\\''b9cznik}', 'A', 3)"_s,
        u"INSERT INTO test_pytania VALUES (2, '{\\rtf1\\ansi Pytanie {\\i drugie}\\par}', "
        "'tak', 'nie', '{\\rtf1\\ansi\\ansicpg1250 \\''b3\\''b9cznik}', 'C', 4)"_s,
    }));
    QVERIFY(db.exec(statements));
    QuestionBank bank;
    bank.load(db.database());
    QCOMPARE(bank.questions().size(), 2);
    for (int i = 0; i < 2; ++i) {
        const BankQuestion &question = bank.questions().at(i);
        QCOMPARE(question.idPytanie, i + 1);
        QCOMPARE(question.idDzial, i + 3);
        QCOMPARE(question.correct, i ? u"C"_s : u"A"_s);
        QCOMPARE(question.text[BankQuestion::Question], questions.at(i));
        QCOMPARE(question.text[BankQuestion::AnswerC], answersC.at(i));
        QCOMPARE(question.folded[BankQuestion::AnswerC], DocumentTextCache::fold(answersC.at(i)));
    }
}

void TestSearchEverywhere::bankDatabaseErrorRaises()
{
    TestDatabase db;
    QVERIFY(db.exec({u"DROP TABLE test_pytania"_s}));
    QuestionBank bank;
    try {
        bank.load(db.database());
        QFAIL("no error");
    } catch (const Error &error) {
        QVERIFY2(error.message().contains(u"no such table: test_pytania"_s),
                 qPrintable(error.message()));
    }
    QVERIFY(!bank.isLoaded());
}

QTEST_MAIN(TestSearchEverywhere)
#include "tst_searcheverywhere.moc"
