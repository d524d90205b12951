// The program's start: the Qt application, end signals, the Japanese desktop, then the
// application object's InitInstance and Run.
#include <QApplication>
#include <QTimer>
#include <cstdio>
#include <cstdlib>
#include <ctime>

#include "platform/base/AfxRes.h"
#include "platform/base/StringResource.h"
#include "platform/gui/application/CWinApp.h"
#include "platform/gui/application/EndSignals.h"
#include "platform/gui/application/JapaneseDesktop.h"
#include "platform/gui/application/MessageBox.h"
#include "platform/gui/drawing/PixelArt.h"
#include "platform/gui/frame/CFrameWnd.h"

namespace {

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
    AfxCloseOnEndSignals(&qtApp);
    afx_ui::SetUpJapaneseDesktop();
    CWinApp* app = AfxGetApp();
    if (!app) return 1;
    if (app->m_strAppName.IsEmpty()) app->m_strAppName = AfxLoadString(AFX_IDS_APP_TITLE);
    if (app->m_strProfileName.IsEmpty()) app->m_strProfileName = app->m_strAppName;
    app->m_argc = argc;
    app->m_argv = argv;
    QApplication::setWindowIcon(IconFromResource(afx_res::ApplicationIcon()));
    int result = 0;
    if (app->InitInstance()) {
        NoteWithoutX11(app);
        app->Run();
    }
    result = app->ExitInstance();
    return result;
}
