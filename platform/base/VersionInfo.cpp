#include "platform/base/VersionInfo.h"

#include <elf.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstring>
#include <string_view>
#include <vector>

#include "platform/base/CodePage.h"
#include "platform/base/UniqueFd.h"

namespace {

constexpr std::size_t kMagicSize = sizeof(afx_version::kMagic);
constexpr std::size_t kFixedAt = kMagicSize;
constexpr std::size_t kTranslationAt = kFixedAt + sizeof(VS_FIXEDFILEINFO);
constexpr std::size_t kStringsAt = kTranslationAt + 4;
// The caller's block: a DWORD with its whole length, then the section's layout with the
// strings in CP932.
constexpr std::size_t kLengthSize = 4;

// The block a caller gets: the section with its strings converted; empty when the section is
// not well formed.
std::string BuildBlock(const std::string& section) {
    if (section.size() < kStringsAt ||
        std::memcmp(section.data(), afx_version::kMagic, kMagicSize) != 0)
        return {};
    std::string block(kLengthSize, '\0');
    block.append(section, 0, kStringsAt);
    std::string_view rest(section.data() + kStringsAt, section.size() - kStringsAt);
    for (;;) {
        const std::size_t keyEnd = rest.find('\0');
        if (keyEnd == std::string_view::npos) return {};
        if (keyEnd == 0) break;
        const std::size_t valueEnd = rest.find('\0', keyEnd + 1);
        if (valueEnd == std::string_view::npos) return {};
        block += Utf8ToCp932(rest.substr(0, keyEnd));
        block += '\0';
        block += Utf8ToCp932(rest.substr(keyEnd + 1, valueEnd - keyEnd - 1));
        block += '\0';
        rest.remove_prefix(valueEnd + 1);
    }
    block += '\0';
    const auto length = static_cast<std::uint32_t>(block.size());
    std::memcpy(block.data(), &length, sizeof(length));
    return block;
}

std::string BlockOfFile(LPCTSTR lptstrFilename) {
    if (!lptstrFilename || !*lptstrFilename) return {};
    UniqueFd fd(::open(lptstrFilename, O_RDONLY | O_CLOEXEC));
    struct stat st {};
    if (fd.Get() < 0 || ::fstat(fd.Get(), &st) != 0 || !S_ISREG(st.st_mode)) return {};
    const auto read = [&](std::uint64_t offset, std::size_t size, void* out) {
        std::size_t done = 0;
        while (done < size) {
            const ssize_t n = ::pread(fd.Get(), static_cast<char*>(out) + done, size - done,
                                      static_cast<off_t>(offset + done));
            if (n <= 0) return false;
            done += static_cast<std::size_t>(n);
        }
        return true;
    };
    return BuildBlock(afx_version::FindSection(read, static_cast<std::uint64_t>(st.st_size)));
}

bool EqualsNoCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        const auto x = static_cast<unsigned char>(a[i]), y = static_cast<unsigned char>(b[i]);
        if (std::tolower(x) != std::tolower(y)) return false;
    }
    return true;
}

}  // namespace

namespace afx_version {

std::string FindSection(const ReadAt& read, std::uint64_t fileSize) {
    Elf64_Ehdr eh;
    if (fileSize < sizeof(eh) || !read(0, sizeof(eh), &eh)) return {};
    if (std::memcmp(eh.e_ident, ELFMAG, SELFMAG) != 0 || eh.e_ident[EI_CLASS] != ELFCLASS64 ||
        eh.e_ident[EI_DATA] != ELFDATA2LSB || eh.e_shentsize != sizeof(Elf64_Shdr) ||
        eh.e_shnum == 0 || eh.e_shstrndx >= eh.e_shnum)
        return {};
    const std::uint64_t tableSize = std::uint64_t{eh.e_shnum} * sizeof(Elf64_Shdr);
    if (eh.e_shoff > fileSize || tableSize > fileSize - eh.e_shoff) return {};
    std::vector<Elf64_Shdr> sections(eh.e_shnum);
    if (!read(eh.e_shoff, tableSize, sections.data())) return {};

    const auto contents = [&](const Elf64_Shdr& sh, std::uint64_t limit, std::string& out) {
        if (sh.sh_type == SHT_NOBITS || sh.sh_size > limit || sh.sh_offset > fileSize ||
            sh.sh_size > fileSize - sh.sh_offset)
            return false;
        out.resize(sh.sh_size);
        return read(sh.sh_offset, sh.sh_size, out.data());
    };
    std::string names;
    if (!contents(sections[eh.e_shstrndx], 1 << 20, names)) return {};
    const std::string_view wanted(kSectionName);
    for (const Elf64_Shdr& sh : sections) {
        if (sh.sh_name >= names.size()) continue;
        const char* name = names.data() + sh.sh_name;
        if (std::string_view(name, ::strnlen(name, names.size() - sh.sh_name)) != wanted) continue;
        std::string bytes;
        return contents(sh, kMaxSection, bytes) ? bytes : std::string();
    }
    return {};
}

}  // namespace afx_version

DWORD GetFileVersionInfoSize(LPCTSTR lptstrFilename, DWORD* lpdwHandle) {
    if (lpdwHandle) *lpdwHandle = 0;
    return static_cast<DWORD>(BlockOfFile(lptstrFilename).size());
}

BOOL GetFileVersionInfo(LPCTSTR lptstrFilename, DWORD, DWORD dwLen, LPVOID lpData) {
    const std::string block = BlockOfFile(lptstrFilename);
    if (block.empty() || !lpData || dwLen < kLengthSize) return FALSE;
    // A short buffer gets what fits, and says so in its length, so that queries stop there.
    const auto length = static_cast<std::uint32_t>(std::min<std::size_t>(dwLen, block.size()));
    std::memcpy(lpData, block.data(), length);
    std::memcpy(lpData, &length, sizeof(length));
    return TRUE;
}

BOOL VerQueryValue(LPCVOID pBlock, LPCTSTR lpSubBlock, LPVOID* lplpBuffer, UINT* puLen) {
    if (lplpBuffer) *lplpBuffer = nullptr;
    if (puLen) *puLen = 0;
    if (!pBlock || !lpSubBlock || !lplpBuffer) return FALSE;
    const auto* base = static_cast<const char*>(pBlock);
    std::uint32_t length = 0;
    std::memcpy(&length, base, sizeof(length));
    if (length < kLengthSize + kStringsAt ||
        std::memcmp(base + kLengthSize, afx_version::kMagic, kMagicSize) != 0)
        return FALSE;
    const char* data = base + kLengthSize;
    const std::size_t size = length - kLengthSize;
    const auto give = [&](const char* p, std::size_t n) {
        *lplpBuffer = const_cast<char*>(p);
        if (puLen) *puLen = static_cast<UINT>(n);
        return TRUE;
    };

    std::string_view query(lpSubBlock);
    if (query == "\\" || query.empty()) return give(data + kFixedAt, sizeof(VS_FIXEDFILEINFO));
    if (EqualsNoCase(query, "\\VarFileInfo\\Translation")) return give(data + kTranslationAt, 4);
    constexpr std::string_view kStringFileInfo = "\\StringFileInfo\\";
    if (query.size() < kStringFileInfo.size() ||
        !EqualsNoCase(query.substr(0, kStringFileInfo.size()), kStringFileInfo))
        return FALSE;
    query.remove_prefix(kStringFileInfo.size());
    const std::size_t slash = query.find('\\');
    if (slash == std::string_view::npos) return FALSE;
    WORD translation[2];
    std::memcpy(translation, data + kTranslationAt, sizeof(translation));
    char expected[9];
    std::snprintf(expected, sizeof(expected), "%04x%04x", translation[0], translation[1]);
    if (!EqualsNoCase(query.substr(0, slash), expected)) return FALSE;
    const std::string_view key = query.substr(slash + 1);

    std::string_view rest(data + kStringsAt, size - kStringsAt);
    for (;;) {
        const std::size_t keyEnd = rest.find('\0');
        if (keyEnd == std::string_view::npos || keyEnd == 0) return FALSE;
        const std::size_t valueEnd = rest.find('\0', keyEnd + 1);
        if (valueEnd == std::string_view::npos) return FALSE;
        if (EqualsNoCase(rest.substr(0, keyEnd), key))
            return give(rest.data() + keyEnd + 1, valueEnd - keyEnd);
        rest.remove_prefix(valueEnd + 1);
    }
}
