// Conversion between the program's text (CP932) and UTF-8, used only where text leaves or enters
// the program: widgets, the clipboard, the settings file, the terminal bridge, and a file name
// where it is shown. Paths themselves are never converted: they are the file system's bytes.
// A character the target cannot hold becomes "?", as the system conversion does.
#pragma once

#include <string>
#include <string_view>

std::string Cp932ToUtf8(std::string_view cp932);
std::string Utf8ToCp932(std::string_view utf8);

// The same conversion in the text's own buffer, which only shrinks: no CP932 character takes
// more bytes than its UTF-8 form. For a large text another program hands over.
void Utf8ToCp932InPlace(std::string& text);
