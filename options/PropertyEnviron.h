// The options page "動作環境": resident mode and the hot key of the frame, the backup and
// automatic save of the document. The frame's hot key is unregistered while this page exists,
// so that the combination reaches the hot-key control; it is registered again when the page
// goes, with whatever value the frame holds then.
#pragma once

#include "options/OptionOwners.h"
#include "platform/gui/dialog/CPropertyPage.h"
#include "platform/gui/dialog/DialogControls.h"
#include "res/resource.h"

class CPropertyEnviron : public CPropertyPage {
    DECLARE_DYNCREATE(CPropertyEnviron)
public:
    enum { IDD = IDD_PROPERTY_ENVIRON };
    explicit CPropertyEnviron(COptionOwners& owners = COptionOwners::None());
    ~CPropertyEnviron() override;

    BOOL OnInitDialog() override;
    BOOL OnApply() override;

    BOOL m_bResident = FALSE;
    CHotKeyCtrl m_hotkey;
    BOOL m_bBackup = TRUE;
    BOOL m_bAutoSave = FALSE;

protected:
    void DoDataExchange(CDataExchange* pDX) override;
    BOOL OnCommand(WPARAM wParam, LPARAM lParam) override;

private:
    COptionOwners& m_owners;
};
