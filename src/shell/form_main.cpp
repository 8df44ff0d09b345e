#include "form_main.h"

#include "buildinfo.h"
#include "credits.h"
#include "data/database.h"
#include "pictures.h"
#include "regulations/qmx_tree.h"
#include "toolkit/hintdelaystyle.h"
#include "toolkit/messageboxes.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QDir>
#include <QLabel>
#include <QScreen>
#include <QSplitter>
#include <QStackedWidget>
#include <QStyleFactory>
#include <QToolBar>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace {

// The page set, in its fixed order.
const QStringList PageNames = {
    QStringLiteral("NP_About"),   QStringLiteral("NP_Empty"),   QStringLiteral("NP_Document"),
    QStringLiteral("NP_Test_0"),  QStringLiteral("NP_Test_1"),  QStringLiteral("NP_Test_2"),
    QStringLiteral("NP_TestT_0"), QStringLiteral("NP_TestT_1"), QStringLiteral("NP_TestT_2"),
    QStringLiteral("NP_TestT_3"), QStringLiteral("NP_Help"),
};
const QString DesignPage = QStringLiteral("NP_Empty");

constexpr int SelectedIconOffset = 5;

void installHintDelay(int delayMs)
{
    if (qobject_cast<HintDelayStyle *>(QApplication::style()))
        return;
    QApplication::setStyle(new HintDelayStyle(delayMs, QStyleFactory::create(QApplication::style()->name())));
}

} // namespace

void SetToolBarActive(QToolBar *toolBar, bool active)
{
    const QList<QAction *> actions = toolBar->actions();
    for (QAction *action : actions)
        action->setEnabled(active);
    toolBar->setVisible(active);
}

TF_Main::TF_Main(QWidget *parent) : TF_Main(Options{.prerelease = IsPrereleaseBuild()}, parent) { }

TF_Main::TF_Main(const Options &options, QWidget *parent) : QMainWindow(parent), m_options(options)
{
    buildWindow();
    FormCreate();
}

TF_Main::~TF_Main()
{
    FormDestroy();
}

QString TF_Main::captionFor(bool prerelease)
{
    QString caption = Credits::productTitle();
    if (prerelease)
        caption += QStringLiteral("   --- Wersja rozwojowa - Tylko do użytku wewnętrznego ---");
    return caption;
}

void TF_Main::buildWindow()
{
    setObjectName(QStringLiteral("F_Main"));
    setWindowTitle(captionFor(false));
    QFont designFont(QStringLiteral("MS Sans Serif"));
    designFont.setPointSize(8);
    setFont(designFont);
    resize(DesignSize);
    setMinimumSize(DesignMinimumSize);
    if (const QScreen *screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());

    auto *splitter = new QSplitter(Qt::Horizontal, this);
    splitter->setObjectName(QStringLiteral("JvNetscapeSplitter1"));
    splitter->setChildrenCollapsible(true);

    auto *left = new QWidget(splitter);
    left->setObjectName(QStringLiteral("P_Left"));
    auto *leftLayout = new QVBoxLayout(left);
    leftLayout->setContentsMargins(0, 0, 0, 0);
    leftLayout->setSpacing(0);
    JvTV_LeftTree = new QTreeWidget(left);
    JvTV_LeftTree->setObjectName(QStringLiteral("JvTV_LeftTree"));
    JvTV_LeftTree->setHeaderHidden(true);
    leftLayout->addWidget(JvTV_LeftTree, 1);
    auto *search = new QWidget(left);
    search->setObjectName(QStringLiteral("P_LeftSearch"));
    auto *searchLayout = new QVBoxLayout(search);
    CB_SearchThisDocOnly = new QCheckBox(tr("Szukaj tylko w bieżącym dokumencie"), search);
    CB_SearchThisDocOnly->setObjectName(QStringLiteral("CB_SearchThisDocOnly"));
    searchLayout->addWidget(CB_SearchThisDocOnly);
    leftLayout->addWidget(search);

    auto *content = new QWidget(splitter);
    content->setObjectName(QStringLiteral("Panel2"));
    auto *contentLayout = new QVBoxLayout(content);
    contentLayout->setContentsMargins(0, 0, 0, 0);
    contentLayout->setSpacing(0);
    JvTB_Document = new QToolBar(content);
    JvTB_Document->setObjectName(QStringLiteral("JvTB_Document"));
    JvTB_Document->addSeparator();
    JvTB_Document->addAction(tr("Zapisz"))->setObjectName(QStringLiteral("TB_DocSave"));
    JvTB_Document->addSeparator();
    JvTB_Document->addAction(tr("Drukuj"))->setObjectName(QStringLiteral("TB_DocPrint"));
    contentLayout->addWidget(JvTB_Document);

    Notebook1 = new QStackedWidget(content);
    Notebook1->setObjectName(QStringLiteral("Notebook1"));
    Notebook1->setAutoFillBackground(true);
    for (const QString &name : PageNames) {
        QWidget *page = name == QLatin1String("NP_About") ? buildAboutPage() : new QWidget;
        page->setObjectName(name);
        Notebook1->addWidget(page);
    }
    Notebook1->setCurrentIndex(PageNames.indexOf(DesignPage));
    contentLayout->addWidget(Notebook1, 1);

    splitter->addWidget(left);
    splitter->addWidget(content);
    splitter->setStretchFactor(1, 1);
    splitter->setSizes({200, DesignSize.width() - 200});
    setCentralWidget(splitter);
}

QWidget *TF_Main::buildAboutPage()
{
    auto *page = new QWidget;
    auto *layout = new QVBoxLayout(page);
    auto *emblem = new QLabel(page);
    emblem->setObjectName(QStringLiteral("Image1"));
    emblem->setPixmap(Pictures::emblem(QSize(250, 250)));
    emblem->setAlignment(Qt::AlignCenter);
    layout->addWidget(emblem, 1);

    JvP_AboutTworca = new QWidget(page);
    JvP_AboutTworca->setObjectName(QStringLiteral("JvP_AboutTworca"));
    JvP_AboutTworca->setFixedHeight(16);
    QFont tahoma(QStringLiteral("Tahoma"));
    tahoma.setPointSize(10);
    L_AboutTworca = new QLabel(QStringLiteral("Twórca programu: ") + Credits::maker() + u' ',
                               JvP_AboutTworca);
    L_AboutTworca->setObjectName(QStringLiteral("L_AboutTworca"));
    L_AboutTworca->setFont(tahoma);
    L_AboutTworca->setAlignment(Qt::AlignCenter);
    auto *makerLayout = new QVBoxLayout(JvP_AboutTworca);
    makerLayout->setContentsMargins(0, 0, 0, 0);
    makerLayout->addWidget(L_AboutTworca);
    L_AboutVendrix = new QLabel(QStringLiteral("  www.lumenik.pl"), JvP_AboutTworca);
    L_AboutVendrix->setObjectName(QStringLiteral("L_AboutVendrix"));
    L_AboutVendrix->setFont(tahoma);
    L_AboutVendrix->setStyleSheet(QStringLiteral("color: blue; background: transparent;"));
    layout->addWidget(JvP_AboutTworca);
    JvP_AboutTworca->installEventFilter(this);
    return page;
}

void TF_Main::FormCreate()
{
    installHintDelay(HintDelayMs);
    FTreeReady = false;
    FClosing = false;
    const bool created = runGuarded(this, [this] {
        Database::close();
        Database::open(QDir(m_options.baseDirectory).filePath(QStringLiteral("db")));
        FNotesWindow = nullptr;
        LoadTree(JvTV_LeftTree, Database::connection(), SelectedIconOffset);
        CB_SearchThisDocOnly->setEnabled(false);
        showPage(QStringLiteral("NP_About"));
        SetToolBarActive(JvTB_Document, false);
        FTestStep = 0;
        FTestTStep = 0;
        FSearchNodeIndex = 0;
        FSearchSelecting = false;
    });
    Q_UNUSED(created)
}

void TF_Main::FormShow()
{
    setWindowTitle(captionFor(m_options.prerelease));
    JvTV_LeftTree->clearSelection();
    if (JvTV_LeftTree->topLevelItemCount() > 0)
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
    QPalette palette = Notebook1->palette();
    if (page == QLatin1String("NP_About")) {
        palette.setColor(QPalette::Window, Qt::white);
        Notebook1->setPalette(palette);
        SetToolBarActive(JvTB_Document, false);
        PlaceMakerLink();
    } else {
        palette.setColor(QPalette::Window, QApplication::palette().color(QPalette::Button));
        Notebook1->setPalette(palette);
    }
    if (page == QLatin1String("NP_Help"))
        SetToolBarActive(JvTB_Document, false);
}

void TF_Main::PlaceMakerLink()
{
    QCoreApplication::processEvents();
    placeMakerLinkNow();
}

void TF_Main::placeMakerLinkNow()
{
    if (!JvP_AboutTworca)
        return;
    const int textWidth = L_AboutTworca->fontMetrics().horizontalAdvance(L_AboutTworca->text());
    L_AboutVendrix->resize(L_AboutVendrix->sizeHint());
    L_AboutVendrix->move(JvP_AboutTworca->width() / 2 + textWidth / 2, 0);
}
