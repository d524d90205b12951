#include "frame/HidetermCtrlFrame.h"

#include <algorithm>
#include <cstring>

#include "document/VelkonDoc.h"
#include "platform/base/Mbcs.h"
#include "platform/gui/application/CWinApp.h"
#include "platform/ipc/Kernel.h"
#include "platform/ipc/MappingTransfer.h"
#include "platform/ipc/WinClass.h"
#include "res/resource.h"

namespace {
constexpr const char* kSection = "Pickup Option";
constexpr const char* kHideterm = "Hideterm";

// The buffer's memory after a long message is given back once its text is taken.
constexpr std::size_t kKeptCapacity = 256 * 1024;

// The text of a received mapping: up to its first zero byte, and never past the end of the view
// or past nMax bytes, whatever the terminal put there. A longer text is cut at a character;
// bCut says so.
std::string_view TextOfView(LPCVOID pView, std::size_t nMax, bool& bCut) {
    bCut = false;
    MEMORY_BASIC_INFORMATION info;
    if (!::VirtualQuery(pView, &info, sizeof(info))) return {};
    const char* p = static_cast<const char*>(pView);
    const std::size_t size = std::min<std::size_t>(info.RegionSize, nMax);
    if (const void* zero = std::memchr(p, 0, size))
        return {p, static_cast<std::size_t>(static_cast<const char*>(zero) - p)};
    if (info.RegionSize <= nMax) return {p, size};
    // The byte at nMax is in the view: it ends the text there, or tells whether a double-byte
    // character goes on past the cut.
    if (p[nMax] == 0) return {p, nMax};
    bCut = true;
    return {p, mbcs::CharBoundaryAtOrBefore(std::string_view(p, nMax + 1), nMax)};
}
}  // namespace

BEGIN_MESSAGE_MAP(CHidetermCtrlFrame, CClipboardViewerFrame)
ON_WM_TIMER()
ON_WM_DESTROY()
ON_MESSAGE(WM_HT_TEXT, OnHidetermText)
END_MESSAGE_MAP()

CHidetermCtrlFrame::CHidetermCtrlFrame()
    : m_bHidetermLinked(FALSE),
      m_bHidetermPickup(static_cast<BOOL>(AfxGetApp()->GetProfileInt(kSection, kHideterm, 1))) {
    m_strHidetermText.Empty();
}

CHidetermCtrlFrame::~CHidetermCtrlFrame() {
    AfxGetApp()->WriteProfileInt(kSection, kHideterm, m_bHidetermPickup);
}

BOOL CHidetermCtrlFrame::IsPeerMessage(UINT message) const {
    return message == WM_HT_TEXT || CClipboardViewerFrame::IsPeerMessage(message);
}

void CHidetermCtrlFrame::ActivateFrame(int nCmdShow) {
    if (m_bFirstActivate) SetTimer(HIDETERM_TIMER_ID, HIDETERM_TIMER_PERIOD, nullptr);
    CClipboardViewerFrame::ActivateFrame(nCmdShow);
}

void CHidetermCtrlFrame::OnTimer(UINT_PTR nIDEvent) {
    if (nIDEvent == HIDETERM_TIMER_ID)
        PollHideterm();
    else
        CClipboardViewerFrame::OnTimer(nIDEvent);
}

// The poll keeps no state but the link flag: a terminal that closes and comes back between two
// ticks is not attached again.
void CHidetermCtrlFrame::PollHideterm() {
    const HWND hWndHideterm = ::FindWindow(HIDETERM_CLASS_NAME, nullptr);
    if (hWndHideterm && !m_bHidetermLinked) {
        ::SendMessage(hWndHideterm, WM_HT_ATTACH, reinterpret_cast<WPARAM>(m_hWnd), 0);
        SetMessageText(IDS_HIDETERM_ATTACHED);
        m_bHidetermLinked = TRUE;
    } else if (!hWndHideterm && m_bHidetermLinked) {
        SetMessageText(IDS_HIDETERM_DETACHED);
        m_bHidetermLinked = FALSE;
    }
}

// Handled the same whether or not the link is up. The handle is ours to close in every case.
// Any program of the user can send this, so the text is read up to a bound and what steers a
// terminal is taken out before the pickup sees it (CTerminalTextFilter, which also makes every
// line end CR LF, the CR of one possibly at the end of the last message). What waits for its
// line end is kept small, so a session without line ends neither fills the memory nor loses its
// IDs.
LRESULT CHidetermCtrlFrame::OnHidetermText(WPARAM wParam, LPARAM) {
    const auto hMapping = reinterpret_cast<HANDLE>(wParam);
    auto* pDoc = dynamic_cast<CVelkonDoc*>(GetActiveDocument());
    if (m_bHidetermPickup && pDoc) {
        // A mapping that cannot be mapped brings no text; the buffer keeps its tail.
        if (LPVOID pView = ::MapViewOfFile(hMapping, FILE_MAP_ALL_ACCESS, 0, 0, 0)) {
            bool bCut = false;
            const std::string_view text = TextOfView(pView, HIDETERM_MAX_TEXT, bCut);
            const std::size_t nAdded = m_terminalText.Filter(text, m_strHidetermText.Str());
            ::UnmapViewOfFile(pView);
            if (bCut) SetMessageText(IDS_HIDETERM_TEXT_CUT);
            pDoc->PickupText(m_strHidetermText, nAdded, CVelkonDoc::kMaxWaitingText);
            std::string& rest = m_strHidetermText.Str();
            if (rest.capacity() > kKeptCapacity && rest.size() < kKeptCapacity / 2)
                rest.shrink_to_fit();
        }
    }
    ::CloseHandle(hMapping);
    return 0;
}

// Each failure on the way gives up quietly, and every object made so far is closed again; the
// text (with its zero byte) is in the mapping before the handle goes to the terminal, which
// takes the handle over.
void CHidetermCtrlFrame::SendToHideterm(const CString& strText) {
    if (strText.IsEmpty()) return;
    const HWND hWndHideterm = ::FindWindow(HIDETERM_CLASS_NAME, nullptr);
    if (!hWndHideterm) return;
    if (::SendMessage(hWndHideterm, WM_HT_CANSEND, 0, 0) == 0) return;

    const auto nLength = static_cast<std::size_t>(strText.GetLength());
    if (const HANDLE hDuplicated =
            AfxShareMappingWith(hWndHideterm, strText.GetString(), nLength + 1, nLength + 1))
        ::SendMessage(hWndHideterm, WM_HT_SENDTEXT, nLength, reinterpret_cast<LPARAM>(hDuplicated));
}

void CHidetermCtrlFrame::OnDestroy() {
    KillTimer(HIDETERM_TIMER_ID);
    if (m_bHidetermLinked) {
        if (const HWND hWndHideterm = ::FindWindow(HIDETERM_CLASS_NAME, nullptr))
            ::SendMessage(hWndHideterm, WM_HT_DETACH, reinterpret_cast<WPARAM>(m_hWnd), 0);
    }
    CClipboardViewerFrame::OnDestroy();
}
