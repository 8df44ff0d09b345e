#include "answerpage.h"

#include "explanationpanel.h"
#include "questionmap.h"
#include "toolkit/rtfview.h"
#include "toolkit/zoomlevel.h"

#include <QApplication>
#include <QButtonGroup>
#include <QHBoxLayout>
#include <QLabel>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPushButton>
#include <QSplitter>
#include <QStyle>
#include <QToolButton>
#include <QVBoxLayout>

namespace {

constexpr int LetterWidth = 25;
const QString Letters[3] = {QStringLiteral("A"), QStringLiteral("B"), QStringLiteral("C")};

QToolButton *arrowButton(Qt::ArrowType arrow, const QString &name, const QString &tip, QWidget *parent)
{
    auto *button = new QToolButton(parent);
    button->setObjectName(name);
    button->setArrowType(arrow);
    button->setAutoRaise(true);
    button->setToolTip(tip);
    button->setFixedSize(30, 26);
    return button;
}

QString previousTip()
{
    return QObject::tr(
        "Poprzednie pytanie (klawisz \u2190 lub PgUp; Home \u2013 pierwsze pytanie)");
}

QString nextTip()
{
    return QObject::tr("Następne pytanie (klawisz \u2192 lub PgDn; End \u2013 ostatnie pytanie)");
}

} // namespace

QColor AnswerPage::neutral()
{
    return QApplication::palette().color(QPalette::Button);
}

AnswerPage::AnswerPage(const TestMode &mode, QWidget *parent) : QWidget(parent), m_mode(mode)
{
    setObjectName(mode.answeringPage);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);

    m_header = new QWidget(this);
    m_header->setObjectName(mode.name("P_Test_1_Top"));
    m_header->setFixedHeight(34);
    auto *header = new QHBoxLayout(m_header);
    header->setContentsMargins(4, 0, 4, 0);
    m_previous = arrowButton(Qt::LeftArrow, mode.name("JvSB_PrevQuestion"), previousTip(), m_header);
    m_next = arrowButton(Qt::RightArrow, mode.name("JvSB_NextQuestion"), nextTip(), m_header);
    m_caption = new QLabel(m_header);
    m_caption->setObjectName(mode.name("L_Test_1_Caption"));
    m_caption->setAlignment(Qt::AlignCenter);
    QFont captionFont = m_caption->font();
    captionFont.setBold(true);
    captionFont.setPixelSize(14);
    m_caption->setFont(captionFont);
    header->addWidget(m_previous);
    header->addWidget(m_caption, 1);
    header->addWidget(m_next);
    layout->addWidget(m_header);

    m_splitter = new QSplitter(Qt::Vertical, this);
    m_splitter->setObjectName(mode.name("Splitter_Test_1"));
    m_splitter->setChildrenCollapsible(false);
    m_questionView = new RtfView(m_splitter);
    m_questionView->setObjectName(mode.name("JvDBRichEdit1"));
    m_answerArea = new QWidget(m_splitter);
    m_answerArea->setObjectName(mode.name("Panel7"));
    m_answerArea->installEventFilter(this);
    m_answerArea->setMinimumHeight(60);
    QFont letterFont = font();
    letterFont.setPixelSize(16);
    letterFont.setWeight(QFont::Black);
    for (int i = 0; i < 3; ++i) {
        m_letters[i] = new QLabel(Letters[i], m_answerArea);
        m_letters[i]->setObjectName(mode.name(i == 0 ? "P_A" : i == 1 ? "P_B" : "P_C"));
        m_letters[i]->setAlignment(Qt::AlignCenter);
        m_letters[i]->setFont(letterFont);
        m_letters[i]->setFrameShape(QFrame::Panel);
        m_letters[i]->setFrameShadow(QFrame::Raised);
        m_letters[i]->setCursor(Qt::PointingHandCursor);
        m_letters[i]->installEventFilter(this);
        fill(m_letters[i], neutral());
        m_answerViews[i] = new RtfView(m_answerArea);
        m_answerViews[i]->setObjectName(mode.name(i == 0 ? "JvDBRE_A" : i == 1 ? "JvDBRE_B" : "JvDBRE_C"));
        // A click anywhere on the answer picks it, as one on its letter does.
        m_answerViews[i]->viewport()->installEventFilter(this);
    }
    m_splitter->addWidget(m_questionView);
    m_splitter->addWidget(m_answerArea);
    m_splitter->setSizes({143, 300});
    m_splitter->setStretchFactor(0, 0);
    m_splitter->setStretchFactor(1, 1);
    layout->addWidget(m_splitter, 1);
    m_explanation = new ExplanationPanel(mode.suffix, this);
    layout->addWidget(m_explanation);

    m_map = new QuestionMap(this);
    m_map->setObjectName(mode.name("QuestionMap"));
    connect(m_map, &QuestionMap::questionClicked, this, &AnswerPage::questionRequested);
    layout->addWidget(m_map);

    auto *bottom = new QWidget(this);
    bottom->setObjectName(mode.name("P_Test_1_Bottom"));
    bottom->setFixedHeight(32);
    // Narrower than its buttons only before the window reaches its working size.
    bottom->setMinimumWidth(1);
    auto *bar = new QHBoxLayout(bottom);
    bar->setContentsMargins(4, 2, 4, 2);
    m_answerGroup = new QButtonGroup(this);
    m_answerGroup->setExclusive(true);
    QFont answerFont = font();
    answerFont.setBold(true);
    answerFont.setPixelSize(14);
    for (int i = 0; i < 3; ++i) {
        auto *button = new QToolButton(bottom);
        button->setObjectName(mode.name(i == 0 ? "JvSB_A" : i == 1 ? "JvSB_B" : "JvSB_C"));
        button->setText(Letters[i]);
        button->setCheckable(true);
        button->setFont(answerFont);
        button->setStyleSheet(QStringLiteral("QToolButton { color: navy; }"));
        button->setFixedSize(36, 26);
        button->setToolTip(tr("Odpowiedź %1 (klawisz %1 lub %2)").arg(Letters[i]).arg(i + 1));
        m_answerGroup->addButton(button, i);
        m_answerButtons[i] = button;
        bar->addWidget(button);
        connect(button, &QToolButton::clicked, this, &AnswerPage::answerClicked);
    }
    bar->addSpacing(16);
    m_previousBottom = arrowButton(Qt::LeftArrow, mode.name("JvSB_PrevQuestionBottom"), previousTip(), bottom);
    m_nextBottom = arrowButton(Qt::RightArrow, mode.name("JvSB_NextQuestionBottom"), nextTip(), bottom);
    bar->addWidget(m_previousBottom);
    bar->addWidget(m_nextBottom);
    bar->addStretch(1);
    const auto endButton = [&](const char *name, const QString &caption) {
        auto *button = new QPushButton(caption, bottom);
        button->setObjectName(mode.name(name));
        button->setAutoDefault(false);
        // A click leaves the keyboard where it was, so that Space never
        // reaches "Anuluj test" by accident.
        button->setFocusPolicy(Qt::TabFocus);
        bar->addWidget(button);
        return button;
    };
    m_cancel = endButton("JvSB_TestCancel", tr("Anuluj test"));
    m_finish = endButton("JvSB_TestFinish", tr("Zakończ test"));
    m_summary = endButton("JvSB_TestSummary", tr("Powrót do podsumowania"));
    m_cancel->setIcon(style()->standardIcon(QStyle::SP_DialogCancelButton));
    m_finish->setIcon(style()->standardIcon(QStyle::SP_DialogApplyButton));
    m_summary->setIcon(style()->standardIcon(QStyle::SP_ArrowBack));
    m_summary->hide();
    layout->addWidget(bottom);

    for (QToolButton *button : {m_previous, m_previousBottom})
        connect(button, &QToolButton::clicked, this, &AnswerPage::previousRequested);
    for (QToolButton *button : {m_next, m_nextBottom})
        connect(button, &QToolButton::clicked, this, &AnswerPage::nextRequested);
    connect(m_cancel, &QAbstractButton::clicked, this, &AnswerPage::cancelRequested);
    connect(m_finish, &QAbstractButton::clicked, this, &AnswerPage::finishRequested);
    connect(m_summary, &QAbstractButton::clicked, this, &AnswerPage::summaryRequested);
    fill(m_header, neutral());
    // The views would take the arrows for scrolling; the page wants them first.
    installEventFilter(this);
    for (QWidget *child : findChildren<QWidget *>())
        child->installEventFilter(this);
}

void AnswerPage::fill(QWidget *widget, const QColor &colour)
{
    QPalette palette = widget->palette();
    palette.setColor(QPalette::Window, colour);
    widget->setPalette(palette);
    widget->setAutoFillBackground(true);
}

void AnswerPage::setMoves(bool previous, bool next)
{
    m_previous->setEnabled(previous);
    m_previousBottom->setEnabled(previous);
    m_next->setEnabled(next);
    m_nextBottom->setEnabled(next);
}

void AnswerPage::showQuestion(const Question &question)
{
    m_questionView->setRtf(question.text);
    for (int i = 0; i < 3; ++i)
        m_answerViews[i]->setRtf(question.answers[i]);
}

void AnswerPage::clearQuestion()
{
    m_questionView->clear();
    for (RtfView *view : m_answerViews)
        view->clear();
}

void AnswerPage::releaseAll()
{
    m_answerGroup->setExclusive(false);
    for (QToolButton *button : m_answerButtons)
        button->setChecked(false);
    m_answerGroup->setExclusive(true);
}

void AnswerPage::press(const QString &letter)
{
    const qsizetype index = QStringList{Letters[0], Letters[1], Letters[2]}.indexOf(letter);
    if (index >= 0)
        m_answerButtons[std::size_t(index)]->setChecked(true);
}

QString AnswerPage::pressedLetter() const
{
    for (int i = 0; i < 3; ++i) {
        if (m_answerButtons[i]->isChecked())
            return Letters[i];
    }
    return {};
}

void AnswerPage::markRow(int index, const QColor &letter, const QColor &row)
{
    if (index < 0 || index > 2)
        return;
    fill(m_letters[std::size_t(index)], letter);
    m_answerViews[std::size_t(index)]->setBackgroundColor(row);
}

void AnswerPage::ShowQuestionState(const SetRow *row, int rowCount, Stage stage)
{
    for (int i = 0; i < 3; ++i)
        markRow(i, neutral(), QApplication::palette().color(QPalette::Base));
    if (!row || stage == Stage::Other)
        return;
    const auto letterIndex = [](const QString &letter) {
        return QStringList{Letters[0], Letters[1], Letters[2]}.indexOf(letter);
    };
    const QString number = QStringLiteral("Pytanie nr %1 z %2").arg(row->lp).arg(rowCount);
    if (stage == Stage::Answering) {
        fill(m_header, neutral());
        m_caption->setText(number);
        if (row->isAnswered()) {
            markRow(int(letterIndex(row->given)), Chosen, Chosen);
            press(row->given);
        } else {
            releaseAll();
        }
        return;
    }
    const bool right = row->given == row->correct;
    m_caption->setText(number + QStringLiteral("   Udzielona odpowiedź \"") + row->given
                       + (right ? QStringLiteral("\" jest poprawna") : QStringLiteral("\" jest błędna")));
    fill(m_header, right ? Right : Wrong);
    releaseAll();
    if (row->isAnswered()) {
        markRow(int(letterIndex(row->given)), right ? Right : Wrong, right ? RightRow : WrongRow);
        press(row->given);
    }
    if (!right && letterIndex(row->correct) >= 0) {
        markRow(int(letterIndex(row->correct)), Right, RightRow);
        press(row->correct);
    }
}

void AnswerPage::prepare(Stage stage)
{
    if (stage == Stage::Other)
        return;
    const bool answering = stage == Stage::Answering;
    for (QToolButton *button : m_answerButtons)
        button->setEnabled(answering);
    m_cancel->setVisible(answering);
    m_finish->setVisible(answering);
    m_summary->setVisible(!answering);
    // While answering a click on an answer picks it, so its text is not
    // selectable (a selected word would look like a choice).
    for (RtfView *view : m_answerViews) {
        view->setTextInteractionFlags(answering ? Qt::NoTextInteraction
                                                : Qt::TextBrowserInteraction);
        view->viewport()->setCursor(answering ? Qt::PointingHandCursor : Qt::IBeamCursor);
    }
    m_questionView->setFocus(Qt::OtherFocusReason);
    if (answering)
        m_explanation->showExplanation(std::nullopt);
}

void AnswerPage::setZoomLevel(ZoomLevel *level)
{
    m_questionView->setZoomLevel(level);
    for (RtfView *view : m_answerViews)
        view->setZoomLevel(level);
}

QString AnswerPage::headerCaption() const
{
    return m_caption->text();
}

QColor AnswerPage::headerColor() const
{
    return m_header->palette().color(QPalette::Window);
}

QColor AnswerPage::letterColor(int index) const
{
    return m_letters.at(std::size_t(index))->palette().color(QPalette::Window);
}

QColor AnswerPage::answerRowColor(int index) const
{
    return m_answerViews.at(std::size_t(index))->backgroundColor();
}

std::array<QRect, 3> AnswerPage::answerRows(const QSize &area, int letterWidth)
{
    const int h = area.height() / 3;
    const QRect a(0, 0, letterWidth, h);
    const QRect b(0, a.height(), letterWidth, h);
    const int cTop = a.height() + b.height();
    return {a, b, QRect(0, cTop, letterWidth, area.height() - cTop)};
}

void AnswerPage::Panel7Resize()
{
    const std::array<QRect, 3> rows = answerRows(m_answerArea->size(), LetterWidth);
    for (int i = 0; i < 3; ++i) {
        m_letters[i]->setGeometry(rows[i]);
        m_answerViews[i]->setGeometry(rows[i].right() + 1, rows[i].top(),
                                      m_answerArea->width() - rows[i].width(), rows[i].height());
    }
}

bool AnswerPage::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_answerArea && event->type() == QEvent::Resize) {
        Panel7Resize();
    } else if (event->type() == QEvent::KeyPress && m_keyHandler) {
        const auto *key = static_cast<QKeyEvent *>(event);
        if (key->modifiers() == Qt::NoModifier || key->modifiers() == Qt::KeypadModifier) {
            if (m_keyHandler(key->key()))
                return true;
        }
    } else if (event->type() == QEvent::MouseButtonRelease) {
        for (int i = 0; i < 3; ++i) {
            if ((watched == m_letters[i] || watched == m_answerViews[i]->viewport())
                && static_cast<QMouseEvent *>(event)->button() == Qt::LeftButton) {
                emit letterPanelClicked(Letters[i]);
                // In review the answer's text keeps its own use of the click.
                return watched == m_letters[i];
            }
        }
    }
    return QWidget::eventFilter(watched, event);
}
