#include "testset.h"

#include "data/sql.h"

#include <QSqlQuery>

const TestMode &TestMode::exam()
{
    static const TestMode mode{QStringLiteral("test_zestaw"), QString(), 1, 2, 3,
                               QStringLiteral("NP_Test_0"), QStringLiteral("NP_Test_1"),
                               QStringLiteral("NP_Test_2"), QStringLiteral("JvBmpAnimator_Ok"),
                               QStringLiteral("JvBmpAnimator_No"), QStringLiteral("S_Test_2_Bkg")};
    return mode;
}

const TestMode &TestMode::thematic()
{
    static const TestMode mode{QStringLiteral("test_T_zestaw"), QStringLiteral("_T"), 2, 3, 4,
                               QStringLiteral("NP_TestT_0"), QStringLiteral("NP_TestT_2"),
                               QStringLiteral("NP_TestT_3"), QStringLiteral("JvBmpAnimator_T_Ok"),
                               QStringLiteral("JvBmpAnimator_T_No"), QStringLiteral("S_TestT_3_Bkg")};
    return mode;
}

namespace {

QString quoted(const QString &table)
{
    return u'"' + table + u'"';
}

} // namespace

void TestSet::open(const QSqlDatabase &database)
{
    close();
    QSqlQuery query = Sql::exec(database, QStringLiteral("SELECT lp, id_pytanie, poprawna_odpowiedz, "
                                                         "udzielona_odpowiedz FROM ")
                                                  + quoted(m_table) + QStringLiteral(" ORDER BY lp"));
    while (query.next())
        m_rows.append({query.value(0).toInt(), query.value(1).toInt(), query.value(2).toString(),
                       query.value(3).toString()});
    m_open = true;
    m_current = m_rows.isEmpty() ? -1 : 0;
}

void TestSet::close()
{
    m_rows.clear();
    m_current = -1;
    m_open = false;
}

bool TestSet::locate(int lp)
{
    // The rows are numbered 1 to n, but a set someone edited by hand need not be.
    for (qsizetype i = 0; i < m_rows.size(); ++i) {
        if (m_rows.at(i).lp == lp) {
            m_current = i;
            return true;
        }
    }
    return false;
}

const SetRow *TestSet::current() const
{
    return m_current >= 0 ? &m_rows.at(m_current) : nullptr;
}

void TestSet::postAnswer(const QSqlDatabase &database, const QString &letter)
{
    if (m_current < 0)
        return;
    QSqlQuery update = Sql::prepare(database, QStringLiteral("UPDATE ") + quoted(m_table)
                                                      + QStringLiteral(" SET udzielona_odpowiedz = ? WHERE lp = ?"));
    update.bindValue(0, letter);
    update.bindValue(1, m_rows.at(m_current).lp);
    Sql::exec(update);
    m_rows[m_current].given = letter;
}

Question loadQuestion(const QSqlDatabase &database, int idPytanie)
{
    QSqlQuery query = Sql::prepare(database, QStringLiteral("SELECT * FROM test_pytania where id_pytanie = :id_pytanie"));
    query.bindValue(QStringLiteral(":id_pytanie"), idPytanie);
    Sql::exec(query);
    Question question;
    if (query.next()) {
        question.text = query.value(QStringLiteral("pytanie")).toByteArray();
        question.answers[0] = query.value(QStringLiteral("odp_A")).toByteArray();
        question.answers[1] = query.value(QStringLiteral("odp_B")).toByteArray();
        question.answers[2] = query.value(QStringLiteral("odp_C")).toByteArray();
    }
    return question;
}

namespace Scoring {

std::optional<int> firstUnanswered(const QSqlDatabase &database, const QString &table)
{
    // "not in" alone is null, not true, for a null answer on this engine.
    QSqlQuery query = Sql::exec(database, QStringLiteral("SELECT * FROM ") + quoted(table)
                                                  + QStringLiteral(" where udzielona_odpowiedz is null or "
                                                                   "udzielona_odpowiedz not in ('A', 'B', 'C') "
                                                                   "order by lp"));
    if (!query.next())
        return std::nullopt;
    return query.value(QStringLiteral("lp")).toInt();
}

std::optional<Result> score(int right, int wrong)
{
    if (right + wrong <= 0)
        return std::nullopt;
    Result result{right, wrong, right * 100 / (right + wrong), false};
    result.passed = result.percent >= PassMark;
    return result;
}

std::optional<Result> score(const QSqlDatabase &database, const QString &table)
{
    const auto count = [&](const char *condition) {
        QSqlQuery query = Sql::exec(database, QStringLiteral("SELECT count(*) as cnt FROM ") + quoted(table)
                                                      + QStringLiteral(" where ") + QLatin1String(condition));
        return query.next() ? query.value(QStringLiteral("cnt")).toInt() : 0;
    };
    return score(count("udzielona_odpowiedz = poprawna_odpowiedz"),
                 count("udzielona_odpowiedz <> poprawna_odpowiedz"));
}

QString verdict(bool passed)
{
    return passed ? QStringLiteral("ZDAŁEŚ !!!") : QStringLiteral("MUSISZ SIE JESZCZE POUCZYC! :-(");
}

void clearAnswers(const QSqlDatabase &database, const QString &table)
{
    Sql::exec(database, QStringLiteral("update ") + table + QStringLiteral(" set udzielona_odpowiedz = ' '"));
}

Progress progress(const QSqlDatabase &database, const QString &table)
{
    QSqlQuery query = Sql::exec(database,
                                QStringLiteral("SELECT count(*), coalesce(sum(udzielona_odpowiedz "
                                               "in ('A', 'B', 'C')), 0) FROM ")
                                    + quoted(table));
    if (!query.next())
        return {};
    return {query.value(0).toInt(), query.value(1).toInt()};
}

} // namespace Scoring
