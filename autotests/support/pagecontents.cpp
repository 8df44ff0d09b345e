#include "pagecontents.h"

#include "toolkit/previewdocument.h"

#include <QFile>
#include <QFontInfo>
#include <QImage>
#include <QPaintEngine>
#include <QPainter>
#include <QPainterPath>
#include <QRegularExpression>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextImageFormat>
#include <QTextItem>

#include <cmath>

namespace {

class RecordingEngine : public QPaintEngine
{
public:
    RecordingEngine() : QPaintEngine(AllFeatures) { }

    QList<PageItem> items;

    bool begin(QPaintDevice *) override { return true; }
    bool end() override { return true; }
    Type type() const override { return User; }
    void updateState(const QPaintEngineState &changed) override
    {
        if (changed.state() & DirtyTransform)
            m_transform = changed.transform();
        if (changed.state() & DirtyBrush)
            m_brush = changed.brush();
    }
    void drawRects(const QRectF *rects, int count) override
    {
        for (int i = 0; i < count; ++i)
            items.append({PageItem::Rect, {}, m_transform.mapRect(rects[i]), m_brush, 0});
    }
    void drawRects(const QRect *rects, int count) override
    {
        for (int i = 0; i < count; ++i) {
            const QRectF rect(rects[i]);
            drawRects(&rect, 1);
        }
    }
    void drawTextItem(const QPointF &point, const QTextItem &item) override
    {
        const QPointF origin = m_transform.map(point);
        // The size the text has on paper, in points.
        const qreal scale = std::sqrt(std::abs(m_transform.determinant()));
        const qreal pixels = QFontInfo(item.font()).pixelSize();
        items.append({PageItem::Text,
                      item.text(),
                      QRectF(origin, QSizeF()),
                      {},
                      pixels * scale / 2540 * 72});
    }
    void drawPixmap(const QRectF &, const QPixmap &, const QRectF &) override { }
    void drawPolygon(const QPointF *points, int count, PolygonDrawMode) override
    {
        QPainterPath path;
        path.addPolygon(QPolygonF(QList<QPointF>(points, points + count)));
        drawPath(path);
    }
    // Rectangles come as paths; every shape is kept as its bounding rectangle.
    void drawPath(const QPainterPath &path) override
    {
        items.append({PageItem::Rect, {}, m_transform.mapRect(path.boundingRect()), m_brush, 0});
    }

private:
    QTransform m_transform;
    QBrush m_brush;
};

class RecordingDevice : public QPaintDevice
{
public:
    QPaintEngine *paintEngine() const override { return &m_engine; }
    QList<PageItem> items() const { return m_engine.items; }

protected:
    int metric(PaintDeviceMetric metric) const override
    {
        switch (metric) {
        case PdmWidth:
            return 21000;
        case PdmHeight:
            return 29700;
        case PdmWidthMM:
            return 210;
        case PdmHeightMM:
            return 297;
        case PdmDpiX:
        case PdmDpiY:
        case PdmPhysicalDpiX:
        case PdmPhysicalDpiY:
            // A printer's resolution: pages must not depend on it.
            return 1200;
        case PdmDepth:
            return 32;
        case PdmNumColors:
            return INT_MAX;
        case PdmDevicePixelRatio:
            return 1;
        case PdmDevicePixelRatioScaled:
            return int(devicePixelRatioFScale());
        }
        return 0;
    }

private:
    mutable RecordingEngine m_engine;
};

} // namespace

void fillLines(QTextDocument &document, int lines)
{
    QImage strut(1, 96, QImage::Format_RGB32);
    strut.fill(Qt::white);
    document.addResource(QTextDocument::ImageResource, QUrl(QStringLiteral("strut")), strut);
    QTextImageFormat image;
    image.setName(QStringLiteral("strut"));
    image.setWidth(1);
    image.setHeight(96);
    QTextCursor cursor(&document);
    for (int line = 1; line <= lines; ++line) {
        if (line > 1)
            cursor.insertBlock();
        cursor.insertImage(image);
        cursor.insertText(QStringLiteral("Wiersz %1").arg(line));
    }
}

QList<PageItem> pageContents(const PreviewDocument &pages, int index)
{
    RecordingDevice device;
    QPainter painter(&device);
    pages.paintPage(&painter, index, QRectF(0, 0, 21000, 29700));
    painter.end();
    return device.items();
}

QString pageText(const QList<PageItem> &items)
{
    QStringList texts;
    for (const PageItem &item : items) {
        if (item.kind == PageItem::Text)
            texts.append(item.text);
    }
    return texts.join(QLatin1Char(' '));
}

PdfPages pdfPages(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    const QString pdf = QString::fromLatin1(file.readAll());
    if (!pdf.startsWith(QLatin1String("%PDF-")))
        return {};
    PdfPages result;
    result.count = int(pdf.count(QRegularExpression(QStringLiteral("/Type\\s*/Page(?!s)"))));
    // A4 is 595.28 by 841.89 points.
    const QRegularExpression box(
        QStringLiteral("/MediaBox\\s*\\[\\s*0\\s+0\\s+([\\d.]+)\\s+([\\d.]+)\\s*\\]"));
    int boxes = 0;
    bool allA4 = true;
    for (auto it = box.globalMatch(pdf); it.hasNext();) {
        const auto match = it.next();
        ++boxes;
        allA4 = allA4 && std::abs(match.captured(1).toDouble() - 595.28) < 1
            && std::abs(match.captured(2).toDouble() - 841.89) < 1;
    }
    result.allA4 = allA4 && boxes == result.count;
    return result;
}
