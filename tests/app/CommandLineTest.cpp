// The data file the program's command line names, and where it is looked for without one.
#include <gtest/gtest.h>

#include <initializer_list>
#include <string>
#include <vector>

#include "app/CommandLine.h"
#include "app/DataFolder.h"

namespace {

// The file FileOnCommandLine picks from these arguments (after the program's name), or "(none)".
std::string Picked(std::initializer_list<const char*> args) {
    std::vector<std::string> words{"velkon95"};
    words.insert(words.end(), args.begin(), args.end());
    std::vector<char*> argv;
    for (std::string& w : words) argv.push_back(w.data());
    argv.push_back(nullptr);
    const char* file = FileOnCommandLine(static_cast<int>(words.size()), argv.data());
    return file ? file : "(none)";
}

}  // namespace

TEST(CommandLine, DashesEndTheOptionsAndTheNextArgumentIsTheFile) {
    EXPECT_EQ(Picked({}), "(none)");
    EXPECT_EQ(Picked({"ids.lst"}), "ids.lst");
    EXPECT_EQ(Picked({"-x.lst"}), "(none)");  // an option, not a file
    EXPECT_EQ(Picked({"--", "-x.lst"}), "-x.lst");
    EXPECT_EQ(Picked({"--", "--help"}), "--help");
    EXPECT_EQ(Picked({"--", "--"}), "--");
    EXPECT_EQ(Picked({"--sync", "--", "-"}), "-");
    EXPECT_EQ(Picked({"--"}), "(none)");
    // The first file named wins, before or after other options.
    EXPECT_EQ(Picked({"a.lst", "--", "b.lst"}), "a.lst");
    EXPECT_EQ(Picked({"-q", "", "しゃ.lst"}), "しゃ.lst");
}

// A second start hands the running program a name that means the same from its folder.
TEST(CommandLine, AFileNamedFromAnotherFolderIsMadeAbsoluteWithoutResolvingIt) {
    EXPECT_EQ(AbsoluteFileName("ids.lst", "/home/u"), "/home/u/ids.lst");
    EXPECT_EQ(AbsoluteFileName("ids.lst", "/"), "/ids.lst");
    EXPECT_EQ(AbsoluteFileName("../x/./ids.lst", "/home/u/"), "/home/u/../x/./ids.lst");
    EXPECT_EQ(AbsoluteFileName("/tmp/ids.lst", "/home/u"), "/tmp/ids.lst");
    EXPECT_EQ(AbsoluteFileName("-x.lst", "/home/u"), "/home/u/-x.lst");
}

TEST(DataFolder, XdgDataHomeWhenAbsoluteElseTheHomesDefaultElseNone) {
    EXPECT_EQ(UserDataFolder("/data", "/home/u"), "/data/Velkon95");
    EXPECT_EQ(UserDataFolder("/data/", "/home/u"), "/data/Velkon95");
    EXPECT_EQ(UserDataFolder(nullptr, "/home/u"), "/home/u/.local/share/Velkon95");
    EXPECT_EQ(UserDataFolder("", "/home/u/"), "/home/u/.local/share/Velkon95");
    EXPECT_EQ(UserDataFolder("relative/data", "/home/u"), "/home/u/.local/share/Velkon95");
    EXPECT_EQ(UserDataFolder(nullptr, "/"), "/.local/share/Velkon95");
    EXPECT_EQ(UserDataFolder(nullptr, nullptr), "");
    EXPECT_EQ(UserDataFolder("data", "home"), "");
}
