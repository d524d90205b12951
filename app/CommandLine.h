// The data file named on the program's command line.
#pragma once

#include <string>
#include <string_view>

// The file to open: the first argument that is not an option, or the one after "--", which
// ends the options so that a file may be named "-x.lst"; nullptr when none is named.
const char* FileOnCommandLine(int argc, char* const* argv);

// The file as named from the working folder cwd, for a program that has another one: an
// absolute name as it is, else cwd and the name joined by one slash. Nothing is resolved, so
// that a link keeps the name the user gave.
std::string AbsoluteFileName(std::string_view file, std::string_view cwd);
