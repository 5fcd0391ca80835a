#include "width/app/ui/icons.h"

#include "common/command.h"
#include "common/ui/command_icons.h"
#include "width/project/command_ids.h"

#include <QPainter>
#include <QPainterPath>

namespace fallowmere {
namespace {

// A small photograph: a frame with a grey crack across a concrete-coloured field.
void photo(QPainter& p, const QRectF& r) {
    p.setPen(QPen(QColor(60, 60, 60), 0.6));
    p.setBrush(QColor(185, 185, 178));
    p.drawRect(r);
    p.setPen(QPen(QColor(40, 40, 40), 0.7));
    p.drawLine(QPointF(r.left() + r.width() * 0.2, r.top()),
               QPointF(r.left() + r.width() * 0.5, r.center().y()));
    p.drawLine(QPointF(r.left() + r.width() * 0.5, r.center().y()),
               QPointF(r.left() + r.width() * 0.7, r.bottom()));
}

QIcon addIcon() {
    return tessera::drawnIcon([](QPainter& p) {
        p.setPen(QPen(QColor(60, 60, 60), 0.8));
        p.setBrush(Qt::white);
        p.drawRect(QRectF(1.5, 1.5, 9, 12));
        p.setPen(QPen(QColor(120, 120, 120), 0.6));
        for (double y : {4.5, 6.5, 8.5})
            p.drawLine(QPointF(3, y), QPointF(9, y));
        p.setPen(QPen(QColor(30, 140, 40), 2.2));
        p.drawLine(QPointF(11.5, 8), QPointF(11.5, 15));
        p.drawLine(QPointF(8, 11.5), QPointF(15, 11.5));
    });
}

QIcon singleIcon() {
    return tessera::drawnIcon([](QPainter& p) { photo(p, QRectF(1.5, 2.5, 13, 11)); });
}

QIcon multiIcon() {
    return tessera::drawnIcon([](QPainter& p) {
        for (int row = 0; row < 3; ++row)
            for (int col = 0; col < 2; ++col)
                photo(p, QRectF(1.5 + col * 7, 1 + row * 5, 6, 4));
    });
}

QIcon deleteIcon() {
    return tessera::drawnIcon([](QPainter& p) {
        p.setPen(QPen(QColor(200, 30, 30), 2.4, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(QPointF(3.5, 3.5), QPointF(12.5, 12.5));
        p.drawLine(QPointF(12.5, 3.5), QPointF(3.5, 12.5));
    });
}

// A photograph with arrows pointing out to the corners: drawn to the pane's size.
QIcon fitIcon() {
    return tessera::drawnIcon([](QPainter& p) {
        photo(p, QRectF(4.5, 5.5, 7, 5));
        p.setPen(QPen(QColor(30, 90, 200), 1.2));
        const QPointF corners[] = {{1, 1}, {15, 1}, {1, 15}, {15, 15}};
        for (const QPointF& c : corners) {
            const double dx = c.x() < 8 ? 1 : -1, dy = c.y() < 8 ? 1 : -1;
            p.drawLine(c, c + QPointF(3.5 * dx, 3.5 * dy));
            p.drawLine(c, c + QPointF(2.5 * dx, 0));
            p.drawLine(c, c + QPointF(0, 2.5 * dy));
        }
    });
}

} // namespace

static QIcon drawnAppIcon() {
    return tessera::drawnIcon([](QPainter& p) {
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(170, 170, 165));
        p.drawRoundedRect(QRectF(0.5, 0.5, 15, 15), 2, 2);
        p.setPen(QPen(QColor(40, 40, 40), 1.2));
        p.setBrush(Qt::NoBrush);
        QPainterPath crack;
        crack.moveTo(2, 2);
        crack.lineTo(6, 6);
        crack.lineTo(5, 9);
        crack.lineTo(9, 12);
        crack.lineTo(9, 15);
        p.drawPath(crack);
        // A width gauge across the crack.
        p.setPen(QPen(QColor(30, 90, 200), 1.4));
        p.drawLine(QPointF(3, 9), QPointF(13, 9));
        p.drawLine(QPointF(3, 7.5), QPointF(3, 10.5));
        p.drawLine(QPointF(13, 7.5), QPointF(13, 10.5));
    });
}

QIcon appIcon() {
    // The installed program shows the icon of its menu entry (the hicolor theme's "fallowmere");
    // run from the build folder, the one drawn here.
    return QIcon::fromTheme(QStringLiteral("fallowmere"), drawnAppIcon());
}

QIcon commandIcon(int id) {
    switch (id) {
    case ID_RECORD_ADD:
        return addIcon();
    case ID_VIEW_SINGLE:
        return singleIcon();
    case ID_VIEW_MULTI:
        return multiIcon();
    case ID_RECORD_DELETE:
        return deleteIcon();
    case ID_VIEW_FIT:
        return fitIcon();
    default:
        return tessera::standardCommandIcon(id);
    }
}

} // namespace fallowmere
