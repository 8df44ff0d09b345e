#pragma once

#include <QByteArrayView>
#include <QString>

#include <array>

namespace Rtf {

// A Windows code page turned into something fast to decode with: single-byte
// code pages are a table of 256 characters, built once from QStringDecoder;
// double-byte ones keep the decoder's name and are decoded run by run.
class CodePage
{
public:
    explicit CodePage(int number);

    int number() const { return m_number; }
    bool isSingleByte() const { return m_singleByte; }
    char16_t at(unsigned char byte) const { return m_table[byte]; }

    // Appends the decoded bytes; for double-byte code pages the bytes should
    // hold whole characters.
    void decode(QByteArrayView bytes, QString &out) const;

private:
    int m_number = 0;
    bool m_singleByte = true;
    QByteArray m_decoderName;
    std::array<char16_t, 256> m_table {};
};

// The code page of a \fcharset value; 0 when the charset means "the
// document's code page".
int codePageOfCharset(int charset);

// The code page shared by every reader: created on first use, never freed.
const CodePage *codePage(int number);

// The Symbol font (\fcharset2 and the name "Symbol"): its bytes become the
// Greek letters and mathematical signs they show, so that Ω or ≤ need no
// Symbol font on this system.
constexpr int SymbolCodePage = 42;
// Other symbol fonts (Wingdings and the like): byte b becomes U+F000 + b, the
// private-use code points those fonts map their glyphs to.
constexpr int PrivateUseCodePage = 43;

} // namespace Rtf
