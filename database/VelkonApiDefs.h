// The numbers and the data layout other programs use to reach the ID database: 16-bit messages
// with global memory blocks, and one 32-bit message whose lParam is a file mapping. Shared by
// the program and its clients; nothing here may change.
#pragma once

#include <cstddef>

#include "platform/base/WinTypes.h"

constexpr const char* VELKON_FRAME_CLASS = "VelkonFrameClass";

// --- 16-bit messages (wParam: the ID block; lParam: the out or record block) ---
constexpr UINT WM_IDAPI_PRESENT = WM_USER + 133;
constexpr UINT WM_IDAPI_EXISTS = WM_USER + 138;
constexpr UINT WM_IDAPI_GETHANDLE = WM_USER + 139;
constexpr UINT WM_IDAPI_GETMEMO1 = WM_USER + 140;  // to WM_USER + 145 for memo 6
constexpr UINT WM_IDAPI_GETMEMO6 = WM_USER + 145;
constexpr UINT WM_IDAPI_GETCOUNT = WM_USER + 146;
constexpr UINT WM_IDAPI_GETREGDATE = WM_USER + 147;
constexpr UINT WM_IDAPI_GETUPDATEDATE = WM_USER + 148;
constexpr UINT WM_IDAPI_GETRECORD = WM_USER + 178;
constexpr UINT WM_IDAPI_SETRECORD = WM_USER + 179;
constexpr UINT WM_IDAPI_GETCAPTION1 = WM_USER + 188;  // to WM_USER + 194 for caption 7
constexpr UINT WM_IDAPI_GETCAPTION7 = WM_USER + 194;

// Personal fields come out of the 16-bit getters cut to this many bytes.
constexpr int IDAPI16_FIELD_LENGTH = 20;

// --- The 32-bit message: wParam a function code, lParam a mapping valid in the program ---
constexpr UINT WM_IDAPI32 = WM_USER + 256;

constexpr WPARAM IDAPI_GETVERSION = 0;
constexpr WPARAM IDAPI_GETCAPTIONS = 1;
constexpr WPARAM IDAPI_EDITDATA = 2;
constexpr WPARAM IDAPI_REGISTER = 10;
constexpr WPARAM IDAPI_DELETE = 11;
constexpr WPARAM IDAPI_RESTORE = 12;
constexpr WPARAM IDAPI_SETDATA = 13;
constexpr WPARAM IDAPI_GETDATA = 14;
constexpr WPARAM IDAPI_EXISTS = 15;
constexpr WPARAM IDAPI_PICKUPTEXT = 20;
constexpr WPARAM IDAPI_PICKUPREDO = 21;
constexpr WPARAM IDAPI_PICKEDUP = 22;
// Beyond the functions other programs know: changes only the fields the block's mask names, so
// that a client keeps every other field whole, whatever its length or content. The block is
// IDAPI_SETDATA's with the count at kCount, the registration date at kRegistDate, the update
// date at kUpdateDate (dates as the list writes them or YY/MM/DD) and the mask after them.
constexpr WPARAM IDAPI_SETFIELDS = 100;

// The API data block: 256-byte zero-terminated slots, then the dates and the count.
namespace idapi_block {
constexpr std::size_t kSlot = 256;
constexpr std::size_t kId = 0;
constexpr std::size_t kHandle = 256;  // caption 1 for IDAPI_GETCAPTIONS
// Memo k (1..6) and caption k + 1 at kSlot * (k + 1).
constexpr std::size_t Memo(int k) {
    return kSlot * static_cast<std::size_t>(k + 1);
}
constexpr std::size_t Caption(int k) {
    return kSlot * static_cast<std::size_t>(k);
}
constexpr std::size_t kRegistDate = 2048;
constexpr std::size_t kPrevUpdateDate = 2080;
constexpr std::size_t kDateSlot = 32;
constexpr std::size_t kCount = 2112;  // 32-bit signed, little-endian
constexpr std::size_t kSize = 2116;
// IDAPI_SETFIELDS: the update date in the previous update date's slot, then the mask.
constexpr std::size_t kUpdateDate = kPrevUpdateDate;
constexpr std::size_t kFieldMask = kSize;  // 32-bit, little-endian
constexpr std::size_t kSetFieldsSize = kSize + 4;
// The mask's bits: the handle, memo k (1..6), the count and the two dates.
constexpr unsigned kMaskHandle = 1u;
constexpr unsigned MaskMemo(int k) {
    return 1u << k;
}
constexpr unsigned kMaskCount = 1u << 7, kMaskRegistDate = 1u << 8, kMaskUpdateDate = 1u << 9;
// IDAPI_GETVERSION: major, minor and release as 32-bit unsigned integers.
constexpr std::size_t kVersionSize = 12;
}  // namespace idapi_block
