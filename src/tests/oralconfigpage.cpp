#include "oralconfigpage.h"

#include "oraldrill.h"
#include "pageframe.h"
#include "thematicdraw.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QSpinBox>
#include <QStyle>
#include <QToolButton>
#include <QVBoxLayout>

namespace {

constexpr int SectionColumns = 1;
const char *const SectionProperty = "idDzial";

QString sectionCaption(const ThematicSection &section)
{
    return QString::fromUtf16(section.caption).trimmed();
}

} // namespace

OralConfigPage::OralConfigPage(QWidget *parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("NP_Ustny_0"));
    QVBoxLayout *layout = PageFrame::scrollingContent(this);
    QWidget *content = layout->parentWidget();
    layout->addWidget(PageFrame::heading(tr("Egzamin ustny – wybierz zakres pytań"), content));
    auto *intro = new QLabel(tr("Pytanie otwarte odpowiedz na głos lub w myślach, porównaj z "
                                "odpowiedzią wzorcową i oceń sam, czy umiesz. Czego nie umiesz, "
                                "wróci jutro; co umiesz, coraz rzadziej."),
                             content);
    intro->setWordWrap(true);
    layout->addWidget(intro);

    auto *position = new QGroupBox(tr("Najpierw pytania dla stanowiska"), content);
    auto *positionLayout = new QHBoxLayout(position);
    auto *variants = new QButtonGroup(this);
    const auto toggle = [&](const char *name, const QString &caption) {
        auto *button = new QToolButton(position);
        button->setObjectName(QLatin1String(name));
        button->setText(caption);
        button->setCheckable(true);
        button->setMinimumSize(120, 30);
        variants->addButton(button);
        positionLayout->addWidget(button);
        return button;
    };
    m_d = toggle("SB_OralD", tr("Dozór (D)"));
    m_e = toggle("SB_OralE", tr("Eksploatacja (E)"));
    m_e->setChecked(true);
    auto *variantHint = new QLabel(tr("pozostałe pytania po nich"), position);
    positionLayout->addSpacing(12);
    positionLayout->addWidget(variantHint);
    positionLayout->addStretch(1);
    layout->addWidget(position);

    auto *sections = new QGroupBox(tr("Działy:"), content);
    auto *sectionsLayout = new QVBoxLayout(sections);
    auto *grid = new QGridLayout;
    grid->setVerticalSpacing(2);
    const QList<ThematicSection> &all = ThematicDraw::ThematicSections();
    const int rows = int(all.size() + SectionColumns - 1) / SectionColumns;
    for (int i = 0; i < all.size(); ++i) {
        auto *box = new QCheckBox(sectionCaption(all.at(i)), sections);
        box->setObjectName(QStringLiteral("CB_OralSection_%1").arg(all.at(i).idDzial));
        box->setProperty(SectionProperty, all.at(i).idDzial);
        box->setChecked(true);
        // The longest captions are cut at the page's edge rather than widen it.
        box->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Fixed);
        box->setMinimumWidth(200);
        box->setToolTip(sectionCaption(all.at(i)));
        grid->addWidget(box, i % rows, i / rows);
        m_sections.append(box);
    }
    sectionsLayout->addLayout(grid);
    auto *groupButtons = new QHBoxLayout;
    const auto small
        = [&](const char *name, const QString &caption, void (OralConfigPage::*slot)()) {
              auto *button = new QPushButton(caption, sections);
              button->setObjectName(QLatin1String(name));
              button->setAutoDefault(false);
              connect(button, &QPushButton::clicked, this, slot);
              groupButtons->addWidget(button);
          };
    small("BB_OralSections_All", tr("Zaznacz wszystko"), &OralConfigPage::selectAll);
    small("BB_OralSections_None", tr("Odznacz wszystkie"), &OralConfigPage::selectNone);
    small("BB_OralSections_Inv", tr("Odwróć zaznaczenie"), &OralConfigPage::invertSelection);
    groupButtons->addStretch(1);
    sectionsLayout->addLayout(groupButtons);
    layout->addWidget(sections);

    auto *bottom = new QHBoxLayout;
    auto *countLabel = new QLabel(tr("Liczba pytań:"), content);
    m_count = new QSpinBox(content);
    m_count->setObjectName(QStringLiteral("SE_OralCount"));
    m_count->setRange(OralDrill::MinQuestions, OralDrill::MaxQuestions);
    m_count->setValue(OralDrill::DefaultQuestions);
    countLabel->setBuddy(m_count);
    bottom->addWidget(countLabel);
    bottom->addWidget(m_count);
    bottom->addStretch(1);
    m_start = new QPushButton(style()->standardIcon(QStyle::SP_DialogOkButton), tr("Rozpocznij"),
                              content);
    m_start->setObjectName(QStringLiteral("BB_OralStart"));
    m_start->setAutoDefault(false);
    m_start->setMinimumHeight(30);
    QFont bold = m_start->font();
    bold.setBold(true);
    m_start->setFont(bold);
    bottom->addWidget(m_start);
    layout->addLayout(bottom);
    layout->addStretch(1);
    connect(m_start, &QPushButton::clicked, this, &OralConfigPage::startRequested);
}

QChar OralConfigPage::variant() const
{
    return m_d->isChecked() ? u'D' : u'E';
}

QList<int> OralConfigPage::sections() const
{
    QList<int> codes;
    for (const QCheckBox *box : m_sections) {
        if (box->isChecked())
            codes.append(box->property(SectionProperty).toInt());
    }
    std::sort(codes.begin(), codes.end());
    return codes;
}

int OralConfigPage::count() const
{
    return m_count->value();
}

void OralConfigPage::setAvailable(const QMap<int, int> &counts)
{
    const QList<ThematicSection> &all = ThematicDraw::ThematicSections();
    for (int i = 0; i < m_sections.size(); ++i)
        m_sections.at(i)->setText(QStringLiteral("%1 (%2)")
                                      .arg(sectionCaption(all.at(i)))
                                      .arg(counts.value(all.at(i).idDzial)));
}

void OralConfigPage::selectAll()
{
    for (QCheckBox *box : std::as_const(m_sections))
        box->setChecked(true);
}

void OralConfigPage::selectNone()
{
    for (QCheckBox *box : std::as_const(m_sections))
        box->setChecked(false);
}

void OralConfigPage::invertSelection()
{
    for (QCheckBox *box : std::as_const(m_sections))
        box->setChecked(!box->isChecked());
}

void OralConfigPage::keyPressEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        // Enter on another push button is that button's; elsewhere it starts the drill.
        auto *button = qobject_cast<QPushButton *>(focusWidget());
        (button ? button : m_start)->click();
        return;
    }
    QWidget::keyPressEvent(event);
}
