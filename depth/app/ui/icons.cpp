#include "depth/app/ui/icons.h"

#include "depth/app/command_ids.h"

#include "common/ui/command_icons.h"

#include <QPainter>
#include <QPainterPath>

namespace marrowby {
namespace {

QIcon portIcon() {
    return tessera::drawnIcon([](QPainter& p) {
        p.setPen(QPen(QColor(40, 40, 40), 0.8));
        p.setBrush(QColor(90, 120, 170));
        QPainterPath shell;
        shell.moveTo(1.5, 4.5);
        shell.lineTo(14.5, 4.5);
        shell.lineTo(12.5, 11.5);
        shell.lineTo(3.5, 11.5);
        shell.closeSubpath();
        p.drawPath(shell);
        p.setBrush(Qt::white);
        p.setPen(Qt::NoPen);
        for (int i = 0; i < 5; ++i)
            p.drawEllipse(QPointF(3.8 + i * 2.1, 6.8), 0.7, 0.7);
        for (int i = 0; i < 4; ++i)
            p.drawEllipse(QPointF(4.9 + i * 2.1, 9.2), 0.7, 0.7);
    });
}

QIcon transferIcon() {
    return tessera::drawnIcon([](QPainter& p) {
        p.setPen(QPen(QColor(40, 40, 40), 0.8));
        p.setBrush(QColor(230, 200, 90));
        p.drawRoundedRect(QRectF(1.5, 1.5, 6, 9), 1, 1); // the meter
        p.setBrush(QColor(40, 90, 40));
        p.drawRect(QRectF(2.5, 2.5, 4, 3));
        p.setPen(QPen(QColor(30, 110, 200), 1.6));
        p.drawLine(QPointF(8, 7), QPointF(13.5, 7)); // arrow to the computer
        p.drawLine(QPointF(11.5, 4.8), QPointF(13.8, 7));
        p.drawLine(QPointF(11.5, 9.2), QPointF(13.8, 7));
        p.setPen(QPen(QColor(40, 40, 40), 0.8));
        p.setBrush(QColor(200, 220, 250));
        p.drawRect(QRectF(7.5, 11.5, 7, 3.5)); // the computer
    });
}

} // namespace

static QIcon drawnAppIcon() {
    return tessera::drawnIcon([](QPainter& p) {
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(170, 170, 165));
        p.drawRoundedRect(QRectF(0.5, 0.5, 15, 15), 2, 2); // concrete
        p.setPen(QPen(QColor(40, 40, 40), 1.2));
        QPainterPath crack;
        crack.moveTo(3, 1);
        crack.lineTo(6, 5);
        crack.lineTo(5, 8);
        crack.lineTo(9, 11);
        crack.lineTo(8, 15);
        p.setBrush(Qt::NoBrush);
        p.drawPath(crack);
        p.setPen(QPen(QColor(200, 40, 40), 1.4));
        p.drawLine(QPointF(11, 3), QPointF(11, 12)); // depth gauge
        p.drawLine(QPointF(9.5, 12), QPointF(12.5, 12));
    });
}

QIcon appIcon() {
    // The installed program shows the icon of its menu entry (the hicolor theme's "marrowby");
    // run from the build folder, the one drawn here.
    return QIcon::fromTheme(QStringLiteral("marrowby"), drawnAppIcon());
}

QIcon commandIcon(int id) {
    switch (id) {
    case ID_PORT_SETTINGS:
        return portIcon();
    case ID_DATA_TRANSFER:
        return transferIcon();
    default:
        return tessera::standardCommandIcon(id);
    }
}

} // namespace marrowby
