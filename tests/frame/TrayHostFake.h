// A desktop with the tray the test asks for, for as long as the object lives: the offscreen
// platform has none.
#pragma once

#include <optional>

#include "platform/gui/x11/TrayIcon.h"

class TrayHostFake {
public:
    explicit TrayHostFake(TrayHost host) : m_previous(SetTrayHostForTests(host)) {}
    ~TrayHostFake() { SetTrayHostForTests(m_previous); }
    TrayHostFake(const TrayHostFake&) = delete;
    TrayHostFake& operator=(const TrayHostFake&) = delete;
    void Set(TrayHost host) { SetTrayHostForTests(host); }

private:
    std::optional<TrayHost> m_previous;
};
