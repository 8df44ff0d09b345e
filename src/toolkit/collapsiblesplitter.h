#pragma once

#include <QSplitter>

class QToolButton;

// A horizontal splitter between a side pane and the content whose handle
// carries a button that collapses the side pane and restores it.
class CollapsibleSplitter : public QSplitter
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(CollapsibleSplitter)

public:
    explicit CollapsibleSplitter(QWidget *parent = nullptr);

    bool isSideCollapsed() const;
    // Collapses the first pane, or gives it back the width it had.
    void toggleSide();

protected:
    QSplitterHandle *createHandle() override;

private:
    int m_restoreWidth = 200;
};
