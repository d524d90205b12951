// Resources as the framework reads them: string table, menus, accelerators, tool bars, icons,
// dialog templates and help topics, as plain data (texts in UTF-8, pictures as character grids).
// The program hands its tables over once, at start (AfxSetResourceTables), before it asks for
// any of them; the framework turns them into windows, pictures and texts of the code page.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>

namespace afx_res {

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

struct StringEntry {
    unsigned id;
    const char* utf8;
};

// Which topic of the manual a help context opens. The contexts are the framework's:
// HID_BASE_COMMAND + a command id (a menu item, a tool button, a key), HID_BASE_RESOURCE + the
// resource id of a window or a dialog template, HID_BASE_CONTROL + the id of a control bar.
struct HelpTopicEntry {
    unsigned context;
    const char* topic;  // a file of the manual, as "dlg-about.html"
};

// Everything a program hands the framework. Strings and help topics are looked up by halves and
// must be in ascending order of id (or context); dialogs are listed in their table's order.
struct ResourceTables {
    std::span<const StringEntry> strings;
    std::span<const MenuResource> menus;
    std::span<const AccelResource> accelerators;
    std::span<const ToolBarResource> toolBars;
    std::span<const IconResource> icons;
    std::span<const DialogResource> dialogs;
    std::span<const HelpTopicEntry> helpTopics;
    unsigned applicationIcon = 0;  // the icon the desktop shows for the program's windows
};

// Lookups in the tables handed over; nullptr (or empty) when there is no such resource.
const char* FindString(unsigned id);
const MenuResource* FindMenu(unsigned id);
const AccelResource* FindAccelerators(unsigned id);
const ToolBarResource* FindToolBar(unsigned id);
const IconResource* FindIcon(unsigned id);
const DialogResource* FindDialog(unsigned id);
std::span<const DialogResource> Dialogs();
const char* FindHelpTopic(unsigned context);
std::span<const HelpTopicEntry> HelpTopics();
unsigned ApplicationIcon();

}  // namespace afx_res

// Hands the program's resources to the framework; the tables must live for the program.
void AfxSetResourceTables(const afx_res::ResourceTables& tables);
