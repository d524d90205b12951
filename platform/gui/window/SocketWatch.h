// Window sockets served by Qt's event loop: the watcher the IPC level uses on threads that run
// one.
#pragma once

namespace afx_gui {
// Installs the watcher for servers made from now on; once is enough, more do nothing.
void InstallSocketWatch();
}  // namespace afx_gui
