#pragma once

#include <QList>
#include <QMap>
#include <QSqlDatabase>
#include <QString>

#include <functional>

// A section of the thematic test: its code, the configuration step it is
// asked on (1 or 2) and its caption.
struct ThematicSection
{
    int idDzial;
    int step;
    const char16_t *caption;
};

namespace ThematicDraw {

// The 27 sections in ascending code: the order of the fields' table and of
// the questions in the test.
const QList<ThematicSection> &ThematicSections();

// The whole build in one transaction: empties test_T_zestaw, reshuffles the
// bank, then takes up to counts[code] questions of each section in section
// order. A failure rolls back and raises Error.
void run(const QSqlDatabase &database, const QMap<int, int> &counts,
         const std::function<void(const QString &)> &progress = {});

// How many questions the bank holds in each section, by code. Raises Error.
QMap<int, int> availableCounts(const QSqlDatabase &database);

} // namespace ThematicDraw
