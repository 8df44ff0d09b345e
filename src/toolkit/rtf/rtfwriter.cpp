#include "rtfwriter.h"

#include <QStringEncoder>
#include <QTextBlock>
#include <QTextDocument>

namespace {

void appendText(QByteArray &out, const QString &text, QStringEncoder &fallback)
{
    for (const QChar ch : text) {
        const char16_t c = ch.unicode();
        if (c == u'\\' || c == u'{' || c == u'}') {
            out += '\\';
            out += char(c);
        } else if (c == u'\t') {
            out += "\\tab ";
        } else if (c == QChar::LineSeparator) {
            out += "\\line ";
        } else if (c >= 0x20 && c < 0x80) {
            out += char(c);
        } else if (c >= 0x80) {
            out += "\\u" + QByteArray::number(qint16(c)) + ' ';
            QByteArray ansi = fallback.encode(QStringView(&ch, 1));
            if (ansi.size() != 1)
                ansi = "?";
            out += "\\'" + ansi.toHex();
        }
    }
}

} // namespace

QByteArray RtfWriter::write(const QTextDocument &document)
{
    QStringEncoder fallback("windows-1250", QStringConverter::Flag::Stateless);
    QByteArray out = "{\\rtf1\\ansi\\ansicpg1250\\deff0\\uc1"
                     "{\\fonttbl{\\f0\\fswiss\\fcharset238 Arial;}}\n";
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
        out += "\\pard\\plain\\f0\\fs20 ";
        appendText(out, block.text(), fallback);
        out += "\\par\n";
    }
    out += '}';
    return out;
}
