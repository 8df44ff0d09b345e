#include "examconfigpage.h"

#include "lawnotes.h"
#include "pageframe.h"
#include "resumeoffer.h"
#include "toolkit/messageboxes.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QStyle>
#include <QToolButton>
#include <QVBoxLayout>

namespace {

const char16_t *const TopicGroupCaptions[10] = {
    u"1) urządzenia prądotwórcze przyłączone do krajowej sieci elektroenergetycznej bez względu na wysokość napięcia znamionowego",
    u"2) urządzenia, instalacje i sieci elektroenergetyczne o napięciu nie wyższym niż 1 kV",
    u"3) urządzenia, instalacje i sieci o napięciu znamionowym powyżej 1 kV",
    u"4) zespoły prądotwórcze o mocy łącznie od 20 kW wzwyż",
    u"5) urządzenia elektrotermiczne",
    u"6) urządzenia do elektrolizy",
    u"7) sieci elektrycznego oświetlenia ulicznego",
    u"8) elektryczna sieć trakcyjna",
    u"9) elektryczne urządzenia w wykonaniu przeciwwybuchowym",
    u"10) aparatura kontrolno-pomiarowa oraz urządzenia i instalacje automatycznej regulacji; sterowania i zabezpieczeń urządzeń i instalacji wymienionych w pkt 1-9",
};

// A check box whose caption wraps: a box and a label that toggles it.
QCheckBox *wrappingCheckBox(const QString &name, const QString &caption, QWidget *parent, QGridLayout *grid, int row)
{
    auto *box = new QCheckBox(parent);
    box->setObjectName(name);
    box->setAccessibleName(caption);
    auto *label = new QLabel(caption, parent);
    label->setObjectName(name + QStringLiteral("_caption"));
    label->setWordWrap(true);
    label->setBuddy(box);
    label->setTextInteractionFlags(Qt::NoTextInteraction);
    label->setCursor(Qt::PointingHandCursor);
    grid->addWidget(box, row, 0, Qt::AlignTop);
    grid->addWidget(label, row, 1);
    return box;
}

// A click on a caption is a click on its box.
class CaptionClicks : public QObject
{
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::MouseButtonRelease) {
            if (auto *label = qobject_cast<QLabel *>(watched)) {
                if (auto *box = qobject_cast<QCheckBox *>(label->buddy()))
                    box->click();
                return true;
            }
        }
        return QObject::eventFilter(watched, event);
    }
};

} // namespace

ExamConfigPage::ExamConfigPage(QWidget *parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("NP_Test_0"));
    QVBoxLayout *layout = PageFrame::scrollingContent(this);
    QWidget *content = layout->parentWidget();
    layout->addWidget(PageFrame::heading(tr("Test egzaminacyjny – wybierz zakres egzaminu"), content));
    m_resume = new ResumeOffer(QString(), content);
    layout->addWidget(m_resume);

    auto *requirements = new QGroupBox(QStringLiteral("Wymagania kwalifikacyjne "), content);
    auto *requirementsLayout = new QHBoxLayout(requirements);
    auto *variants = new QButtonGroup(this);
    const auto toggle = [&](QToolButton *&button, const char *name, const QString &caption) {
        button = new QToolButton(requirements);
        button->setObjectName(QLatin1String(name));
        button->setText(caption);
        button->setCheckable(true);
        button->setMinimumSize(120, 30);
        button->setToolButtonStyle(Qt::ToolButtonTextOnly);
        variants->addButton(button);
        requirementsLayout->addWidget(button);
    };
    toggle(JvSB_D, "JvSB_D", QStringLiteral("Dozór (D)"));
    toggle(JvSB_E, "JvSB_E", QStringLiteral("Eksploatacja (E)"));
    variants->setExclusive(true);
    requirementsLayout->addSpacing(20);
    auto *measurements = new QVBoxLayout;
    CB_PE_do1kV = new QCheckBox(QStringLiteral("Pomiary elektryczne do 1 kV"), requirements);
    CB_PE_do1kV->setObjectName(QStringLiteral("CB_PE_do1kV"));
    CB_PE_po1kV = new QCheckBox(QStringLiteral("Pomiary elektryczne powyżej 1 kV"), requirements);
    CB_PE_po1kV->setObjectName(QStringLiteral("CB_PE_po1kV"));
    measurements->addWidget(CB_PE_do1kV);
    measurements->addWidget(CB_PE_po1kV);
    requirementsLayout->addLayout(measurements);
    requirementsLayout->addStretch(1);
    layout->addWidget(requirements);

    auto *scope = new QGroupBox(QStringLiteral("Prace w zakresie:"), content);
    auto *scopeLayout = new QVBoxLayout(scope);
    JvRB_zakres_prac__obsluga = new QRadioButton(QStringLiteral("Obsługi"), scope);
    JvRB_zakres_prac__obsluga->setObjectName(QStringLiteral("JvRB_zakres_prac__obsluga"));
    JvRB_zakres_prac__konserwacja = new QRadioButton(QStringLiteral("Konserwacji, remontów, montażu, kontrolno-pomiarowym"), scope);
    JvRB_zakres_prac__konserwacja->setObjectName(QStringLiteral("JvRB_zakres_prac__konserwacja"));
    scopeLayout->addWidget(JvRB_zakres_prac__obsluga);
    scopeLayout->addWidget(JvRB_zakres_prac__konserwacja);
    layout->addWidget(scope);

    auto *shock = new QGroupBox(QStringLiteral("Zakres pytań z ochrony przeciwporażeniowej"), content);
    auto *shockLayout = new QVBoxLayout(shock);
    JvCB_OchrPrzPor_do1kV = new QCheckBox(QStringLiteral("Do 1 kV"), shock);
    JvCB_OchrPrzPor_do1kV->setObjectName(QStringLiteral("JvCB_OchrPrzPor_do1kV"));
    JvCB_OchrPrzPor_pow1kV = new QCheckBox(QStringLiteral("Powyżej 1 kV"), shock);
    JvCB_OchrPrzPor_pow1kV->setObjectName(QStringLiteral("JvCB_OchrPrzPor_pow1kV"));
    shockLayout->addWidget(JvCB_OchrPrzPor_do1kV);
    shockLayout->addWidget(JvCB_OchrPrzPor_pow1kV);
    layout->addWidget(shock);

    auto *groups = new QGroupBox(QStringLiteral("Grupy tematyczne:"), content);
    auto *groupsLayout = new QVBoxLayout(groups);
    auto *grid = new QGridLayout;
    grid->setColumnStretch(1, 1);
    grid->setVerticalSpacing(3);
    auto *clicks = new CaptionClicks(this);
    for (int i = 0; i < 10; ++i) {
        JvCB_GT[std::size_t(i)] = wrappingCheckBox(QStringLiteral("JvCB_GT_%1").arg(i + 1),
                                                   QString::fromUtf16(TopicGroupCaptions[i]), groups, grid, i);
        grid->itemAtPosition(i, 1)->widget()->installEventFilter(clicks);
    }
    // Group 4 quotes the earlier list; the hint says what holds now.
    JvCB_GT[3]->setToolTip(LawNotes::generatingSets());
    grid->itemAtPosition(3, 1)->widget()->setToolTip(LawNotes::generatingSets());
    groupsLayout->addLayout(grid);
    auto *groupButtons = new QHBoxLayout;
    const auto small = [&](const char *name, const QString &caption, void (ExamConfigPage::*slot)()) {
        auto *button = new QPushButton(caption, groups);
        button->setObjectName(QLatin1String(name));
        button->setAutoDefault(false);
        connect(button, &QPushButton::clicked, this, slot);
        groupButtons->addWidget(button);
    };
    small("BB_GrupyTem_All", QStringLiteral("Zaznacz wszystko"), &ExamConfigPage::BB_GrupyTem_AllClick);
    small("BB_GrupyTem_None", QStringLiteral("Odznacz wszystkie"), &ExamConfigPage::BB_GrupyTem_NoneClick);
    small("BB_GrupyTem_Inv", QStringLiteral("Odwróć zaznaczenie"), &ExamConfigPage::BB_GrupyTem_InvClick);
    groupButtons->addStretch(1);
    groupsLayout->addLayout(groupButtons);
    layout->addWidget(groups);

    auto *bottom = new QHBoxLayout;
    bottom->addStretch(1);
    BB_TestStartCancel = new QPushButton(style()->standardIcon(QStyle::SP_DialogCancelButton),
                                         QStringLiteral("Przywróć ustawienia domyślne"), content);
    BB_TestStartCancel->setObjectName(QStringLiteral("BB_TestStartCancel"));
    BB_TestStartOK = new QPushButton(style()->standardIcon(QStyle::SP_DialogOkButton),
                                     QStringLiteral("Rozpocznij test"), content);
    BB_TestStartOK->setObjectName(QStringLiteral("BB_TestStartOK"));
    for (QPushButton *button : {BB_TestStartCancel, BB_TestStartOK}) {
        button->setAutoDefault(false);
        button->setMinimumHeight(30);
        bottom->addWidget(button);
    }
    QFont startFont = BB_TestStartOK->font();
    startFont.setBold(true);
    BB_TestStartOK->setFont(startFont);
    layout->addLayout(bottom);
    layout->addStretch(1);

    connect(BB_TestStartCancel, &QPushButton::clicked, this, &ExamConfigPage::BB_TestStartCancelClick);
    connect(BB_TestStartOK, &QPushButton::clicked, this, &ExamConfigPage::startRequested);
    setConfig(ExamTestConfig{});
}

ExamTestConfig ExamConfigPage::config() const
{
    ExamTestConfig config;
    config.variant = JvSB_E->isChecked() ? ExamTestConfig::Variant::E : ExamTestConfig::Variant::D;
    config.MeasurementsUpTo1kV = CB_PE_do1kV->isChecked();
    config.MeasurementsAbove1kV = CB_PE_po1kV->isChecked();
    config.workScope = JvRB_zakres_prac__obsluga->isChecked() ? ExamTestConfig::WorkScope::Operation
                                                              : ExamTestConfig::WorkScope::Maintenance;
    config.ShockProtectionUpTo1kV = JvCB_OchrPrzPor_do1kV->isChecked();
    config.ShockProtectionAbove1kV = JvCB_OchrPrzPor_pow1kV->isChecked();
    for (std::size_t i = 0; i < JvCB_GT.size(); ++i)
        config.TopicGroups[i] = JvCB_GT[i]->isChecked();
    return config;
}

void ExamConfigPage::setConfig(const ExamTestConfig &config)
{
    (config.variant == ExamTestConfig::Variant::D ? JvSB_D : JvSB_E)->setChecked(true);
    (config.workScope == ExamTestConfig::WorkScope::Operation ? JvRB_zakres_prac__obsluga
                                                              : JvRB_zakres_prac__konserwacja)
            ->setChecked(true);
    JvCB_OchrPrzPor_do1kV->setChecked(config.ShockProtectionUpTo1kV);
    JvCB_OchrPrzPor_pow1kV->setChecked(config.ShockProtectionAbove1kV);
    CB_PE_do1kV->setChecked(config.MeasurementsUpTo1kV);
    CB_PE_po1kV->setChecked(config.MeasurementsAbove1kV);
    for (std::size_t i = 0; i < JvCB_GT.size(); ++i)
        JvCB_GT[i]->setChecked(config.TopicGroups[i]);
}

void ExamConfigPage::BB_GrupyTem_AllClick()
{
    for (QCheckBox *box : JvCB_GT)
        box->setChecked(true);
}

void ExamConfigPage::BB_GrupyTem_NoneClick()
{
    for (QCheckBox *box : JvCB_GT)
        box->setChecked(false);
}

void ExamConfigPage::BB_GrupyTem_InvClick()
{
    for (QCheckBox *box : JvCB_GT)
        box->setChecked(!box->isChecked());
}

void ExamConfigPage::BB_TestStartCancelClick()
{
    if (!MessageBoxes::question(this, QStringLiteral("Załadowanie ustawień domyślnych"),
                                QStringLiteral("Czy chcesz załadować ustawinia dumyślne?"), QMessageBox::No))
        return;
    setConfig(ExamTestConfig{});
}

void ExamConfigPage::keyPressEvent(QKeyEvent *event)
{
    switch (event->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
        // Enter on another button is that button's; elsewhere it starts the test.
        if (auto *button = qobject_cast<QAbstractButton *>(focusWidget());
            button && button != BB_TestStartOK && !qobject_cast<QCheckBox *>(button)
            && !qobject_cast<QRadioButton *>(button)) {
            button->click();
        } else {
            BB_TestStartOK->click();
        }
        return;
    case Qt::Key_Escape:
        BB_TestStartCancel->click();
        return;
    default:
        QWidget::keyPressEvent(event);
    }
}
