#include "regulationtree.h"

#include "qmx_tree.h"

#include <QHelpEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QSignalBlocker>
#include <QSvgRenderer>
#include <QToolTip>
#include <QTreeWidgetItemIterator>

namespace {

const QColor Background(246, 255, 229);
const QColor LineColour(Qt::red);

QPixmap renderIcon(const QString &resource)
{
    QPixmap pixmap(RegulationTree::IconSize, RegulationTree::IconSize);
    pixmap.fill(Qt::transparent);
    QSvgRenderer renderer(resource);
    if (renderer.isValid()) {
        QPainter painter(&pixmap);
        renderer.render(&painter);
    }
    return pixmap;
}

} // namespace

const QList<QIcon> &RegulationTree::imageList()
{
    static const QList<QIcon> icons = [] {
        QList<QIcon> list;
        for (int selected = 0; selected < 2; ++selected) {
            for (int subject = 0; subject < 5; ++subject) {
                const QString name = QStringLiteral(":/regulations/icons/tree-%1%2.svg")
                                             .arg(subject)
                                             .arg(selected ? QStringLiteral("-selected") : QString());
                list.append(QIcon(renderIcon(name)));
            }
        }
        return list;
    }();
    return icons;
}

RegulationTree::RegulationTree(QWidget *parent) : QTreeWidget(parent)
{
    setHeaderHidden(true);
    setColumnCount(1);
    setIndentation(Indent);
    setIconSize(QSize(IconSize, IconSize));
    setUniformRowHeights(true);
    setRootIsDecorated(false);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setMouseTracking(true);
    setAttribute(Qt::WA_Hover);
    setExpandsOnDoubleClick(false);
    setFrameShape(QFrame::StyledPanel);
    // Siblings that differ only at their ends ("... do 1 kV", "... powyżej 1 kV")
    // stay told apart when the pane is narrow.
    setTextElideMode(Qt::ElideMiddle);

    QPalette colours = palette();
    colours.setColor(QPalette::Base, Background);
    // The selection stays as visible when the tree loses the focus.
    for (const QPalette::ColorRole role : {QPalette::Highlight, QPalette::HighlightedText})
        colours.setColor(QPalette::Inactive, role, colours.color(QPalette::Active, role));
    setPalette(colours);
    setStyleSheet(QStringLiteral("QTreeView::item { height: %1px; }"
                                 "QTreeView::item:hover:!selected { background: rgb(222, 234, 252); "
                                 "color: rgb(0, 0, 160); }")
                          .arg(RowHeight));

    connect(this, &QTreeWidget::currentItemChanged, this, &RegulationTree::singleExpand);
    connect(this, &QTreeView::expanded, this, &RegulationTree::refuseExpansion);
}

void RegulationTree::applyIcons()
{
    // One icon per pair of indices, shared by every node that shows it.
    QHash<QPair<int, int>, QIcon> made;
    const QList<QIcon> &icons = imageList();
    for (QTreeWidgetItemIterator it(this); *it; ++it) {
        auto *node = static_cast<TreeNodeItem *>(*it);
        const QPair<int, int> key(node->imageIndex(), node->selectedImageIndex());
        auto found = made.find(key);
        if (found == made.end()) {
            const QIcon normal = icons.value(key.first);
            QIcon icon;
            icon.addPixmap(normal.pixmap(IconSize), QIcon::Normal);
            icon.addPixmap(icons.value(key.second, normal).pixmap(IconSize), QIcon::Selected);
            found = made.insert(key, icon);
        }
        node->setIcon(0, *found);
    }
}

QRect RegulationTree::captionRect(const QTreeWidgetItem *item) const
{
    const QRect row = visualItemRect(item);
    const int textWidth = fontMetrics().horizontalAdvance(item->text(0));
    // The icon and the caption, not the free part of the row after them.
    return QRect(row.left(), row.top(), IconSize + 8 + textWidth, row.height());
}

TreeNodeItem *RegulationTree::nodeAt(const QPoint &point) const
{
    QTreeWidgetItem *item = itemAt(point);
    if (!item || !captionRect(item).contains(point))
        return nullptr;
    return static_cast<TreeNodeItem *>(item);
}

QString RegulationTree::hintTextAt(const QPoint &point) const
{
    const TreeNodeItem *node = nodeAt(point);
    return node ? node->node().HintText : QString();
}

bool RegulationTree::viewportEvent(QEvent *event)
{
    if (event->type() == QEvent::ToolTip) {
        const auto *help = static_cast<QHelpEvent *>(event);
        if (const TreeNodeItem *node = nodeAt(help->pos())) {
            // Tied to the node's rectangle: moving to another node closes it,
            // and the other node's hint follows after the pause.
            QToolTip::showText(help->globalPos(), node->node().HintText, viewport(),
                               captionRect(node));
        } else {
            QToolTip::hideText();
            event->ignore();
        }
        return true;
    }
    return QTreeWidget::viewportEvent(event);
}

void RegulationTree::mousePressEvent(QMouseEvent *event)
{
    QTreeWidgetItem *item = itemAt(event->position().toPoint());
    const bool onSelected = item && item->isSelected();
    if (event->button() == Qt::RightButton) {
        if (item)
            setCurrentItem(item);
        event->accept();
        return;
    }
    m_buttonDown = true;
    QTreeWidget::mousePressEvent(event);
    if (onSelected && event->button() == Qt::LeftButton)
        emit selectedNodePressed();
}

void RegulationTree::mouseReleaseEvent(QMouseEvent *event)
{
    QTreeWidget::mouseReleaseEvent(event);
    m_buttonDown = false;
    if (QTreeWidgetItem *current = std::exchange(m_pendingCurrent, nullptr))
        singleExpand(current, std::exchange(m_pendingPrevious, nullptr));
}

void RegulationTree::selectQuietly(QTreeWidgetItem *item)
{
    QTreeWidgetItem *previous = currentItem();
    {
        const QSignalBlocker blocker(this);
        setCurrentItem(item);
    }
    singleExpand(item, previous);
}

void RegulationTree::singleExpand(QTreeWidgetItem *current, QTreeWidgetItem *previous)
{
    if (!current)
        return;
    if (m_buttonDown) {
        if (!m_pendingCurrent)
            m_pendingPrevious = previous;
        m_pendingCurrent = current;
        return;
    }
    // Close what the previous selection had opened, but not the branch the
    // new selection lies in.
    QSet<QTreeWidgetItem *> keep;
    for (QTreeWidgetItem *node = current; node; node = node->parent())
        keep.insert(node);
    for (QTreeWidgetItem *node = previous; node; node = node->parent()) {
        if (!keep.contains(node))
            node->setExpanded(false);
    }
    if (expansionAllowed())
        current->setExpanded(true);
}

void RegulationTree::refuseExpansion(const QModelIndex &index)
{
    if (expansionAllowed())
        return;
    const QSignalBlocker blocker(this);
    collapse(index);
}

void RegulationTree::drawBranches(QPainter *painter, const QRect &rect, const QModelIndex &index) const
{
    // Dotted red connecting lines; the top level has none.
    QTreeWidget::drawBranches(painter, rect, index);
    if (!index.parent().isValid())
        return;
    painter->save();
    QPen pen(LineColour, 1, Qt::DotLine);
    painter->setPen(pen);
    const int midY = rect.center().y();
    int depth = 0;
    for (QModelIndex up = index.parent(); up.isValid(); up = up.parent())
        ++depth;
    // Columns: one per level below the top; the node's own column is the last.
    const int right = rect.right();
    const int ownX = right - Indent / 2;
    const bool hasNext = index.sibling(index.row() + 1, 0).isValid();
    painter->drawLine(ownX, rect.top(), ownX, hasNext ? rect.bottom() : midY);
    painter->drawLine(ownX, midY, right, midY);
    QModelIndex ancestor = index.parent();
    for (int level = 1; level < depth && ancestor.parent().isValid(); ++level) {
        const int x = ownX - level * Indent;
        if (ancestor.sibling(ancestor.row() + 1, 0).isValid())
            painter->drawLine(x, rect.top(), x, rect.bottom());
        ancestor = ancestor.parent();
    }
    painter->restore();
}
