#include "examdraw.h"

#include "data/shuffle.h"
#include "data/sql.h"

#include <QSqlQuery>

namespace {

using Condition = ExamBatch::Condition;

constexpr auto InsertLine = "insert into test_zestaw (id_pytanie,poprawna_odpowiedz,random)\r\n";
constexpr auto SelectLine = "SELECT A.id_pytanie,A.poprawna_odpowiedz, B.random FROM test_pytania as A, "
                            "test_pytania_random as B\r\n";

QString limited(const QString &where, int count)
{
    return QLatin1String(InsertLine) + QLatin1String(SelectLine) + where + QStringLiteral(" LIMIT ")
            + QString::number(count);
}

} // namespace

namespace ExamDraw {

const QList<ExamBatch> &ExamSetBatches()
{
    static const QList<ExamBatch> batches = {
        {Condition::Always, 0, 1, 1, 1, 1},
        {Condition::TopicGroup, 1, 3, 3, 1, 1},
        {Condition::TopicGroup, 2, 4, 5, 1, 1},
        {Condition::TopicGroup, 3, 6, 12, 1, 1},
        {Condition::TopicGroup, 4, 13, 13, 1, 1},
        {Condition::TopicGroup, 5, 14, 14, 1, 1},
        {Condition::TopicGroup, 6, 15, 15, 1, 1},
        {Condition::TopicGroup, 7, 16, 16, 1, 1},
        {Condition::TopicGroup, 8, 17, 17, 1, 1},
        {Condition::TopicGroup, 9, 18, 18, 1, 1},
        {Condition::TopicGroup, 10, 19, 19, 1, 1},
        {Condition::ShockUpTo1kV, 0, 27, 27, 1, 1},
        {Condition::ShockAbove1kV, 0, 28, 28, 1, 1},
        {Condition::Always, 0, 29, 29, 1, 1},
        {Condition::Always, 0, 30, 30, 1, 1},
        {Condition::Maintenance, 0, 31, 31, 3, 1},
        {Condition::Maintenance, 0, 32, 32, 4, 1},
        {Condition::Measurements, 0, 0, 0, 3, 3},
    };
    return batches;
}

bool applies(const ExamBatch &batch, const ExamTestConfig &config)
{
    switch (batch.condition) {
    case Condition::Always:
        return true;
    case Condition::TopicGroup:
        return config.TopicGroups.at(std::size_t(batch.topicGroup - 1));
    case Condition::ShockUpTo1kV:
        return config.ShockProtectionUpTo1kV;
    case Condition::ShockAbove1kV:
        return config.ShockProtectionAbove1kV;
    case Condition::Maintenance:
        return config.workScope == ExamTestConfig::WorkScope::Maintenance;
    case Condition::Measurements:
        return config.MeasurementsUpTo1kV || config.MeasurementsAbove1kV;
    }
    return false;
}

int countFor(const ExamBatch &batch, const ExamTestConfig &config)
{
    return config.variant == ExamTestConfig::Variant::D ? batch.countD : batch.countE;
}

QList<int> measurementCodes(const ExamTestConfig &config)
{
    QList<int> codes;
    if (config.MeasurementsUpTo1kV)
        codes << 21 << 22 << 24;
    if (config.MeasurementsAbove1kV)
        codes << 23 << 25;
    return codes;
}

QList<DrawStatement> statements(const ExamTestConfig &config)
{
    QList<DrawStatement> result;
    for (const ExamBatch &batch : ExamSetBatches()) {
        if (!applies(batch, config))
            continue;
        DrawStatement statement;
        statement.count = countFor(batch, config);
        if (batch.condition == Condition::Measurements) {
            QStringList codes;
            for (int code : measurementCodes(config))
                codes << QString::number(code);
            statement.sql = limited(QStringLiteral("where A.id_pytanie = B.id_pytanie and A.id_dzial in (")
                                            + codes.join(QStringLiteral(", ")) + QStringLiteral(") order by B.random"),
                                    statement.count);
        } else {
            statement.sql = limited(QStringLiteral("where A.id_pytanie = B.id_pytanie and A.id_dzial >= :id_dzial_ge "
                                                   "and A.id_dzial <= :id_dzial_le order by B.random"),
                                    statement.count);
            statement.bindings = {{QStringLiteral(":id_dzial_ge"), batch.firstCode},
                                  {QStringLiteral(":id_dzial_le"), batch.lastCode}};
        }
        result.append(statement);
    }
    return result;
}

void run(const QSqlDatabase &database, const ExamTestConfig &config,
         const std::function<void(const QString &)> &progress)
{
    const auto report = [&](const QString &text) {
        if (progress)
            progress(text);
    };
    Sql::Transaction transaction(database);
    Sql::exec(database, QStringLiteral("DELETE FROM test_zestaw"));
    report(QStringLiteral("Krok 1/2 - Mieszanie pytań"));
    shuffleQuestions(database);
    report(QStringLiteral("Krok 2/2 - Tworzenie zestawu"));
    for (const DrawStatement &statement : statements(config))
        runDrawStatement(database, statement);
    transaction.commit();
}

} // namespace ExamDraw

void runDrawStatement(const QSqlDatabase &database, const DrawStatement &statement)
{
    QSqlQuery query = Sql::prepare(database, statement.sql);
    for (const auto &[name, value] : statement.bindings)
        query.bindValue(name, value);
    Sql::exec(query);
}

void shuffleQuestions(const QSqlDatabase &database)
{
    const int n = MaxColumnValue(database, QStringLiteral("test_pytania"), QStringLiteral("id_pytanie"));
    RebuildRandomKeys(database, QStringLiteral("test_pytania_random"), QStringLiteral("random"),
                      QStringLiteral("id_pytanie"), n);
}
