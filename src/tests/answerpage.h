#pragma once

#include "testset.h"

#include <QWidget>

#include <array>
#include <functional>

class ExplanationPanel;
class QAbstractButton;
class QButtonGroup;
class QLabel;
class QSplitter;
class QToolButton;
class QuestionMap;
class RtfView;
class ZoomLevel;

// The page on which a test is answered and reviewed: the header with the
// question's number, the question, its three answers with their letters, the
// answer buttons and the buttons that end the test. The same class serves
// both modes; the mode gives the names of its controls.
class AnswerPage : public QWidget
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(AnswerPage)

public:
    enum class Stage { Answering, Review, Other };

    static QColor neutral();
    static inline const QColor Chosen{255, 255, 170};
    static inline const QColor Wrong{255, 0, 0};
    static inline const QColor Right{0, 255, 0};
    // The answer texts of a reviewed question, behind their letters' colours.
    static inline const QColor RightRow{200, 255, 200};
    static inline const QColor WrongRow{255, 205, 205};

    explicit AnswerPage(const TestMode &mode, QWidget *parent = nullptr);

    // Enables the moves that have a target.
    void setMoves(bool previous, bool next);
    void showQuestion(const Question &question);
    void clearQuestion();
    // Colours the header, the letters and the answer buttons for the row.
    void ShowQuestionState(const SetRow *row, int rowCount, Stage stage);
    // Answer buttons, end buttons and the answer texts as the stage wants
    // them; a shown stage takes the keyboard, so that keys answer at once.
    void prepare(Stage stage);
    QuestionMap *questionMap() const { return m_map; }
    // The question and answer views zoom together with the level.
    void setZoomLevel(ZoomLevel *level);
    // The first pressed answer button's letter, in the order A, B, C, or empty.
    QString pressedLetter() const;
    void press(const QString &letter);

    QString headerCaption() const;
    QColor headerColor() const;
    QColor letterColor(int index) const;
    QColor answerRowColor(int index) const;
    // Under the answers; shown by the runner in review only.
    ExplanationPanel *explanationPanel() const { return m_explanation; }

    // Keys pressed anywhere on the page go here first; true takes the key.
    void setKeyHandler(std::function<bool(int key)> handler) { m_keyHandler = std::move(handler); }

    // Rows of the answer area of the given size: each letter panel's rect;
    // the answer view takes the rest of its row.
    static std::array<QRect, 3> answerRows(const QSize &area, int letterWidth);

signals:
    void previousRequested();
    void nextRequested();
    void answerClicked();
    // A letter panel or the text of an answer was clicked.
    void letterPanelClicked(const QString &letter);
    void questionRequested(int k);
    void cancelRequested();
    void finishRequested();
    void summaryRequested();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void Panel7Resize();
    void releaseAll();
    static void fill(QWidget *widget, const QColor &colour);
    void markRow(int index, const QColor &letter, const QColor &row);

    const TestMode &m_mode;
    QWidget *m_header;
    QLabel *m_caption;
    QToolButton *m_previous;
    QToolButton *m_next;
    QToolButton *m_previousBottom;
    QToolButton *m_nextBottom;
    QSplitter *m_splitter;
    RtfView *m_questionView;
    QWidget *m_answerArea;
    std::array<QLabel *, 3> m_letters{};
    std::array<RtfView *, 3> m_answerViews{};
    std::array<QToolButton *, 3> m_answerButtons{};
    QButtonGroup *m_answerGroup;
    QAbstractButton *m_cancel;
    QAbstractButton *m_finish;
    QAbstractButton *m_summary;
    QuestionMap *m_map;
    ExplanationPanel *m_explanation;
    std::function<bool(int)> m_keyHandler;
};
