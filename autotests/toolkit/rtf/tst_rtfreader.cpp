// The RTF reader, one small fixture per feature, and its behaviour on damaged
// and hostile input.

#include "rtf/rtfreader.h"

#include <QBuffer>
#include <QImage>
#include <QTest>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextList>
#include <QTextTable>

namespace {

// Checks that need more than one format property.
enum Pseudo {
    TableRows = -1, // rows of the innermost table around the probe
    TableCell = -2, // "row,column" of the cell around the probe
    TableDepth = -3, // how many tables enclose the probe
    ImageSize = -4, // pixel size of the picture resource at the probe
    ListStyle = -5, // QTextListFormat::Style of the list the probe is in
    ListItems = -6, // number of items of that list
    ListIndent = -7, // indent of that list
    TableColumns = -8, // columns of the innermost table around the probe
};

// The format property `property` at the first character of `at` must be `value`
// (an invalid QVariant: the property is not set). Character formats are looked
// at first, then the block's.
struct Probe
{
    QString at;
    int property;
    QVariant value;
};
using Probes = QList<Probe>;

QByteArray pngBytes()
{
    QImage image(2, 3, QImage::Format_RGB32);
    image.fill(Qt::red);
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return png;
}

QByteArray listTables()
{
    return "{\\*\\listtable"
           "{\\list{\\listlevel\\levelnfc23{\\leveltext\\'01\\u8226 ?;}}\\listid10}"
           "{\\list{\\listlevel\\levelnfc0{\\leveltext\\'02\\'00.;}}"
           "{\\listlevel\\levelnfc4{\\leveltext\\'02\\'01.;}}\\listid20}}"
           "{\\*\\listoverridetable{\\listoverride\\listid10\\ls1}{\\listoverride\\listid20\\ls2}}";
}

QVariant pseudoProperty(QTextCursor cursor, int property)
{
    QTextTable *table = cursor.currentTable();
    QTextList *list = cursor.currentList();
    switch (property) {
    case TableRows:
        return table ? QVariant(table->rows()) : QVariant();
    case TableColumns:
        return table ? QVariant(table->columns()) : QVariant();
    case TableCell: {
        if (!table)
            return QVariant();
        const QTextTableCell cell = table->cellAt(cursor);
        return QStringLiteral("%1,%2").arg(cell.row()).arg(cell.column());
    }
    case TableDepth: {
        int depth = 0;
        for (QTextFrame *frame = cursor.currentFrame(); frame; frame = frame->parentFrame())
            depth += qobject_cast<QTextTable *>(frame) ? 1 : 0;
        return depth;
    }
    case ImageSize: {
        const QTextImageFormat image = cursor.charFormat().toImageFormat();
        const QVariant resource
            = cursor.document()->resource(QTextDocument::ImageResource, QUrl(image.name()));
        return resource.value<QImage>().size();
    }
    case ListStyle:
        return list ? QVariant(int(list->format().style())) : QVariant();
    case ListItems:
        return list ? QVariant(list->count()) : QVariant();
    case ListIndent:
        return list ? QVariant(list->format().indent()) : QVariant();
    default:
        return QVariant();
    }
}

void checkProbes(const QTextDocument &document, const Probes &probes)
{
    const QString text = document.toRawText();
    for (const Probe &probe : probes) {
        const qsizetype index = text.indexOf(probe.at);
        QVERIFY2(index >= 0, qPrintable(QStringLiteral("\"%1\" not found").arg(probe.at)));
        QTextCursor cursor(const_cast<QTextDocument *>(&document));
        cursor.setPosition(int(index));
        // The format of a character is the one the cursor reports after it.
        cursor.movePosition(QTextCursor::NextCharacter);
        QVariant actual;
        if (probe.property < 0) {
            actual = pseudoProperty(cursor, probe.property);
        } else {
            actual = cursor.charFormat().property(probe.property);
            if (!actual.isValid())
                actual = cursor.blockFormat().property(probe.property);
        }
        const QString what = QStringLiteral("property 0x%1 at \"%2\": %3, expected %4")
                                 .arg(probe.property, 0, 16)
                                 .arg(probe.at)
                                 .arg(actual.toString(), probe.value.toString());
        if (probe.value.userType() == QMetaType::Double || actual.userType() == QMetaType::Double)
            QVERIFY2(qAbs(actual.toDouble() - probe.value.toDouble()) < 0.01, qPrintable(what));
        else if (probe.value.userType() == QMetaType::QColor)
            QVERIFY2(actual.value<QBrush>().color() == probe.value.value<QColor>(),
                     qPrintable(what));
        else
            QVERIFY2(actual == probe.value, qPrintable(what));
    }
}

} // namespace

Q_DECLARE_METATYPE(Probes)

class TestRtfReader : public QObject
{
    Q_OBJECT

private slots:
    void features_data();
    void features();
    void damaged_data();
    void damaged();
    void isRtf_data();
    void isRtf();
};

void TestRtfReader::features_data()
{
    QTest::addColumn<QByteArray>("rtf");
    QTest::addColumn<QString>("text");
    QTest::addColumn<Probes>("probes");

    const QVariant unset;
    const QByteArray png = pngBytes();

    QTest::newRow("windows-1250 \\'hh") << QByteArray(
        "{\\rtf1\\ansi\\ansicpg1250{\\fonttbl{\\f0\\fcharset238 Arial;}}\\f0 "
        "Za\\'bf\\'f3\\'b3\\'e6 g\\'ea\\'9cl\\'b9 ja\\'9f\\'f1\\par \\'a3\\'d3D\\'8f}")
                                        << QStringLiteral("Zażółć gęślą jaźń\nŁÓDŹ")
                                        << Probes {{QStringLiteral("Za"), QTextFormat::FontFamilies,
                                                    QStringList {QStringLiteral("Arial")}}};
    QTest::newRow("\\uN in a font name, between bytes of its code page")
        << QByteArray(
               "{\\rtf1{\\fonttbl{\\f0\\fcharset238 Za\\u380\\'bf\\'f3\\u322\\'b3 Sans;}}\\f0 x}")
        << QStringLiteral("x")
        << Probes {{QStringLiteral("x"), QTextFormat::FontFamilies,
                    QStringList {QStringLiteral("Zażół Sans")}}};
    QTest::newRow("\\fcharset of the font beats \\ansicpg")
        << QByteArray("{\\rtf1\\ansi\\ansicpg1252{\\fonttbl{\\f0 Times;}{\\f1\\fcharset238 Arial;}}"
                      "\\f0 caf\\'e9 \\f1 \\'b9}")
        << QStringLiteral("café ą") << Probes {};
    QTest::newRow("raw 8-bit text in windows-1250")
        << QByteArray("{\\rtf1\\ansi\\ansicpg1250 \xa3\xf3\x64\xbe}") << QStringLiteral("Łódľ")
        << Probes {};
    QTest::newRow("\\fcharset0 is windows-1252 under another \\ansicpg")
        << QByteArray(
               "{\\rtf1\\ansi\\ansicpg950{\\fonttbl\\f0\\fnil\\fcharset0 Lucida;}\\f0 \\'a9 2024}")
        << QStringLiteral("© 2024") << Probes {};
    QTest::newRow("Symbol font as Unicode, other symbol fonts as private use")
        << QByteArray("{\\rtf1{\\fonttbl{\\f0 Arial;}{\\f1\\fcharset2 Symbol;}{\\f2\\fcharset2 "
                      "Wingdings;}}"
                      "\\f1 W\\'a3\\u-3987\\'6d\\f0 =\\f2 J}")
        << QStringLiteral("Ω≤μ=\uf04a")
        << Probes {{QStringLiteral("Ω"), QTextFormat::FontFamilies,
                    QStringList {QStringLiteral("Symbol")}}};
    QTest::newRow("double-byte code page, trail byte as \\'7b")
        << QByteArray("{\\rtf1\\ansi\\ansicpg932{\\fonttbl{\\f0\\fcharset128 MS Mincho;}}\\f0 "
                      "\\'93\\'fa\\'96\\'7b}")
        << QStringLiteral("日本") << Probes {};
    QTest::newRow("\\uN with \\uc1 skips the fallback")
        << QByteArray("{\\rtf1\\ansi\\uc1 \\u380?\\u243\\'f3\\u322 ?}") << QStringLiteral("żół")
        << Probes {};
    QTest::newRow("\\uN with \\uc0 has no fallback")
        << QByteArray("{\\rtf1\\ansi\\uc0 \\u321 \\u243 dz}") << QStringLiteral("Łódz")
        << Probes {};
    QTest::newRow("\\uc2 skips two, the group restores \\uc")
        << QByteArray("{\\rtf1\\ansi{\\uc2 \\u8364\\'80\\'80}\\u8364?x}") << QStringLiteral("€€x")
        << Probes {};
    QTest::newRow("negative \\uN")
        << QByteArray("{\\rtf1\\uc1 \\u-1280?}") << QStringLiteral("\ufb00") << Probes {};
    QTest::newRow("surrogate pair") << QByteArray("{\\rtf1\\uc1 \\u-10179?\\u-8704?}")
                                    << QStringLiteral("\U0001F600") << Probes {};
    QTest::newRow("lone surrogate replaced")
        << QByteArray("{\\rtf1\\uc1 a\\u-10179?b}") << QStringLiteral("a\ufffdb") << Probes {};

    QTest::newRow("group restores formatting")
        << QByteArray("{\\rtf1 a{\\b b{\\i c}d}e}") << QStringLiteral("abcde")
        << Probes {{QStringLiteral("a"), QTextFormat::FontWeight, unset},
                   {QStringLiteral("b"), QTextFormat::FontWeight, int(QFont::Bold)},
                   {QStringLiteral("c"), QTextFormat::FontItalic, true},
                   {QStringLiteral("c"), QTextFormat::FontWeight, int(QFont::Bold)},
                   {QStringLiteral("d"), QTextFormat::FontItalic, unset},
                   {QStringLiteral("e"), QTextFormat::FontWeight, unset}};
    QTest::newRow("character formatting")
        << QByteArray(
               "{\\rtf1{\\colortbl;\\red255\\green0\\blue0;\\red0\\green0\\blue255;}"
               "\\ul U\\ulnone \\uldash D\\ul0 \\strike S\\strike0 \\super P\\nosupersub "
               "\\sub B\\sub0 \\up6 R\\up0 \\fs40 L\\fs24 \\cf1 C\\cf0 \\highlight2 H\\highlight0 "
               "\\cb1 G\\cb0 \\caps K\\caps0 \\plain\\b\\i x\\plain y}")
        << QStringLiteral("UDSPBRLCHGKxy")
        << Probes {{QStringLiteral("U"), QTextFormat::TextUnderlineStyle,
                    int(QTextCharFormat::SingleUnderline)},
                   {QStringLiteral("D"), QTextFormat::TextUnderlineStyle,
                    int(QTextCharFormat::DashUnderline)},
                   {QStringLiteral("S"), QTextFormat::FontStrikeOut, true},
                   {QStringLiteral("S"), QTextFormat::TextUnderlineStyle, unset},
                   {QStringLiteral("P"), QTextFormat::TextVerticalAlignment,
                    int(QTextCharFormat::AlignSuperScript)},
                   {QStringLiteral("B"), QTextFormat::TextVerticalAlignment,
                    int(QTextCharFormat::AlignSubScript)},
                   {QStringLiteral("R"), QTextFormat::TextVerticalAlignment,
                    int(QTextCharFormat::AlignSuperScript)},
                   {QStringLiteral("L"), QTextFormat::FontPointSize, 20.0},
                   {QStringLiteral("C"), QTextFormat::ForegroundBrush, QColor(255, 0, 0)},
                   {QStringLiteral("H"), QTextFormat::BackgroundBrush, QColor(0, 0, 255)},
                   {QStringLiteral("H"), QTextFormat::ForegroundBrush, unset},
                   {QStringLiteral("G"), QTextFormat::BackgroundBrush, QColor(255, 0, 0)},
                   {QStringLiteral("K"), QTextFormat::FontCapitalization, int(QFont::AllUppercase)},
                   {QStringLiteral("x"), QTextFormat::FontItalic, true},
                   {QStringLiteral("y"), QTextFormat::FontItalic, unset},
                   {QStringLiteral("y"), QTextFormat::FontPointSize, 12.0}};

    QTest::newRow("paragraph alignment, indents, spacing")
        << QByteArray(
               "{\\rtf1\\pard\\qc a\\par\\pard\\qr\\li720\\ri360\\fi-360\\sb120\\sa240 b\\par"
               "\\pard\\qj\\sl360\\slmult1 c\\par\\pard d}")
        << QStringLiteral("a\nb\nc\nd")
        << Probes {{QStringLiteral("a"), QTextFormat::BlockAlignment, int(Qt::AlignHCenter)},
                   {QStringLiteral("b"), QTextFormat::BlockAlignment, int(Qt::AlignRight)},
                   {QStringLiteral("b"), QTextFormat::BlockLeftMargin, 48.0},
                   {QStringLiteral("b"), QTextFormat::BlockRightMargin, 24.0},
                   {QStringLiteral("b"), QTextFormat::TextIndent, -24.0},
                   {QStringLiteral("b"), QTextFormat::BlockTopMargin, 8.0},
                   {QStringLiteral("b"), QTextFormat::BlockBottomMargin, 16.0},
                   {QStringLiteral("c"), QTextFormat::BlockAlignment, int(Qt::AlignJustify)},
                   {QStringLiteral("c"), QTextFormat::LineHeight, 150.0},
                   {QStringLiteral("c"), QTextFormat::LineHeightType,
                    int(QTextBlockFormat::ProportionalHeight)},
                   {QStringLiteral("d"), QTextFormat::BlockAlignment, int(Qt::AlignLeft)},
                   {QStringLiteral("d"), QTextFormat::BlockLeftMargin, unset}};
    QTest::newRow("\\line, \\tab, \\page and special characters")
        << QByteArray("{\\rtf1 a\\line b\\tab c\\emdash\\~\\ldblquote d\\rdblquote\\page e}")
        << QStringLiteral("a\nb\tc— “d”\ne")
        << Probes {{QStringLiteral("e"), QTextFormat::PageBreakPolicy,
                    int(QTextFormat::PageBreak_AlwaysBefore)},
                   {QStringLiteral("a"), QTextFormat::PageBreakPolicy, unset}};

    QTest::newRow("bullet and numbered lists from \\ls")
        << QByteArray("{\\rtf1" + listTables()
                      + "{\\listtext\\'95\\tab}\\pard\\ls1 "
                        "one\\par{\\listtext\\'95\\tab}\\pard\\ls1 two\\par"
                        "{\\listtext 1.\\tab}\\pard\\ls2 first\\par{\\listtext "
                        "a.\\tab}\\pard\\ls2\\ilvl1 sub\\par"
                        "\\pard plain}")
        << QStringLiteral("one\ntwo\nfirst\nsub\nplain")
        << Probes {{QStringLiteral("two"), ListStyle, int(QTextListFormat::ListDisc)},
                   {QStringLiteral("two"), ListItems, 2},
                   {QStringLiteral("first"), ListStyle, int(QTextListFormat::ListDecimal)},
                   {QStringLiteral("first"), ListIndent, 1},
                   {QStringLiteral("sub"), ListStyle, int(QTextListFormat::ListLowerAlpha)},
                   {QStringLiteral("sub"), ListIndent, 2},
                   {QStringLiteral("plain"), ListStyle, unset}};
    QTest::newRow("old-style \\pn list")
        << QByteArray("{\\rtf1\\pard{\\pntext 1.\\tab}{\\*\\pn\\pnlvlbody\\pndec{\\pntxta .}}a\\par"
                      "\\pard{\\pntext 2.\\tab}{\\*\\pn\\pnlvlbody\\pndec{\\pntxta .}}b}")
        << QStringLiteral("a\nb")
        << Probes {{QStringLiteral("b"), ListStyle, int(QTextListFormat::ListDecimal)},
                   {QStringLiteral("b"), ListItems, 2}};
    QTest::newRow("\\listtext without a list is text")
        << QByteArray("{\\rtf1{\\listtext 1.\\tab}\\pard first}") << QStringLiteral("1.\tfirst")
        << Probes {{QStringLiteral("first"), ListStyle, unset}};

    QTest::newRow("2x2 table") << QByteArray(
        "{\\rtf1\\trowd\\clbrdrt\\brdrs\\cellx1440\\cellx4320\\pard\\intbl a\\cell b\\cell\\row"
        "\\trowd\\cellx1440\\cellx4320\\pard\\intbl c\\cell d\\par e\\cell\\row\\pard after}")
                               << QStringLiteral("\na\nb\nc\nd\ne\nafter")
                               << Probes {{QStringLiteral("a"), TableCell, QStringLiteral("0,0")},
                                          {QStringLiteral("b"), TableCell, QStringLiteral("0,1")},
                                          {QStringLiteral("c"), TableCell, QStringLiteral("1,0")},
                                          {QStringLiteral("e"), TableCell, QStringLiteral("1,1")},
                                          {QStringLiteral("d"), TableRows, 2},
                                          {QStringLiteral("d"), TableColumns, 2},
                                          {QStringLiteral("after"), TableDepth, 0}};
    QTest::newRow("three rows, then a second table") << QByteArray(
        "{\\rtf1\\trowd\\cellx1000\\pard\\intbl a\\cell\\row\\intbl b\\cell\\row"
        "\\intbl c\\cell\\row\\pard between\\par\\trowd\\cellx1000\\pard\\intbl d\\cell\\row}")
                                                     << QStringLiteral("\na\nb\nc\nbetween\nd\n")
                                                     << Probes {
                                                            {QStringLiteral("c"), TableRows, 3},
                                                            {QStringLiteral("c"), TableCell,
                                                             QStringLiteral("2,0")},
                                                            {QStringLiteral("between"), TableDepth,
                                                             0},
                                                            {QStringLiteral("d"), TableRows, 1}};
    QTest::newRow("nested table")
        << QByteArray(
               "{\\rtf1\\trowd\\cellx4000\\cellx8000\\pard\\intbl left\\cell"
               "\\pard\\intbl\\itap2 x\\nestcell y\\nestcell{\\*\\nesttableprops\\trowd\\cellx1000"
               "\\cellx2000\\nestrow}{\\nonesttables\\par}\\pard\\intbl\\itap1 right\\cell\\row}")
        << QStringLiteral("\nleft\n\nx\ny\nright\n")
        << Probes {{QStringLiteral("x"), TableDepth, 2},
                   {QStringLiteral("y"), TableCell, QStringLiteral("0,1")},
                   {QStringLiteral("right"), TableDepth, 1},
                   {QStringLiteral("right"), TableCell, QStringLiteral("0,1")}};

    QTest::newRow("PNG picture in hex, sized by goal and scale")
        << QByteArray(
               "{\\rtf1 a{\\pict\\pngblip\\picw2\\pich3\\picwgoal600\\pichgoal900\\picscalex50 "
               + png.toHex() + "}b}")
        << QStringLiteral("ab")
        << Probes {{QStringLiteral("\ufffc"), QTextFormat::ImageWidth, 20.0},
                   {QStringLiteral("\ufffc"), QTextFormat::ImageHeight, 60.0},
                   {QStringLiteral("\ufffc"), ImageSize, QSize(2, 3)}};
    QTest::newRow("PNG picture as \\bin")
        << QByteArray("{\\rtf1{\\*\\shppict{\\pict\\pngblip\\bin" + QByteArray::number(png.size())
                      + ' ' + png + "}}{\\nonshppict{\\pict\\wmetafile8 00}}}")
        << QString()
        << Probes {{QStringLiteral("\ufffc"), ImageSize, QSize(2, 3)},
                   {QStringLiteral("\ufffc"), QTextFormat::ImageWidth, 2.0}};
    QTest::newRow("metafile as a frame of its size")
        << QByteArray(
               "{\\rtf1{\\pict\\wmetafile8\\picw1000\\pich500\\picwgoal1500\\pichgoal750 0102}}")
        << QString()
        << Probes {{QStringLiteral("\ufffc"), QTextFormat::ImageWidth, 100.0},
                   {QStringLiteral("\ufffc"), ImageSize, QSize(100, 50)}};

    QTest::newRow("SYMBOL field with an empty result") << QByteArray(
        "{\\rtf1 ({\\field{\\*\\fldinst SYMBOL 87 \\\\f \"Symbol\" \\\\s 12}{\\fldrslt }})}")
                                                       << QStringLiteral("(Ω)") << Probes {};
    QTest::newRow("hyperlink field")
        << QByteArray("{\\rtf1 see {\\field{\\*\\fldinst{HYPERLINK \"https://example.org/a?b=1\"}}"
                      "{\\fldrslt{\\ul link}}} end}")
        << QStringLiteral("see link end")
        << Probes {{QStringLiteral("link"), QTextFormat::AnchorHref,
                    QStringLiteral("https://example.org/a?b=1")},
                   {QStringLiteral("link"), QTextFormat::IsAnchor, true},
                   {QStringLiteral("end"), QTextFormat::IsAnchor, unset}};
    QTest::newRow("hyperlink to a bookmark") << QByteArray(
        "{\\rtf1{\\field{\\*\\fldinst HYPERLINK \\\\l \"sec2\" \\\\o \"tip\"}{\\fldrslt go}}}")
                                             << QStringLiteral("go")
                                             << Probes {{QStringLiteral("go"),
                                                         QTextFormat::AnchorHref,
                                                         QStringLiteral("#sec2")}};
    QTest::newRow("other field shows its result")
        << QByteArray("{\\rtf1 page {\\field{\\*\\fldinst PAGE}{\\fldrslt 3}}}")
        << QStringLiteral("page 3") << Probes {{QStringLiteral("3"), QTextFormat::IsAnchor, unset}};

    QTest::newRow("ignorable destination")
        << QByteArray("{\\rtf1 a{\\*\\unknowndest hidden {\\b words}}b{\\*\\bkmkstart x}c}")
        << QStringLiteral("abc") << Probes {};
    QTest::newRow("non-text destinations") << QByteArray(
        "{\\rtf1{\\info{\\title T}{\\author A}}{\\stylesheet{\\s0 Normal;}}{\\header H}"
        "{\\footer F}{\\*\\generator G;}body{\\footnote note}}")
                                           << QStringLiteral("body") << Probes {};
    QTest::newRow("unknown control words are ignored")
        << QByteArray("{\\rtf1 a\\foo b\\bar-12 c\\lang1045\\noproof d}") << QStringLiteral("abcd")
        << Probes {};
    QTest::newRow("\\upr takes its Unicode part")
        << QByteArray("{\\rtf1{\\upr{L}{\\*\\ud{\\u321?}}}}") << QStringLiteral("Ł") << Probes {};
    QTest::newRow("hidden text") << QByteArray("{\\rtf1 a{\\v secret}b}") << QStringLiteral("ab")
                                 << Probes {};
    QTest::newRow("escaped characters and \\bin outside pictures")
        << QByteArray("{\\rtf1 \\{x\\}\\\\\\bin3 {}}y}") << QStringLiteral("{x}\\y") << Probes {};
}

void TestRtfReader::features()
{
    QFETCH(QByteArray, rtf);
    QFETCH(QString, text);
    QFETCH(Probes, probes);

    QTextDocument document;
    QString error;
    QVERIFY2(RtfReader::read(rtf, &document, &error), qPrintable(error));
    QCOMPARE(RtfReader::plainText(document), text);
    checkProbes(document, probes);
}

void TestRtfReader::damaged_data()
{
    QTest::addColumn<QByteArray>("data");
    QTest::addColumn<bool>("complete");
    QTest::addColumn<QString>("text");

    QTest::newRow("plain UTF-8 text")
        << QString::fromUtf8("Zażółć\ngęślą").toUtf8() << true << QStringLiteral("Zażółć\ngęślą");
    QTest::newRow("plain windows-1250 text")
        << QByteArray("\xa3\xf3\x64\xbe") << true << QStringLiteral("Łódľ");
    QTest::newRow("empty") << QByteArray() << true << QString();
    QTest::newRow("cut short") << QByteArray("{\\rtf1 abc{\\b def") << false
                               << QStringLiteral("abcdef");
    QTest::newRow("cut short in a picture")
        << QByteArray("{\\rtf1 a{\\pict\\pngblip 89504e47") << false << QStringLiteral("a");
    QTest::newRow("\\bin longer than the data")
        << QByteArray("{\\rtf1 a{\\pict\\bin1000 xyz}}") << false << QStringLiteral("a");
    QTest::newRow("nested too deeply")
        << QByteArray("{\\rtf1 a" + QByteArray(100000, '{') + "b" + QByteArray(100000, '}') + "c}")
        << false << QStringLiteral("ac");
    QTest::newRow("huge numbers are clamped") << QByteArray(
        "{\\rtf1\\fs99999999999999\\uc99999999999 a\\cellx-99999999999\\li99999999999 b}")
                                              << true << QStringLiteral("ab");
    QTest::newRow("text after the document is ignored")
        << QByteArray("{\\rtf1 a}}garbage{") << true << QStringLiteral("a");
    QTest::newRow("control word cut at the end")
        << QByteArray("{\\rtf1 a}\\") << true << QStringLiteral("a");
    QTest::newRow("lists emptied in a cell beyond the column limit")
        << QByteArray(
               "{\\rtf1" + listTables() + "\\trowd"
               + QByteArray("\\pard\\intbl x\\cell").repeated(62)
               + "\\pard\\intbl\\ls1\\cell\\pard\\intbl\\ls2\\cell\\pard\\intbl\\ls1 y\\cell\\row}")
        << true
        << QString(QStringLiteral("\n") + QStringLiteral("x\n").repeated(62)
                   + QStringLiteral("y\n"));
    QTest::newRow("cells without a table")
        << QByteArray("{\\rtf1 a\\cell b\\row\\nestrow c}") << true << QStringLiteral("a\nb\nc");
}

void TestRtfReader::damaged()
{
    QFETCH(QByteArray, data);
    QFETCH(bool, complete);
    QFETCH(QString, text);

    QTextDocument document;
    QString error;
    QCOMPARE(RtfReader::read(data, &document, &error), complete);
    QCOMPARE(error.isEmpty(), complete);
    QCOMPARE(RtfReader::plainText(document), text);
}

void TestRtfReader::isRtf_data()
{
    QTest::addColumn<QByteArray>("data");
    QTest::addColumn<bool>("rtf");

    QTest::newRow("rtf") << QByteArray("{\\rtf1 a}") << true;
    QTest::newRow("after a byte order mark and a line end")
        << QByteArray("\xef\xbb\xbf\r\n{\\rtf1}") << true;
    QTest::newRow("plain text") << QByteArray("notatka") << false;
    QTest::newRow("a stray byte first") << QByteArray("/{\\rtf1}") << false;
    QTest::newRow("just a brace") << QByteArray("{") << false;
}

void TestRtfReader::isRtf()
{
    QFETCH(QByteArray, data);
    QFETCH(bool, rtf);
    QCOMPARE(RtfReader::isRtf(data), rtf);
}

QTEST_MAIN(TestRtfReader)
#include "tst_rtfreader.moc"
