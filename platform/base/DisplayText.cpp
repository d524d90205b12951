#include "platform/base/DisplayText.h"

#include "platform/base/CodePage.h"

namespace {

using namespace display_text;

constexpr std::string_view kReplacement = "\xEF\xBF\xBD";

bool NeedsEscape(char c) {
    return c == kPathStart || c == kPathEnd || c == kEscape;
}

// Length of the well-formed UTF-8 sequence at text[i], or 0.
std::size_t Utf8SequenceAt(std::string_view text, std::size_t i) {
    const auto lead = static_cast<unsigned char>(text[i]);
    std::size_t n = 0;
    unsigned char low = 0x80, high = 0xBF;  // the second byte's range
    if (lead < 0x80) return 1;
    if (lead >= 0xC2 && lead <= 0xDF) {
        n = 2;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        n = 3;
        if (lead == 0xE0) low = 0xA0;
        if (lead == 0xED) high = 0x9F;  // no surrogates
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        n = 4;
        if (lead == 0xF0) low = 0x90;
        if (lead == 0xF4) high = 0x8F;
    } else {
        return 0;
    }
    if (text.size() - i < n) return 0;
    for (std::size_t k = 1; k < n; ++k) {
        const auto c = static_cast<unsigned char>(text[i + k]);
        if (c < (k == 1 ? low : 0x80) || c > (k == 1 ? high : 0xBF)) return 0;
    }
    return n;
}

void AppendPath(std::string& out, std::string_view marked) {
    std::string bytes;
    bytes.reserve(marked.size());
    for (std::size_t i = 0; i < marked.size(); ++i) {
        if (marked[i] == kEscape && i + 1 < marked.size()) {
            bytes += static_cast<char>(marked[++i] - 0x40);
        } else {
            bytes += marked[i];
        }
    }
    for (std::size_t i = 0; i < bytes.size();) {
        const std::size_t n = Utf8SequenceAt(bytes, i);
        if (n == 0) {
            out += kReplacement;
            ++i;
        } else {
            out.append(bytes, i, n);
            i += n;
        }
    }
}

}  // namespace

CString PathForDisplay(std::string_view path) {
    std::string cp932 = Utf8ToCp932(path);
    if (Cp932ToUtf8(cp932) == path && cp932.find_first_of("\x01\x02") == std::string::npos)
        return CString(std::move(cp932));
    std::string marked(1, kPathStart);
    marked.reserve(path.size() + 2);
    for (const char c : path) {
        if (NeedsEscape(c)) {
            marked += kEscape;
            marked += static_cast<char>(c + 0x40);
        } else {
            marked += c;
        }
    }
    marked += kPathEnd;
    return CString(std::move(marked));
}

std::string DisplayTextToUtf8(std::string_view text) {
    std::string out;
    std::size_t from = 0;
    while (from < text.size()) {
        const std::size_t start = text.find(kPathStart, from);
        out += Cp932ToUtf8(
            text.substr(from, start == std::string_view::npos ? text.npos : start - from));
        if (start == std::string_view::npos) break;
        const std::size_t end = text.find(kPathEnd, start + 1);
        AppendPath(out, text.substr(start + 1,
                                    end == std::string_view::npos ? text.npos : end - start - 1));
        from = end == std::string_view::npos ? text.size() : end + 1;
    }
    return out;
}
