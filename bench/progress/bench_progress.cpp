// The page "Postępy" over a long history: 10,000 finished tests of 25
// questions (250,000 answers), all within the last 30 days so that the
// section shares read every answer. Times opening the page (reading the
// history, filling the list and both charts, painting it) and drawing the
// practice test of the five weakest sections.
//
//   bench_progress [runs]

#include "benchdatabase.h"
#include "benchutil.h"
#include "data/database.h"
#include "data/sql.h"
#include "tests/history.h"
#include "tests/progresspage.h"
#include "tests/retakedraw.h"
#include "toolkit/error.h"

#include <QApplication>
#include <QDateTime>
#include <QRandomGenerator>
#include <QSqlQuery>
#include <QTemporaryDir>

#include <cstdio>

namespace {

constexpr int BankSize = 3000;
constexpr int Tests = 10000;
constexpr int QuestionsPerTest = 25;

const int Codes[] = {1,  3,  4,  5,  6,  7,  8,  9,  10, 11, 12, 13, 14, 15, 16,
                     17, 18, 19, 21, 22, 23, 24, 25, 27, 28, 29, 30, 31, 32};

int codeOf(int id)
{
    return Codes[id % std::size(Codes)];
}

void fill(const QSqlDatabase &db)
{
    Sql::Transaction transaction(db);
    QSqlQuery question
        = Sql::prepare(db,
                       QStringLiteral("INSERT INTO test_pytania (id_pytanie, poprawna_odpowiedz, "
                                      "id_dzial) VALUES (?, 'A', ?)"));
    for (int id = 1; id <= BankSize; ++id) {
        question.bindValue(0, id);
        question.bindValue(1, codeOf(id));
        Sql::exec(question);
    }
    QSqlQuery test = Sql::prepare(db,
                                  QStringLiteral("INSERT INTO historia_testow (id_testu, data, "
                                                 "rodzaj, pytan, poprawne, bledne, procent, zdany) "
                                                 "VALUES (?, ?, ?, 25, ?, ?, ?, ?)"));
    QSqlQuery answer = Sql::prepare(
        db, QStringLiteral("INSERT INTO historia_odpowiedzi VALUES (?, ?, ?, ?, 'A', ?)"));
    QRandomGenerator random(14);
    const QDateTime now = QDateTime::currentDateTime();
    for (int t = 1; t <= Tests; ++t) {
        int right = 0;
        for (int lp = 1; lp <= QuestionsPerTest; ++lp) {
            const int id = 1 + int(random.bounded(BankSize));
            // Each section has its own difficulty, so that some are weaker.
            const bool ok = int(random.bounded(100)) < 50 + codeOf(id);
            right += ok;
            answer.bindValue(0, t);
            answer.bindValue(1, lp);
            answer.bindValue(2, id);
            answer.bindValue(3, codeOf(id));
            answer.bindValue(4, ok ? QStringLiteral("A") : QStringLiteral("B"));
            Sql::exec(answer);
        }
        const int percent = right * 100 / QuestionsPerTest;
        test.bindValue(0, t);
        test.bindValue(
            1,
            now.addSecs(-qint64(Tests - t) * 250).toString(QStringLiteral("yyyy-MM-dd HH:mm:ss")));
        test.bindValue(2, 1 + t % 4);
        test.bindValue(3, right);
        test.bindValue(4, QuestionsPerTest - right);
        test.bindValue(5, percent);
        test.bindValue(6, percent >= 70 ? 1 : 0);
        Sql::exec(test);
    }
    transaction.commit();
}

} // namespace

int main(int argc, char *argv[])
{
    drawOffscreenByDefault();
    QApplication application(argc, argv);
    const int runs = runsArgument(argc, argv);
    QTemporaryDir dir;
    try {
        fill(openBenchDatabase(dir));
        Database::open(dir.path());
        ProgressPage page;
        page.resize(900, 700);
        page.show();
        const double open = medianMs(runs, [&] {
            page.refresh();
            page.grab();
        });
        const double read = medianMs(runs, [&] { page.refresh(); });
        const QSqlDatabase db = Database::connection();
        const double entries = medianMs(runs, [&] { History::entries(db); });
        const double shares = medianMs(runs, [&] {
            History::sectionShares(db, QDateTime::currentDateTime().addDays(-History::RecentDays));
        });
        const QList<int> weakest = page.weakest();
        int drawn = 0;
        const double practice = medianMs(
            runs, [&] { drawn = RetakeDraw::weakestSections(Database::connection(), weakest); });
        std::printf("history: %d tests, %d answers; list rows %lld, sections %lld, weakest %lld\n",
                    Tests, Tests * QuestionsPerTest, qlonglong(page.entries().size()),
                    qlonglong(page.shares().size()), qlonglong(weakest.size()));
        std::printf("open the page (read, list, both charts, paint): median of %d %8.1f ms  (goal "
                    "200 ms, %.2fx of it)\n",
                    runs, open, open / 200.0);
        std::printf("  of which reading and filling only:            median of %d %8.1f ms\n", runs,
                    read);
        std::printf("  reading the list:                             median of %d %8.1f ms\n", runs,
                    entries);
        std::printf("  reading the section shares:                   median of %d %8.1f ms\n", runs,
                    shares);
        std::printf("draw \"Ćwicz najsłabsze działy\" (%d questions):  median of %d %8.1f ms  "
                    "(goal 100 ms, %.2fx of it)\n",
                    drawn, runs, practice, practice / 100.0);
        Database::close();
    } catch (const Error &error) {
        std::fprintf(stderr, "%s\n", qPrintable(error.message()));
        return 1;
    }
    return 0;
}
