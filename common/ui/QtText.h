#pragma once
// Where the core's text meets Qt: the core holds UTF-8 (GBK bytes are
// converted where they are read), Qt's widgets take QString.
#include <QString>
#include <string>

inline QString Qs(const std::string& utf8) { return QString::fromStdString(utf8); }
