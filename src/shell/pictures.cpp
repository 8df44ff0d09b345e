#include "pictures.h"

#include "credits.h"

#include <QLinearGradient>
#include <QPainter>
#include <QSvgRenderer>

namespace Pictures {

namespace {

void renderSvg(QPainter &painter, const QString &resource, const QRectF &target)
{
    QSvgRenderer renderer(resource);
    renderer.render(&painter, target);
}

} // namespace

QPixmap emblem(const QSize &size)
{
    QPixmap pixmap(size);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    renderSvg(painter, QStringLiteral(":/shell/images/emblem.svg"), QRectF(QPointF(0, 0), size));
    return pixmap;
}

QPixmap splash()
{
    QPixmap pixmap(SplashSize);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::TextAntialiasing);

    const QRect area(QPoint(0, 0), SplashSize);
    QLinearGradient sky(area.topLeft(), area.bottomLeft());
    sky.setColorAt(0.0, QColor(246, 255, 229));
    sky.setColorAt(0.55, QColor(255, 255, 255));
    sky.setColorAt(1.0, QColor(205, 218, 250));
    painter.fillRect(area, sky);
    painter.setPen(QPen(QColor(131, 162, 243), 2));
    painter.drawRect(area.adjusted(1, 1, -2, -2));

    QFont title(QStringLiteral("DejaVu Sans"));
    title.setPixelSize(64);
    title.setBold(true);
    painter.setFont(title);
    painter.setPen(QColor(31, 70, 168));
    painter.drawText(QRect(0, 22, area.width(), 80), Qt::AlignCenter, Credits::productTitle());

    QFont subtitle(QStringLiteral("DejaVu Sans"));
    subtitle.setPixelSize(16);
    painter.setFont(subtitle);
    painter.setPen(QColor(60, 60, 70));
    painter.drawText(QRect(0, 100, area.width(), 26), Qt::AlignCenter,
                     QStringLiteral("Przygotowanie do egzaminu kwalifikacyjnego E i D"));

    renderSvg(painter, QStringLiteral(":/shell/images/emblem.svg"),
              QRectF((area.width() - 250) / 2.0, 140, 250, 250));

    QFont credits(QStringLiteral("DejaVu Sans"));
    credits.setPixelSize(12);
    painter.setFont(credits);
    painter.setPen(QColor(50, 50, 60));
    const QRect bottomLeft(18, area.height() - 92, area.width() / 2 - 18, 76);
    painter.drawText(bottomLeft, Qt::AlignLeft | Qt::AlignBottom | Qt::TextWordWrap,
                     QStringLiteral("Wydawca:\n") + Credits::publisher());
    const QRect bottomRight(area.width() / 2, area.height() - 92, area.width() / 2 - 18, 76);
    painter.drawText(bottomRight, Qt::AlignRight | Qt::AlignBottom | Qt::TextWordWrap,
                     QStringLiteral("Treść: ") + Credits::contentAuthor()
                             + QStringLiteral("\nProgram: ") + Credits::maker());
    return pixmap;
}

} // namespace Pictures
