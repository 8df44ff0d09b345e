#pragma once

#include <QIcon>
#include <QList>
#include <QTreeWidget>

#include <functional>

class TreeNodeItem;

// The library tree: the tree widget with the look and the behaviour the
// program gives it. Selecting a node expands it and closes the branch the
// previous selection had opened; a right click selects; each node shows its
// two-line hint after the application's hint pause.
class RegulationTree : public QTreeWidget
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(RegulationTree)

public:
    static constexpr int IconSize = 18;
    static constexpr int RowHeight = 18;
    static constexpr int Indent = 21;
    static constexpr int SelectedIconOffset = 5;

    explicit RegulationTree(QWidget *parent = nullptr);

    // While the gate answers false, no node expands.
    void setExpansionGate(std::function<bool()> gate) { m_expansionGate = std::move(gate); }
    bool expansionAllowed() const { return !m_expansionGate || m_expansionGate(); }

    // Gives every node its icons from the image list by its indices.
    void applyIcons();
    // The hint of the node whose icon or caption is under the point (in
    // viewport coordinates), or an empty string.
    QString hintTextAt(const QPoint &point) const;
    TreeNodeItem *nodeAt(const QPoint &point) const;

    // Makes the node the selected one as a click would, expanding and closing
    // branches, but without the tree's selection signals.
    void selectQuietly(QTreeWidgetItem *item);

    // The ten icons: five subjects, then the same five as a selected node shows them.
    static const QList<QIcon> &imageList();

signals:
    // A mouse button went down on the node that is already selected; a new
    // selection is reported by itemSelectionChanged instead.
    void selectedNodePressed();

protected:
    void mousePressEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    bool viewportEvent(QEvent *event) override;
    void drawBranches(QPainter *painter, const QRect &rect, const QModelIndex &index) const override;

private:
    void singleExpand(QTreeWidgetItem *current, QTreeWidgetItem *previous);
    void refuseExpansion(const QModelIndex &index);
    QRect captionRect(const QTreeWidgetItem *item) const;

    std::function<bool()> m_expansionGate;
    // Branches open and close when the button is released: closing them on
    // the press would move another node under the pointer before the release.
    bool m_buttonDown = false;
    QTreeWidgetItem *m_pendingCurrent = nullptr;
    QTreeWidgetItem *m_pendingPrevious = nullptr;
};
