#include "platform/gui/dialog/CFontDialog.h"

#include <QFontDatabase>
#include <QFontInfo>
#include <cmath>
#include <cstdlib>
#include <cstring>

#include "platform/base/AfxRes.h"
#include "platform/base/CodePage.h"
#include "platform/base/CommonDialogIds.h"
#include "platform/base/Mbcs.h"
#include "platform/gui/application/MessageBox.h"
#include "platform/gui/dialog/DialogControls.h"
#include "platform/gui/window/QtText.h"

namespace {

// The sizes offered for faces that scale to any size, in points.
constexpr int kScalableSizes[] = {8, 9, 10, 11, 12, 14, 16, 18, 20, 22, 24, 26, 28, 36, 48, 72};
constexpr int kLogPixelsY = 96;

CString TextOf(const CDialog* dlg, int id) {
    CString text;
    dlg->GetDlgItemText(id, text);
    return text;
}

}  // namespace

BEGIN_MESSAGE_MAP(CFontDialog, CDialog)
ON_CBN_SELCHANGE(cmb1, OnSelChangeFace)
ON_BN_CLICKED(pshHelp, OnHelp)
END_MESSAGE_MAP()

CFontDialog::CFontDialog(LPLOGFONT lplfInitial, DWORD dwFlags, CDC*, CWnd* pParentWnd)
    : CDialog(0, pParentWnd), m_plfCaller(lplfInitial) {
    m_cf.Flags = dwFlags;
    if (lplfInitial) {
        m_lf = *lplfInitial;
        m_cf.Flags |= CF_INITTOLOGFONTSTRUCT;
    }
    m_cf.lpLogFont = &m_lf;
}

INT_PTR CFontDialog::DoModal() {
    if (!(m_cf.Flags & CF_ENABLETEMPLATE)) return -1;
    m_nIDHelp = static_cast<UINT>(reinterpret_cast<UINT_PTR>(m_cf.lpTemplateName));
    const INT_PTR result = CDialog::DoModal();
    if (result == IDOK && m_plfCaller) *m_plfCaller = m_lf;
    return result;
}

BOOL CFontDialog::OnInitDialog() {
    CDialog::OnInitDialog();
    for (const QString& family : QFontDatabase::families()) {
        if (QFontDatabase::isPrivateFamily(family)) continue;
        const std::string face = FromQt(family);
        if (face.size() < LF_FACESIZE)
            SendDlgItemMessage(cmb1, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(face.c_str()));
    }
    const CString face(m_lf.lfFaceName);
    const LRESULT found = SendDlgItemMessage(cmb1, CB_FINDSTRINGEXACT, static_cast<WPARAM>(-1),
                                             reinterpret_cast<LPARAM>(face.GetString()));
    if (found >= 0)
        SendDlgItemMessage(cmb1, CB_SETCURSEL, static_cast<WPARAM>(found));
    else
        SetDlgItemText(cmb1, face);
    FillSizes();

    int points = 0;
    if (m_lf.lfHeight != 0) {
        CFont font;
        font.CreateFontIndirect(&m_lf);
        points = static_cast<int>(
            std::lround(QFontInfo(font.GetQFont()).pixelSize() * 72.0 / kLogPixelsY));
    }
    if (points > 0) {
        const CString size(std::to_string(points));
        const LRESULT row = SendDlgItemMessage(cmb3, CB_FINDSTRINGEXACT, static_cast<WPARAM>(-1),
                                               reinterpret_cast<LPARAM>(size.GetString()));
        if (row >= 0)
            SendDlgItemMessage(cmb3, CB_SETCURSEL, static_cast<WPARAM>(row));
        else
            SetDlgItemText(cmb3, size);
    }
    return TRUE;
}

void CFontDialog::FillSizes() {
    const CString keep = TextOf(this, cmb3);
    SendDlgItemMessage(cmb3, CB_RESETCONTENT);
    const QString family = ToQt(TextOf(this, cmb1));
    std::vector<int> sizes;
    if (family.isEmpty() || QFontDatabase::isSmoothlyScalable(family))
        sizes.assign(std::begin(kScalableSizes), std::end(kScalableSizes));
    else
        for (int s : QFontDatabase::pointSizes(family)) sizes.push_back(s);
    for (int s : sizes) {
        const std::string text = std::to_string(s);
        SendDlgItemMessage(cmb3, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text.c_str()));
    }
    SetDlgItemText(cmb3, keep);
}

void CFontDialog::OnSelChangeFace() {
    FillSizes();
}

void CFontDialog::OnOK() {
    const CString face = TextOf(this, cmb1);
    const LRESULT row = SendDlgItemMessage(cmb1, CB_FINDSTRINGEXACT, static_cast<WPARAM>(-1),
                                           reinterpret_cast<LPARAM>(face.GetString()));
    if (row < 0) {
        AfxMessageBox(AFX_IDS_FONT_NOT_FOUND, MB_OK | MB_ICONEXCLAMATION);
        GotoDlgCtrl(GetDlgItem(cmb1));
        return;
    }
    const CString sizeText = TextOf(this, cmb3);
    char* end = nullptr;
    const double points = std::strtod(sizeText.GetString(), &end);
    if (sizeText.IsEmpty() || *end != '\0' || !(points >= 1.0 && points <= 1638.0)) {
        AfxMessageBox(AFX_IDS_FONT_SIZE_NOT_NUMBER, MB_OK | MB_ICONEXCLAMATION);
        GotoDlgCtrl(GetDlgItem(cmb3));
        return;
    }
    // The face as the list spells it.
    const auto length = static_cast<std::size_t>(
        SendDlgItemMessage(cmb1, CB_GETLBTEXTLEN, static_cast<WPARAM>(row)));
    std::string buffer(length + 1, '\0');
    SendDlgItemMessage(cmb1, CB_GETLBTEXT, static_cast<WPARAM>(row),
                       reinterpret_cast<LPARAM>(buffer.data()));
    buffer.resize(length);
    const std::size_t n = mbcs::CharBoundaryAtOrBefore(buffer, LF_FACESIZE - 1);
    std::memset(m_lf.lfFaceName, 0, sizeof m_lf.lfFaceName);
    std::memcpy(m_lf.lfFaceName, buffer.data(), n);
    m_lf.lfHeight = -static_cast<LONG>(std::lround(points * kLogPixelsY / 72.0));
    m_lf.lfWidth = 0;
    m_cf.iPointSize = static_cast<int>(std::lround(points * 10));
    EndDialog(IDOK);
}
