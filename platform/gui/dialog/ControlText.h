// Texts of the controls of template dialogs: the text a message carries, the order and matching
// of list entries, labels, and the messages of edits. Shared by the control
// implementations.
#pragma once

#include <QLineEdit>
#include <QString>
#include <algorithm>
#include <climits>
#include <string>

#include "platform/base/CString.h"
#include "platform/base/WinTypes.h"
#include "platform/gui/dialog/ByteLimit.h"
#include "platform/gui/dialog/DialogControls.h"
#include "platform/gui/window/QtText.h"
#include "platform/gui/window/WidgetBridge.h"

namespace afx_controls {

inline LPCTSTR TextOf(LPARAM lParam) {
    const auto* text = reinterpret_cast<LPCTSTR>(lParam);
    return text ? text : "";
}

// ASCII letters in lower case; the trail byte of a double-byte character is no letter.
inline std::string FoldCase(std::string s) {
    for (std::size_t i = 0; i < s.size(); ++i) {
        const auto c = static_cast<unsigned char>(s[i]);
        if ((c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC))
            ++i;
        else if (c >= 'A' && c <= 'Z')
            s[i] = static_cast<char>(c - 'A' + 'a');
    }
    return s;
}

// The order of sorted lists: letters without regard to case, then code order.
inline int CompareForSort(const std::string& a, const std::string& b) {
    const int r = CString(FoldCase(a)).Compare(FoldCase(b));
    return r != 0 ? r : CString(a).Compare(b);
}

inline bool StartsWithNoCase(const std::string& item, const std::string& prefix) {
    const std::string folded = FoldCase(item);
    const std::string p = FoldCase(prefix);
    return folded.compare(0, p.size(), p) == 0;
}

inline bool EqualsNoCase(const std::string& a, const std::string& b) {
    return a.size() == b.size() && FoldCase(a) == FoldCase(b);
}

// The text of a label without its mnemonic marks, for labels that have nothing to move to.
inline QString WithoutMnemonic(const QString& text) {
    QString out;
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i] == '&' && i + 1 < text.size()) ++i;
        out += text[i];
    }
    return out;
}

// The edit messages, shared with the edit field of combo boxes.
template <class Fallback>
LRESULT EditMessage(QLineEdit* edit, ByteLimit* limit, UINT message, WPARAM wParam, LPARAM lParam,
                    Fallback fallback) {
    switch (message) {
        case WM_SETTEXT: {
            // Set by the program: neither limited nor counted as a change by the user.
            const ByteLimit::ProgramSets unlimited(limit);
            edit->setText(ToQt(TextOf(lParam)));
            return TRUE;
        }
        case WM_GETTEXTLENGTH:
        case WM_GETTEXT: {
            const std::string text = FromQt(edit->text());
            if (message == WM_GETTEXTLENGTH) return static_cast<LRESULT>(text.size());
            return CopyWindowText(text, wParam, lParam);
        }
        case EM_LIMITTEXT:
            limit->limit =
                wParam == 0 ? INT_MAX : static_cast<int>(std::min<WPARAM>(wParam, INT_MAX));
            return 0;
        case EM_GETLIMITTEXT:
            return limit->limit;
        case EM_GETMODIFY:
            return edit->isModified() ? TRUE : FALSE;
        case EM_SETMODIFY:
            edit->setModified(wParam != 0);
            return 0;
        case EM_SETSEL: {
            const auto start = static_cast<int>(static_cast<INT_PTR>(wParam));
            const auto end = static_cast<int>(lParam);
            if (start == -1)
                edit->deselect();
            else if (start == 0 && end == -1)
                edit->selectAll();
            else
                edit->setSelection(start, std::max(0, end - start));
            return 0;
        }
        default:
            return fallback();
    }
}

}  // namespace afx_controls
