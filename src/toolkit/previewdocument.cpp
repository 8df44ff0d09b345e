#include "previewdocument.h"

#include <QAbstractTextDocumentLayout>
#include <QCoreApplication>
#include <QDir>
#include <QPageLayout>
#include <QPagedPaintDevice>
#include <QPainter>
#include <QPdfWriter>
#include <QSaveFile>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextLayout>

#include <algorithm>
#include <cmath>

namespace {

// One hundredth of a millimetre per dot.
constexpr int LayoutDpi = 2540;

// Text is laid out for this device, which only answers metrics: one layout
// unit is then one page unit, and the line breaks do not depend on the
// resolution of the screen or the printer the pages end up on.
class LayoutDevice : public QPaintDevice
{
public:
    QPaintEngine *paintEngine() const override { return nullptr; }

protected:
    int metric(PaintDeviceMetric metric) const override
    {
        switch (metric) {
        case PdmWidth:
            return int(PreviewDocument::A4.width());
        case PdmHeight:
            return int(PreviewDocument::A4.height());
        case PdmWidthMM:
            return 210;
        case PdmHeightMM:
            return 297;
        case PdmDpiX:
        case PdmDpiY:
        case PdmPhysicalDpiX:
        case PdmPhysicalDpiY:
            return LayoutDpi;
        case PdmNumColors:
            return INT_MAX;
        case PdmDepth:
            return 32;
        case PdmDevicePixelRatio:
            return 1;
        case PdmDevicePixelRatioScaled:
            return int(devicePixelRatioFScale());
        }
        return 0;
    }
};

LayoutDevice &layoutDevice()
{
    static LayoutDevice device;
    return device;
}

// The recording's own unit: pictures count in the picture's dots, which
// depend on the default resolution, so the scale is fixed once per page.
qreal pictureDpi(const QPicture &picture)
{
    return picture.logicalDpiX();
}

} // namespace

QFont PreviewDocument::pageFont(QFont font)
{
    if (font.pointSizeF() > 0)
        font.setPointSizeF(font.pointSizeF() * LayoutDpi / pictureDpi(QPicture()));
    return font;
}

// The document being paginated, laid out once for a text block size and
// kept while the source document does not change.
struct PreviewDocument::TextLayout
{
    QPointer<QTextDocument> source;
    int revision = -1;
    QSizeF size;
    std::unique_ptr<QTextDocument> document;
    // The first character of every page, rising. A page on which no line
    // starts (the rest of a picture taller than the block) has no entry:
    // what overflows the block is cut off, as on paper.
    QList<int> pageStarts;
    // The page of the paginated layout each entry shows.
    QList<int> layoutPages;
};

PreviewDocument::PreviewDocument(QObject *parent) : QObject(parent) { }

PreviewDocument::~PreviewDocument()
{
    if (m_canvas)
        m_canvas->end();
}

void PreviewDocument::beginDoc()
{
    if (m_state != State::Idle)
        return;
    m_pages.clear();
    m_state = State::Building;
    emit beginDocument();
    emit pagesChanged();
    startPage();
}

void PreviewDocument::newPage()
{
    if (m_state != State::Building)
        return;
    closePage();
    startPage();
}

void PreviewDocument::endDoc()
{
    if (m_state != State::Building)
        return;
    closePage();
    m_state = State::Idle;
    emit endDocument();
    emit pagesChanged();
}

void PreviewDocument::startPage()
{
    m_current = QPicture();
    m_canvas = std::make_unique<QPainter>(&m_current);
    const qreal scale = pictureDpi(m_current) / LayoutDpi;
    m_canvas->scale(scale, scale);
    emit newPageStarted();
}

void PreviewDocument::closePage()
{
    m_canvas->end();
    m_canvas.reset();
    m_pages.append(m_current);
    emit pagesChanged();
}

PreviewDocument::TextLayout &PreviewDocument::layoutFor(QTextDocument *document, const QSizeF &size)
{
    if (m_layout && m_layout->source == document && m_layout->revision == document->revision()
        && m_layout->size == size)
        return *m_layout;

    auto layout = std::make_unique<TextLayout>();
    layout->source = document;
    layout->revision = document->revision();
    layout->size = size;
    layout->document.reset(document->clone());
    QTextDocument *paged = layout->document.get();
    paged->documentLayout()->setPaintDevice(&layoutDevice());
    paged->setDocumentMargin(0);
    paged->setPageSize(size);

    // The first character of each page: a line starts a page when it lies
    // on a later page than every line before it.
    const int pages = std::max(1, paged->pageCount());
    layout->pageStarts.append(0);
    layout->layoutPages.append(0);
    int lastPage = 0;
    QAbstractTextDocumentLayout *documentLayout = paged->documentLayout();
    for (QTextBlock block = paged->begin(); block.isValid() && layout->pageStarts.size() < pages;
         block = block.next()) {
        const QTextLayout *lines = block.layout();
        if (!lines || lines->lineCount() == 0)
            continue;
        // Where the block starts on the paginated sheet; a line pushed to
        // the next page keeps the push in its own y.
        const qreal top = documentLayout->blockBoundingRect(block).top();
        for (int i = 0; i < lines->lineCount(); ++i) {
            const QTextLine line = lines->lineAt(i);
            const int page = int(std::floor((top + line.y() + 0.5) / size.height()));
            const int start = block.position() + line.textStart();
            if (page > lastPage && start > layout->pageStarts.constLast()) {
                layout->pageStarts.append(start);
                layout->layoutPages.append(page);
                lastPage = page;
            }
        }
    }
    m_layout = std::move(layout);
    return *m_layout;
}

int PreviewDocument::paintRichText(const QRectF &rect, QTextDocument *document, int maxPages,
                                   int &offset)
{
    if (!m_canvas || !document || offset < 0 || maxPages < 1 || rect.isEmpty())
        return 0;
    TextLayout &layout = layoutFor(document, rect.size());
    int page = int(std::upper_bound(layout.pageStarts.cbegin(), layout.pageStarts.cend(), offset)
                   - layout.pageStarts.cbegin())
        - 1;
    const int pages = int(layout.pageStarts.size());
    if (page < 0 || page >= pages)
        return 0;

    int drawn = 0;
    for (; drawn < maxPages && page < pages; ++drawn, ++page) {
        if (drawn > 0)
            newPage();
        QPainter *painter = m_canvas.get();
        painter->save();
        painter->translate(rect.topLeft());
        const QRectF clip(0, rect.height() * layout.layoutPages.at(page), rect.width(),
                          rect.height());
        painter->setClipRect(QRectF(QPointF(), rect.size()), Qt::IntersectClip);
        painter->translate(0, -clip.top());
        QAbstractTextDocumentLayout::PaintContext context;
        context.clip = clip;
        context.palette.setColor(QPalette::Text, Qt::black);
        layout.document->documentLayout()->draw(painter, context);
        painter->restore();
    }
    offset = page < pages ? layout.pageStarts.at(page) : -1;
    return drawn;
}

int PreviewDocument::measureRichText(const QRectF &rect, QTextDocument *document, int &offset)
{
    if (!m_canvas || !document || offset < 0 || rect.isEmpty())
        return 0;
    const TextLayout &layout = layoutFor(document, rect.size());
    const int page = int(std::upper_bound(layout.pageStarts.cbegin(), layout.pageStarts.cend(), offset)
                         - layout.pageStarts.cbegin());
    if (page < 1 || page > int(layout.pageStarts.size()))
        return 0;
    offset = page < int(layout.pageStarts.size()) ? layout.pageStarts.at(page) : -1;
    return 1;
}

void PreviewDocument::paintPage(QPainter *painter, int index, const QRectF &target) const
{
    if (index < 0 || index >= m_pages.size())
        return;
    // Playing needs a picture of its own; copies share their data.
    QPicture picture = m_pages.at(index);
    // Playing keeps a picture's size in inches on the device, so page units
    // are mapped to the device's inches, not to the picture's dots.
    const QPaintDevice *device = painter->device();
    const qreal toPictureX = qreal(LayoutDpi) / device->logicalDpiX();
    const qreal toPictureY = qreal(LayoutDpi) / device->logicalDpiY();
    painter->save();
    painter->translate(target.topLeft());
    painter->scale(target.width() / A4.width() * toPictureX,
                   target.height() / A4.height() * toPictureY);
    picture.play(painter);
    painter->restore();
}

namespace {

// The paper in the device's dots: A4 whatever paper the device was given,
// so that a page keeps its proportions.
QRectF paperOn(const QPaintDevice &device)
{
    return {0, 0, PreviewDocument::A4.width() * device.logicalDpiX() / LayoutDpi,
            PreviewDocument::A4.height() * device.logicalDpiY() / LayoutDpi};
}

} // namespace

bool PreviewDocument::print(QPagedPaintDevice *device, int fromPage, int toPage)
{
    fromPage = std::max(fromPage, 1);
    toPage = std::min(toPage, pageCount());
    if (!device || fromPage > toPage || m_state != State::Idle)
        return true;

    m_state = State::Printing;
    emit beforePrint();
    QPainter painter;
    const bool started = painter.begin(device);
    if (started) {
        const int count = toPage - fromPage + 1;
        for (int number = fromPage; number <= toPage; ++number) {
            const int done = number - fromPage;
            emit printProgress(number, done * 100 / count);
            if (number > fromPage)
                device->newPage();
            paintPage(&painter, number - 1, paperOn(*device));
            emit printProgress(number, (done + 1) * 100 / count);
        }
        painter.end();
    }
    m_state = State::Idle;
    emit afterPrint();
    return started;
}

bool PreviewDocument::savePdf(const QString &path, QString *errorMessage)
{
    const auto fail = [&](const QString &reason) {
        if (errorMessage)
            *errorMessage = QCoreApplication::translate("PreviewDocument",
                                                        "Nie można zapisać pliku \"%1\": %2")
                                .arg(QDir::toNativeSeparators(path), reason);
        return false;
    };
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return fail(file.errorString());
    {
        QPdfWriter writer(&file);
        writer.setTitle(m_jobTitle);
        writer.setCreator(QCoreApplication::applicationName());
        writer.setPageLayout(
            QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait, QMarginsF()));
        QPainter painter;
        if (!painter.begin(&writer))
            return fail(file.errorString());
        for (int index = 0; index < pageCount(); ++index) {
            if (index > 0)
                writer.newPage();
            paintPage(&painter, index, paperOn(writer));
        }
        painter.end();
    }
    if (!file.commit())
        return fail(file.errorString());
    return true;
}
