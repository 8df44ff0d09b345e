#include "retakedraw.h"

#include "data/sql.h"

#include <QRandomGenerator>
#include <QSqlQuery>

#include <algorithm>

namespace RetakeDraw {

namespace {

struct Pick
{
    int idPytanie;
    QString correct;
};

// Replaces the thematic set with the picks in their order. Raises Error.
void writeSet(const QSqlDatabase &database, const QList<Pick> &picks)
{
    Sql::exec(database, QStringLiteral("DELETE FROM test_T_zestaw"));
    QSqlQuery insert = Sql::prepare(
        database,
        QStringLiteral(
            "INSERT INTO test_T_zestaw (id_pytanie, poprawna_odpowiedz, random) VALUES (?, ?, ?)"));
    int position = 0;
    for (const Pick &pick : picks) {
        insert.bindValue(0, pick.idPytanie);
        insert.bindValue(1, pick.correct);
        insert.bindValue(2, ++position);
        Sql::exec(insert);
    }
}

void shuffle(QList<Pick> &picks)
{
    std::shuffle(picks.begin(), picks.end(), *QRandomGenerator::global());
}

// Makes the picks, in a new order, the thematic set and commits; without
// picks the set stays as it was. Returns the number of questions. Raises Error.
int storeShuffled(const QSqlDatabase &database, Sql::Transaction &transaction, QList<Pick> picks)
{
    if (picks.isEmpty())
        return 0;
    shuffle(picks);
    writeSet(database, picks);
    transaction.commit();
    return int(picks.size());
}

} // namespace

int wrongAnswers(const QSqlDatabase &database, const QString &sourceTable)
{
    Sql::Transaction transaction(database);
    // The bank's right answer, not the set's: the content may have been refreshed since.
    QSqlQuery query = Sql::exec(
        database,
        QStringLiteral(
            "SELECT P.id_pytanie, P.poprawna_odpowiedz FROM \"%1\" AS Z JOIN test_pytania AS P "
            "ON P.id_pytanie = Z.id_pytanie WHERE Z.udzielona_odpowiedz IS NULL "
            "OR Z.udzielona_odpowiedz <> Z.poprawna_odpowiedz ORDER BY Z.lp")
            .arg(sourceTable));
    QList<Pick> picks;
    while (query.next())
        picks.append({query.value(0).toInt(), query.value(1).toString()});
    query.finish();
    return storeShuffled(database, transaction, picks);
}

int weakestSections(const QSqlDatabase &database, const QList<int> &sections, int count)
{
    if (sections.isEmpty() || count <= 0)
        return 0;
    QStringList codes;
    for (int code : sections)
        codes.append(QString::number(code));
    Sql::Transaction transaction(database);
    QSqlQuery query = Sql::exec(
        database,
        QStringLiteral("SELECT P.id_pytanie, P.poprawna_odpowiedz, EXISTS (SELECT 1 FROM "
                       "historia_odpowiedzi AS H "
                       "WHERE H.id_pytanie = P.id_pytanie AND (H.udzielona_odpowiedz IS NULL "
                       "OR H.udzielona_odpowiedz <> H.poprawna_odpowiedz)) FROM test_pytania AS P "
                       "WHERE P.id_dzial IN (%1)")
            .arg(codes.join(u',')));
    QList<Pick> missed;
    QList<Pick> others;
    while (query.next())
        (query.value(2).toInt() ? missed : others)
            .append({query.value(0).toInt(), query.value(1).toString()});
    query.finish();
    shuffle(missed);
    shuffle(others);
    QList<Pick> picks = missed.mid(0, count);
    picks += others.mid(0, count - picks.size());
    return storeShuffled(database, transaction, picks);
}

} // namespace RetakeDraw
