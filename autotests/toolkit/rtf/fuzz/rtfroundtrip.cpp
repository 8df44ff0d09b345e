#include "rtfroundtrip.h"

#include "rtf/rtfreader.h"
#include "rtf/rtftext.h"
#include "rtf/rtfwriter.h"
#include "rtfview.h"

#include <QColor>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextEdit>

#include <array>
#include <vector>

QString checkRtfRoundTrip(QByteArrayView data)
{
    QTextDocument document;
    RtfReader::read(data.toByteArray(), &document);

    const QByteArray written = RtfWriter::write(document);
    QTextDocument again;
    QString error;
    if (!RtfReader::read(written, &again, &error))
        return QStringLiteral("writer output does not read back: ") + error;
    if (RtfReader::plainText(again) != RtfReader::plainText(document))
        return QStringLiteral("writer output reads back with another text");
    return {};
}

namespace {

// Characters worth typing: RTF's own special characters, Polish letters,
// characters the writer escapes with control words, characters outside the
// fallback code page, a pair of surrogates and a combining mark.
const std::array<QStringView, 48> typedCharacters {
    u"a",      u"b",     u"z",          u"A",      u"Z",      u"0",      u" ",      u"  ",
    u"ą",      u"ć",     u"ę",          u"ł",      u"ń",      u"ó",      u"ś",      u"ź",
    u"ż",      u"Ą",     u"Ł",          u"Ż",      u"\\",     u"{",      u"}",      u"\t",
    u"\"",     u";",     u"?",          u"€",      u"—",      u"\u00a0", u"\u00ad", u"\u2011",
    u"日",     u"😀",     u"e\u0301",    u"\ufffd", u"\ufeff", u"\u200b", u"ß",      u"Ω",
    u"\\par ", u"{\\b}", u"\\u-10179?", u"\u2022", u"„",      u"”",      u"Ж",      u"\u00b0",
};

// Fonts a user may pick, Symbol-like ones among them: the reader decodes
// those fonts' bytes by their own tables.
const std::array<QStringView, 8> fontNames {
    u"Tahoma", u"Arial",     u"Times New Roman", u"Courier New",
    u"Symbol", u"Wingdings", u"Zażółć Sans",     u"MS Sans Serif",
};

class Script
{
public:
    explicit Script(QByteArrayView bytes) : m_bytes(bytes) { }

    bool atEnd() const { return m_pos >= m_bytes.size(); }
    int next() { return atEnd() ? 0 : static_cast<unsigned char>(m_bytes[m_pos++]); }

private:
    QByteArrayView m_bytes;
    qsizetype m_pos = 0;
};

QString typedText(Script &script)
{
    QString text;
    const int count = script.next() % 16 + 1;
    for (int i = 0; i < count; ++i) {
        const int pick = script.next();
        if (pick < 0xe0) {
            text += typedCharacters[size_t(pick) % typedCharacters.size()];
            continue;
        }
        // Any code point, control characters and noncharacters included, as
        // pasting may bring them.
        const char32_t high = char32_t(pick - 0xe0) % 17;
        char32_t code = (high << 16) | char32_t(script.next() << 8) | char32_t(script.next());
        if (code >= 0xd800 && code < 0xe000)
            code += 0x10000; // a surrogate pair instead of a lone half
        text += QString::fromUcs4(&code, 1);
    }
    return text;
}

void toggle(QTextCursor &cursor, int what)
{
    const QTextCharFormat current = cursor.charFormat();
    QTextCharFormat change;
    switch (what) {
    case 0:
        change.setFontWeight(current.fontWeight() > QFont::Normal ? QFont::Normal : QFont::Bold);
        break;
    case 1:
        change.setFontItalic(!current.fontItalic());
        break;
    case 2:
        change.setFontUnderline(!current.fontUnderline());
        break;
    default:
        change.setFontStrikeOut(!current.fontStrikeOut());
        break;
    }
    cursor.mergeCharFormat(change);
}

void move(QTextCursor &cursor, int how)
{
    static constexpr std::array operations {
        QTextCursor::Start,         QTextCursor::End,          QTextCursor::PreviousCharacter,
        QTextCursor::NextCharacter, QTextCursor::PreviousWord, QTextCursor::NextWord,
        QTextCursor::StartOfBlock,  QTextCursor::EndOfBlock,   QTextCursor::PreviousBlock,
        QTextCursor::NextBlock,     QTextCursor::WordLeft,     QTextCursor::NextCharacter,
    };
    const auto mode = how & 0x80 ? QTextCursor::KeepAnchor : QTextCursor::MoveAnchor;
    cursor.movePosition(operations[size_t(how & 0x7f) % operations.size()], mode,
                        (how >> 4 & 0x7) + 1);
}

void play(QByteArrayView bytes, QTextCursor &cursor)
{
    Script script(bytes);
    while (!script.atEnd()) {
        switch (script.next() % 14) {
        case 0:
        case 1:
            cursor.insertText(typedText(script));
            break;
        case 2:
            toggle(cursor, script.next() % 4);
            break;
        case 3: {
            QTextCharFormat size;
            size.setFontPointSize(script.next() % 96 + 1);
            cursor.mergeCharFormat(size);
            break;
        }
        case 4: {
            QTextCharFormat colour;
            const int red = script.next();
            const int green = script.next();
            colour.setForeground(QColor(red, green, script.next()));
            cursor.mergeCharFormat(colour);
            break;
        }
        case 5: {
            QTextCharFormat font;
            font.setFontFamilies({fontNames[size_t(script.next()) % fontNames.size()].toString()});
            cursor.mergeCharFormat(font);
            break;
        }
        case 6:
            cursor.insertText(QString(QChar::LineSeparator));
            break;
        case 7:
            cursor.insertBlock();
            break;
        case 8:
        case 9:
            move(cursor, script.next());
            break;
        case 10:
            if (cursor.hasSelection())
                cursor.removeSelectedText();
            else
                cursor.deleteChar();
            break;
        case 11:
            cursor.select(script.next() & 1 ? QTextCursor::Document : QTextCursor::WordUnderCursor);
            break;
        case 12:
            cursor.clearSelection();
            break;
        default:
            toggle(cursor, script.next() % 4);
            cursor.insertText(typedText(script));
            break;
        }
    }
}

// The character formats the notes toolbar shows, as the user sees them:
// unset properties take the document's default font.
QString shownFormat(const QTextCharFormat &format, const QFont &defaultFont)
{
    const QStringList families = format.fontFamilies().toStringList();
    const QString family = families.isEmpty() || families.first().isEmpty() ? defaultFont.family()
                                                                            : families.first();
    const qreal size = format.hasProperty(QTextFormat::FontPointSize) ? format.fontPointSize()
                                                                      : defaultFont.pointSizeF();
    const QString colour = format.foreground().style() == Qt::NoBrush
        ? QStringLiteral("-")
        : format.foreground().color().name();
    return QStringLiteral("%1 %2pt %3 %4%5%6%7")
        .arg(family)
        .arg(size)
        .arg(colour)
        .arg(QChar(format.fontWeight() > QFont::Normal ? u'B' : u'-'))
        .arg(QChar(format.fontItalic() ? u'I' : u'-'))
        .arg(QChar(format.fontUnderline() ? u'U' : u'-'))
        .arg(QChar(format.fontStrikeOut() ? u'S' : u'-'));
}

struct Run
{
    QString text;
    QString format;
    bool operator==(const Run &) const = default;
};

// Each paragraph as runs of text in one shown format; with `clean`, the text
// as a document read from RTF may hold it.
std::vector<std::vector<Run>> describe(const QTextDocument &document, bool clean)
{
    std::vector<std::vector<Run>> blocks;
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
        std::vector<Run> runs;
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextFragment fragment = it.fragment();
            const QString text = clean ? Rtf::documentText(fragment.text()) : fragment.text();
            if (text.isEmpty())
                continue;
            const QString format = shownFormat(fragment.charFormat(), document.defaultFont());
            if (!runs.empty() && runs.back().format == format)
                runs.back().text += text;
            else
                runs.push_back({text, format});
        }
        blocks.push_back(std::move(runs));
    }
    return blocks;
}

QString firstDifference(const std::vector<std::vector<Run>> &expected,
                        const std::vector<std::vector<Run>> &actual)
{
    if (expected.size() != actual.size())
        return QStringLiteral("%1 paragraphs instead of %2")
            .arg(actual.size())
            .arg(expected.size());
    for (size_t b = 0; b < expected.size(); ++b) {
        const size_t runs = std::max(expected[b].size(), actual[b].size());
        for (size_t r = 0; r < runs; ++r) {
            const Run missing {QStringLiteral("(nothing)"), QString()};
            const Run &want = r < expected[b].size() ? expected[b][r] : missing;
            const Run &got = r < actual[b].size() ? actual[b][r] : missing;
            if (!(want == got))
                return QStringLiteral("paragraph %1: \"%2\" [%3] instead of \"%4\" [%5]")
                    .arg(b)
                    .arg(QString::fromLatin1(got.text.toUtf8().toPercentEncoding(" ")), got.format,
                         QString::fromLatin1(want.text.toUtf8().toPercentEncoding(" ")),
                         want.format);
        }
    }
    return {};
}

} // namespace

NotesRoundTrip::NotesRoundTrip() : m_typed(new QTextEdit), m_loaded(new QTextEdit)
{
    m_typed->setUndoRedoEnabled(false);
}

NotesRoundTrip::~NotesRoundTrip() = default;

QString NotesRoundTrip::check(QByteArrayView script)
{
    m_typed->clear();
    m_typed->setCurrentCharFormat(QTextCharFormat());
    QTextCursor cursor(m_typed->document());
    play(script, cursor);

    const QByteArray saved = RtfEditing::save(*m_typed);
    QString error;
    if (!RtfEditing::load(m_loaded.get(), saved, &error))
        return QStringLiteral("the saved note does not load: ") + error;
    const QString difference = firstDifference(describe(*m_typed->document(), true),
                                               describe(*m_loaded->document(), false));
    if (!difference.isEmpty())
        return QStringLiteral("the loaded note differs: ") + difference;
    const QByteArray again = RtfEditing::save(*m_loaded);
    if (again != saved) {
        qsizetype at = 0;
        while (at < saved.size() && at < again.size() && saved[at] == again[at])
            ++at;
        const qsizetype from = std::max<qsizetype>(0, at - 40);
        return QStringLiteral("saving the loaded note gives other bytes: \"%1\" instead of \"%2\"")
            .arg(QString::fromLatin1(again.mid(from, 120)),
                 QString::fromLatin1(saved.mid(from, 120)));
    }
    return {};
}
