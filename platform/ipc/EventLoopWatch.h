// A window socket served on a thread that runs an event loop is served by that loop. The loop
// belongs to the GUI level, which installs a watcher here; without one, or on a thread without a
// loop, the owner of a server calls its Dispatch.
#pragma once

#include <functional>
#include <memory>

namespace winlink {

// Calls its callback from the event loop while the descriptor is ready and the watch enabled.
class DescriptorWatch {
public:
    virtual ~DescriptorWatch() = default;
    virtual void SetEnabled(bool enabled) = 0;
};

class EventLoopWatcher {
public:
    virtual ~EventLoopWatcher() = default;
    // True when the calling thread has an event loop that can watch descriptors.
    virtual bool ThreadHasLoop() const = 0;
    // A watch for reading (or writing, when `write`), enabled, on the calling thread's loop.
    virtual std::unique_ptr<DescriptorWatch> Watch(int fd, bool write,
                                                   std::function<void()> ready) = 0;
};

// The watcher servers made from now on use; nullptr for none. Not owned.
void SetEventLoopWatcher(EventLoopWatcher* watcher);
EventLoopWatcher* GetEventLoopWatcher();

}  // namespace winlink
