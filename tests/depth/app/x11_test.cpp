// On a real X server (a virtual display): the status bar's lock indicators follow the server's
// keyboard state, and every caption reaches the window system exactly as the program sets it.

#include "common/qt/lock_keys.h"
#include "common/ui/lock_indicators.h"
#include "common/ui/qt_prompt.h"
#include "depth/app/ui/main_frame.h"
#include "depth/app/ui/marrowby_app.h"
#include "depth/document/ui/record_info_dlg.h"
#include "depth/download/ui/transfer_dlg.h"
#include "depth/ports/ui/driver_install_dlg.h"
#include "depth/ports/ui/port_set_dlg.h"
#include "depth/serial/qt/serial_port.h"
#include "tests/support/modal_dialog.h"

#include <QGuiApplication>
#include <QLabel>
#include <QMessageBox>
#include <QtTest>

// Xlib after every Qt header: its macros (Bool, None, Status, …) clash with Qt's names.
#include <X11/XKBlib.h>
#include <X11/Xatom.h>
#include <X11/keysym.h>

using namespace marrowby;

namespace {

Display* display() {
    const auto* x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
    return x11 ? x11->display() : nullptr;
}

// Locks or unlocks the keyboard's locks on the server, as pressing the keys would.
void setLocks(bool caps, bool num, bool scroll) {
    Display* d = display();
    const unsigned numMask = XkbKeysymToModifiers(d, XK_Num_Lock);
    XkbLockModifiers(d, XkbUseCoreKbd, LockMask | numMask,
                     (caps ? LockMask : 0u) | (num ? numMask : 0u));
    XkbSetNamedIndicator(d, XInternAtom(d, "Scroll Lock", False), True, scroll ? True : False,
                         False, nullptr);
    XSync(d, False);
}

// The window's title as the window manager reads it (_NET_WM_NAME, UTF-8).
QString titleOnServer(const QWidget& window) {
    Display* d = display();
    XSync(d, False);
    Atom type = 0;
    int format = 0;
    unsigned long count = 0, after = 0;
    unsigned char* data = nullptr;
    if (XGetWindowProperty(d, static_cast<Window>(window.winId()),
                           XInternAtom(d, "_NET_WM_NAME", False), 0, 4096, False,
                           XInternAtom(d, "UTF8_STRING", False), &type, &format, &count, &after,
                           &data) != Success ||
        !data)
        return QStringLiteral("<none>");
    const QString title =
        QString::fromUtf8(reinterpret_cast<const char*>(data), static_cast<qsizetype>(count));
    XFree(data);
    return title;
}

} // namespace

class X11Test : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() {
        QVERIFY2(display(), "this test needs the xcb platform on an X server");
        QString problem;
        CMarrowbyApp::setUpProcess(&problem);
    }

    void cleanupTestCase() { setLocks(false, false, false); }

    void readsTheServersLockState() {
        setLocks(true, false, true);
        std::optional<tessera::LockKeys> keys = tessera::readLockKeys();
        QVERIFY(keys);
        QVERIFY(keys->caps && !keys->num && keys->scroll);
        setLocks(false, true, false);
        keys = tessera::readLockKeys();
        QVERIFY(keys && !keys->caps && keys->num && !keys->scroll);
    }

    void statusBarIndicatorsFollowTheLocks() {
        setLocks(false, false, false);
        CMarrowbyApp app;
        QVERIFY(app.InitInstance({}));
        const tessera::LockIndicators* locks = app.mainFrame()->lockIndicators();
        QVERIFY(!locks->caps()->isEnabled());
        QVERIFY(!locks->num()->isEnabled());
        QVERIFY(!locks->scroll()->isEnabled());

        // Changed elsewhere (another program has the keyboard): shown within moments.
        setLocks(true, true, false);
        QTRY_VERIFY(locks->caps()->isEnabled());
        QTRY_VERIFY(locks->num()->isEnabled());
        QVERIFY(!locks->scroll()->isEnabled());
        setLocks(false, false, true);
        QTRY_VERIFY(!locks->caps()->isEnabled());
        QTRY_VERIFY(locks->scroll()->isEnabled());
        QVERIFY(!locks->num()->isEnabled());
    }

    void captionsReachTheWindowSystemExactly() {
        CMarrowbyApp app;
        QVERIFY(app.InitInstance({}));
        QTRY_COMPARE(titleOnServer(*app.mainFrame()), QStringLiteral("Tessaly"));

        CRecordInfoDlg record;
        CPortSetDlg port;
        CDriverInstallDlg driver;
        std::vector<DepthRecord> records;
        SerialPort engine;
        CTransferDlg transfer(records, 1, {}, engine);
        const QList<QPair<QDialog*, QString>> dialogs{
            {&record, QStringLiteral("记录信息")},
            {&port, QStringLiteral("端口设置")},
            {&driver, QStringLiteral("驱动安装")},
            {&transfer, QStringLiteral("正在运行  请稍候...")}};
        for (const auto& [dialog, caption] : dialogs) {
            dialog->show();
            QVERIFY(QTest::qWaitForWindowExposed(dialog));
            QCOMPARE(titleOnServer(*dialog), caption);
            dialog->hide();
        }

        // The serial engine's error box has no owner and its own caption.
        QString boxTitle;
        testing_modal::whenModal([&](QWidget* box) {
            QVERIFY(QTest::qWaitForWindowExposed(box));
            boxTitle = titleOnServer(*box);
            qobject_cast<QMessageBox*>(box)->accept();
        });
        tessera::QtPrompt().message(nullptr, QStringLiteral("Application Error"),
                                    QStringLiteral("WARNING:  ReadFile Failed"),
                                    tessera::PromptIcon::Stop);
        QCOMPARE(boxTitle, QStringLiteral("Application Error"));
    }
};

QTEST_MAIN(X11Test)
#include "x11_test.moc"
