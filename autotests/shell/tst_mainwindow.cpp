#include "ordinaryuser.h"
#include "regulations/qmx_tree.h"
#include "shell/buildinfo.h"
#include "mainwindowfixture.h"
#include "shell/form_main.h"
#include "toolkit/filedialogs.h"
#include "toolkit/navigationbutton.h"
#include "toolkit/rtfview.h"

#include <QCheckBox>
#include <QDesktopServices>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QSqlQuery>
#include <QStackedWidget>
#include <QTest>
#include <QToolBar>
#include <QTreeWidget>

using namespace Qt::StringLiterals;

namespace {

const QByteArray SectionRtf = "{\\rtf1\\ansi\\ansicpg1250 Regulacje \\'9cwiat\\'b3o\\par}";
const QByteArray ActRtf = "{\\rtf1\\ansi Art. 54 ustawy\\par}";

// Sections 1 to 4 with a document, a document without its row, a heading,
// the two test entries and a node of an unknown type.
bool fillLibrary(TestDatabase &db)
{
    return db.insertDocuments({{1, SectionRtf}, {11, ActRtf}}) && db.exec({
            u"INSERT INTO tree VALUES (1, NULL, 1, 'Regulacje prawne', NULL, 0, 1)"_s,
            u"INSERT INTO tree VALUES (11, 1, 1, 'Prawo energetyczne', 'art. 54', 2, 1)"_s,
            u"INSERT INTO tree VALUES (12, 1, 1, 'Bez dokumentu', NULL, 2, 2)"_s,
            u"INSERT INTO tree VALUES (2, NULL, 0, 'Regulamin i tryb nadawania uprawnień', NULL, 1, 2)"_s,
            u"INSERT INTO tree VALUES (3, NULL, 0, 'Wiedza techniczna', NULL, 3, 3)"_s,
            u"INSERT INTO tree VALUES (4, NULL, 0, 'Testy', NULL, 4, 4)"_s,
            u"INSERT INTO tree VALUES (41, 4, 2, 'Test egzaminacyjny', NULL, 3, 1)"_s,
            u"INSERT INTO tree VALUES (42, 4, 3, 'Test tematyczny', NULL, 3, 2)"_s,
            u"INSERT INTO tree VALUES (43, 4, 7, 'Inny', NULL, 3, 3)"_s,
    });
}

// Catches what the program asks the desktop to open.
class UrlCatcher : public QObject
{
    Q_OBJECT
public:
    UrlCatcher() { QDesktopServices::setUrlHandler(u"https"_s, this, "open"); }
    ~UrlCatcher() override { QDesktopServices::unsetUrlHandler(u"https"_s); }
    QList<QUrl> opened;
public slots:
    void open(const QUrl &url) { opened.append(url); }
};

struct Fixture : MainWindowFixture
{
    Fixture()
    {
        filled = fillLibrary(db);
        open();
        toolBar = window->findChild<QToolBar *>(u"JvTB_Document"_s);
        searchThisDocOnly = window->findChild<QCheckBox *>(u"CB_SearchThisDocOnly"_s);
        pages = window->findChild<QStackedWidget *>(u"Notebook1"_s);
    }

    void click(const char *buttonName) const
    {
        auto *button = window->findChild<QAbstractButton *>(QLatin1String(buttonName));
        QVERIFY(button);
        QTest::mouseClick(button, Qt::LeftButton);
    }

    QToolBar *toolBar = nullptr;
    QCheckBox *searchThisDocOnly = nullptr;
    QStackedWidget *pages = nullptr;
};

} // namespace

class TestMainWindow : public QObject
{
    Q_OBJECT

private slots:
    void pageSetAndLayout();
    void firstSelectionBeforeActivationShowsAbout();
    void dispatch_data();
    void dispatch();
    void testEntryOpensTheStagesPage_data();
    void testEntryOpensTheStagesPage();
    void documentColours();
    void clickingTheSelectedNodeReloadsIt();
    void aboutButtonOnTheAboutPageDoesNothing();
    void sectionButtons();
    void sectionButtonWithoutItsNode();
    void nothingHappensWhileClosing();
    void saveAppendsTheExtensionAndWritesTheStoredBytes();
    void saveCancelledWritesNothing();
    void failedSaveShowsTheErrorAndLeavesNoFile();
    void makerLinkFollowsTheCentredCaption();
    void helpLoadsTheFileOnEveryClick();
    void missingHelpFileKeepsThePage();
    void linksOpenInTheBrowser();
    void aboutShowsVersionAndLegalDate();
};

void TestMainWindow::pageSetAndLayout()
{
    Fixture f;
    QVERIFY(f.filled && f.active);
    QStringList names;
    for (int i = 0; i < f.pages->count(); ++i)
        names << f.pages->widget(i)->objectName();
    QCOMPARE(names, TF_Main::pageNames());
    QCOMPARE(names.size(), 15);
    QCOMPARE(f.window->findChild<QWidget *>(u"JVP_TopPanek"_s)->height(), 28);
    QCOMPARE(f.window->findChild<QWidget *>(u"P_Left"_s)->width(), TF_Main::LeftPaneWidth);
    QCOMPARE(f.window->findChild<QWidget *>(u"JvSB_Help"_s)->height(), 25);
    for (const char *name : {"Label1", "JvE_Find", "CB_SearchThisDocOnly", "BB_Find", "P_LeftSearch",
                             "JvxSplitter1", "JvNetscapeSplitter1", "Panel2", "L_DocWait"})
        QVERIFY2(f.window->findChild<QWidget *>(QLatin1String(name)), name);
    const struct { const char *name; const char *caption; int width; } buttons[] = {
        {"JvNPB_Regulacje", "Regulacje prawne", 115}, {"JvNPB_Regulamin", "Regulamin i tryb nadawania uprawnień", 214},
        {"JvNPB_Pytania", "Wiedza techniczna", 128},  {"JvNPB_Testy", "Testy", 56},
        {"JvNPB_Notatnik", "Notatnik", 68},           {"JvNPB_About", "O programie", 67},
    };
    for (const auto &button : buttons) {
        auto *widget = f.window->findChild<NavigationButton *>(QLatin1String(button.name));
        QVERIFY2(widget, button.name);
        QCOMPARE(widget->text(), QString::fromUtf8(button.caption));
        QVERIFY(widget->width() >= button.width);
        QVERIFY(widget->width() >= widget->sizeHint().width());
        QCOMPARE(widget->cursor().shape(), Qt::PointingHandCursor);
    }
}

void TestMainWindow::firstSelectionBeforeActivationShowsAbout()
{
    TestDatabase db;
    QVERIFY(fillLibrary(db));
    TF_Main::Options options;
    options.baseDirectory = db.baseDirectory();
    TF_Main window(options);
    auto *tree = window.findChild<QTreeWidget *>(u"JvTV_LeftTree"_s);
    QVERIFY(!window.treeReady());
    tree->expandItem(tree->topLevelItem(0));
    QVERIFY(!tree->topLevelItem(0)->isExpanded());
    tree->setCurrentItem(tree->topLevelItem(0));
    QCOMPARE(window.currentPageName(), u"NP_About"_s);
    QVERIFY(window.treeReady());
    tree->setCurrentItem(tree->topLevelItem(1));
    QCOMPARE(window.currentPageName(), u"NP_Empty"_s);
}

void TestMainWindow::dispatch_data()
{
    QTest::addColumn<int>("itemId");
    QTest::addColumn<QString>("page");
    QTest::addColumn<bool>("documentShown");
    QTest::newRow("document") << 11 << u"NP_Document"_s << true;
    QTest::newRow("document node without its row") << 12 << u"NP_Empty"_s << false;
    QTest::newRow("heading") << 2 << u"NP_Empty"_s << false;
    QTest::newRow("unknown type") << 43 << u"NP_About"_s << false;
    QTest::newRow("exam test entry") << 41 << u"NP_Test_0"_s << false;
    QTest::newRow("thematic test entry") << 42 << u"NP_TestT_0"_s << false;
}

void TestMainWindow::dispatch()
{
    QFETCH(int, itemId);
    QFETCH(QString, page);
    QFETCH(bool, documentShown);
    Fixture f;
    QVERIFY(f.filled && f.active);
    f.choose(1); // a document first, so that every row must change the state back
    QCOMPARE(f.window->currentPageName(), u"NP_Document"_s);
    f.choose(itemId);
    QCOMPARE(f.window->currentPageName(), page);
    QCOMPARE(!f.toolBar->isHidden(), documentShown);
    QCOMPARE(f.searchThisDocOnly->isEnabled(), documentShown);
    QCOMPARE(!f.viewer->isHidden(), documentShown);
    for (const QAction *action : f.toolBar->actions())
        QVERIFY(action->isSeparator() || action->isEnabled() == documentShown);
    if (documentShown)
        QCOMPARE(f.viewer->toPlainText().trimmed(), u"Art. 54 ustawy"_s);
    QVERIFY(f.window->isEnabled());
}

void TestMainWindow::testEntryOpensTheStagesPage_data()
{
    QTest::addColumn<int>("itemId");
    QTest::addColumn<int>("stage");
    QTest::addColumn<QString>("page");
    QTest::newRow("exam, configuring") << 41 << 0 << u"NP_Test_0"_s;
    QTest::newRow("exam, answering") << 41 << 1 << u"NP_Test_1"_s;
    QTest::newRow("exam, result") << 41 << 2 << u"NP_Test_2"_s;
    QTest::newRow("exam, reviewing") << 41 << 3 << u"NP_Test_1"_s;
    QTest::newRow("thematic, step 1") << 42 << 0 << u"NP_TestT_0"_s;
    QTest::newRow("thematic, step 2") << 42 << 1 << u"NP_TestT_1"_s;
    QTest::newRow("thematic, answering") << 42 << 2 << u"NP_TestT_2"_s;
    QTest::newRow("thematic, result") << 42 << 3 << u"NP_TestT_3"_s;
    QTest::newRow("thematic, reviewing") << 42 << 4 << u"NP_TestT_2"_s;
}

void TestMainWindow::testEntryOpensTheStagesPage()
{
    QFETCH(int, itemId);
    QFETCH(int, stage);
    QFETCH(QString, page);
    Fixture f;
    QVERIFY(f.filled && f.active);
    if (itemId == 41)
        f.window->setTestStep(stage);
    else
        f.window->setThematicTestStep(stage);
    f.choose(itemId);
    QCOMPARE(f.window->currentPageName(), page);
    QVERIFY(f.toolBar->isHidden());
}

void TestMainWindow::documentColours()
{
    Fixture f;
    QVERIFY(f.filled && f.active);
    f.choose(1);
    QCOMPARE(f.window->documentColor(), QColor(194, 215, 248));
    QCOMPARE(f.viewer->backgroundColor(), QColor(194, 215, 248));
    QCOMPARE(f.viewer->toPlainText().trimmed(), u"Regulacje światło"_s);
    f.choose(11);
    QCOMPARE(f.window->documentColor(), QColor(255, 255, 229));
    QCOMPARE(f.viewer->backgroundColor(), QColor(255, 255, 229));
}

void TestMainWindow::clickingTheSelectedNodeReloadsIt()
{
    Fixture f;
    QVERIFY(f.filled && f.active);
    f.choose(11);
    QCOMPARE(f.viewer->toPlainText().trimmed(), u"Art. 54 ustawy"_s);
    QVERIFY(f.db.exec({u"UPDATE tree_documents SET rtf_doc = CAST('{\\rtf1 Nowy tekst\\par}' AS BLOB) WHERE item_id = 11"_s}));
    const QRect row = f.tree->visualItemRect(f.node(11));
    QTest::mouseClick(f.tree->viewport(), Qt::LeftButton, {}, row.center());
    QCOMPARE(f.viewer->toPlainText().trimmed(), u"Nowy tekst"_s);
}

void TestMainWindow::aboutButtonOnTheAboutPageDoesNothing()
{
    Fixture f;
    QVERIFY(f.filled && f.active);
    QCOMPARE(f.window->currentPageName(), u"NP_About"_s);
    QSignalSpy changes(f.pages, &QStackedWidget::currentChanged);
    f.click("JvNPB_About");
    QCOMPARE(changes.count(), 0);

    f.choose(11);
    f.click("JvNPB_About");
    QCOMPARE(f.window->currentPageName(), u"NP_About"_s);
    QVERIFY(f.toolBar->isHidden());
    QCOMPARE(f.tree->currentItem(), f.node(11)); // the tree keeps its selection
}

void TestMainWindow::sectionButtons()
{
    Fixture f;
    QVERIFY(f.filled && f.active);
    f.click("JvNPB_Regulacje");
    QCOMPARE(f.tree->currentItem(), f.node(1));
    QCOMPARE(f.window->currentPageName(), u"NP_Document"_s);
    QVERIFY(f.node(1)->isExpanded());
    f.click("JvNPB_Testy");
    QCOMPARE(f.tree->currentItem(), f.node(4));
    QCOMPARE(f.window->currentPageName(), u"NP_Empty"_s);
    QVERIFY(f.node(4)->isExpanded());
    QVERIFY(!f.node(1)->isExpanded());
}

void TestMainWindow::sectionButtonWithoutItsNode()
{
    Fixture f;
    QVERIFY(f.filled && f.active);
    f.choose(11);
    delete f.node(4);
    f.click("JvNPB_Testy");
    QCOMPARE(f.tree->currentItem(), f.node(11));
    QCOMPARE(f.window->currentPageName(), u"NP_Document"_s);
    QVERIFY(f.tree->isEnabled());
}

void TestMainWindow::nothingHappensWhileClosing()
{
    Fixture f;
    QVERIFY(f.filled && f.active);
    f.choose(11);
    QVERIFY(f.window->close());
    f.choose(2);
    QCOMPARE(f.window->currentPageName(), u"NP_Document"_s);
    QCOMPARE(f.viewer->toPlainText().trimmed(), u"Art. 54 ustawy"_s);
}

void TestMainWindow::saveAppendsTheExtensionAndWritesTheStoredBytes()
{
    Fixture f;
    QVERIFY(f.filled && f.active);
    f.choose(1);
    QTemporaryDir target;
    FileDialogs::SaveRequest asked;
    const auto previous = FileDialogs::setSavePresenter([&](const FileDialogs::SaveRequest &request) {
        asked = request;
        return QDir(target.path()).filePath(u"regulacje"_s);
    });
    f.window->findChild<QAction *>(u"TB_DocSave"_s)->trigger();
    FileDialogs::setSavePresenter(previous);

    QCOMPARE(asked.defaultSuffix, u"rtf"_s);
    QCOMPARE(asked.filter, u"RichText Format (*.rtf)"_s);
    QFile saved(QDir(target.path()).filePath(u"regulacje.rtf"_s));
    QVERIFY(saved.open(QIODevice::ReadOnly));
    QCOMPARE(saved.readAll(), SectionRtf);
    QVERIFY(!QFile::exists(QDir(target.path()).filePath(u"regulacje"_s)));
}

void TestMainWindow::saveCancelledWritesNothing()
{
    Fixture f;
    QVERIFY(f.filled && f.active);
    f.choose(11);
    ScriptedMessageBoxes boxes;
    const auto previous = FileDialogs::setSavePresenter([](const FileDialogs::SaveRequest &) { return QString(); });
    f.window->findChild<QAction *>(u"TB_DocSave"_s)->trigger();
    FileDialogs::setSavePresenter(previous);
    QCOMPARE(boxes.count(), 0);
}

void TestMainWindow::failedSaveShowsTheErrorAndLeavesNoFile()
{
    Fixture f;
    QVERIFY(f.filled && f.active);
    f.choose(11);
    QTemporaryDir target;
    QVERIFY(QFile::setPermissions(target.path(), QFile::ReadOwner | QFile::ExeOwner | QFile::ReadOther | QFile::ExeOther));
    const QString path = QDir(target.path()).filePath(u"akt.rtf"_s);
    ScriptedMessageBoxes boxes;
    const auto previous = FileDialogs::setSavePresenter([&](const FileDialogs::SaveRequest &) { return path; });
    {
        OrdinaryUser user;
        if (!user.canMeetReadOnlyFiles())
            QSKIP("running as root without the right to take an ordinary user's rights");
        f.window->findChild<QAction *>(u"TB_DocSave"_s)->trigger();
    }
    FileDialogs::setSavePresenter(previous);
    QCOMPARE(boxes.errors().size(), 1);
    QVERIFY2(boxes.errors().first().contains(QDir::toNativeSeparators(path)), qPrintable(boxes.errors().first()));
    QVERIFY(!QFile::exists(path));
    QCOMPARE(QDir(target.path()).entryList(QDir::NoDotAndDotDot | QDir::AllEntries | QDir::Hidden), QStringList());
    QCOMPARE(f.viewer->toPlainText().trimmed(), u"Art. 54 ustawy"_s);
}

void TestMainWindow::makerLinkFollowsTheCentredCaption()
{
    Fixture f;
    QVERIFY(f.filled && f.active);
    auto *line = f.window->findChild<QWidget *>(u"JvP_AboutTworca"_s);
    auto *caption = f.window->findChild<QLabel *>(u"L_AboutTworca"_s);
    auto *link = f.window->findChild<QLabel *>(u"L_AboutVendrix"_s);
    for (const QSize size : {QSize(700, 560), QSize(1200, 800)}) {
        f.window->resize(size);
        QTRY_COMPARE(f.window->size(), size);
        const int textWidth = caption->fontMetrics().horizontalAdvance(caption->text());
        QTRY_COMPARE(link->x(), line->width() / 2 + textWidth / 2);
    }
    QVERIFY(link->text().startsWith(u"  "_s));
    QVERIFY(caption->text().endsWith(u' '));
}

void TestMainWindow::helpLoadsTheFileOnEveryClick()
{
    Fixture f;
    QVERIFY(f.filled && f.active);
    const QString path = QDir(f.db.baseDirectory()).filePath(u"pomoc.rtf"_s);
    const auto writeHelp = [&](const QByteArray &bytes) {
        QFile file(path);
        return file.open(QIODevice::WriteOnly | QIODevice::Truncate) && file.write(bytes) == bytes.size();
    };
    QVERIFY(writeHelp("{\\rtf1 Pierwsza pomoc\\par}"));
    auto *help = f.window->findChild<RtfView *>(u"JvRE_Help"_s);
    f.choose(11);
    f.click("JvSB_Help");
    QCOMPARE(f.window->currentPageName(), u"NP_Help"_s);
    QCOMPARE(help->toPlainText().trimmed(), u"Pierwsza pomoc"_s);
    QVERIFY(f.toolBar->isHidden());

    QVERIFY(writeHelp("{\\rtf1 Druga pomoc\\par}"));
    QSignalSpy changes(f.pages, &QStackedWidget::currentChanged);
    f.click("JvSB_Help");
    QCOMPARE(help->toPlainText().trimmed(), u"Druga pomoc"_s);
    QCOMPARE(changes.count(), 0);
}

void TestMainWindow::missingHelpFileKeepsThePage()
{
    Fixture f;
    QVERIFY(f.filled && f.active);
    f.choose(11);
    ScriptedMessageBoxes boxes;
    f.click("JvSB_Help");
    const QString path = QDir::toNativeSeparators(QDir(f.db.baseDirectory()).filePath(u"pomoc.rtf"_s));
    QCOMPARE(boxes.errors(), QStringList{u"Cannot open file \"%1\". No such file or directory."_s.arg(path)});
    QCOMPARE(f.window->currentPageName(), u"NP_Document"_s);
}

void TestMainWindow::linksOpenInTheBrowser()
{
    Fixture f;
    QVERIFY(f.filled && f.active);
    UrlCatcher catcher;
    f.click("JvNavPanelButton1");
    QTest::mouseClick(f.window->findChild<QLabel *>(u"Label13"_s), Qt::LeftButton);
    QTest::mouseClick(f.window->findChild<QLabel *>(u"Label23"_s), Qt::LeftButton);
    QTest::mouseClick(f.window->findChild<QLabel *>(u"L_AboutVendrix"_s), Qt::LeftButton);
    QTest::mouseClick(f.window->findChild<QLabel *>(u"L_AboutTworca"_s), Qt::LeftButton);
    QCOMPARE(catcher.opened.size(), 5);
    QCOMPARE(catcher.opened[0], catcher.opened[1]);
    QVERIFY(catcher.opened[1] != catcher.opened[2]);
    QCOMPARE(catcher.opened[3], catcher.opened[4]);
    for (const QUrl &url : std::as_const(catcher.opened))
        QVERIFY(url.isValid() && url.scheme() == u"https"_s);
    QCOMPARE(f.window->currentPageName(), u"NP_About"_s);
}

void TestMainWindow::aboutShowsVersionAndLegalDate()
{
    Fixture f;
    QVERIFY(f.filled && f.active);
    QVERIFY(QRegularExpression(u"^\\d+\\.\\d+\\.\\d+$"_s).match(ProgramVersion()).hasMatch());
    // One date for the whole content, written as the documents write it.
    QVERIFY2(QRegularExpression(u"^\\d{1,2} (stycznia|lutego|marca|kwietnia|maja|czerwca|lipca|sierpnia|"
                                 "września|października|listopada|grudnia) \\d{4} r\\.$"_s)
                     .match(LegalStateDate())
                     .hasMatch(),
             qPrintable(LegalStateDate()));
    auto *line = f.window->findChild<QLabel *>(u"L_AboutVersion"_s);
    QVERIFY(line && line->isVisible());
    QVERIFY(line->text().startsWith(u"Wersja "_s + ProgramVersion()));
    QVERIFY(line->text().endsWith(u"Stan prawny na: "_s + LegalStateDate()));
}

QTEST_MAIN(TestMainWindow)
#include "tst_mainwindow.moc"
