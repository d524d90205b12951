// The common controls of dialog templates: the hot-key control and the report list view.
#include <QKeyEvent>
#include <QLineEdit>
#include <functional>

#include "platform/base/AfxRes.h"
#include "platform/base/CodePage.h"
#include "platform/base/StringResource.h"
#include "platform/gui/dialog/DialogControls.h"
#include "platform/gui/dialog/DialogWidget.h"
#include "platform/gui/reportlist/ListWidget.h"
#include "platform/gui/window/QtText.h"
#include "platform/gui/x11/HotKey.h"

namespace {

// ---- hot key ----------------------------------------------------------------------------

BYTE ModifierFlags(Qt::KeyboardModifiers mods) {
    BYTE flags = 0;
    if (mods & Qt::ShiftModifier) flags |= HOTKEYF_SHIFT;
    if (mods & Qt::ControlModifier) flags |= HOTKEYF_CONTROL;
    if (mods & Qt::AltModifier) flags |= HOTKEYF_ALT;
    return flags;
}

bool IsModifierKey(int key) {
    return key == Qt::Key_Shift || key == Qt::Key_Control || key == Qt::Key_Alt ||
           key == Qt::Key_Meta || key == Qt::Key_AltGr || key == Qt::Key_Super_L ||
           key == Qt::Key_Super_R;
}

// Keys whose meaning depends on Shift on a US layout: the virtual key is that of the unshifted
// key, as the keyboard sends it.
UINT VirtualKeyOfSymbol(int key) {
    static constexpr struct {
        int key;
        UINT vk;
    } kSymbols[] = {
        {Qt::Key_Exclam, '1'},        {Qt::Key_At, '2'},
        {Qt::Key_NumberSign, '3'},    {Qt::Key_Dollar, '4'},
        {Qt::Key_Percent, '5'},       {Qt::Key_AsciiCircum, '6'},
        {Qt::Key_Ampersand, '7'},     {Qt::Key_Asterisk, '8'},
        {Qt::Key_ParenLeft, '9'},     {Qt::Key_ParenRight, '0'},
        {Qt::Key_Semicolon, 0xBA},    {Qt::Key_Colon, 0xBA},
        {Qt::Key_Equal, 0xBB},        {Qt::Key_Plus, 0xBB},
        {Qt::Key_Comma, 0xBC},        {Qt::Key_Less, 0xBC},
        {Qt::Key_Minus, 0xBD},        {Qt::Key_Underscore, 0xBD},
        {Qt::Key_Period, 0xBE},       {Qt::Key_Greater, 0xBE},
        {Qt::Key_Slash, 0xBF},        {Qt::Key_Question, 0xBF},
        {Qt::Key_QuoteLeft, 0xC0},    {Qt::Key_AsciiTilde, 0xC0},
        {Qt::Key_BracketLeft, 0xDB},  {Qt::Key_BraceLeft, 0xDB},
        {Qt::Key_Backslash, 0xDC},    {Qt::Key_Bar, 0xDC},
        {Qt::Key_BracketRight, 0xDD}, {Qt::Key_BraceRight, 0xDD},
        {Qt::Key_Apostrophe, 0xDE},   {Qt::Key_QuoteDbl, 0xDE},
    };
    for (const auto& s : kSymbols)
        if (s.key == key) return s.vk;
    return 0;
}

// The virtual key of a key press, and whether it is one of the extended keys (HOTKEYF_EXT).
UINT VirtualKeyOf(const QKeyEvent* e, bool& ext) {
    const int key = e->key();
    const bool keypad = (e->modifiers() & Qt::KeypadModifier) != 0;
    ext = false;
    if (key >= Qt::Key_A && key <= Qt::Key_Z) return static_cast<UINT>(key);
    if (key >= Qt::Key_0 && key <= Qt::Key_9)
        return keypad ? 0x60 + static_cast<UINT>(key - Qt::Key_0) : static_cast<UINT>(key);
    if (key >= Qt::Key_F1 && key <= Qt::Key_F24) return 0x70 + static_cast<UINT>(key - Qt::Key_F1);
    if (keypad) {
        switch (key) {
            case Qt::Key_Asterisk:
                return 0x6A;
            case Qt::Key_Plus:
                return 0x6B;
            case Qt::Key_Minus:
                return 0x6D;
            case Qt::Key_Period:
                return 0x6E;
            case Qt::Key_Slash:
                ext = true;
                return 0x6F;
            case Qt::Key_Enter:
                ext = true;
                return 0x0D;
            default:
                break;
        }
    }
    switch (key) {
        case Qt::Key_Backspace:
            return 0x08;
        case Qt::Key_Return:
        case Qt::Key_Enter:
            return 0x0D;
        case Qt::Key_Pause:
            return 0x13;
        case Qt::Key_Escape:
            return 0x1B;
        case Qt::Key_Space:
            return 0x20;
        case Qt::Key_Print:
            return 0x2C;
        case Qt::Key_ScrollLock:
            return 0x91;
        default:
            break;
    }
    static constexpr struct {
        int key;
        UINT vk;
    } kNavigation[] = {
        {Qt::Key_PageUp, 0x21}, {Qt::Key_PageDown, 0x22}, {Qt::Key_End, 0x23},
        {Qt::Key_Home, 0x24},   {Qt::Key_Left, 0x25},     {Qt::Key_Up, 0x26},
        {Qt::Key_Right, 0x27},  {Qt::Key_Down, 0x28},     {Qt::Key_Insert, 0x2D},
        {Qt::Key_Delete, 0x2E},
    };
    for (const auto& n : kNavigation) {
        if (n.key != key) continue;
        // The keys of the separate block are the extended ones; those of the keypad are not.
        ext = !keypad;
        return n.vk;
    }
    return VirtualKeyOfSymbol(key);
}

QString KeyName(UINT vk) {
    if ((vk >= 'A' && vk <= 'Z') || (vk >= '0' && vk <= '9'))
        return QString(QChar(static_cast<char>(vk)));
    if (vk >= 0x70 && vk <= 0x87) return QStringLiteral("F%1").arg(vk - 0x70 + 1);
    if (vk >= 0x60 && vk <= 0x69) return QStringLiteral("Num %1").arg(vk - 0x60);
    static constexpr struct {
        UINT vk;
        const char* name;
    } kNames[] = {
        {0x08, "Backspace"}, {0x0D, "Enter"},       {0x13, "Pause"},     {0x1B, "Esc"},
        {0x20, "Space"},     {0x21, "Page Up"},     {0x22, "Page Down"}, {0x23, "End"},
        {0x24, "Home"},      {0x25, "Left"},        {0x26, "Up"},        {0x27, "Right"},
        {0x28, "Down"},      {0x2C, "Print"},       {0x2D, "Insert"},    {0x2E, "Delete"},
        {0x6A, "Num *"},     {0x6B, "Num +"},       {0x6D, "Num -"},     {0x6E, "Num Del"},
        {0x6F, "Num /"},     {0x91, "Scroll Lock"}, {0xBA, ";"},         {0xBB, "="},
        {0xBC, ","},         {0xBD, "-"},           {0xBE, "."},         {0xBF, "/"},
        {0xC0, "`"},         {0xDB, "["},           {0xDC, "\\"},        {0xDD, "]"},
        {0xDE, "'"},
    };
    for (const auto& n : kNames)
        if (n.vk == vk) return QString::fromLatin1(n.name);
    return QStringLiteral("0x%1").arg(vk, 2, 16, QChar('0'));
}

QString ModifierText(BYTE flags) {
    QString text;
    if (flags & HOTKEYF_CONTROL) text += QStringLiteral("Ctrl + ");
    if (flags & HOTKEYF_SHIFT) text += QStringLiteral("Shift + ");
    if (flags & HOTKEYF_ALT) text += QStringLiteral("Alt + ");
    return text;
}

// Records the combination pressed: modifiers show as they are held, the first other key
// completes it. Tab, Enter and Esc without modifiers stay the dialog's; Backspace or Delete
// alone clear the control.
class HotKeyEdit : public QLineEdit {
public:
    explicit HotKeyEdit(QWidget* parent) : QLineEdit(parent) {
        setContextMenuPolicy(Qt::NoContextMenu);
        setAttribute(Qt::WA_InputMethodEnabled, false);
        ShowValue();
    }
    std::function<void()> changed;
    WORD value = 0;
    void SetValue(WORD v) {
        value = v;
        ShowValue();
    }

protected:
    bool event(QEvent* e) override {
        // Combinations that are shortcuts elsewhere in the dialog (mnemonics) come here first.
        if (e->type() == QEvent::ShortcutOverride && Takes(static_cast<QKeyEvent*>(e))) {
            e->accept();
            return true;
        }
        return QLineEdit::event(e);
    }
    void keyPressEvent(QKeyEvent* e) override {
        if (!Takes(e)) return QWidget::keyPressEvent(e);
        e->accept();
        const BYTE flags = ModifierFlags(e->modifiers());
        if (IsModifierKey(e->key())) {
            setText(ModifierText(flags));
            return;
        }
        if ((e->key() == Qt::Key_Backspace || e->key() == Qt::Key_Delete) && flags == 0) {
            Change(0);
            return;
        }
        bool ext = false;
        const UINT vk = VirtualKeyOf(e, ext);
        if (vk == 0) return;
        Change(MAKEWORD(static_cast<BYTE>(vk), static_cast<BYTE>(flags | (ext ? HOTKEYF_EXT : 0))));
    }
    void keyReleaseEvent(QKeyEvent* e) override {
        e->accept();
        if (ModifierFlags(e->modifiers()) == 0) ShowValue();
    }
    void focusOutEvent(QFocusEvent* e) override {
        QLineEdit::focusOutEvent(e);
        ShowValue();
    }

private:
    static bool Takes(const QKeyEvent* e) {
        const int key = e->key();
        if (key == Qt::Key_Tab || key == Qt::Key_Backtab) return false;
        const bool plain = ModifierFlags(e->modifiers()) == 0;
        return !(plain && (key == Qt::Key_Return || key == Qt::Key_Enter || key == Qt::Key_Escape));
    }
    void Change(WORD v) {
        SetValue(v);
        if (changed) changed();
    }
    void ShowValue() {
        if (value == 0) {
            setText(ToQt(AfxLoadString(AFX_IDS_HOTKEY_NONE)));
            return;
        }
        setText(ModifierText(HIBYTE(value)) + KeyName(LOBYTE(value)));
    }
};

class HotKeyCtl : public CControlWnd {
public:
    HotKeyCtl(const afx_res::DialogItem& item, QWidget* parent, CWnd* dlg)
        : CControlWnd(item, dlg) {
        m_edit = new HotKeyEdit(parent);
        Attach(m_edit);
        // Tells the dialog of each change the user makes, as an edit does; by handle, since
        // the widget may outlive this object by a turn of the event loop.
        m_edit->changed = [hWnd = GetSafeHwnd(), hDialog = m_hDialog, id = item.id] {
            if (CWnd::FromHandle(hWnd))
                ::SendMessage(hDialog, WM_COMMAND, MAKEWPARAM(static_cast<WORD>(id), EN_CHANGE),
                              reinterpret_cast<LPARAM>(hWnd));
        };
    }
    LRESULT DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam) override {
        switch (message) {
            case HKM_SETHOTKEY:
                m_edit->SetValue(static_cast<WORD>(wParam & 0xFFFF));
                return 0;
            case HKM_GETHOTKEY:
                return m_edit->value;
            case HKM_SETRULES:
                return 0;
            default:
                return CWnd::DefWindowProc(message, wParam, lParam);
        }
    }

private:
    HotKeyEdit* m_edit;
};

// ---- list view --------------------------------------------------------------------------

// A report list in a dialog: its notifications and its owner drawing go to the dialog, which
// hands the drawing back to the control's own object (CListCtrl::DrawItem).
class ListViewCtl : public CControlWnd {
public:
    ListViewCtl(const afx_res::DialogItem& item, QWidget* parent, CWnd* dlg)
        : CControlWnd(item, dlg) {
        m_list = new ListCtrlQt(parent);
        m_list->SetStyle(item.style & 0xFFFF);
        Attach(m_list);
        ListCtrlQt::Host host;
        const HWND hWnd = GetSafeHwnd();
        const HWND hDialog = m_hDialog;
        const UINT id = item.id;
        host.notify = [hWnd, hDialog, id](NMHDR* pHdr) -> LRESULT {
            if (!CWnd::FromHandle(hWnd)) return 0;
            pHdr->hwndFrom = hWnd;
            pHdr->idFrom = id;
            return ::SendMessage(hDialog, WM_NOTIFY, id, reinterpret_cast<LPARAM>(pHdr));
        };
        host.drawItem = [hWnd, hDialog, id](DRAWITEMSTRUCT* pDis) {
            if (!CWnd::FromHandle(hWnd)) return;
            pDis->CtlID = id;
            pDis->hwndItem = hWnd;
            ::SendMessage(hDialog, WM_DRAWITEM, id, reinterpret_cast<LPARAM>(pDis));
        };
        m_list->SetHost(std::move(host));
    }
    LRESULT DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam) override {
        if (message >= LVM_FIRST && message <= LVM_LAST) {
            bool handled = false;
            const LRESULT result = m_list->HandleMessage(message, wParam, lParam, &handled);
            if (handled) return result;
        }
        return CWnd::DefWindowProc(message, wParam, lParam);
    }

private:
    ListCtrlQt* m_list;
};

}  // namespace

std::unique_ptr<CControlWnd> MakeHotKeyControl(const afx_res::DialogItem& item, QWidget* parent,
                                               CWnd* pDialog) {
    return std::make_unique<HotKeyCtl>(item, parent, pDialog);
}

std::unique_ptr<CControlWnd> MakeListViewControl(const afx_res::DialogItem& item, QWidget* parent,
                                                 CWnd* pDialog) {
    return std::make_unique<ListViewCtl>(item, parent, pDialog);
}
