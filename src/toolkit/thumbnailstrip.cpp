#include "thumbnailstrip.h"

#include "printpreview.h"

#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>

#include <algorithm>

namespace {

constexpr int Padding = 8;
// About 16 MB of thumbnails are kept; others are drawn again when needed.
constexpr int CacheBytes = 16 * 1024 * 1024;

} // namespace

ThumbnailStrip::ThumbnailStrip(QWidget *parent) : QAbstractScrollArea(parent)
{
    m_thumbnails.setMaxCost(CacheBytes);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    viewport()->setBackgroundRole(QPalette::Dark);
    viewport()->setAutoFillBackground(true);
}

void ThumbnailStrip::setPreview(PrintPreview *preview)
{
    if (m_preview)
        disconnect(m_preview, nullptr, this, nullptr);
    m_preview = preview;
    m_thumbnails.clear();
    if (preview) {
        connect(preview, &PrintPreview::beginDocument, this, [this] {
            m_thumbnails.clear();
            viewport()->update();
        });
        connect(preview, &PrintPreview::changed, this, &ThumbnailStrip::currentPageChanged);
    }
    updateScrollBar();
}

QSize ThumbnailStrip::thumbnailSize() const
{
    const int width = std::max(16, viewport()->width() - 2 * Padding - m_shadow);
    const QSizeF paper = m_preview ? m_preview->paperSize() : PreviewDocument::A4;
    return {width, int(width * paper.height() / paper.width())};
}

int ThumbnailStrip::itemHeight() const
{
    return thumbnailSize().height() + m_shadow + fontMetrics().height() + 2 * Padding;
}

void ThumbnailStrip::updateScrollBar()
{
    const int count = m_preview ? m_preview->pageCount() : 0;
    verticalScrollBar()->setRange(0, std::max(0, count * itemHeight() - viewport()->height()));
    verticalScrollBar()->setPageStep(viewport()->height());
    verticalScrollBar()->setSingleStep(itemHeight() / 4);
}

void ThumbnailStrip::currentPageChanged()
{
    const int count = m_preview->pageCount();
    if (count != m_knownPages) {
        m_knownPages = count;
        updateScrollBar();
    }
    const int page = m_preview->currentPage();
    if (page != m_shownPage && page > 0) {
        m_shownPage = page;
        // Keeps the current page's thumbnail in view.
        const int top = (page - 1) * itemHeight();
        QScrollBar *bar = verticalScrollBar();
        if (top < bar->value())
            bar->setValue(top);
        else if (top + itemHeight() > bar->value() + viewport()->height())
            bar->setValue(top + itemHeight() - viewport()->height());
    }
    viewport()->update();
}

int ThumbnailStrip::pageAt(const QPoint &point) const
{
    if (!m_preview)
        return -1;
    const int index = (point.y() + verticalScrollBar()->value()) / itemHeight();
    return index >= 0 && index < m_preview->pageCount() ? index : -1;
}

void ThumbnailStrip::paintEvent(QPaintEvent *)
{
    if (!m_preview)
        return;
    QPainter painter(viewport());
    const int count = m_preview->pageCount();
    const int height = itemHeight();
    const int offset = verticalScrollBar()->value();
    const QSize size = thumbnailSize();
    const int first = offset / height;
    const int last = std::min(count - 1, (offset + viewport()->height()) / height);
    const qreal ratio = devicePixelRatioF();
    for (int index = first; index <= last; ++index) {
        const QRect item(0, index * height - offset, viewport()->width(), height);
        const QRect page(QPoint((item.width() - size.width() - m_shadow) / 2, item.top() + Padding),
                         size);
        if (index + 1 == m_preview->currentPage())
            painter.fillRect(item.adjusted(2, 2, -2, -2), palette().color(QPalette::Highlight));

        QPixmap *thumbnail = m_thumbnails.object(index);
        if (!thumbnail || thumbnail->size() != size * ratio) {
            auto fresh = std::make_unique<QPixmap>(size * ratio);
            fresh->setDevicePixelRatio(ratio);
            fresh->fill(Qt::white);
            QPainter picture(fresh.get());
            picture.setRenderHint(QPainter::Antialiasing);
            picture.setRenderHint(QPainter::TextAntialiasing);
            m_preview->pages()->paintPage(&picture, index, QRectF(QPointF(), QSizeF(size)));
            picture.end();
            thumbnail = fresh.get();
            const int cost = fresh->width() * fresh->height() * 4;
            m_thumbnails.insert(index, fresh.release(), cost);
        }
        painter.fillRect(page.translated(m_shadow, m_shadow), palette().color(QPalette::Shadow));
        painter.drawPixmap(page.topLeft(), *thumbnail);
        painter.setPen(palette().color(QPalette::Shadow));
        painter.drawRect(page.adjusted(0, 0, -1, -1));
        painter.setPen(palette().color(index + 1 == m_preview->currentPage()
                                           ? QPalette::HighlightedText
                                           : QPalette::BrightText));
        painter.drawText(QRect(item.left(), page.bottom() + m_shadow, item.width(),
                               item.bottom() - page.bottom() - m_shadow),
                         Qt::AlignCenter, QString::number(index + 1));
    }
}

void ThumbnailStrip::resizeEvent(QResizeEvent *event)
{
    QAbstractScrollArea::resizeEvent(event);
    m_thumbnails.clear();
    updateScrollBar();
}

void ThumbnailStrip::mousePressEvent(QMouseEvent *event)
{
    const int index = pageAt(event->position().toPoint());
    if (event->button() == Qt::LeftButton && index >= 0)
        m_preview->setCurrentPage(index + 1);
    QAbstractScrollArea::mousePressEvent(event);
}
