#include "platform/gui/window/QtText.h"

#include "platform/base/CodePage.h"

QString ToQt(std::string_view cp932) {
    return QString::fromStdString(Cp932ToUtf8(cp932));
}

std::string FromQt(const QString& text) {
    return Utf8ToCp932(text.toStdString());
}
