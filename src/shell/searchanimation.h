#pragma once

#include <QList>
#include <QPixmap>

class QWidget;

namespace SearchAnimation {

inline constexpr int FrameCount = 12;
inline constexpr int IntervalMs = 90;

// A magnifying glass circling over a page of text on a monitor.
QList<QPixmap> frames();
// The running animation of the search's wait dialog.
QWidget *create(QWidget *parent);

} // namespace SearchAnimation
