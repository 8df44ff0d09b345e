#include "oralendpage.h"

#include "pageframe.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QScrollArea>
#include <QTextDocument>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace {

// The question as one line of plain text.
QString plainText(const QString &markdown)
{
    QTextDocument document;
    document.setMarkdown(markdown);
    return document.toPlainText().simplified();
}

} // namespace

OralEndPage::OralEndPage(QWidget *parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("NP_Ustny_2"));
    setFocusPolicy(Qt::StrongFocus);
    // Scrolls rather than widen the window at its smallest.
    QVBoxLayout *layout = PageFrame::scrollingContent(this);
    QWidget *content = layout->parentWidget();
    findChild<QScrollArea *>()->setFocusPolicy(Qt::NoFocus);
    layout->setContentsMargins(16, 12, 16, 12);
    layout->addWidget(PageFrame::heading(tr("Koniec ćwiczenia"), content));
    m_summary = new QLabel(content);
    m_summary->setObjectName(QStringLiteral("L_OralSummary"));
    m_summary->setWordWrap(true);
    QFont larger = m_summary->font();
    larger.setPixelSize(15);
    m_summary->setFont(larger);
    layout->addWidget(m_summary);

    m_list = new QTreeWidget(content);
    m_list->setObjectName(QStringLiteral("TW_OralNotKnown"));
    m_list->setHeaderLabels({tr("Nie umiem"), tr("Dokument")});
    m_list->setRootIsDecorated(false);
    m_list->setWordWrap(true);
    m_list->setFocusPolicy(Qt::NoFocus);
    m_list->header()->setStretchLastSection(false);
    m_list->header()->setSectionResizeMode(0, QHeaderView::Stretch);
    m_list->header()->setSectionResizeMode(1, QHeaderView::Interactive);
    m_list->header()->resizeSection(1, 260);
    layout->addWidget(m_list, 1);

    auto *buttons = new QHBoxLayout;
    buttons->addStretch(1);
    m_repeat = new QPushButton(tr("Powtórz nieznane (P)"), content);
    m_repeat->setObjectName(QStringLiteral("BB_OralRepeat"));
    m_finish = new QPushButton(tr("Zakończ (Enter)"), content);
    m_finish->setObjectName(QStringLiteral("BB_OralFinish"));
    for (QPushButton *button : {m_repeat, m_finish}) {
        button->setFocusPolicy(Qt::NoFocus);
        button->setMinimumSize(170, 34);
        buttons->addWidget(button);
    }
    layout->addLayout(buttons);
    connect(m_repeat, &QPushButton::clicked, this, &OralEndPage::repeatRequested);
    connect(m_finish, &QPushButton::clicked, this, &OralEndPage::finishRequested);
}

void OralEndPage::showResult(const OralDrill::Session &session)
{
    const int skipped = session.size() - session.judged();
    QString text = tr("Pytań: %1. Umiem: %2, nie umiem: %3.")
                       .arg(session.size())
                       .arg(session.known())
                       .arg(session.notKnown());
    if (skipped > 0)
        text += u' ' + tr("Pominięte: %1.").arg(skipped);
    if (session.notKnown() > 0)
        text += u' ' + tr("Pytania, których nie umiesz, wrócą jutro.");
    m_summary->setText(text);
    m_list->clear();
    for (const OralDrill::Question &question : session.notKnownQuestions()) {
        auto *item = new QTreeWidgetItem(m_list);
        item->setText(0, plainText(question.text));
        item->setToolTip(0, item->text(0));
        item->setText(1,
                      question.documentCaption.isEmpty() ? tr("(brak w bibliotece)")
                                                         : question.documentCaption);
    }
    m_list->setVisible(session.notKnown() > 0);
    m_repeat->setEnabled(session.notKnown() > 0);
}

QString OralEndPage::summary() const
{
    return m_summary->text();
}

void OralEndPage::keyPressEvent(QKeyEvent *event)
{
    switch (event->key()) {
    case Qt::Key_P:
        m_repeat->click();
        return;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        m_finish->click();
        return;
    default:
        QWidget::keyPressEvent(event);
    }
}
