#include "searchanimation.h"

#include "toolkit/frameanimation.h"

#include <QPainter>
#include <QPainterPath>

#include <cmath>
#include <numbers>

namespace SearchAnimation {

QList<QPixmap> frames()
{
    const QSize size(64, 52);
    const QRectF screen(8, 4, 48, 32);
    QList<QPixmap> result;
    for (int frame = 0; frame < FrameCount; ++frame) {
        QPixmap pixmap(size);
        pixmap.fill(Qt::transparent);
        QPainter painter(&pixmap);
        painter.setRenderHint(QPainter::Antialiasing);

        // The monitor with its stand.
        painter.setPen(QPen(QColor(70, 80, 100), 1.5));
        painter.setBrush(QColor(200, 205, 215));
        painter.drawRoundedRect(screen.adjusted(-4, -3, 4, 3), 3, 3);
        painter.drawRect(QRectF(28, 39, 8, 5));
        painter.drawRoundedRect(QRectF(20, 44, 24, 4), 2, 2);
        painter.setBrush(Qt::white);
        painter.setPen(QPen(QColor(120, 130, 150), 1));
        painter.drawRect(screen);
        // Lines of text on the page.
        painter.setPen(QPen(QColor(128, 160, 243), 2));
        for (int line = 0; line < 5; ++line) {
            const qreal y = screen.top() + 5 + line * 5.5;
            painter.drawLine(QPointF(screen.left() + 5, y),
                             QPointF(screen.right() - (line % 2 ? 12 : 5), y));
        }

        // The glass goes round the page once in a full cycle.
        const double angle = 2 * std::numbers::pi * frame / FrameCount;
        const QPointF centre(32 + 12 * std::cos(angle), 18 + 7 * std::sin(angle));
        const qreal radius = 7;
        painter.setPen(QPen(QColor(90, 60, 30), 3.5, Qt::SolidLine, Qt::RoundCap));
        painter.drawLine(centre + QPointF(radius * 0.7, radius * 0.7),
                         centre + QPointF(radius * 1.7, radius * 1.7));
        painter.setBrush(QColor(210, 235, 255, 170));
        painter.setPen(QPen(QColor(50, 50, 60), 2));
        painter.drawEllipse(centre, radius, radius);
        painter.end();
        result.append(pixmap);
    }
    return result;
}

QWidget *create(QWidget *parent)
{
    auto *animation = new FrameAnimation(frames(), IntervalMs, parent);
    animation->start();
    return animation;
}

} // namespace SearchAnimation
