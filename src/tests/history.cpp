#include "history.h"

#include "data/sql.h"
#include "thematicdraw.h"

#include <QSqlQuery>

#include <algorithm>

namespace History {

namespace {

const QString DateFormat = QStringLiteral("yyyy-MM-dd HH:mm:ss");

// Reads what DateFormat writes; parsing by format is slow over a long history.
QDateTime parseDate(const QString &text)
{
    const QStringView s(text);
    if (s.size() != 19)
        return QDateTime::fromString(text, DateFormat);
    const auto number
        = [&](qsizetype from, qsizetype length) { return s.mid(from, length).toInt(); };
    return QDateTime(QDate(number(0, 4), number(5, 2), number(8, 2)),
                     QTime(number(11, 2), number(14, 2), number(17, 2)));
}

} // namespace

QString kindName(Kind kind)
{
    switch (kind) {
    case Kind::Exam:
        return QStringLiteral("Egzaminacyjny");
    case Kind::Thematic:
        return QStringLiteral("Tematyczny");
    case Kind::Retake:
        return QStringLiteral("Powtórka błędnych");
    case Kind::WeakestSections:
        return QStringLiteral("Najsłabsze działy");
    case Kind::OralDrill:
        return QStringLiteral("Egzamin ustny");
    }
    return {};
}

qint64 record(const QSqlDatabase &database, const QString &table, Kind kind,
              const Scoring::Result &result, const QDateTime &when)
{
    Sql::Transaction transaction(database);
    QSqlQuery test = Sql::prepare(
        database,
        QStringLiteral(
            "INSERT INTO historia_testow (data, rodzaj, pytan, poprawne, bledne, procent, zdany) "
            "VALUES (?, ?, (SELECT count(*) FROM \"%1\"), ?, ?, ?, ?)")
            .arg(table));
    test.addBindValue(when.toString(DateFormat));
    test.addBindValue(int(kind));
    test.addBindValue(result.right);
    test.addBindValue(result.wrong);
    test.addBindValue(result.percent);
    test.addBindValue(result.passed ? 1 : 0);
    Sql::exec(test);
    const qint64 id = test.lastInsertId().toLongLong();
    QSqlQuery answers = Sql::prepare(
        database,
        QStringLiteral(
            "INSERT INTO historia_odpowiedzi (id_testu, lp, id_pytanie, id_dzial, "
            "poprawna_odpowiedz, "
            "udzielona_odpowiedz) SELECT ?, Z.lp, Z.id_pytanie, P.id_dzial, Z.poprawna_odpowiedz, "
            "Z.udzielona_odpowiedz FROM \"%1\" AS Z LEFT JOIN test_pytania AS P "
            "ON P.id_pytanie = Z.id_pytanie")
            .arg(table));
    answers.addBindValue(id);
    Sql::exec(answers);
    transaction.commit();
    return id;
}

qint64 recordOralDrill(const QSqlDatabase &database, int asked, int known, int notKnown,
                       const QDateTime &when)
{
    const int judged = known + notKnown;
    const int percent = judged > 0 ? known * 100 / judged : 0;
    QSqlQuery query = Sql::prepare(
        database,
        QStringLiteral(
            "INSERT INTO historia_testow (data, rodzaj, pytan, poprawne, bledne, procent, zdany) "
            "VALUES (?, ?, ?, ?, ?, ?, ?)"));
    query.addBindValue(when.toString(DateFormat));
    query.addBindValue(int(Kind::OralDrill));
    query.addBindValue(asked);
    query.addBindValue(known);
    query.addBindValue(notKnown);
    query.addBindValue(percent);
    query.addBindValue(judged > 0 && percent >= Scoring::PassMark ? 1 : 0);
    Sql::exec(query);
    return query.lastInsertId().toLongLong();
}

QList<Entry> entries(const QSqlDatabase &database)
{
    QSqlQuery query = Sql::exec(database,
                                QStringLiteral("SELECT id_testu, data, rodzaj, pytan, poprawne, "
                                               "bledne, procent, zdany FROM historia_testow "
                                               "ORDER BY data DESC, id_testu DESC"));
    QList<Entry> list;
    while (query.next()) {
        Entry entry;
        entry.id = query.value(0).toLongLong();
        entry.when = parseDate(query.value(1).toString());
        entry.kind = Kind(query.value(2).toInt());
        entry.questions = query.value(3).toInt();
        entry.right = query.value(4).toInt();
        entry.wrong = query.value(5).toInt();
        entry.percent = query.value(6).toInt();
        entry.passed = query.value(7).toInt() != 0;
        list.append(entry);
    }
    return list;
}

QList<SectionShare> sectionShares(const QSqlDatabase &database, const QDateTime &since)
{
    // Summed here rather than grouped by the engine, which would sort every answer first.
    QSqlQuery query = Sql::prepare(
        database,
        QStringLiteral(
            "SELECT O.id_dzial, O.udzielona_odpowiedz = O.poprawna_odpowiedz "
            "FROM historia_testow AS T JOIN historia_odpowiedzi AS O ON O.id_testu = T.id_testu "
            "WHERE T.data >= ? AND O.id_dzial IS NOT NULL"));
    query.setForwardOnly(true);
    query.addBindValue(since.toString(DateFormat));
    Sql::exec(query);
    QMap<int, SectionShare> byCode;
    while (query.next()) {
        const int code = query.value(0).toInt();
        SectionShare &share = byCode[code];
        share.idDzial = code;
        share.right += query.value(1).toInt();
        ++share.answers;
    }
    return byCode.values();
}

QList<int> weakest(const QList<SectionShare> &shares, int count)
{
    QList<SectionShare> sorted;
    for (const SectionShare &share : shares) {
        if (share.answers > 0)
            sorted.append(share);
    }
    // Compared as cross products, so that equal shares are equal exactly.
    std::sort(sorted.begin(), sorted.end(), [](const SectionShare &a, const SectionShare &b) {
        const qint64 left = qint64(a.right) * b.answers;
        const qint64 right = qint64(b.right) * a.answers;
        if (left != right)
            return left < right;
        if (a.answers != b.answers)
            return a.answers > b.answers;
        return a.idDzial < b.idDzial;
    });
    QList<int> codes;
    for (qsizetype i = 0; i < sorted.size() && i < count; ++i)
        codes.append(sorted.at(i).idDzial);
    return codes;
}

void clear(const QSqlDatabase &database)
{
    Sql::Transaction transaction(database);
    Sql::exec(database, QStringLiteral("DELETE FROM historia_odpowiedzi"));
    Sql::exec(database, QStringLiteral("DELETE FROM historia_testow"));
    transaction.commit();
}

QString sectionCaption(int idDzial)
{
    for (const ThematicSection &section : ThematicDraw::ThematicSections()) {
        if (section.idDzial == idDzial)
            return QString::fromUtf16(section.caption).trimmed();
    }
    return QStringLiteral("Dział %1").arg(idDzial);
}

} // namespace History
