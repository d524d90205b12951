// One hot key's way through the desktop portal's global shortcuts: the interface's version, a
// session, the shortcut bound in it; then its activations, each posted to the window as
// WM_HOTKEY. Each step waits for its answer on the event loop, never in a call. Deleting the
// binding closes its session (or withdraws the request under way) and stops every answer to
// come.
#pragma once

#include <QDBusConnection>
#include <QDBusMessage>
#include <QObject>
#include <QString>
#include <functional>

#include "platform/base/WinTypes.h"

class QDBusPendingCall;
class QVariant;

namespace portal_shortcuts {

class PortalBinding : public QObject {
    Q_OBJECT
public:
    // unavailable: run once, later, when the bus has no such portal or it or the user refuses.
    PortalBinding(HWND hWnd, int id, UINT fsModifiers, UINT vk, QString trigger,
                  std::function<void()> unavailable);
    ~PortalBinding() override;

    bool Is(HWND hWnd, int id) const { return m_hWnd == hWnd && m_id == id; }
    void Start();

private slots:
    void OnResponse(const QDBusMessage& message);
    void OnActivated(const QDBusMessage& message);

private:
    QString ShortcutId() const;
    void AwaitRequest(QVariantMap& options);
    void Await(const QString& request);
    void Forget();
    void FollowRequest(const QDBusMessage& reply, const QString& predicted);
    void CreateSession();
    void BindShortcut();
    void GiveUp();
    void Watch(const QDBusPendingCall& call, std::function<void(const QDBusMessage&)> onReply);

    HWND m_hWnd;
    int m_id;
    UINT m_fsModifiers;
    UINT m_vk;
    QString m_trigger;
    std::function<void()> m_unavailable;
    QDBusConnection m_bus;
    QString m_request;  // the request whose Response is awaited
    QString m_session;
};

}  // namespace portal_shortcuts
