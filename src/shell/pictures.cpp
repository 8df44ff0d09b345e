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

QFont sansFont(int pixelSize, bool bold = false)
{
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setPixelSize(pixelSize);
    font.setBold(bold);
    return font;
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

QIcon icon(const QString &name, int size)
{
    QIcon result;
    for (const int scale : {1, 2}) {
        QPixmap pixmap(size * scale, size * scale);
        pixmap.fill(Qt::transparent);
        QPainter painter(&pixmap);
        painter.setRenderHint(QPainter::Antialiasing);
        renderSvg(painter, QStringLiteral(":/shell/images/%1.svg").arg(name), QRectF(pixmap.rect()));
        painter.end();
        pixmap.setDevicePixelRatio(scale);
        result.addPixmap(pixmap);
    }
    return result;
}

QPixmap banner()
{
    QPixmap pixmap(BannerSize);
    pixmap.fill(Qt::white);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::TextAntialiasing);
    const QRect area(QPoint(0, 0), BannerSize);
    QSvgRenderer background(QStringLiteral(":/shell/images/banner.svg"));
    if (background.isValid()) {
        background.render(&painter, QRectF(area));
    } else {
        QLinearGradient sky(area.topLeft(), area.topRight());
        sky.setColorAt(0.0, QColor(246, 255, 229));
        sky.setColorAt(1.0, QColor(194, 215, 248));
        painter.fillRect(area, sky);
        renderSvg(painter, QStringLiteral(":/shell/images/emblem.svg"), QRectF(14, 10, 90, 90));
    }
    const QRect text(124, 8, area.width() - 134, area.height() - 16);
    painter.setPen(QColor(40, 40, 60));
    painter.setFont(sansFont(15));
    painter.drawText(text, Qt::AlignLeft | Qt::AlignTop, QStringLiteral("Witamy w programie"));
    painter.setPen(QColor(31, 70, 168));
    painter.setFont(sansFont(40, true));
    painter.drawText(text, Qt::AlignLeft | Qt::AlignVCenter, Credits::productTitle());
    painter.setPen(QColor(40, 40, 60));
    painter.setFont(sansFont(12));
    painter.drawText(text, Qt::AlignLeft | Qt::AlignBottom,
                     QStringLiteral("Przygotowanie do egzaminu kwalifikacyjnego\n"
                                    "na stanowiska dozoru i eksploatacji"));
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

    painter.setFont(sansFont(64, true));
    painter.setPen(QColor(31, 70, 168));
    painter.drawText(QRect(0, 22, area.width(), 80), Qt::AlignCenter, Credits::productTitle());

    painter.setFont(sansFont(16));
    painter.setPen(QColor(60, 60, 70));
    painter.drawText(QRect(0, 100, area.width(), 26), Qt::AlignCenter,
                     QStringLiteral("Przygotowanie do egzaminu kwalifikacyjnego E i D"));

    renderSvg(painter, QStringLiteral(":/shell/images/emblem.svg"),
              QRectF((area.width() - 250) / 2.0, 140, 250, 250));

    painter.setFont(sansFont(12));
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

ScaledPicture::ScaledPicture(const QPixmap &pixmap, QWidget *parent)
    : QWidget(parent), m_pixmap(pixmap)
{
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
}

QRect ScaledPicture::pictureRect() const
{
    QSize size = m_pixmap.size();
    if (size.width() > width() || size.height() > height())
        size.scale(this->size(), Qt::KeepAspectRatio);
    return QRect(QPoint((width() - size.width()) / 2, (height() - size.height()) / 2), size);
}

void ScaledPicture::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.drawPixmap(pictureRect(), m_pixmap);
}

} // namespace Pictures
