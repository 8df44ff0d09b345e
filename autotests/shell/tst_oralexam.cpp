// The oral exam drill in the main window: from the tree through the
// configuration and the questions to the end, from the keyboard.

#include "regulations/qmx_tree.h"
#include "scriptedmessageboxes.h"
#include "shell/form_main.h"
#include "testdatabase.h"
#include "tests/oralconfigpage.h"
#include "tests/oraldrillpage.h"
#include "tests/oralendpage.h"
#include "tests/oralexam.h"
#include "tests/progresspage.h"

#include <QAbstractItemModel>
#include <QApplication>
#include <QLabel>
#include <QPushButton>
#include <QSpinBox>
#include <QSqlQuery>
#include <QTest>
#include <QTreeWidget>

using namespace Qt::StringLiterals;

namespace {

constexpr int OralNode = 45;
constexpr int ProgressNode = 44;
constexpr int DocumentNode = 11;

// Three open questions in section 27 taught by document 11, three in 28 whose
// document is not in the library.
bool fillDatabase(TestDatabase &db)
{
    if (!db.exec(
            {u"INSERT INTO tree VALUES (1, NULL, 0, 'Regulacje prawne', NULL, 0, 1)"_s,
             u"INSERT INTO tree VALUES (11, 1, 1, 'Prawo energetyczne', NULL, 0, 1)"_s,
             u"INSERT INTO tree VALUES (2, NULL, 0, 'Regulamin i tryb nadawania uprawnień', NULL, 1, 2)"_s,
             u"INSERT INTO tree VALUES (3, NULL, 0, 'Wiedza techniczna', NULL, 3, 3)"_s,
             u"INSERT INTO tree VALUES (4, NULL, 0, 'Testy', NULL, 4, 4)"_s,
             u"INSERT INTO tree VALUES (44, 4, 4, 'Postępy', NULL, 4, 1)"_s,
             u"INSERT INTO tree VALUES (45, 4, 5, 'Egzamin ustny', NULL, 1, 2)"_s,
             u"INSERT INTO tree_documents VALUES (11, '{\\rtf1 Dokument o prawie\\par}')"_s}))
        return false;
    QSqlQuery question(db.database());
    question.prepare(u"INSERT INTO ustne_pytania VALUES (?, ?, 'E', ?, ?)"_s);
    QSqlQuery point(db.database());
    point.prepare(u"INSERT INTO ustne_punkty VALUES (?, ?, ?)"_s);
    for (int code : {27, 28}) {
        for (int i = 1; i <= 3; ++i) {
            const int id = code * 10 + i;
            question.addBindValue(id);
            question.addBindValue(code);
            question.addBindValue(code == 27 ? DocumentNode : 99);
            question.addBindValue(u"Pytanie **%1**?"_s.arg(id));
            if (!question.exec())
                return false;
            for (int nr = 1; nr <= 2; ++nr) {
                point.addBindValue(id);
                point.addBindValue(nr);
                point.addBindValue(u"Punkt %1.%2"_s.arg(id).arg(nr));
                if (!point.exec())
                    return false;
            }
        }
    }
    return true;
}

struct Fixture
{
    Fixture()
    {
        filled = fillDatabase(db);
        TF_Main::Options options;
        options.baseDirectory = db.baseDirectory();
        window = std::make_unique<TF_Main>(options);
        window->resize(1000, 700);
        window->show();
        active = QTest::qWaitForWindowActive(window.get());
        tree = window->findChild<QTreeWidget *>(u"JvTV_LeftTree"_s);
    }
    bool ok() const { return filled && active; }

    template<typename T = QWidget> T *find(const QString &name) const
    {
        return window->findChild<T *>(name);
    }
    void choose(int itemId) const
    {
        for (int index = 0; TreeNodeItem *item = TreeIndex::nodeAt(tree, index); ++index) {
            if (item->node().ItemId == itemId) {
                tree->scrollToItem(item);
                QTest::mouseClick(tree->viewport(), Qt::LeftButton, {},
                                  tree->visualItemRect(item).center());
                return;
            }
        }
        QFAIL("no such node");
    }
    // A key as the user types it: to whatever holds the focus.
    static void key(Qt::Key key)
    {
        QWidget *focus = QApplication::focusWidget();
        QVERIFY(focus);
        QTest::keyClick(focus, key);
    }
    // Opens the node, moves into the configuration and starts with Enter.
    void startFromTheTree(const QList<int> &sections = {})
    {
        choose(OralNode);
        QCOMPARE(window->currentPageName(), u"NP_Ustny_0"_s);
        if (!sections.isEmpty()) {
            config()->selectNone();
            for (int code : sections)
                find<QAbstractButton>(u"CB_OralSection_%1"_s.arg(code))->setChecked(true);
        }
        find(u"SE_OralCount"_s)->setFocus();
        key(Qt::Key_Return);
    }
    QString page() const { return window->currentPageName(); }
    OralConfigPage *config() const { return window->oralExam()->configPage(); }
    OralDrillPage *drill() const { return window->oralExam()->drillPage(); }
    OralEndPage *end() const { return window->oralExam()->endPage(); }
    int currentId() const { return window->oralExam()->session().current().id; }

    TestDatabase db;
    bool filled = false;
    bool active = false;
    ScriptedMessageBoxes boxes;
    std::unique_ptr<TF_Main> window;
    QTreeWidget *tree = nullptr;
};

} // namespace

class TestOralExam : public QObject
{
    Q_OBJECT

private slots:
    void keyboardFlowFromTheTreeToTheEnd();
    void noQuestionsInTheSectionsKeepsTheConfiguration();
    void repeatNotKnownDrillsThoseAtOnce();
    void documentLinkAndBack();
    void progressPageCountsTheBoxes();
    void failedRecordIsShownAndRetried();
};

void TestOralExam::keyboardFlowFromTheTreeToTheEnd()
{
    Fixture f;
    QVERIFY(f.ok());
    QCOMPARE(f.config()->count(), 10);
    f.startFromTheTree();
    QCOMPARE(f.page(), u"NP_Ustny_1"_s);
    QCOMPARE(QApplication::focusWidget(), f.drill());
    QCOMPARE(f.drill()->progressText(), u"Pytanie 1 z 6"_s);
    // Fewer questions than asked: all of them, and the page says so.
    QVERIFY(f.find<QLabel>(u"L_OralNote"_s)->isVisible());
    QVERIFY(f.find<QLabel>(u"L_OralNote"_s)->text().contains(u"tylko 6"_s));

    // Judging before the answer is seen does nothing.
    Fixture::key(Qt::Key_1);
    QCOMPARE(f.drill()->progressText(), u"Pytanie 1 z 6"_s);
    QCOMPARE(f.drill()->answerText(), QString());

    const QList<Qt::Key> judgements
        = {Qt::Key_1, Qt::Key_2, Qt::Key_U, Qt::Key_N, Qt::Key_S, Qt::Key_2};
    QList<int> known, notKnown;
    QSet<int> asked;
    for (int i = 0; i < judgements.size(); ++i) {
        QCOMPARE(f.drill()->progressText(), u"Pytanie %1 z 6"_s.arg(i + 1));
        const int id = f.currentId();
        asked.insert(id);
        QVERIFY(f.drill()->questionText().contains(QString::number(id)));
        const Qt::Key key = judgements.at(i);
        if (key != Qt::Key_S) {
            Fixture::key(Qt::Key_Space);
            QVERIFY(f.drill()->isRevealed());
            QCOMPARE(f.drill()->answerText(), u"1. Punkt %1.1\n2. Punkt %1.2"_s.arg(id));
            (key == Qt::Key_1 || key == Qt::Key_U ? known : notKnown) << id;
        }
        Fixture::key(key);
    }
    QCOMPARE(asked.size(), 6);

    QCOMPARE(f.page(), u"NP_Ustny_2"_s);
    QCOMPARE(f.end()->summary(),
             u"Pytań: 6. Umiem: 2, nie umiem: 3. Pominięte: 1. Pytania, których nie umiesz, "
             "wrócą jutro."_s);
    QCOMPARE(f.end()->notKnownList()->topLevelItemCount(), 3);
    QCOMPARE(f.end()->notKnownList()->topLevelItem(0)->text(0),
             u"Pytanie %1?"_s.arg(notKnown.first()));
    const QString tomorrow = QDate::currentDate().addDays(1).toString(u"yyyy-MM-dd"_s);
    for (int id : known + notKnown)
        QCOMPARE(
            f.db.rows(u"SELECT pudelko, termin FROM ustne_powtorki WHERE id_ustne = %1"_s.arg(id)),
            (QList<QVariantList> {{1, tomorrow}}));
    QCOMPARE(f.db.scalar(u"SELECT count(*) FROM ustne_powtorki"_s).toInt(), 5);
    QCOMPARE(f.db.rows(u"SELECT rodzaj, pytan, poprawne, bledne FROM historia_testow"_s),
             (QList<QVariantList> {{5, 6, 2, 3}}));

    Fixture::key(Qt::Key_Return);
    QCOMPARE(f.page(), u"NP_Ustny_0"_s);
    QCOMPARE(f.boxes.count(), 0);
}

void TestOralExam::noQuestionsInTheSectionsKeepsTheConfiguration()
{
    Fixture f;
    QVERIFY(f.ok());
    f.choose(OralNode);
    // The counts of the bank stand beside the sections.
    QVERIFY(f.find<QAbstractButton>(u"CB_OralSection_27"_s)->text().endsWith(u"(3)"_s));
    for (const QList<int> &sections : {QList<int> {}, QList<int> {1}}) {
        f.config()->selectNone();
        for (int code : sections)
            f.find<QAbstractButton>(u"CB_OralSection_%1"_s.arg(code))->setChecked(true);
        f.boxes.clear();
        QTest::mouseClick(f.find<QPushButton>(u"BB_OralStart"_s), Qt::LeftButton);
        QCOMPARE(f.boxes.count(), 1);
        QVERIFY(f.boxes.shown().first().text.contains(u"nie ma pytań ustnych"_s));
        QCOMPARE(f.page(), u"NP_Ustny_0"_s);
    }
    // The three group buttons.
    QTest::mouseClick(f.find<QPushButton>(u"BB_OralSections_Inv"_s), Qt::LeftButton);
    QCOMPARE(f.config()->sections().size(), 26);
    QVERIFY(!f.config()->sections().contains(1));
    QTest::mouseClick(f.find<QPushButton>(u"BB_OralSections_All"_s), Qt::LeftButton);
    QCOMPARE(f.config()->sections().size(), 27);
    QTest::mouseClick(f.find<QPushButton>(u"BB_OralSections_None"_s), Qt::LeftButton);
    QVERIFY(f.config()->sections().isEmpty());
}

void TestOralExam::repeatNotKnownDrillsThoseAtOnce()
{
    Fixture f;
    QVERIFY(f.ok());
    f.startFromTheTree({27, 28});
    QList<int> notKnown;
    for (int i = 0; i < 6; ++i) {
        Fixture::key(Qt::Key_Space);
        if (i % 3 == 0)
            notKnown << f.currentId();
        Fixture::key(i % 3 == 0 ? Qt::Key_N : Qt::Key_U);
    }
    QCOMPARE(f.page(), u"NP_Ustny_2"_s);
    Fixture::key(Qt::Key_P);
    QCOMPARE(f.page(), u"NP_Ustny_1"_s);
    QCOMPARE(f.drill()->progressText(), u"Pytanie 1 z 2"_s);
    QVERIFY(!f.find<QLabel>(u"L_OralNote"_s)->isVisible());
    QList<int> repeated;
    for (int i = 0; i < 2; ++i) {
        repeated << f.currentId();
        Fixture::key(Qt::Key_Space);
        Fixture::key(Qt::Key_1);
    }
    std::sort(notKnown.begin(), notKnown.end());
    std::sort(repeated.begin(), repeated.end());
    QCOMPARE(repeated, notKnown);
    QCOMPARE(f.page(), u"NP_Ustny_2"_s);
    QVERIFY(!f.find<QPushButton>(u"BB_OralRepeat"_s)->isEnabled());
    // Not known, then known in the repetition: box 2.
    QCOMPARE(
        f.db.scalar(u"SELECT group_concat(pudelko) FROM ustne_powtorki WHERE id_ustne IN (%1, %2)"_s
                        .arg(notKnown.at(0))
                        .arg(notKnown.at(1)))
            .toString(),
        u"2,2"_s);
    QCOMPARE(f.db.scalar(u"SELECT count(*) FROM historia_testow WHERE rodzaj = 5"_s).toInt(), 2);
}

void TestOralExam::documentLinkAndBack()
{
    Fixture f;
    QVERIFY(f.ok());
    f.startFromTheTree({28});
    // The document of section 28's questions is not in the library.
    QCOMPARE(f.drill()->documentLink(), QString());
    QVERIFY(!f.find<QPushButton>(u"BB_OralDocument"_s)->isVisible());
    f.choose(OralNode);
    QCOMPARE(f.page(), u"NP_Ustny_1"_s);
    Fixture::key(Qt::Key_S);
    Fixture::key(Qt::Key_S);
    Fixture::key(Qt::Key_S);
    QCOMPARE(f.page(), u"NP_Ustny_2"_s);
    // A drill skipped through is not a test in the history.
    QCOMPARE(f.db.scalar(u"SELECT count(*) FROM historia_testow"_s).toInt(), 0);
    Fixture::key(Qt::Key_Return);

    f.startFromTheTree({27});
    Fixture::key(Qt::Key_Space);
    Fixture::key(Qt::Key_1);
    const int id = f.currentId();
    QCOMPARE(f.drill()->documentLink(), u"Prawo energetyczne"_s);
    QTest::mouseClick(f.find<QPushButton>(u"BB_OralDocument"_s), Qt::LeftButton);
    QCOMPARE(f.page(), u"NP_Document"_s);
    QCOMPARE(static_cast<TreeNodeItem *>(f.tree->currentItem())->node().ItemId, DocumentNode);

    f.choose(OralNode);
    QCOMPARE(f.page(), u"NP_Ustny_1"_s);
    QCOMPARE(f.drill()->progressText(), u"Pytanie 2 z 3"_s);
    QCOMPARE(f.currentId(), id);
    QCOMPARE(QApplication::focusWidget(), f.drill());
    Fixture::key(Qt::Key_Space);
    QVERIFY(f.drill()->isRevealed());
}

void TestOralExam::progressPageCountsTheBoxes()
{
    Fixture f;
    QVERIFY(f.ok());
    QVERIFY(f.db.exec({u"INSERT INTO ustne_powtorki VALUES (271, 1, '2026-12-12')"_s,
                       u"INSERT INTO ustne_powtorki VALUES (272, 5, '2026-12-12')"_s,
                       u"INSERT INTO ustne_powtorki VALUES (281, 5, '2026-12-12')"_s}));
    f.choose(ProgressNode);
    ProgressPage *progress = f.window->progressPage();
    QCOMPARE(progress->oralBoxes(),
             (QMap<int, int> {{0, 3}, {1, 1}, {2, 0}, {3, 0}, {4, 0}, {5, 2}}));
    QCOMPARE(f.find<QLabel>(u"L_OralBoxes"_s)->text(), progress->oralBoxesText());
    QVERIFY(progress->oralBoxesText().contains(
        u"1: 1, 2: 0, 3: 0, 4: 0, 5: 2; jeszcze nie ćwiczone: 3"_s));

    // A drill moves a question and is listed as its own kind.
    f.startFromTheTree({28});
    for (int i = 0; i < 3; ++i) {
        Fixture::key(Qt::Key_Space);
        Fixture::key(f.currentId() == 281 ? Qt::Key_2 : Qt::Key_S);
    }
    f.choose(ProgressNode);
    QCOMPARE(progress->oralBoxes().value(5), 1);
    QCOMPARE(progress->oralBoxes().value(1), 2);
    QCOMPARE(progress->historyModel()->index(0, 1).data().toString(), u"Egzamin ustny"_s);
}

void TestOralExam::failedRecordIsShownAndRetried()
{
    Fixture f;
    QVERIFY(f.ok());
    f.startFromTheTree({27});
    QVERIFY(f.db.exec(
        {u"CREATE TRIGGER refuse BEFORE INSERT ON ustne_powtorki BEGIN SELECT RAISE(ABORT, 'dysk pełny'); END"_s}));
    const int first = f.currentId();
    Fixture::key(Qt::Key_Space);
    Fixture::key(Qt::Key_2);
    QCOMPARE(f.boxes.errors().size(), 1);
    QVERIFY(f.boxes.errors().first().contains(u"dysk pełny"_s));
    // The drill goes on.
    QCOMPARE(f.page(), u"NP_Ustny_1"_s);
    QCOMPARE(f.drill()->progressText(), u"Pytanie 2 z 3"_s);
    QVERIFY(f.db.exec({u"DROP TRIGGER refuse"_s}));
    const int second = f.currentId();
    Fixture::key(Qt::Key_Space);
    Fixture::key(Qt::Key_1);
    QCOMPARE(f.boxes.errors().size(), 1);
    QCOMPARE(f.db.rows(u"SELECT id_ustne, pudelko FROM ustne_powtorki ORDER BY id_ustne"_s),
             (QList<QVariantList> {{std::min(first, second), 1}, {std::max(first, second), 1}}));
}

QTEST_MAIN(TestOralExam)
#include "tst_oralexam.moc"
