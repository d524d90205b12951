#include "platform/gui/application/Profile.h"

#include <QSettings>
#include <QString>
#include <cstdlib>

#include "platform/base/CodePage.h"
#include "platform/gui/window/QtText.h"

struct CProfile::Impl {
    explicit Impl(const std::string& path)
        : settings(QString::fromStdString(path), QSettings::IniFormat) {}
    QSettings settings;
};

namespace {

QString KeyOf(LPCTSTR section, LPCTSTR entry) {
    return ToQt(section) + '/' + ToQt(entry);
}

}  // namespace

CProfile::CProfile(std::string pathUtf8)
    : m_path(std::move(pathUtf8)), m_impl(std::make_unique<Impl>(m_path)) {}

CProfile::~CProfile() {
    Flush();
}

std::string CProfile::DefaultPath(const CString& company, const CString& profileName) {
    std::string base;
    const char* xdg = std::getenv("XDG_CONFIG_HOME");
    if (xdg && *xdg == '/') {
        base = xdg;
    } else {
        const char* home = std::getenv("HOME");
        base = std::string(home ? home : "") + "/.config";
    }
    // Appended piece by piece: "literal" + std::string trips GCC 12's -Wstringop-overflow in
    // optimised builds, a false alarm.
    if (!company.IsEmpty()) {
        base += '/';
        base += Cp932ToUtf8(company.View());
    }
    base += '/';
    base += Cp932ToUtf8(profileName.View());
    base += ".ini";
    return base;
}

UINT CProfile::GetInt(LPCTSTR section, LPCTSTR entry, int nDefault) const {
    const QVariant v = m_impl->settings.value(KeyOf(section, entry));
    if (!v.isValid()) return static_cast<UINT>(nDefault);
    bool ok = false;
    const qlonglong n = v.toString().trimmed().toLongLong(&ok);
    if (!ok) return static_cast<UINT>(nDefault);
    // The value may have been written as signed or unsigned 32 bits.
    return static_cast<UINT>(static_cast<std::uint32_t>(n));
}

CString CProfile::GetString(LPCTSTR section, LPCTSTR entry, LPCTSTR lpszDefault) const {
    const QVariant v = m_impl->settings.value(KeyOf(section, entry));
    if (!v.isValid()) return CString(lpszDefault);
    return CString(FromQt(v.toString()));
}

BOOL CProfile::WriteInt(LPCTSTR section, LPCTSTR entry, int nValue) {
    m_impl->settings.setValue(KeyOf(section, entry), nValue);
    return TRUE;
}

BOOL CProfile::WriteString(LPCTSTR section, LPCTSTR entry, const CString& value) {
    m_impl->settings.setValue(KeyOf(section, entry), ToQt(value));
    return TRUE;
}

std::string CProfile::GetUtf8(LPCTSTR section, LPCTSTR entry) const {
    return m_impl->settings.value(KeyOf(section, entry)).toString().toStdString();
}

BOOL CProfile::WriteUtf8(LPCTSTR section, LPCTSTR entry, const std::string& value) {
    const QString text = QString::fromStdString(value);
    // Bytes that are no UTF-8 would come back as something else.
    if (text.toStdString() != value) return FALSE;
    m_impl->settings.setValue(KeyOf(section, entry), text);
    return TRUE;
}

BOOL CProfile::Remove(LPCTSTR section, LPCTSTR entry) {
    m_impl->settings.remove(entry ? KeyOf(section, entry) : ToQt(section));
    return TRUE;
}

BOOL CProfile::Flush() {
    m_impl->settings.sync();
    return m_impl->settings.status() == QSettings::NoError;
}
