#pragma once

#include <QHash>
#include <QList>
#include <QSqlDatabase>
#include <QString>
#include <QTreeWidgetItem>

class QTreeWidget;

// What a node of the library tree is and which row of table tree it came from.
struct TVemTreeNode
{
    qint32 ItemId = 0;
    // The caption, and on a second line "- " and the row's hint when it has one.
    QString HintText;
    qint32 NodeType = 0;
};

// Node types of table tree; any other value opens the about page.
enum NodeTypeCode : qint32 {
    NodeHeading = 0,
    NodeDocument = 1,
    NodeExamTest = 2,
    NodeThematicTest = 3,
    // The page of the user's progress: past tests and weakest sections.
    NodeProgress = 4,
    // The oral exam drill: open questions judged by the learner, repeated in boxes.
    NodeOralExam = 5,
};

// A tree node carrying its record.
class TreeNodeItem : public QTreeWidgetItem
{
public:
    static constexpr int Type = QTreeWidgetItem::UserType + 1;
    // Item data roles of column 0 holding the indices of the node's icons.
    static constexpr int ImageIndexRole = Qt::UserRole + 1;
    static constexpr int SelectedImageIndexRole = Qt::UserRole + 2;

    explicit TreeNodeItem(const TVemTreeNode &node) : QTreeWidgetItem(Type), m_node(node) { }

    const TVemTreeNode &node() const { return m_node; }
    int imageIndex() const { return data(0, ImageIndexRole).toInt(); }
    int selectedImageIndex() const { return data(0, SelectedImageIndexRole).toInt(); }

private:
    TVemTreeNode m_node;
};

// A row of table tree as the loader reads it.
struct TreeNodeRow
{
    TVemTreeNode node;
    QString nazwa;
    int imageIndex = 0;
};
// The rows of each parent (0 standing for the top level) in ascending kolejnosc.
using TreeLevels = QHash<qint64, QList<TreeNodeRow>>;

// Empties the tree and loads it whole from table tree, siblings in ascending
// kolejnosc, each followed by its descendants. The table is read in one
// statement, so that a large tree does not cost a query per node. A database
// error raises Error and leaves the tree empty.
void LoadTree(QTreeWidget *tree, const QSqlDatabase &database, int selectedIconOffset);
// Adds the rows below the parent (none: the top level) and, under each, its
// own descendants.
void LoadTreeLevel(QTreeWidget *tree, TreeNodeItem *parent, const TreeLevels &levels,
                   int selectedIconOffset);

// The hint text of a row: the caption, and "\r\n- " and the hint when it has one,
// trimmed of control characters and blanks at both ends.
QString treeHintText(const QString &nazwa, const QString &hint);

// Positions in depth-first pre-order over all nodes, collapsed branches included.
namespace TreeIndex {
int selected(const QTreeWidget *tree); // -1 without a selection
TreeNodeItem *nodeAt(const QTreeWidget *tree, int absoluteIndex);
int indexOf(const QTreeWidget *tree, const QTreeWidgetItem *item);
// The first node in that order whose record has the item id, or none.
TreeNodeItem *firstWithItemId(const QTreeWidget *tree, qint32 itemId);
// Makes the node at the index the selected one without emitting the tree's
// selection signals.
void select(QTreeWidget *tree, int absoluteIndex);
} // namespace TreeIndex
