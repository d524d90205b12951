// The Qt side of a window: turns widget events into the window's messages and calls.
#pragma once

#include <QObject>
#include <string>

#include "platform/base/WinTypes.h"

class CWnd;

// Copies a window text into a caller's buffer of wParam bytes at lParam, zero-terminated; the
// bytes copied.
LRESULT CopyWindowText(const std::string& text, WPARAM wParam, LPARAM lParam);

class CWndBridge : public QObject {
public:
    CWndBridge(CWnd* pWnd, QObject* parent) : QObject(parent), m_pWnd(pWnd) {}
    void Detach() { m_pWnd = nullptr; }
    CWnd* Window() const { return m_pWnd; }
    // The window a widget stands for, or nullptr.
    static CWnd* WindowOf(const QObject* widget);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    CWnd* m_pWnd;
};
