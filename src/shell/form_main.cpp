#include "form_main.h"

#include "buildinfo.h"
#include "credits.h"
#include "data/database.h"
#include "data/sql.h"
#include "notes/form_notes.h"
#include "pictures.h"
#include "printing/form_printpreview.h"
#include "regulations/qmx_tree.h"
#include "regulations/regulationtree.h"
#include "searchanimation.h"
#include "searchresultsview.h"
#include "toolkit/collapsiblesplitter.h"
#include "toolkit/filedialogs.h"
#include "toolkit/hintdelaystyle.h"
#include "toolkit/messageboxes.h"
#include "toolkit/navigationbutton.h"
#include "toolkit/rtfview.h"
#include "toolkit/worker.h"
#include "toolkit/zoomlevel.h"
#include "tests/answerpage.h"
#include "tests/examconfigpage.h"
#include "tests/oralconfigpage.h"
#include "tests/oraldrillpage.h"
#include "tests/oralendpage.h"
#include "tests/oralexam.h"
#include "tests/practice.h"
#include "tests/progresspage.h"
#include "tests/resultpage.h"
#include "tests/resumeoffer.h"
#include "tests/testrunner.h"
#include "tests/thematicconfigpage.h"
#include "tests/thematicdraw.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QDesktopServices>
#include <QDir>
#include <QFile>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScopeGuard>
#include <QScreen>
#include <QShortcut>
#include <QSplitter>
#include <QStackedWidget>
#include <QStyleFactory>
#include <QTextCursor>
#include <QTextDocument>
#include <QToolBar>
#include <QTreeWidgetItemIterator>
#include <QVBoxLayout>

#include <exception>
#include <thread>

namespace {

QString databaseDirectory(const TF_Main::Options &options)
{
    if (!options.databaseDirectory.isEmpty())
        return options.databaseDirectory;
    return QDir(options.baseDirectory).filePath(QStringLiteral("db"));
}

QString userDataLine(const TF_Main::Options &options)
{
    const QString path = QDir(databaseDirectory(options)).filePath(QLatin1String(Database::FileName));
    QString line = QStringLiteral("Twoje notatki i testy: ") + QDir::toNativeSeparators(path);
    if (options.databaseReadOnly)
        line += QStringLiteral(" (tylko do odczytu)");
    return line;
}

const QString DesignPage = QStringLiteral("NP_Empty");
const QColor SearchPanelColour(128, 160, 243);
// Behind every match of the listed phrase in the shown document.
const QColor ListedMatchColour(255, 236, 150);

void installHintDelay(int delayMs)
{
    if (qobject_cast<HintDelayStyle *>(QApplication::style()))
        return;
    QApplication::setStyle(
            new HintDelayStyle(delayMs, QStyleFactory::create(QApplication::style()->name())));
}

QFont tahoma(int points)
{
    QFont font(QStringLiteral("Tahoma"));
    // Where Tahoma is missing, a face of similar width rather than the wide default.
    font.setFamilies({QStringLiteral("Tahoma"), QStringLiteral("Liberation Sans"), QStringLiteral("Arial")});
    font.setPointSize(points);
    return font;
}

void fillWith(QWidget *widget, const QColor &colour)
{
    QPalette palette = widget->palette();
    palette.setColor(QPalette::Window, colour);
    widget->setPalette(palette);
    widget->setAutoFillBackground(true);
}

QLabel *centredLine(const QString &text, QWidget *parent, const char *name = nullptr)
{
    auto *label = new QLabel(text, parent);
    if (name)
        label->setObjectName(QLatin1String(name));
    label->setFont(tahoma(10));
    label->setAlignment(Qt::AlignHCenter);
    label->setMinimumWidth(1); // a narrow page cuts the line instead of widening the window
    return label;
}

QLabel *linkLine(const QString &text, QWidget *parent, const char *name)
{
    QLabel *label = centredLine(text, parent, name);
    label->setCursor(Qt::PointingHandCursor);
    label->setStyleSheet(QStringLiteral("color: blue;"));
    return label;
}

// Runs a handler when the label is clicked.
class ClickFilter : public QObject
{
public:
    ClickFilter(QObject *parent, std::function<void()> onClick)
        : QObject(parent), m_onClick(std::move(onClick)) { }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::MouseButtonRelease) {
            m_onClick();
            return true;
        }
        return QObject::eventFilter(watched, event);
    }

private:
    std::function<void()> m_onClick;
};

void onClick(QWidget *widget, std::function<void()> handler)
{
    widget->installEventFilter(new ClickFilter(widget, std::move(handler)));
}

// A page of the page set with a background of its own: a white about page,
// the button face elsewhere.
QWidget *newPage(const QString &name)
{
    auto *page = new QWidget;
    page->setObjectName(name);
    return page;
}

} // namespace

const QColor TF_Main::SectionDocumentColor(194, 215, 248);
const QColor TF_Main::DocumentColor(255, 255, 229);

void SetToolBarActive(QToolBar *toolBar, bool active)
{
    const QList<QAction *> actions = toolBar->actions();
    for (QAction *action : actions) {
        if (!action->isSeparator())
            action->setEnabled(active);
    }
    toolBar->setVisible(active);
}

const QStringList &TF_Main::pageNames()
{
    static const QStringList names = {
        QStringLiteral("NP_About"),   QStringLiteral("NP_Empty"),   QStringLiteral("NP_Document"),
        QStringLiteral("NP_Test_0"),  QStringLiteral("NP_Test_1"),  QStringLiteral("NP_Test_2"),
        QStringLiteral("NP_TestT_0"), QStringLiteral("NP_TestT_1"), QStringLiteral("NP_TestT_2"),
        QStringLiteral("NP_TestT_3"), QStringLiteral("NP_Help"),     QStringLiteral("NP_Postepy"),
        QStringLiteral("NP_Ustny_0"), QStringLiteral("NP_Ustny_1"),  QStringLiteral("NP_Ustny_2"),
    };
    return names;
}

TF_Main::TF_Main(QWidget *parent) : TF_Main(Options{.prerelease = IsPrereleaseBuild()}, parent) { }

TF_Main::TF_Main(const Options &options, QWidget *parent)
    : QMainWindow(parent), m_options(options), m_documentZoom(new ZoomLevel(this)),
      m_testZoom(new ZoomLevel(this))
{
    buildWindow();
    FormCreate();
}

TF_Main::~TF_Main()
{
    FormDestroy();
}

int TF_Main::testStep() const
{
    return m_examRunner->step();
}

int TF_Main::thematicTestStep() const
{
    return m_thematicRunner->step();
}

void TF_Main::setTestStep(int step)
{
    m_examRunner->setStep(step);
}

void TF_Main::setThematicTestStep(int step)
{
    m_thematicRunner->setStep(step);
}

QString TF_Main::captionFor(bool prerelease)
{
    QString caption = Credits::productTitle();
    if (prerelease)
        caption += QStringLiteral("   --- Wersja rozwojowa - Tylko do użytku wewnętrznego ---");
    return caption;
}

// ---------------------------------------------------------------------------
// Layout

void TF_Main::buildWindow()
{
    setObjectName(QStringLiteral("F_Main"));
    setWindowTitle(captionFor(false));
    setWindowIcon(QIcon(Pictures::emblem(QSize(64, 64))));
    QFont designFont(QStringLiteral("MS Sans Serif"));
    designFont.setPointSize(8);
    setFont(designFont);
    resize(DesignSize);
    setMinimumSize(DesignMinimumSize);
    if (const QScreen *screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());

    auto *central = new QWidget(this);
    auto *layout = new QVBoxLayout(central);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(buildNavigationBar());

    JvNetscapeSplitter1 = new CollapsibleSplitter(central);
    JvNetscapeSplitter1->setObjectName(QStringLiteral("JvNetscapeSplitter1"));
    JvNetscapeSplitter1->addWidget(buildLeftPane());
    JvNetscapeSplitter1->addWidget(buildContentArea());
    JvNetscapeSplitter1->setStretchFactor(0, 0);
    JvNetscapeSplitter1->setStretchFactor(1, 1);
    JvNetscapeSplitter1->setSizes({LeftPaneWidth, DesignSize.width() - LeftPaneWidth});
    layout->addWidget(JvNetscapeSplitter1, 1);
    setCentralWidget(central);
    buildZoomActions();
}

void TF_Main::buildZoomActions()
{
    JvDBRE_Dokument->setZoomLevel(m_documentZoom);
    JvRE_Help->setZoomLevel(m_documentZoom);
    m_examRunner->answerPage()->setZoomLevel(m_testZoom);
    m_thematicRunner->answerPage()->setZoomLevel(m_testZoom);
    // On the window, so that the keys work wherever the focus is, the tree included.
    const auto add
        = [this](const char *name, const QList<QKeySequence> &keys, void (ZoomLevel::*change)()) {
              auto *action = new QAction(this);
              action->setObjectName(QLatin1String(name));
              action->setShortcuts(keys);
              connect(action, &QAction::triggered, this, [this, change] {
                  if (ZoomLevel *level = currentZoom())
                      (level->*change)();
              });
              addAction(action);
          };
    add("A_ZoomIn", {QKeySequence::ZoomIn, QKeySequence(Qt::CTRL | Qt::Key_Equal)},
        &ZoomLevel::zoomIn);
    add("A_ZoomOut", {QKeySequence::ZoomOut}, &ZoomLevel::zoomOut);
    add("A_ZoomReset", {QKeySequence(Qt::CTRL | Qt::Key_0)}, &ZoomLevel::reset);
}

ZoomLevel *TF_Main::currentZoom() const
{
    const QString page = currentPageName();
    if (page == QLatin1String("NP_Document") || page == QLatin1String("NP_Help"))
        return m_documentZoom;
    for (const TestRunner *runner : {m_examRunner, m_thematicRunner}) {
        if (page == runner->mode().answeringPage)
            return m_testZoom;
    }
    return nullptr;
}

QWidget *TF_Main::buildNavigationBar()
{
    JVP_TopPanek = new QWidget;
    JVP_TopPanek->setObjectName(QStringLiteral("JVP_TopPanek"));
    JVP_TopPanek->setFixedHeight(28);
    // At the design width the buttons on the right are cut off rather than
    // making the window wider.
    JVP_TopPanek->setMinimumWidth(1);
    JVP_TopPanek->setStyleSheet(QStringLiteral(
            "#JVP_TopPanek { background: qlineargradient(x1:0, y1:0, x2:0, y2:1, "
            "stop:0 rgb(236, 242, 255), stop:1 rgb(194, 215, 248)); "
            "border-bottom: 1px solid rgb(131, 162, 243); }"));
    auto *bar = new QHBoxLayout(JVP_TopPanek);
    bar->setContentsMargins(0, 0, 0, 0);
    bar->setSpacing(0);

    const QList<QIcon> &icons = RegulationTree::imageList();
    const auto add = [&](NavigationButton *&button, const char *name, const QString &caption,
                         int width, const QIcon &icon = {},
                         NavigationButton::Kind kind = NavigationButton::Kind::Button) {
        button = new NavigationButton(caption, kind, JVP_TopPanek);
        button->setObjectName(QLatin1String(name));
        QFont font = tahoma(8);
        button->setFont(font);
        button->setIcon(icon);
        button->setIconSize(QSize(16, 16));
        if (width > 0) {
            // A face wider than the designed one is narrowed to the designed
            // width, so that the bar still fits the smallest window.
            for (int stretch = 96; button->sizeHint().width() > width && stretch >= 80; stretch -= 4) {
                font.setStretch(stretch);
                button->setFont(font);
            }
            button->setFixedWidth(std::max(width, button->sizeHint().width()));
        }
        bar->addWidget(button, kind == NavigationButton::Kind::Filler ? 1 : 0);
        return button;
    };
    using Kind = NavigationButton::Kind;
    add(JvNPB_Regulacje, "JvNPB_Regulacje", QStringLiteral("Regulacje prawne"), 115, icons.value(0));
    add(JvNPB_Regulamin, "JvNPB_Regulamin", QStringLiteral("Regulamin i tryb nadawania uprawnień"), 214,
        icons.value(1));
    add(JvNPB_Pytania, "JvNPB_Pytania", QStringLiteral("Wiedza techniczna"), 128, icons.value(3));
    add(JvNPB_Testy, "JvNPB_Testy", QStringLiteral("Testy"), 56, icons.value(4));
    add(JvNPB_Filler, "JvNPB_Filler", QString(), 0, {}, Kind::Filler);
    add(JvNPB_Notatnik, "JvNPB_Notatnik", QStringLiteral("Notatnik"), 68,
        Pictures::icon(QStringLiteral("notes"), 16))
            ->setToolTip(QStringLiteral("Pozwala zapisywać notatki w notatniku"));
    add(JvNPB_About, "JvNPB_About", QStringLiteral("O programie"), 67)
            ->setToolTip(QStringLiteral("Wyświetla informacje o programie"));
    add(JvNavPanelButton1, "JvNavPanelButton1", Credits::publisherSite(), 92, {}, Kind::Link)
            ->setToolTip(QStringLiteral("Otwiera stronę wydawnictwa"));

    connect(JvNPB_Regulacje, &QAbstractButton::clicked, this, &TF_Main::JvNPB_RegulacjeClick);
    connect(JvNPB_Regulamin, &QAbstractButton::clicked, this, &TF_Main::JvNPB_RegulaminClick);
    connect(JvNPB_Pytania, &QAbstractButton::clicked, this, &TF_Main::JvNPB_PytaniaClick);
    connect(JvNPB_Testy, &QAbstractButton::clicked, this, &TF_Main::JvNPB_TestyClick);
    connect(JvNPB_About, &QAbstractButton::clicked, this, &TF_Main::JvNPB_AboutClick);
    connect(JvNPB_Notatnik, &QAbstractButton::clicked, this, &TF_Main::JvNPB_NotatnikClick);
    connect(JvNavPanelButton1, &QAbstractButton::clicked, this, &TF_Main::JvNavPanelButton1Click);
    return JVP_TopPanek;
}

QWidget *TF_Main::buildLeftPane()
{
    P_Left = new QWidget;
    P_Left->setObjectName(QStringLiteral("P_Left"));
    P_Left->setMinimumWidth(120);
    auto *layout = new QVBoxLayout(P_Left);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);

    JvxSplitter1 = new QSplitter(Qt::Vertical, P_Left);
    JvxSplitter1->setObjectName(QStringLiteral("JvxSplitter1"));
    JvxSplitter1->setHandleWidth(3);
    JvxSplitter1->setChildrenCollapsible(false);

    JvTV_LeftTree = new RegulationTree(JvxSplitter1);
    JvTV_LeftTree->setObjectName(QStringLiteral("JvTV_LeftTree"));
    JvTV_LeftTree->setExpansionGate([this] { return FTreeReady; });
    connect(JvTV_LeftTree, &QTreeWidget::itemSelectionChanged, this, &TF_Main::JvTV_LeftTreeSelectionChange);
    connect(JvTV_LeftTree, &RegulationTree::selectedNodePressed, this, &TF_Main::JvTV_LeftTreeSelectionChange);

    P_LeftSearch = new QWidget(JvxSplitter1);
    P_LeftSearch->setObjectName(QStringLiteral("P_LeftSearch"));
    fillWith(P_LeftSearch, SearchPanelColour);
    P_LeftSearch->setMinimumHeight(107);
    auto *search = new QGridLayout(P_LeftSearch);
    search->setContentsMargins(6, 4, 6, 4);
    search->setVerticalSpacing(2);
    Label1 = new QLabel(QStringLiteral("Szukanie"), P_LeftSearch);
    Label1->setAlignment(Qt::AlignHCenter);
    Label1->setObjectName(QStringLiteral("Label1"));
    Label1->setStyleSheet(QStringLiteral("color: white; font-weight: bold;"));
    JvE_Find = new QLineEdit(P_LeftSearch);
    JvE_Find->setObjectName(QStringLiteral("JvE_Find"));
    JvE_Find->setClearButtonEnabled(true);
    CB_SearchThisDocOnly = new QCheckBox(QStringLiteral("Tyklo w tym dokumencie"), P_LeftSearch);
    CB_SearchThisDocOnly->setObjectName(QStringLiteral("CB_SearchThisDocOnly"));
    CB_SearchThisDocOnly->setChecked(true);
    CB_SearchThisDocOnly->setStyleSheet(QStringLiteral("QCheckBox { color: white; }"
                                                       "QCheckBox:disabled { color: rgb(215, 225, 250); }"));
    BB_Find = new QPushButton(QStringLiteral("Znajdź"), P_LeftSearch);
    BB_Find->setObjectName(QStringLiteral("BB_Find"));
    connect(BB_Find, &QAbstractButton::clicked, this, &TF_Main::BB_FindClick);
    connect(JvE_Find, &QLineEdit::returnPressed, this, &TF_Main::JvE_FindKeyPress);
    BB_FindAll = new QPushButton(QStringLiteral("Wszystkie"), P_LeftSearch);
    BB_FindAll->setObjectName(QStringLiteral("BB_FindAll"));
    BB_FindAll->setToolTip(
            QStringLiteral("Wszystkie wystąpienia w dokumentach i pytaniach (Ctrl+Shift+F)"));
    connect(BB_FindAll, &QAbstractButton::clicked, this, &TF_Main::BB_FindAllClick);
    auto *findAll = new QShortcut(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_F), this);
    connect(findAll, &QShortcut::activated, this, &TF_Main::BB_FindAllClick);
    search->addWidget(Label1, 0, 0);
    search->addWidget(JvE_Find, 1, 0);
    search->addWidget(CB_SearchThisDocOnly, 2, 0);
    search->addWidget(BB_FindAll, 3, 0, Qt::AlignLeft);
    search->addWidget(BB_Find, 3, 0, Qt::AlignRight);
    search->setRowStretch(4, 1);

    JvxSplitter1->addWidget(JvTV_LeftTree);
    JvxSplitter1->addWidget(P_LeftSearch);
    JvxSplitter1->setStretchFactor(0, 1);
    JvxSplitter1->setStretchFactor(1, 0);
    JvxSplitter1->setSizes({400, 107});
    layout->addWidget(JvxSplitter1, 1);

    JvSB_Help = new NavigationButton(QStringLiteral("   Pomoc"), NavigationButton::Kind::Button, P_Left);
    JvSB_Help->setObjectName(QStringLiteral("JvSB_Help"));
    JvSB_Help->setFixedHeight(25);
    JvSB_Help->setIcon(Pictures::icon(QStringLiteral("help"), 16));
    JvSB_Help->setIconSize(QSize(16, 16));
    JvSB_Help->setBoldOnHover(true);
    JvSB_Help->setAlignment(Qt::AlignLeft);
    connect(JvSB_Help, &QAbstractButton::clicked, this, &TF_Main::JvSB_HelpClick);
    layout->addWidget(JvSB_Help);
    return P_Left;
}

QWidget *TF_Main::buildContentArea()
{
    Panel2 = new QWidget;
    Panel2->setObjectName(QStringLiteral("Panel2"));
    auto *layout = new QVBoxLayout(Panel2);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);

    JvTB_Document = new QToolBar(Panel2);
    JvTB_Document->setObjectName(QStringLiteral("JvTB_Document"));
    JvTB_Document->setFixedHeight(26);
    JvTB_Document->setIconSize(QSize(16, 16));
    JvTB_Document->setMovable(false);
    JvTB_Document->addSeparator();
    TB_DocSave = JvTB_Document->addAction(Pictures::icon(QStringLiteral("save"), 16), QStringLiteral("Zapisz"));
    TB_DocSave->setObjectName(QStringLiteral("TB_DocSave"));
    TB_DocSave->setToolTip(QStringLiteral("Zapisuje dany dokument do pliku który można później edytwać"));
    JvTB_Document->addSeparator();
    TB_DocPrint = JvTB_Document->addAction(Pictures::icon(QStringLiteral("print"), 16), QStringLiteral("Drukuj"));
    TB_DocPrint->setObjectName(QStringLiteral("TB_DocPrint"));
    TB_DocPrint->setToolTip(QStringLiteral("Drukowanie dokumentu"));
    connect(TB_DocSave, &QAction::triggered, this, &TF_Main::TB_DocSaveClick);
    connect(TB_DocPrint, &QAction::triggered, this, &TF_Main::TB_DocPrintClick);
    layout->addWidget(JvTB_Document);

    Notebook1 = new QStackedWidget(Panel2);
    Notebook1->setObjectName(QStringLiteral("Notebook1"));
    Notebook1->setAutoFillBackground(true);
    buildTestPages();
    for (const QString &name : pageNames()) {
        QWidget *page = nullptr;
        if (name == QLatin1String("NP_About"))
            page = buildAboutPage();
        else if (name == QLatin1String("NP_Document"))
            page = buildDocumentPage();
        else if (name == QLatin1String("NP_Help"))
            page = buildHelpPage();
        else if (name == QLatin1String("NP_Test_0"))
            page = m_examConfigPage;
        else if (name == QLatin1String("NP_Test_1"))
            page = m_examRunner->answerPage();
        else if (name == QLatin1String("NP_Test_2"))
            page = m_examRunner->resultPage();
        else if (name == QLatin1String("NP_TestT_0"))
            page = m_thematicStep1;
        else if (name == QLatin1String("NP_TestT_1"))
            page = m_thematicStep2;
        else if (name == QLatin1String("NP_TestT_2"))
            page = m_thematicRunner->answerPage();
        else if (name == QLatin1String("NP_TestT_3"))
            page = m_thematicRunner->resultPage();
        else if (name == QLatin1String("NP_Postepy"))
            page = m_progressPage;
        else if (name == QLatin1String("NP_Ustny_0"))
            page = m_oralExam->configPage();
        else if (name == QLatin1String("NP_Ustny_1"))
            page = m_oralExam->drillPage();
        else if (name == QLatin1String("NP_Ustny_2"))
            page = m_oralExam->endPage();
        else
            page = newPage(name);
        Notebook1->addWidget(page);
    }
    Notebook1->setCurrentIndex(int(pageNames().indexOf(DesignPage)));
    layout->addWidget(Notebook1, 1);
    return Panel2;
}

void TF_Main::buildTestPages()
{
    const TestRunner::Hooks hooks{[this](const QString &page) { showPage(page); },
                                  [this] { rerunTreeSelection(); },
                                  [this](int itemId) { SelectRootNode(itemId); }};
    for (const TestMode *mode : {&TestMode::exam(), &TestMode::thematic()}) {
        auto *runner = new TestRunner(*mode, new AnswerPage(*mode), new ResultPage(*mode), hooks, this);
        (mode == &TestMode::exam() ? m_examRunner : m_thematicRunner) = runner;
    }
    m_examConfigPage = new ExamConfigPage;
    connect(m_examConfigPage, &ExamConfigPage::startRequested, this, &TF_Main::BB_TestStartOKClick);
    m_thematicStep1 = new ThematicConfigPage(1);
    m_thematicStep2 = new ThematicConfigPage(2);
    connect(m_thematicStep1, &ThematicConfigPage::nextRequested, this, &TF_Main::BitBtn1Click);
    connect(m_thematicStep2, &ThematicConfigPage::backRequested, this, &TF_Main::BitBtn3Click);
    connect(m_thematicStep2, &ThematicConfigPage::startRequested, this, &TF_Main::BitBtn2Click);
    connect(m_examConfigPage->resumeOffer(), &ResumeOffer::resumeRequested, m_examRunner,
            &TestRunner::resumeInterruptedTest);
    connect(m_thematicStep1->resumeOffer(), &ResumeOffer::resumeRequested, m_thematicRunner,
            &TestRunner::resumeInterruptedTest);
    m_progressPage = new ProgressPage;
    new Practice(m_examRunner, m_thematicRunner, m_progressPage, this);
    m_oralExam = new OralExam({[this](const QString &page) { showPage(page); },
                               [this](int itemId) { SelectRootNode(itemId); }, {}},
                              this);
}

void TF_Main::rerunTreeSelection()
{
    if (JvTV_LeftTree->currentItem())
        JvTV_LeftTreeSelectionChange();
}

QWidget *TF_Main::buildAboutPage()
{
    QWidget *page = newPage(QStringLiteral("NP_About"));
    auto *layout = new QVBoxLayout(page);
    layout->setContentsMargins(0, 8, 0, 8);
    layout->setSpacing(0);

    auto *banner = new QWidget(page);
    banner->setObjectName(QStringLiteral("JvPanel5"));
    banner->setFixedHeight(101);
    auto *bannerLayout = new QVBoxLayout(banner);
    bannerLayout->setContentsMargins(0, 0, 0, 0);
    auto *image2 = new QLabel(banner);
    image2->setObjectName(QStringLiteral("Image2"));
    image2->setPixmap(Pictures::banner());
    image2->setAlignment(Qt::AlignCenter);
    image2->setMinimumWidth(1);
    bannerLayout->addWidget(image2);
    layout->addWidget(banner);

    auto *emblemPanel = new QWidget(page);
    emblemPanel->setObjectName(QStringLiteral("JvPanel4"));
    auto *emblemLayout = new QVBoxLayout(emblemPanel);
    emblemLayout->setContentsMargins(0, 4, 0, 4);
    auto *image1 = new Pictures::ScaledPicture(Pictures::emblem(QSize(250, 250)), emblemPanel);
    image1->setObjectName(QStringLiteral("Image1"));
    emblemLayout->addWidget(image1);
    layout->addWidget(emblemPanel, 1);

    auto *credits = new QWidget(page);
    credits->setObjectName(QStringLiteral("JvPanel1"));
    auto *creditsLayout = new QVBoxLayout(credits);
    creditsLayout->setContentsMargins(0, 4, 0, 8);
    creditsLayout->setSpacing(1);
    QLabel *company = centredLine(Credits::publisher(), credits);
    QFont companyFont = company->font();
    companyFont.setBold(true);
    company->setFont(companyFont);
    creditsLayout->addWidget(company);
    creditsLayout->addWidget(centredLine(Credits::publisherTagline(), credits));
    creditsLayout->addWidget(centredLine(Credits::publisherStreet(), credits));
    creditsLayout->addWidget(centredLine(Credits::publisherPhones(), credits));
    creditsLayout->addWidget(centredLine(Credits::publisherFaxes(), credits));
    creditsLayout->addWidget(centredLine(Credits::publisherMail(), credits));
    QLabel *label13 = linkLine(Credits::publisherSite(), credits, "Label13");
    QLabel *label23 = linkLine(Credits::publisherShop(), credits, "Label23");
    onClick(label13, [this] { Label13Click(); });
    onClick(label23, [this] { Label23Click(); });
    creditsLayout->addWidget(label13);
    creditsLayout->addWidget(label23);
    creditsLayout->addWidget(centredLine(QStringLiteral("Opracowanie merytoryczne: ") + Credits::contentAuthor(), credits));
    QString edition = QStringLiteral("Wersja ") + ProgramVersion();
    if (const QString date = LegalStateDate(); !date.isEmpty())
        edition += QStringLiteral("  \u2022  Stan prawny na: ") + date;
    creditsLayout->addWidget(centredLine(edition, credits, "L_AboutVersion"));
    layout->addWidget(credits);

    auto *bottom = new QWidget(page);
    bottom->setObjectName(QStringLiteral("JvPanel3"));
    auto *bottomLayout = new QVBoxLayout(bottom);
    bottomLayout->setContentsMargins(8, 0, 8, 0);
    bottomLayout->setSpacing(1);
    JvP_AboutTworca = new QWidget(bottom);
    JvP_AboutTworca->setObjectName(QStringLiteral("JvP_AboutTworca"));
    JvP_AboutTworca->setFixedHeight(16);
    L_AboutTworca = new QLabel(QStringLiteral("Twórca programu: ") + Credits::maker() + u' ', JvP_AboutTworca);
    L_AboutTworca->setObjectName(QStringLiteral("L_AboutTworca"));
    L_AboutTworca->setFont(tahoma(10));
    L_AboutTworca->setAlignment(Qt::AlignCenter);
    L_AboutTworca->setCursor(Qt::PointingHandCursor);
    L_AboutTworca->setMinimumWidth(1);
    auto *makerLayout = new QVBoxLayout(JvP_AboutTworca);
    makerLayout->setContentsMargins(0, 0, 0, 0);
    makerLayout->addWidget(L_AboutTworca);
    L_AboutVendrix = new QLabel(QStringLiteral("  ") + Credits::makerSite(), JvP_AboutTworca);
    L_AboutVendrix->setObjectName(QStringLiteral("L_AboutVendrix"));
    L_AboutVendrix->setFont(tahoma(10));
    L_AboutVendrix->setStyleSheet(QStringLiteral("color: blue; background: transparent;"));
    L_AboutVendrix->setCursor(Qt::PointingHandCursor);
    L_AboutVendrix->raise();
    onClick(L_AboutTworca, [this] { L_AboutVendrixClick(); });
    onClick(L_AboutVendrix, [this] { L_AboutVendrixClick(); });
    JvP_AboutTworca->installEventFilter(this);
    bottomLayout->addWidget(JvP_AboutTworca);
    bottomLayout->addSpacing(6);
    for (const QString &line : {Credits::legalNotice(), Credits::holding()}) {
        auto *label = new QLabel(line, bottom);
        label->setFont(tahoma(10));
        label->setStyleSheet(QStringLiteral("color: rgb(80, 80, 80);"));
        label->setMinimumWidth(1);
        bottomLayout->addWidget(label);
    }
    // Where the notes and tests are kept, so that a user can back them up.
    auto *dataLine = new QLabel(userDataLine(m_options), bottom);
    dataLine->setObjectName(QStringLiteral("L_AboutData"));
    dataLine->setFont(tahoma(10));
    dataLine->setStyleSheet(QStringLiteral("color: rgb(80, 80, 80);"));
    dataLine->setTextInteractionFlags(Qt::TextSelectableByMouse);
    dataLine->setMinimumWidth(1);
    bottomLayout->addWidget(dataLine);
    layout->addWidget(bottom);
    return page;
}

QWidget *TF_Main::buildDocumentPage()
{
    QWidget *page = newPage(QStringLiteral("NP_Document"));
    auto *layout = new QGridLayout(page);
    layout->setContentsMargins(0, 0, 0, 0);
    L_DocWait = new QLabel(QStringLiteral("Trwa ładowanie. Proszę czekać..."), page);
    L_DocWait->setObjectName(QStringLiteral("L_DocWait"));
    L_DocWait->setAlignment(Qt::AlignCenter);
    JvDBRE_Dokument = new RtfView(page);
    JvDBRE_Dokument->setObjectName(QStringLiteral("JvDBRE_Dokument"));
    JvDBRE_Dokument->hide();
    // A match the search selects stays as visible when the focus is elsewhere.
    QPalette viewerPalette = JvDBRE_Dokument->palette();
    for (const auto role : {QPalette::Highlight, QPalette::HighlightedText})
        viewerPalette.setBrush(QPalette::Inactive, role,
                               viewerPalette.brush(QPalette::Active, role));
    JvDBRE_Dokument->setPalette(viewerPalette);
    layout->addWidget(L_DocWait, 0, 0);
    layout->addWidget(JvDBRE_Dokument, 0, 0);
    return page;
}

QWidget *TF_Main::buildHelpPage()
{
    QWidget *page = newPage(QStringLiteral("NP_Help"));
    auto *layout = new QVBoxLayout(page);
    layout->setContentsMargins(0, 0, 0, 0);
    JvRE_Help = new RtfView(page);
    JvRE_Help->setObjectName(QStringLiteral("JvRE_Help"));
    layout->addWidget(JvRE_Help);
    return page;
}

// ---------------------------------------------------------------------------
// Life cycle

void TF_Main::FormCreate()
{
    installHintDelay(HintDelayMs);
    FTreeReady = false;
    FClosing = false;
    runGuarded(this, [this] {
        Database::close();
        Database::open(databaseDirectory(m_options),
                       m_options.databaseReadOnly ? Database::Access::ReadOnly : Database::Access::ReadWrite);
        FNotesWindow = nullptr;
        LoadTree(JvTV_LeftTree, Database::connection(), RegulationTree::SelectedIconOffset);
        JvTV_LeftTree->applyIcons();
        CB_SearchThisDocOnly->setEnabled(false);
        showPage(QStringLiteral("NP_About"));
        SetToolBarActive(JvTB_Document, false);
        m_examRunner->setStep(0);
        m_thematicRunner->setStep(0);
        m_search = DocumentSearch();
        const QMap<int, int> available = ThematicDraw::availableCounts(Database::connection());
        m_thematicStep1->setAvailable(available);
        m_thematicStep2->setAvailable(available);
    });
}

void TF_Main::FormShow()
{
    setWindowTitle(captionFor(m_options.prerelease));
    JvTV_LeftTree->clearSelection();
    TreeIndex::select(JvTV_LeftTree, 0);
    placeMakerLinkNow();
}

void TF_Main::FormActivate()
{
    FTreeReady = true;
    placeMakerLinkNow();
}

void TF_Main::FormClose()
{
    FClosing = true;
}

void TF_Main::FormDestroy()
{
    delete FNotesWindow.data();
    JT_TestGen.reset();
    JT_Test_T_Gen.reset();
    FSearchTask.reset();
    m_everywhereTask.reset();
    FSQ_Dokument.close();
    Database::close();
}

void TF_Main::showEvent(QShowEvent *event)
{
    QMainWindow::showEvent(event);
    if (!event->spontaneous())
        FormShow();
}

void TF_Main::closeEvent(QCloseEvent *event)
{
    FormClose();
    event->accept();
}

void TF_Main::resizeEvent(QResizeEvent *event)
{
    QMainWindow::resizeEvent(event);
    LayoutResultPages();
}

bool TF_Main::event(QEvent *event)
{
    if (event->type() == QEvent::WindowActivate)
        FormActivate();
    return QMainWindow::event(event);
}

bool TF_Main::eventFilter(QObject *watched, QEvent *event)
{
    // The maker line keeps its link after the centred caption at every width.
    if (watched == JvP_AboutTworca && event->type() == QEvent::Resize)
        placeMakerLinkNow();
    return QMainWindow::eventFilter(watched, event);
}

// ---------------------------------------------------------------------------
// Pages

void TF_Main::showPage(const QString &pageName)
{
    QWidget *page = Notebook1->findChild<QWidget *>(pageName, Qt::FindDirectChildrenOnly);
    if (!page || page == Notebook1->currentWidget())
        return;
    Notebook1->setCurrentWidget(page);
    Notebook1PageChanged();
}

QString TF_Main::currentPageName() const
{
    return Notebook1->currentWidget()->objectName();
}

void TF_Main::Notebook1PageChanged()
{
    const QString page = currentPageName();
    if (page == QLatin1String("NP_About")) {
        fillWith(Notebook1, Qt::white);
        SetToolBarActive(JvTB_Document, false);
        PlaceMakerLink();
    } else {
        fillWith(Notebook1, QApplication::palette().color(QPalette::Button));
    }
    for (TestRunner *runner : {m_examRunner, m_thematicRunner}) {
        if (page == runner->mode().answeringPage) {
            SetToolBarActive(JvTB_Document, false);
            runner->preparePage();
        }
    }
    if (page == QLatin1String("NP_Test_2") || page == QLatin1String("NP_TestT_3"))
        LayoutResultPages();
    refreshResumeOffer();
    if (page == QLatin1String("NP_Help"))
        SetToolBarActive(JvTB_Document, false);
}

void TF_Main::refreshResumeOffer()
{
    const QString page = currentPageName();
    if (page == QLatin1String("NP_Test_0"))
        m_examConfigPage->resumeOffer()->setProgress(m_examRunner->interruptedTest());
    if (page == QLatin1String("NP_TestT_0"))
        m_thematicStep1->resumeOffer()->setProgress(m_thematicRunner->interruptedTest());
}

void TF_Main::SelectRootNode(int itemId)
{
    JvTV_LeftTree->setEnabled(false);
    JvTV_LeftTree->setEnabled(true);
    TreeNodeItem *found = TreeIndex::firstWithItemId(JvTV_LeftTree, itemId);
    if (!found)
        return;
    JvTV_LeftTree->setFocus();
    // Selecting here runs the handler once, below, not through the tree's signal.
    JvTV_LeftTree->selectQuietly(found);
    JvTV_LeftTreeSelectionChange();
}

void TF_Main::JvNPB_AboutClick()
{
    showPage(QStringLiteral("NP_About"));
}

// ---------------------------------------------------------------------------
// The tree's dispatch and the document viewer

void TF_Main::JvTV_LeftTreeSelectionChange()
{
    if (FClosing)
        return;
    const QList<QTreeWidgetItem *> selected = JvTV_LeftTree->selectedItems();
    if (!FTreeReady || selected.isEmpty()) {
        showPage(QStringLiteral("NP_About"));
        SetToolBarActive(JvTB_Document, false);
        FTreeReady = true;
        return;
    }
    ResetSearch();
    auto *item = static_cast<TreeNodeItem *>(selected.first());
    if (!item->isExpanded())
        item->setExpanded(true);
    const int itemId = item->node().ItemId;
    FDocColor = itemId >= 1 && itemId <= 4 ? SectionDocumentColor : DocumentColor;

    JvDBRE_Dokument->hide();
    QCoreApplication::processEvents();
    FSQ_Dokument.close();
    JvDBRE_Dokument->setBackgroundColor(FDocColor);
    CB_SearchThisDocOnly->setEnabled(false);
    showNodeContent(itemId, item->node().NodeType);
    // The keyboard stays where the user is: on an answering page, which
    // takes it, or else in the tree, so that the arrows go on through it.
    bool answering = false;
    for (TestRunner *runner : {m_examRunner, m_thematicRunner}) {
        if (currentPageName() == runner->mode().answeringPage) {
            runner->preparePage();
            answering = true;
        }
    }
    if (currentPageName() == m_oralExam->drillPage()->objectName()
        || currentPageName() == m_oralExam->endPage()->objectName()) {
        m_oralExam->preparePage();
        answering = true;
    }
    if (!answering)
        JvTV_LeftTree->setFocus(Qt::OtherFocusReason);
}

void TF_Main::showNodeContent(int itemId, int nodeType)
{
    switch (nodeType) {
    case NodeHeading:
        showPage(QStringLiteral("NP_Empty"));
        SetToolBarActive(JvTB_Document, false);
        break;
    case NodeDocument: {
        setEnabled(false);
        bool shown = false;
        runGuarded(this, [&] {
            if (FSQ_Dokument.open(Database::connection(), itemId)) {
                JvDBRE_Dokument->setRtf(FSQ_Dokument.rtf());
                shown = true;
            }
        });
        if (shown) {
            JvDBRE_Dokument->show();
            lightListedMatches();
            CB_SearchThisDocOnly->setEnabled(true);
            showPage(QStringLiteral("NP_Document"));
            SetToolBarActive(JvTB_Document, true);
        } else {
            showPage(QStringLiteral("NP_Empty"));
            SetToolBarActive(JvTB_Document, false);
        }
        setEnabled(true);
        break;
    }
    case NodeExamTest:
        showPage(QStringLiteral("NP_Test_%1").arg(testStep() == 3 ? 1 : testStep()));
        SetToolBarActive(JvTB_Document, false);
        break;
    case NodeThematicTest:
        showPage(QStringLiteral("NP_TestT_%1").arg(thematicTestStep() == 4 ? 2 : thematicTestStep()));
        SetToolBarActive(JvTB_Document, false);
        break;
    case NodeProgress:
        m_progressPage->refresh();
        showPage(QStringLiteral("NP_Postepy"));
        SetToolBarActive(JvTB_Document, false);
        break;
    case NodeOralExam:
        m_oralExam->show();
        SetToolBarActive(JvTB_Document, false);
        break;
    default:
        showPage(QStringLiteral("NP_About"));
        SetToolBarActive(JvTB_Document, false);
        break;
    }
}

void TF_Main::TB_DocSaveClick()
{
    if (!FSQ_Dokument.hasRow())
        return;
    const QString chosen = FileDialogs::getSaveFileName(
            {this, QStringLiteral("Zapisz dokument"), QString(),
             QStringLiteral("RichText Format (*.rtf)"), QStringLiteral("rtf")});
    if (chosen.isEmpty())
        return;
    runGuarded(this, [&] { saveDocumentFile(documentFileName(chosen), FSQ_Dokument.rtf()); });
}

void TF_Main::TB_DocPrintClick()
{
    // The pages are built while this window still takes input: one preview
    // at a time.
    if (findChild<TF_PreviewForm *>())
        return;
    const std::unique_ptr<TF_PreviewForm> preview = std::make_unique<TF_PreviewForm>(JvDBRE_Dokument, this);
    preview->setDocColor(FDocColor);
    if (runGuarded(this, [&] { preview->BuildPreviewPages(); }))
        preview->exec();
}

// ---------------------------------------------------------------------------
// Document search

void TF_Main::ResetSearch()
{
    m_search.ResetSearch();
}

void TF_Main::JvE_FindKeyPress()
{
    BB_Find->click();
}

void TF_Main::BB_FindClick()
{
    if (FClosing || (FSearchTask && FSearchTask->isRunning()))
        return;
    if (!CB_SearchThisDocOnly->isEnabled())
        CB_SearchThisDocOnly->setChecked(false);
    if (currentPageName() == QLatin1String("NP_About"))
        JvTV_LeftTreeSelectionChange();
    searchNodes();
    FSearchTask.reset();
    FSearchTask = std::make_unique<Worker>(
            this,
            Worker::Settings{QStringLiteral("Szukanie"), QStringLiteral("Trwa przeszukiwanie")},
            [this](Worker &task) { JT_SearchGen_Execute(task); }, [this] { JT_SearchGen_Finish(); });
    FSearchTask->setAnimation(SearchAnimation::create);
    FSearchTask->run();
}

void TF_Main::JT_SearchGen_Execute(Worker &task)
{
    // Runs on the worker: every widget is reached through the UI thread.
    bool closing = false;
    bool thisDocumentOnly = false;
    QString phrase;
    int shownItemId = 0;
    bool documentShown = false;
    task.runOnUiThread([&] {
        closing = FClosing;
        if (closing)
            return;
        phrase = DocumentSearch::trimPhrase(JvE_Find->text());
        JvE_Find->setText(phrase);
        thisDocumentOnly = CB_SearchThisDocOnly->isChecked();
        documentShown = FSQ_Dokument.hasRow();
        shownItemId = FSQ_Dokument.itemId();
    });
    if (closing)
        return;
    m_search.takePhrase(phrase);

    const auto notFound = [this, &task] {
        task.runOnUiThread([this, &task] {
            MessageBoxes::show({task.dialog(), QMessageBox::Information, QStringLiteral("Szukanie"),
                                QStringLiteral("Nie znaleziono szukanej frazy"), QMessageBox::Ok,
                                QMessageBox::Ok});
        });
    };

    if (thisDocumentOnly) {
        QString text;
        if (documentShown) {
            if (!m_documentTexts.contains(shownItemId))
                task.runOnUiThread(
                        [&] { m_documentTexts.insert(shownItemId, *JvDBRE_Dokument->document()); });
            text = m_documentTexts.foldedText(shownItemId).value_or(QString());
        }
        if (const std::optional<DocumentSearch::Match> match = m_search.findInDocument(text))
            task.runOnUiThread([&] { selectMatch(*match); });
        else
            notFound();
        return;
    }

    // The documents not read before are read on a connection of this thread,
    // one after another into one hidden document.
    std::optional<ThreadConnection> connection;
    DocumentQuery FSQ_Dokument_find;
    QTextDocument JvDBRE_Dokument_Find;
    const auto read = [&](int itemId) -> std::optional<QByteArray> {
        if (!connection)
            connection.emplace();
        if (!FSQ_Dokument_find.open(connection->database(), itemId))
            return std::nullopt;
        QByteArray rtf = FSQ_Dokument_find.rtf();
        FSQ_Dokument_find.close();
        return rtf;
    };
    const std::optional<DocumentSearch::Match> match = m_search.findInLibrary(
            m_searchNodes, [&](qint32 itemId) {
                return m_documentTexts.foldedText(itemId, read, &JvDBRE_Dokument_Find);
            });
    if (!match) {
        notFound();
        return;
    }
    task.runOnUiThread([&] { showLibraryMatch(*match); });
}

const QList<SearchNode> &TF_Main::searchNodes()
{
    if (m_searchNodes.isEmpty()) {
        for (QTreeWidgetItemIterator it(JvTV_LeftTree); *it; ++it) {
            const TVemTreeNode &node = static_cast<TreeNodeItem *>(*it)->node();
            m_searchNodes.append({node.ItemId, node.NodeType});
        }
    }
    return m_searchNodes;
}

void TF_Main::showLibraryMatch(const DocumentSearch::Match &match)
{
    m_search.setSelecting(true);
    if (TreeNodeItem *item = TreeIndex::nodeAt(JvTV_LeftTree, match.nodeIndex)) {
        JvTV_LeftTree->selectQuietly(item);
        JvTV_LeftTree->scrollToItem(item);
    }
    JvTV_LeftTreeSelectionChange();
    QCoreApplication::processEvents();
    m_search.setSelecting(false);
    JvDBRE_Dokument->setFocus();
    selectMatch(match);
}

void TF_Main::JT_SearchGen_Finish() { }

void TF_Main::selectMatch(const DocumentSearch::Match &match)
{
    QTextCursor cursor(JvDBRE_Dokument->document());
    const int end = cursor.document()->characterCount() - 1;
    cursor.setPosition(std::min(match.position, end));
    cursor.setPosition(std::min(match.position + match.length, end), QTextCursor::KeepAnchor);
    JvDBRE_Dokument->setTextCursor(cursor);
    JvDBRE_Dokument->ensureCursorVisible();
}

// ---------------------------------------------------------------------------
// Every match at once

void TF_Main::BB_FindAllClick()
{
    if (FClosing || (FSearchTask && FSearchTask->isRunning())
        || (m_everywhereTask && m_everywhereTask->isRunning()))
        return;
    if (!m_resultsView) {
        m_resultsView = new SearchResultsView(this);
        connect(m_resultsView, &SearchResultsView::documentMatchChosen, this,
                &TF_Main::showEverywhereMatch);
        connect(m_resultsView, &SearchResultsView::polishLettersToggled, this,
                [this](bool polishLetters) {
                    runSearchEverywhere(m_resultsView->results().phrase, polishLetters);
                });
        connect(m_resultsView, &SearchResultsView::shownChanged, this,
                &TF_Main::lightListedMatches);
    }
    runSearchEverywhere(JvE_Find->text(), m_resultsView->polishLetters());
}

void TF_Main::runSearchEverywhere(const QString &phrase, bool polishLetters)
{
    const QList<SearchNode> &nodes = searchNodes();
    QList<SearchDocument> documents;
    bool warm = m_questionBank.isLoaded() || DocumentSearch::trimPhrase(phrase).isEmpty();
    int index = 0;
    for (QTreeWidgetItemIterator it(JvTV_LeftTree); *it && index < nodes.size(); ++it, ++index) {
        const SearchNode &node = nodes.at(index);
        if (node.nodeType != NodeDocument)
            continue;
        documents.append({index, node.itemId, (*it)->text(0)});
        warm = warm && m_documentTexts.contains(node.itemId);
    }
    const auto plainOf = [this](qint32 itemId) { return m_documentTexts.plainText(itemId); };

    SearchEverywhere::Results results;
    if (warm) {
        results = SearchEverywhere::run(
                phrase, polishLetters, documents,
                [this](qint32 itemId) { return m_documentTexts.foldedText(itemId); }, plainOf,
                m_questionBank.questions());
    } else {
        // What has not been read yet is read once, on a connection of the worker.
        bool done = false;
        m_everywhereTask.reset();
        m_everywhereTask = std::make_unique<Worker>(
                this,
                Worker::Settings{QStringLiteral("Szukanie"), QStringLiteral("Trwa przeszukiwanie")},
                [&](Worker &) {
                    // The bank is read and searched on a thread and a connection
                    // of its own while the documents are read here: the two take
                    // about as long as the longer of them.
                    std::exception_ptr bankError;
                    SearchEverywhere::BankHits bankHits;
                    std::thread bankReader([&] {
                        try {
                            if (!m_questionBank.isLoaded()) {
                                ThreadConnection bankConnection;
                                m_questionBank.load(bankConnection.database());
                            }
                            bankHits = SearchEverywhere::searchBank(phrase, polishLetters,
                                                                    m_questionBank.questions());
                        } catch (...) {
                            bankError = std::current_exception();
                        }
                    });
                    const auto joinBank = qScopeGuard([&] {
                        if (bankReader.joinable())
                            bankReader.join();
                    });
                    ThreadConnection connection;
                    DocumentQuery query;
                    QTextDocument scratch;
                    const auto read = [&](int itemId) -> std::optional<QByteArray> {
                        if (!query.open(connection.database(), itemId))
                            return std::nullopt;
                        QByteArray rtf = query.rtf();
                        query.close();
                        return rtf;
                    };
                    for (const SearchDocument &document : documents)
                        m_documentTexts.foldedText(document.itemId, read, &scratch);
                    if (bankReader.joinable())
                        bankReader.join();
                    if (bankError)
                        std::rethrow_exception(bankError);
                    results = SearchEverywhere::run(
                            phrase, polishLetters, documents,
                            [&](qint32 itemId) {
                                return m_documentTexts.foldedText(itemId, read, &scratch);
                            },
                            plainOf, bankHits);
                    done = true;
                },
                [] {});
        m_everywhereTask->setAnimation(SearchAnimation::create);
        m_everywhereTask->run();
        if (!done)
            return; // the error box has been shown
    }
    m_resultsView->setResults(results);
    m_resultsView->show();
    m_resultsView->raise();
    m_resultsView->activateWindow();
    lightListedMatches();
}

void TF_Main::showEverywhereMatch(int nodeIndex, int position, int length)
{
    if (FClosing || !m_resultsView)
        return;
    // The panel search goes on after this match.
    m_search.continueAfter(nodeIndex, position, m_resultsView->results().phrase);
    showLibraryMatch({nodeIndex, position, length});
}

void TF_Main::lightListedMatches()
{
    QList<QTextEdit::ExtraSelection> lit;
    if (m_resultsView && m_resultsView->isVisible() && FSQ_Dokument.hasRow()) {
        const int itemId = FSQ_Dokument.itemId();
        m_documentTexts.insert(itemId, *JvDBRE_Dokument->document());
        const SearchEverywhere::Results &results = m_resultsView->results();
        const QString text = m_documentTexts.foldedText(itemId).value_or(QString());
        QTextCharFormat format;
        format.setBackground(ListedMatchColour);
        for (int position :
             SearchEverywhere::positionsIn(text, results.phrase, results.polishLetters)) {
            QTextEdit::ExtraSelection selection{QTextCursor(JvDBRE_Dokument->document()), format};
            selection.cursor.setPosition(position);
            selection.cursor.setPosition(position + int(results.phrase.size()),
                                         QTextCursor::KeepAnchor);
            lit.append(selection);
        }
    }
    JvDBRE_Dokument->setExtraSelections(lit);
}

// ---------------------------------------------------------------------------
// Help and about

void TF_Main::JvSB_HelpClick()
{
    const QString path = QDir(m_options.baseDirectory).filePath(QStringLiteral("pomoc.rtf"));
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        MessageBoxes::error(this, QStringLiteral("Cannot open file \"%1\". %2")
                                          .arg(QDir::toNativeSeparators(path), file.errorString()));
        return;
    }
    JvRE_Help->setRtf(file.readAll());
    showPage(QStringLiteral("NP_Help"));
}

void TF_Main::JvNPB_NotatnikClick()
{
    if (!FNotesWindow)
        FNotesWindow = new TF_Notes(this);
    FNotesWindow->show();
    FNotesWindow->raise();
    FNotesWindow->activateWindow();
}

void TF_Main::JvNavPanelButton1Click()
{
    QDesktopServices::openUrl(Credits::siteUrl(Credits::publisherSite()));
}

void TF_Main::Label13Click()
{
    QDesktopServices::openUrl(Credits::siteUrl(Credits::publisherSite()));
}

void TF_Main::Label23Click()
{
    QDesktopServices::openUrl(Credits::siteUrl(Credits::publisherShop()));
}

void TF_Main::L_AboutVendrixClick()
{
    QDesktopServices::openUrl(Credits::siteUrl(Credits::makerSite()));
}

void TF_Main::PlaceMakerLink()
{
    QCoreApplication::processEvents();
    placeMakerLinkNow();
}

void TF_Main::placeMakerLinkNow()
{
    const int textWidth = L_AboutTworca->fontMetrics().horizontalAdvance(L_AboutTworca->text());
    L_AboutVendrix->resize(L_AboutVendrix->sizeHint());
    L_AboutVendrix->move(JvP_AboutTworca->width() / 2 + textWidth / 2, 0);
}

// ---------------------------------------------------------------------------
// The tests

void TF_Main::LayoutResultPages()
{
    for (TestRunner *runner : {m_examRunner, m_thematicRunner}) {
        if (runner)
            runner->resultPage()->layoutContents();
    }
}

void TF_Main::runDraw(std::unique_ptr<Worker> &worker, TestRunner *runner,
                      std::function<void(const QSqlDatabase &, Worker &)> draw)
{
    if (worker && worker->isRunning())
        return;
    // The set's views belong to this thread; they close before the worker starts.
    runner->closeSet();
    bool drawn = false;
    worker.reset();
    worker = std::make_unique<Worker>(
            this, Worker::Settings{QStringLiteral("Przygotowywanie testu"), QStringLiteral("Krok 1/2 - Mieszanie pytań")},
            [&drawn, draw](Worker &self) {
                ThreadConnection connection;
                draw(connection.database(), self);
                drawn = true;
            },
            [this, runner, &drawn] {
                // A failed draw changed nothing: the previous set and its
                // answers are kept, and the configuration page stays.
                if (drawn)
                    runner->openDrawnSet();
                // A draw that found no questions emptied the set it replaced.
                refreshResumeOffer();
            });
    worker->run();
}

void TF_Main::BB_TestStartOKClick()
{
    const ExamTestConfig config = m_examConfigPage->config();
    runDraw(JT_TestGen, m_examRunner, [config](const QSqlDatabase &db, Worker &worker) {
        ExamDraw::run(db, config, [&worker](const QString &text) { worker.setInfoText(text); });
    });
}

void TF_Main::BitBtn1Click()
{
    setThematicTestStep(1);
    showPage(QStringLiteral("NP_TestT_1"));
}

void TF_Main::BitBtn3Click()
{
    setThematicTestStep(0);
    showPage(QStringLiteral("NP_TestT_0"));
}

void TF_Main::BitBtn2Click()
{
    QMap<int, int> counts = m_thematicStep1->counts();
    counts.insert(m_thematicStep2->counts());
    int total = 0;
    for (int count : std::as_const(counts))
        total += count;
    if (total <= 0) {
        MessageBoxes::show({this, QMessageBox::Critical, QStringLiteral("Brak wybranych pytań"),
                            QStringLiteral("Nie wybrano żadnych pytań. Proszę wybrać choć jedno pytanie."),
                            QMessageBox::Ok, QMessageBox::Ok});
        setThematicTestStep(0);
        showPage(QStringLiteral("NP_TestT_0"));
        return;
    }
    runDraw(JT_Test_T_Gen, m_thematicRunner, [counts](const QSqlDatabase &db, Worker &worker) {
        ThematicDraw::run(db, counts, [&worker](const QString &text) { worker.setInfoText(text); });
    });
}
