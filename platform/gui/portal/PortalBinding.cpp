#include "platform/gui/portal/PortalBinding.h"

#include <QDBusArgument>
#include <QDBusMetaType>
#include <QDBusObjectPath>
#include <QDBusPendingCallWatcher>
#include <QDBusVariant>
#include <QFileInfo>
#include <QVariantMap>
#include <cstdlib>
#include <utility>

#include "platform/base/AfxRes.h"
#include "platform/base/StringResource.h"
#include "platform/gui/window/CWnd.h"
#include "platform/gui/window/QtText.h"

namespace portal_shortcuts {

// One shortcut as BindShortcuts takes it: (sa{sv}).
struct NewShortcut {
    QString id;
    QVariantMap properties;
};

QDBusArgument& operator<<(QDBusArgument& argument, const NewShortcut& shortcut) {
    argument.beginStructure();
    argument << shortcut.id << shortcut.properties;
    argument.endStructure();
    return argument;
}

const QDBusArgument& operator>>(const QDBusArgument& argument, NewShortcut& shortcut) {
    argument.beginStructure();
    argument >> shortcut.id >> shortcut.properties;
    argument.endStructure();
    return argument;
}

}  // namespace portal_shortcuts

Q_DECLARE_METATYPE(portal_shortcuts::NewShortcut)

namespace portal_shortcuts {
namespace {

const QString kService = QStringLiteral("org.freedesktop.portal.Desktop");
const QString kObject = QStringLiteral("/org/freedesktop/portal/desktop");
const QString kInterface = QStringLiteral("org.freedesktop.portal.GlobalShortcuts");
const QString kRequest = QStringLiteral("org.freedesktop.portal.Request");
const QString kSession = QStringLiteral("org.freedesktop.portal.Session");
// A portal the bus starts on demand may take a while; after this the X11 grab takes over.
constexpr int kProbeTimeoutMs = 10000;

// libdbus would start a bus of its own ("autolaunch") where none is named, and wait for it.
bool SessionBusNamed() {
    const char* address = std::getenv("DBUS_SESSION_BUS_ADDRESS");
    if (address && *address) return true;
    const char* runtime = std::getenv("XDG_RUNTIME_DIR");
    return runtime && *runtime && QFileInfo::exists(QString::fromLocal8Bit(runtime) + "/bus");
}

// Portals have sent handles both as object paths and as strings.
QString PathOf(const QVariant& value) {
    if (value.canConvert<QDBusObjectPath>()) return value.value<QDBusObjectPath>().path();
    return value.toString();
}

// The results of a Response: empty when they are not a{sv}, which a portal in error might send.
QVariantMap ResultsOf(const QVariant& value) {
    if (value.userType() != qMetaTypeId<QDBusArgument>()) return {};
    const auto argument = value.value<QDBusArgument>();
    if (argument.currentSignature() != QLatin1String("a{sv}")) return {};
    return qdbus_cast<QVariantMap>(argument);
}

QDBusMessage PortalCall(const QString& method) {
    return QDBusMessage::createMethodCall(kService, kObject, kInterface, method);
}

}  // namespace

PortalBinding::PortalBinding(HWND hWnd, int id, UINT fsModifiers, UINT vk, QString trigger,
                             std::function<void()> unavailable)
    : m_hWnd(hWnd),
      m_id(id),
      m_fsModifiers(fsModifiers),
      m_vk(vk),
      m_trigger(std::move(trigger)),
      m_unavailable(std::move(unavailable)),
      m_bus(QStringLiteral("velkon-unconnected")) {
    static const bool registered = [] {
        qDBusRegisterMetaType<NewShortcut>();
        qDBusRegisterMetaType<QList<NewShortcut>>();
        return true;
    }();
    (void)registered;
}

PortalBinding::~PortalBinding() {
    if (!m_bus.isConnected()) return;
    // Nobody waits for the answer: the portal also ends a session whose owner went.
    if (!m_session.isEmpty())
        m_bus.send(QDBusMessage::createMethodCall(kService, m_session, kSession, "Close"));
    else if (!m_request.isEmpty())
        m_bus.send(QDBusMessage::createMethodCall(kService, m_request, kRequest, "Close"));
}

void PortalBinding::Start() {
    if (!SessionBusNamed() || !(m_bus = QDBusConnection::sessionBus()).isConnected()) {
        // Later, as every other answer: the caller is still registering.
        QMetaObject::invokeMethod(
            this, [this] { GiveUp(); }, Qt::QueuedConnection);
        return;
    }
    QDBusMessage get =
        QDBusMessage::createMethodCall(kService, kObject, "org.freedesktop.DBus.Properties", "Get");
    get << kInterface << QStringLiteral("version");
    Watch(m_bus.asyncCall(get, kProbeTimeoutMs), [this](const QDBusMessage& reply) {
        const QVariant version = reply.arguments().value(0).value<QDBusVariant>().variant();
        if (reply.type() != QDBusMessage::ReplyMessage || version.toUInt() < 1)
            GiveUp();
        else
            CreateSession();
    });
}

QString PortalBinding::ShortcutId() const {
    return QStringLiteral("hotkey-%1").arg(m_id);
}

// The token names the request object before the call, so that its Response, which may come
// before the call's reply, is heard.
void PortalBinding::AwaitRequest(QVariantMap& options) {
    static unsigned s_nextToken = 0;
    const QString token = QStringLiteral("velkon%1").arg(++s_nextToken);
    QString sender = m_bus.baseService().mid(1);
    sender.replace('.', '_');
    options.insert(QStringLiteral("handle_token"), token);
    Await(kObject + "/request/" + sender + "/" + token);
}

void PortalBinding::Await(const QString& request) {
    m_request = request;
    m_bus.connect(kService, m_request, kRequest, "Response", this, SLOT(OnResponse(QDBusMessage)));
}

void PortalBinding::Forget() {
    if (m_request.isEmpty()) return;
    m_bus.disconnect(kService, m_request, kRequest, "Response", this,
                     SLOT(OnResponse(QDBusMessage)));
    m_request.clear();
}

// A portal older than the token names its request object itself, in the reply. The Response
// may have come already, and the next request be awaited.
void PortalBinding::FollowRequest(const QDBusMessage& reply, const QString& predicted) {
    if (reply.type() != QDBusMessage::ReplyMessage) {
        GiveUp();
        return;
    }
    const QString named = PathOf(reply.arguments().value(0));
    if (m_request == predicted && !named.isEmpty() && named != predicted) {
        Forget();
        Await(named);
    }
}

void PortalBinding::CreateSession() {
    QVariantMap options;
    AwaitRequest(options);
    options.insert(QStringLiteral("session_handle_token"), options.value("handle_token"));
    QDBusMessage call = PortalCall("CreateSession");
    call << options;
    Watch(m_bus.asyncCall(call), [this, predicted = m_request](const QDBusMessage& reply) {
        FollowRequest(reply, predicted);
    });
}

void PortalBinding::BindShortcut() {
    QVariantMap properties;
    properties.insert(QStringLiteral("description"), ToQt(AfxLoadString(AFX_IDS_HOTKEY_SHORTCUT)));
    properties.insert(QStringLiteral("preferred_trigger"), m_trigger);
    const QList<NewShortcut> shortcuts{{ShortcutId(), properties}};
    QVariantMap options;
    AwaitRequest(options);
    QDBusMessage call = PortalCall("BindShortcuts");
    call << QVariant::fromValue(QDBusObjectPath(m_session)) << QVariant::fromValue(shortcuts)
         << QString() << options;
    Watch(m_bus.asyncCall(call), [this, predicted = m_request](const QDBusMessage& reply) {
        FollowRequest(reply, predicted);
    });
}

void PortalBinding::OnResponse(const QDBusMessage& message) {
    if (message.path() != m_request) return;
    Forget();
    const QList<QVariant> args = message.arguments();
    // 1: the user said no; 2: the portal could not; an answer of another shape is no answer.
    // Either way no shortcut comes.
    if (args.size() < 2 || args[0].userType() != QMetaType::UInt || args[0].toUInt() != 0) {
        GiveUp();
        return;
    }
    if (!m_session.isEmpty()) return;  // bound
    const QVariantMap results = ResultsOf(args[1]);
    m_session = PathOf(results.value(QStringLiteral("session_handle")));
    if (m_session.isEmpty()) {
        GiveUp();
        return;
    }
    m_bus.connect(kService, kObject, kInterface, "Activated", this,
                  SLOT(OnActivated(QDBusMessage)));
    BindShortcut();
}

void PortalBinding::OnActivated(const QDBusMessage& message) {
    const QList<QVariant> args = message.arguments();
    if (args.size() < 2 || PathOf(args[0]) != m_session || args[1].toString() != ShortcutId())
        return;
    ::PostMessage(m_hWnd, WM_HOTKEY, static_cast<WPARAM>(m_id),
                  MAKELPARAM(static_cast<WORD>(m_fsModifiers), static_cast<WORD>(m_vk)));
}

void PortalBinding::GiveUp() {
    Forget();
    if (!m_session.isEmpty() && m_bus.isConnected()) {
        m_bus.send(QDBusMessage::createMethodCall(kService, m_session, kSession, "Close"));
        m_session.clear();
    }
    if (auto unavailable = std::exchange(m_unavailable, nullptr)) unavailable();
}

// The watcher is this object's, so no answer comes after it is gone.
void PortalBinding::Watch(const QDBusPendingCall& call,
                          std::function<void(const QDBusMessage&)> onReply) {
    auto* watcher = new QDBusPendingCallWatcher(call, this);
    connect(watcher, &QDBusPendingCallWatcher::finished, this,
            [watcher, onReply = std::move(onReply)](QDBusPendingCallWatcher*) {
                watcher->deleteLater();
                onReply(watcher->reply());
            });
}

}  // namespace portal_shortcuts
