#include "buildcontent/contentbuilder.h"
#include "data/questiontexts.h"
#include "testdatabase.h"
#include "toolkit/error.h"

#include <QSqlError>
#include <QSqlQuery>
#include <QStringEncoder>
#include <QTest>

using namespace Qt::StringLiterals;

class TestQuestionTexts : public QObject
{
    Q_OBJECT

private slots:
    void storesWhatTheRtfShows_data();
    void storesWhatTheRtfShows();
    void fillReplacesWhatTheTableHeld();
    void fillWithoutTheTableRaises();
};

void TestQuestionTexts::storesWhatTheRtfShows_data()
{
    QTest::addColumn<QByteArray>("stored");
    QTest::addColumn<QString>("shown");

    QTest::newRow("bold and italic, as the build tool writes them")
        << ContentBuilder::markdownToRtf(u"Czy **wyłącznik** różnicowoprądowy *chroni*?"_s)
        << u"Czy wyłącznik różnicowoprądowy chroni?"_s;
    QTest::newRow("two paragraphs, as the build tool writes them")
        << ContentBuilder::markdownToRtf(u"Pierwszy akapit.\n\nDrugi **akapit**."_s)
        << u"Pierwszy akapit.\nDrugi akapit."_s;
    QTest::newRow("code page 1250 escapes")
        << QByteArray("{\\rtf1\\ansi\\ansicpg1250 Za\\'bf\\'f3\\'b3\\'e6 g\\'ea\\'9cl\\'b9 "
                      "ja\\'9f\\'f1 {\\b \\'a3\\'a5CZNIK}}")
        << u"Zażółć gęślą jaźń ŁĄCZNIK"_s;
    QTest::newRow("Unicode escapes with their fallback")
        << QByteArray("{\\rtf1\\ansi\\uc1 \\u321?\\u261?cznik \\u380?y\\u322?y}")
        << u"Łącznik żyły"_s;
    QTest::newRow("damaged: the groups never close")
        << QByteArray("{\\rtf1\\ansi\\ansicpg1250 Uszkodzone \\'b3\\'b9cze {\\b pogr")
        << u"Uszkodzone łącze pogr"_s;
    QTest::newRow("plain text in UTF-8") << u"zielono-żółty"_s.toUtf8() << u"zielono-żółty"_s;
    QTest::newRow("plain text in windows-1250")
        << QByteArray(QStringEncoder("windows-1250").encode(u"zielono-żółty"_s))
        << u"zielono-żółty"_s;
}

void TestQuestionTexts::storesWhatTheRtfShows()
{
    QFETCH(QByteArray, stored);
    QFETCH(QString, shown);
    TestDatabase db;
    QVERIFY(db.isValid());
    // The question as a blob and the answers as text, as the build tool writes them.
    QSqlQuery insert(db.database());
    QVERIFY(insert.prepare(u"INSERT INTO test_pytania VALUES (7, ?, ?, 'tak', ?, 'A', 1)"_s));
    insert.addBindValue(stored);
    insert.addBindValue(QString::fromLatin1(stored));
    insert.addBindValue(QString::fromLatin1(stored));
    QVERIFY2(insert.exec(), qPrintable(insert.lastError().text()));

    QuestionTexts::fill(db.database());
    const QList<QVariantList> rows
        = db.rows(u"SELECT id_pytanie, pytanie, odp_A, odp_B, odp_C FROM pytania_tekst"_s);
    QCOMPARE(rows.size(), 1);
    QCOMPARE(rows[0][0].toInt(), 7);
    QCOMPARE(rows[0][1].toString(), shown);
    QCOMPARE(rows[0][3].toString(), u"tak"_s);
    // Answers are text: only RTF, which is ASCII, keeps its bytes on the way.
    if (stored.startsWith("{\\rtf")) {
        QCOMPARE(rows[0][2].toString(), shown);
        QCOMPARE(rows[0][4].toString(), shown);
    }
}

void TestQuestionTexts::fillReplacesWhatTheTableHeld()
{
    TestDatabase db;
    QVERIFY(db.exec({
        u"INSERT INTO test_pytania VALUES (1, 'nowe', 'a', 'b', 'c', 'A', 1)"_s,
        u"INSERT INTO pytania_tekst VALUES (1, 'stare', 'x', 'y', 'z')"_s,
        u"INSERT INTO pytania_tekst VALUES (2, 'usunięte', 'x', 'y', 'z')"_s,
    }));
    QuestionTexts::fill(db.database());
    const QList<QVariantList> rows
        = db.rows(u"SELECT id_pytanie, pytanie, odp_C FROM pytania_tekst ORDER BY id_pytanie"_s);
    QCOMPARE(rows.size(), 1);
    QCOMPARE(rows[0], (QVariantList {1, u"nowe"_s, u"c"_s}));
}

void TestQuestionTexts::fillWithoutTheTableRaises()
{
    TestDatabase db;
    QVERIFY(db.exec({u"INSERT INTO test_pytania VALUES (1, 'p', 'a', 'b', 'c', 'A', 1)"_s,
                     u"DROP TABLE pytania_tekst"_s}));
    try {
        QuestionTexts::fill(db.database());
        QFAIL("no error");
    } catch (const Error &error) {
        QVERIFY2(error.message().contains(u"pytania_tekst"_s), qPrintable(error.message()));
    }
}

QTEST_MAIN(TestQuestionTexts)
#include "tst_questiontexts.moc"
