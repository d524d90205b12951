// Services of the Qt side that the framework's plain C++ classes call.
#pragma once

namespace afx_ui {

void PushWaitCursor();
void PopWaitCursor();
// Something happened that may change command states: run the idle update when the event loop
// next has nothing to do.
void MarkIdleWork();
// TRUE while a Qt application object exists (a user interface can be shown).
bool HaveGui();
int RunEventLoop();
// A modal dialog, a message box or a menu is open.
bool ModalWindowOpen();
// The loop level the program's own event loop runs at: 1 while RunEventLoop runs, 0 before.
int BaseLoopLevel();
// For tests and tools: makes the Qt application object if there is none yet, and runs what
// the event loop has queued (posted messages, deferred deletions, idle work).
void EnsureApplication();
void ProcessEvents();
void Quit();
// What an end signal (SIGTERM, SIGHUP, SIGINT) does: questions and menus that are open are
// cancelled, and once none is left the application ends unasked (CWinApp::EndUnasked). A signal
// while the program is already ending does nothing.
void EndOnSignal();
// The command states of the main frame's bars.
void IdleUpdate(class CWnd* pMainWnd);

}  // namespace afx_ui
