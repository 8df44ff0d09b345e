#pragma once

#include <QString>

class QLabel;
class QVBoxLayout;
class QWidget;

// The frame of a configuration page: its content scrolls when the window is
// too small for it, under a bold heading.
namespace PageFrame {

// Fills the page with a scroll area and returns the layout of its content.
QVBoxLayout *scrollingContent(QWidget *page);
QLabel *heading(const QString &text, QWidget *parent);

} // namespace PageFrame
