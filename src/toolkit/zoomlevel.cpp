#include "zoomlevel.h"

#include <algorithm>
#include <array>

namespace {

// Steps that read well: finer near the normal size, coarser far from it.
constexpr std::array<int, 13> Steps = {50, 67, 80, 90, 100, 110, 125, 150, 175, 200, 235, 270, 300};

} // namespace

void ZoomLevel::setPercent(int percent)
{
    percent = std::clamp(percent, Minimum, Maximum);
    if (percent == m_percent)
        return;
    m_percent = percent;
    emit changed(m_percent);
}

void ZoomLevel::zoomIn()
{
    const auto next = std::upper_bound(Steps.begin(), Steps.end(), m_percent);
    setPercent(next == Steps.end() ? Maximum : *next);
}

void ZoomLevel::zoomOut()
{
    const auto next = std::lower_bound(Steps.begin(), Steps.end(), m_percent);
    setPercent(next == Steps.begin() ? Minimum : *std::prev(next));
}
