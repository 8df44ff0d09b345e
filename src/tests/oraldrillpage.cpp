#include "oraldrillpage.h"

#include "explanationpanel.h"
#include "pageframe.h"

#include <QFrame>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QScrollArea>
#include <QVBoxLayout>

OralDrillPage::OralDrillPage(QWidget *parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("NP_Ustny_1"));
    // The page takes the keys; its buttons never hold the focus.
    setFocusPolicy(Qt::StrongFocus);
    // Scrolls rather than widen the window at its smallest.
    QVBoxLayout *layout = PageFrame::scrollingContent(this);
    QWidget *content = layout->parentWidget();
    findChild<QScrollArea *>()->setFocusPolicy(Qt::NoFocus);
    layout->setContentsMargins(16, 12, 16, 12);
    layout->setSpacing(10);

    auto *top = new QHBoxLayout;
    m_progress = new QLabel(content);
    m_progress->setObjectName(QStringLiteral("L_OralProgress"));
    QFont bold = m_progress->font();
    bold.setBold(true);
    m_progress->setFont(bold);
    top->addWidget(m_progress);
    top->addSpacing(16);
    m_documentLabel = new QLabel(tr("Dokument:"), content);
    top->addWidget(m_documentLabel);
    m_document = new QPushButton(content);
    m_document->setObjectName(QStringLiteral("BB_OralDocument"));
    m_document->setFlat(true);
    m_document->setFocusPolicy(Qt::NoFocus);
    m_document->setCursor(Qt::PointingHandCursor);
    m_document->setStyleSheet(
        QStringLiteral("QPushButton { color: blue; text-decoration: underline; border: none; "
                       "text-align: left; padding: 0; }"));
    m_document->setToolTip(
        tr("Otwiera dokument; do pytania wrócisz, wybierając „Egzamin ustny” w drzewie"));
    top->addWidget(m_document);
    top->addStretch(1);
    layout->addLayout(top);

    m_note = new QLabel(content);
    m_note->setObjectName(QStringLiteral("L_OralNote"));
    m_note->setWordWrap(true);
    m_note->setStyleSheet(QStringLiteral("color: #8a5a00;"));
    layout->addWidget(m_note);

    auto *scroll = new QScrollArea(content);
    scroll->setWidgetResizable(true);
    scroll->setFrameShape(QFrame::NoFrame);
    scroll->setFocusPolicy(Qt::NoFocus);
    auto *body = new QWidget(scroll);
    scroll->setWidget(body);
    auto *bodyLayout = new QVBoxLayout(body);
    bodyLayout->setContentsMargins(0, 0, 0, 0);
    m_question = new QLabel(body);
    m_question->setObjectName(QStringLiteral("L_OralQuestion"));
    m_question->setTextFormat(Qt::MarkdownText);
    m_question->setWordWrap(true);
    QFont large = m_question->font();
    large.setPixelSize(22);
    m_question->setFont(large);
    bodyLayout->addWidget(m_question);

    m_answerPanel = new QFrame(body);
    m_answerPanel->setObjectName(QStringLiteral("P_OralAnswer"));
    m_answerPanel->setFrameShape(QFrame::StyledPanel);
    QPalette palette = m_answerPanel->palette();
    palette.setColor(QPalette::Window, ExplanationPanel::Background);
    m_answerPanel->setPalette(palette);
    m_answerPanel->setAutoFillBackground(true);
    auto *answerLayout = new QVBoxLayout(m_answerPanel);
    auto *answerTitle = new QLabel(tr("Odpowiedź wzorcowa"), m_answerPanel);
    answerTitle->setFont(bold);
    m_answer = new QLabel(m_answerPanel);
    m_answer->setObjectName(QStringLiteral("L_OralAnswer"));
    m_answer->setTextFormat(Qt::MarkdownText);
    m_answer->setWordWrap(true);
    QFont answerFont = m_answer->font();
    answerFont.setPixelSize(15);
    m_answer->setFont(answerFont);
    answerLayout->addWidget(answerTitle);
    answerLayout->addWidget(m_answer);
    bodyLayout->addWidget(m_answerPanel);
    bodyLayout->addStretch(1);
    layout->addWidget(scroll, 1);

    auto *buttons = new QHBoxLayout;
    const auto button = [&](const char *name, const QString &caption) {
        auto *b = new QPushButton(caption, content);
        b->setObjectName(QLatin1String(name));
        b->setFocusPolicy(Qt::NoFocus);
        b->setMinimumHeight(34);
        buttons->addWidget(b);
        return b;
    };
    m_reveal = button("BB_OralReveal", tr("Pokaż odpowiedź (Spacja)"));
    buttons->addStretch(1);
    m_known = button("BB_OralKnown", tr("Umiem (1)"));
    m_notKnown = button("BB_OralNotKnown", tr("Nie umiem (2)"));
    buttons->addSpacing(16);
    m_skip = button("BB_OralSkip", tr("Pomiń (S)"));
    layout->addLayout(buttons);

    connect(m_reveal, &QPushButton::clicked, this, &OralDrillPage::reveal);
    connect(m_known, &QPushButton::clicked, this,
            [this] { emit judged(OralDrill::Judgement::Known); });
    connect(m_notKnown, &QPushButton::clicked, this,
            [this] { emit judged(OralDrill::Judgement::NotKnown); });
    connect(m_skip, &QPushButton::clicked, this, &OralDrillPage::skipped);
    connect(m_document, &QPushButton::clicked, this, [this] { emit documentRequested(m_itemId); });
}

void OralDrillPage::showQuestion(const OralDrill::Question &question, int position, int total,
                                 const QString &note)
{
    m_progress->setText(tr("Pytanie %1 z %2").arg(position).arg(total));
    m_note->setText(note);
    m_note->setVisible(!note.isEmpty());
    m_itemId = question.itemId;
    m_document->setText(question.documentCaption);
    // A document missing from the library cannot be opened.
    m_document->setVisible(!question.documentCaption.isEmpty());
    m_documentLabel->setVisible(!question.documentCaption.isEmpty());
    m_question->setText(question.text);
    QStringList points;
    for (qsizetype i = 0; i < question.points.size(); ++i)
        points.append(QStringLiteral("%1. %2").arg(i + 1).arg(question.points.at(i)));
    m_answer->setText(points.join(QStringLiteral("\n")));
    m_answerPanel->hide();
    m_reveal->setEnabled(true);
    m_known->setEnabled(false);
    m_notKnown->setEnabled(false);
}

void OralDrillPage::reveal()
{
    m_answerPanel->show();
    m_reveal->setEnabled(false);
    m_known->setEnabled(true);
    m_notKnown->setEnabled(true);
}

bool OralDrillPage::isRevealed() const
{
    return !m_answerPanel->isHidden();
}

QString OralDrillPage::progressText() const
{
    return m_progress->text();
}

QString OralDrillPage::questionText() const
{
    return m_question->text();
}

QString OralDrillPage::answerText() const
{
    return isRevealed() ? m_answer->text() : QString();
}

QString OralDrillPage::documentLink() const
{
    return m_document->isHidden() ? QString() : m_document->text();
}

void OralDrillPage::keyPressEvent(QKeyEvent *event)
{
    // A judgement comes after the model answer has been seen.
    switch (event->key()) {
    case Qt::Key_Space:
        m_reveal->click();
        return;
    case Qt::Key_1:
    case Qt::Key_U:
        m_known->click();
        return;
    case Qt::Key_2:
    case Qt::Key_N:
        m_notKnown->click();
        return;
    case Qt::Key_S:
        m_skip->click();
        return;
    default:
        QWidget::keyPressEvent(event);
    }
}
