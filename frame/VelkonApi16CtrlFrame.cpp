#include "frame/VelkonApi16CtrlFrame.h"

#include "database/ApiRequests.h"
#include "document/VelkonDoc.h"
#include "frame/IdListFrame.h"
#include "platform/gui/document/CView.h"
#include "platform/ipc/Kernel.h"
#include "platform/ipc/Wow32.h"

BEGIN_MESSAGE_MAP(CVelkonApi16CtrlFrame, CHidetermCtrlFrame)
ON_MESSAGE(WM_IDAPI_PRESENT, OnIdApiPresent)
ON_MESSAGE(WM_IDAPI_EXISTS, OnIdApiExists)
ON_MESSAGE(WM_IDAPI_GETHANDLE, OnIdApiGetHandle)
ON_MESSAGE(WM_IDAPI_GETMEMO1, OnIdApiGetMemo1)
ON_MESSAGE(WM_IDAPI_GETMEMO1 + 1, OnIdApiGetMemo2)
ON_MESSAGE(WM_IDAPI_GETMEMO1 + 2, OnIdApiGetMemo3)
ON_MESSAGE(WM_IDAPI_GETMEMO1 + 3, OnIdApiGetMemo4)
ON_MESSAGE(WM_IDAPI_GETMEMO1 + 4, OnIdApiGetMemo5)
ON_MESSAGE(WM_IDAPI_GETMEMO6, OnIdApiGetMemo6)
ON_MESSAGE(WM_IDAPI_GETCOUNT, OnIdApiGetCount)
ON_MESSAGE(WM_IDAPI_GETREGDATE, OnIdApiGetRegDate)
ON_MESSAGE(WM_IDAPI_GETUPDATEDATE, OnIdApiGetUpdateDate)
ON_MESSAGE(WM_IDAPI_GETRECORD, OnIdApiGetRecord)
ON_MESSAGE(WM_IDAPI_SETRECORD, OnIdApiSetRecord)
ON_MESSAGE(WM_IDAPI_GETCAPTION1, OnIdApiGetCaption1)
ON_MESSAGE(WM_IDAPI_GETCAPTION1 + 1, OnIdApiGetCaption2)
ON_MESSAGE(WM_IDAPI_GETCAPTION1 + 2, OnIdApiGetCaption3)
ON_MESSAGE(WM_IDAPI_GETCAPTION1 + 3, OnIdApiGetCaption4)
ON_MESSAGE(WM_IDAPI_GETCAPTION1 + 4, OnIdApiGetCaption5)
ON_MESSAGE(WM_IDAPI_GETCAPTION1 + 5, OnIdApiGetCaption6)
ON_MESSAGE(WM_IDAPI_GETCAPTION7, OnIdApiGetCaption7)
END_MESSAGE_MAP()

namespace {

// Only values that fit in a word are block handles; anything wider names no block.
bool AsHandle(std::uint64_t value, WORD& rHandle) {
    if (value == 0 || value > 0xFFFF) return false;
    rHandle = static_cast<WORD>(value);
    return true;
}

// The flat address of a locked block and the bytes from there to the block's end.
char* BlockPointer(VPVOID vp, std::size_t& rSize) {
    rSize = 0;
    auto* p = static_cast<char*>(::WOWGetVDMPointer(vp, 0, TRUE));
    MEMORY_BASIC_INFORMATION info;
    if (p && ::VirtualQuery(p, &info, sizeof(info))) rSize = info.RegionSize;
    return rSize ? p : nullptr;
}

}  // namespace

BOOL CVelkonApi16CtrlFrame::IsPeerMessage(UINT message) const {
    return (message >= WM_IDAPI_PRESENT && message <= WM_IDAPI_GETCAPTION7) ||
           CHidetermCtrlFrame::IsPeerMessage(message);
}

CVelkonDoc* CVelkonApi16CtrlFrame::GetApiDocument() const {
    return dynamic_cast<CVelkonDoc*>(const_cast<CVelkonApi16CtrlFrame*>(this)->GetActiveDocument());
}

BOOL CVelkonApi16CtrlFrame::GetApiCaption(int k, CString& rCaption) const {
    CView* pView = GetActiveView();
    if (!pView) return FALSE;
    const auto* psz = reinterpret_cast<const char*>(
        pView->SendMessage(WM_VELKON_GETCAPTION, static_cast<WPARAM>(k)));
    if (!psz) return FALSE;
    rCaption = psz;
    return TRUE;
}

BOOL CVelkonApi16CtrlFrame::ReadBlock16(WPARAM hBlock, CString& rText) {
    rText.Empty();
    WORD h = 0;
    if (!AsHandle(hBlock, h)) return FALSE;
    const VPVOID vp = ::WOWGlobalLock16(h);
    if (!vp) return FALSE;
    std::size_t size = 0;
    if (const char* p = BlockPointer(vp, size)) rText = velkon_api::ReadText(p, size);
    ::WOWGlobalUnlock16(h);
    return TRUE;
}

BOOL CVelkonApi16CtrlFrame::WriteBlock16(LPARAM hBlock, const CString& text) {
    WORD h = 0;
    if (!AsHandle(static_cast<std::uint64_t>(hBlock), h)) return FALSE;
    const VPVOID vp = ::WOWGlobalLock16(h);
    if (!vp) return FALSE;
    std::size_t size = 0;
    char* p = BlockPointer(vp, size);
    const bool written = p && velkon_api::WriteText(p, size, text);
    ::WOWGlobalUnlock16(h);
    return written ? TRUE : FALSE;
}

LRESULT CVelkonApi16CtrlFrame::WriteRecordText(
    WPARAM wParam, LPARAM lParam, const std::function<CString(const CVelkonDoc&, int)>& text) {
    CVelkonDoc* pDoc = GetApiDocument();
    CString id;
    if (!pDoc || !ReadBlock16(wParam, id)) return 0;
    const int r = pDoc->FindID(id);
    if (r == -1) return 0;
    return WriteBlock16(lParam, text(*pDoc, r));
}

LRESULT CVelkonApi16CtrlFrame::WriteMemo(WPARAM wParam, LPARAM lParam, int k) {
    return WriteRecordText(wParam, lParam, [k](const CVelkonDoc& doc, int r) {
        const CTextColumn* memos[] = {&doc.m_astrMemo1, &doc.m_astrMemo2, &doc.m_astrMemo3,
                                      &doc.m_astrMemo4, &doc.m_astrMemo5, &doc.m_astrMemo6};
        return (*memos[k - 1])[r].Left(IDAPI16_FIELD_LENGTH);
    });
}

LRESULT CVelkonApi16CtrlFrame::WriteCaption(LPARAM lParam, int k) {
    CString caption;
    if (!GetApiCaption(k, caption)) return 0;
    return WriteBlock16(lParam, caption);
}

LRESULT CVelkonApi16CtrlFrame::OnIdApiPresent(WPARAM, LPARAM) {
    return 1;
}

LRESULT CVelkonApi16CtrlFrame::OnIdApiExists(WPARAM wParam, LPARAM) {
    CVelkonDoc* pDoc = GetApiDocument();
    CString id;
    if (!pDoc || !ReadBlock16(wParam, id)) return 0;
    return pDoc->FindID(id) != -1 ? 1 : 0;
}

LRESULT CVelkonApi16CtrlFrame::OnIdApiGetHandle(WPARAM wParam, LPARAM lParam) {
    return WriteRecordText(wParam, lParam, [](const CVelkonDoc& doc, int r) {
        return doc.m_astrHandle[r].Left(IDAPI16_FIELD_LENGTH);
    });
}

LRESULT CVelkonApi16CtrlFrame::OnIdApiGetMemo1(WPARAM wParam, LPARAM lParam) {
    return WriteMemo(wParam, lParam, 1);
}
LRESULT CVelkonApi16CtrlFrame::OnIdApiGetMemo2(WPARAM wParam, LPARAM lParam) {
    return WriteMemo(wParam, lParam, 2);
}
LRESULT CVelkonApi16CtrlFrame::OnIdApiGetMemo3(WPARAM wParam, LPARAM lParam) {
    return WriteMemo(wParam, lParam, 3);
}
LRESULT CVelkonApi16CtrlFrame::OnIdApiGetMemo4(WPARAM wParam, LPARAM lParam) {
    return WriteMemo(wParam, lParam, 4);
}
LRESULT CVelkonApi16CtrlFrame::OnIdApiGetMemo5(WPARAM wParam, LPARAM lParam) {
    return WriteMemo(wParam, lParam, 5);
}
LRESULT CVelkonApi16CtrlFrame::OnIdApiGetMemo6(WPARAM wParam, LPARAM lParam) {
    return WriteMemo(wParam, lParam, 6);
}

// 0 is kept for an unreadable block, so that a client can tell it from an unknown ID.
LRESULT CVelkonApi16CtrlFrame::OnIdApiGetCount(WPARAM wParam, LPARAM) {
    CVelkonDoc* pDoc = GetApiDocument();
    CString id;
    if (!pDoc || !ReadBlock16(wParam, id)) return 0;
    const int r = pDoc->FindID(id);
    return r == -1 ? -1 : pDoc->m_anUpdateCount[r];
}

LRESULT CVelkonApi16CtrlFrame::OnIdApiGetRegDate(WPARAM wParam, LPARAM lParam) {
    return WriteRecordText(wParam, lParam, [](const CVelkonDoc& doc, int r) {
        return velkon_api::ShortDate(doc.m_atimeRegist[r]);
    });
}

LRESULT CVelkonApi16CtrlFrame::OnIdApiGetUpdateDate(WPARAM wParam, LPARAM lParam) {
    return WriteRecordText(wParam, lParam, [](const CVelkonDoc& doc, int r) {
        return velkon_api::ShortDate(doc.m_atimeUpdate[r]);
    });
}

LRESULT CVelkonApi16CtrlFrame::OnIdApiGetRecord(WPARAM wParam, LPARAM lParam) {
    return WriteRecordText(wParam, lParam, velkon_api::RecordLine16);
}

LRESULT CVelkonApi16CtrlFrame::OnIdApiSetRecord(WPARAM wParam, LPARAM lParam) {
    CVelkonDoc* pDoc = GetApiDocument();
    CString id, line;
    if (!pDoc || !ReadBlock16(wParam, id) || !ReadBlock16(static_cast<WPARAM>(lParam), line))
        return 0;
    return velkon_api::SetRecord(*pDoc, id, line);
}

LRESULT CVelkonApi16CtrlFrame::OnIdApiGetCaption1(WPARAM, LPARAM lParam) {
    return WriteCaption(lParam, 1);
}
LRESULT CVelkonApi16CtrlFrame::OnIdApiGetCaption2(WPARAM, LPARAM lParam) {
    return WriteCaption(lParam, 2);
}
LRESULT CVelkonApi16CtrlFrame::OnIdApiGetCaption3(WPARAM, LPARAM lParam) {
    return WriteCaption(lParam, 3);
}
LRESULT CVelkonApi16CtrlFrame::OnIdApiGetCaption4(WPARAM, LPARAM lParam) {
    return WriteCaption(lParam, 4);
}
LRESULT CVelkonApi16CtrlFrame::OnIdApiGetCaption5(WPARAM, LPARAM lParam) {
    return WriteCaption(lParam, 5);
}
LRESULT CVelkonApi16CtrlFrame::OnIdApiGetCaption6(WPARAM, LPARAM lParam) {
    return WriteCaption(lParam, 6);
}
LRESULT CVelkonApi16CtrlFrame::OnIdApiGetCaption7(WPARAM, LPARAM lParam) {
    return WriteCaption(lParam, 7);
}
