#include "ordinaryuser.h"
#include "pagecontents.h"
#include "printing/form_printpreview.h"
#include "scriptedmessageboxes.h"
#include "toolkit/filedialogs.h"
#include "toolkit/printers.h"
#include "toolkit/printpreview.h"
#include "toolkit/rtfview.h"
#include "toolkit/thumbnailstrip.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QLineEdit>
#include <QPrinter>
#include <QSet>
#include <QTabBar>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QToolButton>

using namespace Qt::StringLiterals;

namespace {

const QColor DocColor(255, 255, 229);
const QString OwnerCaption = u"Voltaris - Regulacje prawne"_s;

struct Job
{
    QString title;
    QString path;
};

// Stands in for the system's printers and print dialog; every job is
// written into a PDF file of its own.
class FakePrinters
{
public:
    explicit FakePrinters(QStringList names) : m_names(std::move(names))
    {
        m_previous = Printers::setHooks({
            [this] { return m_names; },
            [this](QPrinter &printer, const Printers::DialogRequest &request) {
                requests.append(request);
                printer.setFromTo(from, to);
                printer.setPrintRange(from == 0 ? QPrinter::AllPages : QPrinter::PageRange);
                printer.setCopyCount(copies);
                return accept;
            },
            [this](QPrinter &printer) {
                const QString path = m_dir.filePath(u"job-%1.pdf"_s.arg(jobs.size() + 1));
                printer.setOutputFormat(QPrinter::PdfFormat);
                printer.setOutputFileName(path);
                jobs.append({printer.docName(), path});
            },
        });
    }
    ~FakePrinters() { Printers::setHooks(m_previous); }
    FakePrinters(const FakePrinters &) = delete;
    FakePrinters &operator=(const FakePrinters &) = delete;

    // The dialog's answer.
    bool accept = true;
    int from = 0;
    int to = 0;
    int copies = 1;

    QList<Printers::DialogRequest> requests;
    QList<Job> jobs;

private:
    QStringList m_names;
    QTemporaryDir m_dir;
    Printers::Hooks m_previous;
};

// A preview of a document of so many lines, opened from a window with a caption.
struct Fixture
{
    explicit Fixture(int lines, const QStringList &printerNames = {u"Biuro"_s})
        : printers(printerNames)
    {
        owner.setWindowTitle(OwnerCaption);
        viewer = new RtfView(&owner);
        viewer->setBackgroundColor(DocColor);
        fillLines(*viewer->document(), lines);
        form = std::make_unique<TF_PreviewForm>(viewer, &owner);
        form->setDocColor(DocColor);
        preview = form->preview();
        zoomBox = form->findChild<QComboBox *>(u"ZoomComboBox"_s);
        zoomIn = form->findChild<QToolButton *>(u"JvSP_ZoomIn"_s);
        zoomOut = form->findChild<QToolButton *>(u"JvSP_ZoomOut"_s);
        whiteBackground = form->findChild<QCheckBox *>(u"CB_WhiteBgk"_s);
        printButton = form->findChild<QToolButton *>(u"PrintButton"_s);
        pdfButton = form->findChild<QToolButton *>(u"SavePdfButton"_s);
        tabs = form->findChild<QTabBar *>(u"PageNavigator"_s);
    }

    // Builds the pages and shows the window, as the main window does.
    bool open()
    {
        form->BuildPreviewPages();
        form->resize(800, 600);
        form->show();
        return QTest::qWaitForWindowExposed(form.get());
    }

    // Types into the zoom box and presses Enter.
    void typeZoom(const QString &text)
    {
        zoomBox->lineEdit()->selectAll();
        QTest::keyClicks(zoomBox->lineEdit(), text);
        QTest::keyClick(zoomBox->lineEdit(), Qt::Key_Return);
    }

    QStringList tabCaptions() const
    {
        QStringList captions;
        for (int i = 0; i < tabs->count(); ++i)
            captions.append(tabs->tabText(i));
        return captions;
    }

    ScriptedMessageBoxes boxes;
    FakePrinters printers;
    QWidget owner;
    RtfView *viewer = nullptr;
    std::unique_ptr<TF_PreviewForm> form;
    PrintPreview *preview = nullptr;
    QComboBox *zoomBox = nullptr;
    QToolButton *zoomIn = nullptr;
    QToolButton *zoomOut = nullptr;
    QCheckBox *whiteBackground = nullptr;
    QToolButton *printButton = nullptr;
    QToolButton *pdfButton = nullptr;
    QTabBar *tabs = nullptr;
};

const QRectF Frame(900, 900, 19200, 27900);
const QRectF TextBlock(1100, 1100, 18800, 27500);

bool sameRect(const QRectF &a, const QRectF &b)
{
    return std::abs(a.left() - b.left()) < 1 && std::abs(a.top() - b.top()) < 1
        && std::abs(a.right() - b.right()) < 1 && std::abs(a.bottom() - b.bottom()) < 1;
}

} // namespace

class TestPrintPreview : public QObject
{
    Q_OBJECT

private slots:
    void framedPages_data();
    void framedPages();
    void whiteBackground();
    void controlsNeedAPrinter_data();
    void controlsNeedAPrinter();
    void zoomText_data();
    void zoomText();
    void zoomTextNotANumber();
    void zoomButtons();
    void printing_data();
    void printing();
    void savesPdf();
    void pdfIntoUnwritableDirectory();
    void eventsRunWhilePagesAreBuilt();
    void tabsAndThumbnailsShowPages();
};

void TestPrintPreview::framedPages_data()
{
    QTest::addColumn<int>("lines");
    QTest::addColumn<int>("pages");

    QTest::newRow("empty document") << 0 << 1;
    QTest::newRow("shorter than a page") << 3 << 1;
    QTest::newRow("two and a half pages") << 25 << 3;
}

// Each page, bottom to top: its label, the frame filled with the document's
// colour, the text over the fill (once), the frame's outline.
void TestPrintPreview::framedPages()
{
    QFETCH(int, lines);
    QFETCH(int, pages);
    Fixture f(lines);
    QVERIFY(f.open());
    QCOMPARE(f.preview->pageCount(), pages);
    QStringList numbers;
    for (int page = 1; page <= pages; ++page)
        numbers.append(QString::number(page));
    QCOMPARE(f.tabCaptions(), numbers);
    QCOMPARE(f.tabs->currentIndex(), 0);
    QCOMPARE(f.form->windowTitle(), u"Voltaris"_s);

    int linesShown = 0;
    for (int page = 0; page < pages; ++page) {
        const QList<PageItem> items = pageContents(*f.preview->pages(), page);
        QVERIFY(items.size() >= 3);
        const PageItem &label = items.constFirst();
        QCOMPARE(label.text, u"Strona %1"_s.arg(page + 1));
        QVERIFY2(std::abs(label.geometry.left() - 1000) < 2,
                 qPrintable(QString::number(label.geometry.left())));
        // The baseline lies an ascent below the top at 9.5 mm above the edge.
        QVERIFY(label.geometry.top() > 29700 - 950 && label.geometry.top() < 29700 - 950 + 300);
        QVERIFY(std::abs(label.pointSize - 8) < 0.2);

        const PageItem &outline = items.constLast();
        QCOMPARE(outline.kind, PageItem::Rect);
        QCOMPARE(outline.brush.style(), Qt::NoBrush);
        QVERIFY(sameRect(outline.geometry, Frame));
        int fill = -1;
        for (int i = 0; i < items.size(); ++i) {
            if (items.at(i).kind == PageItem::Rect
                && items.at(i).brush.style() == Qt::SolidPattern) {
                QCOMPARE(fill, -1);
                fill = i;
            }
        }
        QVERIFY(fill > 0);
        QCOMPARE(items.at(fill).brush.color(), DocColor);
        QVERIFY(sameRect(items.at(fill).geometry, Frame));
        // The text is recorded once, over the fill: nothing hidden under it
        // that a PDF would carry twice.
        for (int i = 0; i < fill; ++i)
            QVERIFY2(!TextBlock.contains(items.at(i).geometry.topLeft()), qPrintable(items.at(i).text));
        for (int i = fill + 1; i < items.size() - 1; ++i) {
            if (TextBlock.contains(items.at(i).geometry.topLeft()))
                ++linesShown;
        }
    }
    QCOMPARE(linesShown, lines);
}

void TestPrintPreview::whiteBackground()
{
    Fixture f(25);
    QVERIFY(f.open());
    QTest::mouseClick(f.whiteBackground, Qt::LeftButton);
    QVERIFY(f.whiteBackground->isChecked());
    QCOMPARE(f.viewer->backgroundColor(), QColor(Qt::white));
    QCOMPARE(f.preview->pageCount(), 3);
    QCOMPARE(f.tabs->count(), 3);
    for (int page = 0; page < 3; ++page) {
        const QList<PageItem> items = pageContents(*f.preview->pages(), page);
        QCOMPARE(items.constFirst().text, u"Strona %1"_s.arg(page + 1));
        int rects = 0;
        for (const PageItem &item : items) {
            if (item.kind == PageItem::Rect) {
                ++rects;
                QCOMPARE(item.brush.style(), Qt::NoBrush);
                QVERIFY(sameRect(item.geometry, Frame));
            }
        }
        QCOMPARE(rects, 1);
        QCOMPARE(items.constLast().kind, PageItem::Rect);
    }
    // Closing gives the viewer its colour back, the box still ticked.
    f.form->close();
    QCOMPARE(f.viewer->backgroundColor(), DocColor);
}

void TestPrintPreview::controlsNeedAPrinter_data()
{
    QTest::addColumn<QStringList>("printers");
    QTest::newRow("no printer") << QStringList();
    QTest::newRow("one printer") << QStringList {u"Biuro"_s};
}

void TestPrintPreview::controlsNeedAPrinter()
{
    QFETCH(QStringList, printers);
    Fixture f(3, printers);
    QVERIFY(f.open());
    const bool offered = !printers.isEmpty();
    QCOMPARE(f.printButton->isEnabled(), offered);
    QCOMPARE(f.zoomBox->isEnabled(), offered);
    QCOMPARE(f.zoomIn->isEnabled(), offered);
    QCOMPARE(f.zoomOut->isEnabled(), offered);
    QCOMPARE(f.whiteBackground->isEnabled(), offered);
    QVERIFY(f.pdfButton->isEnabled());
}

void TestPrintPreview::zoomText_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<int>("zoom");
    QTest::addColumn<QString>("shown");

    QTest::newRow("number") << u"75"_s << 75 << u"75 %"_s;
    QTest::newRow("number, blank, percent") << u"75 %"_s << 75 << u"75 %"_s;
    QTest::newRow("number and percent") << u"75%"_s << 75 << u"75 %"_s;
    QTest::newRow("blanks around") << u"  75  "_s << 75 << u"75 %"_s;
    QTest::newRow("below the least") << u"5"_s << 10 << u"10 %"_s;
    QTest::newRow("above the most") << u"900"_s << 500 << u"500 %"_s;
    QTest::newRow("an item's percentage") << u"150"_s << 150 << u"150 %"_s;
}

void TestPrintPreview::zoomText()
{
    QFETCH(QString, typed);
    QFETCH(int, zoom);
    QFETCH(QString, shown);
    Fixture f(3);
    QVERIFY(f.open());
    f.typeZoom(typed);
    QCOMPARE(f.preview->zoomMode(), PrintPreview::ZoomMode::Percent);
    QCOMPARE(f.preview->zoom(), zoom);
    QCOMPARE(f.zoomBox->currentText(), shown);
    QCOMPARE(f.boxes.count(), 0);
}

void TestPrintPreview::zoomTextNotANumber()
{
    Fixture f(3);
    QVERIFY(f.open());
    f.typeZoom(u"dwa"_s);
    QCOMPARE(f.boxes.count(), 1);
    const MessageBoxes::Request &box = f.boxes.shown().constFirst();
    QCOMPARE(box.caption, u"Błąd"_s);
    QCOMPARE(box.text, QString());
    QCOMPARE(box.icon, QMessageBox::Critical);
    QCOMPARE(f.preview->zoomMode(), PrintPreview::ZoomMode::WholePage);
}

void TestPrintPreview::zoomButtons()
{
    Fixture f(3);
    QVERIFY(f.open());
    QCOMPARE(f.zoomBox->currentText(), u"Cała strona"_s);

    f.typeZoom(u"490"_s);
    QTest::mouseClick(f.zoomIn, Qt::LeftButton);
    QCOMPARE(f.preview->zoom(), 500);
    QCOMPARE(f.zoomBox->currentText(), u"500 %"_s);

    // The arrow keys choose items: up from "Cała strona" to "Szerokość strony".
    f.zoomBox->setCurrentIndex(6);
    QTest::keyClick(f.zoomBox, Qt::Key_Up);
    QTest::keyClick(f.zoomBox, Qt::Key_Up);
    QCOMPARE(f.zoomBox->currentText(), u"Szerokość strony"_s);
    QCOMPARE(f.preview->zoomMode(), PrintPreview::ZoomMode::FitWidth);
    QCOMPARE(f.zoomBox->currentIndex(), 4);
    const int room = f.preview->viewport()->width() - 2 * 10 - 4;
    QVERIFY2(std::abs(f.preview->paperPixels().width() - room) <= 1,
             qPrintable(u"%1 against %2"_s.arg(f.preview->paperPixels().width()).arg(room)));
    const int fitted = f.preview->zoom();

    QTest::mouseClick(f.zoomOut, Qt::LeftButton);
    QCOMPARE(f.preview->zoomMode(), PrintPreview::ZoomMode::Percent);
    QCOMPARE(f.preview->zoom(), fitted - 20);
    QCOMPARE(f.zoomBox->currentText(), u"%1 %"_s.arg(fitted - 20));
    const bool isItem = QList<int> {50, 100, 150, 200}.contains(fitted - 20);
    QCOMPARE(f.zoomBox->currentIndex() >= 0, isItem);

    f.typeZoom(u"120"_s);
    QTest::mouseClick(f.zoomOut, Qt::LeftButton);
    QCOMPARE(f.zoomBox->currentIndex(), 1);
    QCOMPARE(f.zoomBox->currentText(), u"100 %"_s);
    QTest::mouseClick(f.zoomOut, Qt::LeftButton);
    QCOMPARE(f.zoomBox->currentIndex(), -1);
    QCOMPARE(f.zoomBox->currentText(), u"80 %"_s);
}

void TestPrintPreview::printing_data()
{
    QTest::addColumn<bool>("accept");
    QTest::addColumn<int>("from");
    QTest::addColumn<int>("to");
    QTest::addColumn<int>("copies");
    QTest::addColumn<QList<int>>("jobPages");
    QTest::addColumn<QString>("lastProgress");

    QTest::newRow("whole document") << true << 0 << 0 << 1 << QList<int> {3}
                                    << u"Voltaris - Printing page 3 of 3 (%100 done)..."_s;
    QTest::newRow("three copies are three jobs")
        << true << 1 << 3 << 3 << QList<int> {3, 3, 3}
        << u"Voltaris - Printing page 3 of 3 (%100 done)..."_s;
    QTest::newRow("pages 2 to 3") << true << 2 << 3 << 1 << QList<int> {2}
                                  << u"Voltaris - Printing page 3 of 3 (%100 done)..."_s;
    QTest::newRow("page 2 alone") << true << 2 << 2 << 1 << QList<int> {1}
                                  << u"Voltaris - Printing page 2 of 3 (%100 done)..."_s;
    QTest::newRow("cancelled") << false << 1 << 3 << 1 << QList<int> {} << QString();
}

void TestPrintPreview::printing()
{
    QFETCH(bool, accept);
    QFETCH(int, from);
    QFETCH(int, to);
    QFETCH(int, copies);
    QFETCH(QList<int>, jobPages);
    QFETCH(QString, lastProgress);
    Fixture f(25);
    QVERIFY(f.open());
    f.printers.accept = accept;
    f.printers.from = from;
    f.printers.to = to;
    f.printers.copies = copies;
    QStringList captions;
    connect(f.form.get(), &QWidget::windowTitleChanged, this,
            [&](const QString &title) { captions.append(title); });

    QTest::mouseClick(f.printButton, Qt::LeftButton);
    QCOMPARE(f.printers.requests.size(), 1);
    QCOMPARE(f.printers.requests.constFirst().minPage, 1);
    QCOMPARE(f.printers.requests.constFirst().maxPage, 3);
    QCOMPARE(f.printers.jobs.size(), jobPages.size());
    for (int i = 0; i < jobPages.size(); ++i) {
        const Job &job = f.printers.jobs.at(i);
        QCOMPARE(job.title, OwnerCaption);
        const PdfPages pdf = pdfPages(job.path);
        QCOMPARE(pdf.count, jobPages.at(i));
        QVERIFY(pdf.allA4);
    }
    if (!jobPages.isEmpty()) {
        QCOMPARE(captions.constFirst(), u"Voltaris - Preparing to print..."_s);
        QVERIFY2(captions.contains(lastProgress), qPrintable(captions.join(u'\n')));
    }
    QCOMPARE(f.form->windowTitle(), u"Voltaris"_s);
    QVERIFY(f.printButton->isEnabled());
}

void TestPrintPreview::savesPdf()
{
    Fixture f(25, {});
    QVERIFY(f.open());
    QTemporaryDir dir;
    FileDialogs::SaveRequest asked;
    const auto previous
        = FileDialogs::setSavePresenter([&](const FileDialogs::SaveRequest &request) {
              asked = request;
              return dir.filePath(u"wydruk"_s);
          });
    QTest::mouseClick(f.pdfButton, Qt::LeftButton);
    FileDialogs::setSavePresenter(previous);
    QCOMPARE(asked.defaultSuffix, u"pdf"_s);
    QCOMPARE(f.boxes.errors(), QStringList());
    const PdfPages pdf = pdfPages(dir.filePath(u"wydruk.pdf"_s));
    QCOMPARE(pdf.count, 3);
    QVERIFY(pdf.allA4);
}

void TestPrintPreview::pdfIntoUnwritableDirectory()
{
    QTemporaryDir dir;
    const QString locked = dir.filePath(u"zablokowany"_s);
    QVERIFY(QDir().mkdir(locked));
    const auto readable = QFile::ReadOwner | QFile::ExeOwner | QFile::ReadOther | QFile::ExeOther;
    QVERIFY(QFile::setPermissions(dir.path(), readable | QFile::WriteOwner));
    QVERIFY(QFile::setPermissions(locked, readable));
    {
        Fixture f(3);
        QVERIFY(f.open());
        const auto previous = FileDialogs::setSavePresenter([&](const FileDialogs::SaveRequest &) {
            return QDir(locked).filePath(u"wydruk.pdf"_s);
        });
        {
            OrdinaryUser user;
            if (!user.canMeetReadOnlyFiles()) {
                FileDialogs::setSavePresenter(previous);
                QSKIP("a directory cannot be made unwritable for this user");
            }
            QTest::mouseClick(f.pdfButton, Qt::LeftButton);
        }
        FileDialogs::setSavePresenter(previous);
        QCOMPARE(f.boxes.errors().size(), 1);
        QVERIFY2(f.boxes.errors().constFirst().contains(u"wydruk.pdf"_s),
                 qPrintable(f.boxes.errors().constFirst()));
    }
    QCOMPARE(QDir(locked).entryList(QDir::NoDotAndDotDot | QDir::AllEntries | QDir::Hidden),
             QStringList());
    QFile::setPermissions(locked, readable | QFile::WriteOwner);
}

// Pages of a long document take a while: the window answers between them,
// with the controls that would change the pages disabled.
void TestPrintPreview::eventsRunWhilePagesAreBuilt()
{
    Fixture f(95);
    f.form->show();
    QVERIFY(QTest::qWaitForWindowExposed(f.form.get()));
    QSet<int> pagesMeanwhile;
    bool controlsEnabledMeanwhile = false;
    QStringList captionsMeanwhile;
    QTimer ticker;
    ticker.setInterval(0);
    connect(&ticker, &QTimer::timeout, f.form.get(), [&] {
        if (f.preview->state() != PreviewDocument::State::Building)
            return;
        pagesMeanwhile.insert(f.preview->pageCount());
        controlsEnabledMeanwhile = controlsEnabledMeanwhile || f.zoomBox->isEnabled()
            || f.whiteBackground->isEnabled() || f.pdfButton->isEnabled();
        captionsMeanwhile.append(f.form->windowTitle());
        // Closing now would pull the pages from under the build.
        f.form->close();
    });
    ticker.start();
    f.form->BuildPreviewPages();
    ticker.stop();
    QCOMPARE(f.preview->pageCount(), 10);
    QVERIFY2(pagesMeanwhile.size() >= 5, qPrintable(QString::number(pagesMeanwhile.size())));
    QVERIFY(!controlsEnabledMeanwhile);
    captionsMeanwhile.removeDuplicates();
    QCOMPARE(captionsMeanwhile, QStringList {u"Voltaris - Przygotowanie dokumentu..."_s});
    QVERIFY(f.form->isVisible());
    QCOMPARE(f.form->windowTitle(), u"Voltaris"_s);
    QVERIFY(f.zoomBox->isEnabled());
}

// Thumbnails are drawn when they come into view, not all at once.
void TestPrintPreview::tabsAndThumbnailsShowPages()
{
    Fixture f(95);
    QVERIFY(f.open());
    auto *strip = f.form->findChild<ThumbnailStrip *>(u"ThumbnailPreview"_s);
    QVERIFY(strip);
    QCOMPARE(strip->width(), 115);
    QTRY_VERIFY(strip->renderedCount() > 0);
    const int inView = strip->renderedCount();
    const int x = strip->viewport()->width() / 2;
    const int lastInView = strip->pageAt(QPoint(x, strip->viewport()->height() - 1));
    QCOMPARE(strip->pageAt(QPoint(x, 0)), 0);
    QVERIFY(lastInView > 0 && lastInView < 9);
    QCOMPARE(inView, lastInView + 1);

    QTest::mouseClick(f.tabs, Qt::LeftButton, {}, f.tabs->tabRect(6).center());
    QCOMPARE(f.preview->currentPage(), 7);
    // The strip follows the shown page into view.
    QTRY_VERIFY(strip->renderedCount() > inView);

    const QPoint onFirstVisible(strip->viewport()->width() / 2, 5);
    const int page = strip->pageAt(onFirstVisible);
    QVERIFY(page >= 0);
    QTest::mouseClick(strip->viewport(), Qt::LeftButton, {}, onFirstVisible);
    QCOMPARE(f.preview->currentPage(), page + 1);
    QCOMPARE(f.tabs->currentIndex(), page);
}

QTEST_MAIN(TestPrintPreview)
#include "tst_printpreview.moc"
