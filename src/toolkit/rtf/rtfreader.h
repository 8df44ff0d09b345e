#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

class QTextDocument;

// Reads RTF into a QTextDocument: text in any code page the document names
// (\ansicpg, \fcharset, \cpg, \uN), character and paragraph formatting, lists,
// tables (nested ones too), PNG and JPEG pictures (other kinds as an empty
// frame of their size), hyperlink fields. Control words it does not know are
// ignored, as RTF requires.
//
// Any byte sequence is safe to read: group nesting, numbers, \bin lengths,
// table sizes and picture sizes are bounded, and a damaged file yields the
// text that came before the damage.
class RtfReader
{
public:
    // True when the data starts with "{\rtf" (after an optional UTF-8 byte
    // order mark and white space). Anything else is read as plain text.
    static bool isRtf(QByteArrayView data);

    // Replaces the content of the document with the data. Data that is not
    // RTF is plain text: UTF-8, or windows-1250 when it is not valid UTF-8.
    //
    // Returns false only for RTF that is damaged (cut short, unbalanced
    // groups, nested too deeply); the document then holds what could be read
    // and errorMessage, when given, says what was wrong. The undo stack of
    // the document is cleared.
    static bool read(const QByteArray &data, QTextDocument *document,
                     QString *errorMessage = nullptr);

    // The text of a document the way a reader sees it: one line per
    // paragraph or table cell, line breaks as '\n', pictures left out.
    static QString plainText(const QTextDocument &document);
};
