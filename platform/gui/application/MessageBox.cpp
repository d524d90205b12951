#include "platform/gui/application/MessageBox.h"

#include <cstdio>
#include <cstdlib>

#include "platform/base/DisplayText.h"
#include "platform/base/StringResource.h"
#include "platform/gui/application/CWinApp.h"

namespace {

int g_showing = 0;

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

void AfxLogMessage(const CString& text) {
    const char* path = std::getenv("VELKON_MESSAGE_LOG");
    if (!path || !*path) return;
    if (std::FILE* f = std::fopen(path, "a")) {
        std::fprintf(f, "%s\n", DisplayTextToUtf8(text.View()).c_str());
        std::fclose(f);
    }
}

int AfxMessageBox(LPCTSTR lpszText, UINT nType, UINT /*nIDHelp*/) {
    const CString text(lpszText);
    AfxLogMessage(text);
    // The program is ending on a signal: nobody may be there to answer.
    CWinApp* app = AfxGetApp();
    if (app && app->IsEnding()) return SafeAnswer(nType);
    ++g_showing;
    struct Done {
        ~Done() { --g_showing; }
    } done;
    if (Hook()) return Hook()(text, nType);
    bool shown = false;
    const int answer = AfxShowMessageBoxOnScreen(text, WithDefaultIcon(nType), shown);
    if (shown) return answer;
    std::fprintf(stderr, "%s\n", DisplayTextToUtf8(text.View()).c_str());
    return SafeAnswer(nType);
}

int AfxMessageBoxesShowing() {
    return g_showing;
}

int AfxMessageBox(UINT nIDPrompt, UINT nType, UINT nIDHelp) {
    return AfxMessageBox(AfxLoadString(nIDPrompt), nType, nIDHelp);
}

AfxMessageBoxHook AfxSetMessageBoxHook(AfxMessageBoxHook hook) {
    AfxMessageBoxHook previous = std::move(Hook());
    Hook() = std::move(hook);
    return previous;
}
