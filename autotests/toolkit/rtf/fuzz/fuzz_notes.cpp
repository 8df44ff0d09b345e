// Feeds arbitrary bytes as a user's editing of a note: what is typed and
// formatted must survive saving and loading, and a second save must equal
// the first.

#include "rtfroundtrip.h"

#include <QApplication>

#include <cstdint>
#include <cstdio>
#include <cstdlib>

extern "C" int LLVMFuzzerInitialize(int *argc, char ***argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    static QApplication app(*argc, *argv);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    static NotesRoundTrip notes;
    const QString failure
        = notes.check(QByteArrayView(reinterpret_cast<const char *>(data), qsizetype(size)));
    if (!failure.isEmpty()) {
        std::fprintf(stderr, "%s\n", qPrintable(failure));
        std::abort();
    }
    return 0;
}
