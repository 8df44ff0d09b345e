#include "rtfview.h"

#include "rtf/rtfreader.h"
#include "rtf/rtfwriter.h"
#include "zoomlevel.h"

#include <QDesktopServices>
#include <QPointer>
#include <QScrollBar>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextEdit>
#include <QWheelEvent>

namespace {

// The size a fragment had before any zoom, so that zooming back and forth
// never drifts.
constexpr int UnzoomedSize = QTextFormat::UserProperty + 0x7a;

} // namespace

RtfView::RtfView(QWidget *parent) : QTextBrowser(parent)
{
    setReadOnly(true);
    // Links are followed here, so that a document never replaces itself by
    // loading a link target as a source.
    setOpenLinks(false);
    connect(this, &QTextBrowser::anchorClicked, this, &RtfView::followLink);
}

bool RtfView::setRtf(const QByteArray &rtf)
{
    // A new document each time: the view then lays out and paints it from
    // scratch, whatever the previous one looked like.
    auto *fresh = new QTextDocument(this);
    const bool ok = RtfReader::read(rtf, fresh);
    // The view's first document belongs to the view and goes with it; later
    // ones are ours to delete.
    QTextDocument *previous = document();
    const bool ours = previous && previous->parent() == this;
    fresh->setUndoRedoEnabled(false);
    // Lit regions belong to the previous document.
    setExtraSelections({});
    setDocument(fresh);
    if (ours)
        delete previous;
    m_appliedFactor = 1.0;
    applyZoom();
    moveCursor(QTextCursor::Start);
    verticalScrollBar()->setValue(0);
    return ok;
}

QColor RtfView::backgroundColor() const
{
    return palette().color(QPalette::Base);
}

void RtfView::setBackgroundColor(const QColor &color)
{
    QPalette p = palette();
    p.setColor(QPalette::Base, color);
    setPalette(p);
}

void RtfView::setZoomLevel(ZoomLevel *level)
{
    if (m_zoom)
        disconnect(m_zoom, nullptr, this, nullptr);
    m_zoom = level;
    if (level)
        connect(level, &ZoomLevel::changed, this, &RtfView::applyZoom);
    applyZoom();
}

ZoomLevel *RtfView::zoomLevel() const
{
    return m_zoom;
}

void RtfView::wheelEvent(QWheelEvent *event)
{
    if (m_zoom && event->modifiers() & Qt::ControlModifier) {
        const int delta = event->angleDelta().y();
        if (delta > 0)
            m_zoom->zoomIn();
        else if (delta < 0)
            m_zoom->zoomOut();
        event->accept();
        return;
    }
    QTextBrowser::wheelEvent(event);
}

void RtfView::applyZoom()
{
    const qreal factor = m_zoom ? m_zoom->factor() : 1.0;
    if (qFuzzyCompare(factor, m_appliedFactor))
        return;
    // The documents keep the sizes the RTF gave each run of text, so the
    // view's own zoom, which scales only the default font, would not do.
    QTextDocument *doc = document();
    const qreal defaultSize = doc->defaultFont().pointSizeF();
    struct Run
    {
        int position;
        int length;
        qreal size;
    };
    QList<Run> runs;
    for (QTextBlock block = doc->begin(); block.isValid(); block = block.next()) {
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextFragment fragment = it.fragment();
            const QTextCharFormat format = fragment.charFormat();
            qreal size = format.hasProperty(UnzoomedSize) ? format.doubleProperty(UnzoomedSize)
                                                          : format.fontPointSize();
            if (size <= 0)
                size = defaultSize;
            if (size > 0)
                runs.append({fragment.position(), fragment.length(), size});
        }
    }
    doc->setUndoRedoEnabled(false);
    QTextCursor cursor(doc);
    cursor.beginEditBlock();
    for (const Run &run : std::as_const(runs)) {
        cursor.setPosition(run.position);
        cursor.setPosition(run.position + run.length, QTextCursor::KeepAnchor);
        QTextCharFormat zoomed;
        zoomed.setFontPointSize(run.size * factor);
        zoomed.setProperty(UnzoomedSize, run.size);
        cursor.mergeCharFormat(zoomed);
    }
    cursor.endEditBlock();
    m_appliedFactor = factor;
}

void RtfView::followLink(const QUrl &url)
{
    if (url.isRelative() && url.path().isEmpty() && url.hasFragment())
        scrollToAnchor(url.fragment());
    else
        QDesktopServices::openUrl(url);
}

bool RtfEditing::load(QTextEdit *editor, const QByteArray &data, QString *errorMessage)
{
    // Read into a document no editor shows: one the editor shows is laid out
    // again at every insertion, which takes seconds for a long note.
    const QPointer<QTextDocument> previous = editor->document();
    auto *fresh = new QTextDocument(editor);
    fresh->setDefaultFont(previous->defaultFont());
    fresh->setDefaultTextOption(previous->defaultTextOption());
    fresh->setDocumentMargin(previous->documentMargin());
    const bool ok = RtfReader::read(data, fresh, errorMessage);
    editor->setDocument(fresh);
    // A document of ours that the editor let go of goes now.
    if (previous && previous->parent() == editor)
        delete previous.data();
    editor->moveCursor(QTextCursor::Start);
    fresh->setModified(false);
    return ok;
}

QByteArray RtfEditing::save(const QTextEdit &editor)
{
    return RtfWriter::write(*editor.document());
}
