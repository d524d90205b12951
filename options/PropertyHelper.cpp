#include "options/PropertyHelper.h"

#include "platform/gui/dialog/DataExchange.h"
#include "platform/gui/dialog/DialogControls.h"

static_assert(IDC_HELPER_FORMAT6 - IDC_HELPER_FORMAT0 == CPropertyHelper::kFormats - 1);

IMPLEMENT_DYNCREATE(CPropertyHelper)

CPropertyHelper::CPropertyHelper(COptionOwners& owners) : CPropertyPage(IDD), m_owners(owners) {
    if (COptionsFrame* frame = m_owners.Frame()) {
        const CStringArray& formats = frame->HelperFormats();
        for (int i = 0; i < kFormats && i < formats.GetSize(); ++i) m_strFormat[i] = formats[i];
    }
}

void CPropertyHelper::DoDataExchange(CDataExchange* pDX) {
    CPropertyPage::DoDataExchange(pDX);
    for (int i = 0; i < kFormats; ++i) DDX_Text(pDX, IDC_HELPER_FORMAT0 + i, m_strFormat[i]);
}

BOOL CPropertyHelper::OnCommand(WPARAM wParam, LPARAM lParam) {
    const int id = LOWORD(static_cast<DWORD>(wParam));
    if (HIWORD(static_cast<DWORD>(wParam)) == EN_CHANGE && id >= IDC_HELPER_FORMAT0 &&
        id < IDC_HELPER_FORMAT0 + kFormats)
        SetModified(TRUE);
    return CPropertyPage::OnCommand(wParam, lParam);
}

BOOL CPropertyHelper::OnApply() {
    if (!UpdateData(TRUE)) return FALSE;
    if (COptionsFrame* frame = m_owners.Frame()) {
        // The frame always holds seven; a shorter array is filled up rather than overrun.
        CStringArray& formats = frame->HelperFormats();
        while (formats.GetSize() < kFormats) formats.Add(CString());
        for (int i = 0; i < kFormats; ++i) formats[i] = m_strFormat[i];
    }
    SetModified(FALSE);
    return TRUE;
}
