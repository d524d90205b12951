// What the program says on its command line without starting: its usage (-h, --help) and its
// version (-V, --version), read from its own version resource like the About box.
#pragma once

// The exit status when the arguments ask for the usage or the version, which is then printed;
// -1 when the program is to start.
int PrintUsageOrVersion(int argc, char** argv);
