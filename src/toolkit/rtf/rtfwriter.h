#pragma once

#include <QByteArray>

class QTextDocument;

// Writes a QTextDocument as RTF: font and colour tables, character formats,
// paragraph alignment, indents and spacing, lists, tables (nested ones too),
// hyperlinks as fields and pictures as PNG. Characters outside ASCII are
// written as \uN followed by a windows-1250 fallback, so that older readers
// still show Polish letters. RtfReader reads the result back with the same
// text and formats.
class RtfWriter
{
public:
    static QByteArray write(const QTextDocument &document);
};
