// The options page "表示設定": which list columns are shown and in which order, and what the
// handle and the six memos are called. Works on copies of the view's columns and captions until
// it is applied.
#pragma once

#include "options/OptionOwners.h"
#include "platform/gui/dialog/CPropertyPage.h"
#include "platform/gui/dialog/DialogControls.h"
#include "platform/gui/reportlist/CommCtrl.h"
#include "res/resource.h"

class CPropertyView : public CPropertyPage {
    DECLARE_DYNCREATE(CPropertyView)
public:
    enum { IDD = IDD_PROPERTY_VIEW };
    static constexpr int kColumns = 11;
    static constexpr int kCaptions = 7;
    static constexpr int kMaxCaption = 40;

    explicit CPropertyView(COptionOwners& owners = COptionOwners::None());

    BOOL OnInitDialog() override;
    BOOL OnApply() override;

    CString m_strCaption[kCaptions];
    LVCOLUMN m_aColumnWork[kColumns];
    CCheckListBox m_listColumn;

protected:
    void DoDataExchange(CDataExchange* pDX) override;
    BOOL OnCommand(WPARAM wParam, LPARAM lParam) override;
    void OnUp();
    void OnDown();
    DECLARE_MESSAGE_MAP()

private:
    // Moves working entry and list line p to q (a neighbour) and selects it.
    void MoveLine(int p, int q);
    COptionOwners& m_owners;
};
