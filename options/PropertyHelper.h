// The options page "ｺﾋﾟｰ/送信ﾍﾙﾊﾟ設定": the main frame's seven helper formats, stored as typed.
#pragma once

#include "options/OptionOwners.h"
#include "platform/gui/dialog/CPropertyPage.h"
#include "res/resource.h"

class CPropertyHelper : public CPropertyPage {
    DECLARE_DYNCREATE(CPropertyHelper)
public:
    enum { IDD = IDD_PROPERTY_HELPER };
    static constexpr int kFormats = 7;

    explicit CPropertyHelper(COptionOwners& owners = COptionOwners::None());
    BOOL OnApply() override;

    CString m_strFormat[kFormats];

protected:
    void DoDataExchange(CDataExchange* pDX) override;
    BOOL OnCommand(WPARAM wParam, LPARAM lParam) override;

private:
    COptionOwners& m_owners;
};
