#include "buildcontent/contentbuilder.h"
#include "buildcontent/contentsource.h"
#include "toolkit/error.h"
#include "toolkit/rtf/rtfreader.h"

#include <QDir>
#include <QFile>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QTextCursor>
#include <QTextDocument>
#include <QTest>
#include <QUuid>

using namespace Qt::StringLiterals;

namespace {

using Files = QMap<QString, QString>;

// The smallest content that meets the program's contract.
Files validContent()
{
    return {
        {u"tree.txt"_s, u"# item_id | parent_id | node_type_id | ImageIndex | nazwa | hint\n"
                        "1 | - | 0 | 0 | Regulacje prawne | Ustawy\n"
                        "11 | 1 | 1 | 2 | Prawo energetyczne | art. 54\n"
                        "2 | - | 0 | 1 | Regulamin i tryb nadawania uprawnień |\n"
                        "3 | - | 0 | 3 | Wiedza techniczna |\n"
                        "31 | 3 | 1 | 2 | Pomiary | \n"
                        "4 | - | 0 | 4 | Testy |\n"
                        "41 | 4 | 2 | 3 | Test egzaminacyjny |\n"
                        "42 | 4 | 3 | 3 | Test tematyczny |\n"_s},
        {u"documents/11-prawo.md"_s, u"# Prawo energetyczne\n\n**Art. 54** wymaga świadectwa.\n"_s},
        {u"documents/31-pomiary.md"_s, u"Pomiary i ich terminy.\n"_s},
        {u"questions/27-ochrona.txt"_s, u"# Dział 27\n\n"
                                        "[2701]\nCzas wyłączenia w układzie TN\nprzy 230 V dla obwodów do 32 A?\n"
                                        "A) 0,4 s\nB) 5 s\nC) 1 s\n= A\n"
                                        "Wyjaśnienie: Tablica 41.1 normy PN-HD 60364-4-41\npodaje 0,4 s dla 230 V.\n"
                                        "Dokument: 31\n\n"
                                        "[2702]\nKolor przewodu ochronnego PE?\n"
                                        "A) niebieski\nB) zielono-żółty\nC) brązowy\n= B\n"
                                        "Wyjaśnienie: Przewód PE ma barwę zielono-żółtą.\nDokument: 31\n"_s},
        {u"questions/1-ogolne.txt"_s, u"[101]\nKto wydaje świadectwa kwalifikacyjne?\n"
                                      "A) komisja kwalifikacyjna\nB) pracodawca\nC) starosta\n= A\n"
                                      "Wyjaśnienie: Art. 54 ust. 1 Prawa energetycznego.\nDokument: 11\n"_s},
        {u"oral/27-ochrona.txt"_s, u"# Pytania ustne, dział 27\n\n"
                                   "[2701]\nJak sprawdza się samoczynne\nwyłączenie w układzie TN?\n"
                                   "Dla: E\nDokument: 31\n"
                                   "- pomiar impedancji pętli zwarcia\n"
                                   "- warunek Z<sub>s</sub> · I<sub>a</sub> ≤ U<sub>0</sub>,\n  gdzie I<sub>a</sub> wyłącza w wymaganym czasie\n"
                                   "- czas z tablicy 41.1\n\n"
                                   "[2702]\nKto odpowiada za instrukcję eksploatacji?\n"
                                   "Dla: D\nDokument: 11\n"
                                   "- pracodawca ją opracowuje\n"
                                   "- dozór pilnuje jej stosowania\n"
                                   "- eksploatujący pracują według niej\n"_s},
        {u"pomoc.md"_s, u"# Pomoc\n\nTekst pomocy.\n\nKolumna `item_id`, zapytanie `nazwa = \"Testy\"`.\n"_s},
    };
}

bool writeFiles(const QString &root, const Files &files)
{
    for (auto it = files.cbegin(); it != files.cend(); ++it) {
        const QString path = QDir(root).filePath(it.key());
        if (!QDir().mkpath(QFileInfo(path).absolutePath()))
            return false;
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
            return false;
        file.write(it.value().toUtf8());
    }
    return true;
}

ContentSource readChecked(const QString &root)
{
    ContentSource content = ContentSource::read(root);
    content.check();
    return content;
}

// A connection to a built database for the test's own queries.
class Inspect
{
public:
    explicit Inspect(const QString &path)
        : m_name(QUuid::createUuid().toString())
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(u"QSQLITE"_s, m_name);
        db.setDatabaseName(path);
        db.open();
    }
    ~Inspect()
    {
        QSqlDatabase::database(m_name, false).close();
        QSqlDatabase::removeDatabase(m_name);
    }
    QVariant scalar(const QString &statement) const
    {
        QSqlQuery query(QSqlDatabase::database(m_name, false));
        if (!query.exec(statement) || !query.next())
            return {};
        return query.value(0);
    }
    QStringList column(const QString &statement) const
    {
        QStringList values;
        QSqlQuery query(QSqlDatabase::database(m_name, false));
        query.exec(statement);
        while (query.next())
            values << query.value(0).toString();
        return values;
    }
    bool exec(const QString &statement) const
    {
        QSqlQuery query(QSqlDatabase::database(m_name, false));
        return query.exec(statement);
    }

private:
    QString m_name;
};

} // namespace

class TestBuildContent : public QObject
{
    Q_OBJECT

private slots:
    void buildsTheDatabase();
    void refreshKeepsTheUsersData();
    void subscripts_data();
    void subscripts();
    void brokenContent_data();
    void brokenContent();
    void failedBuildLeavesNoDatabase();
    void unreadableDatabaseIsNotReplaced();
};

void TestBuildContent::buildsTheDatabase()
{
    QTemporaryDir dir;
    const QString source = dir.filePath(u"content"_s);
    QVERIFY(writeFiles(source, validContent()));
    const ContentSource content = readChecked(source);
    QVERIFY2(content.faults.isEmpty(), qPrintable(content.faults.value(0).toString()));

    const QString database = dir.filePath(u"qmx_vemora.db"_s);
    ContentBuilder::writeDatabase(content, database);
    const Inspect db(database);
    QCOMPARE(db.column(u"SELECT nazwa FROM tree WHERE parent_id IS NULL ORDER BY kolejnosc"_s),
             (QStringList{u"Regulacje prawne"_s, u"Regulamin i tryb nadawania uprawnień"_s,
                          u"Wiedza techniczna"_s, u"Testy"_s}));
    QCOMPARE(db.column(u"SELECT item_id FROM tree WHERE parent_id = 4 ORDER BY kolejnosc"_s),
             (QStringList{u"41"_s, u"42"_s}));
    QCOMPARE(db.scalar(u"SELECT hint FROM tree WHERE item_id = 1"_s).toString(), u"Ustawy"_s);
    QCOMPARE(db.scalar(u"SELECT hint FROM tree WHERE item_id = 2"_s).toString(), QString());
    QCOMPARE(db.column(u"SELECT item_id FROM tree_documents ORDER BY item_id"_s),
             (QStringList{u"11"_s, u"31"_s}));
    const QByteArray rtf = db.scalar(u"SELECT rtf_doc FROM tree_documents WHERE item_id = 11"_s).toByteArray();
    QVERIFY(rtf.startsWith("{\\rtf1"));
    QVERIFY(rtf.contains("\\u347")); // "ś", written as a Unicode escape
    QCOMPARE(db.column(u"SELECT id_pytanie || poprawna_odpowiedz || id_dzial FROM test_pytania ORDER BY id_pytanie"_s),
             (QStringList{u"101A1"_s, u"2701A27"_s, u"2702B27"_s}));
    QVERIFY(db.scalar(u"SELECT odp_B FROM test_pytania WHERE id_pytanie = 2702"_s).toString().startsWith(u"{\\rtf1"_s));
    // Beside the RTF, the plain text it shows, for searching the bank.
    QCOMPARE(db.column(u"SELECT id_pytanie || '|' || pytanie || '|' || odp_A || '|' || odp_B || '|' || odp_C "
                       "FROM pytania_tekst ORDER BY id_pytanie"_s),
             (QStringList{u"101|Kto wydaje świadectwa kwalifikacyjne?|komisja kwalifikacyjna|pracodawca|starosta"_s,
                          u"2701|Czas wyłączenia w układzie TN przy 230 V dla obwodów do 32 A?|0,4 s|5 s|1 s"_s,
                          u"2702|Kolor przewodu ochronnego PE?|niebieski|zielono-żółty|brązowy"_s}));
    QCOMPARE(db.column(u"SELECT id_pytanie || '|' || item_id || '|' || wyjasnienie FROM pytania_wyjasnienia "
                       "ORDER BY id_pytanie"_s),
             (QStringList{u"101|11|Art. 54 ust. 1 Prawa energetycznego."_s,
                          u"2701|31|Tablica 41.1 normy PN-HD 60364-4-41\npodaje 0,4 s dla 230 V."_s,
                          u"2702|31|Przewód PE ma barwę zielono-żółtą."_s}));
    QCOMPARE(db.column(u"SELECT id_ustne || '|' || id_dzial || '|' || dla || '|' || item_id || '|' || pytanie "
                       "FROM ustne_pytania ORDER BY id_ustne"_s),
             (QStringList{u"2701|27|E|31|Jak sprawdza się samoczynne\nwyłączenie w układzie TN?"_s,
                          u"2702|27|D|11|Kto odpowiada za instrukcję eksploatacji?"_s}));
    QCOMPARE(db.column(u"SELECT tresc FROM ustne_punkty WHERE id_ustne = 2701 ORDER BY nr"_s),
             (QStringList{u"pomiar impedancji pętli zwarcia"_s,
                          u"warunek Z<sub>s</sub> · I<sub>a</sub> ≤ U<sub>0</sub>,\ngdzie I<sub>a</sub> wyłącza w wymaganym czasie"_s, u"czas z tablicy 41.1"_s}));
    QCOMPARE(db.column(u"SELECT nr FROM ustne_punkty WHERE id_ustne = 2702 ORDER BY nr"_s),
             (QStringList{u"1"_s, u"2"_s, u"3"_s}));
    for (const QString &table : {u"test_pytania_random"_s, u"test_zestaw"_s, u"test_T_zestaw"_s, u"notes"_s})
        QCOMPARE(db.scalar(u"SELECT count(*) FROM "_s + table).toInt(), 0);

    const QString help = dir.filePath(u"pomoc.rtf"_s);
    ContentBuilder::writeHelp(content, help);
    QFile helpFile(help);
    QVERIFY(helpFile.open(QIODevice::ReadOnly));
    QVERIFY(helpFile.readAll().startsWith("{\\rtf1"));
}

void TestBuildContent::refreshKeepsTheUsersData()
{
    QTemporaryDir dir;
    const QString source = dir.filePath(u"content"_s);
    Files files = validContent();
    QVERIFY(writeFiles(source, files));
    const QString database = dir.filePath(u"qmx_vemora.db"_s);
    ContentBuilder::writeDatabase(readChecked(source), database);
    const QString stampQuery = u"SELECT wartosc FROM voltaris_info WHERE klucz = 'content_stamp'"_s;
    const QString firstStamp = Inspect(database).scalar(stampQuery).toString();
    QVERIFY(!firstStamp.isEmpty());
    {
        // The same content built again, elsewhere, has the same stamp: a
        // user's copy is refreshed only when the content differs.
        const QString again = dir.filePath(u"again.db"_s);
        ContentBuilder::writeDatabase(readChecked(source), again);
        QCOMPARE(Inspect(again).scalar(stampQuery).toString(), firstStamp);
    }
    {
        const Inspect db(database);
        QVERIFY(db.exec(u"INSERT INTO notes (row_added_dttm, tresc) VALUES ('2026-12-01T08:00:00', 'moja notatka')"_s));
        QVERIFY(db.exec(u"INSERT INTO test_zestaw (id_pytanie, poprawna_odpowiedz, udzielona_odpowiedz) VALUES (2701, 'A', 'C')"_s));
        QVERIFY(db.exec(u"INSERT INTO test_T_zestaw (id_pytanie, poprawna_odpowiedz) VALUES (101, 'A')"_s));
        QVERIFY(db.exec(u"INSERT INTO test_pytania_random VALUES (1, 99)"_s));
        QVERIFY(db.exec(u"INSERT INTO historia_testow (data, rodzaj, pytan, poprawne, bledne, procent, zdany) "
                        "VALUES ('2026-12-01 08:00:00', 1, 1, 0, 1, 0, 0)"_s));
        QVERIFY(db.exec(u"INSERT INTO historia_odpowiedzi VALUES (1, 1, 2701, 27, 'A', 'C')"_s));
        QVERIFY(db.exec(u"INSERT INTO ustne_powtorki VALUES (2701, 3, '2026-12-05')"_s));
        // A database made before the program had tables of its own.
        for (const QString &table : {u"pytania_wyjasnienia"_s, u"ustne_pytania"_s, u"ustne_punkty"_s})
            QVERIFY(db.exec(u"DROP TABLE "_s + table));
    }

    files[u"tree.txt"_s].replace(u"Prawo energetyczne | art. 54"_s, u"Prawo energetyczne – art. 54 |"_s);
    files[u"oral/27-ochrona.txt"_s].replace(u"- czas z tablicy 41.1\n"_s, u"- czas z tablicy 41.1 normy\n"_s);
    files.remove(u"questions/1-ogolne.txt"_s);
    QVERIFY(QFile::remove(QDir(source).filePath(u"questions/1-ogolne.txt"_s)));
    QVERIFY(writeFiles(source, files));
    const ContentSource changed = readChecked(source);
    QVERIFY(changed.faults.isEmpty());
    ContentBuilder::writeDatabase(changed, database);

    const Inspect db(database);
    const QString newStamp = db.scalar(stampQuery).toString();
    QVERIFY(!newStamp.isEmpty() && newStamp != firstStamp);
    QCOMPARE(db.scalar(u"SELECT nazwa FROM tree WHERE item_id = 11"_s).toString(), u"Prawo energetyczne – art. 54"_s);
    QCOMPARE(db.scalar(u"SELECT count(*) FROM test_pytania"_s).toInt(), 2);
    QCOMPARE(db.scalar(u"SELECT count(*) FROM tree"_s).toInt(), 8);
    QCOMPARE(db.column(u"SELECT id_pytanie FROM pytania_wyjasnienia ORDER BY id_pytanie"_s),
             (QStringList{u"2701"_s, u"2702"_s}));
    QCOMPARE(db.scalar(u"SELECT tresc FROM ustne_punkty WHERE id_ustne = 2701 AND nr = 3"_s).toString(),
             u"czas z tablicy 41.1 normy"_s);
    QCOMPARE(db.scalar(u"SELECT count(*) FROM ustne_punkty"_s).toInt(), 6);
    QCOMPARE(db.column(u"SELECT tresc FROM notes"_s), QStringList{u"moja notatka"_s});
    QCOMPARE(db.column(u"SELECT id_pytanie || udzielona_odpowiedz FROM test_zestaw"_s), QStringList{u"2701C"_s});
    QCOMPARE(db.scalar(u"SELECT count(*) FROM test_T_zestaw"_s).toInt(), 1);
    QCOMPARE(db.scalar(u"SELECT random FROM test_pytania_random WHERE id_pytanie = 1"_s).toInt(), 99);
    QCOMPARE(db.column(u"SELECT data FROM historia_testow"_s), QStringList{u"2026-12-01 08:00:00"_s});
    QCOMPARE(db.column(u"SELECT id_pytanie || udzielona_odpowiedz FROM historia_odpowiedzi"_s), QStringList{u"2701C"_s});
    QCOMPARE(db.column(u"SELECT pudelko || ' ' || termin FROM ustne_powtorki"_s), QStringList{u"3 2026-12-05"_s});
}

void TestBuildContent::subscripts_data()
{
    QTest::addColumn<QString>("markdown");
    QTest::addColumn<QString>("base");
    QTest::addColumn<QString>("subscript");
    QTest::addColumn<bool>("bold");

    QTest::newRow("in bold text") << u"Warunek **Z<sub>s</sub> · I<sub>a</sub> ≤ U<sub>0</sub>** w TN."_s << u"Z"_s << u"s"_s << true;
    QTest::newRow("last in bold text") << u"Warunek **Z<sub>s</sub> · I<sub>a</sub> ≤ U<sub>0</sub>** w TN."_s << u"U"_s << u"0"_s << true;
    QTest::newRow("Greek, in plain text") << u"przy I<sub>Δn</sub> = 30 mA"_s << u"I"_s << u"Δn"_s << false;
    QTest::newRow("after an italic symbol") << u"napięcie *U*<sub>m</sub> = 24 kV"_s << u"U"_s << u"m"_s << false;
    QTest::newRow("in a table header") << u"| U<sub>0</sub> | TN |\n|---|---|\n| 230 V | 0,4 s |\n"_s << u"U"_s << u"0"_s << true;
}

// The RTF read back holds a real subscript right after its symbol, with the
// symbol's weight, and the document's text keeps no markup.
void TestBuildContent::subscripts()
{
    QFETCH(QString, markdown);
    QFETCH(QString, base);
    QFETCH(QString, subscript);
    QFETCH(bool, bold);

    QTextDocument document;
    RtfReader::read(ContentBuilder::markdownToRtf(markdown), &document);
    QVERIFY(!document.toPlainText().contains(u'<'));
    const int at = document.toPlainText().indexOf(base + subscript);
    QVERIFY2(at >= 0, qPrintable(document.toPlainText()));
    const auto formatAt = [&](int position) {
        QTextCursor cursor(&document);
        cursor.setPosition(position + 1); // the format of the character before the cursor
        return cursor.charFormat();
    };
    const QTextCharFormat symbol = formatAt(at);
    QCOMPARE(symbol.verticalAlignment(), QTextCharFormat::AlignNormal);
    for (int i = 0; i < subscript.size(); ++i) {
        const QTextCharFormat index = formatAt(at + base.size() + i);
        QCOMPARE(index.verticalAlignment(), QTextCharFormat::AlignSubScript);
        QCOMPARE(index.fontWeight() >= QFont::Bold, bold);
        QCOMPARE(index.fontWeight(), symbol.fontWeight());
        QVERIFY(!index.fontItalic());
    }
    const int end = at + base.size() + subscript.size();
    if (QStringView(document.toPlainText()).mid(end, 1) == u" ")
        QCOMPARE(formatAt(end).verticalAlignment(), QTextCharFormat::AlignNormal);
}

void TestBuildContent::brokenContent_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<QString>("find");
    QTest::addColumn<QString>("replace");
    QTest::addColumn<QString>("where");
    QTest::addColumn<QString>("message");

    const QString tree = u"tree.txt"_s;
    const QString q27 = u"questions/27-ochrona.txt"_s;
    QTest::newRow("item id used twice") << tree << u"31 | 3 |"_s << u"11 | 3 |"_s << u"tree.txt:6"_s << u"item_id 11 is used again"_s;
    QTest::newRow("a section missing") << tree << u"4 | - | 0 | 4 | Testy |\n"_s << QString() << u"tree.txt"_s << u"section 4 \"Testy\" is missing"_s;
    QTest::newRow("a section renamed") << tree << u"Wiedza techniczna"_s << u"Wiedza"_s << u"tree.txt:5"_s << u"must be the top-level section \"Wiedza techniczna\""_s;
    QTest::newRow("child before its parent") << tree << u"11 | 1 |"_s << u"11 | 31 |"_s << u"tree.txt:3"_s << u"parent 31 is not listed before its child 11"_s;
    QTest::newRow("no exam entry") << tree << u"41 | 4 | 2 |"_s << u"41 | 4 | 0 |"_s << u"tree.txt"_s << u"no node of type 2"_s;
    QTest::newRow("no thematic entry") << tree << u"42 | 4 | 3 |"_s << u"42 | 4 | 0 |"_s << u"tree.txt"_s << u"no node of type 3"_s;
    QTest::newRow("document node without a document") << tree << u"41 | 4 | 2 |"_s << u"41 | 4 | 1 |"_s << u"tree.txt:8"_s << u"document node 41 has no file"_s;
    QTest::newRow("document of a heading") << tree << u"31 | 3 | 1 |"_s << u"31 | 3 | 0 |"_s << u"documents/31-pomiary.md"_s << u"no document node (type 1) with item_id 31"_s;
    QTest::newRow("unknown node type") << tree << u"31 | 3 | 1 |"_s << u"31 | 3 | 7 |"_s << u"tree.txt:6"_s << u"node_type_id \"7\""_s;
    QTest::newRow("a field missing") << tree << u"31 | 3 | 1 | 2 | Pomiary | "_s << u"31 | 3 | 1 | Pomiary"_s << u"tree.txt:6"_s << u"expected 6 fields"_s;
    QTest::newRow("question id used twice") << q27 << u"[2702]"_s << u"[101]"_s << u"questions/27-ochrona.txt:14"_s << u"id_pytanie 101 is used again (first at "_s;
    QTest::newRow("question id beyond 32767") << q27 << u"[2702]"_s << u"[32768]"_s << u"questions/27-ochrona.txt:14"_s << u"id_pytanie 32768 is not within 1 to 32767"_s;
    QTest::newRow("right answer not a letter A to C") << q27 << u"= B"_s << u"= D"_s << u"questions/27-ochrona.txt:19"_s << u"the right answer \"D\" is not A, B or C"_s;
    QTest::newRow("lower-case letter") << q27 << u"= B"_s << u"= b"_s << u"questions/27-ochrona.txt:19"_s << u"the right answer \"b\" is not A, B or C"_s;
    QTest::newRow("answer C missing") << q27 << u"C) brązowy\n"_s << QString() << u"questions/27-ochrona.txt:18"_s << u"\"= X\" before the three answers"_s;
    QTest::newRow("answers out of order") << q27 << u"B) 5 s\nC) 1 s"_s << u"C) 1 s\nB) 5 s"_s << u"questions/27-ochrona.txt:7"_s << u"answer C) out of order"_s;
    QTest::newRow("verdict missing") << q27 << u"= B\n"_s << QString() << u"questions/27-ochrona.txt:14"_s << u"question [2702] is not complete"_s;
    QTest::newRow("two answers the same") << q27 << u"C) brązowy"_s << u"C) niebieski"_s << u"questions/27-ochrona.txt:14"_s << u"two answers that are the same"_s;
    QTest::newRow("empty answer") << q27 << u"C) brązowy"_s << u"C)"_s << u"questions/27-ochrona.txt:14"_s << u"has an empty answer"_s;
    QTest::newRow("text before the first question") << q27 << u"# Dział 27\n"_s << u"Dział 27\n"_s << u"questions/27-ochrona.txt:1"_s << u"text before the first question header"_s;
    QTest::newRow("a section no test draws") << q27 << u"[2701]"_s << u"[2701]"_s << u"questions/20-x.txt"_s << u"section code 20 is drawn by no test"_s;

    const QString q1 = u"questions/1-ogolne.txt"_s;
    QTest::newRow("question without explanation") << q1 << u"Wyjaśnienie: Art. 54 ust. 1 Prawa energetycznego.\n"_s << QString() << u"questions/1-ogolne.txt:1"_s << u"question [101] has no explanation (\"Wyjaśnienie: "_s;
    QTest::newRow("question without document") << q1 << u"Dokument: 11\n"_s << QString() << u"questions/1-ogolne.txt:1"_s << u"question [101] has no document (\"Dokument: N\")"_s;
    QTest::newRow("question with neither line (explanation)") << q1 << u"Wyjaśnienie: Art. 54 ust. 1 Prawa energetycznego.\nDokument: 11\n"_s << QString() << u"questions/1-ogolne.txt:1"_s << u"question [101] has no explanation"_s;
    QTest::newRow("question with neither line (document)") << q1 << u"Wyjaśnienie: Art. 54 ust. 1 Prawa energetycznego.\nDokument: 11\n"_s << QString() << u"questions/1-ogolne.txt:1"_s << u"question [101] has no document"_s;
    QTest::newRow("explanation left empty") << q1 << u" Art. 54 ust. 1 Prawa energetycznego."_s << QString() << u"questions/1-ogolne.txt:7"_s << u"the explanation of question [101] is empty"_s;
    QTest::newRow("document not in the tree") << q1 << u"Dokument: 11"_s << u"Dokument: 99"_s << u"questions/1-ogolne.txt:8"_s << u"document 99 is not in the tree"_s;
    QTest::newRow("document of type 2") << q1 << u"Dokument: 11"_s << u"Dokument: 41"_s << u"questions/1-ogolne.txt:8"_s << u"node 41 is not a document (type 1) but of type 2"_s;
    QTest::newRow("document not a number") << q1 << u"Dokument: 11"_s << u"Dokument: jedenaście"_s << u"questions/1-ogolne.txt:8"_s << u"\"Dokument: jedenaście\" of question [101] is not a positive item_id"_s;
    QTest::newRow("explanation after the document") << q1 << u"Dokument: 11\n"_s << u"Dokument: 11\nWyjaśnienie: Drugie.\n"_s << u"questions/1-ogolne.txt:9"_s << u"text after \"Dokument:\" of question [101]"_s;
    QTest::newRow("text between verdict and explanation") << q1 << u"= A\n"_s << u"= A\nUwaga\n"_s << u"questions/1-ogolne.txt:7"_s << u"text after \"= X\" of question [101]"_s;

    const QString oral = u"oral/27-ochrona.txt"_s;
    const QString points = u"- pracodawca ją opracowuje\n- dozór pilnuje jej stosowania\n- eksploatujący pracują według niej\n"_s;
    QTest::newRow("oral question without points") << oral << points << QString() << u"oral/27-ochrona.txt:13"_s << u"oral question [2702] has 0 points; a model answer has 3 to 8"_s;
    QTest::newRow("oral question with 2 points") << oral << u"- eksploatujący pracują według niej\n"_s << QString() << u"oral/27-ochrona.txt:13"_s << u"oral question [2702] has 2 points"_s;
    QTest::newRow("oral question with 9 points") << oral << points << points + points + points << u"oral/27-ochrona.txt:13"_s << u"oral question [2702] has 9 points"_s;
    QTest::newRow("Dla neither D nor E") << oral << u"Dla: D"_s << u"Dla: DE"_s << u"oral/27-ochrona.txt:15"_s << u"\"Dla: DE\" is neither \"Dla: D\" nor \"Dla: E\""_s;
    QTest::newRow("Dla missing") << oral << u"Dla: D\n"_s << QString() << u"oral/27-ochrona.txt:13"_s << u"oral question [2702] lacks \"Dla: D\" or \"Dla: E\""_s;
    QTest::newRow("oral document missing") << oral << u"Dokument: 11\n"_s << QString() << u"oral/27-ochrona.txt:13"_s << u"oral question [2702] lacks \"Dokument: N\""_s;
    QTest::newRow("oral document of a heading") << oral << u"Dokument: 11"_s << u"Dokument: 4"_s << u"oral/27-ochrona.txt:16"_s << u"node 4 is not a document (type 1) but of type 0"_s;
    QTest::newRow("oral id used twice") << oral << u"[2702]"_s << u"[2701]"_s << u"oral/27-ochrona.txt:13"_s << u"oral question id 2701 is used again (first at "_s;
    QTest::newRow("point continued without indent") << oral << u"  gdzie I<sub>a</sub>"_s << u"gdzie I<sub>a</sub>"_s << u"oral/27-ochrona.txt:10"_s << u"text after the points of oral question [2701]"_s;
    QTest::newRow("point before Dla") << oral << u"Dla: E\nDokument: 31\n- pomiar"_s << u"- pomiar"_s << u"oral/27-ochrona.txt:6"_s << u"a point of oral question [2701] before its \"Dla:\""_s;
    QTest::newRow("oral section no test draws") << oral << u"[2701]"_s << u"[2701]"_s << u"oral/20-x.txt"_s << u"section code 20 is drawn by no test"_s;

    // Typography of the Polish text, in every kind of source.
    QTest::newRow("underscore subscript in a document") << u"documents/31-pomiary.md"_s << u"Pomiary i ich terminy."_s << u"Pomiar Z_s i jego terminy."_s << u"documents/31-pomiary.md:1"_s << u"\"Z_s\": write a subscript as <sub>…</sub>"_s;
    QTest::newRow("underscore subscript in an explanation") << q27 << u"podaje 0,4 s dla 230 V."_s << u"podaje 0,4 s dla U_0 = 230 V."_s << u"questions/27-ochrona.txt:11"_s << u"\"U_0\": write a subscript"_s;
    QTest::newRow("underscore after a Greek letter") << oral << u"- czas z tablicy 41.1"_s << u"- czas przy IΔ_n"_s << u"oral/27-ochrona.txt:11"_s << u"\"Δ_n\": write a subscript"_s;
    QTest::newRow("underscore subscript in the help") << u"pomoc.md"_s << u"Tekst pomocy."_s << u"Napięcie U_L."_s << u"pomoc.md:3"_s << u"\"U_L\": write a subscript"_s;
    QTest::newRow("ASCII quotes in a question") << q1 << u"Kto wydaje świadectwa kwalifikacyjne?"_s << u"Kto wydaje \"świadectwa\"?"_s << u"questions/1-ogolne.txt:2"_s << u"ASCII double quote in Polish text: use „…”"_s;
    QTest::newRow("ASCII closing quote in an answer") << q27 << u"B) zielono-żółty"_s << u"B) „zielono-żółty\""_s << u"questions/27-ochrona.txt:17"_s << u"ASCII double quote"_s;
    QTest::newRow("ASCII quotes in an oral point") << oral << u"- pracodawca ją opracowuje"_s << u"- \"pracodawca\" ją opracowuje"_s << u"oral/27-ochrona.txt:17"_s << u"ASCII double quote"_s;
    QTest::newRow("ASCII quotes in a document heading") << u"documents/11-prawo.md"_s << u"# Prawo energetyczne"_s << u"# \"Prawo energetyczne\""_s << u"documents/11-prawo.md:1"_s << u"ASCII double quote"_s;
    QTest::newRow("ASCII quotes in the help") << u"pomoc.md"_s << u"Tekst pomocy."_s << u"Przycisk \"Pomoc\"."_s << u"pomoc.md:3"_s << u"ASCII double quote"_s;
}

void TestBuildContent::brokenContent()
{
    QFETCH(QString, file);
    QFETCH(QString, find);
    QFETCH(QString, replace);
    QFETCH(QString, where);
    QFETCH(QString, message);

    Files files = validContent();
    QVERIFY2(files[file].contains(find), qPrintable(find));
    files[file].replace(find, replace);
    if (where.endsWith(u"/20-x.txt"_s))
        files.insert(where, files.take(file));
    QTemporaryDir dir;
    QVERIFY(writeFiles(dir.path(), files));

    const ContentSource content = readChecked(dir.path());
    QStringList faults;
    for (const ContentFault &fault : content.faults)
        faults << QDir(dir.path()).relativeFilePath(fault.where.file)
                        + (fault.where.line > 0 ? u":"_s + QString::number(fault.where.line) : QString())
                        + u": "_s + fault.message;
    const bool found = std::any_of(faults.cbegin(), faults.cend(), [&](const QString &fault) {
        return fault.startsWith(where + u": "_s) && fault.contains(message);
    });
    QVERIFY2(found, qPrintable(faults.join(u'\n')));
}

void TestBuildContent::failedBuildLeavesNoDatabase()
{
    QTemporaryDir dir;
    const QString source = dir.filePath(u"content"_s);
    QVERIFY(writeFiles(source, validContent()));
    const ContentSource content = readChecked(source);
    // The document vanishes between reading and building.
    QVERIFY(QFile::remove(QDir(source).filePath(u"documents/31-pomiary.md"_s)));

    const QString database = dir.filePath(u"qmx_vemora.db"_s);
    QVERIFY_THROWS_EXCEPTION(Error, ContentBuilder::writeDatabase(content, database));
    QVERIFY(!QFileInfo::exists(database));
    QVERIFY(!QFileInfo::exists(database + u".partial"_s));
}

void TestBuildContent::unreadableDatabaseIsNotReplaced()
{
    QTemporaryDir dir;
    const QString source = dir.filePath(u"content"_s);
    QVERIFY(writeFiles(source, validContent()));
    const QString database = dir.filePath(u"qmx_vemora.db"_s);
    const QByteArray garbage(4096, 'x');
    {
        QFile file(database);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(garbage);
    }
    QVERIFY_THROWS_EXCEPTION(Error, ContentBuilder::writeDatabase(readChecked(source), database));
    QFile file(database);
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(file.readAll(), garbage);
}

QTEST_MAIN(TestBuildContent)
#include "tst_buildcontent.moc"
