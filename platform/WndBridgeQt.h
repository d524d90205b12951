// The Qt side of a window: turns widget events into the window's messages and calls.
#pragma once

#include <QObject>

class CWnd;

class CWndBridge : public QObject {
public:
    CWndBridge(CWnd* pWnd, QObject* parent) : QObject(parent), m_pWnd(pWnd) {}
    void Detach() { m_pWnd = nullptr; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    CWnd* m_pWnd;
};
