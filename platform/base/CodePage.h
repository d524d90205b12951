// Conversion between the program's text (CP932) and UTF-8, used only where text leaves or enters
// the program: widgets, the clipboard, the settings file, the terminal bridge, and a file name
// where it is shown. Paths themselves are never converted: they are the file system's bytes.
// A character the target cannot hold becomes "?", as the system conversion does.
#pragma once

#include <string>
#include <string_view>

std::string Cp932ToUtf8(std::string_view cp932);
std::string Utf8ToCp932(std::string_view utf8);
