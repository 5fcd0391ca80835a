// The port-settings and driver-install dialogs and their commands, headless.

#include "tests/support/modal_dialog.h"

#include "common/ui/dialog_units.h"

#include "depth/document/depth_doc.h"
#include "depth/ports/ui/driver_install_dlg.h"
#include "depth/ports/ui/port_commands.h"
#include "depth/ports/ui/port_set_dlg.h"
#include "tests/support/scripted_prompt.h"

#include <QApplication>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QTest>
#include <functional>
#include <memory>

using namespace marrowby;
using tessera::PromptIcon;
using tessera::ScriptedPrompt;
using testing_modal::whenModal;

namespace {

QStringList items(const QComboBox* box) {
    QStringList out;
    for (int i = 0; i < box->count(); ++i)
        out << box->itemText(i);
    return out;
}

} // namespace

// Every test starts with a scripted prompt and the port map of fourPorts(); runPortSettings
// runs the port-settings command with an action on its dialog.
class PortDialogsTest : public QObject {
    Q_OBJECT

    QTemporaryDir m_dir;
    std::unique_ptr<ScriptedPrompt> m_prompt;

    ScriptedPrompt& prompt() { return *m_prompt; }

    void usePortMap(const QByteArray& text) {
        const QString path = m_dir.filePath(QStringLiteral("ports.map"));
        QFile f(path);
        QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        f.write(text);
        f.close();
        qputenv("MARROWBY_PORT_MAP", path.toLocal8Bit());
    }

    // COM1, COM10 (listed after COM1), COM3 and COM31 (beyond COM29), plus a bridge.
    static QByteArray fourPorts() {
        return "[serialcomm]\n"
               "\\Device\\Serial0=COM1\n"
               "\\Device\\USBSER000=COM10\n"
               "\\Device\\Slabser0=COM3\n"
               "\\Device\\USBSER001=COM31\n"
               "[ports]\nCOM3=/dev/ttyUSB0\n";
    }

    // The port-settings command for `port`, `act` running on its dialog; returns the port the
    // command gives back.
    static int runPortSettings(int port, std::function<void(CPortSetDlg*)> act) {
        bool ran = false;
        whenModal([&](QWidget* w) {
            auto* dlg = qobject_cast<CPortSetDlg*>(w);
            QVERIFY(dlg);
            ran = true;
            act(dlg);
        });
        const int result = OnPortSettings(port, nullptr);
        [&] { QVERIFY(ran); }();
        return result;
    }

private slots:
    void init() {
        m_prompt = std::make_unique<ScriptedPrompt>();
        usePortMap(fourPorts());
    }

    void cleanup() {
        m_prompt.reset();
        qunsetenv("MARROWBY_PORT_MAP");
    }

    void listIsSortedAsTextAndLimitedToCom29() {
        CPortSetDlg dlg;
        dlg.FillPortList();
        QCOMPARE(
            items(dlg.portList()),
            (QStringList{QStringLiteral("COM1"), QStringLiteral("COM10"), QStringLiteral("COM3")}));
        QVERIFY(!dlg.portList()->isEditable());
        QVERIFY(prompt().shown.isEmpty());
        // The device behind a port is shown for people; the item itself reads "COMn".
        QCOMPARE(dlg.portList()->itemData(2, Qt::ToolTipRole).toString(),
                 QStringLiteral("/dev/ttyUSB0"));
    }

    void dialogTexts() {
        CPortSetDlg dlg;
        QCOMPARE(dlg.windowTitle(), QStringLiteral("端口设置"));
        QCOMPARE(dlg.okButton()->text(), QStringLiteral("确定"));
        QCOMPARE(dlg.cancelButton()->text(), QStringLiteral("取消"));
        QVERIFY(dlg.okButton()->isDefault());
        bool label = false;
        for (auto* l : dlg.findChildren<QLabel*>())
            label |= l->text() == QStringLiteral("串口号");
        QVERIFY(label);
    }

    void documentPortIsPreselectedAndOkWithoutTouchingKeepsIt() {
        int selected = -2;
        QString selectedText;
        const int port = runPortSettings(3, [&](CPortSetDlg* dlg) {
            selected = dlg->portList()->currentIndex();
            selectedText = dlg->portList()->currentText();
            QTest::mouseClick(dlg->okButton(), Qt::LeftButton);
        });
        QCOMPARE(selected, 2);
        QCOMPARE(selectedText, QStringLiteral("COM3"));
        QCOMPARE(port, 3);
    }

    void portMissingFromTheListShowsNoSelectionAndOkKeepsIt() {
        int selected = -2;
        const int port = runPortSettings(7, [&](CPortSetDlg* dlg) {
            selected = dlg->portList()->currentIndex();
            dlg->accept();
        });
        QCOMPARE(selected, -1);
        QCOMPARE(port, 7);
    }

    void choosingAnItemSetsThePortAndOkStoresIt() {
        int inDialog = -1;
        const int port = runPortSettings(1, [&](CPortSetDlg* dlg) {
            // The user moves the selection with the keyboard: COM1 -> COM10.
            dlg->portList()->setFocus();
            QTest::keyClick(dlg->portList(), Qt::Key_Down);
            inDialog = dlg->port();
            dlg->accept();
        });
        QCOMPARE(inDialog, 10);
        QCOMPARE(port, 10);
    }

    void onSelChangePortReadsTheSelectedItem() {
        CPortSetDlg dlg;
        dlg.setPort(1);
        dlg.FillPortList();
        dlg.portList()->setCurrentIndex(2);
        QCOMPARE(dlg.port(), 1); // a programmatic selection is not the user's
        dlg.OnSelChangePort();
        QCOMPARE(dlg.port(), 3);
    }

    void cancelLeavesThePort() {
        const int port = runPortSettings(1, [&](CPortSetDlg* dlg) {
            dlg->portList()->setCurrentIndex(2);
            dlg->OnSelChangePort();
            QTest::mouseClick(dlg->cancelButton(), Qt::LeftButton);
        });
        QCOMPARE(port, 1);
    }

    void theDocumentKeepsThePortChosenByHand() {
        // The document's port-settings command stores what the dialog gives back.
        CMarrowbyDoc doc;
        QCOMPARE(doc.port(), 1);
        doc.setPort(runPortSettings(doc.port(), [](CPortSetDlg* dlg) {
            dlg->portList()->setCurrentIndex(2);
            dlg->OnSelChangePort();
            dlg->accept();
        }));
        QCOMPARE(doc.port(), 3);
    }

    void unreadableMapIsReportedAndTheDialogStillOpens() {
        qputenv("MARROWBY_PORT_MAP", m_dir.filePath(QStringLiteral("missing.map")).toLocal8Bit());
        int count = -1;
        const int port = runPortSettings(4, [&](CPortSetDlg* dlg) {
            count = dlg->portList()->count();
            dlg->accept();
        });
        QCOMPARE(prompt().messageTexts(),
                 QStringList{QStringLiteral("Error：Can't open the hKEY")});
        QCOMPARE(prompt().shown[0].caption, QStringLiteral("Tessaly"));
        QCOMPARE(prompt().shown[0].icon, PromptIcon::Exclamation);
        QCOMPARE(count, 0);
        QCOMPARE(port, 4);
    }

    void driverDialogLayout() {
        CDriverInstallDlg dlg;
        QCOMPARE(dlg.windowTitle(), QStringLiteral("驱动安装"));
        auto* group = dlg.findChild<QGroupBox*>();
        QVERIFY(group);
        QCOMPARE(group->title(), QStringLiteral("选项"));
        QCOMPARE(dlg.vistaButton()->text(), QStringLiteral("WinXP/2003/Vista/7"));
        QCOMPARE(dlg.win2kButton()->text(), QStringLiteral("Win2K/XP"));
        QCOMPARE(dlg.option(), 1);

        // Dialog resource 133: 178 × 75 dialog units in the system font (宋体) at 10 points;
        // the radio buttons are the dialog's own controls, framed by the group box.
        QCOMPARE(dlg.font().pixelSize(), 13);
        QCOMPARE(dlg.font().families(), tessera::dialogFont(10).families());
        const tessera::DialogBaseUnits units = tessera::dialogBaseUnits(dlg.font());
        auto du = [&](int x, int y, int w, int h) {
            return tessera::dialogRect(units, x, y, w, h);
        };
        QCOMPARE(dlg.size(), du(0, 0, 178, 75).size());
        QCOMPARE(group->geometry(), du(5, 5, 95, 58));
        QCOMPARE(dlg.vistaButton()->parentWidget(), &dlg);
        QCOMPARE(dlg.vistaButton()->geometry(), du(10, 21, 80, 10));
        QCOMPARE(dlg.win2kButton()->geometry(), du(10, 37, 49, 10));
        QPushButton* ok = nullptr;
        QPushButton* cancel = nullptr;
        for (QPushButton* b : dlg.findChildren<QPushButton*>())
            (b->text() == QStringLiteral("确定") ? ok : cancel) = b;
        QVERIFY(ok && cancel);
        QCOMPARE(ok->geometry(), du(114, 17, 50, 14));
        QCOMPARE(cancel->geometry(), du(114, 40, 50, 14));
        QVERIFY(ok->isDefault());
    }

    // Dialog resource 131: 111 × 68 dialog units in 宋体 10; the line with the device path
    // lies in the margin below the buttons and is hidden for a port without a path, so the
    // controls never move.
    void portDialogLayoutAndItsDevicePathLine() {
        usePortMap("[serialcomm]\n\\Device\\Serial0=COM1\n"
                   "\\Device\\Slabser0=COM3\n"
                   "[ports]\nCOM3=/dev/serial/by-id/usb-Silicon_Labs_CP2102_USB_to_UART_Bridge_"
                   "Controller_0001-if00-port0\n");
        CPortSetDlg dlg;
        dlg.setPort(3);
        dlg.show();
        QCOMPARE(dlg.font().pixelSize(), 13);
        const tessera::DialogBaseUnits units = tessera::dialogBaseUnits(dlg.font());
        auto du = [&](int x, int y, int w, int h) {
            return tessera::dialogRect(units, x, y, w, h);
        };
        QCOMPARE(dlg.size(), du(0, 0, 111, 68).size());
        QLabel* label = nullptr;
        for (QLabel* l : dlg.findChildren<QLabel*>())
            if (l->text() == QStringLiteral("串口号"))
                label = l;
        QVERIFY(label);
        QCOMPARE(label->geometry(), du(14, 17, 23, 8));
        // The closed list box: the resource's left, top and width; its height is the open list.
        const QRect combo = du(47, 15, 48, 55);
        QCOMPARE(dlg.portList()->pos(), combo.topLeft());
        QCOMPARE(dlg.portList()->width(), combo.width());
        QVERIFY(dlg.portList()->height() < combo.height());
        QCOMPARE(dlg.okButton()->geometry(), du(10, 36, 34, 14));
        QCOMPARE(dlg.cancelButton()->geometry(), du(58, 36, 37, 14));

        // COM3 has a long path: shown shortened on the line, whole in its tooltip.
        QCOMPARE(dlg.portList()->currentText(), QStringLiteral("COM3"));
        QLabel* line = dlg.deviceLine();
        QVERIFY(line->isVisible());
        QVERIFY(line->geometry().top() >= dlg.okButton()->geometry().bottom());
        QVERIFY(dlg.rect().contains(line->geometry()));
        QVERIFY(line->text().startsWith(QStringLiteral("/dev/serial/")));
        QVERIFY(line->text().contains(QChar(0x2026)));
        QVERIFY(line->fontMetrics().horizontalAdvance(line->text()) <= line->width());
        QVERIFY(line->toolTip().endsWith(QStringLiteral("-port0")));

        // COM1 has none: no line, and nothing else moved or grew.
        const QList<QRect> before{dlg.portList()->geometry(), dlg.okButton()->geometry(),
                                  dlg.cancelButton()->geometry()};
        dlg.portList()->setCurrentIndex(dlg.portList()->findText(QStringLiteral("COM1")));
        QVERIFY(line->isHidden());
        QCOMPARE((QList<QRect>{dlg.portList()->geometry(), dlg.okButton()->geometry(),
                               dlg.cancelButton()->geometry()}),
                 before);
        QCOMPARE(dlg.size(), du(0, 0, 111, 68).size());
        dlg.reject();
    }

    void driverOkAtOnceStartsTheVistaInstaller() {
        QStringList started;
        bool vistaChecked = false, vistaAbove = false;
        whenModal([&](QWidget* w) {
            auto* dlg = qobject_cast<CDriverInstallDlg*>(w);
            QVERIFY(dlg);
            vistaChecked = dlg->vistaButton()->isChecked() && !dlg->win2kButton()->isChecked();
            vistaAbove =
                dlg->vistaButton()->geometry().top() < dlg->win2kButton()->geometry().top();
            QTest::keyClick(dlg, Qt::Key_Return);
        });
        OnUsbDriverInstall(nullptr, [&](const QString& path) { started << path; });
        QVERIFY(vistaChecked);
        QVERIFY(vistaAbove);
        QCOMPARE(started, QStringList{QCoreApplication::applicationDirPath() +
                                      QStringLiteral("/USB/CP210x_VCP_Win_XP_S2K3_Vista_7.exe")});
    }

    void driverWin2kOptionStartsTheOtherInstaller() {
        QStringList started;
        int option = -1;
        whenModal([&](QWidget* w) {
            auto* dlg = qobject_cast<CDriverInstallDlg*>(w);
            QVERIFY(dlg);
            QTest::mouseClick(dlg->win2kButton(), Qt::LeftButton);
            dlg->accept();
            option = dlg->option();
        });
        OnUsbDriverInstall(nullptr, [&](const QString& path) { started << path; });
        QCOMPARE(option, 0);
        QCOMPARE(started,
                 QStringList{GetModuleDir() + QStringLiteral("/USB/CP210x_VCP_Win2K_XP.exe")});
    }

    void driverCancelStartsNothing() {
        QStringList started;
        whenModal([&](QWidget* w) { QTest::keyClick(w, Qt::Key_Escape); });
        OnUsbDriverInstall(nullptr, [&](const QString& path) { started << path; });
        QVERIFY(started.isEmpty());
    }

    void missingInstallerStartsNothing() {
        QVERIFY(!startInstaller(m_dir.filePath(QStringLiteral("USB/none.exe"))));
        QVERIFY(!startInstaller(QString()));
        QCOMPARE(installerPath(2), QString());
        QCOMPARE(GetModuleDir(), QCoreApplication::applicationDirPath());
    }
};

QTEST_MAIN(PortDialogsTest)
#include "port_dialogs_test.moc"
