// The program's version resource, in a section of its own in the executable file, where the
// About box and the API's version query read it (GetFileVersionInfo on the file itself).
#include <cstddef>

#include "platform/base/VersionInfo.h"

namespace {

constexpr DWORD kVersionMS = (3u << 16) | 4u;   // 3.4
constexpr DWORD kVersionLS = (13u << 16) | 0u;  // .13.0

// Key and value pairs, each zero-terminated, ended by an empty key.
#define VELKON_STRINGS                                               \
    "CompanyName\0Brambl Free Software\0"                            \
    "FileDescription\0Velkon95\0"                                    \
    "FileVersion\0"                                                  \
    "3.4.13.0\0"                                                     \
    "InternalName\0Velkon95\0"                                       \
    "LegalCopyright\0Copyright (C) 1996-1997 Brambl Free Software\0" \
    "OriginalFilename\0VELKON.EXE\0"                                 \
    "ProductName\0Velkon for Windows95\0"                            \
    "ProductVersion\0"                                               \
    "3.4.13.0\0"                                                     \
    "Comments\0NIFTY-Serve、PC-VANなどのIDを管理するツールです。\0"

struct VersionResource {
    char magic[8];
    VS_FIXEDFILEINFO fixed;
    WORD translation[2];
    char strings[sizeof(VELKON_STRINGS)];  // the literal's own zero ends the list
};
static_assert(offsetof(VersionResource, strings) == 8 + 52 + 4, "no padding in the section");

[[gnu::used, gnu::section(".velkon.version")]] const VersionResource kVersionResource = {
    {'V', 'L', 'K', 'V', 'E', 'R', '0', '1'},
    {VS_FFI_SIGNATURE, VS_FFI_STRUCVERSION, kVersionMS, kVersionLS, kVersionMS, kVersionLS, 0x3F, 0,
     VOS__WINDOWS32, VFT_APP, 0, 0, 0},
    {0x0411, 0x04B0},
    VELKON_STRINGS,
};

}  // namespace
