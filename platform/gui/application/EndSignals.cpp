#include "platform/gui/application/EndSignals.h"

#include <fcntl.h>
#include <unistd.h>

#include <QApplication>
#include <QDialog>
#include <QSocketNotifier>
#include <QThread>
#include <QTimer>
#include <csignal>

#include "platform/gui/application/CWinApp.h"
#include "platform/gui/application/MessageBox.h"
#include "platform/gui/dialog/CDialog.h"
#include "platform/gui/window/UiHooks.h"
#include "platform/gui/window/WidgetBridge.h"

namespace {

// A request to end the program from outside (logout, kill, Ctrl+C in a terminal) ends it in every
// mode, resident too, and nobody may be there to answer: the application keeps the unsaved
// changes unasked and writes the settings (CWinApp::EndUnasked). The signal handler only writes
// to a pipe; the event loop reads it.
int g_signalPipe[2] = {-1, -1};
void OnEndSignal(int) {
    const char byte = 1;
    [[maybe_unused]] const ssize_t n = ::write(g_signalPipe[1], &byte, 1);
}

// Closes the questions, dialogs and menus that are open, as if cancelled, so that their nested
// event loops return.
void CancelModalWindows() {
    if (QWidget* popup = QApplication::activePopupWidget()) popup->close();
    for (QWidget* widget : QApplication::topLevelWidgets()) {
        if (!widget->isVisible() || !widget->isModal()) continue;
        if (auto* dialog = dynamic_cast<CDialog*>(CWndBridge::WindowOf(widget)))
            dialog->EndDialog(IDCANCEL);
        else if (auto* qdialog = qobject_cast<QDialog*>(widget))
            qdialog->reject();
        else
            widget->close();
    }
}

// The end waits until nothing is running under a question any more: ending while a nested loop
// still has work above it on the stack (a document being opened behind its error message)
// would pull the document away under that work.
void FinishEnding() {
    CWinApp* app = AfxGetApp();
    if (!app) {
        QCoreApplication::exit(0);
        return;
    }
    // A retry still queued when its application was gone must not end the next one.
    if (!app->IsEnding()) return;
    if (QThread::currentThread()->loopLevel() > afx_ui::BaseLoopLevel() ||
        AfxMessageBoxesShowing() > 0) {
        CancelModalWindows();
        // With its application gone, the retry has nothing to end (and no loop to leave).
        QTimer::singleShot(10, [] {
            if (AfxGetApp()) FinishEnding();
        });
        return;
    }
    app->EndUnasked();
}

}  // namespace

void AfxCloseOnEndSignals(QObject* owner) {
    if (::pipe2(g_signalPipe, O_CLOEXEC | O_NONBLOCK) != 0) return;
    auto* notifier = new QSocketNotifier(g_signalPipe[0], QSocketNotifier::Read, owner);
    QObject::connect(notifier, &QSocketNotifier::activated, [] {
        char buffer[16];
        while (::read(g_signalPipe[0], buffer, sizeof buffer) > 0) {
        }
        afx_ui::EndOnSignal();
    });
    struct sigaction action {};
    action.sa_handler = &OnEndSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (int sig : {SIGTERM, SIGINT, SIGHUP}) ::sigaction(sig, &action, nullptr);
}

namespace afx_ui {

void EndOnSignal() {
    CWinApp* app = AfxGetApp();
    if (!app) {
        QCoreApplication::exit(0);
        return;
    }
    // A second signal while the first is being dealt with changes nothing: no second question.
    if (app->IsEnding()) return;
    app->BeginEnding();
    FinishEnding();
}

}  // namespace afx_ui
