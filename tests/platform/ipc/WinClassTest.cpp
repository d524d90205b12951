#include <gtest/gtest.h>

#include <cstdlib>

#include "platform/gui/window/CWnd.h"
#include "platform/ipc/WinClass.h"
#include "platform/ipc/WindowServer.h"
#include "tests/support/TestSupport.h"

// A window looked for again and again (the terminal link polls every second) keeps one
// handle while its program runs, and is not found once that program is gone.
TEST(WinClass, RepeatedFindWindowReusesTheConnectionUntilThePeerGoes) {
    testing_support::TempDir runtime;
    ::setenv("XDG_RUNTIME_DIR", runtime.Path().c_str(), 1);
    auto server = winlink::Server::Listen(
        "PolledClass", [](const winlink::Request& r) { return static_cast<LRESULT>(r.msg + 1); });
    ASSERT_NE(server, nullptr);
    const HWND first = FindWindow("PolledClass", nullptr);
    ASSERT_NE(first, nullptr);
    server->Dispatch(100);
    EXPECT_EQ(FindWindow("PolledClass", nullptr), first);
    EXPECT_TRUE(IsWindow(first));

    server.reset();
    EXPECT_EQ(FindWindow("PolledClass", nullptr), nullptr);
    EXPECT_FALSE(IsWindow(first));
    EXPECT_EQ(FindWindow("NoSuchClass", nullptr), nullptr);
}
