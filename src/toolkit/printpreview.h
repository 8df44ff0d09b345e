#pragma once

#include "toolkit/previewdocument.h"

#include <QAbstractScrollArea>
#include <QColor>
#include <QPixmap>

class QPrinter;

// Shows the recorded pages of a PreviewDocument one at a time, at a zoom
// percentage or fitted to the window, and prints them. Pages are replayed,
// never laid out again, when the view scrolls or zooms.
class PrintPreview : public QAbstractScrollArea
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(PrintPreview)

public:
    enum class ZoomMode { Percent, FitWidth, FitHeight, WholePage };
    Q_ENUM(ZoomMode)

    static constexpr int MinZoom = 10;
    static constexpr int MaxZoom = 500;

    explicit PrintPreview(QWidget *parent = nullptr);
    ~PrintPreview() override;

    PreviewDocument *pages() const { return m_pages; }

    // Building pages, in hundredths of a millimetre (see PreviewDocument).
    void beginDoc() { m_pages->beginDoc(); }
    void newPage() { m_pages->newPage(); }
    void endDoc() { m_pages->endDoc(); }
    QPainter *canvas() const { return m_pages->canvas(); }
    int paintRichText(const QRectF &rect, QTextDocument *document, int maxPages, int &offset)
    {
        return m_pages->paintRichText(rect, document, maxPages, offset);
    }
    int measureRichText(const QRectF &rect, QTextDocument *document, int &offset)
    {
        return m_pages->measureRichText(rect, document, offset);
    }
    QSizeF paperSize() const { return m_pages->paperSize(); }
    int pageCount() const { return m_pages->pageCount(); }
    PreviewDocument::State state() const { return m_pages->state(); }

    // The page shown, from 1; 0 while there is none.
    int currentPage() const { return m_currentPage; }
    void setCurrentPage(int page);

    // The percentage in effect, also in a fit mode.
    int zoom() const;
    // Sets a percentage, kept within MinZoom..MaxZoom, and leaves a fit mode.
    void setZoom(int percent);
    ZoomMode zoomMode() const { return m_zoomMode; }
    void setZoomMode(ZoomMode mode);

    bool printerInstalled() const;
    QString printJobTitle() const { return m_pages->printJobTitle(); }
    void setPrintJobTitle(const QString &title) { m_pages->setPrintJobTitle(title); }
    // Prints the pages from..to (from 1) as one job on the printer; nothing
    // with no printer installed, no pages or an empty range.
    void print(QPrinter &printer, int fromPage, int toPage);

    void setPaperBorderColor(const QColor &color) { m_paperBorder = color; }
    void setPageShadowWidth(int pixels) { m_shadow = pixels; }
    void setScrollMargin(int pixels) { m_margin = pixels; }

    // The paper's size on screen at the zoom in effect.
    QSizeF paperPixels() const;

signals:
    void beginDocument();
    void newPageStarted();
    void endDocument();
    // The pages or the current page changed.
    void changed();
    // The zoom percentage or the zoom mode changed.
    void zoomChanged();
    void beforePrint();
    void printProgress(int pageNumber, int percentDone);
    void afterPrint();

protected:
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void wheelEvent(QWheelEvent *event) override;
    void scrollContentsBy(int dx, int dy) override;

private:
    void pagesChanged();
    qreal scale() const;
    qreal fitScale(ZoomMode mode) const;
    void updateScrollBars();
    QRectF paperRect() const;

    PreviewDocument *m_pages = nullptr;
    int m_currentPage = 0;
    int m_percent = 100;
    ZoomMode m_zoomMode = ZoomMode::WholePage;
    QColor m_paperBorder = Qt::darkBlue;
    int m_shadow = 4;
    int m_margin = 10;
    // The current page at the current size, while it is small enough to keep.
    QPixmap m_cache;
    int m_cachePage = -1;
};
