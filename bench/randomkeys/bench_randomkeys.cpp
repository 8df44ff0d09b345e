// Rebuilding the question shuffle keys, as every draw of a test does, on a
// database file on disk: the way the program does it (one transaction, one
// prepared statement) against posting every row on its own.
//
//   bench_randomkeys [runs]

#include "benchutil.h"
#include "benchdatabase.h"
#include "data/schema.h"
#include "data/shuffle.h"
#include "data/sql.h"
#include "toolkit/error.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QRandomGenerator>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <functional>

int main(int argc, char *argv[])
{
    QCoreApplication application(argc, argv);
    const int runs = argc > 1 ? std::max(1, atoi(argv[1])) : 5;

    QTemporaryDir dir;
    try {
        const QSqlDatabase db = openBenchDatabase(dir);
        std::printf("RebuildRandomKeys, one transaction, median of %d runs\n", runs);
        for (int n : {1000, 10000, 32767}) {
            const double ms = medianMs(runs, [&] {
                RebuildRandomKeys(db, QStringLiteral("test_pytania_random"), QStringLiteral("random"),
                                  QStringLiteral("id_pytanie"), n);
            });
            std::printf("  n = %5d: %8.2f ms  (%.2f us a key)\n", n, ms, ms * 1000 / n);
        }
        const int n = 2000;
        const double fast = medianMs(runs, [&] {
            RebuildRandomKeys(db, QStringLiteral("test_pytania_random"), QStringLiteral("random"),
                              QStringLiteral("id_pytanie"), n);
        });
        const double slow = medianMs(runs, [&] { rebuildKeysRowByRow(db, n); });
        std::printf("n = %d row by row without a transaction: %.2f ms, one transaction: %.2f ms, "
                    "ratio %.0f\n",
                    n, slow, fast, slow / fast);
    } catch (const Error &error) {
        std::fprintf(stderr, "%s\n", qPrintable(error.message()));
        return 1;
    }
    return 0;
}
