#include "dialogs/SendFormatDlg.h"

#include <algorithm>
#include <string>
#include <string_view>

#include "document/VelkonDoc.h"
#include "platform/base/Mbcs.h"
#include "platform/base/StringResource.h"
#include "platform/gui/application/CWinApp.h"
#include "platform/gui/dialog/DialogControls.h"
#include "platform/gui/frame/CFrameWnd.h"
#include "res/resource.h"

namespace {

char Lower(char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

// Scans text for codes that begin with `lead`; emit(code, rest) appends what the code stands
// for and returns how many bytes after the lead character it takes. A code that ends on the
// first byte of a double-byte character takes the whole character, so that no half of it is
// left behind to pair with whatever follows.
template <typename Emit>
std::string Expand(std::string_view text, char lead, Emit emit) {
    std::string out;
    std::size_t pos = 0;
    while (pos < text.size()) {
        const std::size_t at = mbcs::FindChar(text, lead, pos);
        if (at == std::string_view::npos) {
            out.append(text.substr(pos));
            break;
        }
        out.append(text.substr(pos, at - pos));
        const std::string_view rest = text.substr(at + 1);
        std::size_t taken = std::min(emit(out, rest), rest.size());
        if (taken > 0 && mbcs::IsLeadByte(static_cast<unsigned char>(rest[taken - 1])) &&
            taken < rest.size())
            ++taken;
        pos = at + 1 + taken;
    }
    return out;
}

}  // namespace

BEGIN_MESSAGE_MAP(CSendFormatDlg, CDialog)
ON_LBN_DBLCLK(IDC_EXPANDED_FORMATS, OnDblclkList)
END_MESSAGE_MAP()

CSendFormatDlg::CSendFormatDlg(CWnd* pParent) : CDialog(IDD, pParent) {
    m_strResult.Empty();
}

CString CSendFormatDlg::ExpandFormat(const CString& strFormat) const {
    const CVelkonDoc* doc = CVelkonDoc::GetActive();
    const int r = m_nRecord;
    // A record that is not there fills every code with nothing.
    const bool valid = doc && r >= 0 && r < doc->GetRecordCount();
    auto memo = [doc, r](char digit) -> CString { return doc->MemoArray(digit - '0')[r]; };
    return CString(
        Expand(strFormat.View(), '%', [&](std::string& out, std::string_view rest) -> std::size_t {
            if (rest.empty()) return 0;
            switch (Lower(rest[0])) {
                case '%':
                    out += '%';
                    return 1;
                case 'i':
                    if (valid) out += doc->m_astrID[r].Str();
                    return 1;
                case 'h':
                    if (valid) out += doc->m_astrHandle[r].Str();
                    return 1;
                case 'm':
                    if (rest.size() >= 2 && rest[1] >= '1' && rest[1] <= '6' && valid)
                        out += memo(rest[1]).Str();
                    return 2;
                case 'c':
                    if (valid) out += std::to_string(doc->m_anUpdateCount[r]);
                    return 1;
                case 'f':
                    if (valid) out += CVelkonDoc::FormatDate(doc->m_atimeRegist[r]).Str();
                    return 1;
                case 'n':
                    if (valid) out += CVelkonDoc::FormatDate(doc->m_atimeUpdate[r]).Str();
                    return 1;
                default:
                    return 1;
            }
        }));
}

CString CSendFormatDlg::ExpandEscapes(const CString& strText) {
    return CString(
        Expand(strText.View(), '\\', [](std::string& out, std::string_view rest) -> std::size_t {
            if (rest.empty()) return 0;
            switch (Lower(rest[0])) {
                case '\\':
                    out += '\\';
                    break;
                case 't':
                    out += '\t';
                    break;
                case 'r':
                    out += '\r';
                    break;
                case 'n':
                    out += '\n';
                    break;
                default:
                    break;
            }
            return 1;
        }));
}

BOOL CSendFormatDlg::OnInitDialog() {
    CDialog::OnInitDialog();
    if (!m_bSend) SetWindowText(AfxLoadString(IDS_COPY_TO_CLIPBOARD));
    if (m_pastrFormat) {
        for (int i = 0; i < m_pastrFormat->GetSize(); ++i) {
            const CString entry = ExpandFormat((*m_pastrFormat)[i]);
            SendDlgItemMessage(IDC_EXPANDED_FORMATS, LB_ADDSTRING, 0,
                               reinterpret_cast<LPARAM>(entry.GetString()));
        }
    }
    SendDlgItemMessage(IDC_EXPANDED_FORMATS, LB_SETCURSEL, 0);
    return TRUE;
}

void CSendFormatDlg::OnOK() {
    const LRESULT selected = SendDlgItemMessage(IDC_EXPANDED_FORMATS, LB_GETCURSEL);
    if (selected < 0) {
        EndDialog(IDCANCEL);
        return;
    }
    const LRESULT length =
        SendDlgItemMessage(IDC_EXPANDED_FORMATS, LB_GETTEXTLEN, static_cast<WPARAM>(selected));
    std::string text(static_cast<std::size_t>(length < 0 ? 0 : length) + 1, '\0');
    SendDlgItemMessage(IDC_EXPANDED_FORMATS, LB_GETTEXT, static_cast<WPARAM>(selected),
                       reinterpret_cast<LPARAM>(text.data()));
    text.resize(text.find('\0'));
    m_strResult = ExpandEscapes(CString(std::move(text)));
    EndDialog(IDOK);
}

void CSendFormatDlg::OnDblclkList() {
    OnOK();
}
