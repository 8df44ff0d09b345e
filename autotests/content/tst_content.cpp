// The study content as delivered: what the program requires of it, and the
// qualities a question bank worth learning from must have.

#include "buildcontent/contentbuilder.h"
#include "buildcontent/contentsource.h"
#include "toolkit/rtf/rtfreader.h"

#include <QFile>
#include <QRegularExpression>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTest>
#include <QTextDocument>

#include <algorithm>
#include <map>

using namespace Qt::StringLiterals;

namespace {

// The codes each draw of the exam takes its questions from, with the most
// questions one draw asks of them (under D, with every option on).
struct Batch
{
    QList<int> codes;
    int count;
};
const QList<Batch> ExamBatches = {
    {{1}, 1},  {{3}, 1},  {{4, 5}, 1}, {{6, 7, 8, 9, 10, 11, 12}, 1}, {{13}, 1}, {{14}, 1},
    {{15}, 1}, {{16}, 1}, {{17}, 1},   {{18}, 1},  {{19}, 1},  {{27}, 1},  {{28}, 1},
    {{29}, 1}, {{30}, 1}, {{31}, 3},   {{32}, 4},  {{21, 22, 24}, 3},      {{23, 25}, 3},
};
const QList<int> SectionCodes = {1,  3,  4,  5,  6,  7,  8,  9,  10, 11, 12, 13, 14, 15, 16,
                                 17, 18, 19, 21, 22, 23, 24, 25, 27, 28, 29, 30, 31, 32};
constexpr int MinimumPerSection = 20;
constexpr int MinimumQuestions = 600;
constexpr int MinimumOralQuestions = 150;

QStringList scalarColumn(const QSqlDatabase &db, const QString &statement)
{
    QStringList values;
    QSqlQuery query(db);
    query.exec(statement);
    while (query.next())
        values << query.value(0).toString();
    return values;
}

QString words(const QString &text)
{
    static const QRegularExpression space(u"\\s+"_s);
    return text.simplified().replace(space, u" "_s);
}

} // namespace

class TestContent : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void sourcesMeetTheContract();
    void everySectionHasEnoughQuestions();
    void everyQuestionExplainsItself();
    void oralBankIsLargeEnough();
    void rightLettersAreSpreadEvenly();
    void answersAreDistinctAndStandAlone();
    void documentsReadBackWithTheirText();
    void deliveredDatabaseMeetsTheContract();

private:
    ContentSource m_content;
};

void TestContent::initTestCase()
{
    m_content = ContentSource::read(QStringLiteral(VOLTARIS_CONTENT_SOURCE_DIR));
    m_content.check();
}

void TestContent::sourcesMeetTheContract()
{
    QStringList faults;
    for (const ContentFault &fault : std::as_const(m_content.faults))
        faults << fault.toString();
    QVERIFY2(faults.isEmpty(), qPrintable(faults.join(u'\n')));
    QVERIFY(!m_content.helpPath.isEmpty());
}

void TestContent::everySectionHasEnoughQuestions()
{
    std::map<int, int> perCode;
    for (const QuestionRow &question : std::as_const(m_content.questions))
        ++perCode[question.idDzial];
    QStringList shortSections;
    for (int code : SectionCodes) {
        if (perCode[code] < MinimumPerSection)
            shortSections << u"%1 (%2)"_s.arg(code).arg(perCode[code]);
    }
    QVERIFY2(shortSections.isEmpty(), qPrintable(u"sections with too few questions: "_s + shortSections.join(u", "_s)));
    for (const Batch &batch : ExamBatches) {
        int available = 0;
        for (int code : batch.codes)
            available += perCode[code];
        QVERIFY(available >= batch.count);
    }
    QVERIFY2(m_content.questions.size() >= MinimumQuestions,
             qPrintable(u"%1 questions"_s.arg(m_content.questions.size())));
}

void TestContent::everyQuestionExplainsItself()
{
    QStringList unexplained;
    for (const QuestionRow &question : std::as_const(m_content.questions)) {
        if (!question.explanation || question.explanation->trimmed().isEmpty() || !question.documentId)
            unexplained << u"%1: [%2]"_s.arg(question.where.toString()).arg(question.idPytanie);
    }
    QVERIFY2(unexplained.isEmpty(), qPrintable(u"questions without an explanation and a document:\n"_s
                                               + unexplained.join(u'\n')));

    const QString path = QStringLiteral(VOLTARIS_DELIVERED_DATABASE);
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(u"QSQLITE"_s, u"explained"_s);
        db.setDatabaseName(path);
        db.setConnectOptions(u"QSQLITE_OPEN_READONLY"_s);
        QVERIFY(db.open());
        QSqlQuery query(db);
        QVERIFY(query.exec(u"SELECT count(*) FROM test_pytania p WHERE NOT EXISTS "
                           "(SELECT 1 FROM pytania_wyjasnienia w WHERE w.id_pytanie = p.id_pytanie)"_s));
        QVERIFY(query.next());
        QCOMPARE(query.value(0).toInt(), 0);
    }
    QSqlDatabase::removeDatabase(u"explained"_s);
}

void TestContent::oralBankIsLargeEnough()
{
    QVERIFY2(m_content.oralQuestions.size() >= MinimumOralQuestions,
             qPrintable(u"%1 oral questions"_s.arg(m_content.oralQuestions.size())));
}

void TestContent::rightLettersAreSpreadEvenly()
{
    std::map<QChar, int> perLetter;
    for (const QuestionRow &question : std::as_const(m_content.questions))
        ++perLetter[question.correct];
    const double total = double(m_content.questions.size());
    QVERIFY(total > 0);
    for (const QChar letter : {u'A', u'B', u'C'}) {
        const double share = perLetter[letter] / total;
        QVERIFY2(share >= 0.28 && share <= 0.39,
                 qPrintable(u"%1: %2 of %3"_s.arg(letter).arg(perLetter[letter]).arg(total)));
    }
}

void TestContent::answersAreDistinctAndStandAlone()
{
    // Answers that lean on the others ("all of the above") teach nothing.
    static const QRegularExpression leaning(
            uR"(\b(wszystkie|żadna|żadne)\s+(powyższe|z\s+powyższych|odpowiedzi)\b|\b[ABC]\s+i\s+[ABC]\b)"_s,
            QRegularExpression::CaseInsensitiveOption);
    QStringList faults;
    for (const QuestionRow &question : std::as_const(m_content.questions)) {
        for (const QString &answer : question.answers) {
            if (leaning.match(answer).hasMatch())
                faults << u"%1: [%2] %3"_s.arg(question.where.toString()).arg(question.idPytanie).arg(answer);
        }
    }
    QVERIFY2(faults.isEmpty(), qPrintable(faults.join(u'\n')));
}

void TestContent::documentsReadBackWithTheirText()
{
    QStringList faults;
    for (const DocumentSource &source : std::as_const(m_content.documents)) {
        QFile file(source.path);
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QByteArray bytes = file.readAll();
        QString expected;
        QByteArray rtf = bytes;
        if (!source.isRtf) {
            QTextDocument markdown;
            markdown.setMarkdown(QString::fromUtf8(bytes));
            expected = RtfReader::plainText(markdown);
            rtf = ContentBuilder::markdownToRtf(QString::fromUtf8(bytes));
        }
        QTextDocument read;
        QString error;
        if (!RtfReader::read(rtf, &read, &error)) {
            faults << source.path + u": "_s + error;
            continue;
        }
        const QString text = RtfReader::plainText(read);
        if (source.isRtf ? text.trimmed().isEmpty() : words(text) != words(expected))
            faults << source.path + u": the text does not survive the conversion"_s;
    }
    QVERIFY2(faults.isEmpty(), qPrintable(faults.join(u'\n')));
}

void TestContent::deliveredDatabaseMeetsTheContract()
{
    const QString path = QStringLiteral(VOLTARIS_DELIVERED_DATABASE);
    QVERIFY2(QFile::exists(path), qPrintable(path));
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(u"QSQLITE"_s, u"delivered"_s);
        db.setDatabaseName(path);
        db.setConnectOptions(u"QSQLITE_OPEN_READONLY"_s);
        QVERIFY(db.open());
        const auto scalar = [&](const QString &statement) {
            QSqlQuery query(db);
            return query.exec(statement) && query.next() ? query.value(0) : QVariant();
        };
        QCOMPARE(scalar(u"SELECT group_concat(item_id || ':' || nazwa, '|') FROM "
                        "(SELECT * FROM tree WHERE parent_id IS NULL ORDER BY kolejnosc)"_s).toString(),
                 u"1:Regulacje prawne|2:Regulamin i tryb nadawania uprawnień|3:Wiedza techniczna|4:Testy"_s);
        QCOMPARE(scalar(u"SELECT count(*) - count(DISTINCT item_id) FROM tree"_s).toInt(), 0);
        QCOMPARE(scalar(u"SELECT count(*) FROM tree t WHERE node_type_id = 1 AND NOT EXISTS "
                        "(SELECT 1 FROM tree_documents d WHERE d.item_id = t.item_id)"_s).toInt(), 0);
        QVERIFY(scalar(u"SELECT count(*) FROM tree WHERE node_type_id = 2"_s).toInt() >= 1);
        QVERIFY(scalar(u"SELECT count(*) FROM tree WHERE node_type_id = 3"_s).toInt() >= 1);
        QVERIFY(scalar(u"SELECT max(id_pytanie) FROM test_pytania"_s).toInt() <= 32767);
        QCOMPARE(scalar(u"SELECT count(*) FROM test_pytania WHERE poprawna_odpowiedz IS NULL OR "
                        "poprawna_odpowiedz NOT IN ('A', 'B', 'C')"_s).toInt(), 0);
        QCOMPARE(scalar(u"SELECT count(*) FROM test_pytania"_s).toInt(), int(m_content.questions.size()));

        // The program's own tables: every explanation belongs to a question,
        // every oral question has its model answer, and both lead to a document.
        const int explained = int(std::count_if(m_content.questions.cbegin(), m_content.questions.cend(),
                                                [](const QuestionRow &question) {
                                                    return question.explanation && question.documentId;
                                                }));
        QCOMPARE(scalar(u"SELECT count(*) FROM pytania_wyjasnienia"_s).toInt(), explained);
        QCOMPARE(scalar(u"SELECT count(*) FROM pytania_wyjasnienia w WHERE trim(w.wyjasnienie) = '' OR NOT EXISTS "
                        "(SELECT 1 FROM test_pytania p WHERE p.id_pytanie = w.id_pytanie)"_s).toInt(), 0);
        QCOMPARE(scalar(u"SELECT count(*) FROM ustne_pytania"_s).toInt(), int(m_content.oralQuestions.size()));
        QCOMPARE(scalar(u"SELECT count(*) FROM ustne_pytania WHERE dla NOT IN ('D', 'E') OR trim(pytanie) = ''"_s)
                         .toInt(),
                 0);
        QCOMPARE(scalar(u"SELECT count(*) FROM ustne_pytania u WHERE (SELECT count(*) FROM ustne_punkty p "
                        "WHERE p.id_ustne = u.id_ustne) NOT BETWEEN 3 AND 8"_s).toInt(), 0);
        QCOMPARE(scalar(u"SELECT count(*) FROM ustne_punkty p WHERE NOT EXISTS "
                        "(SELECT 1 FROM ustne_pytania u WHERE u.id_ustne = p.id_ustne)"_s).toInt(), 0);
        QCOMPARE(scalar(u"SELECT count(*) FROM (SELECT item_id FROM pytania_wyjasnienia UNION ALL "
                        "SELECT item_id FROM ustne_pytania) r WHERE NOT EXISTS "
                        "(SELECT 1 FROM tree t WHERE t.item_id = r.item_id AND t.node_type_id = 1)"_s).toInt(), 0);
        QStringList undrawn;
        for (const QString &code : scalarColumn(db, u"SELECT DISTINCT id_dzial FROM ustne_pytania"_s)) {
            if (!SectionCodes.contains(code.toInt()))
                undrawn << code;
        }
        QVERIFY2(undrawn.isEmpty(), qPrintable(u"oral questions of codes no test draws: "_s + undrawn.join(u", "_s)));
    }
    QSqlDatabase::removeDatabase(u"delivered"_s);
}

QTEST_MAIN(TestContent)
#include "tst_content.moc"
