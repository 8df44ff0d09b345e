// Building the print preview of a large document, with and without the
// coloured fill, beside Qt's own printing of the same document into a PDF
// file as the yardstick; then zooming and paging the built preview.
//
//   bench_preview [file.rtf] [runs]
//
// Each case runs in a process of its own, so that its peak memory is its own.

#include "benchutil.h"
#include "printing/form_printpreview.h"
#include "toolkit/printpreview.h"
#include "toolkit/rtfview.h"

#include <QApplication>
#include <QCheckBox>
#include <QFile>
#include <QPdfWriter>
#include <QProcess>
#include <QRegularExpression>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QTest>
#include <QTextDocument>

#include <cstdio>

namespace {

// The peak resident memory of this process so far, in MB.
double peakMb()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray &line : status.readAll().split('\n')) {
        if (line.startsWith("VmHWM:"))
            return line.mid(6).trimmed().split(' ').constFirst().toDouble() / 1024;
    }
    return -1;
}

int runCase(const QString &name, const QString &path, int runs)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        std::fprintf(stderr, "bench_preview: %s: %s\n", qPrintable(path),
                     qPrintable(file.errorString()));
        return 2;
    }
    RtfView viewer;
    viewer.setRtf(file.readAll());
    const double loaded = peakMb();
    QTemporaryDir dir;

    int pages = 0;
    double ms = 0;
    if (name == QLatin1String("yardstick")) {
        ms = medianMs(runs, [&] {
            QPdfWriter writer(dir.filePath(QStringLiteral("qt.pdf")));
            writer.setPageSize(QPageSize(QPageSize::A4));
            viewer.document()->print(&writer);
        });
        QFile pdf(dir.filePath(QStringLiteral("qt.pdf")));
        if (pdf.open(QIODevice::ReadOnly))
            pages = int(QString::fromLatin1(pdf.readAll())
                            .count(QRegularExpression(QStringLiteral("/Type\\s*/Page(?!s)"))));
    } else if (name == QLatin1String("colour") || name == QLatin1String("white")) {
        ms = medianMs(runs, [&] {
            TF_PreviewForm form(&viewer);
            form.setDocColor(QColor(255, 255, 229));
            form.findChild<QCheckBox *>(QStringLiteral("CB_WhiteBgk"))
                ->setChecked(name == QLatin1String("white"));
            form.BuildPreviewPages();
            pages = form.preview()->pageCount();
        });
    } else if (name == QLatin1String("view")) {
        // A built preview, zoomed and paged: the pages are replayed, the
        // text is not laid out again.
        TF_PreviewForm form(&viewer);
        form.setDocColor(QColor(255, 255, 229));
        form.BuildPreviewPages();
        form.resize(1000, 760);
        form.show();
        PrintPreview *preview = form.preview();
        pages = preview->pageCount();
        if (!QTest::qWaitForWindowExposed(&form))
            return 1;
        int shownPixels = 0;
        for (int zoom : {50, 100, 200, 400}) {
            const double shown = medianMs(runs, [&] {
                preview->setZoom(zoom);
                preview->setCurrentPage(preview->currentPage() % pages + 1);
                shownPixels += preview->viewport()->grab().width();
            });
            std::printf("  zoom %3d %%, next page shown   %8.1f ms\n", zoom, shown);
        }
        const double scrolled = medianMs(runs, [&] {
            preview->verticalScrollBar()->setValue(preview->verticalScrollBar()->value() + 100);
            shownPixels += preview->viewport()->grab().width();
        });
        std::printf("  scrolled at 400 %%             %8.1f ms\n", scrolled);
        if (shownPixels == 0)
            return 1;
        // The white background asked for on the shown window: the pages are
        // built again while the window shows them, tabs and thumbnails included.
        auto *white = form.findChild<QCheckBox *>(QStringLiteral("CB_WhiteBgk"));
        const double rebuilt = medianMs(runs, [&] {
            white->setChecked(!white->isChecked());
            form.CB_WhiteBgkClick();
        });
        std::printf("  white background switched     %8.1f ms\n", rebuilt);
        form.hide();
        const double hidden = medianMs(runs, [&] {
            white->setChecked(!white->isChecked());
            form.CB_WhiteBgkClick();
        });
        std::printf("  the same, window hidden       %8.1f ms\n", hidden);
        const double pdf = medianMs(runs, [&] {
            QString error;
            if (!preview->pages()->savePdf(dir.filePath(QStringLiteral("preview.pdf")), &error))
                std::fprintf(stderr, "%s\n", qPrintable(error));
        });
        std::printf("  all pages into a PDF          %8.1f ms (%.1f MB)\n", pdf,
                    double(QFile(dir.filePath(QStringLiteral("preview.pdf"))).size()) / 1e6);
        ms = 0;
    } else {
        std::fprintf(stderr, "bench_preview: unknown case %s\n", qPrintable(name));
        return 2;
    }
    std::printf("%-10s %6d pages %10.1f ms   peak %6.1f MB (%.1f MB with the document loaded)\n",
                qPrintable(name), pages, ms, peakMb(), loaded);
    return 0;
}

} // namespace

int main(int argc, char *argv[])
{
    drawOffscreenByDefault();
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Voltaris"));
    QStringList args = QCoreApplication::arguments();
    if (args.size() > 2 && args.at(1) == QLatin1String("--case"))
        return runCase(args.at(2), args.value(3), args.value(4).toInt());

    const QString path = args.size() > 1 ? args.at(1) : QStringLiteral(VOLTARIS_RTF_BENCH_INPUT);
    const int runs = args.size() > 2 ? std::max(1, args.at(2).toInt()) : 3;
    std::printf("%s, medians of %d runs\n", qPrintable(path), runs);
    std::fflush(stdout);
    for (const char *name : {"yardstick", "colour", "white", "view"}) {
        QProcess child;
        child.setProcessChannelMode(QProcess::ForwardedChannels);
        child.start(QCoreApplication::applicationFilePath(),
                    {QStringLiteral("--case"), QLatin1String(name), path, QString::number(runs)});
        if (!child.waitForFinished(-1) || child.exitCode() != 0)
            return 1;
    }
    return 0;
}
