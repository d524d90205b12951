// The event loop, idle work and the wait cursor on Qt Widgets.
#include <QAbstractEventDispatcher>
#include <QApplication>
#include <QThread>

#include "platform/gui/application/CWinApp.h"
#include "platform/gui/application/JapaneseDesktop.h"
#include "platform/gui/frame/CFrameWnd.h"
#include "platform/gui/window/PaintPacing.h"
#include "platform/gui/window/UiHooks.h"

namespace {

bool g_idleWork = false;
bool g_idleHooked = false;

// Input and our own messages may change what commands are possible.
class IdleWatcher : public QObject {
public:
    using QObject::QObject;
    bool eventFilter(QObject* watched, QEvent* event) override {
        switch (event->type()) {
            case QEvent::KeyPress:
            case QEvent::MouseButtonRelease:
            case QEvent::Shortcut:
            case QEvent::FocusIn:
            case QEvent::Show:
            case QEvent::Hide:
                g_idleWork = true;
                break;
            default:
                break;
        }
        return QObject::eventFilter(watched, event);
    }
};

// A window repaints at most once a frame. A long run of small changes (a pickup hands the
// document a 256-byte slice at a time, tens of thousands of them) would otherwise repaint the
// list and the status bar after every slice and spend nearly all its time drawing; what lands
// within one frame is drawn together at the frame's end.
void HookIdle() {
    if (g_idleHooked || !QCoreApplication::instance()) return;
    QAbstractEventDispatcher* dispatcher = QAbstractEventDispatcher::instance();
    if (!dispatcher) return;
    g_idleHooked = true;
    QCoreApplication::instance()->installEventFilter(new IdleWatcher(QCoreApplication::instance()));
    InstallPaintPacing(QCoreApplication::instance());
    QObject::connect(dispatcher, &QAbstractEventDispatcher::aboutToBlock, [] {
        if (!g_idleWork) return;
        g_idleWork = false;
        if (CWinApp* app = AfxGetApp()) app->OnIdle(0);
        g_idleWork = false;
    });
}

int g_waitDepth = 0;
// The loop level the program's own event loop runs at: 1 inside Run, 0 before it.
int g_baseLoopLevel = 0;

}  // namespace

namespace afx_ui {

bool HaveGui() {
    return qobject_cast<QApplication*>(QCoreApplication::instance()) != nullptr;
}

bool ModalWindowOpen() {
    return HaveGui() && (QApplication::activeModalWidget() != nullptr ||
                         QApplication::activePopupWidget() != nullptr);
}

void PushWaitCursor() {
    if (!HaveGui()) return;
    if (g_waitDepth++ == 0) QApplication::setOverrideCursor(Qt::WaitCursor);
}

void PopWaitCursor() {
    if (!HaveGui() || g_waitDepth == 0) return;
    if (--g_waitDepth == 0) QApplication::restoreOverrideCursor();
}

void MarkIdleWork() {
    g_idleWork = true;
    HookIdle();
}

void EnsureApplication() {
    if (QCoreApplication::instance()) return;
    static int argc = 1;
    static char name[] = "velkon95";
    static char* argv[] = {name, nullptr};
    new QApplication(argc, argv);
    SetUpJapaneseDesktop();
    HookIdle();
}

void ProcessEvents() {
    for (int i = 0; i < 3; ++i) {
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QCoreApplication::processEvents();
    }
    if (g_idleWork) {
        g_idleWork = false;
        if (CWinApp* app = AfxGetApp()) app->OnIdle(0);
    }
}

int BaseLoopLevel() {
    return g_baseLoopLevel;
}

int RunEventLoop() {
    HookIdle();
    if (!QCoreApplication::instance()) return 0;
    g_baseLoopLevel = 1;
    const int result = QCoreApplication::exec();
    g_baseLoopLevel = 0;
    return result;
}

void Quit() {
    // exit, not quit: quit would first ask every window to close, again. Only a running loop is
    // told to end: told with none running, Qt would end every later loop (a pop-up menu's, a
    // dialog's) at once.
    if (QCoreApplication::instance() && QThread::currentThread()->loopLevel() > 0)
        QCoreApplication::exit(0);
}

void IdleUpdate(CWnd* pMainWnd) {
    if (auto* frame = dynamic_cast<CFrameWnd*>(pMainWnd)) frame->OnIdleUpdateCmdUI();
}

}  // namespace afx_ui
