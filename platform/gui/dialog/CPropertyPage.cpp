#include "platform/gui/dialog/CPropertyPage.h"

#include "platform/base/CodePage.h"
#include "platform/base/ResourceTables.h"
#include "platform/gui/dialog/CPropertySheet.h"

CPropertyPage::CPropertyPage(UINT nIDTemplate) : CDialog(nIDTemplate) {}

CPropertyPage::~CPropertyPage() {
    if (m_pSheet) m_pSheet->ForgetPage(this);
}

void CPropertyPage::SetModified(BOOL bChanged) {
    if (m_pSheet) m_pSheet->PageChanged(this, bChanged);
}

CString CPropertyPage::GetCaption() const {
    const afx_res::DialogResource* resource = afx_res::FindDialog(m_nIDHelp);
    return CString(Utf8ToCp932(resource && resource->caption ? resource->caption : ""));
}

BOOL CPropertyPage::OnApply() {
    return TRUE;
}

BOOL CPropertyPage::OnSetActive() {
    return TRUE;
}

BOOL CPropertyPage::OnKillActive() {
    return UpdateData(TRUE);
}

void CPropertyPage::OnReset() {}

void CPropertyPage::OnOK() {}

void CPropertyPage::OnCancel() {}
