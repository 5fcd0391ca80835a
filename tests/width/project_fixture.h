#pragma once
// A project on disk for the window tests: a .cm file in GBK beside a picture folder with
// solid-colour photographs, in a temporary folder.

#include "common/gbk.h"

#include <QColor>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QStringList>
#include <QTemporaryDir>

namespace widthui {

struct Record {
    QString group, name, width, mode, remark, time;
};

// Records named N1, N2, ... with the widths given.
inline QList<Record> numberedRecords(int n) {
    QList<Record> records;
    for (int i = 1; i <= n; ++i)
        records.append({QString::number((i + 1) / 2), QStringLiteral("N%1").arg(i),
                        QStringLiteral("0.%1").arg(i * 7 % 90 + 10), QStringLiteral("自动"),
                        i % 3 ? QString() : QStringLiteral("梁底"),
                        QStringLiteral("2017-03-%1 10:00").arg(10 + i)});
    return records;
}

inline QByteArray projectBytes(const QList<Record>& records) {
    QString text = QStringLiteral("组号\t名称\t宽度\t模式\t备注\t时间\r\n");
    for (const Record& r : records)
        text += QStringList{r.group, r.name, r.width, r.mode, r.remark, r.time}.join(u'\t') +
                QStringLiteral("\r\n");
    const auto gbk = tessera::utf8ToGbk(text.toStdString());
    return QByteArray::fromStdString(gbk.value_or(std::string()));
}

// The records of a project file, read back (UTF-8), without the header.
inline QList<QStringList> readProject(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    const std::string utf8 = tessera::gbkToUtf8(file.readAll().toStdString());
    QList<QStringList> rows;
    const QStringList lines = QString::fromStdString(utf8).split(QStringLiteral("\r\n"));
    for (qsizetype i = 1; i < lines.size(); ++i)
        if (!lines[i].isEmpty())
            rows.append(lines[i].split(u'\t'));
    return rows;
}

inline bool writePicture(const QString& path, QColor color, QSize size = QSize(32, 24)) {
    QImage image(size, QImage::Format_RGB32);
    image.fill(color);
    return image.save(
        path, path.endsWith(QStringLiteral(".bmp"), Qt::CaseInsensitive) ? "BMP" : "JPG", 100);
}

// A distinct colour for picture i.
inline QColor colorOf(int i) {
    static const QColor colors[] = {Qt::red,      Qt::green,    Qt::blue,        Qt::cyan,
                                    Qt::magenta,  Qt::yellow,   Qt::darkRed,     Qt::darkGreen,
                                    Qt::darkBlue, Qt::darkCyan, Qt::darkMagenta, Qt::darkYellow};
    return colors[i % 12];
}

struct Project {
    QString dir;
    QString file;
    QString pictures;
};

// Writes `fileName` with `records` into `dir` and a "CrackData" folder holding a JPEG photograph
// for every record whose name is not in `withoutPicture`.
inline Project makeProject(const QString& dir, const QString& fileName,
                           const QList<Record>& records, const QStringList& withoutPicture = {}) {
    QDir(dir).mkpath(QStringLiteral("CrackData"));
    Project p{dir, dir + u'/' + fileName, dir + QStringLiteral("/CrackData")};
    QFile file(p.file);
    if (file.open(QIODevice::WriteOnly))
        file.write(projectBytes(records));
    for (qsizetype i = 0; i < records.size(); ++i)
        if (!withoutPicture.contains(records[i].name))
            writePicture(p.pictures + u'/' + records[i].name + QStringLiteral(".jpg"),
                         colorOf(static_cast<int>(i)));
    return p;
}

} // namespace widthui
