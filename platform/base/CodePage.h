// Conversion between the program's text (CP932) and UTF-8, used only where text leaves or enters
// the program: widgets, the clipboard, the settings file, the terminal bridge, and a file name
// where it is shown. Paths themselves are never converted: they are the file system's bytes.
// A character the target cannot hold becomes "?", as the system conversion does.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

std::string Cp932ToUtf8(std::string_view cp932);
std::string Utf8ToCp932(std::string_view utf8);

// Another program's text (UTF-8, lines ended by LF) made the program's own in one pass: CP932,
// a CR before each lone LF, zero bytes dropped (as the terminal link drops them, so that what
// follows one is still read). Written once into a buffer sized from a count of the text's line
// ends and zero bytes, never filled beforehand; the text's own pages go back to the system as
// they are read, so a large text is not held twice. Gives what
// CrLfFromLf(Utf8ToCp932(text) without its zero bytes) gives.
std::string Utf8ToCp932CrLf(std::string utf8);
// Part of such a text, without its zero bytes and within a line, appended to out as it stands
// in the converted text: the bytes Utf8ToCp932CrLf makes of it there.
void AppendUtf8AsCp932(std::string_view utf8, std::string& out);

// Utf8ToCp932CrLf for a text that arrives in pieces: each piece's whole lines are converted as
// they come, the line it leaves open waits for the next (up to about kLongLine bytes of it). The
// pieces' results one after another are the whole text's.
class Utf8LinesToCp932 {
public:
    std::string Feed(std::string_view utf8);
    // The open line, at the end of the text.
    std::string Finish();
    std::size_t Waiting() const { return m_rest.size(); }
    static constexpr std::size_t kLongLine = std::size_t{1} << 20;

private:
    std::string m_rest;
};
