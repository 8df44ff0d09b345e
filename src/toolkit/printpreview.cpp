#include "printpreview.h"

#include "printers.h"

#include <QKeyEvent>
#include <QPainter>
#include <QPrinter>
#include <QScrollBar>
#include <QWheelEvent>

#include <algorithm>
#include <cmath>

namespace {

// A page picture is kept while it holds no more pixels than this.
constexpr qreal MaxCachedPixels = 8e6;

constexpr qreal MillimetresPerInch = 25.4;

} // namespace

PrintPreview::PrintPreview(QWidget *parent)
    : QAbstractScrollArea(parent), m_pages(new PreviewDocument(this))
{
    setFocusPolicy(Qt::StrongFocus);
    viewport()->setBackgroundRole(QPalette::Dark);
    viewport()->setAutoFillBackground(true);
    connect(m_pages, &PreviewDocument::beginDocument, this, &PrintPreview::beginDocument);
    connect(m_pages, &PreviewDocument::newPageStarted, this, &PrintPreview::newPageStarted);
    connect(m_pages, &PreviewDocument::endDocument, this, &PrintPreview::endDocument);
    connect(m_pages, &PreviewDocument::pagesChanged, this, &PrintPreview::pagesChanged);
    connect(m_pages, &PreviewDocument::beforePrint, this, &PrintPreview::beforePrint);
    connect(m_pages, &PreviewDocument::printProgress, this, &PrintPreview::printProgress);
    connect(m_pages, &PreviewDocument::afterPrint, this, &PrintPreview::afterPrint);
}

PrintPreview::~PrintPreview() = default;

void PrintPreview::pagesChanged()
{
    const int count = pageCount();
    // A recorded page never changes; only a new build replaces the pages.
    if (m_cachePage >= count) {
        m_cache = QPixmap();
        m_cachePage = -1;
    }
    // The first page is shown as soon as it exists; a rebuild keeps the page
    // the user was looking at where the new document still has it.
    const int shown = m_currentPage;
    m_currentPage = count == 0 ? m_currentPage : std::clamp(m_currentPage, 1, count);
    // Pages added behind the shown one leave the view as it is.
    if (m_currentPage != shown || m_currentPage >= count)
        viewport()->update();
    emit changed();
}

void PrintPreview::setCurrentPage(int page)
{
    page = std::clamp(page, pageCount() > 0 ? 1 : 0, pageCount());
    if (page == m_currentPage)
        return;
    m_currentPage = page;
    verticalScrollBar()->setValue(0);
    viewport()->update();
    emit changed();
}

QSizeF PrintPreview::paperPixels() const
{
    const QSizeF paper = paperSize() / 100.0; // millimetres
    const qreal factor = scale();
    return {paper.width() / MillimetresPerInch * logicalDpiX() * factor,
            paper.height() / MillimetresPerInch * logicalDpiY() * factor};
}

qreal PrintPreview::fitScale(ZoomMode mode) const
{
    const QSizeF paper = paperSize() / 100.0 / MillimetresPerInch;
    const QSizeF natural(paper.width() * logicalDpiX(), paper.height() * logicalDpiY());
    const QSize room = viewport()->size() - QSize(2 * m_margin + m_shadow, 2 * m_margin + m_shadow);
    const qreal byWidth = std::max(1, room.width()) / natural.width();
    const qreal byHeight = std::max(1, room.height()) / natural.height();
    switch (mode) {
    case ZoomMode::FitWidth:
        return byWidth;
    case ZoomMode::FitHeight:
        return byHeight;
    case ZoomMode::WholePage:
        return std::min(byWidth, byHeight);
    case ZoomMode::Percent:
        break;
    }
    return m_percent / 100.0;
}

qreal PrintPreview::scale() const
{
    return std::clamp(fitScale(m_zoomMode), MinZoom / 100.0, MaxZoom / 100.0);
}

int PrintPreview::zoom() const
{
    return m_zoomMode == ZoomMode::Percent ? m_percent : int(std::lround(scale() * 100));
}

void PrintPreview::setZoom(int percent)
{
    percent = std::clamp(percent, MinZoom, MaxZoom);
    if (percent == m_percent && m_zoomMode == ZoomMode::Percent)
        return;
    m_percent = percent;
    m_zoomMode = ZoomMode::Percent;
    m_cache = QPixmap();
    updateScrollBars();
    viewport()->update();
    emit zoomChanged();
}

void PrintPreview::setZoomMode(ZoomMode mode)
{
    if (mode == m_zoomMode)
        return;
    m_zoomMode = mode;
    m_cache = QPixmap();
    updateScrollBars();
    viewport()->update();
    emit zoomChanged();
}

bool PrintPreview::printerInstalled() const
{
    return Printers::printerInstalled();
}

void PrintPreview::print(QPrinter &printer, int fromPage, int toPage)
{
    if (!printerInstalled() || pageCount() == 0 || fromPage > toPage)
        return;
    printer.setDocName(printJobTitle());
    printer.setFullPage(true);
    printer.setPageLayout(
        QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait, QMarginsF()));
    Printers::jobStarting(printer);
    m_pages->print(&printer, fromPage, toPage);
}

QRectF PrintPreview::paperRect() const
{
    const QSizeF size = paperPixels();
    const QSize area = viewport()->size();
    const qreal wide = size.width() + 2 * m_margin + m_shadow;
    const qreal tall = size.height() + 2 * m_margin + m_shadow;
    // Centred while it fits, scrolled otherwise.
    const qreal x = wide <= area.width() ? (area.width() - size.width() - m_shadow) / 2
                                         : m_margin - horizontalScrollBar()->value();
    const qreal y = tall <= area.height() ? (area.height() - size.height() - m_shadow) / 2
                                          : m_margin - verticalScrollBar()->value();
    return {QPointF(std::round(x), std::round(y)), size};
}

void PrintPreview::updateScrollBars()
{
    const QSizeF size = paperPixels();
    const QSize area = viewport()->size();
    const int wide = int(std::ceil(size.width())) + 2 * m_margin + m_shadow;
    const int tall = int(std::ceil(size.height())) + 2 * m_margin + m_shadow;
    horizontalScrollBar()->setRange(0, std::max(0, wide - area.width()));
    horizontalScrollBar()->setPageStep(area.width());
    verticalScrollBar()->setRange(0, std::max(0, tall - area.height()));
    verticalScrollBar()->setPageStep(area.height());
    verticalScrollBar()->setSingleStep(std::max(20, area.height() / 20));
    horizontalScrollBar()->setSingleStep(std::max(20, area.width() / 20));
}

void PrintPreview::paintEvent(QPaintEvent *)
{
    QPainter painter(viewport());
    if (m_currentPage < 1 || m_currentPage > pageCount())
        return;
    const QRectF paper = paperRect();
    painter.fillRect(paper.translated(m_shadow, m_shadow), palette().color(QPalette::Shadow));
    painter.fillRect(paper, Qt::white);

    const int index = m_currentPage - 1;
    const QSize pixels = paper.size().toSize();
    if (qreal(pixels.width()) * pixels.height() <= MaxCachedPixels) {
        const qreal ratio = devicePixelRatioF();
        if (m_cachePage != index || m_cache.size() != pixels * ratio) {
            m_cache = QPixmap(pixels * ratio);
            m_cache.setDevicePixelRatio(ratio);
            m_cache.fill(Qt::white);
            QPainter page(&m_cache);
            page.setRenderHint(QPainter::Antialiasing);
            page.setRenderHint(QPainter::TextAntialiasing);
            page.setRenderHint(QPainter::SmoothPixmapTransform);
            m_pages->paintPage(&page, index, QRectF(QPointF(), paper.size()));
            m_cachePage = index;
        }
        painter.drawPixmap(paper.topLeft(), m_cache);
    } else {
        painter.save();
        painter.setClipRect(paper);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.setRenderHint(QPainter::TextAntialiasing);
        m_pages->paintPage(&painter, index, paper);
        painter.restore();
    }
    painter.setPen(m_paperBorder);
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(paper.adjusted(0, 0, -1, -1));
}

void PrintPreview::resizeEvent(QResizeEvent *event)
{
    QAbstractScrollArea::resizeEvent(event);
    updateScrollBars();
}

void PrintPreview::scrollContentsBy(int, int)
{
    viewport()->update();
}

void PrintPreview::keyPressEvent(QKeyEvent *event)
{
    switch (event->key()) {
    case Qt::Key_PageDown:
        if (verticalScrollBar()->value() >= verticalScrollBar()->maximum())
            setCurrentPage(m_currentPage + 1);
        else
            verticalScrollBar()->triggerAction(QAbstractSlider::SliderPageStepAdd);
        return;
    case Qt::Key_PageUp:
        if (verticalScrollBar()->value() <= verticalScrollBar()->minimum() && m_currentPage > 1) {
            setCurrentPage(m_currentPage - 1);
            verticalScrollBar()->setValue(verticalScrollBar()->maximum());
        } else {
            verticalScrollBar()->triggerAction(QAbstractSlider::SliderPageStepSub);
        }
        return;
    case Qt::Key_Home:
        if (event->modifiers() & Qt::ControlModifier) {
            setCurrentPage(1);
            return;
        }
        break;
    case Qt::Key_End:
        if (event->modifiers() & Qt::ControlModifier) {
            setCurrentPage(pageCount());
            return;
        }
        break;
    default:
        break;
    }
    QAbstractScrollArea::keyPressEvent(event);
}

void PrintPreview::wheelEvent(QWheelEvent *event)
{
    if (event->modifiers() & Qt::ControlModifier) {
        const int steps = event->angleDelta().y() / 120;
        if (steps != 0)
            setZoom(zoom() + 20 * steps);
        event->accept();
        return;
    }
    QAbstractScrollArea::wheelEvent(event);
}
