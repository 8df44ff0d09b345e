#pragma once

#include <QPixmap>
#include <QSize>

// The program's pictures, drawn from vector sources at the size asked for.
namespace Pictures {

// The light bulb between two lightning bolts in a blue frame.
QPixmap emblem(const QSize &size);
// The splash picture, 638 × 527: the title, the emblem and the credits.
QPixmap splash();

inline constexpr QSize SplashSize{638, 527};

} // namespace Pictures
