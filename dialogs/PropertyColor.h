// The options page "色設定": the list's three colours chosen from 18 swatches for the category
// selected, shown at once on a sample of the list.
#pragma once

#include "dialogs/ColorButton.h"
#include "dialogs/OptionOwners.h"
#include "listview/SampleListCtrl.h"
#include "platform/gui/CPropertyPage.h"
#include "res/resource.h"

class CPropertyColor : public CPropertyPage {
    DECLARE_DYNCREATE(CPropertyColor)
public:
    enum { IDD = IDD_PROPERTY_COLOR };
    static constexpr int kSwatches = 18;
    static constexpr int kSampleRows = 4;
    // The palette, by swatch.
    static const COLORREF s_aclrPalette[kSwatches];

    explicit CPropertyColor(COptionOwners& owners = COptionOwners::None());

    BOOL OnInitDialog() override;
    BOOL OnApply() override;
    // Gives the selected category the colour; FALSE (and nothing changes) with none selected.
    BOOL SetColor(COLORREF clr);

    CColorButton m_btnColor[kSwatches];
    CSampleListCtrl m_listSample;

protected:
    BOOL OnCommand(WPARAM wParam, LPARAM lParam) override;
    void OnDefault();
    void OnGetDispInfo(NMHDR* pNMHDR, LRESULT* pResult);
    DECLARE_MESSAGE_MAP()

private:
    CString m_astrSampleID[kSampleRows];
    CString m_astrSampleText[kSampleRows];
    COptionOwners& m_owners;
};
