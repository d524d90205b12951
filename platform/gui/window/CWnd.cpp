#include "platform/gui/window/CWnd.h"

#include <QApplication>
#include <QCloseEvent>
#include <QDropEvent>
#include <QFile>
#include <QMimeData>
#include <QPointer>
#include <QTimer>
#include <QUrl>
#include <QWidget>
#include <algorithm>
#include <cstring>
#include <map>

#include "platform/base/DisplayText.h"
#include "platform/gui/drawing/CDC.h"
#include "platform/gui/drawing/CFont.h"
#include "platform/gui/reportlist/CommCtrl.h"
#include "platform/gui/window/CCmdUI.h"
#include "platform/gui/window/QtText.h"
#include "platform/gui/window/SocketWatch.h"
#include "platform/gui/window/UiHooks.h"
#include "platform/gui/window/WidgetBridge.h"
#include "platform/ipc/Handles.h"
#include "platform/ipc/Kernel.h"
#include "platform/ipc/RemoteWindows.h"
#include "platform/ipc/SendToWindow.h"
#include "platform/ipc/WinClass.h"
#include "platform/ipc/WindowServer.h"

namespace {
// How the IPC level reaches the object that now owns a window handle.
class CWndHandle : public afx_handles::LocalWindow {
public:
    explicit CWndHandle(CWnd* wnd) : m_wnd(wnd) {}
    CWnd* Wnd() const { return m_wnd; }
    LRESULT Deliver(UINT message, WPARAM wParam, LPARAM lParam) override {
        return m_wnd->SendMessage(message, wParam, lParam);
    }
    bool AcceptsFromPeer(UINT message) const override {
        return m_wnd->IsPeerMessage(message) != FALSE;
    }
    const char* ClassName() const override { return m_wnd->GetClassName(); }
    bool IsTopLevel() const override { return m_wnd->GetParent() == nullptr; }

private:
    CWnd* m_wnd;
};
}  // namespace

struct CWnd::Impl {
    explicit Impl(CWnd* wnd) : handle(wnd) {}
    CWndHandle handle;
    std::map<UINT_PTR, QTimer*> timers;
    // Guarded: the widget, and the bridge with it, may be deleted by Qt (a parent going first).
    QPointer<CWndBridge> bridge;
    QPointer<QWidget> widget;
    bool destroying = false;
    std::unique_ptr<CFont> font;
    CFont* setFont = nullptr;  // the font last given with SetFont (WM_SETFONT)
    // Other programs reach a window of a registered class through this.
    std::unique_ptr<winlink::Server> classServer;
    // Subclassing: the object whose window this object took over, and the one that took over
    // this object's window.
    CWnd* super = nullptr;
    CWnd* subclassedBy = nullptr;
    // Other programs that hold its handle reach it through this.
    std::unique_ptr<winlink::Server> windowServer;
};

LRESULT CopyWindowText(const std::string& text, WPARAM wParam, LPARAM lParam) {
    auto* buffer = reinterpret_cast<char*>(lParam);
    if (!buffer || wParam == 0) return 0;
    const std::size_t n = std::min<std::size_t>(text.size(), wParam - 1);
    std::memcpy(buffer, text.data(), n);
    buffer[n] = '\0';
    return static_cast<LRESULT>(n);
}

namespace {
// The message whose handler runs now, for Default().
struct LastMessage {
    UINT message = 0;
    WPARAM wParam = 0;
    LPARAM lParam = 0;
};
thread_local LastMessage t_lastMessage;

}  // namespace

CWnd* CWndBridge::WindowOf(const QObject* widget) {
    if (!widget) return nullptr;
    for (QObject* child : widget->children())
        if (auto* bridge = dynamic_cast<CWndBridge*>(child)) return bridge->m_pWnd;
    return nullptr;
}

bool CWndBridge::eventFilter(QObject* watched, QEvent* event) {
    if (!m_pWnd || watched != m_pWnd->GetWidget()) return QObject::eventFilter(watched, event);
    switch (event->type()) {
        case QEvent::Close:
            // The window decides itself whether it closes (the save question, the tray).
            event->ignore();
            if (!m_pWnd->IsBeingDestroyed()) m_pWnd->SendMessage(WM_CLOSE);
            return true;
        case QEvent::DragEnter: {
            auto* e = static_cast<QDragEnterEvent*>(event);
            if (e->mimeData()->hasUrls()) e->acceptProposedAction();
            return true;
        }
        case QEvent::Drop: {
            auto* e = static_cast<QDropEvent*>(event);
            for (const QUrl& url : e->mimeData()->urls()) {
                if (!url.isLocalFile()) continue;
                e->acceptProposedAction();
                m_pWnd->OnDropFiles(CString(QFile::encodeName(url.toLocalFile()).toStdString()));
                break;
            }
            return true;
        }
        default:
            return QObject::eventFilter(watched, event);
    }
}

const AFX_MSGMAP* CWnd::GetThisMessageMap() {
    static const AFX_MSGMAP_ENTRY entries[] = {{0, 0, 0, 0, nullptr}};
    static const AFX_MSGMAP map = {&CCmdTarget::GetThisMessageMap, &entries[0]};
    return &map;
}
const AFX_MSGMAP* CWnd::GetMessageMap() const {
    return GetThisMessageMap();
}

CWnd::CWnd() : m_impl(std::make_unique<Impl>(this)) {}

CWnd::~CWnd() {
    if (m_impl->super) UnsubclassWindow();
    if (m_impl->subclassedBy) m_impl->subclassedBy->UnsubclassWindow();
    if (m_hWnd) {
        // Destroyed without DestroyWindow (a stack object, a test): let the widget go quietly.
        afx_handles::DetachLocal(m_hWnd);
        m_hWnd = nullptr;
    }
    if (m_impl->bridge) m_impl->bridge->Detach();
    for (auto& [id, timer] : m_impl->timers) delete timer;
    if (m_impl->widget && !m_impl->widget->parent()) delete m_impl->widget.data();
}

bool CWnd::IsBeingDestroyed() const {
    return m_impl->destroying;
}

CWnd* CWnd::FromHandle(HWND hWnd) {
    auto* handle = dynamic_cast<CWndHandle*>(afx_handles::FindLocal(hWnd));
    return handle ? handle->Wnd() : nullptr;
}

BOOL CWnd::IsPeerMessage(UINT /*message*/) const {
    return FALSE;
}

BOOL CWnd::PreCreateWindow(CREATESTRUCT& /*cs*/) {
    return TRUE;
}

BOOL CWnd::AttachWidget(QWidget* pWidget, CREATESTRUCT& cs, CWnd* pParentWnd) {
    // An object may have a window again after the last one went (a dialog shown once more).
    m_impl->destroying = false;
    m_pWidget = pWidget;
    m_impl->widget = pWidget;
    m_pParentWnd = pParentWnd;
    m_strClassName = cs.lpszClass;
    m_hWnd = afx_handles::NewHandle();
    afx_handles::AttachLocal(m_hWnd, &m_impl->handle);
    m_impl->bridge = new CWndBridge(this, pWidget);
    pWidget->installEventFilter(m_impl->bridge);
    if (cs.lpszName) pWidget->setWindowTitle(ToQt(cs.lpszName));
    const HWND hWnd = m_hWnd;
    const auto handler = [hWnd](const winlink::Request& r) {
        return afx_handles::ServePeerRequest(hWnd, r);
    };
    afx_gui::InstallSocketWatch();
    // Nullptr when another running program already has the class; it is found instead.
    if (!m_strClassName.IsEmpty() && IsClassRegistered(m_strClassName))
        m_impl->classServer =
            winlink::Server::Listen(m_strClassName, handler, afx_kernel::PassedMappings());
    // A top-level window can be sent to by any process that holds its handle (a peer it
    // registered with, as the terminal link does).
    if (!pParentWnd || m_impl->classServer)
        m_impl->windowServer = winlink::Server::ListenWindow(reinterpret_cast<std::uintptr_t>(hWnd),
                                                             handler, afx_kernel::PassedMappings());
    if (SendMessage(WM_CREATE, 0, reinterpret_cast<LPARAM>(&cs)) == -1) {
        DestroyWindow();
        return FALSE;
    }
    return TRUE;
}

BOOL CWnd::Create(LPCTSTR lpszClassName, LPCTSTR lpszWindowName, DWORD dwStyle, const RECT& rect,
                  CWnd* pParentWnd, UINT nID, void* pContext) {
    CREATESTRUCT cs;
    cs.lpszClass = lpszClassName;
    cs.lpszName = lpszWindowName;
    cs.style = static_cast<LONG>(dwStyle);
    cs.x = rect.left;
    cs.y = rect.top;
    cs.cx = rect.right - rect.left;
    cs.cy = rect.bottom - rect.top;
    cs.hwndParent = pParentWnd ? pParentWnd->m_hWnd : nullptr;
    cs.lpCreateParams = pContext;
    if (!PreCreateWindow(cs)) return FALSE;
    m_nID = nID;
    auto* widget = new QWidget(pParentWnd ? pParentWnd->GetWidget() : nullptr);
    return AttachWidget(widget, cs, pParentWnd);
}

BOOL CWnd::DestroyWindow() {
    if (!m_hWnd || m_impl->destroying) return FALSE;
    // Whatever happens while the window goes (a close request from Qt, a second destroy) must
    // not destroy it twice.
    m_impl->destroying = true;
    SendMessage(WM_DESTROY);
    DestroyChildWindows();
    m_impl->classServer.reset();
    m_impl->windowServer.reset();
    for (auto& [id, timer] : m_impl->timers) delete timer;
    m_impl->timers.clear();
    afx_handles::DetachLocal(m_hWnd);
    m_hWnd = nullptr;
    if (m_impl->bridge) m_impl->bridge->Detach();
    m_impl->bridge = nullptr;
    m_impl->widget = nullptr;
    if (m_pWidget) {
        QWidget* widget = m_pWidget;
        m_pWidget = nullptr;
        widget->hide();
        // The widget may be in the middle of one of its own event handlers.
        widget->deleteLater();
    }
    PostNcDestroy();
    return TRUE;
}

LRESULT CWnd::SendMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    return WindowProc(message, wParam, lParam);
}

BOOL CWnd::PostMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    return ::PostMessage(m_hWnd, message, wParam, lParam);
}

LRESULT CWnd::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    afx_ui::MarkIdleWork();
    LRESULT result = 0;
    if (!OnWndMsg(message, wParam, lParam, &result))
        result = DefWindowProc(message, wParam, lParam);
    return result;
}

BOOL CWnd::OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult) {
    if (message == WM_COMMAND) {
        if (OnCommand(wParam, lParam)) {
            *pResult = 1;
            return TRUE;
        }
        return FALSE;
    }
    // A control's notification is looked up by its code and the control's id.
    int code = 0;
    UINT id = 0;
    if (message == WM_NOTIFY) {
        if (!lParam) return FALSE;
        const auto* hdr = reinterpret_cast<const NMHDR*>(lParam);
        code = static_cast<int>(hdr->code);
        id = static_cast<UINT>(hdr->idFrom);
    }
    const AFX_MSGMAP_ENTRY* e = FindMessageEntry(message, code, id);
    if (!e) return FALSE;
    // Kept per thread, not in the window: a handler may destroy the window it runs for.
    const LastMessage saved = t_lastMessage;
    t_lastMessage = {message, wParam, lParam};
    *pResult = e->pfn(this, wParam, lParam, nullptr);
    t_lastMessage = saved;
    return TRUE;
}

BOOL CWnd::OnCommand(WPARAM wParam, LPARAM /*lParam*/) {
    const UINT nID = static_cast<UINT>(wParam & 0xFFFF);
    // A command that its update handler disables is not carried out (accelerators, stale menus).
    CCmdUI state;
    state.m_nID = nID;
    state.DoUpdate(this, TRUE);
    if (!state.m_bEnabled) return TRUE;
    return OnCmdMsg(nID, CN_COMMAND, nullptr, nullptr);
}

BOOL CWnd::OnCmdMsg(UINT nID, int nCode, void* pExtra, AFX_CMDHANDLERINFO* pHandlerInfo) {
    return CCmdTarget::OnCmdMsg(nID, nCode, pExtra, pHandlerInfo);
}

LRESULT CWnd::DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    if (m_impl->super) return m_impl->super->WindowProc(message, wParam, lParam);
    switch (message) {
        case WM_SETTEXT:
            // A title may name a file (the document's): its path is shown whole.
            if (m_pWidget)
                m_pWidget->setWindowTitle(
                    QString::fromStdString(DisplayTextToUtf8(reinterpret_cast<LPCTSTR>(lParam))));
            return TRUE;
        case WM_GETTEXTLENGTH:
        case WM_GETTEXT: {
            const std::string text = m_pWidget ? FromQt(m_pWidget->windowTitle()) : std::string();
            if (message == WM_GETTEXTLENGTH) return static_cast<LRESULT>(text.size());
            return CopyWindowText(text, wParam, lParam);
        }
        case WM_CLOSE:
            DestroyWindow();
            return 0;
        case WM_AFX_ACTIVATE_LAST_POPUP: {
            QWidget* modal = QApplication::activeModalWidget();
            QWidget* target = modal ? modal : m_pWidget;
            if (target) {
                if (target->isMinimized()) target->showNormal();
                target->raise();
                target->activateWindow();
            }
            return 1;
        }
        default:
            return 0;
    }
}

LRESULT CWnd::Default() {
    return DefWindowProc(t_lastMessage.message, t_lastMessage.wParam, t_lastMessage.lParam);
}

int CWnd::OnCreate(LPCREATESTRUCT) {
    return static_cast<int>(Default());
}
void CWnd::OnDestroy() {
    Default();
}
void CWnd::OnClose() {
    Default();
}
void CWnd::OnTimer(UINT_PTR) {
    Default();
}

UINT_PTR CWnd::SetTimer(UINT_PTR nIDEvent, UINT nElapse, void*) {
    if (!m_hWnd) return 0;
    QTimer*& timer = m_impl->timers[nIDEvent];
    if (!timer) {
        timer = new QTimer();
        const HWND hWnd = m_hWnd;
        QObject::connect(timer, &QTimer::timeout, [hWnd, nIDEvent] {
            if (CWnd* wnd = CWnd::FromHandle(hWnd)) wnd->SendMessage(WM_TIMER, nIDEvent);
        });
    }
    timer->start(static_cast<int>(nElapse));
    return nIDEvent;
}

BOOL CWnd::KillTimer(UINT_PTR nIDEvent) {
    auto it = m_impl->timers.find(nIDEvent);
    if (it == m_impl->timers.end()) return FALSE;
    delete it->second;
    m_impl->timers.erase(it);
    return TRUE;
}

BOOL CWnd::ShowWindow(int nCmdShow) {
    if (!m_pWidget) return FALSE;
    const BOOL wasVisible = m_pWidget->isVisible();
    switch (nCmdShow) {
        case SW_HIDE:
            m_pWidget->hide();
            break;
        case SW_SHOWMAXIMIZED:
            m_pWidget->showMaximized();
            break;
        case SW_SHOWMINIMIZED:
        case SW_MINIMIZE:
        case SW_SHOWMINNOACTIVE:
            m_pWidget->showMinimized();
            break;
        case SW_SHOWNORMAL:
        case SW_RESTORE:
        case SW_SHOWDEFAULT:
            m_pWidget->showNormal();
            break;
        default:
            m_pWidget->show();
            break;
    }
    return wasVisible;
}

BOOL CWnd::IsWindowVisible() const {
    return m_pWidget && m_pWidget->isVisible();
}
BOOL CWnd::IsIconic() const {
    return m_pWidget && m_pWidget->isMinimized();
}
BOOL CWnd::IsZoomed() const {
    return m_pWidget && m_pWidget->isMaximized();
}

void CWnd::SetWindowText(LPCTSTR lpszString) {
    if (m_hWnd) SendMessage(WM_SETTEXT, 0, reinterpret_cast<LPARAM>(lpszString ? lpszString : ""));
}

int CWnd::GetWindowTextLength() const {
    return m_hWnd ? static_cast<int>(::SendMessage(m_hWnd, WM_GETTEXTLENGTH)) : 0;
}

CString CWnd::GetWindowText() const {
    if (!m_hWnd) return {};
    const int length = GetWindowTextLength();
    std::string buffer(static_cast<std::size_t>(length) + 1, '\0');
    const LRESULT n =
        ::SendMessage(m_hWnd, WM_GETTEXT, buffer.size(), reinterpret_cast<LPARAM>(buffer.data()));
    buffer.resize(static_cast<std::size_t>(std::clamp<LRESULT>(n, 0, length)));
    return CString(std::move(buffer));
}

BOOL CWnd::EnableWindow(BOOL bEnable) {
    if (!m_pWidget) return FALSE;
    const BOOL wasDisabled = !m_pWidget->isEnabled();
    m_pWidget->setEnabled(bEnable != FALSE);
    return wasDisabled;
}

BOOL CWnd::IsWindowEnabled() const {
    return m_pWidget && m_pWidget->isEnabled();
}

BOOL CWnd::SetWindowPos(const CWnd*, int x, int y, int cx, int cy, UINT nFlags) {
    if (!m_pWidget) return FALSE;
    if (!(nFlags & SWP_NOMOVE)) m_pWidget->move(x, y);
    if (!(nFlags & SWP_NOSIZE)) m_pWidget->resize(cx, cy);
    return TRUE;
}

CWnd* CWnd::GetFocus() {
    QWidget* focus = QApplication::focusWidget();
    if (!focus) {
        QWidget* active = QApplication::activeWindow();
        focus = active ? active->focusWidget() : nullptr;
    }
    // A control may be made of several widgets (a combo box's edit field).
    for (QWidget* w = focus; w; w = w->parentWidget())
        if (CWnd* wnd = CWndBridge::WindowOf(w)) return CWnd::FromHandle(wnd->GetSafeHwnd());
    return nullptr;
}

BOOL CWnd::SubclassWindow(HWND hWnd) {
    CWnd* original = FromHandle(hWnd);
    if (m_hWnd || !original || original == this || original->m_impl->subclassedBy) return FALSE;
    m_impl->super = original;
    original->m_impl->subclassedBy = this;
    m_hWnd = hWnd;
    m_pWidget = original->m_pWidget;
    m_pParentWnd = original->m_pParentWnd;
    m_nID = original->m_nID;
    afx_handles::AttachLocal(hWnd, &m_impl->handle);
    return TRUE;
}

BOOL CWnd::SubclassDlgItem(UINT nID, CWnd* pParent) {
    if (!pParent || !pParent->m_pWidget) return FALSE;
    for (QObject* child : pParent->m_pWidget->children()) {
        CWnd* wnd = CWndBridge::WindowOf(child);
        if (wnd && wnd->m_nID == nID && wnd->m_pParentWnd == pParent)
            return SubclassWindow(wnd->m_hWnd);
    }
    return FALSE;
}

HWND CWnd::UnsubclassWindow() {
    CWnd* original = m_impl->super;
    if (!original) return nullptr;
    const HWND hWnd = m_hWnd;
    afx_handles::AttachLocal(hWnd, &original->m_impl->handle);
    original->m_impl->subclassedBy = nullptr;
    m_impl->super = nullptr;
    m_hWnd = nullptr;
    m_pWidget = nullptr;
    return hWnd;
}

namespace {
RECT ToRect(const QRect& r) {
    RECT rc;
    rc.left = r.x();
    rc.top = r.y();
    rc.right = r.x() + r.width();
    rc.bottom = r.y() + r.height();
    return rc;
}
}  // namespace

// A window's place is its frame's top left, as the window system shows it, and its size the
// client area's: placed by the client's corner, a window put at 0,0 would have its title bar
// above the screen, where no one can take hold of it.
BOOL CWnd::GetWindowPlacement(WINDOWPLACEMENT* wp) const {
    if (!m_pWidget || !wp) return FALSE;
    const bool special = m_pWidget->isMaximized() || m_pWidget->isMinimized();
    const QPoint strut = m_pWidget->geometry().topLeft() - m_pWidget->frameGeometry().topLeft();
    QRect normal = special ? m_pWidget->normalGeometry() : m_pWidget->geometry();
    if (m_pWidget->isWindow()) normal.moveTopLeft(normal.topLeft() - strut);
    wp->rcNormalPosition = ToRect(normal);
    wp->showCmd = m_pWidget->isMaximized()   ? SW_SHOWMAXIMIZED
                  : m_pWidget->isMinimized() ? SW_SHOWMINIMIZED
                  : m_pWidget->isVisible()   ? SW_SHOWNORMAL
                                             : SW_HIDE;
    return TRUE;
}

BOOL CWnd::SetWindowPlacement(const WINDOWPLACEMENT* wp) {
    if (!m_pWidget || !wp) return FALSE;
    const RECT& r = wp->rcNormalPosition;
    if (m_pWidget->isMaximized() || m_pWidget->isMinimized()) m_pWidget->showNormal();
    const QSize size(r.right - r.left, r.bottom - r.top);
    if (!m_pWidget->isWindow()) {
        m_pWidget->setGeometry(QRect(QPoint(r.left, r.top), size));
    } else {
        m_pWidget->resize(size);
        // A place on no screen any more (a monitor unplugged since) is left to the window
        // manager.
        const QPoint at(r.left, r.top);
        if (QGuiApplication::screenAt(at + QPoint(size.width() / 2, 10))) m_pWidget->move(at);
    }
    ShowWindow(static_cast<int>(wp->showCmd));
    return TRUE;
}

void CWnd::GetWindowRect(LPRECT lpRect) const {
    if (m_pWidget && lpRect) *lpRect = ToRect(m_pWidget->frameGeometry());
}

void CWnd::GetClientRect(LPRECT lpRect) const {
    if (m_pWidget && lpRect) *lpRect = ToRect(m_pWidget->rect());
}

void CWnd::ClientToScreen(POINT* lpPoint) const {
    if (!m_pWidget || !lpPoint) return;
    const QPoint at = m_pWidget->mapToGlobal(QPoint(lpPoint->x, lpPoint->y));
    lpPoint->x = at.x();
    lpPoint->y = at.y();
}

void CWnd::MoveWindow(int x, int y, int nWidth, int nHeight, BOOL) {
    if (m_pWidget) m_pWidget->setGeometry(x, y, nWidth, nHeight);
}

void CWnd::Invalidate(BOOL) {
    if (m_pWidget) m_pWidget->update();
}

void CWnd::UpdateWindow() {
    if (m_pWidget) m_pWidget->repaint();
}

CWnd* CWnd::SetFocus() {
    if (m_pWidget) m_pWidget->setFocus();
    return nullptr;
}

BOOL CWnd::SetForegroundWindow() {
    return DefWindowProc(WM_AFX_ACTIVATE_LAST_POPUP, 0, 0) != 0;
}

CFont* CWnd::GetFont() const {
    if (m_impl->setFont) return m_impl->setFont;
    if (!m_impl->font) m_impl->font = std::make_unique<CFont>();
    if (m_pWidget) m_impl->font->SetQFont(m_pWidget->font());
    return m_impl->font.get();
}

void CWnd::SetFont(CFont* pFont, BOOL bRedraw) {
    if (!m_pWidget || !pFont) return;
    m_impl->setFont = pFont;
    m_pWidget->setFont(pFont->GetQFont());
    if (bRedraw) m_pWidget->update();
}

void CWnd::DragAcceptFiles(BOOL bAccept) {
    if (m_pWidget) m_pWidget->setAcceptDrops(bAccept);
}

BOOL PostMessage(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (!hWnd || !QCoreApplication::instance()) return FALSE;
    QMetaObject::invokeMethod(
        QCoreApplication::instance(),
        [hWnd, message, wParam, lParam] {
            if (CWnd* wnd = CWnd::FromHandle(hWnd)) wnd->SendMessage(message, wParam, lParam);
        },
        Qt::QueuedConnection);
    return TRUE;
}

BOOL SetForegroundWindow(HWND hWnd) {
    if (CWnd* wnd = CWnd::FromHandle(hWnd)) return wnd->SetForegroundWindow();
    LRESULT result = 0;
    return afx_handles::SendRemote(hWnd, WM_AFX_ACTIVATE_LAST_POPUP, 0, 0, result) && result != 0;
}
