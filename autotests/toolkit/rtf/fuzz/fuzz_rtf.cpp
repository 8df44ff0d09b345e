// Feeds arbitrary bytes to the RTF reader, writes the result back and reads
// that again: no input may crash, hang or exhaust memory, and whatever the
// writer produces must read back without an error and with the same text.

#include "rtf/rtfreader.h"
#include "rtf/rtfwriter.h"

#include <QGuiApplication>
#include <QTextDocument>

#include <cstdint>
#include <cstdio>
#include <cstdlib>

extern "C" int LLVMFuzzerInitialize(int *argc, char ***argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    static QGuiApplication app(*argc, *argv);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const QByteArray input
        = QByteArray::fromRawData(reinterpret_cast<const char *>(data), qsizetype(size));
    QTextDocument document;
    RtfReader::read(input, &document);

    const QByteArray written = RtfWriter::write(document);
    QTextDocument again;
    QString error;
    if (!RtfReader::read(written, &again, &error)) {
        std::fprintf(stderr, "writer output does not read back: %s\n", qPrintable(error));
        std::abort();
    }
    if (RtfReader::plainText(again) != RtfReader::plainText(document)) {
        std::fprintf(stderr, "writer output reads back with another text\n");
        std::abort();
    }
    return 0;
}
