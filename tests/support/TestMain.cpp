// Every test program runs in Japan's time zone (no time-zone database needed) and with its
// settings, home and runtime directories in a private temporary folder: the window sockets of
// its windows, and what Qt keeps at run time, go there rather than where the user's programs
// have theirs.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <string>

#include "platform/base/ResourceTables.h"
#include "res/Resources.h"

int main(int argc, char** argv) {
    ::setenv("TZ", "JST-9", 1);
    ::tzset();
    AfxSetResourceTables(res::Tables());
    std::string base = (std::filesystem::temp_directory_path() / "velkon-home-XXXXXX").string();
    if (::mkdtemp(base.data())) {
        ::setenv("HOME", base.c_str(), 1);
        ::setenv("XDG_CONFIG_HOME", (base + "/config").c_str(), 1);
        const std::string runtime = base + "/runtime";
        if (::mkdir(runtime.c_str(), 0700) == 0) ::setenv("XDG_RUNTIME_DIR", runtime.c_str(), 1);
    }
    ::testing::InitGoogleTest(&argc, argv);
    const int result = RUN_ALL_TESTS();
    std::error_code ec;
    std::filesystem::remove_all(base, ec);
    return result;
}
