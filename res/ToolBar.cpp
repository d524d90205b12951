#include <iterator>

#include "res/Resources.h"
#include "res/resource.h"

namespace res {
namespace {

// The pictures are drawn a row to a line.
// clang-format off
// The sixteen colours of the classic display; buttons sit on the 3D face (silver).
constexpr PaletteEntry kPalette[] = {
    {'k', 0x000000}, {'m', 0x800000}, {'e', 0x008000}, {'o', 0x808000},
    {'n', 0x000080}, {'p', 0x800080}, {'t', 0x008080}, {'g', 0xC0C0C0},
    {'d', 0x808080}, {'r', 0xFF0000}, {'G', 0x00FF00}, {'y', 0xFFFF00},
    {'b', 0x0000FF}, {'M', 0xFF00FF}, {'c', 0x00FFFF}, {'w', 0xFFFFFF},
};

constexpr const char* kNew[] = {
    "................",
    "...kkkkkkk......",
    "...kwwwwwkk.....",
    "...kwwwwwkwk....",
    "...kwwwwwkwwk...",
    "...kwwwwwkkkkk..",
    "...kwwwwwwwwwk..",
    "...kwwwwwwwwwk..",
    "...kwwwwwwwwwk..",
    "...kwwwwwwwwwk..",
    "...kwwwwwwwwwk..",
    "...kwwwwwwwwwk..",
    "...kwwwwwwwwwk..",
    "...kkkkkkkkkkk..",
    "................",
};

constexpr const char* kOpen[] = {
    "................",
    "................",
    "................",
    ".kkkk...........",
    "kywyyk..........",
    "kwyyyykkkkkkk...",
    "kyyyyyyyyyyyk...",
    "kyyyyyyyyyyyk...",
    "kyyykkkkkkkkkkkk",
    "kyykyyyyyyyyyyk.",
    "kykyyyyyyyyyyk..",
    "kkyyyyyyyyyyk...",
    "kkkkkkkkkkkk....",
    "................",
    "................",
};

constexpr const char* kSave[] = {
    "................",
    ".kkkkkkkkkkkkkk.",
    ".knkwwwwwwwwknk.",
    ".knkwddddddwknk.",
    ".knkwwwwwwwwknk.",
    ".knkwddddddwknk.",
    ".knkwwwwwwwwknk.",
    ".knnkkkkkkkknnk.",
    ".knnnnnnnnnnnnk.",
    ".knnggggggggnnk.",
    ".knngggnngggnnk.",
    ".knngggnngggnnk.",
    ".knngggnngggnnk.",
    "..kkkkkkkkkkkkk.",
    "................",
};

constexpr const char* kRegist[] = {
    "................",
    "kkkkkkkkkkkk....",
    "kbbbbbbbbbbk....",
    "kwwwwwwwwwwk....",
    "kwcyycwwwwwk....",
    "kwcyycwkkkwk....",
    "kwnnnnwwwwwk....",
    "kwnnnnwkkweeee..",
    "kwwwwwwwwweGGe..",
    "kkkkkkkkeeeGGeee",
    "........eGGGGGGe",
    "........eGGGGGGe",
    "........eeeGGeee",
    "..........eGGe..",
    "..........eeee..",
};

constexpr const char* kDelete[] = {
    "................",
    "kkkkkkkkkkkk....",
    "kbbbbbbbbbbk....",
    "kwwwwwwwwwwk....",
    "kwcyycwwwwwk....",
    "kwcyycwkkkwk....",
    "kwnnnnwwwwwk....",
    "kwnnnnwkrrwk..rr",
    "kwwwwwwwrrrk.rrr",
    "kkkkkkkkkrrrrrr.",
    "..........rrrr..",
    "..........rrrr..",
    ".........rrrrrr.",
    "........rrr..rrr",
    "........rr....rr",
};

constexpr const char* kRestore[] = {
    "................",
    "kkkkkkkkkkkk....",
    "kbbbbbbbbbbk....",
    "kwwwwwwwwwwk....",
    "kwcyycwwwwwk....",
    "kwcyycwkkkwk....",
    "kwnnnnwwwwwk....",
    "kwnnnnwkkwwk....",
    "kwwwwwwkkbkk....",
    "kkkkkkkkbbkkkkk.",
    "......kbbbbbbbkk",
    "......kkbbbbbbbk",
    ".......kkbkkkbbk",
    "........kkk.kbbk",
    "............kbbk",
};

constexpr const char* kPersonal[] = {
    "................",
    "kkkkkkkkkkkk....",
    "kbbbbbbbbbbk.kk.",
    "kwwwwwwwwwwkkrrk",
    "kwcyycwwwwwkkrrk",
    "kwcyycwkkkkkyyk.",
    "kwnnnnwwwwwkyyk.",
    "kwnnnnwkkkkyyk..",
    "kwwwwwwwwwkyyk..",
    "kwkkkkkkkkyyk...",
    "kwwwwwwwwkyyk...",
    "kkkkkkkkkookk...",
    ".........okk....",
    ".........kk.....",
    "................",
};

constexpr const char* kOnlyPickup[] = {
    "................",
    "..........k.....",
    "..........krrr..",
    "..........krrrrr",
    "..........krrr..",
    "kkkkkkkkkkk.....",
    "kwwwwwwwwwk.....",
    ".kwbbbbbbk......",
    "..kwbbbbk.......",
    "...kwbbk........",
    "....kwk.........",
    "....kwk.........",
    "....kwk.........",
    "....kkk.........",
    "................",
};

constexpr const char* kDate[] = {
    "................",
    "..k..k..k..k....",
    ".kkkkkkkkkkkkk..",
    ".krrrrrrrrrrrk..",
    ".krrrrrrrrrrrk..",
    ".kwwwwwwwwwwwk..",
    ".kwkwkwkwkwkwk..",
    ".kwwwwwwwwwwwk..",
    ".kwkwkwbbbwkwk..",
    ".kwwwwwbbbwwwk..",
    ".kwkwkwbbbwkwk..",
    ".kwwwwwwwwwwwk..",
    ".kwkwkwkwwwwwk..",
    ".kkkkkkkkkkkkk..",
    "................",
};

constexpr const char* kKeyword[] = {
    "................",
    "kkkkkkkkk.......",
    "kwwwwwwwk.......",
    "kwkkkkkwk.......",
    "kwwwwwwwk.......",
    "kwkkkwwkkk......",
    "kwwwwwkcwck.....",
    "kwkkwkcwccck....",
    "kwwwwkccccck....",
    "kwkkwkccccck....",
    "kwwwwwkccck.....",
    "kwwwwwwkkkkk....",
    "kkkkkkkkk.kkk...",
    "...........kkk..",
    "............kkk.",
};

constexpr const char* kPickupRedo[] = {
    "................",
    "......eeee......",
    "....eeeeeeee....",
    "...eeee..eeee...",
    "...........ee...",
    "..ee........ee..",
    ".eeee.......ee..",
    "eeeeee....eeeeee",
    "..ee.......eeee.",
    "..ee........ee..",
    "...ee...........",
    "...eeee..eeee...",
    "....eeeeeeee....",
    "......eeee......",
    "................",
};

constexpr const char* kAbout[] = {
    "................",
    "...kkkkkkkkk....",
    "..kyyyyyyyyyk...",
    ".kyyykkkkyyyyk..",
    ".kyykkyykkyyyk..",
    ".kyyyyyykkyyyk..",
    ".kyyyyykkyyyyk..",
    ".kyyyykkyyyyyk..",
    ".kyyyykkyyyyyk..",
    ".kyyyyyyyyyyyk..",
    "..kyyykkyyyyk...",
    "...kkykkkkkk....",
    "...kyk..........",
    "...kk...........",
    "................",
};

constexpr const char* kContextHelp[] = {
    "................",
    ".k..............",
    ".kk.......nnnn..",
    ".kwk.....nn..nn.",
    ".kwwk....nn..nn.",
    ".kwwwk......nn..",
    ".kwwwwk....nn...",
    ".kwwwwwk...nn...",
    ".kwwwwwwk.......",
    ".kwwwwkkkk.nn...",
    ".kwkkwk....nn...",
    ".kk..kwk........",
    ".k...kwk........",
    "......kwk.......",
    "......kk........",
};

// clang-format on

constexpr PixelArt Art(const char* const (&rows)[15]) {
    return {16, 15, rows, kPalette, std::size(kPalette)};
}

// clang-format off
constexpr unsigned kCommands[] = {
    ID_FILE_NEW,    ID_FILE_OPEN,    ID_FILE_SAVE,       0,
    ID_REGIST_ID,   ID_DELETE_ID,    ID_RESTORE_ID,      0,
    ID_PERSONAL_DATA, 0,
    ID_ONLY_PICKUP, ID_SPECIFY_DATE, ID_SPECIFY_KEYWORD, ID_PICKUP_REDO, 0,
    ID_APP_ABOUT,   ID_CONTEXT_HELP,
};

constexpr PixelArt kImages[] = {
    Art(kNew),        Art(kOpen),     Art(kSave),
    Art(kRegist),     Art(kDelete),   Art(kRestore),
    Art(kPersonal),
    Art(kOnlyPickup), Art(kDate),     Art(kKeyword), Art(kPickupRedo),
    Art(kAbout),      Art(kContextHelp),
};

// clang-format on

constexpr ToolBarResource kToolBars[] = {
    {IDR_MAINFRAME, 16, 15, kCommands, std::size(kCommands), kImages},
};

constexpr bool OneImagePerButton() {
    std::size_t buttons = 0;
    for (unsigned command : kCommands)
        if (command != 0) ++buttons;
    return buttons == std::size(kImages);
}
static_assert(OneImagePerButton(), "every button needs its picture, in the order of the buttons");

}  // namespace

std::span<const ToolBarResource> ToolBars() {
    return kToolBars;
}

}  // namespace res
