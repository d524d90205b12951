#include "platform/gui/MessageBox.h"

#include <cstdio>
#include <cstdlib>

#include "platform/base/CodePage.h"
#include "platform/base/StringResource.h"
#include "platform/gui/CWinApp.h"

namespace {

int g_showing = 0;

AfxMessageBoxHook& Hook() {
    static AfxMessageBoxHook hook;
    return hook;
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
        std::fprintf(f, "%s\n", Cp932ToUtf8(text.View()).c_str());
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
    const int answer = AfxShowMessageBoxOnScreen(text, nType, shown);
    if (shown) return answer;
    std::fprintf(stderr, "%s\n", Cp932ToUtf8(text.View()).c_str());
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
