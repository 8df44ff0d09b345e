// rtfcat: shows an RTF file the way our reader sees it, for debugging and for
// comparing with other converters.

#include "rtf/rtfreader.h"
#include "rtf/rtfwriter.h"

#include <QCommandLineParser>
#include <QFile>
#include <QGuiApplication>
#include <QTextDocument>

#include <cstdio>

int main(int argc, char *argv[])
{
    // A command-line tool never shows a window.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("rtfcat"));

    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral("Prints the plain text of an RTF file as the Voltaris reader sees it."));
    parser.addHelpOption();
    const QCommandLineOption htmlOption(QStringLiteral("html"),
                                        QStringLiteral("Print the document as HTML."));
    const QCommandLineOption rtfOption(QStringLiteral("rtf"),
                                       QStringLiteral("Write the document back as RTF."));
    parser.addOption(htmlOption);
    parser.addOption(rtfOption);
    parser.addPositionalArgument(QStringLiteral("file"),
                                 QStringLiteral("The RTF file; standard input when absent or -."));
    parser.process(app);

    const QStringList files = parser.positionalArguments();
    QFile file;
    bool opened = false;
    if (files.isEmpty() || files.first() == QLatin1String("-")) {
        opened = file.open(stdin, QIODevice::ReadOnly);
    } else {
        file.setFileName(files.first());
        opened = file.open(QIODevice::ReadOnly);
    }
    if (!opened) {
        std::fprintf(stderr, "rtfcat: %s\n", qPrintable(file.errorString()));
        return 2;
    }
    const QByteArray data = file.readAll();

    QTextDocument document;
    QString error;
    const bool complete = RtfReader::read(data, &document, &error);
    if (!complete)
        std::fprintf(stderr, "rtfcat: %s\n", qPrintable(error));

    QByteArray out;
    if (parser.isSet(rtfOption))
        out = RtfWriter::write(document);
    else if (parser.isSet(htmlOption))
        out = document.toHtml().toUtf8();
    else
        out = RtfReader::plainText(document).toUtf8() + '\n';
    std::fwrite(out.constData(), 1, size_t(out.size()), stdout);
    return complete ? 0 : 1;
}
