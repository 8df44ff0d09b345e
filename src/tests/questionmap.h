#pragma once

#include <QList>
#include <QScrollArea>

class QuestionMapCells;

// One small numbered cell per question of a set: whether it is answered, or
// in review whether it was answered right, with the current question framed.
// A click on a cell asks for that question. The cells scroll sideways when a
// long thematic set does not fit.
class QuestionMap : public QScrollArea
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(QuestionMap)

public:
    enum class Cell { Unanswered, Answered, Right, Wrong };

    static inline const QColor AnsweredColor {255, 255, 170};
    static inline const QColor RightColor {0, 255, 0};
    static inline const QColor WrongColor {255, 0, 0};

    explicit QuestionMap(QWidget *parent = nullptr);

    // The cells of the questions 1 to n in their order, and the current one (1-based).
    void setCells(const QList<Cell> &cells, int current);
    QList<Cell> cells() const;
    int current() const;
    // Where the cell of question k (1-based) is on the strip of cells, widget().
    QRect cellRect(int k) const;

signals:
    void questionClicked(int k);

protected:
    void resizeEvent(QResizeEvent *event) override;

private:
    // Room for the scroll bar only while the cells do not fit.
    void fitHeight();

    QuestionMapCells *m_cells;
};
