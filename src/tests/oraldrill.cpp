#include "oraldrill.h"

#include "data/sql.h"

#include <QSqlQuery>

#include <algorithm>

namespace OralDrill {

namespace {

const QString DateFormat = QStringLiteral("yyyy-MM-dd");

QString placeholders(qsizetype count)
{
    QStringList marks;
    marks.fill(QStringLiteral("?"), count);
    return marks.join(u',');
}

} // namespace

int interval(int box)
{
    return 1 << (std::clamp(box, 1, Boxes) - 1);
}

BoxState schedule(const BoxState &state, Judgement judgement, const QDate &today)
{
    const int box = judgement == Judgement::Known ? std::min(state.box + 1, Boxes) : 1;
    return {box, today.addDays(interval(box))};
}

Group groupOf(const BoxState &state, const QDate &today)
{
    if (state.box == 0 || !state.due.isValid())
        return Group::New;
    if (state.due <= today || state.due > today.addDays(interval(Boxes)))
        return Group::Due;
    return Group::Rest;
}

QList<int> order(const QList<Candidate> &candidates, QChar variant, int count, const QDate &today,
                 QRandomGenerator &random)
{
    struct Key
    {
        Group group;
        qint64 overdue;
        bool other;
        quint32 draw;
        int id;
    };
    QList<Key> keys;
    keys.reserve(candidates.size());
    for (const Candidate &candidate : candidates) {
        const Group group = groupOf(candidate.state, today);
        // A date set by a clock turned back counts as due today.
        const qint64 overdue
            = group == Group::Due ? std::max<qint64>(0, candidate.state.due.daysTo(today)) : 0;
        keys.append({group, overdue, candidate.dla != variant, random.generate(), candidate.id});
    }
    std::sort(keys.begin(), keys.end(), [](const Key &a, const Key &b) {
        if (a.group != b.group)
            return a.group < b.group;
        if (a.overdue != b.overdue)
            return a.overdue > b.overdue;
        if (a.other != b.other)
            return !a.other;
        return a.draw < b.draw;
    });
    QList<int> ids;
    for (qsizetype i = 0; i < keys.size() && i < count; ++i)
        ids.append(keys.at(i).id);
    return ids;
}

QMap<int, int> availableCounts(const QSqlDatabase &database)
{
    QSqlQuery query = Sql::exec(
        database, QStringLiteral("SELECT id_dzial, count(*) FROM ustne_pytania GROUP BY id_dzial"));
    QMap<int, int> counts;
    while (query.next())
        counts.insert(query.value(0).toInt(), query.value(1).toInt());
    return counts;
}

QList<Candidate> candidates(const QSqlDatabase &database, const QList<int> &sections)
{
    QList<Candidate> list;
    if (sections.isEmpty())
        return list;
    QSqlQuery query = Sql::prepare(
        database,
        QStringLiteral("SELECT U.id_ustne, U.dla, P.pudelko, P.termin FROM ustne_pytania AS U "
                       "LEFT JOIN ustne_powtorki AS P ON P.id_ustne = U.id_ustne "
                       "WHERE U.id_dzial IN (%1) ORDER BY U.id_ustne")
            .arg(placeholders(sections.size())));
    for (int section : sections)
        query.addBindValue(section);
    Sql::exec(query);
    while (query.next()) {
        Candidate candidate;
        candidate.id = query.value(0).toInt();
        const QString dla = query.value(1).toString();
        candidate.dla = dla.isEmpty() ? QChar() : dla.front();
        if (!query.value(2).isNull()) {
            candidate.state.box = std::clamp(query.value(2).toInt(), 1, Boxes);
            candidate.state.due = QDate::fromString(query.value(3).toString(), DateFormat);
        }
        list.append(candidate);
    }
    return list;
}

QList<Question> load(const QSqlDatabase &database, const QList<int> &ids)
{
    QList<Question> questions;
    QSqlQuery question = Sql::prepare(
        database,
        QStringLiteral("SELECT U.id_dzial, U.pytanie, U.item_id, T.nazwa FROM ustne_pytania AS U "
                       "LEFT JOIN tree AS T ON T.item_id = U.item_id AND T.node_type_id = 1 "
                       "WHERE U.id_ustne = ?"));
    QSqlQuery points = Sql::prepare(
        database, QStringLiteral("SELECT tresc FROM ustne_punkty WHERE id_ustne = ? ORDER BY nr"));
    for (int id : ids) {
        question.addBindValue(id);
        Sql::exec(question);
        if (!question.next())
            continue;
        Question q;
        q.id = id;
        q.idDzial = question.value(0).toInt();
        q.text = question.value(1).toString();
        q.itemId = question.value(2).toInt();
        q.documentCaption = question.value(3).toString();
        question.finish();
        points.addBindValue(id);
        Sql::exec(points);
        while (points.next())
            q.points.append(points.value(0).toString());
        points.finish();
        questions.append(q);
    }
    return questions;
}

BoxState boxOf(const QSqlDatabase &database, int id)
{
    QSqlQuery query = Sql::prepare(
        database, QStringLiteral("SELECT pudelko, termin FROM ustne_powtorki WHERE id_ustne = ?"));
    query.addBindValue(id);
    Sql::exec(query);
    if (!query.next())
        return {};
    return {std::clamp(query.value(0).toInt(), 1, Boxes),
            QDate::fromString(query.value(1).toString(), DateFormat)};
}

void record(const QSqlDatabase &database, int id, Judgement judgement, const QDate &today)
{
    Sql::Transaction transaction(database);
    const BoxState next = schedule(boxOf(database, id), judgement, today);
    QSqlQuery query = Sql::prepare(
        database,
        QStringLiteral("INSERT OR REPLACE INTO ustne_powtorki (id_ustne, pudelko, termin) "
                       "VALUES (?, ?, ?)"));
    query.addBindValue(id);
    query.addBindValue(next.box);
    query.addBindValue(next.due.toString(DateFormat));
    Sql::exec(query);
    transaction.commit();
}

QMap<int, int> boxCounts(const QSqlDatabase &database)
{
    QMap<int, int> counts;
    for (int box = 0; box <= Boxes; ++box)
        counts.insert(box, 0);
    // Boxes of questions gone from the bank are not counted.
    QSqlQuery query = Sql::exec(
        database,
        QStringLiteral("SELECT coalesce(P.pudelko, 0), count(*) FROM ustne_pytania AS U "
                       "LEFT JOIN ustne_powtorki AS P ON P.id_ustne = U.id_ustne "
                       "GROUP BY 1"));
    while (query.next())
        counts[std::clamp(query.value(0).toInt(), 0, Boxes)] += query.value(1).toInt();
    return counts;
}

void Session::judge(Judgement judgement, const QDate &today)
{
    if (finished())
        return;
    const Question &question = current();
    if (judgement == Judgement::Known)
        ++m_known;
    else
        m_notKnown.append(question);
    m_pending.append({question.id, judgement, today});
    ++m_position;
}

void Session::skip()
{
    if (!finished())
        ++m_position;
}

void Session::writePending(const QSqlDatabase &database)
{
    while (!m_pending.isEmpty()) {
        const Pending &pending = m_pending.constFirst();
        record(database, pending.id, pending.judgement, pending.today);
        m_pending.removeFirst();
    }
}

} // namespace OralDrill
