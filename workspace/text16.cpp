#include "text16.h"

#include <QString>

std::u16string toUtf16(const std::string& text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())).toStdU16String();
}

std::string toUtf8(const std::u16string& text) {
    return QString::fromStdU16String(text).toStdString();
}
