// A property sheet: pages under tabs, with OK, キャンセル, 適用 and ヘルプ. The sheet's window
// comes from a template it makes itself, sized for its largest page. A page's window is made
// when its tab is first chosen; OK and apply call OnApply of every page made by then, Cancel
// OnReset. The page windows go with the sheet's; the page objects are the caller's.
#pragma once

#include <memory>
#include <vector>

#include "platform/gui/dialog/CDialog.h"
#include "platform/gui/dialog/CPropertyPage.h"

constexpr int ID_APPLY_NOW = 0x3021;

class CPropertySheet : public CDialog {
public:
    explicit CPropertySheet(LPCTSTR pszCaption, CWnd* pParentWnd = nullptr, UINT iSelectPage = 0);
    ~CPropertySheet() override;

    void AddPage(CPropertyPage* pPage);
    int GetPageCount() const { return static_cast<int>(m_pages.size()); }
    CPropertyPage* GetPage(int nPage) const;
    CPropertyPage* GetActivePage() const;
    int GetActiveIndex() const { return m_nActive; }
    // Leaves the current page (if it lets go) and shows page nPage, made on first use.
    BOOL SetActivePage(int nPage);
    BOOL SetActivePage(CPropertyPage* pPage);

    BOOL OnInitDialog() override;
    void OnOK() override;
    void OnCancel() override;

    // Called by the pages.
    void PageChanged(CPropertyPage* pPage, BOOL bChanged);
    void ForgetPage(CPropertyPage* pPage);

protected:
    const afx_res::DialogResource* FindTemplate(UINT nIDTemplate) const override;
    void DestroyChildWindows() override;
    void OnApplyNow();
    LRESULT OnCommandHelp(WPARAM wParam, LPARAM lParam);
    DECLARE_MESSAGE_MAP()

private:
    // OnKillActive of the current page, then OnApply of every page made; FALSE when a page
    // kept the sheet open.
    BOOL Apply();
    void UpdateApplyButton();

    CString m_strCaption;
    UINT m_nStartPage;
    int m_nActive = -1;
    std::vector<CPropertyPage*> m_pages;
    std::vector<CPropertyPage*> m_modified;
    struct Impl;
    std::unique_ptr<Impl> m_sheet;
};
