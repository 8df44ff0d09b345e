// The main window opens the database the start chose (beside the program or
// the user's copy, perhaps read-only), reads the help beside the program
// either way, and says on the about page where the user's data is.

#include "data/database.h"
#include "data/sql.h"
#include "shell/form_main.h"
#include "testdatabase.h"
#include "toolkit/error.h"
#include "toolkit/rtfview.h"

#include <QDir>
#include <QFile>
#include <QLabel>
#include <QTest>
#include <QTreeWidget>

using namespace Qt::StringLiterals;

class TestUserDatabase : public QObject
{
    Q_OBJECT

private slots:
    void opensTheChosenDatabase_data();
    void opensTheChosenDatabase();
};

void TestUserDatabase::opensTheChosenDatabase_data()
{
    QTest::addColumn<bool>("userCopy");
    QTest::addColumn<bool>("readOnly");

    QTest::newRow("beside the program") << false << false;
    QTest::newRow("the user's copy") << true << false;
    QTest::newRow("the delivered database, read-only") << false << true;
}

void TestUserDatabase::opensTheChosenDatabase()
{
    QFETCH(bool, userCopy);
    QFETCH(bool, readOnly);

    TestDatabase program;
    TestDatabase user;
    QVERIFY(program.exec({u"INSERT INTO tree VALUES (1, NULL, 0, 'W programie', NULL, 0, 1)"_s}));
    QVERIFY(
        user.exec({u"INSERT INTO tree VALUES (1, NULL, 0, 'W kopii użytkownika', NULL, 0, 1)"_s}));
    QFile help(QDir(program.baseDirectory()).filePath(u"pomoc.rtf"_s));
    QVERIFY(help.open(QIODevice::WriteOnly));
    help.write("{\\rtf1 Pomoc programu\\par}");
    help.close();

    TF_Main::Options options;
    options.baseDirectory = program.baseDirectory();
    if (userCopy)
        options.databaseDirectory = user.databaseDirectory();
    options.databaseReadOnly = readOnly;
    TF_Main window(options);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));

    const QString file = userCopy ? user.filePath() : program.filePath();
    QCOMPARE(QFileInfo(Database::filePath()), QFileInfo(file));
    auto *tree = window.findChild<QTreeWidget *>(u"JvTV_LeftTree"_s);
    QCOMPARE(tree->topLevelItem(0)->text(0),
             userCopy ? u"W kopii użytkownika"_s : u"W programie"_s);

    const QString dataLine = window.findChild<QLabel *>(u"L_AboutData"_s)->text();
    QVERIFY2(dataLine.contains(QDir::toNativeSeparators(file)), qPrintable(dataLine));
    QCOMPARE(dataLine.endsWith(u"(tylko do odczytu)"_s), readOnly);

    const auto writeNote = [] {
        Sql::exec(
            Database::connection(),
            u"INSERT INTO notes (row_added_dttm, tresc) VALUES ('2026-12-11T17:00:00', 'x')"_s);
    };
    if (readOnly)
        QVERIFY_THROWS_EXCEPTION(Error, writeNote());
    else
        writeNote();

    QTest::mouseClick(window.findChild<QWidget *>(u"JvSB_Help"_s), Qt::LeftButton);
    QCOMPARE(window.findChild<RtfView *>(u"JvRE_Help"_s)->toPlainText().trimmed(),
             u"Pomoc programu"_s);
}

QTEST_MAIN(TestUserDatabase)
#include "tst_userdatabase.moc"
