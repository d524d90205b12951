#include "platform/gui/window/SocketWatch.h"

#include <QAbstractEventDispatcher>
#include <QSocketNotifier>
#include <memory>

#include "platform/ipc/EventLoopWatch.h"

namespace {

class NotifierWatch : public winlink::DescriptorWatch {
public:
    NotifierWatch(int fd, bool write, std::function<void()> ready)
        : m_notifier(fd, write ? QSocketNotifier::Write : QSocketNotifier::Read) {
        // The notifier is the context: the callback goes with it.
        QObject::connect(&m_notifier, &QSocketNotifier::activated, &m_notifier,
                         [ready = std::move(ready)] { ready(); });
    }
    void SetEnabled(bool enabled) override { m_notifier.setEnabled(enabled); }

private:
    QSocketNotifier m_notifier;
};

class QtWatcher : public winlink::EventLoopWatcher {
public:
    bool ThreadHasLoop() const override { return QAbstractEventDispatcher::instance() != nullptr; }
    std::unique_ptr<winlink::DescriptorWatch> Watch(int fd, bool write,
                                                    std::function<void()> ready) override {
        return std::make_unique<NotifierWatch>(fd, write, std::move(ready));
    }
};

}  // namespace

namespace afx_gui {
void InstallSocketWatch() {
    static QtWatcher watcher;
    winlink::SetEventLoopWatcher(&watcher);
}
}  // namespace afx_gui
