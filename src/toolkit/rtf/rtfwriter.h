#pragma once

#include <QByteArray>

class QTextDocument;

// Writes a QTextDocument as RTF. Characters outside ASCII are written as \uN
// followed by a windows-1250 fallback, so that older readers still show
// Polish letters.
class RtfWriter
{
public:
    static QByteArray write(const QTextDocument &document);
};
