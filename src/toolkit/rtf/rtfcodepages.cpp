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

} // namespace

CodePage::CodePage(int number) : m_number(number)
{
    for (int i = 0; i < 256; ++i)
        m_table[i] = char16_t(i);
    if (number == SymbolCodePage)
        return;

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
    const bool known = number == SymbolCodePage
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
