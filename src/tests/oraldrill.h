#pragma once

#include <QDate>
#include <QList>
#include <QMap>
#include <QRandomGenerator>
#include <QSqlDatabase>
#include <QString>
#include <QStringList>

#include <optional>

// The oral drill: open questions answered aloud, judged by the learner
// against a model answer and met again in Leitner boxes, soon when not known
// and seldom when known.
namespace OralDrill {

inline constexpr int MinQuestions = 5;
inline constexpr int MaxQuestions = 30;
inline constexpr int DefaultQuestions = 10;
inline constexpr int Boxes = 5;

enum class Judgement { Known, NotKnown };

// Where a question stands; box 0 for a question never judged.
struct BoxState
{
    int box = 0;
    QDate due;

    bool operator==(const BoxState &) const = default;
};

// Days until a question of the box (1 to 5) is due again: 1, 2, 4, 8, 16.
int interval(int box);
// "Umiem" moves up one box (at most the last), "Nie umiem" back to the first;
// the question is due the box's interval after today.
BoxState schedule(const BoxState &state, Judgement judgement, const QDate &today);

enum class Group { Due, New, Rest };
// A due date further ahead than any box can set comes from a clock that was
// set back: such a question is due, or it would not be met for years.
Group groupOf(const BoxState &state, const QDate &today);

struct Candidate
{
    int id = 0;
    QChar dla; // 'D' or 'E'
    BoxState state;
};

// Up to count ids: the due questions first, the most overdue first, then the
// new ones, then the rest; within each, those asked more of the variant
// first, otherwise at random.
QList<int> order(const QList<Candidate> &candidates, QChar variant, int count, const QDate &today,
                 QRandomGenerator &random);

struct Question
{
    int id = 0;
    int idDzial = 0;
    QString text; // Markdown
    QStringList points; // Markdown, in order
    int itemId = 0;
    QString documentCaption; // empty when the document is not in the tree
};

// Open questions in each section, by code. Raises Error.
QMap<int, int> availableCounts(const QSqlDatabase &database);
// The open questions of the sections with their boxes. Raises Error.
QList<Candidate> candidates(const QSqlDatabase &database, const QList<int> &sections);
// The questions of the ids in their order; ids gone from the bank are left out. Raises Error.
QList<Question> load(const QSqlDatabase &database, const QList<int> &ids);
// The question's box now. Raises Error.
BoxState boxOf(const QSqlDatabase &database, int id);
// Moves the question to its next box. Raises Error.
void record(const QSqlDatabase &database, int id, Judgement judgement, const QDate &today);
// How many open questions of the bank are in each box 1 to 5; 0 counts those never judged.
// Raises Error.
QMap<int, int> boxCounts(const QSqlDatabase &database);

// One drill: the questions in order, the judgements, and those not yet written.
class Session
{
public:
    Session() = default;
    explicit Session(QList<Question> questions) : m_questions(std::move(questions)) { }

    const QList<Question> &questions() const { return m_questions; }
    int size() const { return int(m_questions.size()); }
    int position() const { return m_position; }
    bool finished() const { return m_position >= size(); }
    const Question &current() const { return m_questions.at(m_position); }

    // Judges the current question and moves on; a skip moves on without a judgement.
    void judge(Judgement judgement, const QDate &today);
    void skip();

    int known() const { return m_known; }
    int notKnown() const { return int(m_notKnown.size()); }
    int judged() const { return m_known + notKnown(); }
    // The questions not known, in the order asked.
    const QList<Question> &notKnownQuestions() const { return m_notKnown; }

    // Writes the judgements not written yet, oldest first; a failure keeps
    // those not written for the next call and raises Error.
    void writePending(const QSqlDatabase &database);
    bool hasPending() const { return !m_pending.isEmpty(); }
    // Takes over the judgements the other drill could not write.
    void adoptPending(Session &other)
    {
        m_pending += other.m_pending;
        other.m_pending.clear();
    }

private:
    struct Pending
    {
        int id;
        Judgement judgement;
        QDate today;
    };

    QList<Question> m_questions;
    int m_position = 0;
    int m_known = 0;
    QList<Question> m_notKnown;
    QList<Pending> m_pending;
};

} // namespace OralDrill
