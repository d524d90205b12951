// The common font dialog, laid out by the program's own template (CF_ENABLETEMPLATE): a list of
// the screen's faces and a list of sizes. What the template hides (the style list) keeps what
// the initial LOGFONT says, so weight, italics and the like come back unchanged.
#pragma once

#include "platform/gui/dialog/CDialog.h"
#include "platform/gui/drawing/CFont.h"

constexpr DWORD CF_SCREENFONTS = 0x00000001;
constexpr DWORD CF_SHOWHELP = 0x00000004;
constexpr DWORD CF_ENABLETEMPLATE = 0x00000010;
constexpr DWORD CF_INITTOLOGFONTSTRUCT = 0x00000040;
constexpr DWORD CF_EFFECTS = 0x00000100;

// A resource id where a resource name is asked for.
inline LPCTSTR MAKEINTRESOURCE(UINT nID) {
    return reinterpret_cast<LPCTSTR>(static_cast<UINT_PTR>(nID));
}

struct CHOOSEFONT {
    DWORD lStructSize = sizeof(CHOOSEFONT);
    HWND hwndOwner = nullptr;
    LPLOGFONT lpLogFont = nullptr;
    int iPointSize = 0;  // tenths of a point, after OK
    DWORD Flags = 0;
    HINSTANCE hInstance = nullptr;
    LPCTSTR lpTemplateName = nullptr;  // MAKEINTRESOURCE of the template's id
};

class CDC;

class CFontDialog : public CDialog {
public:
    explicit CFontDialog(LPLOGFONT lplfInitial = nullptr,
                         DWORD dwFlags = CF_EFFECTS | CF_SCREENFONTS, CDC* pdcPrinter = nullptr,
                         CWnd* pParentWnd = nullptr);
    // IDOK with the choice in m_lf (and in the caller's LOGFONT given at construction). Only
    // dialogs with a template are built: without CF_ENABLETEMPLATE the result is -1.
    INT_PTR DoModal() override;
    void GetCurrentFont(LPLOGFONT lplf) const { *lplf = m_lf; }
    CString GetFaceName() const { return CString(m_lf.lfFaceName); }
    // Tenths of a point.
    int GetSize() const { return m_cf.iPointSize; }

    CHOOSEFONT m_cf;
    LOGFONT m_lf;

protected:
    BOOL OnInitDialog() override;
    void OnOK() override;
    void OnSelChangeFace();
    DECLARE_MESSAGE_MAP()

private:
    void FillSizes();
    LPLOGFONT m_plfCaller = nullptr;
};
