#include "ordinaryuser.h"
#include "scriptedmessageboxes.h"
#include "shell/buildinfo.h"
#include "shell/form_main.h"
#include "shell/form_splash.h"
#include "testdatabase.h"
#include "toolkit/blockprogressbar.h"

#include <QApplication>
#include <QCheckBox>
#include <QStyle>
#include <QDir>
#include <QFile>
#include <QRandomGenerator>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>
#include <QToolBar>
#include <QTreeWidget>

#include <memory>

using namespace Qt::StringLiterals;

namespace {

const QStringList SmallTree = {
    u"INSERT INTO tree VALUES (1, NULL, 0, 'Regulacje prawne', 'Ustawy', 0, 1)"_s,
    u"INSERT INTO tree VALUES (11, 1, 1, 'Prawo energetyczne', NULL, 2, 1)"_s,
    u"INSERT INTO tree VALUES (2, NULL, 0, 'Regulamin i tryb nadawania uprawnień', NULL, 1, 2)"_s,
    u"INSERT INTO tree VALUES (3, NULL, 0, 'Wiedza techniczna', NULL, 3, 3)"_s,
    u"INSERT INTO tree VALUES (4, NULL, 0, 'Testy', NULL, 4, 4)"_s,
};

TF_Main::Options optionsFor(const QString &baseDirectory, bool prerelease = false)
{
    TF_Main::Options options;
    options.baseDirectory = baseDirectory;
    options.prerelease = prerelease;
    return options;
}

} // namespace

class TestStartup : public QObject
{
    Q_OBJECT

private slots:
    void createsOnTheAboutPage();
    void showSelectsTheFirstNodeAndActivationReadiesTheTree();
    void closingSetsTheFlag();
    void caption_data();
    void caption();
    void splashHandsOverOnTheFortyFifthTick();
    void splashTimerRunsByItself();
    void startupFaults_data();
    void startupFaults();
    void readOnlyDatabaseStarts();
};

void TestStartup::createsOnTheAboutPage()
{
    TestDatabase db;
    QVERIFY(db.exec(SmallTree));
    ScriptedMessageBoxes boxes;
    TF_Main window(optionsFor(db.baseDirectory()));

    QCOMPARE(boxes.count(), 0);
    QCOMPARE(window.currentPageName(), u"NP_About"_s);
    auto *tree = window.findChild<QTreeWidget *>(u"JvTV_LeftTree"_s);
    QVERIFY(tree);
    QCOMPARE(tree->topLevelItemCount(), 4);
    QVERIFY(!window.findChild<QCheckBox *>(u"CB_SearchThisDocOnly"_s)->isEnabled());
    auto *toolBar = window.findChild<QToolBar *>(u"JvTB_Document"_s);
    QVERIFY(toolBar->isHidden());
    for (const QAction *action : toolBar->actions())
        QVERIFY(action->isSeparator() || !action->isEnabled());
    QVERIFY(!window.treeReady());
    QVERIFY(!window.closing());
    QCOMPARE(window.testStep(), 0);
    QCOMPARE(window.thematicTestStep(), 0);
    QCOMPARE(window.size(), TF_Main::DesignSize);
    QCOMPARE(QApplication::style()->styleHint(QStyle::SH_ToolTip_WakeUpDelay), 150);
    QCOMPARE(window.minimumSize(), TF_Main::DesignMinimumSize);
}

void TestStartup::showSelectsTheFirstNodeAndActivationReadiesTheTree()
{
    TestDatabase db;
    QVERIFY(db.exec(SmallTree));
    TF_Main window(optionsFor(db.baseDirectory()));
    auto *tree = window.findChild<QTreeWidget *>(u"JvTV_LeftTree"_s);
    QSignalSpy selectionChanges(tree, &QTreeWidget::itemSelectionChanged);

    window.show();
    QVERIFY(QTest::qWaitForWindowActive(&window));
    QCOMPARE(tree->currentItem(), tree->topLevelItem(0));
    QCOMPARE(selectionChanges.count(), 0); // selecting on show runs no handler
    QCOMPARE(window.currentPageName(), u"NP_About"_s);
    QVERIFY(window.treeReady());
}

void TestStartup::closingSetsTheFlag()
{
    TestDatabase db;
    QVERIFY(db.exec(SmallTree));
    TF_Main window(optionsFor(db.baseDirectory()));
    window.show();
    QVERIFY(window.close());
    QVERIFY(window.closing());
}

void TestStartup::caption_data()
{
    QTest::addColumn<bool>("prerelease");
    QTest::addColumn<QString>("caption");
    QTest::newRow("release") << false << u"Voltaris"_s;
    QTest::newRow("pre-release")
            << true << u"Voltaris   --- Wersja rozwojowa - Tylko do użytku wewnętrznego ---"_s;
}

void TestStartup::caption()
{
    QFETCH(bool, prerelease);
    QFETCH(QString, caption);
    TestDatabase db;
    TF_Main window(optionsFor(db.baseDirectory(), prerelease));
    window.show();
    QCOMPARE(window.windowTitle(), caption);
    // Showing the window again does not add the suffix twice.
    window.hide();
    window.show();
    QCOMPARE(window.windowTitle(), caption);
}

void TestStartup::splashHandsOverOnTheFortyFifthTick()
{
    TestDatabase db;
    QVERIFY(db.exec(SmallTree));
    TF_Main window(optionsFor(db.baseDirectory()));
    TF_Splash splash(&window);
    window.show();
    splash.show();
    QCOMPARE(splash.progressBar()->position(), 0);
    QCOMPARE(splash.progressBar()->maximum(), 45);
    QCOMPARE(splash.timer()->interval(), 100);
    QCOMPARE(splash.size(), QSize(640, 541));

    for (int tick = 1; tick <= 44; ++tick)
        splash.Timer1Timer();
    QCOMPARE(splash.progressBar()->position(), 44);
    QVERIFY(splash.isVisible());
    QVERIFY(splash.timer()->isActive());
    QCOMPARE(window.minimumSize(), TF_Main::DesignMinimumSize);
    QVERIFY(!window.isMaximized());

    splash.Timer1Timer();
    QCOMPARE(splash.progressBar()->position(), 45);
    QVERIFY(!splash.isVisible());
    QVERIFY(!splash.timer()->isActive());
    QCOMPARE(window.minimumSize(), QSize(750, 550));
    QVERIFY(window.isMaximized());
    QVERIFY(window.isEnabled());
}

void TestStartup::splashTimerRunsByItself()
{
    TestDatabase db;
    TF_Main window(optionsFor(db.baseDirectory()));
    TF_Splash splash(&window);
    window.show();
    splash.show();
    QVERIFY(splash.timer()->isActive());
    QTRY_VERIFY_WITH_TIMEOUT(!splash.isVisible(), 30000);
    QCOMPARE(splash.progressBar()->position(), TF_Splash::TickCount);
    QVERIFY(window.isMaximized());
}

void TestStartup::startupFaults_data()
{
    QTest::addColumn<QString>("fault");
    QTest::addColumn<QString>("expectedText");
    QTest::newRow("no db directory") << u"no-directory"_s << u"No such file or directory"_s;
    QTest::newRow("empty file") << u"empty"_s << u"no such table: tree"_s;
    QTest::newRow("random bytes") << u"random"_s << u"file is not a database"_s;
    QTest::newRow("database without the tree table") << u"no-tree"_s << u"no such table: tree"_s;
}

void TestStartup::startupFaults()
{
    QFETCH(QString, fault);
    QFETCH(QString, expectedText);
    TestDatabase db;
    QVERIFY(db.exec(SmallTree));
    QString baseDirectory = db.baseDirectory();
    QTemporaryDir elsewhere;
    const QString file = QDir(elsewhere.path()).filePath(u"db/qmx_vemora.db"_s);
    if (fault == u"no-directory"_s) {
        baseDirectory = elsewhere.path();
    } else if (fault == u"empty"_s || fault == u"random"_s) {
        baseDirectory = elsewhere.path();
        QVERIFY(QDir(elsewhere.path()).mkdir(u"db"_s));
        QFile out(file);
        QVERIFY(out.open(QIODevice::WriteOnly));
        if (fault == u"random"_s) {
            QByteArray bytes(4096, Qt::Uninitialized);
            QRandomGenerator(11).fillRange(reinterpret_cast<quint32 *>(bytes.data()), bytes.size() / 4);
            out.write(bytes);
        }
    } else {
        QVERIFY(db.exec({u"DROP TABLE tree"_s}));
    }

    ScriptedMessageBoxes boxes;
    TF_Main window(optionsFor(baseDirectory));
    QCOMPARE(boxes.errors().size(), 1);
    QVERIFY2(boxes.errors().first().contains(expectedText), qPrintable(boxes.errors().first()));
    QVERIFY(boxes.errors().first().endsWith(u'.'));

    QCOMPARE(window.currentPageName(), u"NP_Empty"_s);
    QCOMPARE(window.findChild<QTreeWidget *>(u"JvTV_LeftTree"_s)->topLevelItemCount(), 0);
    auto *toolBar = window.findChild<QToolBar *>(u"JvTB_Document"_s);
    QVERIFY(!toolBar->isHidden());

    // Start-up goes on as usual.
    TF_Splash splash(&window);
    window.show();
    splash.show();
    for (int tick = 0; tick < TF_Splash::TickCount; ++tick)
        splash.Timer1Timer();
    QVERIFY(window.isMaximized());
    QCOMPARE(boxes.count(), 1);
    if (fault == u"no-directory"_s)
        QVERIFY(!QFileInfo::exists(file));
}

void TestStartup::readOnlyDatabaseStarts()
{
    TestDatabase db;
    QVERIFY(db.exec(SmallTree));
    QVERIFY(db.makeReadOnlyForEveryone());
    ScriptedMessageBoxes boxes;
    OrdinaryUser user;
    if (!user.canMeetReadOnlyFiles())
        QSKIP("running as root without the right to take an ordinary user's rights");
    TF_Main window(optionsFor(db.baseDirectory()));
    QCOMPARE(boxes.count(), 0);
    QCOMPARE(window.findChild<QTreeWidget *>(u"JvTV_LeftTree"_s)->topLevelItemCount(), 4);
}

QTEST_MAIN(TestStartup)
#include "tst_startup.moc"
