#include "rtftext.h"

namespace Rtf {

bool isTextCharacter(char16_t c)
{
    if (c < 0x20)
        return c == u'\t';
    return c != QChar::ObjectReplacementCharacter && c != QChar::ParagraphSeparator && c != 0xfdd0
        && c != 0xfdd1 && c != 0xfffe && c != 0xffff;
}

QString documentText(QStringView text)
{
    QString out;
    out.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (c.isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate()) {
            out += c;
            out += text[++i];
        } else if (c.isSurrogate()) {
            out += QChar::ReplacementCharacter;
        } else if (isTextCharacter(c.unicode())) {
            out += c;
        }
    }
    return out;
}

} // namespace Rtf
