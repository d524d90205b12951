#include "platform/gui/window/PaintPacing.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEvent>
#include <QPointer>
#include <QTimer>
#include <QWidget>
#include <map>

namespace {

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

}  // namespace

void InstallPaintPacing(QObject* application) {
    application->installEventFilter(new PaintPacer(application));
}
