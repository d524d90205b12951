#include <gtest/gtest.h>

#include "platform/gui/portal/ShortcutTrigger.h"
#include "platform/gui/x11/HotKey.h"

// What the hot-key control records, as the desktop portal is asked to bind it: the portal shows
// the trigger to the user and binds nothing it cannot read.
TEST(ShortcutTrigger, ModifiersInOrderThenTheKeysName) {
    EXPECT_EQ(ShortcutTrigger(MOD_CONTROL | MOD_ALT, 'V'), "CTRL+ALT+V");
    EXPECT_EQ(ShortcutTrigger(MOD_ALT | MOD_CONTROL | MOD_SHIFT | MOD_WIN, 'K'),
              "CTRL+ALT+SHIFT+LOGO+K");
    EXPECT_EQ(ShortcutTrigger(0, 0x7B), "F12");
    EXPECT_EQ(ShortcutTrigger(MOD_SHIFT, '7'), "SHIFT+7");
    // Keys whose names are not what is printed on them.
    EXPECT_EQ(ShortcutTrigger(MOD_CONTROL, 0x0D), "CTRL+Return");
    EXPECT_EQ(ShortcutTrigger(MOD_CONTROL, 0x21), "CTRL+Prior");
    EXPECT_EQ(ShortcutTrigger(MOD_ALT, 0x20), "ALT+space");
    EXPECT_EQ(ShortcutTrigger(MOD_ALT, 0x60), "ALT+KP_0");
    EXPECT_EQ(ShortcutTrigger(MOD_CONTROL, 0xBC), "CTRL+comma");
    EXPECT_EQ(ShortcutTrigger(MOD_CONTROL, 0xDC), "CTRL+backslash");
}

TEST(ShortcutTrigger, NothingForAKeyWithoutAName) {
    EXPECT_EQ(ShortcutTrigger(MOD_CONTROL, 0), "");
    EXPECT_EQ(ShortcutTrigger(MOD_CONTROL | MOD_ALT, 0xFF), "");
    EXPECT_EQ(ShortcutTrigger(0, 0xE5), "");  // the input method's key
}
