#include "rtfview.h"

#include "rtf/rtfreader.h"
#include "rtf/rtfwriter.h"

#include <QDesktopServices>
#include <QPointer>
#include <QScrollBar>
#include <QTextDocument>
#include <QTextEdit>

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
    // Lit regions belong to the previous document.
    setExtraSelections({});
    setDocument(fresh);
    if (ours)
        delete previous;
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
