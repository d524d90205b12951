#include <iterator>

#include "res/Resources.h"
#include "res/resource.h"

namespace res {
namespace {

// The pictures are drawn a row to a line.
// clang-format off
constexpr PaletteEntry kPalette[] = {
    {'k', 0x000000}, {'m', 0x800000}, {'n', 0x000080}, {'d', 0x808080}, {'g', 0xC0C0C0},
    {'r', 0xFF0000}, {'y', 0xFFFF00}, {'b', 0x0000FF}, {'c', 0x00FFFF}, {'w', 0xFFFFFF},
};

// The program: a member's ID card.
constexpr const char* kAppLarge[] = {
    "................................",
    "................................",
    "................................",
    ".kkkkkkkkkkkkkkkkkkkkkkkkkkkk...",
    "kkbbbbbbbbbbbbbbbbbbbbbbbbbbkk..",
    "kbbbbbbbbbbbbbbbbbbbbbbbbbbbbkdd",
    "kbbbcbbcbbcbbcbbcbbcbbcbbcbbbkdd",
    "kbbbbbbbbbbbbbbbbbbbbbbbbbbbbkdd",
    "kbbbbbbbbbbbbbbbbbbbbbbbbbbbbkdd",
    "knnnnnnnnnnnnnnnnnnnnnnnnnnnnkdd",
    "kwwwwwwwwwwwwwwwwwwwwwwwwwwwwkdd",
    "kwwwwwwwwwwwwwwwwwwwwwwwwwwwwkdd",
    "kwwkkkkkkkkkwwnnnnnnwnnnnnwwwkdd",
    "kwwkccccccckwwwwnnwwwnnwwnnwwkdd",
    "kwwkcckkkcckwwwwnnwwwnnwwwnnwkdd",
    "kwwkckkkkkckwwwwnnwwwnnwwwnnwkdd",
    "kwwkckyyykckwwwwnnwwwnnwwwnnwkdd",
    "kwwkcyyyyyckwwwwnnwwwnnwwwnnwkdd",
    "kwwkccyyycckwwwwnnwwwnnwwnnwwkdd",
    "kwwkcnnnnnckwwnnnnnnwnnnnnwwwkdd",
    "kwwknnnnnnnkwwwwwwwwwwwwwwwwwkdd",
    "kwwknnnnnnnkwwwwwwwwwwwwwwwwwkdd",
    "kwwkkkkkkkkkwwddddddddddddddwkdd",
    "kwwwwwwwwwwwwwwwwwwwwwwwwwwwwkdd",
    "kwwwwwwwwwwwwwdddddddddddwwwwkdd",
    "kkwwwwwwwwwwwwwwwwwwwwwwwwwwkkdd",
    ".kkkkkkkkkkkkkkkkkkkkkkkkkkkk.dd",
    "..dddddddddddddddddddddddddddddd",
    "..dddddddddddddddddddddddddddddd",
    "................................",
    "................................",
    "................................",
};

constexpr const char* kAppSmall[] = {
    "................",
    "................",
    ".kkkkkkkkkkkkk..",
    "kbbbbbbbbbbbbbkd",
    "kbbbbbbbbbbbbbkd",
    "kwwwwwwwwwwwwwkd",
    "kwckcwnnnwnnnwkd",
    "kwcycwwnwwnwwnkd",
    "kwnnnwwnwwnwwnkd",
    "kwnnnwwnwwnwwnkd",
    "kwwwwwwnwwnwwnkd",
    "kwwwwwnnnwnnnwkd",
    "kwwwwwwwwwwwwwkd",
    ".kkkkkkkkkkkkk.d",
    "..dddddddddddddd",
    "................",
};

// The mark of a picked-up row. It is drawn on white rows and on the selection colour alike, so
// the cloth keeps its red where the dark outline sinks into a dark background.
constexpr const char* kPickup[] = {
    "...dd...........",
    "...dgmmm....mmm.",
    "...dgrrrmmmmrrm.",
    "...dgrrrrrrrrrm.",
    "...dgrrrrrrrrrm.",
    "...dgrrrrrrrrrm.",
    "...dgrrrrrrrrrm.",
    "...dgrrrrrrrrrm.",
    "...dgmmmrrrrmmm.",
    "...dg...mmmm....",
    "...dg...........",
    "...dg...........",
    "...dg...........",
    "...dg...........",
    "...dg...........",
    "..dddd..........",
};

// clang-format on

template <int W, int H>
constexpr PixelArt Art(const char* const (&rows)[H]) {
    return {W, H, rows, kPalette, std::size(kPalette)};
}

constexpr PixelArt kAppLargeArt = Art<32, 32>(kAppLarge);
constexpr PixelArt kAppSmallArt = Art<16, 16>(kAppSmall);
constexpr PixelArt kPickupArt = Art<16, 16>(kPickup);

constexpr IconResource kIcons[] = {
    {IDR_MAINFRAME, &kAppLargeArt, &kAppSmallArt},
    {IDI_PICKUP, nullptr, &kPickupArt},
};

}  // namespace

std::span<const IconResource> Icons() {
    return kIcons;
}

}  // namespace res
