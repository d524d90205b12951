#include <gtest/gtest.h>

#include <cstring>
#include <map>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "platform/base/CodePage.h"
#include "res/Resources.h"
#include "res/resource.h"

namespace {

void ExpectWellFormed(const afx_res::PixelArt& art, int width, int height,
                      const std::string& what) {
    SCOPED_TRACE(what);
    ASSERT_EQ(art.width, width);
    ASSERT_EQ(art.height, height);
    std::string keys;
    for (std::size_t i = 0; i < art.paletteCount; ++i) keys += art.palette[i].key;
    EXPECT_EQ(keys.find_first_of(" ."), std::string::npos) << "a colour named like transparency";
    EXPECT_EQ(std::set<char>(keys.begin(), keys.end()).size(), keys.size());
    for (int y = 0; y < height; ++y) {
        const std::string row = art.rows[y];
        EXPECT_EQ(row.size(), std::size_t(width)) << "row " << y;
        for (char c : row)
            EXPECT_TRUE(c == ' ' || c == '.' || keys.find(c) != std::string::npos)
                << "row " << y << ": " << c;
    }
}

// Every command a user can reach, with where it is reached from.
std::vector<std::pair<unsigned, std::string>> ReachableCommands() {
    std::vector<std::pair<unsigned, std::string>> out;
    for (unsigned id : {IDR_MAINFRAME, IDR_POPUP}) {
        const afx_res::MenuResource* menu = afx_res::FindMenu(id);
        for (std::size_t i = 0; i < menu->count; ++i)
            if (menu->entries[i].id) out.emplace_back(menu->entries[i].id, menu->entries[i].utf8);
    }
    const afx_res::ToolBarResource* bar = afx_res::FindToolBar(IDR_MAINFRAME);
    for (std::size_t i = 0; i < bar->count; ++i)
        if (bar->commands[i]) out.emplace_back(bar->commands[i], "tool bar button");
    return out;
}

}  // namespace

TEST(Resources, PicturesAreCompleteGridsOfTheirPalette) {
    const afx_res::ToolBarResource* bar = afx_res::FindToolBar(IDR_MAINFRAME);
    ASSERT_NE(bar, nullptr);
    EXPECT_EQ(bar->buttonWidth, 16);
    EXPECT_EQ(bar->buttonHeight, 15);
    for (std::size_t i = 0, image = 0; i < bar->count; ++i)
        if (bar->commands[i])
            ExpectWellFormed(bar->images[image++], 16, 15,
                             "button " + std::to_string(bar->commands[i]));
    const afx_res::IconResource* app = afx_res::FindIcon(IDR_MAINFRAME);
    ASSERT_TRUE(app && app->large && app->small);
    ExpectWellFormed(*app->large, 32, 32, "application icon");
    ExpectWellFormed(*app->small, 16, 16, "small application icon");
    const afx_res::IconResource* pickup = afx_res::FindIcon(IDI_PICKUP);
    ASSERT_TRUE(pickup && pickup->small);
    ExpectWellFormed(*pickup->small, 16, 16, "pickup mark");
    EXPECT_EQ(afx_res::FindIcon(IDR_POPUP), nullptr);
    EXPECT_EQ(afx_res::FindToolBar(IDR_POPUP), nullptr);
}

TEST(Resources, MenusAreWellFormed) {
    EXPECT_EQ(afx_res::FindMenu(IDI_PICKUP), nullptr);
    for (unsigned id : {IDR_MAINFRAME, IDR_POPUP}) {
        const afx_res::MenuResource* menu = afx_res::FindMenu(id);
        ASSERT_NE(menu, nullptr);
        ASSERT_GT(menu->count, 0u);
        for (std::size_t i = 0; i < menu->count; ++i) {
            const afx_res::MenuEntry& e = menu->entries[i];
            SCOPED_TRACE("menu " + std::to_string(id) + " entry " + std::to_string(i));
            if (e.depth == 0) {  // a pop-up with a title and at least one item
                EXPECT_TRUE(e.id == 0 && e.utf8);
                ASSERT_LT(i + 1, menu->count);
                EXPECT_EQ(menu->entries[i + 1].depth, 1);
            } else {
                EXPECT_EQ(e.depth, 1);
                EXPECT_EQ(e.id == 0, e.utf8 == nullptr)
                    << "an item needs a command, a separator none";
            }
        }
    }
    const afx_res::MenuResource* popup = afx_res::FindMenu(IDR_POPUP);
    EXPECT_EQ(popup->entries[1].id, unsigned(ID_QUIT_RESIDENT));
    EXPECT_EQ(popup->entries[2].depth, 0) << "the tray menu holds the one item";
}

TEST(Resources, KeyNamesInTheMenuAreTheAccelerators) {
    const afx_res::AccelResource* accel = afx_res::FindAccelerators(IDR_MAINFRAME);
    ASSERT_NE(accel, nullptr);
    ASSERT_EQ(accel->count, 17u);
    std::set<std::pair<int, int>> keys;
    for (std::size_t i = 0; i < accel->count; ++i) {
        EXPECT_TRUE(accel->entries[i].fVirt & afx_res::FVIRTKEY);
        EXPECT_TRUE(keys.emplace(accel->entries[i].fVirt, accel->entries[i].key).second)
            << "key used twice";
    }
    auto bound = [&](std::uint8_t fVirt, std::uint16_t key, unsigned cmd) {
        for (std::size_t i = 0; i < accel->count; ++i)
            if (accel->entries[i].fVirt == fVirt && accel->entries[i].key == key)
                return accel->entries[i].cmd == cmd;
        return false;
    };
    const afx_res::MenuResource* menu = afx_res::FindMenu(IDR_MAINFRAME);
    std::map<unsigned, std::string> mainTexts;
    for (std::size_t i = 0; i < menu->count; ++i) {
        const afx_res::MenuEntry& e = menu->entries[i];
        if (!e.utf8) continue;
        mainTexts[e.id] = e.utf8;
        const char* tab = std::strchr(e.utf8, '\t');
        if (!tab) continue;
        const std::string name = tab + 1;
        SCOPED_TRACE(name);
        if (name.rfind("Ctrl+", 0) == 0) {
            EXPECT_TRUE(bound(afx_res::FVIRTKEY | afx_res::FCONTROL, name[5], e.id));
        } else {
            EXPECT_TRUE(bound(afx_res::FVIRTKEY,
                              name == "Del"   ? 0x2E
                              : name == "Ins" ? 0x2D
                                              : 0x0D,
                              e.id));
        }
    }
    // The context menu shows the main menu's texts without mnemonic and key name.
    const afx_res::MenuResource* context = afx_res::FindMenu(IDR_POPUP);
    for (std::size_t i = 3; i < context->count; ++i) {
        const afx_res::MenuEntry& e = context->entries[i];
        if (!e.id) continue;
        std::string plain = mainTexts[e.id];
        plain = plain.substr(0, plain.find('\t'));
        plain.erase(plain.find("(&"), 4);
        EXPECT_EQ(e.utf8, plain);
    }
}

TEST(Resources, EveryCommandHasItsPrompt) {
    for (const auto& [id, where] : ReachableCommands()) {
        const char* prompt = afx_res::FindString(id);
        ASSERT_NE(prompt, nullptr) << id << " " << where;
        const bool hasTip = std::strchr(prompt, '\n') && std::strchr(prompt, '\n')[1];
        EXPECT_TRUE(hasTip || id == ID_FILE_MRU_FILE1) << id << " needs a tool tip: " << where;
    }
}

TEST(Resources, EveryStringSurvivesTheProgramCodePage) {
    int count = 0;
    for (unsigned id = 0; id <= 0xFFFF; ++id) {
        const char* s = afx_res::FindString(id);
        if (!s) continue;
        ++count;
        EXPECT_EQ(Cp932ToUtf8(Utf8ToCp932(s)), s) << id;
    }
    EXPECT_GT(count, 70);
    for (const auto& [id, text] : ReachableCommands())
        EXPECT_EQ(Cp932ToUtf8(Utf8ToCp932(text)), text) << id;
}
