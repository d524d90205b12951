// A path inside the program's text, as it is shown. The program's text is CP932, but a file
// name may hold what CP932 cannot (josé.lst, 한.lst, an emoji); converted, those characters
// would show as "?". So a name that does not come back whole from CP932 goes into the text as
// its own bytes between two marks no CP932 text holds (a trail byte is never below 0x40), and
// only the conversion for the screen or the message log takes them out again. Formatting
// ("%1", +) carries the marks along untouched. A name CP932 holds stays plain CP932 text.
#pragma once

#include <string>
#include <string_view>

#include "platform/base/CString.h"

namespace display_text {
constexpr char kPathStart = '\x01';
constexpr char kPathEnd = '\x02';
// Stands before a mark's byte (or itself) inside a path, with 0x40 added.
constexpr char kEscape = '\x10';
}  // namespace display_text

// The path (the file system's bytes) as a piece of the program's text.
CString PathForDisplay(std::string_view path);

// The program's text with its marked paths in UTF-8: CP932 converted, each path's bytes as they
// are (a byte that is no UTF-8 shows as U+FFFD). A text cut inside a path ends with what it held.
std::string DisplayTextToUtf8(std::string_view text);
