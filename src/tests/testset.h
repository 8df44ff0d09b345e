#pragma once

#include <QByteArray>
#include <QList>
#include <QSqlDatabase>
#include <QString>

#include <optional>

// What differs between the exam test and the thematic test: their table,
// the names of their controls and pages, and the values of their steps.
struct TestMode
{
    QString table;
    QString suffix; // appended to the names of the mode's controls
    int answeringStep;
    int resultStep;
    int reviewStep;
    QString configurationPage;
    QString answeringPage;
    QString resultPage;
    QString passAnimation;
    QString failAnimation;
    QString resultBackground;

    static const TestMode &exam();
    static const TestMode &thematic();

    QString name(const char *base) const { return QLatin1String(base) + suffix; }
};

// A row of a test set.
struct SetRow
{
    int lp = 0;
    int idPytanie = 0;
    QString correct;
    QString given; // "A", "B", "C"; empty or a blank when unanswered

    bool isAnswered() const
    {
        return given == QLatin1String("A") || given == QLatin1String("B") || given == QLatin1String("C");
    }
};

// The set table of a mode walked in lp order, with a current row. Answers
// are written to the table the moment they are given.
class TestSet
{
public:
    explicit TestSet(QString table) : m_table(std::move(table)) { }

    // Reads the rows in lp order; the first, if any, becomes current. Raises Error.
    void open(const QSqlDatabase &database);
    void close();
    bool isOpen() const { return m_open; }

    int rowCount() const { return int(m_rows.size()); }
    const QList<SetRow> &rows() const { return m_rows; }
    // Makes the row with that lp current; false, leaving the current row, when there is none.
    bool locate(int lp);
    const SetRow *current() const;

    // Stores the answer of the current row. Raises Error.
    void postAnswer(const QSqlDatabase &database, const QString &letter);

private:
    QString m_table;
    QList<SetRow> m_rows;
    qsizetype m_current = -1;
    bool m_open = false;
};

// A question of the bank as its views show it.
struct Question
{
    QByteArray text;
    QByteArray answers[3];
};

// Reads a question; an id without a row gives an empty question. Raises Error.
Question loadQuestion(const QSqlDatabase &database, int idPytanie);

namespace Scoring {

inline constexpr int PassMark = 70;

// The smallest lp whose answer is anything but "A", "B" or "C", never
// answered (null) included. Raises Error.
std::optional<int> firstUnanswered(const QSqlDatabase &database, const QString &table);

struct Result
{
    int right = 0;
    int wrong = 0;
    int percent = 0;
    bool passed = false;
};

// The percentage of right answers, rounded down; nullopt when no row counts.
std::optional<Result> score(int right, int wrong);
// Counts the right and wrong answers of the set and scores them. Raises Error.
std::optional<Result> score(const QSqlDatabase &database, const QString &table);
QString verdict(bool passed);

// Every answer of the set becomes a blank, as when the set is taken again. Raises Error.
void clearAnswers(const QSqlDatabase &database, const QString &table);

struct Progress
{
    int questions = 0;
    int answered = 0;

    // A drawn set with a question still open: a test left before it was
    // finished. A finished test has every question answered.
    bool isInterrupted() const { return questions > 0 && answered < questions; }
};

// How many questions the set holds and how many of them are answered. Raises Error.
Progress progress(const QSqlDatabase &database, const QString &table);

} // namespace Scoring
