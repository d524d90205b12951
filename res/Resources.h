// Resource data other than strings: menus, accelerator tables, tool bars and icons. Plain data,
// turned into windows and pictures by the framework layer. Texts are UTF-8 source text.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>

namespace res {

// A menu as a flat list. A pop-up is an entry with id 0 and a text; the entries after it with a
// depth one greater are its items. An entry with no text is a separator.
struct MenuEntry {
    int depth;         // 0: a pop-up of the menu bar (or of a context menu resource)
    unsigned id;       // command id; 0 for pop-ups and separators
    const char* utf8;  // "&" marks the mnemonic, "\t" separates the key name; nullptr: separator
};

struct MenuResource {
    unsigned id;
    const MenuEntry* entries;
    std::size_t count;
};

// Accelerator flags and virtual-key codes, with the values the original system uses.
constexpr std::uint8_t FVIRTKEY = 0x01;
constexpr std::uint8_t FSHIFT = 0x04;
constexpr std::uint8_t FCONTROL = 0x08;
constexpr std::uint8_t FALT = 0x10;

struct AccelEntry {
    std::uint8_t fVirt;  // FVIRTKEY and modifier flags
    std::uint16_t key;   // virtual-key code ('A'..'Z', VK_* values)
    std::uint16_t cmd;
};

struct AccelResource {
    unsigned id;
    const AccelEntry* entries;
    std::size_t count;
};

// A picture drawn as rows of characters; each character names a colour of the palette.
// ' ' or '.' is transparent.
struct PaletteEntry {
    char key;
    std::uint32_t rgb;  // 0xRRGGBB
};

struct PixelArt {
    int width;
    int height;
    const char* const* rows;  // height rows of width characters
    const PaletteEntry* palette;
    std::size_t paletteCount;
};

struct ToolBarResource {
    unsigned id;
    int buttonWidth;           // 16
    int buttonHeight;          // 15
    const unsigned* commands;  // 0: separator
    std::size_t count;
    const PixelArt* images;  // one per non-separator command, in order
};

struct IconResource {
    unsigned id;
    const PixelArt* large;  // 32 x 32, or nullptr
    const PixelArt* small;  // 16 x 16, or nullptr
};

// nullptr when there is no resource with that id.
const MenuResource* FindMenu(unsigned id);
const AccelResource* FindAccelerators(unsigned id);
const ToolBarResource* FindToolBar(unsigned id);
const IconResource* FindIcon(unsigned id);

}  // namespace res

namespace res {

// Dialog templates: the dialog's style, caption and size, and each control with its id, kind,
// style, text and rectangle. Sizes and rectangles are in dialog units of the dialog's font
// (a quarter of its average character width, an eighth of its height).
enum class DlgCtl : std::uint8_t {
    Button,
    Edit,
    Static,
    ListBox,
    ComboBox,
    UpDown,
    HotKey,
    ListView
};

// Controls without an id of their own (labels, group boxes) carry this one.
constexpr unsigned IDC_STATIC = 0xFFFF;

struct DialogItem {
    unsigned id;
    DlgCtl kind;
    std::uint32_t style;  // WS_*, and BS_*, ES_*, SS_*, LBS_*, CBS_*, UDS_* or LVS_* by kind
    const char* utf8;     // "&" marks the mnemonic; nullptr: no text; an icon's resource id
    short x, y, cx, cy;
};

struct DialogResource {
    unsigned id;
    std::uint32_t style;  // WS_*, DS_*
    const char* caption;  // UTF-8
    short cx, cy;
    int pointSize;  // of the dialog's font
    const DialogItem* items;
    std::size_t count;
};

const DialogResource* FindDialog(unsigned id);
// Every dialog template, in ascending order of id.
std::span<const DialogResource> Dialogs();

}  // namespace res
