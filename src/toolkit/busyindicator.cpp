#include "busyindicator.h"

#include <QPainter>

#include <algorithm>
#include <cmath>
#include <numbers>

namespace {

constexpr int TickMsecs = 80;
constexpr int Side = 48;

} // namespace

BusyIndicator::BusyIndicator(QWidget *parent) : QWidget(parent)
{
    m_timer.setInterval(TickMsecs);
    connect(&m_timer, &QTimer::timeout, this, &BusyIndicator::advance);
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
}

QSize BusyIndicator::sizeHint() const
{
    return {Side, Side};
}

QSize BusyIndicator::minimumSizeHint() const
{
    return sizeHint();
}

void BusyIndicator::advance()
{
    m_step = (m_step + 1) % DotCount;
    update();
}

void BusyIndicator::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    m_timer.start();
}

void BusyIndicator::hideEvent(QHideEvent *event)
{
    // A hidden indicator costs no repaints.
    m_timer.stop();
    QWidget::hideEvent(event);
}

void BusyIndicator::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);

    const QPointF centre = QRectF(rect()).center();
    const double side = std::min(width(), height());
    const double dotRadius = side / 12.0;
    const double ringRadius = side / 2.0 - dotRadius - 1.0;
    QColor colour = palette().color(QPalette::Highlight);

    for (int i = 0; i < DotCount; ++i) {
        // The dots behind the head fade out, so the ring seems to turn.
        const int behind = (m_step - i + DotCount) % DotCount;
        colour.setAlphaF(float(1.0 - 0.8 * behind / (DotCount - 1)));
        painter.setBrush(colour);
        const double angle = 2.0 * std::numbers::pi * i / DotCount - std::numbers::pi / 2.0;
        const QPointF dot(centre.x() + ringRadius * std::cos(angle),
                          centre.y() + ringRadius * std::sin(angle));
        painter.drawEllipse(dot, dotRadius, dotRadius);
    }
}
