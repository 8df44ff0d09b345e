#pragma once

#include <QString>
#include <QStringView>

namespace Rtf {

// The one rule for what a document may hold as text, shared by the reader
// (whatever path text takes into the document) and the writer (so that what
// it writes reads back unchanged).

// Control characters and the document's own structure characters are not
// text: tabs are, while line and paragraph breaks have control words of
// their own.
bool isTextCharacter(char16_t c);

// The text as a document may hold it: characters that are not text dropped,
// and each half of a surrogate pair that lacks its other half replaced with
// U+FFFD, since a lone half breaks every later conversion.
QString documentText(QStringView text);

} // namespace Rtf
