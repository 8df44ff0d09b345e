// Drawing tests from a bank of 32,767 questions on a database file on disk:
// a full exam draw (one transaction), the same draw with the keys posted row
// by row without a transaction, and a thematic draw asking 150 of every
// section.
//
//   bench_draws [runs]

#include "benchutil.h"
#include "benchdatabase.h"
#include "data/schema.h"
#include "data/shuffle.h"
#include "data/sql.h"
#include "tests/examdraw.h"
#include "tests/thematicdraw.h"
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

namespace {

constexpr int BankSize = 32767;


void fillBank(const QSqlDatabase &db)
{
    static const int codes[] = {1,  3,  4,  5,  6,  7,  8,  9,  10, 11, 12, 13, 14, 15, 16,
                                17, 18, 19, 21, 22, 23, 24, 25, 27, 28, 29, 30, 31, 32};
    Sql::Transaction transaction(db);
    QSqlQuery insert = Sql::prepare(db, QStringLiteral("INSERT INTO test_pytania (id_pytanie, pytanie, odp_A, odp_B, odp_C, "
                                                       "poprawna_odpowiedz, id_dzial) VALUES (?, ?, ?, ?, ?, ?, ?)"));
    for (int id = 1; id <= BankSize; ++id) {
        insert.bindValue(0, id);
        insert.bindValue(1, QByteArray("{\\rtf1 Pytanie}"));
        insert.bindValue(2, QStringLiteral("{\\rtf1 A}"));
        insert.bindValue(3, QStringLiteral("{\\rtf1 B}"));
        insert.bindValue(4, QStringLiteral("{\\rtf1 C}"));
        insert.bindValue(5, QStringLiteral("ABC").mid(id % 3, 1));
        insert.bindValue(6, codes[id % std::size(codes)]);
        Sql::exec(insert);
    }
    transaction.commit();
}

// The exam draw as first designed: no transaction, every key posted on its own.
void examDrawRowByRow(const QSqlDatabase &db, const ExamTestConfig &config)
{
    Sql::exec(db, QStringLiteral("DELETE FROM test_zestaw"));
    rebuildKeysRowByRow(db, MaxColumnValue(db, QStringLiteral("test_pytania"), QStringLiteral("id_pytanie")));
    for (const DrawStatement &statement : ExamDraw::statements(config))
        runDrawStatement(db, statement);
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication application(argc, argv);
    const int runs = argc > 1 ? std::max(1, atoi(argv[1])) : 5;
    QTemporaryDir dir;
    try {
        const QSqlDatabase db = openBenchDatabase(dir);
        fillBank(db);
        const ExamTestConfig config;
        const double exam = medianMs(runs, [&] { ExamDraw::run(db, config); });
        QMap<int, int> counts;
        for (const ThematicSection &section : ThematicDraw::ThematicSections())
            counts.insert(section.idDzial, 150);
        const double thematic = medianMs(runs, [&] { ThematicDraw::run(db, counts); });
        const int rowByRowRuns = std::min(runs, 3);
        const double rowByRow = medianMs(rowByRowRuns, [&] { examDrawRowByRow(db, config); });
        const int thematicRows = MaxColumnValue(db, QStringLiteral("test_T_zestaw"), QStringLiteral("lp"));
        std::printf("bank of %d questions\n", BankSize);
        std::printf("  exam draw (25 questions), one transaction:  %8.1f ms  (median of %d)\n", exam, runs);
        std::printf("  thematic draw, 150 of each section (%d):    %8.1f ms  (median of %d)\n", thematicRows, thematic, runs);
        std::printf("  exam draw, keys posted row by row:          %8.1f ms  (median of %d)\n", rowByRow, rowByRowRuns);
        std::printf("  ratio row by row / one transaction:         %8.0f\n", rowByRow / exam);
    } catch (const Error &error) {
        std::fprintf(stderr, "%s\n", qPrintable(error.message()));
        return 1;
    }
    return 0;
}
