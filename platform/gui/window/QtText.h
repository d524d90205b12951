// The program's text (CP932 bytes) to and from Qt's strings; a character CP932 cannot hold
// becomes "?".
#pragma once

#include <QString>
#include <string>
#include <string_view>

#include "platform/base/CString.h"

QString ToQt(std::string_view cp932);
inline QString ToQt(const char* cp932) {
    return ToQt(std::string_view(cp932 ? cp932 : ""));
}
inline QString ToQt(const std::string& cp932) {
    return ToQt(std::string_view(cp932));
}
inline QString ToQt(const CString& cp932) {
    return ToQt(cp932.View());
}
std::string FromQt(const QString& text);
