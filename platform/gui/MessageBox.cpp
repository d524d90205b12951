#include "platform/gui/MessageBox.h"

#include <cstdio>
#include <cstdlib>

#include "platform/base/CodePage.h"
#include "platform/base/StringResource.h"

namespace {

AfxMessageBoxHook& Hook() {
    static AfxMessageBoxHook hook;
    return hook;
}

// A box that names no icon gets the framework's: the exclamation mark for a notice (OK,
// OK/Cancel), the question mark for a question (Yes/No, Yes/No/Cancel).
UINT WithDefaultIcon(UINT nType) {
    constexpr UINT kIconMask = 0xF0;
    if (nType & kIconMask) return nType;
    switch (nType & 0x0F) {
        case MB_OK:
        case MB_OKCANCEL:
            return nType | MB_ICONEXCLAMATION;
        case MB_YESNO:
        case MB_YESNOCANCEL:
            return nType | MB_ICONQUESTION;
        default:
            return nType;
    }
}

int SafeAnswer(UINT nType) {
    switch (nType & 0x0F) {
        case MB_YESNOCANCEL:
        case MB_OKCANCEL:
            return IDCANCEL;
        case MB_YESNO:
            return IDNO;
        default:
            return IDOK;
    }
}

}  // namespace

int AfxShowMessageBoxOnScreen(const CString& text, UINT nType, bool& shown);

// With VELKON_MESSAGE_LOG set, every message box's text is also appended to that file, so that
// scripts driving the real program can see what it told the user.
static void LogMessageText(const CString& text) {
    const char* path = std::getenv("VELKON_MESSAGE_LOG");
    if (!path || !*path) return;
    if (std::FILE* f = std::fopen(path, "a")) {
        std::fprintf(f, "%s\n", Cp932ToUtf8(text.View()).c_str());
        std::fclose(f);
    }
}

int AfxMessageBox(LPCTSTR lpszText, UINT nType, UINT /*nIDHelp*/) {
    const CString text(lpszText);
    LogMessageText(text);
    if (Hook()) return Hook()(text, nType);
    bool shown = false;
    const int answer = AfxShowMessageBoxOnScreen(text, WithDefaultIcon(nType), shown);
    if (shown) return answer;
    std::fprintf(stderr, "%s\n", Cp932ToUtf8(text.View()).c_str());
    return SafeAnswer(nType);
}

int AfxMessageBox(UINT nIDPrompt, UINT nType, UINT nIDHelp) {
    return AfxMessageBox(AfxLoadString(nIDPrompt), nType, nIDHelp);
}

AfxMessageBoxHook AfxSetMessageBoxHook(AfxMessageBoxHook hook) {
    AfxMessageBoxHook previous = std::move(Hook());
    Hook() = std::move(hook);
    return previous;
}
