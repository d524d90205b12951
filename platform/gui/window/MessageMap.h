// Message maps: static tables that bind messages and command ids to handlers, each chained to
// its base class's table. Handlers are reached through small typed thunks, so a table entry
// calls the member function with exactly the signature it was declared with.
#pragma once

#include "platform/base/WinTypes.h"

class CCmdTarget;
class CCmdUI;
struct NMHDR;

// A control's notification comes back to the control's own window under this number, so that
// its class handles it (ON_NOTIFY_REFLECT, matched by notification code).
constexpr UINT WM_REFLECT_BASE = 0xBC00;

using AFX_THUNK = LRESULT (*)(CCmdTarget* target, WPARAM wParam, LPARAM lParam, void* pExtra);

struct AFX_MSGMAP_ENTRY {
    UINT nMessage;  // WM_COMMAND for commands
    int nCode;      // CN_COMMAND or CN_UPDATE_COMMAND_UI for commands
    UINT nID;       // first command id
    UINT nLastID;   // last command id of a range
    AFX_THUNK pfn;  // nullptr ends the table
};

struct AFX_MSGMAP {
    const AFX_MSGMAP* (*pfnGetBaseMap)();
    const AFX_MSGMAP_ENTRY* lpEntries;
};

namespace afx_thunk {
template <class T, auto F>
LRESULT Void(CCmdTarget* t, WPARAM, LPARAM, void*) {
    (static_cast<T*>(t)->*F)();
    return 0;
}
template <class T, auto F>
LRESULT Create(CCmdTarget* t, WPARAM, LPARAM l, void*) {
    return (static_cast<T*>(t)->*F)(reinterpret_cast<LPCREATESTRUCT>(l));
}
template <class T, auto F>
LRESULT Timer(CCmdTarget* t, WPARAM w, LPARAM, void*) {
    (static_cast<T*>(t)->*F)(static_cast<UINT_PTR>(w));
    return 0;
}
template <class T, auto F>
LRESULT Message(CCmdTarget* t, WPARAM w, LPARAM l, void*) {
    return (static_cast<T*>(t)->*F)(w, l);
}
template <class T, auto F>
LRESULT UpdateUI(CCmdTarget* t, WPARAM, LPARAM, void* extra) {
    (static_cast<T*>(t)->*F)(static_cast<CCmdUI*>(extra));
    return 0;
}
template <class T, auto F>
LRESULT CommandRange(CCmdTarget* t, WPARAM w, LPARAM, void*) {
    (static_cast<T*>(t)->*F)(static_cast<UINT>(w));
    return 0;
}
template <class T, auto F>
LRESULT HotKey(CCmdTarget* t, WPARAM w, LPARAM l, void*) {
    (static_cast<T*>(t)->*F)(static_cast<UINT>(w), static_cast<UINT>(l & 0xFFFF),
                             static_cast<UINT>((l >> 16) & 0xFFFF));
    return 0;
}
template <class T, auto F>
LRESULT Notify(CCmdTarget* t, WPARAM, LPARAM l, void*) {
    LRESULT result = 0;
    (static_cast<T*>(t)->*F)(reinterpret_cast<NMHDR*>(l), &result);
    return result;
}
// The window leaving the clipboard viewer chain and the one that follows it.
template <class T, auto F>
LRESULT ChangeCbChain(CCmdTarget* t, WPARAM w, LPARAM l, void*) {
    (static_cast<T*>(t)->*F)(reinterpret_cast<HWND>(w), reinterpret_cast<HWND>(l));
    return 0;
}
// The other window (lost or gaining the focus), if it is one of ours.
template <class T, auto F>
LRESULT FocusWnd(CCmdTarget* t, WPARAM w, LPARAM, void*) {
    (static_cast<T*>(t)->*F)(T::FromHandle(reinterpret_cast<HWND>(w)));
    return 0;
}
}  // namespace afx_thunk

#define DECLARE_MESSAGE_MAP()                         \
protected:                                            \
    static const AFX_MSGMAP* GetThisMessageMap();     \
    const AFX_MSGMAP* GetMessageMap() const override; \
                                                      \
private:

#define BEGIN_MESSAGE_MAP(theClass, baseClass)          \
    const AFX_MSGMAP* theClass::GetMessageMap() const { \
        return GetThisMessageMap();                     \
    }                                                   \
    const AFX_MSGMAP* theClass::GetThisMessageMap() {   \
        using ThisClass [[maybe_unused]] = theClass;    \
        using TheBaseClass = baseClass;                 \
        static const AFX_MSGMAP_ENTRY _messageEntries[] = {
#define END_MESSAGE_MAP()                                                                         \
    { 0, 0, 0, 0, nullptr }                                                                       \
    }                                                                                             \
    ;                                                                                             \
    static const AFX_MSGMAP messageMap = {&TheBaseClass::GetThisMessageMap, &_messageEntries[0]}; \
    return &messageMap;                                                                           \
    }

#define ON_COMMAND(id, memberFxn) \
    {WM_COMMAND, CN_COMMAND, (id), (id), &afx_thunk::Void<ThisClass, &ThisClass::memberFxn>},
#define ON_COMMAND_RANGE(id, idLast, memberFxn) \
    {WM_COMMAND, CN_COMMAND, (id), (idLast),    \
     &afx_thunk::CommandRange<ThisClass, &ThisClass::memberFxn>},
#define ON_UPDATE_COMMAND_UI(id, memberFxn)        \
    {WM_COMMAND, CN_UPDATE_COMMAND_UI, (id), (id), \
     &afx_thunk::UpdateUI<ThisClass, &ThisClass::memberFxn>},
#define ON_UPDATE_COMMAND_UI_RANGE(id, idLast, memberFxn) \
    {WM_COMMAND, CN_UPDATE_COMMAND_UI, (id), (idLast),    \
     &afx_thunk::UpdateUI<ThisClass, &ThisClass::memberFxn>},
// A control's notification (the code in the high word of WM_COMMAND's wParam) from control id.
#define ON_CONTROL(code, id, memberFxn)              \
    {WM_COMMAND, static_cast<int>(code), (id), (id), \
     &afx_thunk::Void<ThisClass, &ThisClass::memberFxn>},
#define ON_BN_CLICKED(id, memberFxn) ON_CONTROL(0, id, memberFxn)
#define ON_EN_CHANGE(id, memberFxn) ON_CONTROL(0x0300, id, memberFxn)
#define ON_LBN_SELCHANGE(id, memberFxn) ON_CONTROL(1, id, memberFxn)
#define ON_LBN_DBLCLK(id, memberFxn) ON_CONTROL(2, id, memberFxn)
#define ON_CBN_SELCHANGE(id, memberFxn) ON_CONTROL(1, id, memberFxn)
#define ON_CBN_DBLCLK(id, memberFxn) ON_CONTROL(2, id, memberFxn)
#define ON_CBN_EDITCHANGE(id, memberFxn) ON_CONTROL(5, id, memberFxn)
#define ON_MESSAGE(message, memberFxn) \
    {(message), 0, 0, 0, &afx_thunk::Message<ThisClass, &ThisClass::memberFxn>},
#define ON_WM_CREATE() {WM_CREATE, 0, 0, 0, &afx_thunk::Create<ThisClass, &ThisClass::OnCreate>},
#define ON_WM_DESTROY() {WM_DESTROY, 0, 0, 0, &afx_thunk::Void<ThisClass, &ThisClass::OnDestroy>},
#define ON_WM_CLOSE() {WM_CLOSE, 0, 0, 0, &afx_thunk::Void<ThisClass, &ThisClass::OnClose>},
#define ON_WM_TIMER() {WM_TIMER, 0, 0, 0, &afx_thunk::Timer<ThisClass, &ThisClass::OnTimer>},
template <class T, auto F>
LRESULT ContextMenuThunk(CCmdTarget* t, WPARAM w, LPARAM l, void*) {
    POINT pt;
    pt.x = static_cast<short>(l & 0xFFFF);
    pt.y = static_cast<short>((l >> 16) & 0xFFFF);
    (static_cast<T*>(t)->*F)(reinterpret_cast<HWND>(w), pt);
    return 0;
}
#define ON_WM_CONTEXTMENU() \
    {WM_CONTEXTMENU, 0, 0, 0, &ContextMenuThunk<ThisClass, &ThisClass::OnContextMenu>},
#define ON_WM_HOTKEY() {WM_HOTKEY, 0, 0, 0, &afx_thunk::HotKey<ThisClass, &ThisClass::OnHotKey>},
#define ON_WM_DRAWCLIPBOARD() \
    {WM_DRAWCLIPBOARD, 0, 0, 0, &afx_thunk::Void<ThisClass, &ThisClass::OnDrawClipboard>},
#define ON_WM_CHANGECBCHAIN() \
    {WM_CHANGECBCHAIN, 0, 0, 0, &afx_thunk::ChangeCbChain<ThisClass, &ThisClass::OnChangeCbChain>},
#define ON_WM_SETFOCUS() \
    {WM_SETFOCUS, 0, 0, 0, &afx_thunk::FocusWnd<ThisClass, &ThisClass::OnSetFocus>},
#define ON_WM_KILLFOCUS() \
    {WM_KILLFOCUS, 0, 0, 0, &afx_thunk::FocusWnd<ThisClass, &ThisClass::OnKillFocus>},
// A control's notification to its dialog, by code and control id. Handler: void (NMHDR* pNMHDR,
// LRESULT* pResult).
#define ON_NOTIFY(code, id, memberFxn)              \
    {WM_NOTIFY, static_cast<int>(code), (id), (id), \
     &afx_thunk::Notify<ThisClass, &ThisClass::memberFxn>},
// Handler: void (NMHDR* pNMHDR, LRESULT* pResult).
#define ON_NOTIFY_REFLECT(code, memberFxn)                      \
    {WM_REFLECT_BASE + WM_NOTIFY, static_cast<int>(code), 0, 0, \
     &afx_thunk::Notify<ThisClass, &ThisClass::memberFxn>},
