#include "pagecontents.h"
#include "toolkit/previewdocument.h"

#include <QBuffer>
#include <QDir>
#include <QImage>
#include <QPdfWriter>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextImageFormat>

#include "ordinaryuser.h"

using namespace Qt::StringLiterals;

namespace {

// 275 mm of text block: ten lines of fillLines() fit, the eleventh does not.
const QRectF TextBlock(1100, 1100, 18800, 27500);

// The texts of a page that show: the text block clips the rest of a line
// that straddles its edge.
QStringList visibleTexts(const PreviewDocument &pages, int page)
{
    QStringList texts;
    for (const PageItem &item : pageContents(pages, page)) {
        if (item.kind == PageItem::Text
            && TextBlock.adjusted(-1, -1, 1, 1).contains(item.geometry.topLeft()))
            texts.append(item.text);
    }
    return texts;
}

// Lays the document out one page at a time, as the preview window does.
// Returns the offset after every page.
QList<int> paginate(PreviewDocument &pages, QTextDocument *document)
{
    QList<int> offsets;
    pages.beginDoc();
    int offset = 0;
    while (offset != -1 && pages.paintRichText(TextBlock, document, 1, offset) > 0) {
        offsets.append(offset);
        if (offset != -1)
            pages.newPage();
    }
    pages.endDoc();
    return offsets;
}

} // namespace

class TestPreviewDocument : public QObject
{
    Q_OBJECT

private slots:
    void paginates_data();
    void paginates();
    void sameOffsetDrawsSamePageAgain();
    void pictureTallerThanThePage();
    void eventsOfBuilding();
    void printsRangeAsOneJob_data();
    void printsRangeAsOneJob();
    void savesPdf();
    void failedPdfLeavesNoFile();
};

void TestPreviewDocument::paginates_data()
{
    QTest::addColumn<int>("lines");
    // The first line of every page after the first, counted from 1.
    QTest::addColumn<QList<int>>("pageStarts");

    QTest::newRow("empty document") << 0 << QList<int> {};
    QTest::newRow("shorter than a page") << 3 << QList<int> {};
    QTest::newRow("exactly one page") << 10 << QList<int> {};
    QTest::newRow("one line more than a page") << 11 << QList<int> {11};
    QTest::newRow("two and a half pages") << 25 << QList<int> {11, 21};
}

void TestPreviewDocument::paginates()
{
    QFETCH(int, lines);
    QFETCH(QList<int>, pageStarts);
    QTextDocument document;
    fillLines(document, lines);
    PreviewDocument pages;

    QList<int> expected;
    for (int line : pageStarts)
        expected.append(document.findBlockByNumber(line - 1).position());
    expected.append(-1);
    QCOMPARE(paginate(pages, &document), expected);
    QCOMPARE(pages.pageCount(), int(expected.size()));
    QCOMPARE(pages.state(), PreviewDocument::State::Idle);

    // Every line shows once, on its page.
    QStringList drawn;
    for (int page = 0; page < pages.pageCount(); ++page)
        drawn += visibleTexts(pages, page);
    QStringList all;
    for (int line = 1; line <= lines; ++line)
        all.append(u"Wiersz %1"_s.arg(line));
    QCOMPARE(drawn, all);
    if (lines > 0) {
        const QStringList lastPage = visibleTexts(pages, pages.pageCount() - 1);
        QCOMPARE(lastPage.constFirst(),
                 u"Wiersz %1"_s.arg(pageStarts.isEmpty() ? 1 : pageStarts.constLast()));
    }
}

// The preview lays a page out a second time over a fill from its own offset.
void TestPreviewDocument::sameOffsetDrawsSamePageAgain()
{
    QTextDocument document;
    fillLines(document, 25);
    PreviewDocument pages;
    pages.beginDoc();
    int main = 0;
    int second = 0;
    for (int page = 0; page < 2; ++page) {
        if (page > 0)
            pages.newPage();
        QCOMPARE(pages.paintRichText(TextBlock, &document, 1, main), 1);
        QCOMPARE(pages.paintRichText(TextBlock, &document, 1, second), 1);
        QCOMPARE(second, main);
    }
    QCOMPARE(main, document.findBlockByNumber(20).position());
    pages.endDoc();
    QCOMPARE(visibleTexts(pages, 1).count(u"Wiersz 11"_s), 2);
    QVERIFY(!visibleTexts(pages, 1).contains(u"Wiersz 1"_s));
}

// The rest of such a picture has no line of its own to start a page with:
// it is cut off at the block's edge, and the text after it still comes.
void TestPreviewDocument::pictureTallerThanThePage()
{
    QTextDocument document;
    QImage tall(10, 96 * 13, QImage::Format_RGB32);
    tall.fill(Qt::gray);
    document.addResource(QTextDocument::ImageResource, QUrl(u"tall"_s), tall);
    QTextCursor cursor(&document);
    cursor.insertText(u"Przed"_s);
    cursor.insertBlock();
    cursor.insertImage(u"tall"_s);
    cursor.insertBlock();
    cursor.insertText(u"Po"_s);
    PreviewDocument pages;
    const QList<int> offsets = paginate(pages, &document);
    QCOMPARE(offsets.constLast(), -1);
    QVERIFY(pages.pageCount() >= 2 && pages.pageCount() <= 3);
    QStringList shown;
    for (int page = 0; page < pages.pageCount(); ++page)
        shown += visibleTexts(pages, page);
    QCOMPARE(shown, (QStringList {u"Przed"_s, u"Po"_s}));
}

void TestPreviewDocument::eventsOfBuilding()
{
    PreviewDocument pages;
    QStringList events;
    connect(&pages, &PreviewDocument::beginDocument, this, [&] { events.append(u"begin"_s); });
    connect(&pages, &PreviewDocument::newPageStarted, this, [&] {
        events.append(u"page %1"_s.arg(pages.pageCount() + 1));
        QVERIFY(pages.canvas());
    });
    connect(&pages, &PreviewDocument::endDocument, this,
            [&] { events.append(u"end %1"_s.arg(pages.pageCount())); });
    QSignalSpy changed(&pages, &PreviewDocument::pagesChanged);

    pages.beginDoc();
    QCOMPARE(pages.state(), PreviewDocument::State::Building);
    pages.newPage();
    pages.endDoc();
    QCOMPARE(events, (QStringList {u"begin"_s, u"page 1"_s, u"page 2"_s, u"end 2"_s}));
    QVERIFY(!pages.canvas());
    QVERIFY(changed.count() >= 3);
    // A second build discards the first one's pages.
    pages.beginDoc();
    QCOMPARE(pages.pageCount(), 0);
    pages.endDoc();
    QCOMPARE(pages.pageCount(), 1);
}

void TestPreviewDocument::printsRangeAsOneJob_data()
{
    QTest::addColumn<int>("from");
    QTest::addColumn<int>("to");
    QTest::addColumn<int>("printed");
    QTest::addColumn<QList<int>>("progress");

    QTest::newRow("pages 2 to 3") << 2 << 3 << 2 << QList<int> {2, 0, 2, 50, 3, 50, 3, 100};
    QTest::newRow("all three") << 1 << 3 << 3
                               << QList<int> {1, 0, 1, 33, 2, 33, 2, 66, 3, 66, 3, 100};
    QTest::newRow("range beyond the pages") << 3 << 9 << 1 << QList<int> {3, 0, 3, 100};
    QTest::newRow("empty range") << 3 << 2 << 0 << QList<int> {};
}

void TestPreviewDocument::printsRangeAsOneJob()
{
    QFETCH(int, from);
    QFETCH(int, to);
    QFETCH(int, printed);
    QFETCH(QList<int>, progress);
    QTextDocument document;
    fillLines(document, 25);
    PreviewDocument pages;
    paginate(pages, &document);
    QList<int> reported;
    connect(&pages, &PreviewDocument::printProgress, this, [&](int page, int percent) {
        QCOMPARE(pages.state(), PreviewDocument::State::Printing);
        reported << page << percent;
    });
    QSignalSpy before(&pages, &PreviewDocument::beforePrint);
    QSignalSpy after(&pages, &PreviewDocument::afterPrint);

    QTemporaryDir dir;
    const QString path = dir.filePath(u"job.pdf"_s);
    {
        QPdfWriter writer(path);
        writer.setPageLayout(
            QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait, QMarginsF()));
        QVERIFY(pages.print(&writer, from, to));
    }
    QCOMPARE(reported, progress);
    QCOMPARE(before.count(), printed > 0 ? 1 : 0);
    QCOMPARE(after.count(), printed > 0 ? 1 : 0);
    QCOMPARE(pages.state(), PreviewDocument::State::Idle);
    if (printed > 0) {
        const PdfPages pdf = pdfPages(path);
        QCOMPARE(pdf.count, printed);
        QVERIFY(pdf.allA4);
    }
}

void TestPreviewDocument::savesPdf()
{
    QTextDocument document;
    fillLines(document, 25);
    PreviewDocument pages;
    paginate(pages, &document);
    QTemporaryDir dir;
    const QString path = dir.filePath(u"dokument.pdf"_s);
    QString error;
    QVERIFY2(pages.savePdf(path, &error), qPrintable(error));
    const PdfPages pdf = pdfPages(path);
    QCOMPARE(pdf.count, 3);
    QVERIFY(pdf.allA4);
    // The text is in the file as text, not as pictures of it.
    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadOnly));
    QVERIFY(file.readAll().contains("/FontFile2"));
}

void TestPreviewDocument::failedPdfLeavesNoFile()
{
    QTemporaryDir dir;
    const QString locked = dir.filePath(u"zablokowany"_s);
    QVERIFY(QDir().mkdir(locked));
    const auto readable = QFile::ReadOwner | QFile::ExeOwner | QFile::ReadOther | QFile::ExeOther;
    QVERIFY(QFile::setPermissions(dir.path(), readable | QFile::WriteOwner));
    QVERIFY(QFile::setPermissions(locked, readable));
    PreviewDocument pages;
    pages.beginDoc();
    pages.endDoc();
    const QString path = QDir(locked).filePath(u"dokument.pdf"_s);
    {
        OrdinaryUser user;
        if (!user.canMeetReadOnlyFiles())
            QSKIP("a directory cannot be made unwritable for this user");
        QString error;
        QVERIFY(!pages.savePdf(path, &error));
        QVERIFY2(error.contains(QDir::toNativeSeparators(path)), qPrintable(error));
    }
    QCOMPARE(QDir(locked).entryList(QDir::NoDotAndDotDot | QDir::AllEntries | QDir::Hidden),
             QStringList());
    QFile::setPermissions(locked, readable | QFile::WriteOwner);
}

QTEST_MAIN(TestPreviewDocument)
#include "tst_previewdocument.moc"
