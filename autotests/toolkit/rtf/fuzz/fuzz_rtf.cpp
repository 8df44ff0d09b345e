// Feeds arbitrary bytes to the RTF reader, writes the result back and reads
// that again: no input may crash, hang or exhaust memory, and whatever the
// writer produces must read back without an error and with the same text.

#include "rtfroundtrip.h"

#include <QGuiApplication>

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
    const QString failure
        = checkRtfRoundTrip(QByteArrayView(reinterpret_cast<const char *>(data), qsizetype(size)));
    if (!failure.isEmpty()) {
        std::fprintf(stderr, "%s\n", qPrintable(failure));
        std::abort();
    }
    return 0;
}
