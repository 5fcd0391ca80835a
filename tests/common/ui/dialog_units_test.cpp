#include "common/ui/dialog_units.h"

#include <QDialog>
#include <QLineEdit>
#include <QPushButton>
#include <QtTest>

using namespace tessera;

class DialogUnitsTest : public QObject {
    Q_OBJECT

private slots:
    void unitsFollowTheFont() {
        QFont small = dialogFont(9);
        QFont large = dialogFont(18);
        const DialogBaseUnits a = dialogBaseUnits(small);
        const DialogBaseUnits b = dialogBaseUnits(large);
        QVERIFY(a.x > 0 && a.y > 0);
        QVERIFY(b.x > a.x);
        QVERIFY(b.y > a.y);
        // The average width is the rounded half of the 52 letters' advance over 26.
        const int letters = QFontMetrics(small).horizontalAdvance(
            QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz"));
        QCOMPARE(a.x, (letters / 26 + 1) / 2);
    }

    void rectanglesScaleByQuartersAndEighths() {
        const DialogBaseUnits units{8, 16};
        QCOMPARE(dialogRect(units, 4, 8, 50, 14), QRect(8, 16, 100, 28));
        // MulDiv rounding: 7 × 7 ÷ 4 = 12.25 -> 12; 3 × 13 ÷ 8 = 4.875 -> 5.
        QCOMPARE(dialogRect({7, 13}, 7, 3, 0, 0), QRect(12, 5, 0, 0));
    }

    void dialogGetsItsFontAndFixedClientSize() {
        QDialog dialog;
        const DialogBaseUnits units = setUpDialog(dialog, 160, 107);
        QCOMPARE(dialog.font(), dialogFont(12));
        QCOMPARE(dialog.size(), dialogRect(units, 0, 0, 160, 107).size());
        QPushButton ok(&dialog);
        placeInDialog(ok, units, 8, 87, 50, 14);
        QCOMPARE(ok.geometry(), dialogRect(units, 8, 87, 50, 14));
    }

    void editsSelectAllWhenTabbedIntoButNotWhenClicked() {
        QDialog dialog;
        QLineEdit first(QStringLiteral("alpha"), &dialog);
        QLineEdit second(QStringLiteral("beta"), &dialog);
        selectAllOnFocus(first);
        selectAllOnFocus(second);
        dialog.show();
        QVERIFY(QTest::qWaitForWindowActive(&dialog));

        second.setFocus(Qt::TabFocusReason);
        QTRY_COMPARE(second.selectedText(), QStringLiteral("beta"));
        // Typing replaces the whole text.
        QTest::keyClicks(&second, QStringLiteral("x"));
        QCOMPARE(second.text(), QStringLiteral("x"));

        first.setFocus(Qt::OtherFocusReason);
        QTRY_COMPARE(first.selectedText(), QStringLiteral("alpha"));

        second.deselect();
        second.setFocus(Qt::MouseFocusReason);
        QTest::qWait(10);
        QCOMPARE(second.selectedText(), QString());
    }
};

QTEST_MAIN(DialogUnitsTest)
#include "dialog_units_test.moc"
