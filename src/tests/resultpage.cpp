#include "resultpage.h"

#include "toolkit/frameanimation.h"

#include <QEvent>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QSvgRenderer>
#include <QVBoxLayout>

namespace {

constexpr int FrameIntervalMs = 200;
constexpr int ButtonWidth = 240;

QList<QPixmap> frames(const QString &stem, int count, const QSize &size)
{
    QList<QPixmap> list;
    for (int i = 1; i <= count; ++i) {
        QPixmap pixmap(size);
        pixmap.fill(Qt::transparent);
        QSvgRenderer renderer(QStringLiteral(":/tests/images/%1-%2.svg").arg(stem).arg(i, 2, 10, QLatin1Char('0')));
        QPainter painter(&pixmap);
        painter.setRenderHint(QPainter::Antialiasing);
        renderer.render(&painter);
        painter.end();
        list.append(pixmap);
    }
    return list;
}

} // namespace

ResultPage::ResultPage(const TestMode &mode, QWidget *parent) : QWidget(parent), m_mode(mode)
{
    setObjectName(mode.resultPage);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    m_background = new QWidget(this);
    m_background->setObjectName(mode.resultBackground);
    QPalette palette = m_background->palette();
    palette.setColor(QPalette::Window, Background);
    m_background->setPalette(palette);
    m_background->setAutoFillBackground(true);
    layout->addWidget(m_background);
    m_background->installEventFilter(this);

    m_rightCaption = label("L_ilosc_correct_Lab", tr("Ilość poprawnych odpowiedzi:"));
    m_right = label("L_ilosc_correct", QStringLiteral("99"));
    m_wrongCaption = label("L_ilosc_notcorrect_Lab", tr("Ilość błędnych odpowiedzi:"));
    m_wrong = label("L_ilosc_notcorrect", QStringLiteral("99"));
    m_percentCaption = label("L_ilosc_correct_perc_Lab", tr("Procent poprawnych odpowiedzi:"));
    m_percent = label("L_ilosc_correct_perc", QStringLiteral("100%"));
    m_summary = label("L_Summary", QStringLiteral("MUSISZ SIE JESZCZE POUCZYC!"));
    QFont bold = m_summary->font();
    bold.setBold(true);
    m_summary->setFont(bold);

    m_pass = new FrameAnimation(frames(QStringLiteral("pass"), 10, QSize(49, 32)), FrameIntervalMs, m_background);
    m_pass->setObjectName(mode.passAnimation);
    m_fail = new FrameAnimation(frames(QStringLiteral("fail"), 11, QSize(50, 40)), FrameIntervalMs, m_background);
    m_fail->setObjectName(mode.failAnimation);
    m_pass->hide();
    m_fail->hide();

    const struct { const char *name; QString caption; void (ResultPage::*signal)(); } buttons[] = {
        {"BB_Test_2_Look", tr("Przejrzyj wyniki testu"), &ResultPage::reviewRequested},
        {"BB_Test_2_NewTest", tr("Rozpocznij nowy test"), &ResultPage::newTestRequested},
        {"BB_Test_2_Again", QStringLiteral("Powtórz ten sam zestaw testowy "), &ResultPage::repeatRequested},
        {"BB_Test_2_Retake", tr("Powtórz błędne"), &ResultPage::retakeRequested},
        {"BB_Test_2_Finish", tr("Zakończ test"), &ResultPage::endRequested},
    };
    for (const auto &button : buttons) {
        auto *widget = new QPushButton(button.caption, m_background);
        widget->setObjectName(mode.name(button.name));
        widget->setFixedSize(ButtonWidth, 28);
        widget->setAutoDefault(false);
        connect(widget, &QPushButton::clicked, this, button.signal);
        m_buttons.append(widget);
    }
    layoutContents();
}

QLabel *ResultPage::label(const char *name, const QString &text)
{
    auto *widget = new QLabel(text, m_background);
    widget->setObjectName(m_mode.name(name));
    QFont font(QStringLiteral("Tahoma"));
    font.setFamilies({QStringLiteral("Tahoma"), QStringLiteral("Liberation Sans"), QStringLiteral("DejaVu Sans")});
    font.setPixelSize(16);
    widget->setFont(font);
    widget->adjustSize();
    return widget;
}

void ResultPage::showResult(const Scoring::Result &result)
{
    m_right->setText(QString::number(result.right));
    m_wrong->setText(QString::number(result.wrong));
    m_percent->setText(QString::number(result.percent) + QStringLiteral(" %"));
    m_summary->setText(Scoring::verdict(result.passed));
    for (QLabel *value : {m_right, m_wrong, m_percent, m_summary})
        value->adjustSize();
    // Only the wrong answers are retaken; with none there is nothing to retake.
    if (QPushButton *retake = findChild<QPushButton *>(m_mode.name("BB_Test_2_Retake")))
        retake->setEnabled(result.wrong > 0);
    FrameAnimation *shown = result.passed ? m_pass : m_fail;
    FrameAnimation *hidden = result.passed ? m_fail : m_pass;
    hidden->stop();
    hidden->hide();
    shown->start();
    shown->show();
}

int ResultPage::centredPairLeft(int pageWidth, int captionWidth, int valueWidth)
{
    return pageWidth / 2 - (captionWidth + valueWidth + Gap) / 2;
}

void ResultPage::layoutContents()
{
    const int w = m_background->width();
    // Vertical places are fixed; every line is centred horizontally.
    constexpr int Top = 30;
    constexpr int LineStep = 30;
    const int captionLeft = centredPairLeft(w, m_rightCaption->width(), m_right->width());
    const int captionRight = captionLeft + m_rightCaption->width();
    m_rightCaption->move(captionLeft, Top);
    m_right->move(captionRight + Gap, Top);
    m_wrongCaption->move(captionRight - m_wrongCaption->width(), Top + LineStep);
    m_wrong->move(m_right->x(), Top + LineStep);
    m_percentCaption->move(captionRight - m_percentCaption->width(), Top + 2 * LineStep);
    m_percent->move(m_right->x(), Top + 2 * LineStep);
    const int verdictTop = Top + 3 * LineStep + 16;
    m_summary->move(w / 2 - m_summary->width() / 2, verdictTop);
    const int animationTop = verdictTop + 36;
    m_pass->move(w / 2 - m_pass->width() / 2, animationTop);
    m_fail->move(w / 2 - m_fail->width() / 2, animationTop);
    int buttonTop = animationTop + 56;
    const int buttonLeft = w / 2 - ButtonWidth / 2;
    for (QPushButton *button : std::as_const(m_buttons)) {
        button->move(buttonLeft, buttonTop);
        buttonTop += button->height() + 6;
    }
}

bool ResultPage::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_background && event->type() == QEvent::Resize)
        layoutContents();
    return QWidget::eventFilter(watched, event);
}
