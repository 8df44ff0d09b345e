#include "resumeoffer.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QStyle>

ResumeOffer::ResumeOffer(const QString &suffix, QWidget *parent) : QFrame(parent)
{
    setObjectName(QStringLiteral("P_TestResume") + suffix);
    setFrameShape(QFrame::StyledPanel);
    setAutoFillBackground(true);
    QPalette colours = palette();
    colours.setColor(QPalette::Window, QColor(255, 255, 170));
    setPalette(colours);
    auto *layout = new QHBoxLayout(this);
    layout->setContentsMargins(8, 4, 8, 4);
    m_label = new QLabel(this);
    m_label->setObjectName(QStringLiteral("L_TestResume") + suffix);
    m_label->setWordWrap(true);
    m_button = new QPushButton(style()->standardIcon(QStyle::SP_MediaPlay),
                               tr("Wróć do przerwanego testu"), this);
    m_button->setObjectName(QStringLiteral("BB_TestResume") + suffix);
    m_button->setAutoDefault(false);
    m_button->setMinimumHeight(28);
    layout->addWidget(m_label, 1);
    layout->addWidget(m_button);
    connect(m_button, &QPushButton::clicked, this, &ResumeOffer::resumeRequested);
    hide();
}

void ResumeOffer::setProgress(const std::optional<Scoring::Progress> &progress)
{
    if (!progress) {
        hide();
        return;
    }
    m_label->setText(
        tr("Poprzedni test nie został zakończony: udzielono odpowiedzi na %1 z %2 pytań.")
            .arg(progress->answered)
            .arg(progress->questions));
    show();
}

QString ResumeOffer::text() const
{
    return m_label->text();
}
