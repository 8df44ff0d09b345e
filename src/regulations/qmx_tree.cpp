#include "qmx_tree.h"

#include "data/sql.h"

#include <QSignalBlocker>
#include <QSqlQuery>
#include <QTreeWidget>
#include <QTreeWidgetItemIterator>
#include <QVariant>

namespace {

constexpr auto TopLevelStatement = R"(SELECT * from tree where parent_id is null order by kolejnosc)";
constexpr auto ChildStatement = R"(SELECT * from tree where parent_id = :parent_id order by kolejnosc)";

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
    LoadTreeLevel(tree, nullptr, database, selectedIconOffset);
}

void LoadTreeLevel(QTreeWidget *tree, TreeNodeItem *parent, const QSqlDatabase &database,
                   int selectedIconOffset)
{
    QSqlQuery query(database);
    if (!parent) {
        tree->clear();
        query = Sql::prepare(database, QLatin1String(TopLevelStatement));
    } else {
        query = Sql::prepare(database, QLatin1String(ChildStatement));
        query.bindValue(QStringLiteral(":parent_id"), parent->node().ItemId);
    }
    query.setForwardOnly(true);
    Sql::exec(query);

    while (query.next()) {
        const QString nazwa = query.value(QStringLiteral("nazwa")).toString();
        TVemTreeNode node;
        node.ItemId = query.value(QStringLiteral("item_id")).toInt();
        node.NodeType = query.value(QStringLiteral("node_type_id")).toInt();
        node.HintText = treeHintText(nazwa, query.value(QStringLiteral("hint")).toString());

        auto *item = new TreeNodeItem(node);
        item->setText(0, nazwa);
        const int imageIndex = query.value(QStringLiteral("ImageIndex")).toInt();
        item->setData(0, TreeNodeItem::ImageIndexRole, imageIndex);
        item->setData(0, TreeNodeItem::SelectedImageIndexRole, imageIndex + selectedIconOffset);
        if (parent)
            parent->addChild(item);
        else
            tree->addTopLevelItem(item);

        LoadTreeLevel(tree, item, database, selectedIconOffset);
    }
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

void select(QTreeWidget *tree, int absoluteIndex)
{
    TreeNodeItem *item = nodeAt(tree, absoluteIndex);
    if (!item)
        return;
    const QSignalBlocker blocker(tree);
    tree->setCurrentItem(item);
}

} // namespace TreeIndex
