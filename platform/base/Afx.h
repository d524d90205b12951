// Basic types and constants of the framework layer. Everything outside platform/ is written
// against these names so that it reads like the classic framework code it grew from.
#pragma once

#include <cassert>
#include <cstddef>
#include <cstdint>

using BOOL = int;
using UINT = unsigned int;
using BYTE = unsigned char;
using WORD = std::uint16_t;
using DWORD = std::uint32_t;
using LONG = std::int32_t;
using LPSTR = char*;
using LPCSTR = const char*;
using LPTSTR = char*;
using LPCTSTR = const char*;
using INT_PTR = std::intptr_t;
using UINT_PTR = std::uintptr_t;
using DWORD_PTR = std::uintptr_t;
using WPARAM = UINT_PTR;
using LPARAM = INT_PTR;
using LRESULT = INT_PTR;
using HANDLE = void*;
using LPVOID = void*;
using LPCVOID = const void*;
using SIZE_T = std::size_t;

#ifndef TRUE
#define TRUE 1
#endif
#ifndef FALSE
#define FALSE 0
#endif

#define ASSERT(x) assert(x)

// Message box styles and answers, with the numeric values callers and peers know.
constexpr UINT MB_OK = 0x0000;
constexpr UINT MB_OKCANCEL = 0x0001;
constexpr UINT MB_YESNOCANCEL = 0x0003;
constexpr UINT MB_YESNO = 0x0004;
constexpr UINT MB_ICONEXCLAMATION = 0x0030;
constexpr UINT MB_ICONQUESTION = 0x0020;
constexpr int IDOK = 1;
constexpr int IDCANCEL = 2;
constexpr int IDYES = 6;
constexpr int IDNO = 7;

constexpr int MAX_PATH = 260;

class CObject {
public:
    virtual ~CObject() = default;
};
