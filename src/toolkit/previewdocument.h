#pragma once

#include <QFont>
#include <QList>
#include <QObject>
#include <QPicture>
#include <QPointer>
#include <QRectF>
#include <QSizeF>

#include <memory>

class QPagedPaintDevice;
class QPainter;
class QTextDocument;

// Pages recorded once and replayed anywhere: on screen at any zoom, on a
// printer and into a PDF, so that what is previewed is what is printed.
//
// Page coordinates are hundredths of a millimetre from the paper's top-left
// corner, y growing downwards; fonts are sized in points. Needs no window.
class PreviewDocument : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(PreviewDocument)

public:
    enum class State { Idle, Building, Printing };
    Q_ENUM(State)

    // A4 portrait.
    static constexpr QSizeF A4 {21000, 29700};

    explicit PreviewDocument(QObject *parent = nullptr);
    ~PreviewDocument() override;

    QSizeF paperSize() const { return A4; }
    // The font as the canvas must be given it for its point size to hold on
    // the page: the canvas counts in page units, not in the screen's dots.
    static QFont pageFont(QFont font);
    State state() const { return m_state; }

    // Discards the recorded pages and starts page 1.
    void beginDoc();
    // Closes the current page and starts the next one.
    void newPage();
    // Closes the last page.
    void endDoc();

    // The current page's canvas while a document is being built, in page
    // coordinates; null otherwise.
    QPainter *canvas() const { return m_canvas.get(); }
    // Pages closed so far (while building) or recorded (afterwards).
    int pageCount() const { return int(m_pages.size()); }
    const QPicture &page(int index) const { return m_pages.at(index); }

    // Draws the text of the document that fits the rectangle from the
    // character offset onto the current page, at most maxPages pages. Moves
    // the offset to the first character not drawn yet, or to -1 when the
    // whole text has been drawn. Returns the number of pages drawn.
    int paintRichText(const QRectF &rect, QTextDocument *document, int maxPages, int &offset);
    // Moves the offset past the text that fits the rectangle on one page, as
    // paintRichText would, without drawing it. Returns 1, or 0 when nothing
    // is left to lay out.
    int measureRichText(const QRectF &rect, QTextDocument *document, int &offset);

    // Replays a page (from 0) so that its paper fills the target rectangle.
    void paintPage(QPainter *painter, int index, const QRectF &target) const;

    QString printJobTitle() const { return m_jobTitle; }
    void setPrintJobTitle(const QString &title) { m_jobTitle = title; }

    // Writes the pages from..to (counted from 1) as one job on the device,
    // which must be set to A4 with no margins. Does nothing for an empty
    // range. Returns false when the device cannot be painted on.
    bool print(QPagedPaintDevice *device, int fromPage, int toPage);

    // Writes every page into a PDF file; a failed write leaves no file behind.
    // Returns false with the reason when it cannot be written.
    bool savePdf(const QString &path, QString *errorMessage = nullptr);

signals:
    void beginDocument();
    // A page was started; the page count is the number of pages before it.
    void newPageStarted();
    void endDocument();
    // The recorded pages changed.
    void pagesChanged();
    void beforePrint();
    // Before and after each printed page: its number and the share of the
    // range done, in percent.
    void printProgress(int pageNumber, int percentDone);
    void afterPrint();

private:
    struct TextLayout;

    void startPage();
    void closePage();
    TextLayout &layoutFor(QTextDocument *document, const QSizeF &size);

    QList<QPicture> m_pages;
    QPicture m_current;
    std::unique_ptr<QPainter> m_canvas;
    State m_state = State::Idle;
    QString m_jobTitle;
    std::unique_ptr<TextLayout> m_layout;
};
