#include "platform/gui/frame/FramePlacement.h"

#include <QApplication>
#include <QEvent>
#include <QGuiApplication>
#include <QPointer>
#include <QScreen>
#include <QStyle>
#include <QTimer>
#include <QWidget>
#include <algorithm>

#include "platform/gui/window/CWnd.h"

namespace afx_frame {

RECT FitFrameToArea(const RECT& frame, SIZE minimum, const RECT& area) {
    const auto fit = [](LONG start, LONG length, LONG least, LONG areaStart, LONG areaEnd,
                        LONG& outStart, LONG& outLength) {
        outLength = std::max(std::min(length, areaEnd - areaStart), least);
        outStart = std::max(std::min(start, areaEnd - outLength), areaStart);
    };
    LONG x = 0, y = 0, cx = 0, cy = 0;
    fit(frame.left, frame.right - frame.left, minimum.cx, area.left, area.right, x, cx);
    fit(frame.top, frame.bottom - frame.top, minimum.cy, area.top, area.bottom, y, cy);
    return {x, y, x + cx, y + cy};
}

}  // namespace afx_frame

namespace {

RECT ToRect(const QRect& r) {
    return {r.x(), r.y(), r.x() + r.width(), r.y() + r.height()};
}

bool Framed(const QWidget* window) {
    return window->frameGeometry() != window->geometry();
}

// What the window manager will most likely add before it has said: a title bar and thin
// borders. Too much only leaves the window a little smaller until it is framed.
QMargins EstimatedFrame() {
    const int title = QApplication::style()->pixelMetric(QStyle::PM_TitleBarHeight);
    constexpr int kBorder = 4;
    return {kBorder, std::max(title, 16) + kBorder, kBorder, kBorder};
}

void Fit(QWidget* window) {
    const QMargins frame =
        Framed(window) ? QMargins(window->geometry().left() - window->frameGeometry().left(),
                                  window->geometry().top() - window->frameGeometry().top(),
                                  window->frameGeometry().right() - window->geometry().right(),
                                  window->frameGeometry().bottom() - window->geometry().bottom())
                       : EstimatedFrame();
    // The place is the frame's top left, as the window system shows it (see GetWindowPlacement).
    const QRect outer(window->pos(), window->size().grownBy(frame));
    QScreen* screen = QGuiApplication::screenAt(outer.center());
    if (!screen) screen = QGuiApplication::screenAt(outer.topLeft());
    if (!screen) screen = window->screen();
    if (!screen) return;
    const QSize least = window->minimumSizeHint().expandedTo(window->minimumSize()).grownBy(frame);
    const RECT fitted = afx_frame::FitFrameToArea(ToRect(outer), {least.width(), least.height()},
                                                  ToRect(screen->availableGeometry()));
    const QRect place(fitted.left, fitted.top, fitted.right - fitted.left,
                      fitted.bottom - fitted.top);
    if (place == outer) return;
    window->resize(place.size().shrunkBy(frame));
    window->move(place.topLeft());
}

// Waits for the window manager to frame the window, fits the window once more and goes. The
// frame is known from the first move or resize after it, or, where the manager says what it
// added only after its last move (as on a slow machine), from a look every tenth of a second.
class FrameWatcher : public QObject {
public:
    explicit FrameWatcher(QWidget* window) : QObject(window), m_window(window) {
        window->installEventFilter(this);
        m_timer.setInterval(100);
        QObject::connect(&m_timer, &QTimer::timeout, this, [this] {
            if (++m_looks > kLooks)
                Done();
            else
                Check();
        });
        m_timer.start();
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        const QEvent::Type type = event->type();
        if (watched == m_window &&
            (type == QEvent::Move || type == QEvent::Resize || type == QEvent::Show))
            Check();
        return false;
    }

private:
    // A minute: a window manager that has not framed the window by then will not.
    static constexpr int kLooks = 600;

    void Check() {
        if (m_done || !m_window || !m_window->isVisible() || !Framed(m_window) ||
            m_window->isMaximized() || m_window->isMinimized() || m_window->isFullScreen())
            return;
        Fit(m_window);
        Done();
    }
    void Done() {
        if (m_done) return;
        m_done = true;
        m_timer.stop();
        if (m_window) m_window->removeEventFilter(this);
        deleteLater();
    }

    QPointer<QWidget> m_window;
    QTimer m_timer;
    int m_looks = 0;
    bool m_done = false;
};

}  // namespace

void AfxKeepFrameOnScreen(CWnd* pWnd) {
    QWidget* window = pWnd ? pWnd->GetWidget() : nullptr;
    if (!window || !window->isWindow()) return;
    if (!window->isMaximized() && !window->isMinimized()) Fit(window);
    if (!Framed(window)) new FrameWatcher(window);
}
