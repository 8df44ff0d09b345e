#pragma once

#include "scriptedmessageboxes.h"
#include "shell/form_main.h"
#include "testdatabase.h"
#include "toolkit/rtfview.h"

#include <QSize>
#include <QTreeWidget>

#include <memory>

class TreeNodeItem;

// A main window on a test database, shown and activated as after start-up,
// with message boxes answered by script. A test's fixture fills the database
// and then calls open().
struct MainWindowFixture
{
    MainWindowFixture() = default;
    virtual ~MainWindowFixture() = default;
    MainWindowFixture(const MainWindowFixture &) = delete;
    MainWindowFixture &operator=(const MainWindowFixture &) = delete;

    // Makes and shows a new window on the database, dropping the one before,
    // as at the next start of the program. An empty size keeps the default.
    void open(QSize size = {});
    bool ok() const { return filled && active; }

    template<typename T = QWidget> T *find(const QString &name) const
    {
        return window->findChild<T *>(name);
    }
    TreeNodeItem *node(int itemId) const;
    // Clicks the node, as the user would.
    void choose(int itemId) const;
    // Absolute index of the selected node, -1 without one.
    int selectedIndex() const;

    TestDatabase db;
    bool filled = false;
    bool active = false;
    ScriptedMessageBoxes boxes;
    std::unique_ptr<TF_Main> window;
    QTreeWidget *tree = nullptr;
    RtfView *viewer = nullptr;
};
