#pragma once

#include <QList>
#include <QSqlDatabase>
#include <QString>

#include <array>
#include <functional>

// What the user seeks to be examined for, as read from the configuration page.
struct ExamTestConfig
{
    enum class Variant { D, E };
    enum class WorkScope { Operation, Maintenance };

    Variant variant = Variant::D;
    bool MeasurementsUpTo1kV = true;
    bool MeasurementsAbove1kV = true;
    WorkScope workScope = WorkScope::Maintenance;
    bool ShockProtectionUpTo1kV = true;
    bool ShockProtectionAbove1kV = true;
    std::array<bool, 10> TopicGroups{true, true, true, true, true, true, true, true, true, true};

    bool operator==(const ExamTestConfig &) const = default;
};

// One insert-select of a draw: up to `count` questions of the codes, in
// ascending random key.
struct DrawStatement
{
    QString sql;
    QList<std::pair<QString, int>> bindings;
    int count = 0;
};

// The batches of an exam, in the order they run. A batch draws from a range
// of codes, or (the measurements) from a list whose codes depend on the
// options chosen.
struct ExamBatch
{
    enum class Condition { Always, TopicGroup, ShockUpTo1kV, ShockAbove1kV, Maintenance, Measurements };
    Condition condition;
    int topicGroup; // 1 to 10 for Condition::TopicGroup
    int firstCode;  // a range batch: codes firstCode to lastCode
    int lastCode;
    int countD;
    int countE;
};

namespace ExamDraw {

const QList<ExamBatch> &ExamSetBatches();

bool applies(const ExamBatch &batch, const ExamTestConfig &config);
int countFor(const ExamBatch &batch, const ExamTestConfig &config);
// The measurement codes drawn together, as the statement lists them.
QList<int> measurementCodes(const ExamTestConfig &config);

// The statements a draw runs after the shuffle, in order.
QList<DrawStatement> statements(const ExamTestConfig &config);

// The whole draw in one transaction: empties test_zestaw, gives every
// question number a new key, runs the batches. A failure rolls everything
// back, the previous test with its answers included, and raises Error.
// progress receives the steps' texts.
void run(const QSqlDatabase &database, const ExamTestConfig &config,
         const std::function<void(const QString &)> &progress = {});

} // namespace ExamDraw

// Runs the statement of a batch (shared by both draws).
void runDrawStatement(const QSqlDatabase &database, const DrawStatement &statement);
// Rebuilds the shuffle keys of the whole bank (shared by both draws).
void shuffleQuestions(const QSqlDatabase &database);
