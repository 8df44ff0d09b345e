// The main window on a large library: creating it (opening the database and
// loading a tree of 5,000 nodes, no splash), and showing a 2 MB document from
// the click on its node until it is on screen.
//
//   bench_mainwindow [runs] [document.rtf]

#include "benchtree.h"
#include "benchutil.h"
#include "data/schema.h"
#include "regulations/qmx_tree.h"
#include "shell/form_main.h"
#include "toolkit/error.h"
#include "toolkit/messageboxes.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QTest>
#include <QTreeWidget>

#include <algorithm>
#include <cstdio>
#include <functional>

namespace {

constexpr int NodeCount = 5000;
constexpr int DocumentNode = 2;

double median(QList<double> times)
{
    std::sort(times.begin(), times.end());
    return times.at(times.size() / 2);
}

// Four sections, each with headings of documents three levels deep.
bool buildLibrary(const QString &file, const QByteArray &document)
{
    QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("bench"));
    db.setDatabaseName(file);
    if (!db.open())
        return false;
    try {
        Schema::create(db);
        QSqlQuery begin(db);
        begin.exec(QStringLiteral("BEGIN"));
        // Sections are headings; every other node, the document's among them, a document node.
        insertBenchTree(db, NodeCount, [](int id) { return id <= 4 && id != DocumentNode ? 0 : 1; });
        QSqlQuery doc(db);
        doc.prepare(QStringLiteral("INSERT INTO tree_documents VALUES (?, ?)"));
        doc.addBindValue(DocumentNode);
        doc.addBindValue(document);
        doc.exec();
        QSqlQuery(db).exec(QStringLiteral("COMMIT"));
    } catch (const Error &error) {
        std::fprintf(stderr, "%s\n", qPrintable(error.message()));
        return false;
    }
    db.close();
    db = QSqlDatabase();
    QSqlDatabase::removeDatabase(QStringLiteral("bench"));
    return true;
}

} // namespace

int main(int argc, char *argv[])
{
    drawOffscreenByDefault();
    QApplication application(argc, argv);
    const int runs = runsArgument(argc, argv);
    QFile source(argc > 2 ? QString::fromLocal8Bit(argv[2]) : QStringLiteral(VOLTARIS_BENCH_DOCUMENT));
    if (!source.open(QIODevice::ReadOnly)) {
        std::fprintf(stderr, "cannot read %s\n", qPrintable(source.fileName()));
        return 1;
    }
    const QByteArray document = source.readAll();
    MessageBoxes::setPresenter([](const MessageBoxes::Request &request) {
        std::fprintf(stderr, "message box: %s\n", qPrintable(request.text));
        return QMessageBox::Ok;
    });

    QTemporaryDir base;
    QDir(base.path()).mkdir(QStringLiteral("db"));
    if (!buildLibrary(QDir(base.path()).filePath(QStringLiteral("db/qmx_vemora.db")), document))
        return 1;
    TF_Main::Options options;
    options.baseDirectory = base.path();

    QList<double> creation;
    QList<double> showing;
    int nodes = 0;
    for (int run = 0; run < runs; ++run) {
        QElapsedTimer timer;
        timer.start();
        auto window = std::make_unique<TF_Main>(options);
        creation.append(double(timer.nsecsElapsed()) / 1e6);

        window->show();
        if (!QTest::qWaitForWindowActive(window.get()))
            return 1;
        auto *tree = window->findChild<QTreeWidget *>(QStringLiteral("JvTV_LeftTree"));
        TreeNodeItem *target = nullptr;
        for (int index = 0; TreeNodeItem *node = TreeIndex::nodeAt(tree, index); ++index) {
            nodes = index + 1;
            if (node->node().ItemId == DocumentNode)
                target = node;
        }
        if (!target)
            return 1;
        timer.restart();
        tree->setCurrentItem(target);
        QCoreApplication::processEvents(); // until it is painted
        window->repaint();
        showing.append(double(timer.nsecsElapsed()) / 1e6);
        if (window->currentPageName() != QLatin1String("NP_Document"))
            return 1;
    }
    std::printf("main window on a tree of %d nodes: %.1f ms (median of %d)\n", nodes, median(creation), runs);
    std::printf("document of %.1f MB from the click to the screen: %.1f ms (median of %d)\n",
                document.size() / 1e6, median(showing), runs);
    return 0;
}
