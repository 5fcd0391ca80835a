#pragma once
// Dialogs laid out from resource rectangles given in dialog units, as the programs' dialogs
// were designed: a horizontal unit is a quarter of the dialog font's average character width,
// a vertical unit an eighth of its height, so a dialog keeps its proportions with its font.
//
// The dialog font is "宋体" at 12 points, with the same stand-ins as the printed reports where
// SimSun is not installed. The average character width is the one the original platform
// uses: the advance of the 52 Latin letters, divided by 26, plus one, halved (rounded).

#include <QFont>
#include <QRect>

class QDialog;
class QLineEdit;
class QWidget;

namespace tessera {

struct DialogBaseUnits {
    int x = 0; // average character width in pixels
    int y = 0; // character height in pixels
};

// "宋体" (with stand-ins) at `points` points on the primary screen's logical resolution.
QFont dialogFont(int points = 12);
// A dialog font named by its resource (`face` at `points` points), with the stand-ins of the
// printed reports; "System", the Chinese system font, is "宋体".
QFont dialogFont(const QString& face, int points);

DialogBaseUnits dialogBaseUnits(const QFont& font);

// A rectangle in dialog units converted to pixels (each value × units ÷ 4 or 8, rounded as
// MulDiv rounds).
QRect dialogRect(const DialogBaseUnits& units, int x, int y, int width, int height);

// Places `widget` at the dialog-unit rectangle within its parent.
void placeInDialog(QWidget& widget, const DialogBaseUnits& units, int x, int y, int width,
                   int height);

// Gives `dialog` the dialog font, a fixed client size of width × height dialog units and the
// caption buttons of such a dialog (system menu and close box only); returns the base units for
// placing its controls.
DialogBaseUnits setUpDialog(QDialog& dialog, int width, int height, int points = 12);
// The same with the dialog font `face` at `points` points.
DialogBaseUnits setUpDialog(QDialog& dialog, int width, int height, const QString& face,
                            int points);

// Makes `edit` select its whole text when it receives the focus other than by a mouse click
// (by Tab, Shift+Tab, a shortcut, or as the first control when the dialog opens), so that
// typing replaces the text, as dialog edits have always done.
void selectAllOnFocus(QLineEdit& edit);

} // namespace tessera
