#include "common/qt/text.h"

#include "common/gbk.h"

#include <QFile>

namespace tessera {

QString fromGbk(std::string_view gbk) {
    // Pure ASCII needs no conversion; most cells are digits.
    bool ascii = true;
    for (unsigned char c : gbk)
        if (c >= 0x80) {
            ascii = false;
            break;
        }
    if (ascii)
        return QString::fromLatin1(gbk.data(), static_cast<qsizetype>(gbk.size()));
    return QString::fromStdString(gbkToUtf8(gbk));
}

QString fromUtf8(std::string_view utf8) {
    return QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()));
}

std::optional<std::string> toGbk(const QString& text) {
    return utf8ToGbk(text.toStdString());
}

std::string toPath(const QString& path) {
    return QFile::encodeName(path).toStdString();
}

} // namespace tessera
