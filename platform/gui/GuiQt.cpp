// The event loop, idle work, wait cursor, message boxes and file dialogs on Qt Widgets.
#include <fcntl.h>
#include <unistd.h>

#include <QAbstractEventDispatcher>
#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>
#include <QSocketNotifier>
#include <QThread>
#include <QTimer>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <map>
#include <memory>

#include "platform/base/CodePage.h"
#include "platform/base/StringResource.h"
#include "platform/gui/AfxRes.h"
#include "platform/gui/CDialog.h"
#include "platform/gui/CDocument.h"
#include "platform/gui/CFrameWnd.h"
#include "platform/gui/CWinApp.h"
#include "platform/gui/FileDialog.h"
#include "platform/gui/JapaneseDesktopQt.h"
#include "platform/gui/MessageBox.h"
#include "platform/gui/PixelArtQt.h"
#include "platform/gui/QtText.h"
#include "platform/gui/UiHooks.h"
#include "platform/gui/WndBridgeQt.h"

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
class PaintPacer : public QObject {
public:
    using QObject::QObject;
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() != QEvent::UpdateRequest || !watched->isWidgetType())
            return QObject::eventFilter(watched, event);
        auto* widget = static_cast<QWidget*>(watched);
        Pace& pace = m_paces[widget];
        const qint64 now = m_clock.elapsed();
        if (!pace.started || now - pace.lastPaint >= kFrameMs) {
            pace.started = true;
            pace.lastPaint = now;
            return QObject::eventFilter(watched, event);
        }
        if (!pace.deferred) {
            pace.deferred = true;
            if (!pace.watched) {
                pace.watched = true;
                connect(widget, &QObject::destroyed, this,
                        [this, widget] { m_paces.erase(widget); });
            }
            QPointer<QWidget> target(widget);
            QTimer::singleShot(
                static_cast<int>(kFrameMs - (now - pace.lastPaint)), this, [this, target] {
                    if (!target) return;
                    m_paces[target.data()].deferred = false;
                    QCoreApplication::postEvent(target.data(), new QEvent(QEvent::UpdateRequest),
                                                Qt::LowEventPriority);
                });
        }
        return true;
    }

private:
    // 40 frames a second: smooth to the eye, and a long pickup spends little of its time drawing.
    static constexpr qint64 kFrameMs = 25;
    struct Pace {
        bool started = false;
        bool deferred = false;
        bool watched = false;
        qint64 lastPaint = 0;
    };
    std::map<QWidget*, Pace> m_paces;
    QElapsedTimer m_clock{[] {
        QElapsedTimer t;
        t.start();
        return t;
    }()};
};

void HookIdle() {
    if (g_idleHooked || !QCoreApplication::instance()) return;
    QAbstractEventDispatcher* dispatcher = QAbstractEventDispatcher::instance();
    if (!dispatcher) return;
    g_idleHooked = true;
    QCoreApplication::instance()->installEventFilter(new IdleWatcher(QCoreApplication::instance()));
    QCoreApplication::instance()->installEventFilter(new PaintPacer(QCoreApplication::instance()));
    QObject::connect(dispatcher, &QAbstractEventDispatcher::aboutToBlock, [] {
        if (!g_idleWork) return;
        g_idleWork = false;
        if (CWinApp* app = AfxGetApp()) app->OnIdle(0);
        g_idleWork = false;
    });
}

int ShowQtMessageBox(const CString& text, UINT nType) {
    QMessageBox box(QApplication::activeWindow());
    CWinApp* app = AfxGetApp();
    box.setWindowTitle(ToQt(app ? app->m_strAppName : CString("Velkon95")));
    box.setText(ToQt(text));
    switch (nType & 0xF0) {
        case MB_ICONQUESTION:
            box.setIcon(QMessageBox::Question);
            break;
        case MB_ICONEXCLAMATION:
            box.setIcon(QMessageBox::Warning);
            break;
        default:
            box.setIcon(QMessageBox::Information);
            break;
    }
    struct Button {
        int id;
        UINT text;
        QMessageBox::ButtonRole role;
    };
    std::vector<Button> buttons;
    switch (nType & 0x0F) {
        case MB_YESNOCANCEL:
            buttons = {{IDYES, AFX_IDS_BUTTON_YES, QMessageBox::YesRole},
                       {IDNO, AFX_IDS_BUTTON_NO, QMessageBox::NoRole},
                       {IDCANCEL, AFX_IDS_BUTTON_CANCEL, QMessageBox::RejectRole}};
            break;
        case MB_YESNO:
            buttons = {{IDYES, AFX_IDS_BUTTON_YES, QMessageBox::YesRole},
                       {IDNO, AFX_IDS_BUTTON_NO, QMessageBox::NoRole}};
            break;
        case MB_OKCANCEL:
            buttons = {{IDOK, AFX_IDS_BUTTON_OK, QMessageBox::AcceptRole},
                       {IDCANCEL, AFX_IDS_BUTTON_CANCEL, QMessageBox::RejectRole}};
            break;
        default:
            buttons = {{IDOK, AFX_IDS_BUTTON_OK, QMessageBox::AcceptRole}};
            break;
    }
    std::vector<std::pair<QAbstractButton*, int>> answers;
    for (const Button& b : buttons)
        answers.emplace_back(box.addButton(ToQt(AfxLoadString(b.text)), b.role), b.id);
    box.setDefaultButton(static_cast<QPushButton*>(answers.front().first));
    if (buttons.back().id == IDCANCEL || buttons.size() == 1)
        box.setEscapeButton(answers.back().first);
    box.exec();
    for (auto& [button, id] : answers)
        if (box.clickedButton() == button) return id;
    return buttons.back().id;
}

int g_waitDepth = 0;

// With VELKON_REPORT_FIRST_PAINT set, the program tells bench/startup.sh on stderr when its first
// frame is on the screen: "first-paint <CLOCK_MONOTONIC nanoseconds>", once. Paint events arrive
// while a window's backing store is being drawn, and the store is flushed to the display before
// control returns to the event loop; the zero-delay timer runs after that.
class FirstPaintReporter : public QObject {
public:
    using QObject::QObject;
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Paint && !m_seen) {
            m_seen = true;
            QTimer::singleShot(0, this, [this] {
                timespec now{};
                ::clock_gettime(CLOCK_MONOTONIC, &now);
                std::fprintf(stderr, "first-paint %lld\n",
                             static_cast<long long>(now.tv_sec) * 1000000000LL + now.tv_nsec);
                std::fflush(stderr);
                QCoreApplication::instance()->removeEventFilter(this);
                deleteLater();
            });
        }
        return QObject::eventFilter(watched, event);
    }

private:
    bool m_seen = false;
};

// A request to end the program from outside (logout, kill, Ctrl+C in a terminal) ends it in every
// mode, resident too, and nobody may be there to answer: the application keeps the unsaved
// changes unasked and writes the settings (CWinApp::EndUnasked). The signal handler only writes
// to a pipe; the event loop reads it.
int g_signalPipe[2] = {-1, -1};
// The loop level the program's own event loop runs at: 1 inside Run, 0 before it.
int g_baseLoopLevel = 0;

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
    if (QThread::currentThread()->loopLevel() > g_baseLoopLevel || AfxMessageBoxesShowing() > 0) {
        CancelModalWindows();
        // With its application gone, the retry has nothing to end (and no loop to leave).
        QTimer::singleShot(10, [] {
            if (AfxGetApp()) FinishEnding();
        });
        return;
    }
    app->EndUnasked();
}

void CloseOnEndSignals(QObject* owner) {
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

}  // namespace

namespace afx_ui {

bool HaveGui() {
    return qobject_cast<QApplication*>(QCoreApplication::instance()) != nullptr;
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

int RunEventLoop() {
    HookIdle();
    if (!QCoreApplication::instance()) return 0;
    g_baseLoopLevel = 1;
    const int result = QCoreApplication::exec();
    g_baseLoopLevel = 0;
    return result;
}

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

// Without a hook, message boxes show on screen when a user interface runs.
int AfxShowMessageBoxOnScreen(const CString& text, UINT nType, bool& shown) {
    shown = afx_ui::HaveGui();
    return shown ? ShowQtMessageBox(text, nType) : 0;
}

namespace {
CString OpenDocumentPath() {
    auto* frame = dynamic_cast<CFrameWnd*>(AfxGetMainWnd());
    CDocument* doc = frame ? frame->GetActiveDocument() : nullptr;
    return doc ? doc->GetPathName() : CString();
}
}  // namespace

BOOL AfxPromptFileName(CString& rPath, BOOL bOpen, const CString& initial, const CString& filter,
                       const CString& defaultExt) {
    if (!afx_ui::HaveGui()) return FALSE;
    QString qfilter = ToQt(filter);
    const CString all = AfxLoadString(AFX_IDS_ALLFILTER);
    if (!all.IsEmpty()) qfilter += ";;" + ToQt(all);
    QFileDialog dialog(QApplication::activeWindow());
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setNameFilter(qfilter);
    dialog.setAcceptMode(bOpen ? QFileDialog::AcceptOpen : QFileDialog::AcceptSave);
    dialog.setFileMode(bOpen ? QFileDialog::ExistingFile : QFileDialog::AnyFile);
    if (!defaultExt.IsEmpty())
        dialog.setDefaultSuffix(ToQt(defaultExt.Mid(defaultExt[0] == '.' ? 1 : 0)));
    // Paths are the file system's bytes on both sides, never the program's code page.
    if (!initial.IsEmpty() && initial.Find('*') < 0) {
        dialog.selectFile(QFile::decodeName(QByteArray::fromStdString(initial.Str())));
    } else if (const CString open = OpenDocumentPath(); !open.IsEmpty()) {
        // Without a name to start from, the dialog starts where the open file lies.
        dialog.setDirectory(
            QFileInfo(QFile::decodeName(QByteArray::fromStdString(open.Str()))).absolutePath());
    }
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return FALSE;
    rPath = CString(QFile::encodeName(dialog.selectedFiles().first()).toStdString());
    return TRUE;
}

namespace {

// Clipboard monitoring and the hot key need X11. Under Wayland with XWayland beside it the
// program runs on X11, unless the user chose a platform.
void PreferX11UnderWayland() {
    const auto set = [](const char* name) {
        const char* value = std::getenv(name);
        return value && *value;
    };
    if (set("WAYLAND_DISPLAY") && set("DISPLAY") && !set("QT_QPA_PLATFORM"))
        ::setenv("QT_QPA_PLATFORM", "xcb", 1);
}

// Without X11 the program runs all the same, and says once what does not work.
void NoteWithoutX11(CWinApp* app) {
    if (QGuiApplication::platformName() == QLatin1String("xcb")) return;
    const CString text = AfxLoadString(AFX_IDS_NEEDS_X11);
    AfxLogMessage(text);
    if (auto* frame = dynamic_cast<CFrameWnd*>(app->m_pMainWnd)) frame->SetMessageText(text);
}

}  // namespace

int AfxWinMain(int argc, char** argv) {
    PreferX11UnderWayland();
    QApplication qtApp(argc, argv);
    if (std::getenv("VELKON_REPORT_FIRST_PAINT"))
        qtApp.installEventFilter(new FirstPaintReporter(&qtApp));
    CloseOnEndSignals(&qtApp);
    afx_ui::SetUpJapaneseDesktop();
    CWinApp* app = AfxGetApp();
    if (!app) return 1;
    app->m_argc = argc;
    app->m_argv = argv;
    QApplication::setWindowIcon(IconFromResource(IDR_MAINFRAME));
    int result = 0;
    if (app->InitInstance()) {
        NoteWithoutX11(app);
        app->Run();
    }
    result = app->ExitInstance();
    return result;
}
