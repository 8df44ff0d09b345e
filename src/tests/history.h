#pragma once

#include "testset.h"

#include <QDateTime>
#include <QList>
#include <QSqlDatabase>
#include <QString>

// The record of every scored test and what it says about the sections: the
// share of right answers and the weakest of them.
namespace History {

enum class Kind { Exam = 1, Thematic = 2, Retake = 3, WeakestSections = 4, OralDrill = 5 };

QString kindName(Kind kind);

struct Entry
{
    qint64 id = 0;
    QDateTime when;
    Kind kind = Kind::Exam;
    int questions = 0;
    int right = 0;
    int wrong = 0;
    int percent = 0;
    bool passed = false;
};

// Records the scored set of the table with each of its questions, in one
// transaction. A failure records nothing and raises Error.
qint64 record(const QSqlDatabase &database, const QString &table, Kind kind,
              const Scoring::Result &result, const QDateTime &when = QDateTime::currentDateTime());

// Records an oral drill: the questions asked, those known and those not known.
// Raises Error.
qint64 recordOralDrill(const QSqlDatabase &database, int asked, int known, int notKnown,
                       const QDateTime &when = QDateTime::currentDateTime());

// Every recorded test, newest first. Raises Error.
QList<Entry> entries(const QSqlDatabase &database);

struct SectionShare
{
    int idDzial = 0;
    int right = 0;
    int answers = 0;

    // Per cent of right answers.
    double percent() const { return answers > 0 ? 100.0 * right / answers : 0.0; }
};

// Right answers per section among the tests recorded at or after the moment,
// sections in ascending code; questions whose section is unknown are left
// out. Raises Error.
QList<SectionShare> sectionShares(const QSqlDatabase &database, const QDateTime &since);

inline constexpr int WeakestCount = 5;
inline constexpr int RecentDays = 30;

// The codes of the sections with the lowest shares, weakest first; among equal
// shares the one answered more often comes first, then the lower code.
QList<int> weakest(const QList<SectionShare> &shares, int count = WeakestCount);

// Removes every recorded test. Raises Error.
void clear(const QSqlDatabase &database);

// A section's caption for charts and lists; a code without one gets "Dział <code>".
QString sectionCaption(int idDzial);

} // namespace History
