#pragma once

#include <QList>
#include <QSqlDatabase>
#include <QString>

// Thematic sets built from the user's mistakes. Like every draw, each is one
// transaction into test_T_zestaw: a failure, or a set that would be empty,
// leaves the table as it was.
namespace RetakeDraw {

// The questions of the finished set in the table that were answered wrong or
// left unanswered and are still in the bank, in a new random order. Returns
// the number of questions drawn; 0 changes nothing. Raises Error.
int wrongAnswers(const QSqlDatabase &database, const QString &sourceTable);

inline constexpr int PracticeSize = 20;

// Up to count questions of the sections, those answered wrong in any recorded
// test first, each group in random order; the set is then shuffled. Returns
// the number drawn; 0 changes nothing. Raises Error.
int weakestSections(const QSqlDatabase &database, const QList<int> &sections,
                    int count = PracticeSize);

} // namespace RetakeDraw
