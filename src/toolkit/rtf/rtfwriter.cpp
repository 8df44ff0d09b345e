#include "rtfwriter.h"

#include "rtfcodepages.h"
#include "rtftext.h"

#include <QBuffer>
#include <QColor>
#include <QHash>
#include <QImage>
#include <QImageWriter>
#include <QPixmap>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextFrame>
#include <QTextList>
#include <QTextTable>
#include <QUrl>

#include <algorithm>
#include <vector>

namespace {

// QTextDocument measures in pixels of 1/96 inch, RTF in twips.
constexpr qreal twipsPerPixel = 15.0;
// The text width of an A4 page with 2.5 cm margins, for tables without widths.
constexpr int pageTextWidth = 9638;

int twips(qreal pixels)
{
    return qRound(pixels * twipsPerPixel);
}

// Windows-1250 bytes of the characters above ASCII, for the \uN fallback.
const QHash<char16_t, char> &fallbackTable()
{
    static const QHash<char16_t, char> table = [] {
        QHash<char16_t, char> t;
        const Rtf::CodePage *page = Rtf::codePage(1250);
        for (int byte = 0x80; byte < 0x100; ++byte) {
            const char16_t c = page->at(static_cast<unsigned char>(byte));
            if (c != 0xfffd && c >= 0x80)
                t.insert(c, char(byte));
        }
        return t;
    }();
    return table;
}

void appendHexByte(QByteArray &out, unsigned char byte)
{
    static const char digits[] = "0123456789abcdef";
    out += "\\'";
    out += digits[byte >> 4];
    out += digits[byte & 0xf];
}

void appendUnicode(QByteArray &out, char16_t c)
{
    out += "\\u";
    out += QByteArray::number(qint16(c));
    const QHash<char16_t, char> &fallback = fallbackTable();
    const auto byte = fallback.constFind(c);
    if (byte != fallback.constEnd())
        appendHexByte(out, static_cast<unsigned char>(*byte));
    else
        out += '?';
}

void appendEscaped(QByteArray &out, QStringView text)
{
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t c = text[i].unicode();
        if (c == u'\\' || c == u'{' || c == u'}') {
            out += '\\';
            out += char(c);
        } else if (c >= 0x20 && c < 0x80) {
            out += char(c);
        } else if (c == u'\t') {
            out += "\\tab ";
        } else if (c == QChar::LineSeparator || c == u'\n') {
            out += "\\line ";
        } else if (c == QChar::Nbsp) {
            out += "\\~";
        } else if (c == QChar::SoftHyphen) {
            out += "\\-";
        } else if (c == 0x2011) {
            out += "\\_";
        } else if (QChar::isHighSurrogate(c) && i + 1 < text.size()
                   && text[i + 1].isLowSurrogate()) {
            appendUnicode(out, c);
            appendUnicode(out, text[++i].unicode());
        } else if (QChar::isSurrogate(c)) {
            // Read back, a lone half would be the replacement character: write
            // that, so that a second save equals the first.
            appendUnicode(out, QChar::ReplacementCharacter);
        } else if (Rtf::isTextCharacter(c)) {
            appendUnicode(out, c);
        }
        // Anything else is structure, not text: pictures and paragraphs are
        // written apart, and the reader drops the rest.
    }
}

// True when nothing of the block's content is written: it has no picture
// and no character that is text.
bool writesNothing(const QTextBlock &block)
{
    for (auto it = block.begin(); !it.atEnd(); ++it) {
        const QTextFragment fragment = it.fragment();
        if (fragment.charFormat().isImageFormat() || !Rtf::documentText(fragment.text()).isEmpty())
            return false;
    }
    return true;
}

int levelFormat(QTextListFormat::Style style)
{
    switch (style) {
    case QTextListFormat::ListDecimal:
        return 0;
    case QTextListFormat::ListUpperRoman:
        return 1;
    case QTextListFormat::ListLowerRoman:
        return 2;
    case QTextListFormat::ListUpperAlpha:
        return 3;
    case QTextListFormat::ListLowerAlpha:
        return 4;
    default:
        return 23; // a bullet
    }
}

bool isBullet(QTextListFormat::Style style)
{
    return levelFormat(style) == 23;
}

class Writer
{
public:
    explicit Writer(const QTextDocument &document) : m_document(document) { }

    QByteArray write();

private:
    void writeFrame(const QTextFrame *frame, int depth);
    void writeTable(const QTextTable *table, int depth);
    void writeBlock(const QTextBlock &block, int depth, const char *ending);
    void writeParagraphFormat(const QTextBlock &block, int depth);
    QByteArray charFormatWords(const QTextCharFormat &format);
    void writePicture(const QTextImageFormat &format);
    void writeRowDefinition(const QTextTable *table, int row, const std::vector<int> &rights);
    std::vector<int> columnRights(const QTextTable *table) const;

    int fontIndex(const QString &family);
    int colorIndex(const QColor &color);
    int listIndex(const QTextList *list);
    QByteArray header();

    const QTextDocument &m_document;
    QByteArray m_body;
    QStringList m_fonts;
    QHash<QString, int> m_fontIndexes;
    QList<QColor> m_colors;
    QHash<QRgb, int> m_colorIndexes;
    std::vector<const QTextList *> m_lists;
    QHash<const QTextList *, int> m_listIndexes;
    qreal m_defaultPointSize = 12;
};

QByteArray Writer::write()
{
    const QFont defaultFont = m_document.defaultFont();
    if (defaultFont.pointSizeF() > 0)
        m_defaultPointSize = defaultFont.pointSizeF();
    fontIndex(defaultFont.family().isEmpty() ? QStringLiteral("Arial") : defaultFont.family());

    m_body.reserve(m_document.characterCount() * 2 + 1024);
    writeFrame(m_document.rootFrame(), 0);

    QByteArray out = header();
    out += m_body;
    out += "}\n";
    return out;
}

void Writer::writeFrame(const QTextFrame *frame, int depth)
{
    // Each block ends with \par except the last one of the document, which
    // would otherwise come back as an extra empty paragraph...
    struct Item
    {
        QTextBlock block;
        const QTextFrame *frame = nullptr;
    };
    std::vector<Item> items;
    for (auto it = frame->begin(); !it.atEnd(); ++it) {
        if (const QTextFrame *child = it.currentFrame())
            items.push_back({QTextBlock(), child});
        else
            items.push_back({it.currentBlock(), nullptr});
    }
    for (size_t i = 0; i < items.size(); ++i) {
        const Item &item = items[i];
        if (item.frame) {
            if (const auto *table = qobject_cast<const QTextTable *>(item.frame))
                writeTable(table, depth + 1);
            else
                writeFrame(item.frame, depth);
        } else {
            // ...unless it is empty, when only a \par can make it exist at all.
            const bool last = i + 1 == items.size() && frame == m_document.rootFrame();
            const bool keepEmpty = i > 0 && writesNothing(item.block);
            writeBlock(item.block, depth, last && !keepEmpty ? "" : "\\par\n");
        }
    }
}

std::vector<int> Writer::columnRights(const QTextTable *table) const
{
    const int columns = table->columns();
    const QList<QTextLength> constraints = table->format().columnWidthConstraints();
    std::vector<int> rights;
    int right = 0;
    for (int c = 0; c < columns; ++c) {
        int width = pageTextWidth / std::max(columns, 1);
        if (c < constraints.size()) {
            const QTextLength length = constraints.at(c);
            if (length.type() == QTextLength::FixedLength)
                width = twips(length.rawValue());
            else if (length.type() == QTextLength::PercentageLength)
                width = qRound(pageTextWidth * length.rawValue() / 100.0);
        }
        right += std::max(width, 15);
        rights.push_back(right);
    }
    return rights;
}

void Writer::writeRowDefinition(const QTextTable *table, int row, const std::vector<int> &rights)
{
    const QTextTableFormat format = table->format();
    m_body += "\\trowd\\trgaph" + QByteArray::number(twips(format.cellPadding()));
    m_body += "\\trleft" + QByteArray::number(twips(format.leftMargin()));
    const bool borders
        = format.border() > 0 && format.borderStyle() != QTextFrameFormat::BorderStyle_None;
    const QByteArray border
        = "\\brdrs\\brdrw" + QByteArray::number(std::max(twips(format.border()), 10));
    for (int c = 0; c < table->columns(); ++c) {
        const QTextTableCell cell = table->cellAt(row, c);
        if (cell.column() != c)
            continue; // covered by a cell spanning columns
        if (cell.rowSpan() > 1 && cell.row() == row)
            m_body += "\\clvmgf";
        else if (cell.row() != row)
            m_body += "\\clvmrg";
        if (borders) {
            for (const char *side : {"\\clbrdrt", "\\clbrdrl", "\\clbrdrb", "\\clbrdrr"})
                m_body += side + border;
        }
        const QBrush background = cell.format().background();
        if (background.style() != Qt::NoBrush)
            m_body += "\\clcbpat" + QByteArray::number(colorIndex(background.color()));
        const int last = std::min(c + cell.columnSpan(), table->columns()) - 1;
        m_body += "\\cellx" + QByteArray::number(rights[size_t(last)] + twips(format.leftMargin()));
    }
    m_body += '\n';
}

void Writer::writeTable(const QTextTable *table, int depth)
{
    const std::vector<int> rights = columnRights(table);
    const char *cellEnd = depth > 1 ? "\\nestcell\n" : "\\cell\n";
    for (int row = 0; row < table->rows(); ++row) {
        if (depth == 1)
            writeRowDefinition(table, row, rights);
        for (int c = 0; c < table->columns(); ++c) {
            const QTextTableCell cell = table->cellAt(row, c);
            if (cell.column() != c)
                continue;
            if (cell.row() != row) {
                // Covered by a cell spanning rows: an empty, merged cell.
                m_body += "\\pard\\intbl\\itap" + QByteArray::number(depth) + ' ' + cellEnd;
                continue;
            }
            std::vector<std::pair<QTextBlock, const QTextFrame *>> items;
            for (auto it = cell.begin(); !it.atEnd(); ++it)
                items.emplace_back(it.currentBlock(), it.currentFrame());
            for (size_t i = 0; i < items.size(); ++i) {
                if (const QTextFrame *frame = items[i].second) {
                    if (const auto *nested = qobject_cast<const QTextTable *>(frame))
                        writeTable(nested, depth + 1);
                    continue;
                }
                writeBlock(items[i].first, depth, i + 1 == items.size() ? cellEnd : "\\par\n");
            }
            if (items.empty())
                m_body += "\\pard\\intbl\\itap" + QByteArray::number(depth) + ' ' + cellEnd;
        }
        if (depth == 1) {
            m_body += "\\row\n";
        } else {
            m_body += "\\pard\\intbl\\itap" + QByteArray::number(depth) + "{\\*\\nesttableprops";
            writeRowDefinition(table, row, rights);
            m_body += "\\nestrow}{\\nonesttables\\par}\n";
        }
    }
    m_body += "\\pard\n";
}

void Writer::writeParagraphFormat(const QTextBlock &block, int depth)
{
    const QTextBlockFormat format = block.blockFormat();
    m_body += "\\pard\\plain";
    if (depth > 0)
        m_body += "\\intbl\\itap" + QByteArray::number(depth);
    const Qt::Alignment align = format.alignment() & Qt::AlignHorizontal_Mask;
    if (align & Qt::AlignHCenter)
        m_body += "\\qc";
    else if (align & Qt::AlignJustify)
        m_body += "\\qj";
    else if (align & Qt::AlignRight)
        m_body += "\\qr";
    else
        m_body += "\\ql";

    qreal left = format.leftMargin() + format.indent() * m_document.indentWidth();
    qreal first = format.textIndent();
    const QTextList *list = block.textList();
    if (list) {
        const int level = std::clamp(list->format().indent(), 1, 9);
        left += level * 24.0;
        first -= 18.0;
    }
    if (left != 0)
        m_body += "\\li" + QByteArray::number(twips(left));
    if (format.rightMargin() != 0)
        m_body += "\\ri" + QByteArray::number(twips(format.rightMargin()));
    if (first != 0)
        m_body += "\\fi" + QByteArray::number(twips(first));
    if (format.topMargin() != 0)
        m_body += "\\sb" + QByteArray::number(twips(format.topMargin()));
    if (format.bottomMargin() != 0)
        m_body += "\\sa" + QByteArray::number(twips(format.bottomMargin()));
    switch (format.lineHeightType()) {
    case QTextBlockFormat::ProportionalHeight:
        if (format.lineHeight() != 100)
            m_body += "\\sl" + QByteArray::number(qRound(format.lineHeight() * 2.4)) + "\\slmult1";
        break;
    case QTextBlockFormat::FixedHeight:
        m_body += "\\sl-" + QByteArray::number(twips(format.lineHeight())) + "\\slmult0";
        break;
    case QTextBlockFormat::MinimumHeight:
        m_body += "\\sl" + QByteArray::number(twips(format.lineHeight())) + "\\slmult0";
        break;
    default:
        break;
    }
    if (format.pageBreakPolicy() & QTextFormat::PageBreak_AlwaysBefore)
        m_body += "\\pagebb";
    if (list) {
        m_body += "\\ls" + QByteArray::number(listIndex(list));
        m_body += "\\ilvl" + QByteArray::number(std::clamp(list->format().indent(), 1, 9) - 1);
    }
    m_body += charFormatWords(block.charFormat());
    m_body += ' ';
}

void Writer::writeBlock(const QTextBlock &block, int depth, const char *ending)
{
    if (const QTextList *list = block.textList()) {
        // The rendered marker, for readers that do not know \ls.
        m_body += "{\\listtext\\pard\\plain";
        m_body += charFormatWords(block.charFormat());
        m_body += ' ';
        if (isBullet(list->format().style()))
            appendEscaped(m_body, u"\u2022");
        else
            appendEscaped(m_body, list->itemText(block));
        m_body += "\\tab}";
    }
    writeParagraphFormat(block, depth);

    // Fragments that would be written alike share one group, so that a
    // document split differently (as one read back is) is written the same.
    QString openHref;
    QByteArray openFormat;
    bool groupOpen = false;
    const auto closeGroup = [&] {
        if (groupOpen)
            m_body += '}';
        groupOpen = false;
    };
    for (auto it = block.begin(); !it.atEnd(); ++it) {
        const QTextFragment fragment = it.fragment();
        if (!fragment.isValid())
            continue;
        const QTextCharFormat format = fragment.charFormat();
        QByteArray text;
        if (!format.isImageFormat()) {
            appendEscaped(text, fragment.text());
            // Nothing of it is text: a group for it would not read back.
            if (text.isEmpty())
                continue;
        }
        const QString href = format.isAnchor() ? format.anchorHref() : QString();
        if (href != openHref) {
            closeGroup();
            if (!openHref.isEmpty())
                m_body += "}}}";
            if (!href.isEmpty()) {
                QString target = href;
                target.replace(QLatin1Char('"'), QLatin1String("%22"));
                m_body += "{\\field{\\*\\fldinst HYPERLINK \"";
                appendEscaped(m_body, target);
                m_body += "\"}{\\fldrslt{";
            }
            openHref = href;
        }
        if (format.isImageFormat()) {
            closeGroup();
            // One fragment may hold several pictures of the same format.
            const qsizetype count = fragment.text().count(QChar::ObjectReplacementCharacter);
            for (qsizetype i = 0; i < count; ++i)
                writePicture(format.toImageFormat());
            continue;
        }
        const QStringList anchors = format.anchorNames();
        if (!anchors.isEmpty())
            closeGroup();
        for (const QString &anchor : anchors) {
            for (const char *mark : {"{\\*\\bkmkstart ", "{\\*\\bkmkend "}) {
                m_body += mark;
                appendEscaped(m_body, anchor);
                m_body += '}';
            }
        }
        const QByteArray words = charFormatWords(format);
        if (!groupOpen || words != openFormat) {
            closeGroup();
            // \plain: the paragraph's own character format, written with
            // its \pard, must not carry over into the text.
            m_body += "{\\plain" + words + ' ';
            openFormat = words;
            groupOpen = true;
        }
        m_body += text;
    }
    closeGroup();
    if (!openHref.isEmpty())
        m_body += "}}}";
    m_body += ending;
}

QByteArray Writer::charFormatWords(const QTextCharFormat &format)
{
    QByteArray out;
    QString family;
    const QStringList families = format.fontFamilies().toStringList();
    if (!families.isEmpty())
        family = families.first();
    else if (format.hasProperty(QTextFormat::FontFamily))
        family = format.property(QTextFormat::FontFamily).toString();
    out += "\\f" + QByteArray::number(family.isEmpty() ? 0 : fontIndex(family));

    qreal points = m_defaultPointSize;
    if (format.hasProperty(QTextFormat::FontPointSize))
        points = format.fontPointSize();
    else if (format.hasProperty(QTextFormat::FontPixelSize))
        points = format.intProperty(QTextFormat::FontPixelSize) * 0.75;
    out += "\\fs" + QByteArray::number(std::clamp(qRound(points * 2), 2, 3276));

    if (format.fontWeight() >= QFont::DemiBold)
        out += "\\b";
    if (format.fontItalic())
        out += "\\i";
    if (format.fontStrikeOut())
        out += "\\strike";
    switch (format.underlineStyle()) {
    case QTextCharFormat::NoUnderline:
        break;
    case QTextCharFormat::DashUnderline:
        out += "\\uldash";
        break;
    case QTextCharFormat::DotLine:
        out += "\\uld";
        break;
    case QTextCharFormat::DashDotLine:
        out += "\\uldashd";
        break;
    case QTextCharFormat::DashDotDotLine:
        out += "\\uldashdd";
        break;
    case QTextCharFormat::WaveUnderline:
    case QTextCharFormat::SpellCheckUnderline:
        out += "\\ulwave";
        break;
    default:
        out += "\\ul";
        break;
    }
    if (format.verticalAlignment() == QTextCharFormat::AlignSuperScript)
        out += "\\super";
    else if (format.verticalAlignment() == QTextCharFormat::AlignSubScript)
        out += "\\sub";
    if (format.fontCapitalization() == QFont::AllUppercase)
        out += "\\caps";
    else if (format.fontCapitalization() == QFont::SmallCaps)
        out += "\\scaps";
    if (format.foreground().style() != Qt::NoBrush)
        out += "\\cf" + QByteArray::number(colorIndex(format.foreground().color()));
    if (format.background().style() != Qt::NoBrush) {
        const QByteArray index = QByteArray::number(colorIndex(format.background().color()));
        out += "\\chcbpat" + index + "\\cb" + index;
    }
    return out;
}

void Writer::writePicture(const QTextImageFormat &format)
{
    const QVariant resource
        = m_document.resource(QTextDocument::ImageResource, QUrl(format.name()));
    QImage image;
    if (resource.canConvert<QImage>() && resource.userType() == QMetaType::QImage)
        image = resource.value<QImage>();
    else if (resource.userType() == QMetaType::QPixmap)
        image = resource.value<QPixmap>().toImage();
    else if (resource.userType() == QMetaType::QByteArray)
        image.loadFromData(resource.toByteArray());
    if (image.isNull())
        return;

    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    if (!image.save(&buffer, "PNG"))
        return;
    const qreal width = format.width() > 0 ? format.width() : image.width();
    const qreal height = format.height() > 0 ? format.height() : image.height();
    m_body += "{\\pict\\pngblip\\picw" + QByteArray::number(image.width());
    m_body += "\\pich" + QByteArray::number(image.height());
    m_body += "\\picwgoal" + QByteArray::number(twips(width));
    m_body += "\\pichgoal" + QByteArray::number(twips(height)) + '\n';
    const QByteArray hex = png.toHex();
    for (qsizetype i = 0; i < hex.size(); i += 128) {
        m_body += QByteArrayView(hex).sliced(i, std::min<qsizetype>(128, hex.size() - i));
        m_body += '\n';
    }
    m_body += '}';
}

int Writer::fontIndex(const QString &family)
{
    const auto it = m_fontIndexes.constFind(family);
    if (it != m_fontIndexes.constEnd())
        return *it;
    const int index = int(m_fonts.size());
    m_fonts.append(family);
    m_fontIndexes.insert(family, index);
    return index;
}

int Writer::colorIndex(const QColor &color)
{
    // Index 0 is "automatic".
    const QRgb rgb = color.rgb();
    const auto it = m_colorIndexes.constFind(rgb);
    if (it != m_colorIndexes.constEnd())
        return *it;
    m_colors.append(color);
    const int index = int(m_colors.size());
    m_colorIndexes.insert(rgb, index);
    return index;
}

int Writer::listIndex(const QTextList *list)
{
    const auto it = m_listIndexes.constFind(list);
    if (it != m_listIndexes.constEnd())
        return *it;
    m_lists.push_back(list);
    const int index = int(m_lists.size());
    m_listIndexes.insert(list, index);
    return index;
}

QByteArray Writer::header()
{
    QByteArray out = "{\\rtf1\\ansi\\ansicpg1250\\deff0\\uc1\n{\\fonttbl";
    for (qsizetype i = 0; i < m_fonts.size(); ++i) {
        out += "{\\f" + QByteArray::number(i) + "\\fnil\\fcharset238 ";
        appendEscaped(out, m_fonts.at(i));
        out += ";}";
    }
    out += "}\n{\\colortbl;";
    for (const QColor &color : std::as_const(m_colors)) {
        out += "\\red" + QByteArray::number(color.red()) + "\\green"
            + QByteArray::number(color.green()) + "\\blue" + QByteArray::number(color.blue()) + ';';
    }
    out += "}\n";

    if (!m_lists.empty()) {
        // One list definition per QTextList, with every level in its style,
        // so that the list's indent can become the paragraph's level.
        out += "{\\*\\listtable";
        for (size_t i = 0; i < m_lists.size(); ++i) {
            const QTextListFormat::Style style = m_lists[i]->format().style();
            const int nfc = levelFormat(style);
            out += "{\\list\\listtemplateid" + QByteArray::number(i + 1) + "\\listhybrid";
            for (int level = 0; level < 9; ++level) {
                out += "{\\listlevel\\levelnfc" + QByteArray::number(nfc) + "\\levelnfcn"
                    + QByteArray::number(nfc) + "\\leveljc0\\levelfollow0\\levelstartat1";
                if (nfc == 23) {
                    out += "{\\leveltext\\'01\\u8226 ?;}{\\levelnumbers;}";
                } else {
                    out += "{\\leveltext\\'02\\'";
                    out += "0" + QByteArray::number(level) + ".;}{\\levelnumbers\\'01;}";
                }
                out += "\\fi-270\\li" + QByteArray::number(360 * (level + 1)) + '}';
            }
            out += "\\listid" + QByteArray::number(i + 1) + "}\n";
        }
        out += "}\n{\\*\\listoverridetable";
        for (size_t i = 0; i < m_lists.size(); ++i) {
            out += "{\\listoverride\\listid" + QByteArray::number(i + 1)
                + "\\listoverridecount0\\ls" + QByteArray::number(i + 1) + '}';
        }
        out += "}\n";
    }
    out += "\\paperw11906\\paperh16838\\margl1134\\margr1134\\margt1134\\margb1134\n";
    return out;
}

} // namespace

QByteArray RtfWriter::write(const QTextDocument &document)
{
    return Writer(document).write();
}
