// Window and control styles as dialog templates carry them, with the values of the original
// system, so that a template reads like the resource script it was written as.
#pragma once

#include <cstdint>

namespace afx_res {

// Window styles
constexpr std::uint32_t WS_POPUP = 0x80000000;
constexpr std::uint32_t WS_CHILD = 0x40000000;
constexpr std::uint32_t WS_VISIBLE = 0x10000000;
constexpr std::uint32_t WS_DISABLED = 0x08000000;
constexpr std::uint32_t WS_CAPTION = 0x00C00000;
constexpr std::uint32_t WS_BORDER = 0x00800000;
constexpr std::uint32_t WS_VSCROLL = 0x00200000;
constexpr std::uint32_t WS_HSCROLL = 0x00100000;
constexpr std::uint32_t WS_SYSMENU = 0x00080000;
// Starts a group: of radio buttons, and of controls the arrow keys move between.
constexpr std::uint32_t WS_GROUP = 0x00020000;
constexpr std::uint32_t WS_TABSTOP = 0x00010000;

// Dialog styles
constexpr std::uint32_t DS_MODALFRAME = 0x0080;
constexpr std::uint32_t DS_SETFONT = 0x0040;
constexpr std::uint32_t DS_CENTER = 0x0800;

// Buttons: the low four bits are the kind.
constexpr std::uint32_t BS_PUSHBUTTON = 0x0;
constexpr std::uint32_t BS_DEFPUSHBUTTON = 0x1;
constexpr std::uint32_t BS_AUTOCHECKBOX = 0x3;
constexpr std::uint32_t BS_GROUPBOX = 0x7;
constexpr std::uint32_t BS_AUTORADIOBUTTON = 0x9;
// The dialog draws the button (WM_DRAWITEM); its text is never shown.
constexpr std::uint32_t BS_OWNERDRAW = 0xB;
constexpr std::uint32_t BS_TYPEMASK = 0xF;

// Edits
constexpr std::uint32_t ES_LEFT = 0x0000;
constexpr std::uint32_t ES_AUTOHSCROLL = 0x0080;
constexpr std::uint32_t ES_READONLY = 0x0800;

// Statics
constexpr std::uint32_t SS_LEFT = 0x0000;
constexpr std::uint32_t SS_CENTER = 0x0001;
constexpr std::uint32_t SS_RIGHT = 0x0002;
// The text is the id of an icon resource, shown at its size.
constexpr std::uint32_t SS_ICON = 0x0003;
constexpr std::uint32_t SS_NOPREFIX = 0x0080;
constexpr std::uint32_t SS_TYPEMASK = 0x001F;
constexpr std::uint32_t SS_SUNKEN = 0x1000;

// List boxes
constexpr std::uint32_t LBS_NOTIFY = 0x0001;
constexpr std::uint32_t LBS_SORT = 0x0002;
// With LBS_HASSTRINGS: the lines of a check list box (CCheckListBox), each with its check box.
constexpr std::uint32_t LBS_OWNERDRAWFIXED = 0x0010;
constexpr std::uint32_t LBS_HASSTRINGS = 0x0040;
constexpr std::uint32_t LBS_NOINTEGRALHEIGHT = 0x0100;

// Combo boxes: the low two bits are the kind.
constexpr std::uint32_t CBS_SIMPLE = 0x0001;
constexpr std::uint32_t CBS_DROPDOWN = 0x0002;
constexpr std::uint32_t CBS_DROPDOWNLIST = 0x0003;
constexpr std::uint32_t CBS_AUTOHSCROLL = 0x0040;
constexpr std::uint32_t CBS_SORT = 0x0100;
constexpr std::uint32_t CBS_HASSTRINGS = 0x0200;
constexpr std::uint32_t CBS_DISABLENOSCROLL = 0x0800;

// Up-down controls
constexpr std::uint32_t UDS_WRAP = 0x0001;
constexpr std::uint32_t UDS_SETBUDDYINT = 0x0002;
constexpr std::uint32_t UDS_ALIGNRIGHT = 0x0004;
constexpr std::uint32_t UDS_AUTOBUDDY = 0x0010;
constexpr std::uint32_t UDS_ARROWKEYS = 0x0020;
constexpr std::uint32_t UDS_NOTHOUSANDS = 0x0080;

// List views
constexpr std::uint32_t LVS_REPORT = 0x0001;
constexpr std::uint32_t LVS_SINGLESEL = 0x0004;
constexpr std::uint32_t LVS_SHOWSELALWAYS = 0x0008;
constexpr std::uint32_t LVS_SHAREIMAGELISTS = 0x0040;
constexpr std::uint32_t LVS_OWNERDRAWFIXED = 0x0400;

}  // namespace afx_res
