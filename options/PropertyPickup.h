// The options page "ﾋﾟｯｸｱｯﾌﾟ設定": the frame's two pickup sources and the document's list of
// IDs that are never picked up, kept sorted in the page's list box.
#pragma once

#include "options/OptionOwners.h"
#include "platform/gui/dialog/CPropertyPage.h"
#include "res/resource.h"

class CPropertyPickup : public CPropertyPage {
    DECLARE_DYNCREATE(CPropertyPickup)
public:
    enum { IDD = IDD_PROPERTY_PICKUP };
    explicit CPropertyPickup(COptionOwners& owners = COptionOwners::None());

    BOOL OnInitDialog() override;
    BOOL OnApply() override;

    BOOL m_bHidetermPickup = TRUE;
    BOOL m_bClipboardPickup = TRUE;

protected:
    void DoDataExchange(CDataExchange* pDX) override;
    BOOL OnCommand(WPARAM wParam, LPARAM lParam) override;
    void OnAdd();
    void OnDelete();
    DECLARE_MESSAGE_MAP()

private:
    COptionOwners& m_owners;
};
