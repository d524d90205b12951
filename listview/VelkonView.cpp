#include "listview/VelkonView.h"

#include <cstring>
#include <utility>

#include "platform/Mbcs.h"

#include "database/VelkonDoc.h"
#include "frame/MainFrame.h"
#include "platform/CWinApp.h"

IMPLEMENT_DYNCREATE(CVelkonView)

BEGIN_MESSAGE_MAP(CVelkonView, CView)
END_MESSAGE_MAP()

CVelkonDoc* CVelkonView::GetDocument() const {
    return static_cast<CVelkonDoc*>(CView::GetDocument());
}

void CVelkonView::OnInitialUpdate() {
    CView::OnInitialUpdate();
    ShowCounts();
}

void CVelkonView::OnUpdate(CView* pSender, LPARAM lHint, CObject* pHint) {
    CView::OnUpdate(pSender, lHint, pHint);
    ShowCounts();
}

CString CVelkonView::GetDataText(int r, int nDataColumn) const {
    const CVelkonDoc* doc = GetDocument();
    switch (nDataColumn) {
        case 0:
            return doc->m_astrID[r];
        case 1:
            return doc->m_astrHandle[r];
        case 2:
            return doc->m_astrMemo1[r];
        case 3:
            return doc->m_astrMemo2[r];
        case 4:
            return doc->m_astrMemo3[r];
        case 5:
            return doc->m_astrMemo4[r];
        case 6:
            return doc->m_astrMemo5[r];
        case 7:
            return doc->m_astrMemo6[r];
        case 8:
            return CVelkonDoc::FormatDate(doc->m_atimeRegist[r]);
        case 9:
            return CVelkonDoc::FormatDate(doc->m_atimePrevUpdate[r]);
        case 10: {
            // Right-aligned, so that text order is number order.
            CString count;
            count.Format("%8d", doc->m_anUpdateCount[r]);
            return count;
        }
        default:
            return {};
    }
}

void CVelkonView::CopyToBuffer(char (&buffer)[256], const CString& text) {
    const std::size_t n = mbcs::CharBoundaryAtOrBefore(text.View(), sizeof buffer - 1);
    std::memcpy(buffer, text.GetString(), n);
    buffer[n] = '\0';
}

BOOL CVelkonView::IsDateMatch(int r) const {
    const CVelkonDoc* doc = GetDocument();
    const CString& target = m_dlgDate.m_strDate;
    auto passes = [this, &target](const CString& date) {
        const int c = date.Compare(target.View());
        switch (m_dlgDate.m_nMethod) {
            case CSpecifyDateDlg::OnOrBefore:
                return c <= 0;
            case CSpecifyDateDlg::OnTheDay:
                return c == 0;
            case CSpecifyDateDlg::OnOrAfter:
                return c >= 0;
            default:
                return true;
        }
    };
    if (m_dlgDate.m_bRegistDate && !passes(CVelkonDoc::FormatDate(doc->m_atimeRegist[r])))
        return FALSE;
    if (m_dlgDate.m_bUpdateDate && !passes(CVelkonDoc::FormatDate(doc->m_atimePrevUpdate[r])))
        return FALSE;
    return TRUE;
}

BOOL CVelkonView::IsKeywordMatch(int r) const {
    const CVelkonDoc* doc = GetDocument();
    const CSpecifyKeywordDlg& k = m_dlgKeyword;
    CString keyword = k.m_strKeyword;
    if (!k.m_bCase) keyword.MakeUpper();
    const std::pair<BOOL, const CStringArray*> targets[] = {
        {k.m_bID, &doc->m_astrID},       {k.m_bHandle, &doc->m_astrHandle},
        {k.m_bMemo1, &doc->m_astrMemo1}, {k.m_bMemo2, &doc->m_astrMemo2},
        {k.m_bMemo3, &doc->m_astrMemo3}, {k.m_bMemo4, &doc->m_astrMemo4},
        {k.m_bMemo5, &doc->m_astrMemo5}, {k.m_bMemo6, &doc->m_astrMemo6}};
    for (const auto& [checked, field] : targets) {
        if (!checked) continue;
        CString text = (*field)[r];
        if (!k.m_bCase) text.MakeUpper();
        if (text.Find(keyword.View()) >= 0) return TRUE;
    }
    return FALSE;
}

void CVelkonView::ShowCounts() {
    auto* frame = dynamic_cast<CMainFrame*>(AfxGetMainWnd());
    CVelkonDoc* doc = GetDocument();
    if (!frame || !doc) return;
    frame->SetRegistCount(doc->m_anSortIndex.GetSize());
    frame->SetPickupCount(doc->m_astrPickupID.GetSize());
}
