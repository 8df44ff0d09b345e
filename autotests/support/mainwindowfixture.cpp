#include "mainwindowfixture.h"

#include "regulations/qmx_tree.h"

#include <QTest>

using namespace Qt::StringLiterals;

void MainWindowFixture::open(QSize size)
{
    window.reset();
    TF_Main::Options options;
    options.baseDirectory = db.baseDirectory();
    window = std::make_unique<TF_Main>(options);
    if (size.isValid())
        window->resize(size);
    window->show();
    active = QTest::qWaitForWindowActive(window.get());
    tree = window->findChild<QTreeWidget *>(u"JvTV_LeftTree"_s);
    viewer = window->findChild<RtfView *>(u"JvDBRE_Dokument"_s);
}

TreeNodeItem *MainWindowFixture::node(int itemId) const
{
    return TreeIndex::firstWithItemId(tree, itemId);
}

void MainWindowFixture::choose(int itemId) const
{
    TreeNodeItem *item = node(itemId);
    QVERIFY2(item, "no such node");
    tree->scrollToItem(item);
    QTest::mouseClick(tree->viewport(), Qt::LeftButton, {}, tree->visualItemRect(item).center());
}

int MainWindowFixture::selectedIndex() const
{
    return TreeIndex::selected(tree);
}
