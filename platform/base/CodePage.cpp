#include "platform/base/CodePage.h"

#include <iconv.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
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

// The C library converts a long input in stages and, at a character it cannot take, converts
// again all that the stage before had taken in: given the whole text, that is the length of its
// buffers for every such character. So the text is handed over in windows, small after a refusal
// and doubling while the text converts cleanly; a character cut by a window's end is taken with
// the next. `sink(bytes, n, readTo)` gets each piece of output with the end of the input it
// comes from.
constexpr std::size_t kSmallWindow = 16;
constexpr std::size_t kLargeWindow = 16384;

template <class Sink>
void ConvertInWindows(const Converter& conv, std::string_view in, bool fromUtf8, Sink sink) {
    iconv(conv.Handle(), nullptr, nullptr, nullptr, nullptr);
    char buffer[4 * kLargeWindow];
    std::size_t pos = 0, window = kLargeWindow;
    while (pos < in.size()) {
        const std::size_t length = std::min(window, in.size() - pos);
        const bool toTheEnd = pos + length == in.size();
        char* inp = const_cast<char*>(in.data() + pos);  // iconv never writes through it
        std::size_t inLeft = length;
        char* outp = buffer;
        std::size_t outLeft = sizeof buffer;
        const std::size_t r = iconv(conv.Handle(), &inp, &inLeft, &outp, &outLeft);
        const int error = r == static_cast<std::size_t>(-1) ? errno : 0;
        pos += length - inLeft;
        sink(buffer, static_cast<std::size_t>(outp - buffer), pos);
        if (error == 0) {
            window = std::min(window * 2, kLargeWindow);
        } else if (error == E2BIG || (error == EINVAL && !toTheEnd)) {
            if (inLeft == length) window *= 2;  // not even one character fitted
        } else {
            // EILSEQ, or a character the text's end cuts short: one "?".
            pos += BadCharLength(in.substr(pos), fromUtf8);
            sink("?", 1, pos);
            window = kSmallWindow;
        }
    }
}

std::string Convert(const Converter& conv, std::string_view in, bool fromUtf8) {
    std::string out;
    if (!conv.Valid()) {
        // Without a converter only ASCII can pass safely.
        for (char c : in) out += (static_cast<unsigned char>(c) < 0x80) ? c : '?';
        return out;
    }
    out.reserve(in.size() + 16);
    ConvertInWindows(conv, in, fromUtf8,
                     [&](const char* bytes, std::size_t n, std::size_t) { out.append(bytes, n); });
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

// The converter writes each piece into a buffer of its own, which is copied back behind the
// point it has read to; only text it has read is written over.
void Utf8ToCp932InPlace(std::string& text) {
    thread_local Converter conv("CP932", "UTF-8");
    if (!conv.Valid()) {
        text = Convert(conv, text, true);
        return;
    }
    std::size_t written = 0;
    // Never used for CP932, whose characters are no longer than their UTF-8; kept correct all
    // the same should the C library's table ever say otherwise.
    std::string spill;
    bool spilling = false;
    ConvertInWindows(conv, text, true, [&](const char* bytes, std::size_t n, std::size_t readTo) {
        spilling = spilling || written + n > readTo;
        if (spilling) {
            spill.append(bytes, n);
        } else {
            std::memmove(text.data() + written, bytes, n);
            written += n;
        }
    });
    text.resize(written);
    text += spill;
}
