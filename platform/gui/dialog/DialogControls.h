// Dialog controls as the program sees them: the messages and notifications of edits, buttons,
// list boxes, combo boxes and up-down controls, with their numbers on the original system, and
// thin typed wrappers that send them. A wrapper reaches a control after DDX_Control (or
// SubclassDlgItem) has attached it.
#pragma once

#include "platform/gui/reportlist/CommCtrl.h"
#include "platform/gui/window/CWnd.h"

// Window messages
constexpr UINT WM_NEXTDLGCTL = 0x0028;
constexpr UINT WM_INITDIALOG = 0x0110;
constexpr UINT DM_GETDEFID = WM_USER + 0;
constexpr UINT DM_SETDEFID = WM_USER + 1;
constexpr WORD DC_HASDEFID = 0x534B;
// An owner-drawn control asks its dialog to draw it; the dialog hands it back to the control's
// own object (CButton::DrawItem, CListCtrl::DrawItem).
constexpr UINT WM_DRAWITEM = 0x002B;
constexpr UINT ODT_BUTTON = 4;

// Edits
constexpr UINT EM_SETSEL = 0x00B1;
constexpr UINT EM_GETMODIFY = 0x00B8;
constexpr UINT EM_SETMODIFY = 0x00B9;
constexpr UINT EM_LIMITTEXT = 0x00C5;
constexpr UINT EM_GETLIMITTEXT = 0x00D5;
constexpr int EN_SETFOCUS = 0x0100;
constexpr int EN_KILLFOCUS = 0x0200;
constexpr int EN_CHANGE = 0x0300;

// Buttons
constexpr UINT BM_GETCHECK = 0x00F0;
constexpr UINT BM_SETCHECK = 0x00F1;
constexpr UINT BM_CLICK = 0x00F5;
constexpr int BST_UNCHECKED = 0;
constexpr int BST_CHECKED = 1;
constexpr int BN_CLICKED = 0;

// List boxes
constexpr LRESULT LB_ERR = -1;
constexpr UINT LB_ADDSTRING = 0x0180;
constexpr UINT LB_INSERTSTRING = 0x0181;
constexpr UINT LB_DELETESTRING = 0x0182;
constexpr UINT LB_RESETCONTENT = 0x0184;
constexpr UINT LB_SETCURSEL = 0x0186;
constexpr UINT LB_GETCURSEL = 0x0188;
constexpr UINT LB_GETTEXT = 0x0189;
constexpr UINT LB_GETTEXTLEN = 0x018A;
constexpr UINT LB_GETCOUNT = 0x018B;
constexpr UINT LB_GETITEMDATA = 0x0199;
constexpr UINT LB_SETITEMDATA = 0x019A;
constexpr UINT LB_FINDSTRINGEXACT = 0x01A2;
constexpr int LBN_SELCHANGE = 1;
constexpr int LBN_DBLCLK = 2;
// A check list box: the user ticked or unticked a line's check box.
constexpr int CLBN_CHKCHANGE = 40;
// The check boxes of a check list box's lines (wParam the line; lParam the check). The framework
// kept them in its class; here the control keeps them.
constexpr UINT LBX_SETCHECK = WM_USER + 0x1F0;
constexpr UINT LBX_GETCHECK = WM_USER + 0x1F1;

// Combo boxes
constexpr LRESULT CB_ERR = -1;
constexpr UINT CB_LIMITTEXT = 0x0141;
constexpr UINT CB_ADDSTRING = 0x0143;
constexpr UINT CB_DELETESTRING = 0x0144;
constexpr UINT CB_GETCOUNT = 0x0146;
constexpr UINT CB_GETCURSEL = 0x0147;
constexpr UINT CB_GETLBTEXT = 0x0148;
constexpr UINT CB_GETLBTEXTLEN = 0x0149;
constexpr UINT CB_INSERTSTRING = 0x014A;
constexpr UINT CB_RESETCONTENT = 0x014B;
constexpr UINT CB_FINDSTRING = 0x014C;
constexpr UINT CB_SELECTSTRING = 0x014D;
constexpr UINT CB_SETCURSEL = 0x014E;
constexpr UINT CB_SHOWDROPDOWN = 0x014F;
constexpr UINT CB_GETITEMDATA = 0x0150;
constexpr UINT CB_SETITEMDATA = 0x0151;
constexpr UINT CB_FINDSTRINGEXACT = 0x0158;
constexpr int CBN_SELCHANGE = 1;
constexpr int CBN_DBLCLK = 2;
constexpr int CBN_EDITCHANGE = 5;

// Up-down controls
constexpr UINT UDM_SETRANGE = WM_USER + 101;
constexpr UINT UDM_GETRANGE = WM_USER + 102;
constexpr UINT UDM_SETPOS = WM_USER + 103;
constexpr UINT UDM_GETPOS = WM_USER + 104;
constexpr UINT UDM_GETBUDDY = WM_USER + 106;

// Hot-key controls: the value is the virtual key in the low byte and HOTKEYF_* in the high one.
constexpr UINT HKM_SETHOTKEY = WM_USER + 1;
constexpr UINT HKM_GETHOTKEY = WM_USER + 2;
constexpr UINT HKM_SETRULES = WM_USER + 3;

constexpr WPARAM MAKEWPARAM(WORD low, WORD high) {
    return static_cast<WPARAM>(static_cast<DWORD>(low) | (static_cast<DWORD>(high) << 16));
}

// The order of sorted list boxes and combo boxes (below zero: a comes first): letters without
// regard to case, then code order. A program that adds many entries in this order spares the
// list every move of the entries already in it.
int CompareListItemText(LPCTSTR a, LPCTSTR b);

class CStatic : public CWnd {};

class CEdit : public CWnd {
public:
    // The limit counts bytes of the code page: a double-byte character takes two.
    void LimitText(int nChars = 0) { SendMessage(EM_LIMITTEXT, static_cast<WPARAM>(nChars)); }
    BOOL GetModify() const { return Send(EM_GETMODIFY) != 0; }
    void SetModify(BOOL bModified = TRUE) { SendMessage(EM_SETMODIFY, bModified); }
    void SetSel(int nStart, int nEnd) { SendMessage(EM_SETSEL, nStart, nEnd); }

private:
    LRESULT Send(UINT m) const { return ::SendMessage(GetSafeHwnd(), m); }
};

class CButton : public CWnd {
public:
    int GetCheck() const { return static_cast<int>(::SendMessage(GetSafeHwnd(), BM_GETCHECK)); }
    void SetCheck(int nCheck) { SendMessage(BM_SETCHECK, static_cast<WPARAM>(nCheck)); }
    // Draws an owner-drawn button (BS_OWNERDRAW): itemState has ODS_FOCUS and ODS_SELECTED.
    virtual void DrawItem(LPDRAWITEMSTRUCT /*lpDrawItemStruct*/) {}
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
};

class CListBox : public CWnd {
public:
    int AddString(LPCTSTR s) { return Int(LB_ADDSTRING, 0, Str(s)); }
    int InsertString(int nIndex, LPCTSTR s) { return Int(LB_INSERTSTRING, nIndex, Str(s)); }
    int DeleteString(UINT nIndex) { return Int(LB_DELETESTRING, nIndex); }
    void ResetContent() { SendMessage(LB_RESETCONTENT); }
    int GetCount() const { return Int(LB_GETCOUNT); }
    int GetCurSel() const { return Int(LB_GETCURSEL); }
    int SetCurSel(int nSelect) { return Int(LB_SETCURSEL, static_cast<WPARAM>(nSelect)); }
    void GetText(int nIndex, CString& rString) const;
    DWORD_PTR GetItemData(int nIndex) const {
        return static_cast<DWORD_PTR>(Int(LB_GETITEMDATA, nIndex));
    }
    int SetItemData(int nIndex, DWORD_PTR d) { return Int(LB_SETITEMDATA, nIndex, LPARAM(d)); }

private:
    static LPARAM Str(LPCTSTR s) { return reinterpret_cast<LPARAM>(s); }
    int Int(UINT m, WPARAM w = 0, LPARAM l = 0) const {
        return static_cast<int>(::SendMessage(GetSafeHwnd(), m, w, l));
    }
};

// A list box whose lines each have a check box (an owner-drawn list box with strings).
class CCheckListBox : public CListBox {
public:
    void SetCheck(int nIndex, int nCheck) {
        SendMessage(LBX_SETCHECK, static_cast<WPARAM>(nIndex), nCheck);
    }
    int GetCheck(int nIndex) const {
        return static_cast<int>(
            ::SendMessage(GetSafeHwnd(), LBX_GETCHECK, static_cast<WPARAM>(nIndex)));
    }
};

class CHotKeyCtrl : public CWnd {
public:
    void SetHotKey(WORD wVirtualKeyCode, WORD wModifiers) {
        SendMessage(HKM_SETHOTKEY,
                    static_cast<WPARAM>(MAKEWORD(LOBYTE(wVirtualKeyCode), LOBYTE(wModifiers))));
    }
    DWORD GetHotKey() const {
        return static_cast<DWORD>(::SendMessage(GetSafeHwnd(), HKM_GETHOTKEY));
    }
};

class CComboBox : public CWnd {
public:
    int AddString(LPCTSTR s) { return Int(CB_ADDSTRING, 0, Str(s)); }
    int InsertString(int nIndex, LPCTSTR s) { return Int(CB_INSERTSTRING, nIndex, Str(s)); }
    int DeleteString(UINT nIndex) { return Int(CB_DELETESTRING, nIndex); }
    void ResetContent() { SendMessage(CB_RESETCONTENT); }
    int GetCount() const { return Int(CB_GETCOUNT); }
    int GetCurSel() const { return Int(CB_GETCURSEL); }
    int SetCurSel(int nSelect) { return Int(CB_SETCURSEL, static_cast<WPARAM>(nSelect)); }
    void GetLBText(int nIndex, CString& rString) const;
    DWORD_PTR GetItemData(int nIndex) const {
        return static_cast<DWORD_PTR>(Int(CB_GETITEMDATA, nIndex));
    }
    int SetItemData(int nIndex, DWORD_PTR d) { return Int(CB_SETITEMDATA, nIndex, LPARAM(d)); }
    BOOL LimitText(int nMaxChars) { return Int(CB_LIMITTEXT, static_cast<WPARAM>(nMaxChars)); }

private:
    static LPARAM Str(LPCTSTR s) { return reinterpret_cast<LPARAM>(s); }
    int Int(UINT m, WPARAM w = 0, LPARAM l = 0) const {
        return static_cast<int>(::SendMessage(GetSafeHwnd(), m, w, l));
    }
};

class CSpinButtonCtrl : public CWnd {
public:
    void SetRange(int nLower, int nUpper) {
        SendMessage(UDM_SETRANGE, 0,
                    MAKELPARAM(static_cast<WORD>(nUpper), static_cast<WORD>(nLower)));
    }
    int SetPos(int nPos) {
        return static_cast<int>(SendMessage(UDM_SETPOS, 0, MAKELPARAM(static_cast<WORD>(nPos), 0)));
    }
    int GetPos() const { return static_cast<int>(::SendMessage(GetSafeHwnd(), UDM_GETPOS)); }
};
