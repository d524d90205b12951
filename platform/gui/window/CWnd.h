// A window: a handle, a message map and, behind it, a Qt widget. Messages sent to a window run
// its WindowProc synchronously on the UI thread; posted ones are queued through the event loop
// and may come from any thread.
#pragma once

#include <memory>

#include "platform/base/CString.h"
#include "platform/base/WinTypes.h"
#include "platform/gui/window/CCmdTarget.h"
#include "platform/ipc/SendToWindow.h"

class QWidget;
class CWnd;
class CFont;

// Queues the message for the window's thread; safe from any thread. FALSE if the window is gone.
BOOL PostMessage(HWND hWnd, UINT message, WPARAM wParam = 0, LPARAM lParam = 0);
// Brings the window (of this process, or of another one through its socket) to the front.
BOOL SetForegroundWindow(HWND hWnd);

class CWnd : public CCmdTarget {
public:
    CWnd();
    ~CWnd() override;
    CWnd(const CWnd&) = delete;
    CWnd& operator=(const CWnd&) = delete;

    static CWnd* FromHandle(HWND hWnd);
    HWND GetSafeHwnd() const { return m_hWnd; }

    virtual BOOL PreCreateWindow(CREATESTRUCT& cs);
    // Makes the window of a plain child widget inside pParentWnd.
    BOOL Create(LPCTSTR lpszClassName, LPCTSTR lpszWindowName, DWORD dwStyle, const RECT& rect,
                CWnd* pParentWnd, UINT nID, void* pContext = nullptr);
    virtual BOOL DestroyWindow();
    bool IsBeingDestroyed() const;

    LRESULT SendMessage(UINT message, WPARAM wParam = 0, LPARAM lParam = 0);
    BOOL PostMessage(UINT message, WPARAM wParam = 0, LPARAM lParam = 0);
    virtual LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam);
    // What happens to a message nobody in the map handles.
    virtual LRESULT DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam);
    // Whether another process may send the message to this window. Anything else a peer sends
    // is answered 0 and never reaches the window: a stray WM_DESTROY or WM_CREATE from outside
    // would end the program or crash it. Each class adds its own messages to its base's.
    virtual BOOL IsPeerMessage(UINT message) const;

    UINT_PTR SetTimer(UINT_PTR nIDEvent, UINT nElapse, void* lpfnTimer = nullptr);
    BOOL KillTimer(UINT_PTR nIDEvent);

    BOOL ShowWindow(int nCmdShow);
    BOOL IsWindowVisible() const;
    BOOL IsIconic() const;
    BOOL IsZoomed() const;
    // Both go through WM_SETTEXT and WM_GETTEXT, so that a control answers with its own text.
    void SetWindowText(LPCTSTR lpszString);
    CString GetWindowText() const;
    int GetWindowTextLength() const;
    BOOL EnableWindow(BOOL bEnable = TRUE);
    BOOL IsWindowEnabled() const;
    // Moves and sizes as the flags allow (SWP_NOSIZE, SWP_NOMOVE, SWP_NOZORDER, ...); a
    // top-level window's position is that of its frame, in screen coordinates.
    BOOL SetWindowPos(const CWnd* pWndInsertAfter, int x, int y, int cx, int cy, UINT nFlags);
    // The window of ours that has the keyboard focus, or nullptr.
    static CWnd* GetFocus();
    BOOL GetWindowPlacement(WINDOWPLACEMENT* lpwndpl) const;
    BOOL SetWindowPlacement(const WINDOWPLACEMENT* lpwndpl);
    void GetWindowRect(LPRECT lpRect) const;
    void GetClientRect(LPRECT lpRect) const;
    // A point of the client area as a point of the screen.
    void ClientToScreen(POINT* lpPoint) const;
    void MoveWindow(int x, int y, int nWidth, int nHeight, BOOL bRepaint = TRUE);
    void Invalidate(BOOL bErase = TRUE);
    void UpdateWindow();
    CWnd* SetFocus();
    BOOL SetForegroundWindow();
    CWnd* GetParent() const { return m_pParentWnd; }
    UINT GetDlgCtrlID() const { return m_nID; }
    void DragAcceptFiles(BOOL bAccept = TRUE);
    // The font last set with SetFont, as the caller made it (its LOGFONT names the face asked
    // for); without one, the font the window draws with, owned by the window.
    CFont* GetFont() const;
    // Draws the window's text with the font from now on; the font must outlive its use here.
    void SetFont(CFont* pFont, BOOL bRedraw = TRUE);

    // This object takes over the window of another object (a dialog's control): messages reach
    // this object's message map first and then the window's own behaviour. Undone by
    // UnsubclassWindow, or when either object or the window goes.
    BOOL SubclassWindow(HWND hWnd);
    BOOL SubclassDlgItem(UINT nID, CWnd* pParent);
    HWND UnsubclassWindow();

    const CString& GetClassName() const { return m_strClassName; }
    // The Qt widget behind the window (platform code only).
    QWidget* GetWidget() const { return m_pWidget; }

protected:
    DECLARE_MESSAGE_MAP()
public:
    BOOL OnCmdMsg(UINT nID, int nCode, void* pExtra, AFX_CMDHANDLERINFO* pHandlerInfo) override;

protected:
    virtual BOOL OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult);
    virtual BOOL OnCommand(WPARAM wParam, LPARAM lParam);
    // After WM_DESTROY, while the window is going: windows that own child windows of their own
    // let them go here.
    virtual void DestroyChildWindows() {}
    // After the window is gone; windows that own themselves delete themselves here.
    virtual void PostNcDestroy() {}
    // Called by the Qt side for files dropped on the window, with the path as the file system
    // spells it.
    friend class CWndBridge;
    virtual void OnDropFiles(const CString& /*path*/) {}

    // Gives this object a handle and widget, then sends WM_CREATE. -1 from OnCreate destroys it.
    BOOL AttachWidget(QWidget* pWidget, CREATESTRUCT& cs, CWnd* pParentWnd);

    int OnCreate(LPCREATESTRUCT lpCreateStruct);
    void OnDestroy();
    void OnClose();
    void OnTimer(UINT_PTR nIDEvent);
    LRESULT Default();

    HWND m_hWnd = nullptr;
    QWidget* m_pWidget = nullptr;
    CWnd* m_pParentWnd = nullptr;
    UINT m_nID = 0;
    CString m_strClassName;

private:
    struct Impl;
    std::unique_ptr<Impl> m_impl;
};
