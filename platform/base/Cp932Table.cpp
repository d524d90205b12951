#include "platform/base/Cp932Table.h"

#include <iconv.h>

namespace {

// UTF-8 of a code point of the plane.
std::size_t EncodeUtf8(char32_t cp, char* out) {
    if (cp < 0x80) {
        out[0] = static_cast<char>(cp);
        return 1;
    }
    if (cp < 0x800) {
        out[0] = static_cast<char>(0xC0 | (cp >> 6));
        out[1] = static_cast<char>(0x80 | (cp & 0x3F));
        return 2;
    }
    out[0] = static_cast<char>(0xE0 | (cp >> 12));
    out[1] = static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    out[2] = static_cast<char>(0x80 | (cp & 0x3F));
    return 3;
}

}  // namespace

// Each character converted on its own, from a fresh state, as the table's users convert them.
// Surrogates are no characters; the C library refuses them too.
void Cp932Table::Fill(char32_t page) {
    m_filled[page] = true;
    const iconv_t cd = iconv_open("CP932", "UTF-8");
    if (cd == reinterpret_cast<iconv_t>(-1)) return;
    for (char32_t cp = page << 8; cp < ((page + 1) << 8); ++cp) {
        if (cp >= 0xD800 && cp <= 0xDFFF) continue;
        char in[4];
        char outBytes[8];
        char* inp = in;
        std::size_t inLeft = EncodeUtf8(cp, in);
        char* outp = outBytes;
        std::size_t outLeft = sizeof outBytes;
        iconv(cd, nullptr, nullptr, nullptr, nullptr);
        if (iconv(cd, &inp, &inLeft, &outp, &outLeft) == static_cast<std::size_t>(-1) ||
            inLeft != 0)
            continue;
        const std::size_t n = sizeof outBytes - outLeft;
        const auto b0 = static_cast<unsigned char>(outBytes[0]);
        if (n == 1)
            m_codes[cp] = b0;
        else if (n == 2)
            m_codes[cp] =
                static_cast<std::uint16_t>(b0 << 8 | static_cast<unsigned char>(outBytes[1]));
    }
    iconv_close(cd);
}
