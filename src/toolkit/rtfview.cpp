#include "rtfview.h"

#include "rtf/rtfreader.h"
#include "rtf/rtfwriter.h"

#include <QDesktopServices>
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
    const bool ok = RtfReader::read(data, editor->document(), errorMessage);
    editor->moveCursor(QTextCursor::Start);
    editor->document()->setModified(false);
    return ok;
}

QByteArray RtfEditing::save(const QTextEdit &editor)
{
    return RtfWriter::write(*editor.document());
}
