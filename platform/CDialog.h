// A dialog: a window made from a dialog template. The settings objects of some dialogs live
// longer than their windows, so an object exists before and after its window.
#pragma once

#include "platform/CWnd.h"

class CDialog : public CWnd {
public:
    explicit CDialog(UINT nIDTemplate, CWnd* pParentWnd = nullptr)
        : m_nIDHelp(nIDTemplate), m_pParentWndForDialog(pParentWnd) {}
    UINT GetTemplateID() const { return m_nIDHelp; }

protected:
    UINT m_nIDHelp;
    CWnd* m_pParentWndForDialog;
};
