#include "common/qt/text.h"

#include "common/model/gbk.h"

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

std::optional<std::string> toGbk(const QString& text) {
    return utf8ToGbk(text.toStdString());
}

std::string toPath(const QString& path) {
    return QFile::encodeName(path).toStdString();
}

} // namespace tessera
