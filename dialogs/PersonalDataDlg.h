// The personal data editor: a modeless dialog on one record of the active document, editing its
// handle and six memos. Any number may be open, several on the same record; each frees itself
// when its window goes, and writes only when OK is pressed after something was typed.
#pragma once

#include <array>
#include <optional>

#include "platform/base/CString.h"
#include "platform/gui/dialog/CDialog.h"
#include "res/resource.h"

class CVelkonDoc;

class CPersonalDataDlg : public CDialog {
public:
    enum { IDD = IDD_PERSONAL_DATA };

    explicit CPersonalDataDlg(CWnd* pParent = nullptr);

    // Opens another editor on record nRecord of the main frame's active document, shown and
    // cascaded, and returns it (its window handle is GetSafeHwnd()); nullptr when there is no
    // such record. The editor owns itself: the caller keeps the pointer only while the window
    // lives. pszCaption are the list's column captions (handle and memos at 1..7); without
    // them the labels are the string table's captions. The editor keeps copies: the caller's
    // captions may go (or change) as soon as Open returns.
    static CPersonalDataDlg* Open(int nRecord, const char (*pszCaption)[256] = nullptr);
    // The labels' captions, the handle's first.
    using Captions = std::array<CString, 7>;
    static CPersonalDataDlg* Open(int nRecord, const Captions& captions);

    BOOL OnInitDialog() override;
    void OnOK() override;
    void OnCancel() override;

    CString m_strHandle;
    CString m_strMemo1;
    CString m_strMemo2;
    CString m_strMemo3;
    CString m_strMemo4;
    CString m_strMemo5;
    CString m_strMemo6;
    int m_nRecord = -1;
    // The captions this editor was opened with; none: the string table's.
    std::optional<Captions> m_captions;

    // Where the next editor opens, shared by all editors for the life of the program.
    static int s_nCascadeX;
    static int s_nCascadeY;

protected:
    void DoDataExchange(CDataExchange* pDX) override;
    void PostNcDestroy() override;

private:
    static CPersonalDataDlg* Open(int nRecord, std::optional<Captions> captions);
    void Cascade();
    void TellDiscarded(UINT nIDPrompt) const;

    // The ID the record had when the editor opened: another file opened meanwhile gives the
    // record number to another ID, which must not receive these texts.
    CString m_strID;
    bool* m_pbGone = nullptr;
};
