// The options page "色設定": the list's three colours chosen from 18 swatches for the category
// selected, shown at once on a sample of the list.
#pragma once

#include "listview/SampleListCtrl.h"
#include "options/ColorButton.h"
#include "options/OptionOwners.h"
#include "platform/gui/dialog/CPropertyPage.h"
#include "platform/gui/drawing/CFont.h"
#include "platform/gui/drawing/CImageList.h"
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
    // The sample's font and mark, made like the view's: the sample must not point into the
    // view, which goes with the main window while the sheet can still be drawn.
    CFont m_fontSample;
    CImageList m_imageSample;
    CSampleListCtrl m_listSample;

protected:
    BOOL OnCommand(WPARAM wParam, LPARAM lParam) override;
    void OnDefault();
    void OnGetDispInfo(NMHDR* pNMHDR, LRESULT* pResult);
    DECLARE_MESSAGE_MAP()

private:
    void RedrawSample();
    CString m_astrSampleID[kSampleRows];
    CString m_astrSampleText[kSampleRows];
    COptionOwners& m_owners;
};
