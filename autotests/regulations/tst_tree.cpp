#include "regulations/qmx_tree.h"
#include "regulations/regulationtree.h"
#include "testdatabase.h"
#include "toolkit/error.h"

#include <QSignalSpy>
#include <QTest>

using namespace Qt::StringLiterals;

namespace {

// Rows inserted out of order: the loader must order siblings by kolejnosc.
const QStringList ShuffledTree = {
    u"INSERT INTO tree VALUES (3, NULL, 0, 'Wiedza techniczna', NULL, 3, 30)"_s,
    u"INSERT INTO tree VALUES (1, NULL, 0, 'Regulacje prawne', 'Ustawy', 0, 10)"_s,
    u"INSERT INTO tree VALUES (12, 1, 1, 'Prawo budowlane', NULL, 2, 2)"_s,
    u"INSERT INTO tree VALUES (11, 1, 1, 'Prawo energetyczne', NULL, 2, 1)"_s,
    u"INSERT INTO tree VALUES (111, 11, 1, 'Art. 54', NULL, 2, 1)"_s,
    u"INSERT INTO tree VALUES (31, 3, NULL, 'Pomiary', NULL, NULL, 1)"_s,
    u"INSERT INTO tree VALUES (2, NULL, 0, 'Regulamin i tryb nadawania uprawnień', NULL, 1, 20)"_s,
};

QList<int> preOrderIds(const QTreeWidget &tree)
{
    QList<int> ids;
    for (int index = 0; TreeNodeItem *node = TreeIndex::nodeAt(&tree, index); ++index)
        ids << node->node().ItemId;
    return ids;
}

} // namespace

class TestTree : public QObject
{
    Q_OBJECT

private slots:
    void hintText_data();
    void hintText();
    void siblingsInOrderEachFollowedByItsDescendants();
    void absoluteIndex();
    void emptyTreeHasNoSelection();
    void recordsAndIcons();
    void databaseErrorPropagates();
    void expansionWaitsForTheGate();
    void selectingClosesThePreviousBranch();
    void rightClickSelects();
    void clickBelowAnOpenBranchSelectsTheClickedNode();
    void hintOnlyOverIconAndCaption();
};

void TestTree::hintText_data()
{
    QTest::addColumn<QString>("nazwa");
    QTest::addColumn<QString>("hint");
    QTest::addColumn<QString>("expected");
    QTest::newRow("no hint: one line") << u"Testy"_s << QString() << u"Testy"_s;
    QTest::newRow("hint: two lines") << u"Prawo energetyczne"_s << u"art. 54"_s << u"Prawo energetyczne\r\n- art. 54"_s;
    QTest::newRow("blanks around the caption go") << u"  Testy \t"_s << QString() << u"Testy"_s;
    QTest::newRow("blanks after the hint go") << u"A"_s << u"b \r\n"_s << u"A\r\n- b"_s;
    QTest::newRow("blank hint still makes a second line") << u"A"_s << u" "_s << u"A\r\n-"_s;
}

void TestTree::hintText()
{
    QFETCH(QString, nazwa);
    QFETCH(QString, hint);
    QFETCH(QString, expected);
    QCOMPARE(treeHintText(nazwa, hint), expected);
}

void TestTree::siblingsInOrderEachFollowedByItsDescendants()
{
    TestDatabase db;
    QVERIFY(db.exec(ShuffledTree));
    QTreeWidget tree;
    tree.addTopLevelItem(new QTreeWidgetItem({u"left over"_s}));
    LoadTree(&tree, db.database(), 5);
    QCOMPARE(preOrderIds(tree), (QList<int>{1, 11, 111, 12, 2, 3, 31}));
    // The caption is kept as stored, the hint text is trimmed.
    QCOMPARE(TreeIndex::nodeAt(&tree, 0)->text(0), u"Regulacje prawne"_s);
    QCOMPARE(TreeIndex::nodeAt(&tree, 0)->node().HintText, u"Regulacje prawne\r\n- Ustawy"_s);
}

void TestTree::absoluteIndex()
{
    TestDatabase db;
    QVERIFY(db.exec(ShuffledTree));
    QTreeWidget tree;
    LoadTree(&tree, db.database(), 5);
    tree.collapseAll();
    QCOMPARE(TreeIndex::selected(&tree), -1);

    QSignalSpy selections(&tree, &QTreeWidget::itemSelectionChanged);
    TreeIndex::select(&tree, 2); // "Art. 54", inside two collapsed branches
    QCOMPARE(selections.count(), 0);
    QCOMPARE(TreeIndex::selected(&tree), 2);
    QCOMPARE(tree.currentItem()->text(0), u"Art. 54"_s);
    QCOMPARE(TreeIndex::indexOf(&tree, TreeIndex::nodeAt(&tree, 6)), 6);
    QVERIFY(!TreeIndex::nodeAt(&tree, 7));
    QVERIFY(!TreeIndex::nodeAt(&tree, -1));
}

void TestTree::emptyTreeHasNoSelection()
{
    TestDatabase db;
    QTreeWidget tree;
    LoadTree(&tree, db.database(), 5);
    QCOMPARE(tree.topLevelItemCount(), 0);
    QCOMPARE(TreeIndex::selected(&tree), -1);
    TreeIndex::select(&tree, 0);
    QCOMPARE(TreeIndex::selected(&tree), -1);
}

void TestTree::recordsAndIcons()
{
    TestDatabase db;
    QVERIFY(db.exec(ShuffledTree));
    RegulationTree tree;
    LoadTree(&tree, db.database(), RegulationTree::SelectedIconOffset);
    tree.applyIcons();
    const TreeNodeItem *document = TreeIndex::nodeAt(&tree, 1);
    QCOMPARE(document->node().ItemId, 11);
    QCOMPARE(document->node().NodeType, 1);
    QCOMPARE(document->imageIndex(), 2);
    QCOMPARE(document->selectedImageIndex(), 7);
    // Null columns read as 0: a heading with icon 0.
    const TreeNodeItem *nulls = TreeIndex::nodeAt(&tree, 6);
    QCOMPARE(nulls->node().NodeType, 0);
    QCOMPARE(nulls->imageIndex(), 0);
    QCOMPARE(nulls->selectedImageIndex(), 5);

    const QList<QIcon> &icons = RegulationTree::imageList();
    QCOMPARE(icons.size(), 10);
    const QImage normal = document->icon(0).pixmap(18, QIcon::Normal).toImage();
    const QImage selected = document->icon(0).pixmap(18, QIcon::Selected).toImage();
    QCOMPARE(normal, icons[2].pixmap(18).toImage());
    QCOMPARE(selected, icons[7].pixmap(18).toImage());
    QVERIFY(normal != selected);
    for (const QIcon &icon : icons)
        QVERIFY(!icon.pixmap(18).toImage().isNull());
}

void TestTree::databaseErrorPropagates()
{
    TestDatabase db;
    QVERIFY(db.exec({u"DROP TABLE tree"_s}));
    QTreeWidget tree;
    QVERIFY_THROWS_EXCEPTION(Error, LoadTree(&tree, db.database(), 5));
}

void TestTree::expansionWaitsForTheGate()
{
    TestDatabase db;
    QVERIFY(db.exec(ShuffledTree));
    RegulationTree tree;
    bool ready = false;
    tree.setExpansionGate([&] { return ready; });
    LoadTree(&tree, db.database(), 5);
    QTreeWidgetItem *section = tree.topLevelItem(0);
    tree.expandItem(section);
    QVERIFY(!section->isExpanded());
    ready = true;
    tree.expandItem(section);
    QVERIFY(section->isExpanded());
}

void TestTree::selectingClosesThePreviousBranch()
{
    TestDatabase db;
    QVERIFY(db.exec(ShuffledTree));
    RegulationTree tree;
    LoadTree(&tree, db.database(), 5);
    tree.collapseAll();
    tree.setCurrentItem(TreeIndex::nodeAt(&tree, 0)); // Regulacje prawne
    tree.setCurrentItem(TreeIndex::nodeAt(&tree, 1)); // Prawo energetyczne
    QVERIFY(TreeIndex::nodeAt(&tree, 1)->isExpanded());
    tree.setCurrentItem(TreeIndex::nodeAt(&tree, 2)); // Art. 54, below it: its branch stays open
    QVERIFY(TreeIndex::nodeAt(&tree, 1)->isExpanded());
    QVERIFY(TreeIndex::nodeAt(&tree, 0)->isExpanded());

    tree.selectQuietly(TreeIndex::nodeAt(&tree, 5)); // Wiedza techniczna
    QVERIFY(TreeIndex::nodeAt(&tree, 5)->isExpanded());
    QVERIFY(!TreeIndex::nodeAt(&tree, 0)->isExpanded());
    QVERIFY(!TreeIndex::nodeAt(&tree, 1)->isExpanded());
}

void TestTree::rightClickSelects()
{
    TestDatabase db;
    QVERIFY(db.exec(ShuffledTree));
    RegulationTree tree;
    LoadTree(&tree, db.database(), 5);
    tree.resize(300, 300);
    tree.show();
    QVERIFY(QTest::qWaitForWindowExposed(&tree));
    QTreeWidgetItem *target = tree.topLevelItem(1);
    QTest::mouseClick(tree.viewport(), Qt::RightButton, {}, tree.visualItemRect(target).center());
    QCOMPARE(tree.currentItem(), target);
    QVERIFY(target->isSelected());
}

void TestTree::clickBelowAnOpenBranchSelectsTheClickedNode()
{
    // Closing the open branch above moves the rows up; the node under the
    // pointer when the button went down must stay the one selected.
    TestDatabase db;
    QVERIFY(db.exec(ShuffledTree));
    RegulationTree tree;
    LoadTree(&tree, db.database(), 5);
    tree.resize(300, 300);
    tree.show();
    QVERIFY(QTest::qWaitForWindowExposed(&tree));
    tree.setCurrentItem(tree.topLevelItem(1));
    tree.collapseAll();
    QTest::mouseClick(tree.viewport(), Qt::LeftButton, {}, tree.visualItemRect(tree.topLevelItem(0)).center());
    QVERIFY(tree.topLevelItem(0)->isExpanded());
    QTreeWidgetItem *target = tree.topLevelItem(2);
    QTest::mouseClick(tree.viewport(), Qt::LeftButton, {}, tree.visualItemRect(target).center());
    QCOMPARE(tree.currentItem(), target);
    QVERIFY(!tree.topLevelItem(0)->isExpanded());
    QVERIFY(target->isExpanded());
}

void TestTree::hintOnlyOverIconAndCaption()
{
    TestDatabase db;
    QVERIFY(db.exec(ShuffledTree));
    RegulationTree tree;
    LoadTree(&tree, db.database(), 5);
    tree.resize(400, 300);
    tree.show();
    QVERIFY(QTest::qWaitForWindowExposed(&tree));
    const QRect row = tree.visualItemRect(tree.topLevelItem(0));
    QCOMPARE(tree.hintTextAt(row.topLeft() + QPoint(30, 4)), u"Regulacje prawne\r\n- Ustawy"_s);
    QCOMPARE(tree.hintTextAt(QPoint(row.right() - 2, row.center().y())), QString());
    const QRect second = tree.visualItemRect(tree.topLevelItem(1));
    QCOMPARE(tree.hintTextAt(second.topLeft() + QPoint(30, 4)), u"Regulamin i tryb nadawania uprawnień"_s);
    QCOMPARE(tree.hintTextAt(QPoint(5, 290)), QString());
}

QTEST_MAIN(TestTree)
#include "tst_tree.moc"
