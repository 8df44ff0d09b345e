// The document search on a large library: the tree of 5,000 nodes of the
// main-window benchmark with 1,000 document nodes, each about 20 KB of Polish
// text in RTF. Measured from the click on "Znajdź" until the search has ended:
//   (a) a phrase that is nowhere, on a fresh window (every document read);
//   (b) then another phrase that is nowhere, on the same window;
//   (c) a phrase found only in the last document, on a fresh window;
// and as the yardstick, reading every document once from the database with
// RtfReader into a QTextDocument. Also the memory the text cache holds
// against the library's plain text (UTF-16, as QString holds it).
//
// Every match at once ("Wszystkie"), with a bank of 32,767 questions in RTF
// and their plain text beside, as the content tool stores them, of a
// three-letter phrase with the Polish letters ignored:
//   (d) on a fresh window: every document and the bank read once, behind the worker;
//   (e) then again on the same window, from what was read;
// and, apart, the search of (e) without the list, and reading the bank alone.
//
//   bench_search [runs]

#include "benchtree.h"
#include "benchutil.h"
#include "data/database.h"
#include "data/questiontexts.h"
#include "data/schema.h"
#include "regulations/documentquery.h"
#include "regulations/qmx_tree.h"
#include "regulations/searcheverywhere.h"
#include "rtf/rtfreader.h"
#include "shell/form_main.h"
#include "shell/searchresultsview.h"
#include "toolkit/error.h"
#include "toolkit/messageboxes.h"

#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QPushButton>
#include <QRandomGenerator>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QStringEncoder>
#include <QTemporaryDir>
#include <QTest>
#include <QTextDocument>
#include <QTreeWidget>

#include <cstdio>

#include <malloc.h>
#include <sys/resource.h>

using namespace Qt::StringLiterals;

namespace {

constexpr int NodeCount = 5000;
constexpr int DocumentBytes = 20 * 1024;
const QString LastPhrase = QStringLiteral("Jedyna Fraza Ostatniego Dokumentu");
const QString AbsentPhrase = QStringLiteral("fotowoltaika magazynowa");
const QString OtherAbsentPhrase = QStringLiteral("zegar kwarcowy");
constexpr int QuestionCount = 32767;
// Three letters typed without their diacritics: "łąc" of "łącznik".
const QString EverywherePhrase = QStringLiteral("lac");
const QString OtherEverywherePhrase = QStringLiteral("zro");

bool isDocument(int itemId)
{
    return itemId > 4 && itemId % 5 == 0;
}

QByteArray rtfText(const QString &text)
{
    QStringEncoder encoder("windows-1250");
    const QByteArray bytes = encoder.encode(text);
    QByteArray rtf;
    rtf.reserve(bytes.size() * 2);
    for (const char c : bytes) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte >= 0x80)
            rtf += "\\'" + QByteArray::number(byte, 16).rightJustified(2, '0');
        else if (c == '\\' || c == '{' || c == '}')
            rtf += QByteArray("\\") + c;
        else
            rtf += c;
    }
    return rtf;
}

// About 20 KB of RTF in windows-1250: paragraphs of Polish technical words,
// some in bold, and the extra text at the end.
QByteArray makeDocument(QRandomGenerator &random, const QString &extra = {})
{
    static const QStringList words = {
        u"napięcie"_s,
        u"urządzenie"_s,
        u"sieć"_s,
        u"łącznik"_s,
        u"przewód"_s,
        u"ochrona"_s,
        u"przeciwporażeniowa"_s,
        u"eksploatacja"_s,
        u"dozór"_s,
        u"instalacja"_s,
        u"elektryczna"_s,
        u"transformator"_s,
        u"rozdzielnica"_s,
        u"uziemienie"_s,
        u"izolacja"_s,
        u"pomiar"_s,
        u"rezystancja"_s,
        u"wyłącznik"_s,
        u"źródło"_s,
        u"oświetlenie"_s,
        u"moc"_s,
        u"prąd"_s,
        u"znamionowy"_s,
        u"zwarcie"_s,
        u"obwód"_s,
        u"częstotliwość"_s,
        u"odbiornik"_s,
        u"kabel"_s,
        u"linia"_s,
        u"stacja"_s,
        u"energetyczna"_s,
        u"przepisy"_s,
        u"bezpieczeństwa"_s,
        u"pracy"_s,
        u"oraz"_s,
        u"i"_s,
        u"w"_s,
        u"na"_s,
        u"do"_s,
        u"z"_s,
        u"się"_s,
        u"jest"_s,
        u"należy"_s,
        u"żyła"_s,
        u"Art."_s,
        u"§"_s,
        u"ust."_s,
        u"pkt"_s,
    };
    QByteArray rtf
        = "{\\rtf1\\ansi\\ansicpg1250\\deff0{\\fonttbl{\\f0\\fswiss\\fcharset238 Arial;}}"
          "\\viewkind4\\uc1\\pard\\f0\\fs20 ";
    int paragraph = 0;
    while (rtf.size() < DocumentBytes - 200) {
        QString text;
        const int count = 40 + int(random.bounded(40));
        for (int i = 0; i < count; ++i) {
            if (i)
                text += u' ';
            text += words.at(int(random.bounded(words.size())));
        }
        text += u'.';
        const bool bold = ++paragraph % 7 == 0;
        rtf += bold ? QByteArray("{\\b " + rtfText(text) + "}\\par\r\n")
                    : QByteArray(rtfText(text) + "\\par\r\n");
    }
    if (!extra.isEmpty())
        rtf += rtfText(extra) + "\\par\r\n";
    return rtf + "}";
}

QByteArray rtfParagraph(const QString &text)
{
    return "{\\rtf1\\ansi\\ansicpg1250\\deff0{\\fonttbl{\\f0\\fswiss\\fcharset238 Arial;}}"
           "\\pard\\f0\\fs20 "
        + rtfText(text) + "\\par}";
}

// A sentence of count words from the document's words.
QString sentence(QRandomGenerator &random, int count)
{
    static const QStringList words = {
        u"napięcie"_s, u"łącznik"_s, u"przewód"_s, u"ochrona"_s, u"izolacja"_s, u"pomiar"_s,
        u"źródło"_s,   u"prąd"_s,    u"sieć"_s,    u"uziom"_s,   u"kabel"_s,    u"stacja"_s,
        u"należy"_s,   u"jest"_s,    u"w"_s,       u"do"_s,      u"i"_s,        u"oraz"_s,
    };
    QString text;
    for (int i = 0; i < count; ++i) {
        if (i)
            text += u' ';
        text += words.at(int(random.bounded(words.size())));
    }
    return text;
}

struct Library
{
    QTemporaryDir base;
    QList<int> documents; // item ids in tree order
    qint64 rtfBytes = 0;
};

// The database of the library; the phrase goes into the document that comes
// last in tree order. Raises Error.
void buildLibrary(Library &library)
{
    QDir(library.base.path()).mkdir(QStringLiteral("db"));
    const QString file = QDir(library.base.path()).filePath(QStringLiteral("db/qmx_vemora.db"));
    {
        QSqlDatabase db
            = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("bench"));
        db.setDatabaseName(file);
        if (!db.open())
            throw Error(QStringLiteral("cannot open %1").arg(file));
        Schema::create(db);
        Sql::Transaction transaction(db);
        insertBenchTree(db, NodeCount, [](int id) { return isDocument(id) ? 1 : 0; });

        // The tree order, as the program loads it.
        QTreeWidget tree;
        LoadTree(&tree, db, 5);
        for (int index = 0; TreeNodeItem *node = TreeIndex::nodeAt(&tree, index); ++index) {
            if (node->node().NodeType == 1)
                library.documents.append(node->node().ItemId);
        }
        QRandomGenerator random(20261211);
        QSqlQuery insert
            = Sql::prepare(db, QStringLiteral("INSERT INTO tree_documents VALUES (?, ?)"));
        for (int itemId : std::as_const(library.documents)) {
            const QByteArray rtf
                = makeDocument(random, itemId == library.documents.last() ? LastPhrase : QString());
            library.rtfBytes += rtf.size();
            insert.addBindValue(itemId);
            insert.addBindValue(rtf);
            Sql::exec(insert);
        }
        // The bank, in RTF as the content tool stores it.
        QSqlQuery question
            = Sql::prepare(db, QStringLiteral("INSERT INTO test_pytania VALUES (?, ?, ?, ?, ?, ?, ?)"));
        for (int id = 1; id <= QuestionCount; ++id) {
            question.addBindValue(id);
            question.addBindValue(rtfParagraph(sentence(random, 14) + u'?'));
            for (int answer = 0; answer < 3; ++answer)
                question.addBindValue(QString::fromLatin1(rtfParagraph(sentence(random, 8))));
            question.addBindValue(QStringLiteral("ABC").mid(id % 3, 1));
            question.addBindValue(1 + id % 32);
            Sql::exec(question);
        }
        // And its plain text, as the content tool stores it beside.
        QuestionTexts::fill(db);
        transaction.commit();
    }
    QSqlDatabase::removeDatabase(QStringLiteral("bench"));
}

// Wall-clock time and the processor time of the whole process (all its
// threads), in milliseconds. Processor time barely moves with the load of a
// shared machine; wall-clock time is what the user waits.
struct Timing
{
    double wall = 0;
    double cpu = 0;
};

double processCpuMs()
{
    rusage usage {};
    getrusage(RUSAGE_SELF, &usage);
    return (usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) * 1e3
        + (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e3;
}

Timing measure(const std::function<void()> &body)
{
    const double cpuBefore = processCpuMs();
    QElapsedTimer timer;
    timer.start();
    body();
    return {double(timer.nsecsElapsed()) / 1e6, processCpuMs() - cpuBefore};
}

struct Window
{
    explicit Window(const Library &library)
    {
        TF_Main::Options options;
        options.baseDirectory = library.base.path();
        main = std::make_unique<TF_Main>(options);
        main->show();
        if (!QTest::qWaitForWindowActive(main.get()))
            std::fprintf(stderr, "the window was not activated\n");
        // The window's own start-up (first paint, layout) is not the search's.
        QTest::qWait(200);
        phrase = main->findChild<QLineEdit *>(QStringLiteral("JvE_Find"));
        button = main->findChild<QPushButton *>(QStringLiteral("BB_Find"));
        allButton = main->findChild<QPushButton *>(QStringLiteral("BB_FindAll"));
    }
    // Lists every match; the time is from the click until the list is filled.
    Timing findAll(const QString &text) const
    {
        phrase->setText(text);
        return measure([this] { QTest::mouseClick(allButton, Qt::LeftButton); });
    }
    // Searches; the time is from the click to the end of the search.
    Timing find(const QString &text) const
    {
        phrase->setText(text);
        return measure([this] { QTest::mouseClick(button, Qt::LeftButton); });
    }
    std::unique_ptr<TF_Main> main;
    QLineEdit *phrase = nullptr;
    QPushButton *button = nullptr;
    QPushButton *allButton = nullptr;
    QTreeWidget *tree() const
    {
        return main->findChild<QTreeWidget *>(QStringLiteral("JvTV_LeftTree"));
    }
};

double median(QList<double> values)
{
    std::sort(values.begin(), values.end());
    return values.at(values.size() / 2);
}

} // namespace

int main(int argc, char *argv[])
{
    drawOffscreenByDefault();
    QApplication application(argc, argv);
    const int runs = runsArgument(argc, argv);
    int notFound = 0;
    MessageBoxes::setPresenter([&notFound](const MessageBoxes::Request &request) {
        if (request.text == QLatin1String("Nie znaleziono szukanej frazy"))
            ++notFound;
        else
            std::fprintf(stderr, "message box: %s\n", qPrintable(request.text));
        return QMessageBox::Ok;
    });

    Library library;
    try {
        buildLibrary(library);
    } catch (const Error &error) {
        std::fprintf(stderr, "%s\n", qPrintable(error.message()));
        return 1;
    }
    std::printf("library: %d nodes, %lld documents, %.1f MB of RTF (%.1f KB each)\n", NodeCount,
                qlonglong(library.documents.size()), library.rtfBytes / 1e6,
                library.rtfBytes / 1024.0 / library.documents.size());

    QList<double> absent;
    QList<double> secondAbsent;
    QList<double> last;
    QList<double> yardstick;
    // Ratios of each run, against the yardstick measured just before: on a
    // shared machine the load drifts between runs.
    QList<double> absentRatio;
    QList<double> lastRatio;
    QList<double> absentCpuRatio;
    QList<double> lastCpuRatio;
    qint64 cacheBytes = 0;
    qint64 heapGrowth = 0;
    qint64 textBytes = 0;
    bool lastFound = true;
    QList<double> everywhereCold;
    QList<double> everywhereWarm;
    QList<double> everywhereRatio;
    QList<double> bankReading;
    QList<double> everywhereCore;
    int everywhereTotal = 0;
    int everywhereShown = 0;
    for (int run = 0; run < runs; ++run) {
        // The yardstick reads through the program's own connection, as the window would.
        Database::open(QDir(library.base.path()).filePath(QStringLiteral("db")));
        textBytes = 0;
        const Timing reading = measure([&] {
            DocumentQuery query;
            QTextDocument document;
            for (int itemId : std::as_const(library.documents)) {
                query.open(Database::connection(), itemId);
                RtfReader::read(query.rtf(), &document);
                textBytes += document.toPlainText().size() * qint64(sizeof(QChar));
            }
        });
        yardstick.append(reading.wall);
        bankReading.append(measure([] {
                               QuestionBank bank;
                               bank.load(Database::connection());
                           }).wall);
        Database::close();

        {
            Window window(library);
            const int before = notFound;
            const qint64 heapBefore = qint64(mallinfo2().uordblks);
            const Timing first = window.find(AbsentPhrase);
            heapGrowth = qint64(mallinfo2().uordblks) - heapBefore;
            absent.append(first.wall);
            absentRatio.append(first.wall / reading.wall);
            absentCpuRatio.append(first.cpu / reading.cpu);
            secondAbsent.append(window.find(OtherAbsentPhrase).wall);
            if (notFound != before + 2)
                std::fprintf(stderr, "the absent phrases were not reported as not found\n");
            cacheBytes = window.main->documentTexts().memoryBytes();
        }
        {
            Window window(library);
            const int before = notFound;
            const Timing found = window.find(LastPhrase);
            last.append(found.wall);
            lastRatio.append(found.wall / reading.wall);
            lastCpuRatio.append(found.cpu / reading.cpu);
            auto *tree = window.main->findChild<QTreeWidget *>(QStringLiteral("JvTV_LeftTree"));
            const TreeNodeItem *selected = TreeIndex::nodeAt(tree, TreeIndex::selected(tree));
            lastFound = lastFound && notFound == before && selected
                && selected->node().ItemId == library.documents.last();
        }
        {
            Window window(library);
            const Timing cold = window.findAll(EverywherePhrase);
            everywhereCold.append(cold.wall);
            everywhereRatio.append(cold.wall / reading.wall);
            everywhereWarm.append(window.findAll(OtherEverywherePhrase).wall);
            // The search alone, without the list: the window's texts and a bank read here.
            Database::open(QDir(library.base.path()).filePath(QStringLiteral("db")));
            QuestionBank bank;
            bank.load(Database::connection());
            Database::close();
            QList<SearchDocument> documents;
            for (int index = 0; TreeNodeItem *node = TreeIndex::nodeAt(window.tree(), index); ++index) {
                if (node->node().NodeType == 1)
                    documents.append({index, node->node().ItemId, node->text(0)});
            }
            DocumentTextCache &texts = window.main->documentTexts();
            everywhereCore.append(measure([&] {
                                      SearchEverywhere::run(
                                          OtherEverywherePhrase, false, documents,
                                          [&](qint32 id) { return texts.foldedText(id); },
                                          [&](qint32 id) { return texts.plainText(id); },
                                          bank.questions());
                                  }).wall);
            if (const auto *view = window.main->findChild<SearchResultsView *>()) {
                everywhereTotal = view->results().total();
                everywhereShown = view->results().shown;
            }
        }
    }
    if (!lastFound)
        std::fprintf(stderr, "the phrase of the last document was not found there\n");

    const double a = median(absent);
    const double b = median(secondAbsent);
    const double c = median(last);
    const double y = median(yardstick);
    std::printf("medians of %d runs; a ratio is the median of the runs' ratios\n", runs);
    std::printf("yardstick, every document read once with RtfReader: %.1f ms\n", y);
    std::printf(
        "(a) absent phrase, fresh window:            %.1f ms  = %.2f x yardstick (goal <= 1.2)\n",
        a, median(absentRatio));
    std::printf("(b) second absent phrase, same window:      %.1f ms  (goal < 100 ms)\n", b);
    std::printf("(c) phrase of the last document, fresh:     %.1f ms  = %.2f x yardstick\n", c,
                median(lastRatio));
    std::printf("processor time against the yardstick's: (a) %.2f x, (c) %.2f x\n",
                median(absentCpuRatio), median(lastCpuRatio));
    std::printf("text cache: %.1f MB for %.1f MB of plain text = %.2f x (goal <= 2); "
                "the heap grew by %.1f MB over the first search\n",
                cacheBytes / 1e6, textBytes / 1e6, double(cacheBytes) / double(textBytes),
                heapGrowth / 1e6);
    std::printf("every match at once, %d questions in the bank, phrase of three letters:\n",
                QuestionCount);
    std::printf("(d) fresh window, documents and bank read: %.1f ms  = %.2f x yardstick (goal <= 1.2)\n",
                median(everywhereCold), median(everywhereRatio));
    std::printf("(e) again, same window:                    %.1f ms  (goal < 150 ms); "
                "%d results, %d shown\n",
                median(everywhereWarm), everywhereTotal, everywhereShown);
    std::printf("of (e), the search alone: %.1f ms; reading the bank alone: %.1f ms\n",
                median(everywhereCore), median(bankReading));
    return lastFound ? 0 : 1;
}
