#include "rtfreader.h"

#include "rtfcodepages.h"
#include "rtflogging.h"
#include "rtftext.h"

#include <QBuffer>
#include <QColor>
#include <QCoreApplication>
#include <QHash>
#include <QImage>
#include <QImageReader>
#include <QPointer>
#include <QStringDecoder>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextList>
#include <QTextTable>
#include <QUrl>

#include <algorithm>
#include <string_view>
#include <unordered_map>
#include <utility>
#include <vector>

namespace {

using Rtf::CodePage;

// Limits that keep hostile input from exhausting the stack, memory or time.
constexpr int maxGroupDepth = 5000; // mail programs nest thousands deep
constexpr int maxTableDepth = 8;
constexpr int maxTableColumns = 63;
constexpr qint64 maxTableCells = 500000;
constexpr int maxFieldDepth = 16;
constexpr int maxPictureSide = 4096; // pixels
constexpr qint64 maxDocumentPixels = 100LL * 1000 * 1000; // of all pictures together

// Twips (1/1440 inch) to the pixels of QTextDocument (1/96 inch).
constexpr qreal twipsPerPixel = 15.0;

// clang-format off
#define RTF_KEYWORDS(X) \
    X(rtf) X(ansi) X(mac) X(pc) X(pca) X(ansicpg) X(deff) X(uc) X(u) X(upr) X(ud) X(fonttbl)       \
    X(colortbl) X(f) X(fcharset) X(cpg) X(red) X(green) X(blue) X(listtable)                       \
    X(listoverridetable) X(list) X(listlevel) X(levelnfc) X(levelnfcn) X(levelstartat)             \
    X(listid) X(listoverride) X(ls) X(ilvl) X(plain) X(b) X(i) X(ul) X(ulnone) X(uld) X(uldash)    \
    X(uldashd) X(uldashdd) X(uldb) X(ulth) X(ulw) X(ulwave) X(ulhwave) X(ululdbwave) X(ulthd)      \
    X(ulthdash) X(ulthdashd) X(ulthdashdd) X(ulldash) X(ulthldash) X(strike) X(striked) X(sub)     \
    X(super) X(nosupersub) X(up) X(dn) X(fs) X(cf) X(cb) X(highlight) X(chcbpat) X(caps)           \
    X(scaps) X(v) X(pard) X(par) X(line) X(tab) X(page) X(sect) X(ql) X(qc) X(qr) X(qj) X(qd)      \
    X(li) X(ri) X(fi) X(lin) X(rin) X(sb) X(sa) X(sl) X(slmult) X(intbl) X(itap) X(pagebb)         \
    X(emdash) X(endash) X(emspace) X(enspace) X(qmspace) X(bullet) X(lquote) X(rquote)             \
    X(ldblquote) X(rdblquote) X(zwj) X(zwnj) X(ltrmark) X(rtlmark) X(zwbo) X(zwnbo) X(trowd)       \
    X(cellx) X(cell) X(nestcell) X(row) X(nestrow) X(nesttableprops) X(trleft) X(clbrdrt)          \
    X(clbrdrb) X(clbrdrl) X(clbrdrr) X(trbrdrt) X(trbrdrb) X(trbrdrl) X(trbrdrr) X(brdrnone)       \
    X(brdrnil) X(pict) X(picw) X(pich) X(picwgoal) X(pichgoal) X(picscalex) X(picscaley)           \
    X(pngblip) X(jpegblip) X(emfblip) X(wmetafile) X(macpict) X(pmmetafile) X(dibitmap)            \
    X(wbitmap) X(bin) X(shppict) X(field) X(fldinst) X(fldrslt) X(listtext) X(pntext) X(pn)        \
    X(pnlvlblt) X(pnlvlbody) X(pnlvl) X(pndec) X(pnucltr) X(pnlcltr) X(pnucrm) X(pnlcrm)           \
    X(chftn) X(bkmkstart)
// clang-format on

enum class Kw : quint8 {
    Unknown,
    SkipDestination,
#define RTF_ENUM(name) name,
    RTF_KEYWORDS(RTF_ENUM)
#undef RTF_ENUM
};

// Destinations whose content is not document text.
constexpr std::string_view skippedDestinations[] = {
    "aftncn",
    "aftnsep",
    "aftnsepc",
    "annotation",
    "atnauthor",
    "atndate",
    "atnicn",
    "atnid",
    "atnparent",
    "atnref",
    "atntime",
    "atrfend",
    "atrfstart",
    "author",
    "background",
    "bkmkend",
    "blipuid",
    "buptim",
    "category",
    "colorschememapping",
    "comment",
    "company",
    "creatim",
    "datafield",
    "datastore",
    "do",
    "doccomm",
    "docvar",
    "falt",
    "fname",
    "footer",
    "footerf",
    "footerl",
    "footerr",
    "footnote",
    "formfield",
    "ftncn",
    "ftnsep",
    "ftnsepc",
    "generator",
    "header",
    "headerf",
    "headerl",
    "headerr",
    "hlinkbase",
    "info",
    "keywords",
    "latentstyles",
    "leveltext",
    "levelnumbers",
    "listname",
    "listpicture",
    "manager",
    "mmathPr",
    "nonesttables",
    "nonshppict",
    "objclass",
    "objdata",
    "operator",
    "panose",
    "password",
    "passwordhash",
    "pgdsctbl",
    "pnseclvl",
    "pntxta",
    "pntxtb",
    "printim",
    "private",
    "protusertbl",
    "revtbl",
    "revtim",
    "rsidtbl",
    "rxe",
    "shpinst",
    "stylesheet",
    "subject",
    "tc",
    "tcn",
    "template",
    "themedata",
    "title",
    "txe",
    "userprops",
    "wgrffmtfilter",
    "xe",
    "xmlnstbl",
    "filetbl",
    "fontemb",
    "fontfile",
    "file",
    "ftnalt",
    "pxe",
    "sp",
    "sn",
    "sv",
    "lfolevel",
    "listoverridecount",
};

Kw lookupKeyword(std::string_view word)
{
    static const std::unordered_map<std::string_view, Kw> table = [] {
        std::unordered_map<std::string_view, Kw> t;
#define RTF_ENTRY(name) t.emplace(#name, Kw::name);
        RTF_KEYWORDS(RTF_ENTRY)
#undef RTF_ENTRY
        for (const std::string_view name : skippedDestinations)
            t.emplace(name, Kw::SkipDestination);
        return t;
    }();
    const auto it = table.find(word);
    return it == table.end() ? Kw::Unknown : it->second;
}

enum class Dest : quint8 {
    Text,
    Skip,
    FontTable,
    ColorTable,
    ListTable,
    ListOverrideTable,
    Picture,
    FieldInstruction,
    ListText,
    ListNumbering, // old-style \pn
    Upr, // \upr: only its \ud part is read
    Bookmark, // \bkmkstart: the name of an anchor
};

enum class Underline : quint8 { None, Single, Dash, Dot, DashDot, DashDotDot, Wave };
enum class VAlign : quint8 { Normal, Super, Sub };
enum class Align : quint8 { Left, Center, Right, Justify };

struct CharState
{
    qint32 font = -1; // -1: the default font
    qint16 size = 24; // half-points
    qint16 foreground = -1;
    qint16 background = -1;
    qint32 href = -1; // index into the reader's link targets
    Underline underline = Underline::None;
    VAlign vertical = VAlign::Normal;
    bool bold = false;
    bool italic = false;
    bool strike = false;
    bool caps = false;
    bool smallCaps = false;
    bool hidden = false;

    bool operator==(const CharState &) const = default;
};

struct ParaState
{
    qint32 leftIndent = 0; // twips
    qint32 rightIndent = 0;
    qint32 firstIndent = 0;
    qint32 spaceBefore = 0;
    qint32 spaceAfter = 0;
    qint32 lineSpacing = 0;
    qint32 list = 0; // \ls, 0: none
    qint8 listLevel = 0;
    qint8 tableDepth = 0; // \itap
    qint8 oldListLevel = -1; // \pnlvl, -1: none
    qint8 oldListStyle = 0; // a \levelnfc value
    Align align = Align::Left;
    bool inTable = false;
    bool lineMultiple = false;
    bool pageBreakBefore = false;
};

struct State
{
    CharState chr;
    ParaState para;
    const CodePage *codePage = nullptr;
    Dest dest = Dest::Text;
    quint8 unicodeSkip = 1;
    qint8 field = -1; // index into the reader's open fields
};

struct FontEntry
{
    QString name;
    int charset = -1;
    int codePage = 0;
};

struct ListLevel
{
    int format = 0; // \levelnfc
};

struct ListDefinition
{
    int id = 0;
    std::vector<ListLevel> levels;
};

struct Field
{
    QString instruction;
    qint64 resultStart = -1; // the reader's text count where \fldrslt began
};

struct RowDefinition
{
    std::vector<qint32> cellRight; // \cellx, twips
    qint32 left = 0;
    bool borders = false;
};

struct TableContext
{
    QTextTable *table = nullptr;
    int row = 0;
    int column = 0;
    int widthsForColumns = 0;
    int usedRows = 1; // rows are added in growing batches, the rest trimmed at the end
    bool cellOpen = false;
};

enum class PictureKind : quint8 { Unknown, Png, Jpeg, Other };

struct Picture
{
    QByteArray data;
    PictureKind kind = PictureKind::Unknown;
    int width = 0; // \picw
    int height = 0;
    int goalWidth = 0; // twips
    int goalHeight = 0;
    int scaleX = 100;
    int scaleY = 100;
    bool metafile = false;
    int pendingNibble = -1;
};

int hexValue(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

bool isLetter(char c)
{
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

// Bytes that end a run of plain text.
struct SpecialBytes
{
    bool special[256] {};
    constexpr SpecialBytes()
    {
        for (int i = 0; i < 0x20; ++i)
            special[i] = true;
        special[int('\\')] = true;
        special[int('{')] = true;
        special[int('}')] = true;
    }
};
constexpr SpecialBytes specialBytes;

// Decodes text of the document. Double-byte decoders put U+001A where a
// sequence is invalid; that is shown as the replacement character.
void decodeText(const CodePage *page, QByteArrayView bytes, QString &out)
{
    const qsizetype start = out.size();
    page->decode(bytes, out);
    if (page->isSingleByte())
        return; // the bytes below 0x20 never reach a single-byte table
    for (qsizetype i = start; i < out.size(); ++i) {
        if (out.at(i).unicode() == 0x1a)
            out[i] = QChar::ReplacementCharacter;
    }
}

QTextListFormat::Style listStyle(int format)
{
    switch (format) {
    case 0:
        return QTextListFormat::ListDecimal;
    case 1:
        return QTextListFormat::ListUpperRoman;
    case 2:
        return QTextListFormat::ListLowerRoman;
    case 3:
        return QTextListFormat::ListUpperAlpha;
    case 4:
        return QTextListFormat::ListLowerAlpha;
    case 23:
        return QTextListFormat::ListDisc;
    default:
        return QTextListFormat::ListDecimal;
    }
}

// \levelnfc 255 means "no number": the paragraph is indented, not listed.
constexpr int noListNumber = 255;

class Reader
{
public:
    Reader(QByteArrayView data, QTextDocument *document)
        : m_end(data.data() + data.size()), m_pos(data.data()), m_document(document),
          m_cursor(document)
    { }

    bool read(QString *errorMessage);

private:
    void parse();
    void parseControl();
    void controlWord(std::string_view word, bool hasParam, qint32 param);
    void controlSymbol(char symbol);
    void plainBytes(const char *bytes, qsizetype count);
    void hexByte(char byte);
    void binaryData(qint32 length);

    void openGroup();
    void closeGroup();
    void endDestination(const State &closed);

    bool formattingWord(Kw kw, bool hasParam, qint32 param);
    void destinationWord(Kw kw, bool hasParam, qint32 param);
    void tableDefinitionWord(Kw kw, qint32 param);
    void pictureWord(Kw kw, qint32 param);

    // Text
    void beginText();
    void appendBytes(QByteArrayView bytes);
    void appendChar(char16_t c);
    void appendUnicode(qint32 value);
    void flushBytes();
    void flushRun();
    void insertText(QTextCursor &cursor, QStringView text, QTextCharFormat format);
    QTextCharFormat charFormat(const CharState &state);
    QTextBlockFormat blockFormat(const ParaState &para) const;

    // Structure
    void ensureParagraph();
    void finishParagraph(bool newBlock);
    void endCell();
    void endRow(bool nested);
    void openTable();
    void closeTable();
    void trimTable(const TableContext &context);
    void enterCell(TableContext &context);
    void applyColumnWidths(TableContext &context);
    void insertPicture();
    QString placeholderImage(int width, int height);

    const CodePage *codePageOfFont(qint32 font) const;
    const CodePage *fontNameCodePage(qint32 font) const;
    QString takeFontName();
    void setError(const QString &message);

    const char *m_end;
    const char *m_pos;
    QTextDocument *m_document;
    QTextCursor m_cursor;
    QString m_error;

    State m_state;
    std::vector<State> m_stack;
    int m_overflowDepth = 0; // groups deeper than maxGroupDepth, skipped whole
    bool m_ignorable = false;
    int m_unicodeSkipLeft = 0;
    bool m_rootClosed = false;

    // Document tables
    int m_ansiCodePage = 1252;
    qint32 m_defaultFont = 0;
    QHash<qint32, FontEntry> m_fonts;
    qint32 m_fontEntry = -1;
    QByteArray m_fontNameBytes; // not yet decoded
    QString m_fontName; // decoded, \uN characters included
    QList<QColor> m_colors;
    int m_red = 0;
    int m_green = 0;
    int m_blue = 0;
    bool m_colorSet = false;
    std::vector<ListDefinition> m_listDefinitions;
    QHash<qint32, size_t> m_listDefinitionIndex; // by \listid
    QHash<qint32, qint32> m_listOverrides; // \ls to \listid
    qint32 m_overrideList = 0;

    // Text run being collected, all in one character format
    QString m_run;
    CharState m_runState;
    QByteArray m_pendingBytes;
    const CodePage *m_pendingCodePage = nullptr;
    CharState m_formatState;
    QTextCharFormat m_format;
    bool m_formatValid = false;
    QStringList m_hrefs;
    QString m_bookmark;
    QStringList m_anchorNames; // bookmarks that start at the next text

    // Paragraph and tables
    bool m_paragraphOpen = false;
    bool m_needBlock = false;
    bool m_breakBeforeNext = false;
    QString m_listText;
    // The document deletes a list whose last block goes (a trimmed table
    // row, a block moved to another list): hence guarded pointers.
    QHash<qint64, QPointer<QTextList>> m_lists; // by \ls and \ilvl
    QHash<int, QPointer<QTextList>> m_oldLists; // by \pnlvl
    std::vector<TableContext> m_tables;
    RowDefinition m_row;

    // Fields, pictures, footnotes
    std::vector<Field> m_fields;
    Picture m_picture;
    int m_imageCount = 0;
    qint64 m_pixelBudget = maxDocumentPixels;
    QHash<qint64, QString> m_placeholders;
    int m_footnoteCount = 0;
    qint64 m_textCount = 0; // characters and pictures added, for empty field results
};

bool Reader::read(QString *errorMessage)
{
    m_state.codePage = Rtf::codePage(m_ansiCodePage);
    m_colors.reserve(16);
    parse();

    if (!m_rootClosed && m_error.isEmpty()) {
        setError(QCoreApplication::translate("RtfReader",
                                             "The RTF data is cut short: %n group(s) not closed.",
                                             nullptr, int(m_stack.size()) + 1 + m_overflowDepth));
    }
    // Whatever was read stays in the document, even when the file is damaged.
    if (m_state.dest != Dest::Text) {
        while (!m_stack.empty() && m_state.dest != Dest::Text)
            closeGroup();
    }
    flushRun();
    if (m_paragraphOpen || !m_listText.isEmpty())
        finishParagraph(false);
    // Innermost first: a table lives in a row of the one around it.
    for (auto it = m_tables.rbegin(); it != m_tables.rend(); ++it)
        trimTable(*it);

    if (errorMessage)
        *errorMessage = m_error;
    return m_error.isEmpty();
}

void Reader::setError(const QString &message)
{
    if (m_error.isEmpty()) {
        m_error = message;
        qCDebug(lcRtf) << "RTF read error:" << message;
    }
}

void Reader::parse()
{
    while (m_pos < m_end && !m_rootClosed) {
        const char c = *m_pos;
        if (c == '{') {
            ++m_pos;
            openGroup();
        } else if (c == '}') {
            ++m_pos;
            closeGroup();
        } else if (c == '\\') {
            parseControl();
        } else if (m_overflowDepth > 0 || m_state.dest == Dest::Skip) {
            // Nothing of a skipped group is kept: jump to the next token.
            ++m_pos;
            while (m_pos < m_end && *m_pos != '{' && *m_pos != '}' && *m_pos != '\\')
                ++m_pos;
        } else if (!specialBytes.special[static_cast<unsigned char>(c)]) {
            const char *start = m_pos;
            while (m_pos < m_end && !specialBytes.special[static_cast<unsigned char>(*m_pos)])
                ++m_pos;
            plainBytes(start, m_pos - start);
        } else {
            ++m_pos;
            if (c == '\t')
                controlWord("tab", false, 0);
            // Line ends and other control characters are not text in RTF.
        }
    }
}

void Reader::parseControl()
{
    ++m_pos; // the backslash
    if (m_pos >= m_end)
        return;
    if (!isLetter(*m_pos)) {
        const char symbol = *m_pos++;
        controlSymbol(symbol);
        return;
    }
    const char *wordStart = m_pos;
    while (m_pos < m_end && isLetter(*m_pos))
        ++m_pos;
    const std::string_view word(wordStart, size_t(m_pos - wordStart));

    bool hasParam = false;
    bool negative = false;
    qint64 value = 0;
    if (m_pos < m_end && *m_pos == '-' && m_pos + 1 < m_end && m_pos[1] >= '0' && m_pos[1] <= '9') {
        negative = true;
        ++m_pos;
    }
    while (m_pos < m_end && *m_pos >= '0' && *m_pos <= '9') {
        hasParam = true;
        // Clamped rather than wrapped: a huge number stays huge.
        if (value < 0x7fffffff)
            value = value * 10 + (*m_pos - '0');
        ++m_pos;
    }
    value = std::min<qint64>(value, 0x7fffffff);
    if (m_pos < m_end && *m_pos == ' ')
        ++m_pos;
    controlWord(word, hasParam, qint32(negative ? -value : value));
}

void Reader::controlSymbol(char symbol)
{
    if (symbol == '\'') {
        if (m_end - m_pos >= 2 && hexValue(m_pos[0]) >= 0 && hexValue(m_pos[1]) >= 0) {
            const char byte = char(hexValue(m_pos[0]) * 16 + hexValue(m_pos[1]));
            m_pos += 2;
            if (m_overflowDepth == 0)
                hexByte(byte);
        }
        return;
    }
    if (m_overflowDepth > 0 || m_state.dest == Dest::Skip)
        return;
    if (symbol == '*') {
        m_ignorable = true;
        return;
    }
    m_ignorable = false;
    if (m_unicodeSkipLeft > 0) {
        --m_unicodeSkipLeft;
        return;
    }
    switch (symbol) {
    case '\\':
    case '{':
    case '}':
        plainBytes(&symbol, 1);
        break;
    case '~':
        if (m_state.dest == Dest::Text)
            appendChar(0x00a0);
        break;
    case '-':
        if (m_state.dest == Dest::Text)
            appendChar(0x00ad);
        break;
    case '_':
        if (m_state.dest == Dest::Text)
            appendChar(0x2011);
        break;
    case '\n':
    case '\r':
        controlWord("par", false, 0);
        break;
    case '\t':
        controlWord("tab", false, 0);
        break;
    default:
        break; // \: \| and the like: index and formula marks
    }
}

void Reader::hexByte(char byte)
{
    if (m_state.dest == Dest::Skip)
        return;
    m_ignorable = false;
    if (m_unicodeSkipLeft > 0) {
        --m_unicodeSkipLeft;
        return;
    }
    if (m_state.dest == Dest::Picture) {
        m_picture.data.append(byte);
        return;
    }
    // No code page has text below 0x20 (nor a trail byte there).
    if (static_cast<unsigned char>(byte) < 0x20 && byte != '\t')
        return;
    plainBytes(&byte, 1);
}

void Reader::plainBytes(const char *bytes, qsizetype count)
{
    m_ignorable = false;
    if (m_unicodeSkipLeft > 0) {
        const qsizetype skipped = std::min<qsizetype>(m_unicodeSkipLeft, count);
        m_unicodeSkipLeft -= int(skipped);
        bytes += skipped;
        count -= skipped;
        if (count == 0)
            return;
    }
    switch (m_state.dest) {
    case Dest::Text:
        appendBytes(QByteArrayView(bytes, count));
        break;
    case Dest::FontTable:
        for (qsizetype i = 0; i < count; ++i) {
            if (bytes[i] == ';') {
                const QString name = takeFontName();
                // A second name of the same font: keep the first.
                if (m_fontEntry >= 0 && !name.isEmpty()
                    && m_fonts.value(m_fontEntry).name.isEmpty())
                    m_fonts[m_fontEntry].name = name.trimmed();
            } else if (m_fontNameBytes.size() + m_fontName.size() < 256) {
                m_fontNameBytes.append(bytes[i]);
            }
        }
        break;
    case Dest::ColorTable:
        for (qsizetype i = 0; i < count; ++i) {
            if (bytes[i] != ';')
                continue;
            if (m_colors.size() < 32767)
                m_colors.append(m_colorSet ? QColor(m_red, m_green, m_blue) : QColor());
            m_red = m_green = m_blue = 0;
            m_colorSet = false;
        }
        break;
    case Dest::Picture:
        for (qsizetype i = 0; i < count; ++i) {
            const int nibble = hexValue(bytes[i]);
            if (nibble < 0)
                continue;
            if (m_picture.pendingNibble < 0) {
                m_picture.pendingNibble = nibble;
            } else {
                m_picture.data.append(char(m_picture.pendingNibble * 16 + nibble));
                m_picture.pendingNibble = -1;
            }
        }
        break;
    case Dest::FieldInstruction:
        if (m_state.field >= 0 && m_fields[size_t(m_state.field)].instruction.size() < 4096)
            decodeText(m_state.codePage, QByteArrayView(bytes, count),
                       m_fields[size_t(m_state.field)].instruction);
        break;
    case Dest::ListText:
        if (m_listText.size() < 256)
            decodeText(m_state.codePage, QByteArrayView(bytes, count), m_listText);
        break;
    case Dest::Bookmark:
        if (m_bookmark.size() < 256)
            decodeText(m_state.codePage, QByteArrayView(bytes, count), m_bookmark);
        break;
    case Dest::Skip:
    case Dest::ListTable:
    case Dest::ListOverrideTable:
    case Dest::ListNumbering:
    case Dest::Upr:
        break;
    }
}

void Reader::binaryData(qint32 length)
{
    const qint64 available = m_end - m_pos;
    if (length < 0)
        length = 0;
    if (length > available) {
        setError(QCoreApplication::translate("RtfReader",
                                             "Binary data is longer than the rest of the file."));
        length = qint32(available);
    }
    if (m_overflowDepth == 0 && m_state.dest == Dest::Picture)
        m_picture.data.append(m_pos, length);
    m_pos += length;
    // Binary data counts as one character of a \uN fallback.
    if (m_unicodeSkipLeft > 0)
        --m_unicodeSkipLeft;
}

void Reader::openGroup()
{
    m_unicodeSkipLeft = 0;
    if (m_overflowDepth > 0 || int(m_stack.size()) >= maxGroupDepth) {
        if (m_overflowDepth == 0)
            setError(QCoreApplication::translate("RtfReader", "Groups are nested too deeply."));
        ++m_overflowDepth;
        return;
    }
    m_stack.push_back(m_state);
    m_ignorable = false;
}

void Reader::closeGroup()
{
    m_unicodeSkipLeft = 0;
    m_ignorable = false;
    if (m_overflowDepth > 0) {
        --m_overflowDepth;
        return;
    }
    if (m_stack.empty()) {
        // The root group is closed: what follows is not part of the document.
        m_rootClosed = true;
        return;
    }
    const State closed = m_state;
    m_state = m_stack.back();
    m_stack.pop_back();
    if (closed.dest != m_state.dest || closed.field != m_state.field)
        endDestination(closed);
}

void Reader::endDestination(const State &closed)
{
    switch (closed.dest) {
    case Dest::FontTable:
        if (const QString name = takeFontName();
            m_fontEntry >= 0 && !name.isEmpty() && m_fonts.value(m_fontEntry).name.isEmpty())
            m_fonts[m_fontEntry].name = name.trimmed();
        m_fontEntry = -1;
        if (m_state.dest != Dest::FontTable)
            m_state.codePage = codePageOfFont(m_state.chr.font);
        break;
    case Dest::Picture:
        if (m_state.dest != Dest::Picture)
            insertPicture();
        break;
    case Dest::Bookmark:
        if (!m_bookmark.trimmed().isEmpty() && m_anchorNames.size() < 16) {
            // The anchor starts at the text that follows, not before it.
            flushRun();
            m_anchorNames.append(m_bookmark.trimmed());
        }
        m_bookmark.clear();
        break;
    case Dest::ListNumbering:
        // \pn describes the paragraph it appears in, not just its own group.
        m_state.para.oldListLevel = closed.para.oldListLevel;
        m_state.para.oldListStyle = closed.para.oldListStyle;
        break;
    default:
        break;
    }
    if (closed.field > m_state.field && closed.field >= 0
        && size_t(closed.field) < m_fields.size()) {
        // A field without a result (or an empty one): SYMBOL is the only
        // kind worth showing.
        const Field field = m_fields[size_t(closed.field)];
        m_fields.resize(size_t(closed.field));
        const bool noResult = field.resultStart < 0 || field.resultStart == m_textCount;
        const QString instruction = field.instruction.trimmed();
        if (noResult && m_state.dest == Dest::Text
            && instruction.startsWith(QLatin1String("SYMBOL"), Qt::CaseInsensitive)) {
            // SYMBOL code [\\f "font"] [other switches]
            bool ok = false;
            const int code
                = instruction.mid(6).trimmed().section(QLatin1Char(' '), 0, 0).toInt(&ok);
            const bool symbolFont
                = instruction.contains(QLatin1String("\"Symbol\""), Qt::CaseInsensitive);
            if (ok && code > 0 && code < 0xffff) {
                char16_t c = char16_t(code);
                if (symbolFont && c < 0x100)
                    c = Rtf::codePage(Rtf::SymbolCodePage)->at(static_cast<unsigned char>(c));
                appendChar(c);
            }
        }
    }
}

void Reader::controlWord(std::string_view word, bool hasParam, qint32 param)
{
    const Kw kw = lookupKeyword(word);
    if (kw == Kw::bin) {
        binaryData(hasParam ? param : 0);
        return;
    }
    if (m_overflowDepth > 0 || m_state.dest == Dest::Skip)
        return;

    if (m_ignorable) {
        m_ignorable = false;
        switch (kw) {
        case Kw::fldinst:
        case Kw::shppict:
        case Kw::listtable:
        case Kw::listoverridetable:
        case Kw::ud:
        case Kw::nesttableprops:
        case Kw::pn:
        case Kw::listtext:
        case Kw::pntext:
        case Kw::bkmkstart:
            break;
        default:
            m_state.dest = Dest::Skip;
            return;
        }
    }
    if (m_unicodeSkipLeft > 0 && kw != Kw::u) {
        --m_unicodeSkipLeft;
        return;
    }

    if (kw == Kw::SkipDestination) {
        m_state.dest = Dest::Skip;
        return;
    }
    if (formattingWord(kw, hasParam, param))
        return;
    destinationWord(kw, hasParam, param);
}

bool Reader::formattingWord(Kw kw, bool hasParam, qint32 param)
{
    CharState &chr = m_state.chr;
    ParaState &para = m_state.para;
    const bool on = !hasParam || param != 0;
    const auto twips = [param] { return std::clamp(param, -31680, 31680); };
    switch (kw) {
    case Kw::plain: {
        const qint32 href = chr.href;
        chr = CharState();
        chr.href = href;
        m_state.codePage = codePageOfFont(-1);
        return true;
    }
    case Kw::b:
        chr.bold = on;
        return true;
    case Kw::i:
        chr.italic = on;
        return true;
    case Kw::ul:
    case Kw::ulw:
    case Kw::uldb:
    case Kw::ulth:
        chr.underline = on ? Underline::Single : Underline::None;
        return true;
    case Kw::ulnone:
        chr.underline = Underline::None;
        return true;
    case Kw::uld:
    case Kw::ulthd:
        chr.underline = on ? Underline::Dot : Underline::None;
        return true;
    case Kw::uldash:
    case Kw::ulthdash:
    case Kw::ulldash:
    case Kw::ulthldash:
        chr.underline = on ? Underline::Dash : Underline::None;
        return true;
    case Kw::uldashd:
    case Kw::ulthdashd:
        chr.underline = on ? Underline::DashDot : Underline::None;
        return true;
    case Kw::uldashdd:
    case Kw::ulthdashdd:
        chr.underline = on ? Underline::DashDotDot : Underline::None;
        return true;
    case Kw::ulwave:
    case Kw::ulhwave:
    case Kw::ululdbwave:
        chr.underline = on ? Underline::Wave : Underline::None;
        return true;
    case Kw::strike:
    case Kw::striked:
        chr.strike = on;
        return true;
    case Kw::super:
        chr.vertical = on ? VAlign::Super : VAlign::Normal;
        return true;
    case Kw::sub:
        chr.vertical = on ? VAlign::Sub : VAlign::Normal;
        return true;
    case Kw::nosupersub:
        chr.vertical = VAlign::Normal;
        return true;
    case Kw::up:
        chr.vertical = hasParam && param == 0 ? VAlign::Normal : VAlign::Super;
        return true;
    case Kw::dn:
        chr.vertical = hasParam && param == 0 ? VAlign::Normal : VAlign::Sub;
        return true;
    case Kw::fs:
        chr.size = qint16(hasParam && param > 0 ? std::min(param, 3276) : 24);
        return true;
    case Kw::cf:
        chr.foreground = qint16(std::clamp(param, -1, 32766));
        return true;
    case Kw::cb:
    case Kw::highlight:
    case Kw::chcbpat:
        chr.background = qint16(std::clamp(param, -1, 32766));
        return true;
    case Kw::caps:
        chr.caps = on;
        return true;
    case Kw::scaps:
        chr.smallCaps = on;
        return true;
    case Kw::v:
        chr.hidden = on;
        return true;
    case Kw::f:
        if (m_state.dest == Dest::FontTable)
            return false;
        chr.font = std::max(param, 0);
        m_state.codePage = codePageOfFont(chr.font);
        return true;
    case Kw::pard:
        para = ParaState();
        return true;
    case Kw::ql:
        para.align = Align::Left;
        return true;
    case Kw::qc:
        para.align = Align::Center;
        return true;
    case Kw::qr:
        para.align = Align::Right;
        return true;
    case Kw::qj:
    case Kw::qd:
        para.align = Align::Justify;
        return true;
    case Kw::li:
    case Kw::lin:
        para.leftIndent = twips();
        return true;
    case Kw::ri:
    case Kw::rin:
        para.rightIndent = twips();
        return true;
    case Kw::fi:
        para.firstIndent = twips();
        return true;
    case Kw::sb:
        para.spaceBefore = std::max(0, twips());
        return true;
    case Kw::sa:
        para.spaceAfter = std::max(0, twips());
        return true;
    case Kw::sl:
        para.lineSpacing = twips();
        return true;
    case Kw::slmult:
        para.lineMultiple = on;
        return true;
    case Kw::intbl:
        para.inTable = on;
        return true;
    case Kw::itap:
        para.tableDepth = qint8(std::clamp(param, 0, maxTableDepth));
        return true;
    case Kw::pagebb:
        para.pageBreakBefore = on;
        return true;
    case Kw::ls:
        if (m_state.dest == Dest::ListOverrideTable)
            return false;
        para.list = std::max(param, 0);
        return true;
    case Kw::ilvl:
        para.listLevel = qint8(std::clamp(param, 0, 8));
        return true;
    default:
        return false;
    }
}

void Reader::destinationWord(Kw kw, bool hasParam, qint32 param)
{
    switch (kw) {
    // Document header
    case Kw::ansi:
        m_ansiCodePage = 1252;
        m_state.codePage = codePageOfFont(m_state.chr.font);
        return;
    case Kw::mac:
        m_ansiCodePage = 10000;
        m_state.codePage = codePageOfFont(m_state.chr.font);
        return;
    case Kw::pc:
        m_ansiCodePage = 437;
        m_state.codePage = codePageOfFont(m_state.chr.font);
        return;
    case Kw::pca:
        m_ansiCodePage = 850;
        m_state.codePage = codePageOfFont(m_state.chr.font);
        return;
    case Kw::ansicpg:
        if (hasParam && param > 0) {
            m_ansiCodePage = param;
            m_state.codePage = codePageOfFont(m_state.chr.font);
        }
        return;
    case Kw::deff:
        m_defaultFont = std::max(param, 0);
        if (m_state.chr.font < 0)
            m_state.codePage = codePageOfFont(-1);
        return;
    case Kw::uc:
        m_state.unicodeSkip = quint8(std::clamp(param, 0, 16));
        return;
    case Kw::u:
        if (m_state.dest == Dest::Text || m_state.dest == Dest::ListText
            || m_state.dest == Dest::FieldInstruction || m_state.dest == Dest::FontTable) {
            appendUnicode(param);
        }
        m_unicodeSkipLeft = m_state.unicodeSkip;
        return;
    case Kw::upr:
        m_state.dest = Dest::Upr;
        return;
    case Kw::ud:
        if (m_state.dest == Dest::Upr)
            m_state.dest = Dest::Text;
        return;

    // Tables of the document
    case Kw::fonttbl:
        m_state.dest = Dest::FontTable;
        return;
    case Kw::colortbl:
        m_state.dest = Dest::ColorTable;
        m_colors.clear();
        return;
    case Kw::listtable:
        m_state.dest = Dest::ListTable;
        return;
    case Kw::listoverridetable:
        m_state.dest = Dest::ListOverrideTable;
        return;
    case Kw::field:
        if (m_state.dest == Dest::Text && m_fields.size() < size_t(maxFieldDepth)) {
            m_fields.emplace_back();
            m_state.field = qint8(m_fields.size() - 1);
        }
        return;
    case Kw::fldinst:
        m_state.dest = m_state.field >= 0 ? Dest::FieldInstruction : Dest::Skip;
        return;
    case Kw::fldrslt:
        if (m_state.field >= 0) {
            Field &field = m_fields[size_t(m_state.field)];
            field.resultStart = m_textCount;
            const QString instruction = field.instruction.trimmed();
            if (instruction.startsWith(QLatin1String("HYPERLINK"), Qt::CaseInsensitive)) {
                // HYPERLINK "target" or HYPERLINK \l "bookmark", other switches ignored.
                QString target;
                QString bookmark;
                const QString args = instruction.mid(9);
                qsizetype i = 0;
                bool nextIsBookmark = false;
                bool skipNext = false;
                while (i < args.size()) {
                    while (i < args.size() && args.at(i).isSpace())
                        ++i;
                    if (i >= args.size())
                        break;
                    QString token;
                    if (args.at(i) == QLatin1Char('"')) {
                        const qsizetype close = args.indexOf(QLatin1Char('"'), i + 1);
                        token = args.mid(i + 1, close < 0 ? -1 : close - i - 1);
                        i = close < 0 ? args.size() : close + 1;
                    } else {
                        qsizetype j = i;
                        while (j < args.size() && !args.at(j).isSpace())
                            ++j;
                        token = args.mid(i, j - i);
                        i = j;
                        if (token.startsWith(QLatin1Char('\\'))) {
                            nextIsBookmark = token == QLatin1String("\\l");
                            skipNext = !nextIsBookmark && token.size() == 2
                                && QStringLiteral("otm").contains(token.at(1));
                            continue;
                        }
                    }
                    if (skipNext) {
                        skipNext = false;
                    } else if (nextIsBookmark) {
                        bookmark = token;
                        nextIsBookmark = false;
                    } else if (target.isEmpty()) {
                        target = token;
                    }
                }
                if (!bookmark.isEmpty())
                    target += QLatin1Char('#') + bookmark;
                if (!target.isEmpty()) {
                    m_hrefs.append(target);
                    m_state.chr.href = qint32(m_hrefs.size() - 1);
                }
            }
        }
        m_state.dest = Dest::Text;
        return;
    case Kw::listtext:
    case Kw::pntext:
        if (m_state.dest == Dest::Text) {
            m_state.dest = Dest::ListText;
            m_listText.clear();
        } else {
            m_state.dest = Dest::Skip;
        }
        return;
    case Kw::pn:
        m_state.dest = Dest::ListNumbering;
        m_state.para.oldListLevel = 0;
        m_state.para.oldListStyle = 0;
        return;
    case Kw::shppict:
    case Kw::nesttableprops:
        return; // their content is read as it stands
    case Kw::bkmkstart:
        m_state.dest = m_state.dest == Dest::Text ? Dest::Bookmark : Dest::Skip;
        m_bookmark.clear();
        return;
    case Kw::pict:
        if (m_state.dest == Dest::Text) {
            m_state.dest = Dest::Picture;
            m_picture = Picture();
        } else {
            m_state.dest = Dest::Skip;
        }
        return;
    default:
        break;
    }

    switch (m_state.dest) {
    case Dest::FontTable:
        if (kw == Kw::f) {
            m_fontNameBytes.clear();
            m_fontName.clear();
            m_fontEntry = std::max(param, 0);
            if (m_fonts.size() < 4096 || m_fonts.contains(m_fontEntry))
                m_fonts[m_fontEntry] = FontEntry();
            else
                m_fontEntry = -1;
        } else if (kw == Kw::fcharset && m_fontEntry >= 0 && m_fonts.contains(m_fontEntry)) {
            m_fonts[m_fontEntry].charset = param;
        } else if (kw == Kw::cpg && m_fontEntry >= 0 && m_fonts.contains(m_fontEntry)) {
            m_fonts[m_fontEntry].codePage = param;
        }
        return;
    case Dest::ColorTable:
        if (kw == Kw::red || kw == Kw::green || kw == Kw::blue) {
            const int value = std::clamp(param, 0, 255);
            (kw == Kw::red ? m_red : kw == Kw::green ? m_green : m_blue) = value;
            m_colorSet = true;
        }
        return;
    case Dest::ListTable:
        if (kw == Kw::list) {
            if (m_listDefinitions.size() < 4096)
                m_listDefinitions.emplace_back();
        } else if (kw == Kw::listlevel) {
            if (!m_listDefinitions.empty() && m_listDefinitions.back().levels.size() < 9)
                m_listDefinitions.back().levels.emplace_back();
        } else if (kw == Kw::levelnfc || kw == Kw::levelnfcn) {
            if (!m_listDefinitions.empty() && !m_listDefinitions.back().levels.empty())
                m_listDefinitions.back().levels.back().format = param;
        } else if (kw == Kw::listid) {
            if (!m_listDefinitions.empty()) {
                m_listDefinitions.back().id = param;
                m_listDefinitionIndex.insert(param, m_listDefinitions.size() - 1);
            }
        }
        return;
    case Dest::ListOverrideTable:
        if (kw == Kw::listoverride) {
            m_overrideList = 0;
        } else if (kw == Kw::listid) {
            m_overrideList = param;
        } else if (kw == Kw::ls) {
            if (m_listOverrides.size() < 4096)
                m_listOverrides.insert(param, m_overrideList);
        }
        return;
    case Dest::Picture:
        pictureWord(kw, param);
        return;
    case Dest::ListNumbering:
        switch (kw) {
        case Kw::pnlvlblt:
            m_state.para.oldListLevel = 0;
            m_state.para.oldListStyle = 23;
            break;
        case Kw::pnlvlbody:
            m_state.para.oldListLevel = 0;
            break;
        case Kw::pnlvl:
            m_state.para.oldListLevel = qint8(std::clamp(param - 1, 0, 8));
            break;
        case Kw::pndec:
            m_state.para.oldListStyle = 0;
            break;
        case Kw::pnucrm:
            m_state.para.oldListStyle = 1;
            break;
        case Kw::pnlcrm:
            m_state.para.oldListStyle = 2;
            break;
        case Kw::pnucltr:
            m_state.para.oldListStyle = 3;
            break;
        case Kw::pnlcltr:
            m_state.para.oldListStyle = 4;
            break;
        default:
            break;
        }
        return;
    case Dest::ListText:
        if (kw == Kw::tab)
            appendChar(u'\t');
        return;
    case Dest::Text:
        break;
    default:
        return;
    }

    // Document text
    switch (kw) {
    case Kw::par:
        finishParagraph(true);
        return;
    case Kw::sect:
        if (m_paragraphOpen || !m_run.isEmpty() || !m_pendingBytes.isEmpty())
            finishParagraph(true);
        return;
    case Kw::page:
        if (!m_tables.empty())
            return;
        if (m_paragraphOpen || !m_run.isEmpty() || !m_pendingBytes.isEmpty())
            finishParagraph(true);
        m_breakBeforeNext = true;
        return;
    case Kw::line:
        appendChar(QChar::LineSeparator);
        return;
    case Kw::tab:
        appendChar(u'\t');
        return;
    case Kw::emdash:
        appendChar(0x2014);
        return;
    case Kw::endash:
        appendChar(0x2013);
        return;
    case Kw::emspace:
        appendChar(0x2003);
        return;
    case Kw::enspace:
        appendChar(0x2002);
        return;
    case Kw::qmspace:
        appendChar(0x2005);
        return;
    case Kw::bullet:
        appendChar(0x2022);
        return;
    case Kw::lquote:
        appendChar(0x2018);
        return;
    case Kw::rquote:
        appendChar(0x2019);
        return;
    case Kw::ldblquote:
        appendChar(0x201c);
        return;
    case Kw::rdblquote:
        appendChar(0x201d);
        return;
    case Kw::zwj:
        appendChar(0x200d);
        return;
    case Kw::zwnj:
        appendChar(0x200c);
        return;
    case Kw::ltrmark:
        appendChar(0x200e);
        return;
    case Kw::rtlmark:
        appendChar(0x200f);
        return;
    case Kw::zwbo:
        appendChar(0x200b);
        return;
    case Kw::zwnbo:
        appendChar(0xfeff);
        return;
    case Kw::chftn:
        // The note itself is skipped; its mark keeps the reader's place.
        if (m_footnoteCount < 100000) {
            const QString number = QString::number(++m_footnoteCount);
            for (const QChar ch : number)
                appendChar(ch.unicode());
        }
        return;
    case Kw::cell:
    case Kw::nestcell:
        endCell();
        return;
    case Kw::row:
        endRow(false);
        return;
    case Kw::nestrow:
        endRow(true);
        return;
    default:
        tableDefinitionWord(kw, param);
        return;
    }
}

void Reader::tableDefinitionWord(Kw kw, qint32 param)
{
    switch (kw) {
    case Kw::trowd:
        m_row = RowDefinition();
        break;
    case Kw::trleft:
        m_row.left = std::clamp(param, -31680, 31680);
        break;
    case Kw::cellx:
        if (m_row.cellRight.size() < size_t(maxTableColumns))
            m_row.cellRight.push_back(std::clamp(param, -31680, 31680));
        break;
    case Kw::clbrdrt:
    case Kw::clbrdrb:
    case Kw::clbrdrl:
    case Kw::clbrdrr:
    case Kw::trbrdrt:
    case Kw::trbrdrb:
    case Kw::trbrdrl:
    case Kw::trbrdrr:
        m_row.borders = true;
        break;
    default:
        break;
    }
}

void Reader::pictureWord(Kw kw, qint32 param)
{
    switch (kw) {
    case Kw::pngblip:
        m_picture.kind = PictureKind::Png;
        break;
    case Kw::jpegblip:
        m_picture.kind = PictureKind::Jpeg;
        break;
    case Kw::emfblip:
    case Kw::wmetafile:
    case Kw::macpict:
    case Kw::pmmetafile:
        m_picture.kind = PictureKind::Other;
        m_picture.metafile = true;
        break;
    case Kw::dibitmap:
    case Kw::wbitmap:
        m_picture.kind = PictureKind::Other;
        break;
    case Kw::picw:
        m_picture.width = std::clamp(param, 0, 1 << 20);
        break;
    case Kw::pich:
        m_picture.height = std::clamp(param, 0, 1 << 20);
        break;
    case Kw::picwgoal:
        m_picture.goalWidth = std::clamp(param, 0, 1 << 20);
        break;
    case Kw::pichgoal:
        m_picture.goalHeight = std::clamp(param, 0, 1 << 20);
        break;
    case Kw::picscalex:
        m_picture.scaleX = std::clamp(param, 1, 1000);
        break;
    case Kw::picscaley:
        m_picture.scaleY = std::clamp(param, 1, 1000);
        break;
    default:
        break;
    }
}

const CodePage *Reader::fontNameCodePage(qint32 font) const
{
    // Names of symbol fonts are ordinary text.
    return m_fonts.value(font).charset == 2 ? Rtf::codePage(m_ansiCodePage) : codePageOfFont(font);
}

QString Reader::takeFontName()
{
    QString name = std::exchange(m_fontName, QString());
    fontNameCodePage(m_fontEntry)->decode(m_fontNameBytes, name);
    m_fontNameBytes.clear();
    return Rtf::documentText(name);
}

const CodePage *Reader::codePageOfFont(qint32 font) const
{
    const auto it = m_fonts.constFind(font < 0 ? m_defaultFont : font);
    if (it != m_fonts.constEnd()) {
        if (it->codePage > 0)
            return Rtf::codePage(it->codePage);
        // \fcharset0 is Western (windows-1252) whatever \ansicpg says;
        // \fcharset1, "default", and unknown values follow \ansicpg.
        if (it->charset == 2) {
            return Rtf::codePage(it->name.compare(QLatin1String("Symbol"), Qt::CaseInsensitive) == 0
                                     ? Rtf::SymbolCodePage
                                     : Rtf::PrivateUseCodePage);
        }
        const int fromCharset = it->charset >= 0 ? Rtf::codePageOfCharset(it->charset) : 0;
        if (fromCharset > 0)
            return Rtf::codePage(fromCharset);
    }
    return Rtf::codePage(m_ansiCodePage);
}

// Text

void Reader::beginText()
{
    if (m_run.isEmpty() && m_pendingBytes.isEmpty()) {
        m_runState = m_state.chr;
        return;
    }
    if (!(m_state.chr == m_runState)) {
        flushRun();
        m_runState = m_state.chr;
    }
}

void Reader::appendBytes(QByteArrayView bytes)
{
    if (m_state.chr.hidden)
        return;
    beginText();
    m_textCount += bytes.size();
    const CodePage *page = m_state.codePage;
    if (page->isSingleByte()) {
        if (!m_pendingBytes.isEmpty())
            flushBytes();
        page->decode(bytes, m_run);
        return;
    }
    if (m_pendingCodePage != page)
        flushBytes();
    m_pendingCodePage = page;
    m_pendingBytes.append(bytes.data(), bytes.size());
}

void Reader::appendChar(char16_t c)
{
    // Not text, so not even the start of a paragraph; the full rule is
    // applied where text enters the document.
    if (!Rtf::isTextCharacter(c))
        return;
    if (m_state.dest == Dest::ListText) {
        if (m_listText.size() < 256)
            m_listText.append(QChar(c));
        return;
    }
    if (m_state.dest == Dest::FieldInstruction) {
        if (m_state.field >= 0)
            m_fields[size_t(m_state.field)].instruction.append(QChar(c));
        return;
    }
    if (m_state.dest != Dest::Text || m_state.chr.hidden)
        return;
    beginText();
    flushBytes();
    ++m_textCount;
    m_run.append(QChar(c));
}

void Reader::appendUnicode(qint32 value)
{
    // \uN is a signed 16-bit value; larger ones are taken modulo 65536.
    char16_t c = char16_t(value & 0xffff);
    // Symbol-font characters given by their private-use code points.
    if (c >= 0xf020 && c <= 0xf0ff && m_state.codePage->number() == Rtf::SymbolCodePage)
        c = m_state.codePage->at(static_cast<unsigned char>(c - 0xf000));
    if (m_state.dest == Dest::FontTable) {
        // The bytes before it are in the font's code page; the character is not.
        fontNameCodePage(m_fontEntry)->decode(m_fontNameBytes, m_fontName);
        m_fontNameBytes.clear();
        if (m_fontName.size() < 256)
            m_fontName.append(QChar(c));
        return;
    }
    appendChar(c);
}

void Reader::flushBytes()
{
    if (m_pendingBytes.isEmpty())
        return;
    decodeText(m_pendingCodePage, m_pendingBytes, m_run);
    m_pendingBytes.clear();
}

void Reader::flushRun()
{
    flushBytes();
    if (m_run.isEmpty())
        return;
    ensureParagraph();
    QTextCharFormat format = charFormat(m_runState);
    if (!m_anchorNames.isEmpty()) {
        format.setAnchor(true);
        format.setAnchorNames(m_anchorNames);
        m_anchorNames.clear();
    }
    insertText(m_cursor, m_run, format);
    m_run.clear();
}

// Every path of text into the document ends here, links and bookmark names
// included, so that none can bring in what the document must not hold.
void Reader::insertText(QTextCursor &cursor, QStringView text, QTextCharFormat format)
{
    if (format.isAnchor()) {
        if (format.hasProperty(QTextFormat::AnchorHref))
            format.setAnchorHref(Rtf::documentText(format.anchorHref()));
        QStringList names = format.anchorNames();
        for (QString &name : names)
            name = Rtf::documentText(name);
        if (!names.isEmpty())
            format.setAnchorNames(names);
    }
    cursor.insertText(Rtf::documentText(text), format);
}

QTextCharFormat Reader::charFormat(const CharState &state)
{
    if (m_formatValid && state == m_formatState)
        return m_format;
    QTextCharFormat format;
    const auto font = m_fonts.constFind(state.font < 0 ? m_defaultFont : state.font);
    if (font != m_fonts.constEnd() && !font->name.isEmpty())
        format.setFontFamilies(QStringList {font->name});
    format.setFontPointSize(state.size / 2.0);
    if (state.bold)
        format.setFontWeight(QFont::Bold);
    if (state.italic)
        format.setFontItalic(true);
    switch (state.underline) {
    case Underline::None:
        break;
    case Underline::Single:
        format.setUnderlineStyle(QTextCharFormat::SingleUnderline);
        break;
    case Underline::Dash:
        format.setUnderlineStyle(QTextCharFormat::DashUnderline);
        break;
    case Underline::Dot:
        format.setUnderlineStyle(QTextCharFormat::DotLine);
        break;
    case Underline::DashDot:
        format.setUnderlineStyle(QTextCharFormat::DashDotLine);
        break;
    case Underline::DashDotDot:
        format.setUnderlineStyle(QTextCharFormat::DashDotDotLine);
        break;
    case Underline::Wave:
        format.setUnderlineStyle(QTextCharFormat::WaveUnderline);
        break;
    }
    if (state.strike)
        format.setFontStrikeOut(true);
    if (state.vertical == VAlign::Super)
        format.setVerticalAlignment(QTextCharFormat::AlignSuperScript);
    else if (state.vertical == VAlign::Sub)
        format.setVerticalAlignment(QTextCharFormat::AlignSubScript);
    if (state.foreground >= 0 && state.foreground < m_colors.size()
        && m_colors.at(state.foreground).isValid())
        format.setForeground(m_colors.at(state.foreground));
    if (state.background >= 0 && state.background < m_colors.size()
        && m_colors.at(state.background).isValid())
        format.setBackground(m_colors.at(state.background));
    if (state.caps)
        format.setFontCapitalization(QFont::AllUppercase);
    else if (state.smallCaps)
        format.setFontCapitalization(QFont::SmallCaps);
    if (state.href >= 0 && state.href < m_hrefs.size()) {
        format.setAnchor(true);
        format.setAnchorHref(m_hrefs.at(state.href));
    }
    m_format = format;
    m_formatState = state;
    m_formatValid = true;
    return format;
}

QTextBlockFormat Reader::blockFormat(const ParaState &para) const
{
    QTextBlockFormat format;
    switch (para.align) {
    case Align::Left:
        format.setAlignment(Qt::AlignLeft);
        break;
    case Align::Center:
        format.setAlignment(Qt::AlignHCenter);
        break;
    case Align::Right:
        format.setAlignment(Qt::AlignRight);
        break;
    case Align::Justify:
        format.setAlignment(Qt::AlignJustify);
        break;
    }
    const bool listed = para.list > 0 || para.oldListLevel >= 0;
    if (para.leftIndent != 0 && !listed)
        format.setLeftMargin(para.leftIndent / twipsPerPixel);
    if (para.rightIndent != 0)
        format.setRightMargin(para.rightIndent / twipsPerPixel);
    if (para.firstIndent != 0 && !listed)
        format.setTextIndent(para.firstIndent / twipsPerPixel);
    if (para.spaceBefore != 0)
        format.setTopMargin(para.spaceBefore / twipsPerPixel);
    if (para.spaceAfter != 0)
        format.setBottomMargin(para.spaceAfter / twipsPerPixel);
    if (para.lineSpacing != 0) {
        if (para.lineMultiple && para.lineSpacing > 0)
            format.setLineHeight(para.lineSpacing * 100.0 / 240.0,
                                 QTextBlockFormat::ProportionalHeight);
        else if (para.lineSpacing < 0)
            format.setLineHeight(-para.lineSpacing / twipsPerPixel, QTextBlockFormat::FixedHeight);
        else
            format.setLineHeight(para.lineSpacing / twipsPerPixel, QTextBlockFormat::MinimumHeight);
    }
    if (para.pageBreakBefore)
        format.setPageBreakPolicy(QTextFormat::PageBreak_AlwaysBefore);
    return format;
}

// Structure

void Reader::ensureParagraph()
{
    if (m_paragraphOpen)
        return;
    m_paragraphOpen = true;
    const ParaState &para = m_state.para;
    const int depth = para.inTable ? std::max<int>(1, para.tableDepth) : para.tableDepth;
    while (int(m_tables.size()) > depth)
        closeTable();
    while (int(m_tables.size()) < depth)
        openTable();
    if (!m_tables.empty())
        enterCell(m_tables.back());
    if (m_needBlock) {
        // A fresh format: the new block must not join the previous one's list.
        m_cursor.insertBlock(QTextBlockFormat());
        m_needBlock = false;
    }
}

void Reader::finishParagraph(bool newBlock)
{
    ensureParagraph();
    flushRun();

    const ParaState &para = m_state.para;
    QTextBlockFormat format = blockFormat(para);
    if (m_breakBeforeNext) {
        format.setPageBreakPolicy(QTextFormat::PageBreak_AlwaysBefore);
        m_breakBeforeNext = false;
    }
    m_cursor.setBlockFormat(format);
    m_cursor.setBlockCharFormat(charFormat(m_state.chr));

    int listFormat = -1;
    if (para.list > 0) {
        listFormat = 23;
        const auto override = m_listOverrides.constFind(para.list);
        const qint32 id = override == m_listOverrides.constEnd() ? para.list : *override;
        const auto index = m_listDefinitionIndex.constFind(id);
        if (index != m_listDefinitionIndex.constEnd()) {
            const ListDefinition &definition = m_listDefinitions[*index];
            if (size_t(para.listLevel) < definition.levels.size())
                listFormat = definition.levels[size_t(para.listLevel)].format;
            else if (!definition.levels.empty())
                listFormat = definition.levels.back().format;
        }
    } else if (para.oldListLevel >= 0) {
        listFormat = para.oldListStyle;
    }

    if (listFormat >= 0 && listFormat != noListNumber) {
        QPointer<QTextList> &list = para.list > 0
            ? m_lists[(qint64(para.list) << 4) | para.listLevel]
            : m_oldLists[para.oldListLevel];
        if (list) {
            list->add(m_cursor.block());
        } else {
            QTextListFormat listFormatting;
            listFormatting.setStyle(listStyle(listFormat));
            listFormatting.setIndent((para.list > 0 ? para.listLevel : para.oldListLevel) + 1);
            list = m_cursor.createList(listFormatting);
        }
    } else {
        // Old-style numbering restarts after a paragraph outside it.
        m_oldLists.clear();
        if (!m_listText.isEmpty()) {
            // Not a real list: the marker the writer rendered is the text.
            QTextCursor start(m_cursor.block());
            insertText(start, m_listText, charFormat(m_state.chr));
        }
    }
    m_listText.clear();
    m_paragraphOpen = false;
    m_needBlock = newBlock;
}

void Reader::endCell()
{
    ensureParagraph();
    if (m_tables.empty()) {
        finishParagraph(true); // a cell outside any table is a paragraph
        return;
    }
    finishParagraph(false);
    TableContext &context = m_tables.back();
    context.column = std::min(context.column + 1, maxTableColumns);
    context.cellOpen = false;
    m_needBlock = false;
}

void Reader::endRow(bool nested)
{
    if (m_paragraphOpen || !m_run.isEmpty() || !m_pendingBytes.isEmpty())
        endCell();
    if (m_tables.empty())
        return;
    if (!nested) {
        while (m_tables.size() > 1)
            closeTable();
    }
    TableContext &context = m_tables.back();
    applyColumnWidths(context);
    if (context.row < 100000)
        ++context.row;
    context.column = 0;
    context.cellOpen = false;
    m_paragraphOpen = false;
    m_needBlock = false;
}

void Reader::openTable()
{
    if (!m_tables.empty())
        enterCell(m_tables.back());
    QTextTableFormat format;
    format.setBorder(m_row.borders ? 1 : 0);
    format.setBorderStyle(QTextFrameFormat::BorderStyle_Solid);
    format.setBorderCollapse(true);
    format.setCellSpacing(0);
    format.setCellPadding(4);
    if (m_row.left > 0)
        format.setLeftMargin(m_row.left / twipsPerPixel);
    TableContext context;
    context.table = m_cursor.insertTable(1, 1, format);
    context.cellOpen = true;
    m_tables.push_back(context);
    m_needBlock = false;
}

void Reader::closeTable()
{
    const TableContext context = m_tables.back();
    m_tables.pop_back();
    trimTable(context);
    m_cursor.setPosition(context.table->lastPosition() + 1);
    m_needBlock = false;
}

void Reader::trimTable(const TableContext &context)
{
    QTextTable *table = context.table;
    if (table->rows() > context.usedRows)
        table->removeRows(context.usedRows, table->rows() - context.usedRows);
}

void Reader::enterCell(TableContext &context)
{
    if (context.cellOpen)
        return;
    QTextTable *table = context.table;
    // Past the size limit, further rows and columns share the last ones.
    if (qint64(context.row + 1) * table->columns() > maxTableCells)
        context.row = context.usedRows - 1;
    if (context.column >= maxTableColumns
        || qint64(context.usedRows) * (context.column + 1) > maxTableCells)
        context.column = table->columns() - 1;
    if (context.row >= table->rows()) {
        // Adding rows costs time in proportion to the table's size: in
        // batches that double, a long table is built in linear time.
        const int batch = std::min(table->rows(), 4096);
        table->appendRows(std::max(context.row + 1 - table->rows(), batch));
    }
    context.usedRows = std::max(context.usedRows, context.row + 1);
    if (context.column >= table->columns())
        table->appendColumns(context.column + 1 - table->columns());
    const QTextTableCell cell = table->cellAt(context.row, context.column);
    m_cursor = cell.lastCursorPosition();
    // A cell that already has text (columns beyond the limit share the last
    // one) gets a paragraph of its own.
    m_needBlock = cell.firstPosition() != cell.lastPosition();
    context.cellOpen = true;
}

void Reader::applyColumnWidths(TableContext &context)
{
    const int columns = context.table->columns();
    if (context.widthsForColumns == columns || int(m_row.cellRight.size()) != columns)
        return;
    QList<QTextLength> widths;
    qint32 left = m_row.left;
    for (const qint32 right : m_row.cellRight) {
        widths.append(
            QTextLength(QTextLength::FixedLength, std::max(right - left, 15) / twipsPerPixel));
        left = right;
    }
    QTextTableFormat format = context.table->format();
    format.setColumnWidthConstraints(widths);
    context.table->setFormat(format);
    context.widthsForColumns = columns;
}

void Reader::insertPicture()
{
    Picture &picture = m_picture;
    QBuffer buffer(&picture.data);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer, picture.kind == PictureKind::Png ? "png" : "jpeg");
    const bool bitmap = picture.kind == PictureKind::Png || picture.kind == PictureKind::Jpeg;
    const QSize stored = bitmap ? reader.size() : QSize();

    // Goal sizes are in twips; \picw is pixels for bitmaps and 1/100 mm for
    // metafiles.
    qreal width = 0;
    qreal height = 0;
    if (picture.goalWidth > 0 && picture.goalHeight > 0) {
        width = picture.goalWidth / twipsPerPixel;
        height = picture.goalHeight / twipsPerPixel;
    } else if (stored.isValid()) {
        width = stored.width();
        height = stored.height();
    } else if (picture.metafile) {
        width = picture.width * 96.0 / 2540.0;
        height = picture.height * 96.0 / 2540.0;
    } else {
        width = picture.width;
        height = picture.height;
    }
    width = std::clamp(width * picture.scaleX / 100.0, 1.0, qreal(maxPictureSide));
    height = std::clamp(height * picture.scaleY / 100.0, 1.0, qreal(maxPictureSide));

    QImage image;
    if (stored.isValid() && !stored.isEmpty()) {
        // Never more pixels than a sharp picture at twice its shown size
        // needs, and never more than the document's budget.
        QSize decoded = stored;
        const QSize sharp(qCeil(width * 2), qCeil(height * 2));
        if (decoded.width() > sharp.width() || decoded.height() > sharp.height()) {
            decoded = stored.scaled(sharp, Qt::KeepAspectRatio).expandedTo(QSize(1, 1));
            reader.setScaledSize(decoded);
        }
        const qint64 pixels = qint64(decoded.width()) * decoded.height();
        if (pixels <= m_pixelBudget) {
            image = reader.read();
            if (!image.isNull())
                m_pixelBudget -= pixels;
        }
    }
    picture.data.clear();

    QString name;
    if (!image.isNull()) {
        name = QStringLiteral("rtfimage:%1").arg(++m_imageCount);
        m_document->addResource(QTextDocument::ImageResource, QUrl(name), image);
    } else {
        name = placeholderImage(qRound(width), qRound(height));
    }
    QTextImageFormat format;
    format.setName(name);
    format.setWidth(width);
    format.setHeight(height);

    if (m_state.chr.hidden)
        return;
    flushRun();
    ensureParagraph();
    m_cursor.insertImage(format);
    ++m_textCount;
}

QString Reader::placeholderImage(int width, int height)
{
    width = std::clamp(width, 1, maxPictureSide);
    height = std::clamp(height, 1, maxPictureSide);
    // A bit per pixel costs a 32nd of a decoded picture's pixel. Once the
    // budget is spent, frames share a small one that is drawn stretched.
    const qint64 cost = qint64(width) * height / 32;
    if (cost > m_pixelBudget && !m_placeholders.contains((qint64(width) << 32) | height))
        width = height = 16;
    const qint64 key = (qint64(width) << 32) | height;
    const auto found = m_placeholders.constFind(key);
    if (found != m_placeholders.constEnd())
        return *found;
    // An empty frame: one bit per pixel keeps even large ones small.
    QImage image(width, height, QImage::Format_Mono);
    image.setColor(0, qRgba(0, 0, 0, 0));
    image.setColor(1, qRgba(160, 160, 160, 255));
    image.fill(0);
    for (int x = 0; x < width; ++x) {
        image.setPixel(x, 0, 1);
        image.setPixel(x, height - 1, 1);
    }
    for (int y = 0; y < height; ++y) {
        image.setPixel(0, y, 1);
        image.setPixel(width - 1, y, 1);
    }
    const QString name = QStringLiteral("rtfplaceholder:%1x%2").arg(width).arg(height);
    m_document->addResource(QTextDocument::ImageResource, QUrl(name), image);
    m_placeholders.insert(key, name);
    m_pixelBudget -= std::min(cost, m_pixelBudget);
    return name;
}

QString decodePlainText(const QByteArray &data)
{
    QStringDecoder utf8(QStringDecoder::Utf8);
    QString text = utf8.decode(data);
    if (utf8.hasError()) {
        text.clear();
        Rtf::codePage(1250)->decode(data, text);
    }
    // Any line end makes a paragraph; other control characters are dropped.
    text.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    text.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    QStringList lines = text.split(QLatin1Char('\n'));
    for (QString &line : lines)
        line = Rtf::documentText(line);
    return lines.join(QLatin1Char('\n'));
}

} // namespace

bool RtfReader::isRtf(QByteArrayView data)
{
    if (data.startsWith("\xef\xbb\xbf"))
        data = data.sliced(3);
    qsizetype i = 0;
    while (i < data.size()
           && (data[i] == ' ' || data[i] == '\t' || data[i] == '\r' || data[i] == '\n'))
        ++i;
    return data.sliced(i).startsWith("{\\rtf");
}

bool RtfReader::read(const QByteArray &data, QTextDocument *document, QString *errorMessage)
{
    if (errorMessage)
        errorMessage->clear();
    if (!document)
        return false;
    const bool undo = document->isUndoRedoEnabled();
    document->setUndoRedoEnabled(false);
    document->clear();

    bool ok = true;
    if (!isRtf(data)) {
        document->setPlainText(decodePlainText(data));
    } else {
        const qsizetype start = data.indexOf('{');
        const QByteArrayView rtf = QByteArrayView(data).sliced(start);
        // The root group is opened here so that the parser's stack holds
        // only the groups inside it.
        Reader reader(QByteArrayView(rtf).sliced(1), document);
        ok = reader.read(errorMessage);
    }
    document->setUndoRedoEnabled(undo);
    document->setModified(false);
    return ok;
}

QString RtfReader::plainText(const QTextDocument &document)
{
    QString text = document.toPlainText();
    text.remove(QChar::ObjectReplacementCharacter);
    return text;
}
