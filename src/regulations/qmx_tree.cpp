#include "qmx_tree.h"

#include "data/sql.h"

#include <QSignalBlocker>
#include <QSqlRecord>
#include <QSqlQuery>
#include <QTreeWidget>
#include <QTreeWidgetItemIterator>
#include <QVariant>

#include <limits>

namespace {

// Every row at once, each level's rows in the order of their kolejnosc.
constexpr auto TreeStatement = R"(SELECT * from tree order by parent_id, kolejnosc)";
constexpr qint64 TopLevelKey = std::numeric_limits<qint64>::min();

QString trimmedControl(const QString &text)
{
    // Characters 0 to 32 go at both ends, as a blank would.
    qsizetype begin = 0;
    qsizetype end = text.size();
    while (begin < end && text.at(begin).unicode() <= 32)
        ++begin;
    while (end > begin && text.at(end - 1).unicode() <= 32)
        --end;
    return text.mid(begin, end - begin);
}

} // namespace

QString treeHintText(const QString &nazwa, const QString &hint)
{
    QString text = nazwa;
    if (!hint.isEmpty())
        text += QStringLiteral("\r\n- ") + hint;
    return trimmedControl(text);
}

void LoadTree(QTreeWidget *tree, const QSqlDatabase &database, int selectedIconOffset)
{
    tree->clear();
    QSqlQuery query = Sql::prepare(database, QLatin1String(TreeStatement));
    query.setForwardOnly(true);
    Sql::exec(query);
    const int itemId = query.record().indexOf(QStringLiteral("item_id"));
    const int parentId = query.record().indexOf(QStringLiteral("parent_id"));
    const int nazwa = query.record().indexOf(QStringLiteral("nazwa"));
    const int hint = query.record().indexOf(QStringLiteral("hint"));
    const int nodeType = query.record().indexOf(QStringLiteral("node_type_id"));
    const int imageIndex = query.record().indexOf(QStringLiteral("ImageIndex"));

    TreeLevels levels;
    while (query.next()) {
        TreeNodeRow row;
        row.nazwa = query.value(nazwa).toString();
        row.node.ItemId = query.value(itemId).toInt();
        row.node.NodeType = query.value(nodeType).toInt();
        row.node.HintText = treeHintText(row.nazwa, query.value(hint).toString());
        row.imageIndex = query.value(imageIndex).toInt();
        const QVariant parent = query.value(parentId);
        // Top-level rows go under a key no item id can have.
        levels[parent.isNull() ? TopLevelKey : parent.toLongLong()].append(row);
    }
    LoadTreeLevel(tree, nullptr, levels, selectedIconOffset);
}

void LoadTreeLevel(QTreeWidget *tree, TreeNodeItem *parent, const TreeLevels &levels,
                   int selectedIconOffset)
{
    const qint64 key = parent ? parent->node().ItemId : TopLevelKey;
    QList<QTreeWidgetItem *> added;
    for (const TreeNodeRow &row : levels.value(key)) {
        auto *item = new TreeNodeItem(row.node);
        item->setText(0, row.nazwa);
        item->setData(0, TreeNodeItem::ImageIndexRole, row.imageIndex);
        item->setData(0, TreeNodeItem::SelectedImageIndexRole, row.imageIndex + selectedIconOffset);
        // Children are added while the node is not yet in the tree, which
        // spares the view a notification per node.
        LoadTreeLevel(tree, item, levels, selectedIconOffset);
        added.append(item);
    }
    if (parent)
        parent->addChildren(added);
    else
        tree->addTopLevelItems(added);
}

namespace TreeIndex {

int selected(const QTreeWidget *tree)
{
    const QList<QTreeWidgetItem *> items = tree->selectedItems();
    return items.isEmpty() ? -1 : indexOf(tree, items.first());
}

TreeNodeItem *nodeAt(const QTreeWidget *tree, int absoluteIndex)
{
    if (absoluteIndex < 0)
        return nullptr;
    int index = 0;
    for (QTreeWidgetItemIterator it(const_cast<QTreeWidget *>(tree)); *it; ++it, ++index) {
        if (index == absoluteIndex)
            return static_cast<TreeNodeItem *>(*it);
    }
    return nullptr;
}

int indexOf(const QTreeWidget *tree, const QTreeWidgetItem *item)
{
    int index = 0;
    for (QTreeWidgetItemIterator it(const_cast<QTreeWidget *>(tree)); *it; ++it, ++index) {
        if (*it == item)
            return index;
    }
    return -1;
}

TreeNodeItem *firstWithItemId(const QTreeWidget *tree, qint32 itemId)
{
    for (QTreeWidgetItemIterator it(const_cast<QTreeWidget *>(tree)); *it; ++it) {
        auto *node = static_cast<TreeNodeItem *>(*it);
        if (node->node().ItemId == itemId)
            return node;
    }
    return nullptr;
}

void select(QTreeWidget *tree, int absoluteIndex)
{
    TreeNodeItem *item = nodeAt(tree, absoluteIndex);
    if (!item)
        return;
    const QSignalBlocker blocker(tree);
    tree->setCurrentItem(item);
}

} // namespace TreeIndex
