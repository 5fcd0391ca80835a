#include "common/ui/dialog_units.h"

#include "common/qt/page_painter.h"

#include <QDialog>
#include <QEvent>
#include <QFocusEvent>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QLineEdit>
#include <QPointer>
#include <QScreen>
#include <QTimer>

#include <cmath>

namespace tessera {

namespace {

// a × b ÷ c rounded to the nearest integer, halves away from zero.
int mulDiv(int a, int b, int c) {
    return static_cast<int>(std::lround(static_cast<double>(a) * b / c));
}

class SelectAllOnFocus : public QObject {
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::FocusIn) {
            const Qt::FocusReason reason = static_cast<QFocusEvent*>(event)->reason();
            if (reason != Qt::MouseFocusReason && reason != Qt::PopupFocusReason) {
                // After the edit's own focus handling, which may move the cursor.
                QPointer<QLineEdit> edit = qobject_cast<QLineEdit*>(watched);
                QTimer::singleShot(0, edit, [edit] {
                    if (edit && edit->hasFocus())
                        edit->selectAll();
                });
            }
        }
        return false;
    }
};

} // namespace

QFont dialogFont(int points) {
    return dialogFont(QStringLiteral("宋体"), points);
}

QFont dialogFont(const QString& face, int points) {
    QFont font;
    font.setFamilies(fontFamiliesFor(face.compare(QLatin1String("System"), Qt::CaseInsensitive) == 0
                                         ? QStringLiteral("宋体")
                                         : face));
    const QScreen* screen = QGuiApplication::primaryScreen();
    const double dpi = screen ? screen->logicalDotsPerInchY() : 96.0;
    font.setPixelSize(std::max(1, static_cast<int>(std::lround(points * dpi / 72.0))));
    return font;
}

DialogBaseUnits dialogBaseUnits(const QFont& font) {
    const QFontMetrics metrics(font);
    const int letters = metrics.horizontalAdvance(
        QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz"));
    return {(letters / 26 + 1) / 2, metrics.height()};
}

QRect dialogRect(const DialogBaseUnits& units, int x, int y, int width, int height) {
    return {mulDiv(x, units.x, 4), mulDiv(y, units.y, 8), mulDiv(width, units.x, 4),
            mulDiv(height, units.y, 8)};
}

void placeInDialog(QWidget& widget, const DialogBaseUnits& units, int x, int y, int width,
                   int height) {
    widget.setGeometry(dialogRect(units, x, y, width, height));
}

DialogBaseUnits setUpDialog(QDialog& dialog, int width, int height, int points) {
    return setUpDialog(dialog, width, height, QStringLiteral("宋体"), points);
}

DialogBaseUnits setUpDialog(QDialog& dialog, int width, int height, const QString& face,
                            int points) {
    // A dialog of fixed size: a caption with the system menu and the close box, nothing to
    // minimise, maximise or ask help with.
    dialog.setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint);
    dialog.setFont(dialogFont(face, points));
    const DialogBaseUnits units = dialogBaseUnits(dialog.font());
    const QRect client = dialogRect(units, 0, 0, width, height);
    dialog.setFixedSize(client.size());
    return units;
}

void selectAllOnFocus(QLineEdit& edit) {
    edit.installEventFilter(new SelectAllOnFocus(&edit));
}

} // namespace tessera
