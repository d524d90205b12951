// A page of a property sheet: a dialog template shown inside the sheet's tab, made the first
// time its tab is chosen. SetModified marks it changed, which enables the sheet's apply button;
// OnApply takes its values over when the user presses OK or apply, on every page made by then.
#pragma once

#include "platform/gui/dialog/CDialog.h"
#include "platform/gui/window/CRuntimeClass.h"

class CPropertySheet;

class CPropertyPage : public CDialog {
public:
    explicit CPropertyPage(UINT nIDTemplate);
    ~CPropertyPage() override;

    // Marks the page changed (or no longer changed); the apply button is enabled while any page
    // of the sheet is marked.
    void SetModified(BOOL bChanged = TRUE);
    // The tab's text: the template's caption.
    CString GetCaption() const;

    // The user pressed OK or apply; FALSE keeps the sheet open on this page.
    virtual BOOL OnApply();
    // The page is about to be shown (TRUE lets it) or left (FALSE keeps it: its values do not
    // hold); the default takes the controls' values into the members.
    virtual BOOL OnSetActive();
    virtual BOOL OnKillActive();
    // The user cancelled the sheet.
    virtual void OnReset();

    // A page does not end anything: Enter and Esc are the sheet's.
    void OnOK() override;
    void OnCancel() override;

private:
    friend class CPropertySheet;
    CPropertySheet* m_pSheet = nullptr;
};
