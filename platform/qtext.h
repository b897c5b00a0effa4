// Where the programs' Windows-1252 bytes meet Qt's Unicode strings.
#pragma once

#include <QString>
#include <string>
#include <string_view>

namespace platform {

// Windows-1252 bytes to a Qt string.
QString ToQ(std::string_view bytes);
// A Qt string to Windows-1252 bytes; characters outside the code page become '?'.
std::string FromQ(const QString& text);

}  // namespace platform
