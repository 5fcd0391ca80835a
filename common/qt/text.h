#pragma once
// QString <-> GBK or UTF-8 bytes for the interface (QtCore only).

#include <QString>
#include <optional>
#include <string>
#include <string_view>

namespace tessera {

// GBK bytes for display; invalid bytes show as U+FFFD.
QString fromGbk(std::string_view gbk);
// UTF-8 bytes (the interface texts in the source, model texts such as kEndOfFileMessage).
QString fromUtf8(std::string_view utf8);
// Text the user typed, as GBK; nullopt when it holds a character GBK cannot represent.
std::optional<std::string> toGbk(const QString& text);
// A file path for the C library (UTF-8 on Linux).
std::string toPath(const QString& path);

} // namespace tessera
