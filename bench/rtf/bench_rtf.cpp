// Reading and writing a large Polish RTF document, beside Qt's own HTML import
// of the same content as a yardstick.
//
//   bench_rtf [file.rtf] [runs]

#include "rtf/rtfreader.h"
#include "rtf/rtfwriter.h"

#include <QElapsedTimer>
#include <QFile>
#include <QGuiApplication>
#include <QTextDocument>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <vector>

namespace {

double medianMs(int runs, const std::function<void()> &work)
{
    std::vector<double> times;
    for (int i = 0; i < runs; ++i) {
        QElapsedTimer timer;
        timer.start();
        work();
        times.push_back(double(timer.nsecsElapsed()) / 1e6);
    }
    std::sort(times.begin(), times.end());
    return times[times.size() / 2];
}

void report(const char *what, double ms, qsizetype bytes)
{
    std::printf("%-34s %9.1f ms %9.1f MB/s\n", what, ms, double(bytes) / 1e6 / (ms / 1e3));
}

} // namespace

int main(int argc, char *argv[])
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    const QStringList args = QCoreApplication::arguments();
    const QString path = args.size() > 1 ? args.at(1) : QStringLiteral(VOLTARIS_RTF_BENCH_INPUT);
    const int runs = args.size() > 2 ? std::max(1, args.at(2).toInt()) : 5;

    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        std::fprintf(stderr, "bench_rtf: %s: %s\n", qPrintable(path),
                     qPrintable(file.errorString()));
        return 2;
    }
    const QByteArray rtf = file.readAll();

    QTextDocument document;
    QString error;
    if (!RtfReader::read(rtf, &document, &error))
        std::fprintf(stderr, "bench_rtf: %s\n", qPrintable(error));
    const QString html = document.toHtml();
    const QByteArray written = RtfWriter::write(document);

    std::printf("%s: %.2f MB of RTF, %lld characters, %d blocks; median of %d runs\n",
                qPrintable(path), double(rtf.size()) / 1e6, qlonglong(document.characterCount()),
                document.blockCount(), runs);

    const double readMs = medianMs(runs, [&] {
        QTextDocument d;
        RtfReader::read(rtf, &d);
    });
    const double htmlMs = medianMs(runs, [&] {
        QTextDocument d;
        d.setHtml(html);
    });
    const double writeMs = medianMs(runs, [&] { RtfWriter::write(document); });
    const double rereadMs = medianMs(runs, [&] {
        QTextDocument d;
        RtfReader::read(written, &d);
    });

    report("RtfReader::read", readMs, rtf.size());
    report("QTextDocument::setHtml (yardstick)", htmlMs, html.toUtf8().size());
    report("RtfWriter::write", writeMs, written.size());
    report("RtfReader::read of the writer's RTF", rereadMs, written.size());
    std::printf("reader vs setHtml: %.2fx faster\n", htmlMs / readMs);
    return 0;
}
