// The RTF writer: what it writes, the reader reads back with the same text
// and formats.

#include "rtf/rtfreader.h"
#include "rtf/rtfwriter.h"

#include <QImage>
#include <QTest>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextFrame>
#include <QTextList>
#include <QTextTable>

namespace {

using Builder = void (*)(QTextCursor &);

QString brush(const QBrush &b)
{
    return b.style() == Qt::NoBrush ? QString() : b.color().name();
}

// A canonical description of everything the writer promises to keep.
void describeFrame(const QTextFrame *frame, QString &out);

void describeBlock(const QTextBlock &block, QString &out)
{
    const QTextBlockFormat f = block.blockFormat();
    out += QStringLiteral("P[a%1 l%2 r%3 i%4 t%5 b%6 h%7/%8 pb%9")
               .arg(int(f.alignment() & Qt::AlignHorizontal_Mask))
               .arg(f.leftMargin())
               .arg(f.rightMargin())
               .arg(f.textIndent())
               .arg(f.topMargin())
               .arg(f.bottomMargin())
               .arg(f.lineHeightType())
               .arg(f.lineHeightType() == QTextBlockFormat::SingleHeight ? 0 : f.lineHeight())
               .arg(int(f.pageBreakPolicy()));
    if (const QTextList *list = block.textList())
        out += QStringLiteral(" list%1/%2#%3")
                   .arg(list->format().style())
                   .arg(list->format().indent())
                   .arg(list->itemNumber(block));
    out += QStringLiteral("]");
    for (auto it = block.begin(); !it.atEnd(); ++it) {
        const QTextFragment fragment = it.fragment();
        const QTextCharFormat c = fragment.charFormat();
        if (c.isImageFormat()) {
            const QTextImageFormat image = c.toImageFormat();
            const QImage resource = block.document()
                                        ->resource(QTextDocument::ImageResource, QUrl(image.name()))
                                        .value<QImage>();
            out += QStringLiteral("{img %1x%2 %3x%4}")
                       .arg(image.width())
                       .arg(image.height())
                       .arg(resource.width())
                       .arg(resource.height());
            continue;
        }
        const QStringList families = c.fontFamilies().toStringList();
        out += QStringLiteral("{%1|%2 %3 b%4 i%5 u%6 s%7 v%8 c%9")
                   .arg(fragment.text(), families.value(0))
                   .arg(c.fontPointSize())
                   .arg(c.fontWeight() >= QFont::DemiBold)
                   .arg(c.fontItalic())
                   .arg(int(c.underlineStyle()))
                   .arg(c.fontStrikeOut())
                   .arg(int(c.verticalAlignment()))
                   .arg(int(c.fontCapitalization()));
        out += QStringLiteral(" fg%1 bg%2 href%3}")
                   .arg(brush(c.foreground()), brush(c.background()), c.anchorHref());
    }
    out += QLatin1Char('\n');
}

void describeFrame(const QTextFrame *frame, QString &out)
{
    for (auto it = frame->begin(); !it.atEnd(); ++it) {
        if (const QTextFrame *child = it.currentFrame()) {
            if (const auto *table = qobject_cast<const QTextTable *>(child)) {
                out += QStringLiteral("T%1x%2(\n").arg(table->rows()).arg(table->columns());
                for (int r = 0; r < table->rows(); ++r) {
                    for (int c = 0; c < table->columns(); ++c) {
                        const QTextTableCell cell = table->cellAt(r, c);
                        out += QStringLiteral("C%1,%2:\n").arg(r).arg(c);
                        for (auto cellIt = cell.begin(); !cellIt.atEnd(); ++cellIt) {
                            if (cellIt.currentFrame())
                                describeFrame(cellIt.currentFrame(), out);
                            else
                                describeBlock(cellIt.currentBlock(), out);
                        }
                    }
                }
                out += QStringLiteral(")\n");
            } else {
                describeFrame(child, out);
            }
        } else {
            describeBlock(it.currentBlock(), out);
        }
    }
}

QString describe(const QTextDocument &document)
{
    QString out;
    describeFrame(document.rootFrame(), out);
    return out;
}

QTextCharFormat plain()
{
    QTextCharFormat format;
    format.setFontFamilies({QStringLiteral("Arial")});
    format.setFontPointSize(12);
    return format;
}

void characterFormats(QTextCursor &cursor)
{
    QTextCharFormat f = plain();
    cursor.insertText(QStringLiteral("Zażółć "), f);
    f.setFontWeight(QFont::Bold);
    cursor.insertText(QStringLiteral("gęślą "), f);
    f.setFontItalic(true);
    cursor.insertText(QStringLiteral("jaźń "), f);
    f = plain();
    for (const auto style : {QTextCharFormat::SingleUnderline, QTextCharFormat::DashUnderline,
                             QTextCharFormat::DotLine, QTextCharFormat::WaveUnderline}) {
        f.setUnderlineStyle(style);
        cursor.insertText(QStringLiteral("u%1 ").arg(int(style)), f);
    }
    f = plain();
    f.setFontStrikeOut(true);
    cursor.insertText(QStringLiteral("skreślone "), f);
    f = plain();
    f.setVerticalAlignment(QTextCharFormat::AlignSuperScript);
    cursor.insertText(QStringLiteral("2"), f);
    f.setVerticalAlignment(QTextCharFormat::AlignSubScript);
    cursor.insertText(QStringLiteral("x "), f);
    f = plain();
    f.setFontFamilies({QStringLiteral("Courier New")});
    f.setFontPointSize(7.5);
    f.setForeground(QColor(0x12, 0x34, 0x56));
    f.setBackground(QColor(Qt::yellow));
    cursor.insertText(QStringLiteral("kod "), f);
    f = plain();
    f.setFontCapitalization(QFont::AllUppercase);
    cursor.insertText(QStringLiteral("wersaliki "), f);
    f.setFontCapitalization(QFont::SmallCaps);
    cursor.insertText(QStringLiteral("kapitaliki"), f);
    cursor.insertText(QStringLiteral(" {\\} \t€ 日本 \U0001F600 a\u00a0b"), plain());
}

void alignment(QTextCursor &cursor)
{
    const Qt::Alignment alignments[]
        = {Qt::AlignLeft, Qt::AlignHCenter, Qt::AlignRight, Qt::AlignJustify};
    bool first = true;
    for (const Qt::Alignment align : alignments) {
        QTextBlockFormat f;
        f.setAlignment(align);
        if (align == Qt::AlignRight) {
            f.setLeftMargin(48);
            f.setRightMargin(24);
            f.setTextIndent(-12);
            f.setTopMargin(8);
            f.setBottomMargin(4);
        }
        if (align == Qt::AlignJustify) {
            f.setLineHeight(150, QTextBlockFormat::ProportionalHeight);
            f.setPageBreakPolicy(QTextFormat::PageBreak_AlwaysBefore);
        }
        if (first)
            cursor.setBlockFormat(f);
        else
            cursor.insertBlock(f, plain());
        first = false;
        cursor.insertText(QStringLiteral("akapit %1").arg(int(align)), plain());
    }
}

void lists(QTextCursor &cursor)
{
    cursor.insertText(QStringLiteral("Wstęp"), plain());
    QTextListFormat bullets;
    bullets.setStyle(QTextListFormat::ListDisc);
    cursor.insertBlock(QTextBlockFormat(), plain());
    QTextList *bulletList = cursor.createList(bullets);
    cursor.insertText(QStringLiteral("punkt pierwszy"), plain());
    cursor.insertBlock(QTextBlockFormat(), plain());
    bulletList->add(cursor.block());
    cursor.insertText(QStringLiteral("punkt drugi"), plain());

    QTextListFormat numbers;
    numbers.setStyle(QTextListFormat::ListDecimal);
    cursor.insertBlock(QTextBlockFormat(), plain());
    QTextList *numbered = cursor.createList(numbers);
    cursor.insertText(QStringLiteral("krok 1"), plain());
    QTextListFormat letters;
    letters.setStyle(QTextListFormat::ListLowerAlpha);
    letters.setIndent(2);
    cursor.insertBlock(QTextBlockFormat(), plain());
    cursor.createList(letters);
    cursor.insertText(QStringLiteral("krok 1a"), plain());
    cursor.insertBlock(QTextBlockFormat(), plain());
    numbered->add(cursor.block());
    cursor.insertText(QStringLiteral("krok 2"), plain());
    cursor.insertBlock(QTextBlockFormat(), plain());
    cursor.insertText(QStringLiteral("Koniec"), plain());
}

QTextTableFormat tableFormat(int columns)
{
    QTextTableFormat format;
    format.setBorder(1);
    format.setBorderStyle(QTextFrameFormat::BorderStyle_Solid);
    format.setBorderCollapse(true);
    format.setCellSpacing(0);
    format.setCellPadding(4);
    QList<QTextLength> widths;
    for (int c = 0; c < columns; ++c)
        widths.append(QTextLength(QTextLength::FixedLength, 80 + 20 * c));
    format.setColumnWidthConstraints(widths);
    return format;
}

void table(QTextCursor &cursor)
{
    cursor.insertText(QStringLiteral("Tabela:"), plain());
    QTextTable *table = cursor.insertTable(2, 3, tableFormat(3));
    for (int r = 0; r < 2; ++r) {
        for (int c = 0; c < 3; ++c) {
            QTextCursor cell = table->cellAt(r, c).firstCursorPosition();
            cell.insertText(QStringLiteral("k%1%2").arg(r).arg(c), plain());
            if (r == 1 && c == 2) {
                cell.insertBlock(QTextBlockFormat(), plain());
                cell.insertText(QStringLiteral("drugi akapit"), plain());
            }
        }
    }
    cursor.setPosition(table->lastPosition() + 1);
    cursor.insertText(QStringLiteral("Po tabeli"), plain());
}

void nestedTable(QTextCursor &cursor)
{
    QTextTable *outer = cursor.insertTable(1, 2, tableFormat(2));
    QTextCursor left = outer->cellAt(0, 0).firstCursorPosition();
    left.insertText(QStringLiteral("zewnętrzna"), plain());
    QTextCursor right = outer->cellAt(0, 1).firstCursorPosition();
    right.insertText(QStringLiteral("przed"), plain());
    QTextTable *inner = right.insertTable(2, 2, tableFormat(2));
    for (int r = 0; r < 2; ++r) {
        for (int c = 0; c < 2; ++c)
            inner->cellAt(r, c).firstCursorPosition().insertText(
                QStringLiteral("w%1%2").arg(r).arg(c), plain());
    }
    right.setPosition(inner->lastPosition() + 1);
    right.insertText(QStringLiteral("po"), plain());
}

void linksAndPictures(QTextCursor &cursor)
{
    QTextCharFormat link = plain();
    link.setAnchor(true);
    link.setAnchorHref(QStringLiteral("https://example.org/przepisy?id=1&x=ż#p2"));
    link.setForeground(QColor(Qt::blue));
    link.setUnderlineStyle(QTextCharFormat::SingleUnderline);
    cursor.insertText(QStringLiteral("Zobacz "), plain());
    cursor.insertText(QStringLiteral("przepisy"), link);
    cursor.insertText(QStringLiteral(" oraz "), plain());

    QImage image(5, 4, QImage::Format_ARGB32);
    image.fill(QColor(10, 200, 30));
    cursor.document()->addResource(QTextDocument::ImageResource, QUrl(QStringLiteral("test:img")),
                                   image);
    QTextImageFormat picture;
    picture.setName(QStringLiteral("test:img"));
    picture.setWidth(50);
    picture.setHeight(40);
    cursor.insertImage(picture);
    cursor.insertText(QStringLiteral(" rysunek."), plain());
}

void emptyParagraphs(QTextCursor &cursor)
{
    // Empty paragraphs first, in the middle and last must all survive.
    for (const char *text : {"", "a", "", "", "b", ""}) {
        if (!cursor.atStart())
            cursor.insertBlock(QTextBlockFormat(), plain());
        cursor.insertText(QString::fromLatin1(text), plain());
    }
}

void paragraphFormatUnlikeItsText(QTextCursor &cursor)
{
    // The format the paragraph was started in (bold, struck out, coloured)
    // is not the format of its text.
    QTextCharFormat started = plain();
    started.setFontWeight(QFont::Bold);
    started.setFontStrikeOut(true);
    started.setForeground(QColor(Qt::red));
    cursor.insertText(QStringLiteral("a"), plain());
    cursor.insertBlock(QTextBlockFormat(), started);
    cursor.insertText(QStringLiteral("b"), plain());
}

} // namespace

Q_DECLARE_METATYPE(Builder)

class TestRtfWriter : public QObject
{
    Q_OBJECT

private slots:
    void roundTrip_data();
    void roundTrip();
    void fallbackEncoding();
    void rewrite_data();
    void rewrite();
    void writesOnlyDocumentText();
    void fragmentsWrittenAlike();
};

void TestRtfWriter::roundTrip_data()
{
    QTest::addColumn<Builder>("build");
    QTest::newRow("character formats") << Builder(characterFormats);
    QTest::newRow("alignment, indents, spacing") << Builder(alignment);
    QTest::newRow("lists") << Builder(lists);
    QTest::newRow("table") << Builder(table);
    QTest::newRow("nested table") << Builder(nestedTable);
    QTest::newRow("hyperlink and picture") << Builder(linksAndPictures);
    QTest::newRow("empty paragraphs") << Builder(emptyParagraphs);
    QTest::newRow("paragraph format unlike its text") << Builder(paragraphFormatUnlikeItsText);
}

void TestRtfWriter::roundTrip()
{
    QFETCH(Builder, build);
    QTextDocument original;
    QTextCursor cursor(&original);
    build(cursor);

    const QByteArray rtf = RtfWriter::write(original);
    QTextDocument read;
    QString error;
    QVERIFY2(RtfReader::read(rtf, &read, &error), qPrintable(error));
    QCOMPARE(describe(read), describe(original));

    // Writing what was read gives the same RTF: nothing drifts on a second save.
    QCOMPARE(RtfWriter::write(read), rtf);
}

void TestRtfWriter::fallbackEncoding()
{
    QTextDocument document;
    document.setPlainText(QStringLiteral("żŁ€日"));
    const QByteArray rtf = RtfWriter::write(document);
    QVERIFY(std::all_of(rtf.begin(), rtf.end(), [](char c) { return uchar(c) < 0x80; }));
    // Old readers see windows-1250 bytes; characters outside it become '?'.
    QVERIFY2(rtf.contains("\\u380\\'bf\\u321\\'a3\\u8364\\'80\\u26085?"), rtf.constData());
    QVERIFY(rtf.contains("\\ansicpg1250"));
}

// Text, link targets and bookmark names as the document holds them: valid
// UTF-16 without control characters.
static void verifyDocumentText(const QTextDocument &document)
{
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextCharFormat format = it.fragment().charFormat();
            QStringList texts = format.anchorNames();
            texts << it.fragment().text() << format.anchorHref();
            for (const QString &text : std::as_const(texts)) {
                QVERIFY2(text.isValidUtf16(), text.toUtf8().toHex().constData());
                QVERIFY(std::none_of(text.begin(), text.end(),
                                     [](QChar c) { return c.unicode() < 0x20 && c != u'\t'; }));
            }
        }
    }
}

// Inputs that once read back with another text after a save.
void TestRtfWriter::rewrite_data()
{
    QTest::addColumn<QByteArray>("rtf");
    QTest::addColumn<QString>("text");

    QTest::newRow("lone low surrogate in \\listtext")
        << QByteArray("{\\rtf\\listtext\\u-9129") << QStringLiteral("\ufffd");
    QTest::newRow("lone surrogate in a hyperlink target")
        << QByteArray("{\\rtf1{\\field{\\*\\fldinst HYPERLINK \"a\\u-9129?\"}{\\fldrslt x}}}")
        << QStringLiteral("x");
    QTest::newRow("surrogate pair split by a format change")
        << QByteArray("{\\rtf1{\\b \\u-10179?}\\u-8704?}") << QStringLiteral("\ufffd\ufffd");
    QTest::newRow("control characters as \\uN in \\listtext")
        << QByteArray("{\\rtf1{\\listtext\\u1?\\u-2?a}\\pard b}") << QStringLiteral("ab");
}

void TestRtfWriter::rewrite()
{
    QFETCH(QByteArray, rtf);
    QFETCH(QString, text);

    QTextDocument first;
    RtfReader::read(rtf, &first);
    QCOMPARE(RtfReader::plainText(first), text);
    verifyDocumentText(first);

    const QByteArray written = RtfWriter::write(first);
    QTextDocument second;
    QString error;
    QVERIFY2(RtfReader::read(written, &second, &error), qPrintable(error));
    QCOMPARE(RtfReader::plainText(second), text);
    QCOMPARE(RtfWriter::write(second), written);
}

void TestRtfWriter::writesOnlyDocumentText()
{
    // What a program may put into a document the reader would never make.
    QTextDocument document;
    QTextCursor cursor(&document);
    QString text = QStringLiteral("a#b\ufffe\u0001c\U0001F600");
    text[1] = QChar(0xd800);
    cursor.insertText(text);
    QTextCharFormat bold;
    bold.setFontWeight(QFont::Bold);
    cursor.insertText(QStringLiteral("\u0001\ufffe"), bold);
    QTextCharFormat link;
    link.setAnchor(true);
    QString href = QStringLiteral("x#");
    href[1] = QChar(0xdc00);
    link.setAnchorHref(href);
    cursor.insertText(QStringLiteral("d"), link);
    // A last paragraph with nothing to write is still a paragraph.
    cursor.insertBlock(QTextBlockFormat(), QTextCharFormat());
    cursor.insertText(QStringLiteral("\u0001"), QTextCharFormat());

    const QByteArray written = RtfWriter::write(document);
    QTextDocument read;
    QString error;
    QVERIFY2(RtfReader::read(written, &read, &error), qPrintable(error));
    QCOMPARE(RtfReader::plainText(read), QStringLiteral("a\ufffdbc\U0001F600d\n"));
    verifyDocumentText(read);
    const QTextCursor found = read.find(QStringLiteral("d"));
    QCOMPARE(found.charFormat().anchorHref(), QStringLiteral("x\ufffd"));
    QCOMPARE(RtfWriter::write(read), written);
}

void TestRtfWriter::fragmentsWrittenAlike()
{
    // The default size and the same size set by hand are written alike: read
    // back, they are one fragment, which must be written as before.
    QTextDocument document;
    QFont font = document.defaultFont();
    font.setPointSize(9);
    document.setDefaultFont(font);
    QTextCursor cursor(&document);
    cursor.insertText(QStringLiteral("a\u2028"));
    QTextCharFormat sized;
    sized.setFontPointSize(9);
    cursor.insertText(QStringLiteral("b"), sized);

    const QByteArray written = RtfWriter::write(document);
    QTextDocument read;
    QString error;
    QVERIFY2(RtfReader::read(written, &read, &error), qPrintable(error));
    QCOMPARE(RtfReader::plainText(read), QStringLiteral("a\nb"));
    QCOMPARE(RtfWriter::write(read), written);
}

QTEST_MAIN(TestRtfWriter)
#include "tst_rtfwriter.moc"
