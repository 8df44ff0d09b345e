// Reads every file of the shared RTF corpus and compares our plain text with
// the reference text LibreOffice made of it, word by word.

#include "rtf/rtfreader.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QRegularExpression>
#include <QTest>
#include <QTextDocument>

#include <algorithm>
#include <vector>

namespace {

QString corpusDir()
{
    return QStringLiteral(VOLTARIS_RTF_CORPUS);
}

// Files whose damage is the file's own: the reader must say so, and must not
// crash on them. (RtfParserTest_fail_1 and _2 only have bytes after the
// closing brace, which are ignored without complaint.)
const QStringList damagedFiles = {
    QStringLiteral("rtfpipe/RtfParserTest_fail_3.rtf"), // cut short
};

struct ExpectedMismatch
{
    const char *file;
    double minimumSimilarity;
    const char *reason;
};

// Files we knowingly read differently from LibreOffice. A file that falls
// below its floor, or a file not listed here that stops matching, fails.
const ExpectedMismatch expectedMismatches[] = {
    {"rtfjs/sample.rtf", 0.99,
     "hidden text (\\v): LibreOffice exports it, we hide it as word processors do"},
    {"rtfpipe/Issue50-1.rtf", 0.99,
     "hidden text (\\v): LibreOffice exports it, we hide it as word processors do"},
    {"rtfpipe/Issue51.rtf", 0.99,
     "hidden text (\\v): LibreOffice exports it, we hide it as word processors do"},
    {"rtfpipe/rtf2xml__inline_mix.rtf", 0.99,
     "hidden text (\\v): LibreOffice exports it, we hide it as word processors do"},
    {"rtfpipe/rtf2xml__old3_from_web.rtf", 0.99,
     "hidden text (\\v) that LibreOffice exports, and Symbol-font Greek letters"},
    {"rtfpipe/Test01.rtf", 0.95,
     "the Symbol font: we show the characters its bytes stand for (\\u03b1, \\u03a9, \\u2264...), "
     "LibreOffice keeps private-use code points that need the font"},
    {"rtfpipe/rtf2xml__symbol.rtf", 0.65,
     "the Symbol font: we show the characters its bytes stand for (\\u03b1, \\u03a9, \\u2264...), "
     "LibreOffice keeps private-use code points that need the font"},
    {"rtfpipe/rtf2xml__ted_mixed_faces.rtf", 0.88,
     "the Symbol font: we show the characters its bytes stand for (\\u03b1, \\u03a9, \\u2264...), "
     "LibreOffice keeps private-use code points that need the font"},
    {"rtfparserkit/parser__standard__data__testJapaneseUtf8Encoding.rtf", 0.0,
     "the font says \\cpg65001: we decode UTF-8 (\u4e2d\u570b), LibreOffice shows the bytes as "
     "windows-1252"},
    {"rtfpipe/phprtflite__footnotes.rtf", 0.97,
     "footnote marks: we number them 1, 2, 3...; LibreOffice numbers footnotes and endnotes "
     "apart, endnotes in Roman numerals"},
    {"rtfpipe/phprtflite__formfields.rtf", 0.91,
     "a drop-down form field: we show its result, LibreOffice makes a control without text"},
    {"rtfpipe/rtf2xml__fields_simple_format_switch.rtf", 0.85,
     "fields: we show the stored result, LibreOffice computes AUTHOR and COMMENTS again"},
    {"rtfpipe/RtfParserTest_fail_0.rtf", 0.0,
     "a stray byte before {\\rtf1: plain text for us, nothing for LibreOffice's forced RTF filter"},
    {"rtfpipe/RtfParserTest_fail_5.rtf", 0.0,
     "not RTF at all: plain text for us, nothing for LibreOffice's forced RTF filter"},
};

const ExpectedMismatch *expectedMismatch(const QString &file)
{
    for (const ExpectedMismatch &entry : expectedMismatches) {
        if (file == QLatin1String(entry.file))
            return &entry;
    }
    return nullptr;
}

// The words of a text, with list markers at the start of lines left out: the
// reference writes list numbers and bullets as text, our reader makes lists.
QStringList words(const QString &text)
{
    static const QRegularExpression marker(
        QStringLiteral(
            "^\\s*(?:\\(?[0-9]+(?:\\.[0-9]+)*[.)]?|\\(?[a-zA-Z][.)]|\\(?[ivxlcdmIVXLCDM]+[.)]|"
            "[\\x{2022}\\x{00b7}\\x{25aa}\\x{25cf}\\x{25cb}\\x{25a0}\\x{25e6}\\x{2013}\\x{2014}"
            "\\x{2212}\\x{27a2}\\x{2713}\\x{f020}-\\x{f0ff}o\\-*\\x{00a7}"
            "])"
            "(?=\\s)"),
        QRegularExpression::UseUnicodePropertiesOption);
    static const QRegularExpression space(QStringLiteral("\\s+"),
                                          QRegularExpression::UseUnicodePropertiesOption);
    QStringList result;
    QString cleaned = text;
    cleaned.remove(QChar(0xfeff));
    cleaned.replace(QChar::LineSeparator, QLatin1Char('\n'));
    const QStringList lines = cleaned.split(QLatin1Char('\n'));
    for (QString line : lines) {
        line.remove(marker);
        result += line.split(space, Qt::SkipEmptyParts);
    }
    return result;
}

// 2 * (longest common subsequence) / (total words), by the O(ND) edit distance;
// a bag-of-words overlap stands in when the texts differ too much for it.
double similarity(const QStringList &a, const QStringList &b)
{
    if (a.isEmpty() && b.isEmpty())
        return 1.0;
    qsizetype prefix = 0;
    while (prefix < a.size() && prefix < b.size() && a[prefix] == b[prefix])
        ++prefix;
    qsizetype suffix = 0;
    while (suffix < a.size() - prefix && suffix < b.size() - prefix
           && a[a.size() - 1 - suffix] == b[b.size() - 1 - suffix])
        ++suffix;
    const qsizetype n = a.size() - prefix - suffix;
    const qsizetype m = b.size() - prefix - suffix;
    const auto ratio
        = [&](qsizetype common) { return 2.0 * double(common) / double(a.size() + b.size()); };
    if (n == 0 || m == 0)
        return ratio(prefix + suffix);

    const qsizetype maxD = std::min<qsizetype>(n + m, 4000);
    std::vector<qsizetype> v(size_t(2 * maxD + 3), 0);
    const qsizetype offset = maxD + 1;
    for (qsizetype d = 0; d <= maxD; ++d) {
        for (qsizetype k = -d; k <= d; k += 2) {
            qsizetype x
                = (k == -d || (k != d && v[size_t(offset + k - 1)] < v[size_t(offset + k + 1)]))
                ? v[size_t(offset + k + 1)]
                : v[size_t(offset + k - 1)] + 1;
            qsizetype y = x - k;
            while (x < n && y < m && a[prefix + x] == b[prefix + y]) {
                ++x;
                ++y;
            }
            v[size_t(offset + k)] = x;
            if (x >= n && y >= m)
                return ratio(prefix + suffix + (n + m - d) / 2);
        }
    }
    QHash<QString, int> counts;
    for (qsizetype i = prefix; i < a.size() - suffix; ++i)
        ++counts[a[i]];
    qsizetype common = 0;
    for (qsizetype i = prefix; i < b.size() - suffix; ++i) {
        int &count = counts[b[i]];
        if (count > 0) {
            --count;
            ++common;
        }
    }
    return ratio(prefix + suffix + common);
}

QString firstDifference(const QStringList &ours, const QStringList &reference)
{
    qsizetype i = 0;
    while (i < ours.size() && i < reference.size() && ours[i] == reference[i])
        ++i;
    const auto around = [i](const QStringList &list) {
        return list.mid(std::max<qsizetype>(0, i - 3), 8).join(QLatin1Char(' '));
    };
    return QStringLiteral("word %1: ours \"%2\", reference \"%3\"")
        .arg(i)
        .arg(around(ours), around(reference));
}

} // namespace

class TestRtfCorpus : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void corpus();

private:
    QStringList m_files;
};

void TestRtfCorpus::initTestCase()
{
    const QDir dir(corpusDir());
    if (!dir.exists(QStringLiteral("SOURCES.md")))
        QSKIP(qPrintable(QStringLiteral("The RTF corpus is not at %1: check out the shared "
                                        "directory beside the clone to run this test.")
                             .arg(dir.absolutePath())));
    QDirIterator it(dir.absolutePath(), {QStringLiteral("*.rtf")}, QDir::Files,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
        if (!path.contains(QLatin1String("/reference/")))
            m_files.append(dir.relativeFilePath(path));
    }
    m_files.sort();
    QVERIFY2(m_files.size() > 100, "the corpus looks incomplete");
}

void TestRtfCorpus::corpus()
{
    const QDir dir(corpusDir());
    int withReference = 0;
    int fullMatches = 0;
    double lowest = 1.0;
    QString lowestFile;
    QStringList failures;

    for (const QString &file : std::as_const(m_files)) {
        QFile input(dir.filePath(file));
        QVERIFY2(input.open(QIODevice::ReadOnly), qPrintable(file));
        QTextDocument document;
        QString error;
        const bool ok = RtfReader::read(input.readAll(), &document, &error);
        const bool damaged = damagedFiles.contains(file);
        if (!ok && !damaged)
            failures.append(QStringLiteral("%1: unexpected error: %2").arg(file, error));
        if (ok && damaged)
            failures.append(QStringLiteral("%1: damage not reported").arg(file));

        QString referencePath = file;
        referencePath.replace(QRegularExpression(QStringLiteral("\\.rtf$")),
                              QStringLiteral(".lo.txt"));
        QFile referenceFile(dir.filePath(QStringLiteral("reference/") + referencePath));
        if (!referenceFile.open(QIODevice::ReadOnly))
            continue;
        ++withReference;
        const QStringList ours = words(RtfReader::plainText(document));
        const QStringList reference = words(QString::fromUtf8(referenceFile.readAll()));
        const double value = similarity(ours, reference);
        if (value < lowest) {
            lowest = value;
            lowestFile = file;
        }
        const ExpectedMismatch *expected = expectedMismatch(file);
        if (value >= 1.0) {
            ++fullMatches;
            if (expected)
                qInfo("%s now matches fully: drop it from the expected mismatches",
                      qPrintable(file));
            continue;
        }
        qInfo("%s: similarity %.4f, %s", qPrintable(file), value,
              qPrintable(firstDifference(ours, reference)));
        if (!expected)
            failures.append(QStringLiteral("%1: similarity %2").arg(file).arg(value, 0, 'f', 4));
        else if (value < expected->minimumSimilarity)
            failures.append(QStringLiteral("%1: similarity %2 below %3 (%4)")
                                .arg(file)
                                .arg(value, 0, 'f', 4)
                                .arg(expected->minimumSimilarity)
                                .arg(QLatin1String(expected->reason)));
    }

    qInfo("RTF corpus: %lld files read, %d with a reference, %d match fully, lowest word "
          "similarity %.4f (%s)",
          qlonglong(m_files.size()), withReference, fullMatches, lowest, qPrintable(lowestFile));
    QVERIFY2(failures.isEmpty(), qPrintable(failures.join(QLatin1Char('\n'))));
}

QTEST_MAIN(TestRtfCorpus)
#include "tst_rtfcorpus.moc"
