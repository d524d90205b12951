#include "platform/base/CodePage.h"

#include <iconv.h>

#include <cerrno>
#include <memory>

#include "platform/base/Mbcs.h"

namespace {

class Converter {
public:
    Converter(const char* to, const char* from) : m_cd(iconv_open(to, from)) {}
    ~Converter() {
        if (Valid()) iconv_close(m_cd);
    }
    Converter(const Converter&) = delete;
    Converter& operator=(const Converter&) = delete;
    bool Valid() const { return m_cd != reinterpret_cast<iconv_t>(-1); }
    iconv_t Handle() const { return m_cd; }

private:
    iconv_t m_cd;
};

// Bytes to skip over one character the converter refused.
std::size_t BadCharLength(std::string_view in, bool fromUtf8) {
    const auto b = static_cast<unsigned char>(in[0]);
    if (fromUtf8) {
        std::size_t len = 1;
        if (b >= 0xC0 && b < 0xE0)
            len = 2;
        else if (b >= 0xE0 && b < 0xF0)
            len = 3;
        else if (b >= 0xF0 && b < 0xF8)
            len = 4;
        // Stop early at a byte that cannot continue the sequence, so that it is looked at again.
        std::size_t i = 1;
        while (i < len && i < in.size() && (static_cast<unsigned char>(in[i]) & 0xC0) == 0x80) ++i;
        return i;
    }
    if (mbcs::IsLeadByte(b) && in.size() > 1) {
        const auto t = static_cast<unsigned char>(in[1]);
        if ((t >= 0x40 && t <= 0x7E) || (t >= 0x80 && t <= 0xFC)) return 2;
    }
    return 1;
}

std::string Convert(const Converter& conv, std::string_view in, bool fromUtf8) {
    std::string out;
    if (!conv.Valid()) {
        // Without a converter only ASCII can pass safely.
        for (char c : in) out += (static_cast<unsigned char>(c) < 0x80) ? c : '?';
        return out;
    }
    iconv(conv.Handle(), nullptr, nullptr, nullptr, nullptr);
    out.resize(in.size() * 2 + 16);
    char* inp = const_cast<char*>(in.data());
    std::size_t inLeft = in.size();
    std::size_t used = 0;
    while (inLeft > 0) {
        char* outp = out.data() + used;
        std::size_t outLeft = out.size() - used;
        const std::size_t r = iconv(conv.Handle(), &inp, &inLeft, &outp, &outLeft);
        used = out.size() - outLeft;
        if (r != static_cast<std::size_t>(-1)) break;
        if (errno == E2BIG) {
            out.resize(out.size() * 2);
            continue;
        }
        // EILSEQ or EINVAL: one character that cannot be converted.
        if (out.size() - used < 1) out.resize(out.size() * 2);
        out[used++] = '?';
        const std::size_t skip = BadCharLength(std::string_view(inp, inLeft), fromUtf8);
        inp += skip;
        inLeft -= skip;
    }
    out.resize(used);
    return out;
}

}  // namespace

std::string Cp932ToUtf8(std::string_view cp932) {
    thread_local Converter conv("UTF-8", "CP932");
    return Convert(conv, cp932, false);
}

std::string Utf8ToCp932(std::string_view utf8) {
    thread_local Converter conv("CP932", "UTF-8");
    return Convert(conv, utf8, true);
}
