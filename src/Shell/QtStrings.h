#pragma once

#include <QString>

#include <string>

namespace brisklet {

/// Our texts are UTF-8 std::strings (localised by the Qt-free layers); widgets want QString.
inline QString qt(const std::string& text) {
    return QString::fromStdString(text);
}

} // namespace brisklet
