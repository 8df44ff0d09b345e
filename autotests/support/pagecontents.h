#pragma once

#include <QBrush>
#include <QList>
#include <QRectF>
#include <QString>

class PreviewDocument;
class QTextDocument;

// Fills the document with the lines "Wiersz 1" to "Wiersz n", each held a
// little over an inch high by a picture: ten of them fit 275 mm, eleven do not.
void fillLines(QTextDocument &document, int lines);

// What a recorded page draws, in the order it draws it, in hundredths of a
// millimetre on the paper: texts at their baselines and rectangles with the
// brush they were filled with.
struct PageItem
{
    enum Kind { Text, Rect };
    Kind kind = Text;
    QString text;
    // A text's baseline origin, or the rectangle.
    QRectF geometry;
    QBrush brush;
    qreal pointSize = 0;
};

QList<PageItem> pageContents(const PreviewDocument &pages, int index);

// Texts of the page joined by blanks, in the order drawn.
QString pageText(const QList<PageItem> &items);

// The number of pages and whether every one is A4, of a PDF written by Qt.
struct PdfPages
{
    int count = -1;
    bool allA4 = false;
};
PdfPages pdfPages(const QString &path);
