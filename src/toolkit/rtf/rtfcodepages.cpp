#include "rtfcodepages.h"

#include <QMutex>
#include <QStringDecoder>

#include <algorithm>
#include <iterator>
#include <map>
#include <memory>

namespace Rtf {

namespace {

struct CodePageName
{
    int number;
    const char *name;
    bool singleByte;
};

// Names as QStringDecoder (ICU) knows them. Mac code pages for Asian scripts
// are close enough to their Windows counterparts for text.
constexpr CodePageName codePageNames[] = {
    {437, "IBM437", true},
    {708, "ISO-8859-6", true},
    {737, "IBM737", true},
    {775, "IBM775", true},
    {850, "IBM850", true},
    {852, "IBM852", true},
    {855, "IBM855", true},
    {857, "IBM857", true},
    {860, "IBM860", true},
    {861, "IBM861", true},
    {862, "IBM862", true},
    {863, "IBM863", true},
    {864, "IBM864", true},
    {865, "IBM865", true},
    {866, "IBM866", true},
    {869, "IBM869", true},
    {874, "windows-874", true},
    {932, "windows-31j", false},
    {936, "GBK", false},
    {949, "windows-949", false},
    {950, "windows-950", false},
    {1250, "windows-1250", true},
    {1251, "windows-1251", true},
    {1252, "windows-1252", true},
    {1253, "windows-1253", true},
    {1254, "windows-1254", true},
    {1255, "windows-1255", true},
    {1256, "windows-1256", true},
    {1257, "windows-1257", true},
    {1258, "windows-1258", true},
    {10000, "macintosh", true},
    {10001, "windows-31j", false},
    {10002, "windows-950", false},
    {10003, "windows-949", false},
    {10004, "x-mac-arabic", true},
    {10005, "x-mac-hebrew", true},
    {10006, "x-mac-greek", true},
    {10007, "x-mac-cyrillic", true},
    {10008, "GBK", false},
    {10029, "x-mac-centraleurroman", true},
    {10079, "x-mac-icelandic", true},
    {10081, "x-mac-turkish", true},
    {20866, "KOI8-R", true},
    {21866, "KOI8-U", true},
    {28591, "ISO-8859-1", true},
    {28592, "ISO-8859-2", true},
    {65001, "UTF-8", false},
};

struct CharsetCodePage
{
    int charset;
    int codePage;
};

constexpr CharsetCodePage charsetCodePages[] = {
    {0, 1252},   {77, 10000}, {78, 10001}, {79, 10003}, {80, 10008}, {81, 10002},
    {83, 10005}, {84, 10004}, {85, 10006}, {86, 10081}, {87, 10021}, {88, 10029},
    {89, 10007}, {128, 932},  {129, 949},  {130, 1361}, {134, 936},  {136, 950},
    {161, 1253}, {162, 1254}, {163, 1258}, {177, 1255}, {178, 1256}, {186, 1257},
    {204, 1251}, {222, 874},  {238, 1250}, {254, 437},  {255, 850},
};

// The Symbol font from 0x20 on; 0 where it has no glyph.
constexpr char16_t symbolFont[224] = {
    // 0x20
    0x0020,
    0x0021,
    0x2200,
    0x0023,
    0x2203,
    0x0025,
    0x0026,
    0x220b,
    0x0028,
    0x0029,
    0x2217,
    0x002b,
    0x002c,
    0x2212,
    0x002e,
    0x002f,
    0x0030,
    0x0031,
    0x0032,
    0x0033,
    0x0034,
    0x0035,
    0x0036,
    0x0037,
    0x0038,
    0x0039,
    0x003a,
    0x003b,
    0x003c,
    0x003d,
    0x003e,
    0x003f,
    // 0x40
    0x2245,
    0x0391,
    0x0392,
    0x03a7,
    0x0394,
    0x0395,
    0x03a6,
    0x0393,
    0x0397,
    0x0399,
    0x03d1,
    0x039a,
    0x039b,
    0x039c,
    0x039d,
    0x039f,
    0x03a0,
    0x0398,
    0x03a1,
    0x03a3,
    0x03a4,
    0x03a5,
    0x03c2,
    0x03a9,
    0x039e,
    0x03a8,
    0x0396,
    0x005b,
    0x2234,
    0x005d,
    0x22a5,
    0x005f,
    // 0x60
    0x203e,
    0x03b1,
    0x03b2,
    0x03c7,
    0x03b4,
    0x03b5,
    0x03c6,
    0x03b3,
    0x03b7,
    0x03b9,
    0x03d5,
    0x03ba,
    0x03bb,
    0x03bc,
    0x03bd,
    0x03bf,
    0x03c0,
    0x03b8,
    0x03c1,
    0x03c3,
    0x03c4,
    0x03c5,
    0x03d6,
    0x03c9,
    0x03be,
    0x03c8,
    0x03b6,
    0x007b,
    0x007c,
    0x007d,
    0x223c,
    0,
    // 0x80
    0,
    0,
    0,
    0,
    0,
    0,
    0,
    0,
    0,
    0,
    0,
    0,
    0,
    0,
    0,
    0,
    0,
    0,
    0,
    0,
    0,
    0,
    0,
    0,
    0,
    0,
    0,
    0,
    0,
    0,
    0,
    0,
    // 0xa0
    0x20ac,
    0x03d2,
    0x2032,
    0x2264,
    0x2044,
    0x221e,
    0x0192,
    0x2663,
    0x2666,
    0x2665,
    0x2660,
    0x2194,
    0x2190,
    0x2191,
    0x2192,
    0x2193,
    0x00b0,
    0x00b1,
    0x2033,
    0x2265,
    0x00d7,
    0x221d,
    0x2202,
    0x2022,
    0x00f7,
    0x2260,
    0x2261,
    0x2248,
    0x2026,
    0x23d0,
    0x23af,
    0x21b5,
    // 0xc0
    0x2135,
    0x2111,
    0x211c,
    0x2118,
    0x2297,
    0x2295,
    0x2205,
    0x2229,
    0x222a,
    0x2283,
    0x2287,
    0x2284,
    0x2282,
    0x2286,
    0x2208,
    0x2209,
    0x2220,
    0x2207,
    0x00ae,
    0x00a9,
    0x2122,
    0x220f,
    0x221a,
    0x22c5,
    0x00ac,
    0x2227,
    0x2228,
    0x21d4,
    0x21d0,
    0x21d1,
    0x21d2,
    0x21d3,
    // 0xe0
    0x25ca,
    0x2329,
    0x00ae,
    0x00a9,
    0x2122,
    0x2211,
    0x239b,
    0x239c,
    0x239d,
    0x23a1,
    0x23a2,
    0x23a3,
    0x23a7,
    0x23a8,
    0x23a9,
    0x23aa,
    0,
    0x232a,
    0x222b,
    0x2320,
    0x23ae,
    0x2321,
    0x239e,
    0x239f,
    0x23a0,
    0x23a4,
    0x23a5,
    0x23a6,
    0x23ab,
    0x23ac,
    0x23ad,
    0,
};

} // namespace

CodePage::CodePage(int number) : m_number(number)
{
    for (int i = 0; i < 256; ++i)
        m_table[i] = char16_t(i);
    if (number == SymbolCodePage || number == PrivateUseCodePage) {
        for (int i = 0x20; i < 256; ++i) {
            const char16_t symbol = number == SymbolCodePage ? symbolFont[i - 0x20] : 0;
            m_table[i] = symbol ? symbol : char16_t(0xf000 + i);
        }
        return;
    }

    const CodePageName *entry = nullptr;
    for (const CodePageName &candidate : codePageNames) {
        if (candidate.number == number) {
            entry = &candidate;
            break;
        }
    }
    if (!entry) {
        // Unknown code pages read as windows-1252: the ASCII half is right
        // and the rest is at least printable.
        for (const CodePageName &candidate : codePageNames) {
            if (candidate.number == 1252)
                entry = &candidate;
        }
    }
    m_decoderName = entry->name;
    m_singleByte = entry->singleByte;
    if (!m_singleByte)
        return;

    QStringDecoder decoder(entry->name, QStringConverter::Flag::Stateless);
    if (!decoder.isValid())
        return;
    for (int i = 0x80; i < 256; ++i) {
        const char byte = char(i);
        const QString decoded = decoder.decode(QByteArrayView(&byte, 1));
        m_table[i] = decoded.size() == 1 ? decoded.at(0).unicode() : char16_t(0xfffd);
    }
}

void CodePage::decode(QByteArrayView bytes, QString &out) const
{
    if (m_singleByte) {
        const qsizetype start = out.size();
        out.resize(start + bytes.size());
        QChar *dst = out.data() + start;
        for (const char byte : bytes)
            *dst++ = QChar(m_table[static_cast<unsigned char>(byte)]);
        return;
    }
    QStringDecoder decoder(m_decoderName.constData(), QStringConverter::Flag::Stateless);
    if (decoder.isValid())
        out += decoder.decode(bytes);
    else
        out += QString::fromLatin1(bytes);
}

int codePageOfCharset(int charset)
{
    if (charset == 2)
        return SymbolCodePage;
    for (const CharsetCodePage &entry : charsetCodePages) {
        if (entry.charset == charset)
            return entry.codePage;
    }
    return 0;
}

const CodePage *codePage(int number)
{
    // Only known numbers get a page of their own, so that hostile input
    // cannot fill the cache.
    const bool known = number == SymbolCodePage || number == PrivateUseCodePage
        || std::any_of(std::begin(codePageNames), std::end(codePageNames),
                       [number](const CodePageName &entry) { return entry.number == number; });
    if (!known)
        number = 1252;
    static QMutex mutex;
    static std::map<int, std::unique_ptr<CodePage>> pages;
    const QMutexLocker locker(&mutex);
    auto it = pages.find(number);
    if (it == pages.end())
        it = pages.emplace(number, std::make_unique<CodePage>(number)).first;
    return it->second.get();
}

} // namespace Rtf
