// The data file the program's command line names.
#include <gtest/gtest.h>

#include <initializer_list>
#include <string>
#include <vector>

#include "app/CommandLine.h"

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
