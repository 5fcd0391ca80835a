#include "common/ui/command_icons.h"

#include "common/command.h"

#include <QApplication>
#include <QPainter>
#include <QPixmap>
#include <QStyle>

namespace tessera {

namespace {

QIcon printerIcon() {
    return drawnIcon([](QPainter& p) {
        p.setPen(QPen(QColor(60, 60, 60), 0.8));
        p.setBrush(Qt::white);
        p.drawRect(QRectF(4.5, 1.5, 7, 5)); // paper in
        p.setBrush(QColor(150, 150, 160));
        p.drawRoundedRect(QRectF(1.5, 6.5, 13, 6), 1, 1); // body
        p.setBrush(Qt::white);
        p.drawRect(QRectF(4.5, 10.5, 7, 4.5)); // paper out
        p.setPen(QPen(QColor(40, 160, 40), 1));
        p.drawPoint(QPointF(12.5, 8.5));
    });
}

} // namespace

QIcon drawnIcon(const std::function<void(QPainter&)>& draw) {
    QIcon icon;
    for (int size : {16, 24, 32, 48}) {
        QPixmap pixmap(size, size);
        pixmap.fill(Qt::transparent);
        QPainter p(&pixmap);
        p.setRenderHint(QPainter::Antialiasing);
        p.scale(size / 16.0, size / 16.0);
        draw(p);
        p.end();
        icon.addPixmap(pixmap);
    }
    return icon;
}

QIcon standardCommandIcon(int id) {
    QStyle* style = QApplication::style();
    switch (id) {
    case ID_FILE_NEW:
        return style->standardIcon(QStyle::SP_FileIcon);
    case ID_FILE_OPEN:
        return style->standardIcon(QStyle::SP_DialogOpenButton);
    case ID_FILE_SAVE:
        return style->standardIcon(QStyle::SP_DialogSaveButton);
    case ID_FILE_PRINT:
        return printerIcon();
    case ID_APP_ABOUT:
        return style->standardIcon(QStyle::SP_MessageBoxQuestion);
    default:
        return {};
    }
}

} // namespace tessera
