// The version resource of a program file: the fixed file information and the strings of one
// language, kept in the file's own ELF section ".velkon.version" and read from the file named,
// so that a file without the section has no version information.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "platform/base/Afx.h"
#include "platform/base/WinTypes.h"

struct VS_FIXEDFILEINFO {
    DWORD dwSignature;  // 0xFEEF04BD
    DWORD dwStrucVersion;
    DWORD dwFileVersionMS;
    DWORD dwFileVersionLS;
    DWORD dwProductVersionMS;
    DWORD dwProductVersionLS;
    DWORD dwFileFlagsMask;
    DWORD dwFileFlags;
    DWORD dwFileOS;
    DWORD dwFileType;
    DWORD dwFileSubtype;
    DWORD dwFileDateMS;
    DWORD dwFileDateLS;
};
static_assert(sizeof(VS_FIXEDFILEINFO) == 52);

constexpr DWORD VS_FFI_SIGNATURE = 0xFEEF04BD;
constexpr DWORD VS_FFI_STRUCVERSION = 0x00010000;
constexpr DWORD VOS__WINDOWS32 = 0x00000004;
constexpr DWORD VFT_APP = 0x00000001;

// The bytes needed for GetFileVersionInfo of the file (its path as the file system spells it); 0
// when it has none or cannot be read. *lpdwHandle is set to 0.
DWORD GetFileVersionInfoSize(LPCTSTR lptstrFilename, DWORD* lpdwHandle);
// Fills lpData with up to dwLen bytes of the version information; FALSE when there is none.
BOOL GetFileVersionInfo(LPCTSTR lptstrFilename, DWORD dwHandle, DWORD dwLen, LPVOID lpData);
// "\" gives the VS_FIXEDFILEINFO; "\StringFileInfo\<lang><codepage>\<name>" a zero-terminated
// CP932 string (puLen: its length with the zero); "\VarFileInfo\Translation" the language and
// code page as two WORDs. FALSE when the block has no such value.
BOOL VerQueryValue(LPCVOID pBlock, LPCTSTR lpSubBlock, LPVOID* lplpBuffer, UINT* puLen);

namespace afx_version {
constexpr const char* kSectionName = ".velkon.version";
// The section holds: kMagic, a VS_FIXEDFILEINFO, the language and code page as two
// little-endian WORDs, then pairs of zero-terminated UTF-8 key and value, ended by an empty key.
constexpr char kMagic[8] = {'V', 'L', 'K', 'V', 'E', 'R', '0', '1'};
// Whatever the file says, no more than this is read.
constexpr std::uint64_t kMaxSection = 64 * 1024;
// Reads `size` bytes at `offset` of a file of `fileSize` bytes; false when it cannot.
using ReadAt = std::function<bool(std::uint64_t offset, std::size_t size, void* out)>;
// The section's bytes; an empty string when the file is no 64-bit little-endian ELF file or has
// no such section. Every offset and size the file gives is checked against the file's size.
std::string FindSection(const ReadAt& read, std::uint64_t fileSize);
}  // namespace afx_version
