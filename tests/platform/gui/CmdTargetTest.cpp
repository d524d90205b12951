// Message map lookups: the answers are kept, so they must stay apart for classes that share a
// base, for ids inside and outside a range, and for questions with no handler.
#include <gtest/gtest.h>

#include <vector>

#include "platform/gui/window/CCmdTarget.h"

namespace {

std::vector<int> g_calls;

class BaseTarget : public CCmdTarget {
public:
    void OnOne() { g_calls.push_back(1); }
    void OnRange(UINT nID) { g_calls.push_back(static_cast<int>(nID)); }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(BaseTarget, CCmdTarget)
ON_COMMAND(100, OnOne)
ON_COMMAND_RANGE(200, 210, OnRange)
END_MESSAGE_MAP()

class DerivedTarget : public BaseTarget {
public:
    void OnOther() { g_calls.push_back(-1); }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(DerivedTarget, BaseTarget)
ON_COMMAND(100, OnOther)
ON_COMMAND(300, OnOther)
END_MESSAGE_MAP()

TEST(CmdTarget, EachClassFindsItsOwnHandlersAsOftenAsItIsAsked) {
    BaseTarget base;
    DerivedTarget derived;
    for (int round = 0; round < 3; ++round) {
        g_calls.clear();
        EXPECT_TRUE(base.OnCmdMsg(100, CN_COMMAND, nullptr, nullptr));
        EXPECT_TRUE(derived.OnCmdMsg(100, CN_COMMAND, nullptr, nullptr));
        EXPECT_TRUE(derived.OnCmdMsg(205, CN_COMMAND, nullptr, nullptr));  // the base's range
        EXPECT_TRUE(base.OnCmdMsg(210, CN_COMMAND, nullptr, nullptr));
        EXPECT_FALSE(base.OnCmdMsg(211, CN_COMMAND, nullptr, nullptr));
        EXPECT_FALSE(base.OnCmdMsg(300, CN_COMMAND, nullptr, nullptr));  // the derived class's
        EXPECT_TRUE(derived.OnCmdMsg(300, CN_COMMAND, nullptr, nullptr));
        EXPECT_FALSE(derived.OnCmdMsg(100, CN_UPDATE_COMMAND_UI, nullptr, nullptr));
        EXPECT_EQ(g_calls, (std::vector<int>{1, -1, 205, 210, -1})) << "round " << round;
    }
}

}  // namespace
