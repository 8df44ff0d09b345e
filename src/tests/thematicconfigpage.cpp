#include "thematicconfigpage.h"

#include "lawnotes.h"
#include "pageframe.h"
#include "resumeoffer.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QStyle>
#include <QVBoxLayout>

CountSpinBox::CountSpinBox(QWidget *parent) : QSpinBox(parent)
{
    setRange(0, Maximum);
    setSingleStep(1);
    setCorrectionMode(QAbstractSpinBox::CorrectToNearestValue);
    lineEdit()->setMaxLength(3);
    setFixedWidth(64);
    setAlignment(Qt::AlignRight);
}

QValidator::State CountSpinBox::validate(QString &input, int &) const
{
    // Anything of digits and signs may be typed; it is judged when the field is left.
    static const QRegularExpression allowed(QStringLiteral(R"(^[0-9+\-]{0,3}$)"));
    if (!allowed.match(input).hasMatch())
        return QValidator::Invalid;
    bool ok = false;
    const int value = input.toInt(&ok);
    return ok && value >= minimum() && value <= maximum() ? QValidator::Acceptable : QValidator::Intermediate;
}

int CountSpinBox::valueFromText(const QString &text) const
{
    bool ok = false;
    const int value = text.toInt(&ok);
    return ok ? std::clamp(value, minimum(), maximum()) : 0;
}

void CountSpinBox::fixup(QString &input) const
{
    input = QString::number(valueFromText(input));
}

ThematicConfigPage::ThematicConfigPage(int step, QWidget *parent) : QWidget(parent), m_step(step)
{
    setObjectName(QStringLiteral("NP_TestT_%1").arg(step - 1));
    QVBoxLayout *layout = PageFrame::scrollingContent(this);
    QWidget *content = layout->parentWidget();
    QLabel *heading = PageFrame::heading(
            step == 1 ? QStringLiteral("Krok 1 z 2 - Wprowadź ilości pytań dla poszczególnych kategorii")
                      : QStringLiteral("Krok 2 z 2 - Wprowadź ilości pytań dla poszczególnych kategorii zawodowych"),
            content);
    heading->setAlignment(Qt::AlignHCenter);
    layout->addWidget(heading);
    if (step == 1) {
        m_resume = new ResumeOffer(QStringLiteral("_T"), content);
        layout->addWidget(m_resume);
    }
    layout->addSpacing(8);

    auto *grid = new QGridLayout;
    grid->setColumnStretch(2, 1);
    grid->setHorizontalSpacing(10);
    grid->setVerticalSpacing(6);
    int row = 0;
    for (const ThematicSection &section : ThematicDraw::ThematicSections()) {
        if (section.step != step)
            continue;
        auto *field = new CountSpinBox(content);
        field->setObjectName(QStringLiteral("JvSE_TestT_%1").arg(section.idDzial));
        field->installEventFilter(this);
        auto *label = new QLabel(QString::fromUtf16(section.caption), content);
        label->setObjectName(QStringLiteral("JvL_TestT_%1").arg(section.idDzial));
        label->setWordWrap(true);
        label->setBuddy(field);
        auto *available = new QLabel(content);
        available->setObjectName(QStringLiteral("L_TestT_Available_%1").arg(section.idDzial));
        available->setMinimumWidth(
            available->fontMetrics().horizontalAdvance(QStringLiteral("z 0000")));
        available->setStyleSheet(QStringLiteral("color: rgb(90, 90, 90);"));
        available->setFixedHeight(field->sizeHint().height());
        available->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
        grid->addWidget(field, row, 0, Qt::AlignTop);
        grid->addWidget(available, row, 1, Qt::AlignTop | Qt::AlignLeft);
        grid->addWidget(label, row, 2);
        if (section.idDzial == 13) {
            // The caption quotes the earlier list; the hint says what holds now.
            for (QWidget *widget : {static_cast<QWidget *>(field), static_cast<QWidget *>(label)})
                widget->setToolTip(LawNotes::generatingSets());
        }
        m_fields.insert(section.idDzial, field);
        m_available.insert(section.idDzial, available);
        ++row;
    }
    layout->addLayout(grid);
    layout->addSpacing(8);

    auto *buttons = new QHBoxLayout;
    buttons->addStretch(1);
    const auto button = [&](const char *name, const QString &caption, QStyle::StandardPixmap icon) {
        auto *widget = new QPushButton(style()->standardIcon(icon), caption, content);
        widget->setObjectName(QLatin1String(name));
        widget->setAutoDefault(false);
        widget->setMinimumHeight(30);
        buttons->addWidget(widget);
        return widget;
    };
    if (step == 1) {
        QPushButton *next = button("BitBtn1", QStringLiteral("Dalej do kroku 2"), QStyle::SP_ArrowForward);
        next->setLayoutDirection(Qt::RightToLeft); // the glyph right of the caption
        connect(next, &QPushButton::clicked, this, &ThematicConfigPage::nextRequested);
    } else {
        QPushButton *back = button("BitBtn3", QStringLiteral("Powrót do kroku 1"), QStyle::SP_ArrowBack);
        m_start = button("BitBtn2", QStringLiteral("Rozpocznij test"), QStyle::SP_DialogOkButton);
        m_start->setDefault(true);
        QFont bold = m_start->font();
        bold.setBold(true);
        m_start->setFont(bold);
        connect(back, &QPushButton::clicked, this, &ThematicConfigPage::backRequested);
        connect(m_start, &QPushButton::clicked, this, &ThematicConfigPage::startRequested);
    }
    layout->addLayout(buttons);
    layout->addStretch(1);
}

QMap<int, int> ThematicConfigPage::counts() const
{
    QMap<int, int> result;
    for (auto it = m_fields.cbegin(); it != m_fields.cend(); ++it) {
        // A value still being typed counts as the field would take it.
        it.value()->interpretText();
        result.insert(it.key(), it.value()->value());
    }
    return result;
}

void ThematicConfigPage::setAvailable(const QMap<int, int> &available)
{
    for (auto it = m_available.cbegin(); it != m_available.cend(); ++it) {
        const int count = available.value(it.key());
        it.value()->setText(tr("z %1").arg(count));
        it.value()->setToolTip(
            tr("Pytań tego działu w bazie: %1. Jeśli poprosisz o więcej, test będzie ich "
               "zawierał tylko tyle.")
                .arg(count));
    }
}

bool ThematicConfigPage::eventFilter(QObject *watched, QEvent *event)
{
    if (m_start && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent *>(event)->key();
        if ((key == Qt::Key_Return || key == Qt::Key_Enter) && qobject_cast<CountSpinBox *>(watched)) {
            static_cast<CountSpinBox *>(watched)->interpretText();
            m_start->click();
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}
