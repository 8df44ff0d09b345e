#include "mainwindowfixture.h"
#include "printing/form_printpreview.h"
#include "regulations/qmx_tree.h"
#include "shell/form_main.h"
#include "toolkit/printers.h"
#include "toolkit/printpreview.h"
#include "toolkit/rtfview.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QSqlQuery>
#include <QTest>
#include <QTimer>
#include <QTreeWidget>

using namespace Qt::StringLiterals;

namespace {

// A section with its document and an act beneath it with another.
bool fillLibrary(TestDatabase &db)
{
    const QList<std::pair<int, QByteArray>> documents {
        {1, "{\\rtf1\\ansi Regulacje\\par}"},
        {11, "{\\rtf1\\ansi Art. 54 ustawy\\par Art. 55\\par}"},
    };
    return db.insertDocuments(documents)
        && db.exec({
            u"INSERT INTO tree VALUES (1, NULL, 1, 'Regulacje prawne', NULL, 0, 1)"_s,
            u"INSERT INTO tree VALUES (11, 1, 1, 'Prawo energetyczne', 'art. 54', 2, 1)"_s,
        });
}

// Acts on the preview window once it is shown modally.
class ModalWatcher
{
public:
    explicit ModalWatcher(std::function<void(TF_PreviewForm *)> act) : m_act(std::move(act))
    {
        m_timer.setInterval(10);
        QObject::connect(&m_timer, &QTimer::timeout, &m_timer, [this] {
            auto *form = qobject_cast<TF_PreviewForm *>(QApplication::activeModalWidget());
            if (form && form->isVisible()) {
                m_timer.stop();
                m_act(form);
            }
        });
        m_timer.start();
    }

private:
    std::function<void(TF_PreviewForm *)> m_act;
    QTimer m_timer;
};

// A printer for the preview to offer.
class InstalledPrinter
{
public:
    InstalledPrinter()
        : m_previous(Printers::setHooks({[] { return QStringList {u"Biuro"_s}; }, {}, {}}))
    { }
    ~InstalledPrinter() { Printers::setHooks(m_previous); }
    InstalledPrinter(const InstalledPrinter &) = delete;
    InstalledPrinter &operator=(const InstalledPrinter &) = delete;

private:
    Printers::Hooks m_previous;
};

struct Fixture : MainWindowFixture
{
    Fixture()
    {
        filled = fillLibrary(db);
        open();
        print = window->findChild<QAction *>(u"TB_DocPrint"_s);
    }

    void select(int itemId) const
    {
        for (int index = 0; TreeNodeItem *item = TreeIndex::nodeAt(tree, index); ++index) {
            if (item->node().ItemId == itemId)
                tree->setCurrentItem(item);
        }
    }

    // The window goes before the printer it was offered.
    ~Fixture() override { window.reset(); }

    const InstalledPrinter printer;
    QAction *print = nullptr;
};

} // namespace

class TestDocumentPrint : public QObject
{
    Q_OBJECT

private slots:
    void opensThePreviewOfTheShownDocument();
    void documentReplacedWhileBuildingGivesTheErrorAndNoWindow();
};

void TestDocumentPrint::opensThePreviewOfTheShownDocument()
{
    Fixture f;
    QVERIFY(f.filled && f.active);
    f.select(11);
    QCOMPARE(f.viewer->backgroundColor(), TF_Main::DocumentColor);

    bool modal = false;
    int pages = 0;
    QColor docColor;
    QColor whileTicked;
    const ModalWatcher watcher([&](TF_PreviewForm *form) {
        modal = form->isModal() && form->parent() == f.window.get();
        pages = form->preview()->pageCount();
        docColor = form->docColor();
        QTest::mouseClick(form->findChild<QCheckBox *>(u"CB_WhiteBgk"_s), Qt::LeftButton);
        whileTicked = f.viewer->backgroundColor();
        form->close();
    });
    f.print->trigger();
    QVERIFY(modal);
    QCOMPARE(pages, 1);
    QCOMPARE(docColor, TF_Main::DocumentColor);
    QCOMPARE(whileTicked, QColor(Qt::white));
    // The window is gone and the viewer has its colour back.
    QVERIFY(!f.window->findChild<TF_PreviewForm *>());
    QCOMPARE(f.viewer->backgroundColor(), TF_Main::DocumentColor);
    QCOMPARE(f.boxes.count(), 0);
}

// Events run while the pages are built: showing another document then ends
// the build with the standard error box, and no preview is shown.
void TestDocumentPrint::documentReplacedWhileBuildingGivesTheErrorAndNoWindow()
{
    Fixture f;
    QVERIFY(f.filled && f.active);
    f.select(11);
    bool shown = false;
    QTimer::singleShot(0, f.window.get(), [&] { f.select(1); });
    const ModalWatcher watcher([&](TF_PreviewForm *form) {
        shown = true;
        form->close();
    });
    f.print->trigger();
    QVERIFY(!shown);
    QCOMPARE(f.boxes.errors().size(), 1);
    QVERIFY(!f.window->findChild<TF_PreviewForm *>());
    QCOMPARE(f.viewer->backgroundColor(), TF_Main::SectionDocumentColor);
}

QTEST_MAIN(TestDocumentPrint)
#include "tst_documentprint.moc"
