// Where the default data file id.lst is looked for when no file is named.
#pragma once

#include <string>

// The user's own folder for the program's data once it is installed (the program's folder is
// then the system's): Velkon95 in $XDG_DATA_HOME, else in ~/.local/share. A relative
// XDG_DATA_HOME is ignored, as the XDG base directory rules say; empty when neither variable
// gives an absolute folder.
std::string UserDataFolder(const char* xdgDataHome, const char* home);
