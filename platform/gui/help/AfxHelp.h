// Help: the program's manual in a window of its own, opened on the topic of a help context, and
// help mode (Shift+F1), in which the next click names what help is wanted for. The manual lives
// in the program's resources under :/help (topics, contents.txt); res/HelpTopics.h says which
// topic each context opens. CWinApp::WinHelp is the way in for the program.
#pragma once

#include <string>

#include "platform/base/Afx.h"
#include "platform/base/AfxRes.h"

class CFrameWnd;

// WinHelp commands.
constexpr UINT HELP_CONTEXT = 0x0001;  // the topic of the context in dwData
constexpr UINT HELP_QUIT = 0x0002;     // close the help window
constexpr UINT HELP_FINDER = 0x000B;   // the manual's contents and search

// Asks a window for help: lParam 0 for its own topic, else the help context to show. TRUE when
// the window gave help.
constexpr UINT WM_COMMANDHELP = 0x0365;

namespace afx_help {

// Shows the topic of a help context; FALSE when the manual has no topic for it.
BOOL ShowContext(DWORD dwContext);
// Shows the manual with its search at hand (on the first topic when none is shown yet).
BOOL ShowFinder();
// Closes the help window; its place and size are kept for the next time.
void Close();
// The topic file shown ("" when the help window is not shown).
std::string ShownTopic();

// Help mode of a frame: until the next click (or Esc) the cursor is a question mark and the
// message pane asks for the click; a click on a window, tool button or menu item, or a command
// key, then shows its topic instead of doing anything else.
void BeginHelpMode(CFrameWnd* pFrame);
void EndHelpMode();
bool InHelpMode();
// Lets F1 on an open menu show the topic of the item under the cursor. Once is enough.
void WatchMenus();

}  // namespace afx_help
