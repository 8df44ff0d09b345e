// What an installed program spends at start on the user's copy of the
// database, on the delivered database the build made: the first start
// (copy), an ordinary start (checking the copy, comparing stamps) and the
// first start after an upgrade (refreshing the content).
//
//   bench_datalocation [runs] [delivered qmx_vemora.db]

#include "benchutil.h"
#include "data/datalocation.h"
#include "data/filedatabase.h"
#include "data/sql.h"
#include "toolkit/error.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLoggingCategory>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>

namespace {

void check(const DataLocation &location)
{
    if (!location.problems().isEmpty() || !location.userCopy())
        throw Error(location.problems().join(u'\n'));
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication application(argc, argv);
    QLoggingCategory::setFilterRules(QStringLiteral("voltaris.data.location.info=false"));
    const int runs = argc > 1 ? std::max(1, atoi(argv[1])) : 5;
    const QString delivered = argc > 2 ? QString::fromLocal8Bit(argv[2])
                                       : QDir(QCoreApplication::applicationDirPath())
                                             .filePath(QStringLiteral("../bin/db/qmx_vemora.db"));
    try {
        if (!QFileInfo::exists(delivered))
            throw Error(delivered
                        + QStringLiteral(": no delivered database; build the program first"));
        QTemporaryDir dir;
        const QString program = dir.filePath(QStringLiteral("program"));
        QDir().mkpath(program + QStringLiteral("/db"));
        QFile::copy(delivered, program + QStringLiteral("/db/qmx_vemora.db"));
        const QString userData = dir.filePath(QStringLiteral("home"));
        const QString user = userData + QStringLiteral("/db/qmx_vemora.db");
        const DataLocation::Paths paths {program, userData, true};

        std::printf("Preparing the user's copy of a %.1f MB database, median of %d runs\n",
                    double(QFileInfo(delivered).size()) / 1e6, runs);
        const double first = medianMs(runs, [&] {
            QFile::remove(user);
            check(DataLocation::prepare(paths));
        });
        std::printf("  first start (copy):               %8.2f ms\n", first);
        const double ordinary = medianMs(runs, [&] { check(DataLocation::prepare(paths)); });
        std::printf("  ordinary start (check, stamps):   %8.2f ms\n", ordinary);
        const double upgrade = medianMs(runs, [&] {
            {
                const FileDatabase copy(user, FileDatabase::Mode::ReadWrite);
                Sql::exec(copy.database(),
                          QStringLiteral("UPDATE voltaris_info SET wartosc = 'older'"));
            }
            check(DataLocation::prepare(paths));
        });
        std::printf("  start after an upgrade (refresh): %8.2f ms\n", upgrade);
    } catch (const Error &error) {
        std::fprintf(stderr, "%s\n", qPrintable(error.message()));
        return 1;
    }
    return 0;
}
