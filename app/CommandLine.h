// The data file named on the program's command line.
#pragma once

// The file to open: the first argument that is not an option, or the one after "--", which
// ends the options so that a file may be named "-x.lst"; nullptr when none is named.
const char* FileOnCommandLine(int argc, char* const* argv);
