#include "blockprogressbar.h"

#include <QPainter>

#include <algorithm>

BlockProgressBar::BlockProgressBar(QWidget *parent) : QWidget(parent) { }

void BlockProgressBar::setRange(int minimum, int maximum)
{
    m_minimum = minimum;
    m_maximum = std::max(minimum, maximum);
    setPosition(m_position);
}

void BlockProgressBar::setPosition(int position)
{
    position = std::clamp(position, m_minimum, m_maximum);
    if (position == m_position)
        return;
    m_position = position;
    update();
}

void BlockProgressBar::setColors(const QColor &start, const QColor &end)
{
    m_start = start;
    m_end = end;
    update();
}

QSize BlockProgressBar::sizeHint() const
{
    return {200, 15};
}

void BlockProgressBar::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.fillRect(rect(), palette().window());
    const int steps = m_maximum - m_minimum;
    if (steps <= 0)
        return;
    const int done = m_position - m_minimum;
    const double blockWidth = double(width()) / steps;
    constexpr int Gap = 1;
    for (int i = 0; i < done; ++i) {
        const double t = steps > 1 ? double(i) / (steps - 1) : 0.0;
        const QColor colour = QColor::fromRgbF(
                float(m_start.redF() + (m_end.redF() - m_start.redF()) * t),
                float(m_start.greenF() + (m_end.greenF() - m_start.greenF()) * t),
                float(m_start.blueF() + (m_end.blueF() - m_start.blueF()) * t));
        const int left = int(i * blockWidth);
        const int right = int((i + 1) * blockWidth) - Gap;
        painter.fillRect(QRect(QPoint(left, 1), QPoint(std::max(left, right - 1), height() - 2)),
                         colour);
    }
}
