// The main window: start-up, titles, menus, which commands are enabled, opening documents for
// files, the close question.

#include "common/atomic_file.h"
#include "common/ui/lock_indicators.h"
#include "common/ui/qt_prompt.h"
#include "depth/app/ui/child_frame.h"
#include "depth/app/ui/main_frame.h"
#include "depth/app/ui/marrowby_app.h"
#include "depth/app/ui/marrowby_view.h"
#include "depth/download/ui/transfer_dlg.h"
#include "tests/depth/serial/pty_fixture.h"
#include "tests/support/modal_dialog.h"
#include "tests/support/pipe_rescue.h"
#include "tests/support/scripted_prompt.h"

#include <QDialog>
#include <QLabel>
#include <QMdiArea>
#include <QMenu>
#include <QMessageBox>
#include <QSettings>
#include <QStatusTipEvent>
#include <QTemporaryDir>
#include <QToolBar>
#include <QtTest>

#include <sys/stat.h>

using namespace marrowby;
using tessera::ScriptedPrompt;

namespace {

// The menu's entries as text, separators as "-", submenus as "title>[...]".
QStringList describe(QMenu* menu) {
    QStringList out;
    for (QAction* a : menu->actions()) {
        if (a->property("mru").toBool() || a->property("windowList").toBool())
            continue;
        if (a->isSeparator())
            out << QStringLiteral("-");
        else if (a->menu())
            out << a->text() + QStringLiteral(">[") + describe(a->menu()).join(QLatin1Char('|')) +
                       QStringLiteral("]");
        else if (a->isVisible())
            out << a->text();
    }
    return out;
}

QStringList titles(const QList<QMenu*>& menus) {
    QStringList out;
    for (QMenu* m : menus)
        out << m->title();
    return out;
}

QStringList windowTitles(CMainFrame* frame) {
    QStringList out;
    for (CChildFrame* f : frame->childFrames())
        out << f->windowTitle();
    return out;
}

std::string dmBytes(int rows) {
    DepthViewData data;
    std::vector<DepthRecord> records;
    for (int i = 0; i < rows; ++i)
        records.push_back({1, i, 2, 100 + i, ""});
    data.refreshFrom(records);
    return data.toDm();
}

} // namespace

class ShellTest : public QObject {
    Q_OBJECT
private slots:
    void init() {
        // Each case starts with an empty recent-file list.
        QSettings(QStringLiteral("Local AppWizard-Generated Applications"),
                  QStringLiteral("Marrowby"))
            .clear();
    }

    void startsWithOneNumberedDocument() {
        CMarrowbyApp app;
        QVERIFY(app.InitInstance({}));
        CMainFrame* frame = app.mainFrame();
        QCOMPARE(frame->windowTitle(), QStringLiteral("Tessaly"));
        QCOMPARE(windowTitles(frame), QStringList{QStringLiteral("测深文档1")});
        frame->routeCommand(ID_FILE_NEW);
        frame->routeCommand(ID_FILE_NEW);
        QCOMPARE(windowTitles(frame),
                 (QStringList{QStringLiteral("测深文档1"), QStringLiteral("测深文档2"),
                              QStringLiteral("测深文档3")}));
        QCOMPARE(frame->activeChildFrame()->windowTitle(), QStringLiteral("测深文档3"));
        // The caption stays the program's title whichever window is active.
        QCOMPARE(frame->windowTitle(), QStringLiteral("Tessaly"));
    }

    void documentMenusHaveTheirExactTextsAndOrder() {
        CMarrowbyApp app;
        QVERIFY(app.InitInstance({}));
        auto menus = app.mainFrame()->currentMenus();
        QCOMPARE(titles(menus),
                 (QStringList{"文件(&F)", "传输(&T)", "查看(&V)", "窗口(&W)", "帮助(&H)"}));
        QCOMPARE(
            describe(menus[0]),
            (QStringList{"新建(&N)\tCtrl+N", "打开(&O)...\tCtrl+O", "关闭(&C)", "保存(&S)\tCtrl+S",
                         "另存为(&A)...", "导出(E)...>[文本文件(txt)|PDF文件(pdf)]", "-",
                         "打印(&P)...\tCtrl+P", "打印预览(&V)", "-", "退出(&X)"}));
        QCOMPARE(describe(menus[1]), (QStringList{"串口设置(&S)", "数据传输(&D)"}));
        QCOMPARE(describe(menus[2]), (QStringList{"工具栏(&T)", "状态栏(&S)"}));
        QCOMPARE(describe(menus[3]),
                 (QStringList{"新建窗口(&N)", "层叠(&C)", "平铺(&T)", "排列图标(&A)"}));
        QCOMPARE(describe(menus[4]), (QStringList{"关于(&A)...", "USB驱动安装"}));
        QCOMPARE(app.mainFrame()->action(ID_DATA_TRANSFER)->statusTip(),
                 QStringLiteral("从串口传输数据"));
        QCOMPARE(app.mainFrame()->action(ID_DATA_TRANSFER)->toolTip(), QStringLiteral("数据传输"));
        QCOMPARE(app.mainFrame()->action(ID_PORT_SETTINGS)->statusTip(),
                 QStringLiteral("串口相关设置"));
        QCOMPARE(app.mainFrame()->action(ID_PORT_SETTINGS)->toolTip(), QStringLiteral("串口设置"));
        QCOMPARE(app.mainFrame()->action(ID_FILE_SAVE)->shortcut(),
                 QKeySequence(Qt::CTRL | Qt::Key_S));
    }

    void withoutDocumentTheShortMenuAndDisabledCommands() {
        CMarrowbyApp app;
        QVERIFY(app.InitInstance({}));
        CMainFrame* frame = app.mainFrame();
        QVERIFY(frame->isCommandEnabled(ID_FILE_SAVE));
        QVERIFY(frame->isCommandEnabled(ID_EXPORT_TEXT));
        QVERIFY(frame->isCommandEnabled(ID_WINDOW_NEW));
        QVERIFY(!frame->isCommandEnabled(ID_EDIT_COPY)); // accelerators without a handler

        frame->routeCommand(ID_FILE_CLOSE);
        QVERIFY(frame->childFrames().isEmpty());
        auto menus = frame->currentMenus();
        QCOMPARE(titles(menus), (QStringList{"文件(&F)", "查看(&V)", "帮助(&H)"}));
        QCOMPARE(describe(menus[0]),
                 (QStringList{"新建(&N)\tCtrl+N", "打开(&O)...\tCtrl+O", "-", "打印设置(&R)...",
                              "-", "最近文件", "-", "退出(&X)"}));
        for (int id : std::initializer_list<int>{
                 ID_FILE_SAVE, ID_FILE_SAVE_AS, ID_EXPORT_TEXT, ID_FILE_CLOSE, ID_DATA_TRANSFER,
                 ID_PORT_SETTINGS, ID_USB_DRIVER_INSTALL, ID_WINDOW_NEW, ID_FILE_PRINT}) {
            QVERIFY2(!frame->isCommandEnabled(id), qPrintable(QString::number(id)));
            QVERIFY(!frame->action(id)->isEnabled());
        }
        for (int id : {ID_FILE_NEW, ID_FILE_OPEN, ID_APP_ABOUT, ID_APP_EXIT, ID_FILE_PRINT_SETUP})
            QVERIFY(frame->action(id)->isEnabled());
        // The toolbar shows the same actions, so its transfer buttons are disabled too.
        QVERIFY(frame->toolBar()->actions().contains(frame->action(ID_DATA_TRANSFER)));
    }

    void openingAFileWithoutWindowShowsItsRowsAndRemembersIt() {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("桥墩.DM"));
        QVERIFY(tessera::writeFileAtomically(path.toStdString(), dmBytes(3)));
        ScriptedPrompt prompt;
        {
            CMarrowbyApp app;
            QVERIFY(app.InitInstance({path}));
            QCOMPARE(windowTitles(app.mainFrame()), QStringList{QStringLiteral("桥墩.DM")});
            QCOMPARE(app.mainFrame()->activeView()->rows().size(), size_t{3});
            QVERIFY(!app.mainFrame()->activeView()->isModified());
            QCOMPARE(app.recentFiles().entries().front(), path.toStdString());
            // File New after it still counts from 1.
            app.mainFrame()->routeCommand(ID_FILE_NEW);
            QCOMPARE(app.mainFrame()->activeChildFrame()->windowTitle(),
                     QStringLiteral("测深文档1"));
        }
        // The list is kept in the settings and offered by the next run.
        CMarrowbyApp next;
        QVERIFY(next.InitInstance({}));
        QCOMPARE(next.recentFiles().entries().front(), path.toStdString());
        next.mainFrame()->routeCommand(ID_FILE_CLOSE);
        QVERIFY(next.mainFrame()->isCommandEnabled(ID_FILE_MRU_FILE1));
        next.mainFrame()->routeCommand(ID_FILE_MRU_FILE1);
        QCOMPARE(windowTitles(next.mainFrame()), QStringList{QStringLiteral("桥墩.DM")});
        QVERIFY(prompt.shown.isEmpty());
    }

    void openWithoutWindowUsesTheAllFilesDialog() {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("x.DM"));
        QVERIFY(tessera::writeFileAtomically(path.toStdString(), dmBytes(2)));
        ScriptedPrompt prompt;
        CMarrowbyApp app;
        QVERIFY(app.InitInstance({}));
        app.mainFrame()->routeCommand(ID_FILE_CLOSE);
        prompt.fileNames << path;
        app.mainFrame()->routeCommand(ID_FILE_OPEN);
        QCOMPARE(prompt.shown.first().text, QStringLiteral("所有文件 (*.*)"));
        QCOMPARE(windowTitles(app.mainFrame()), QStringList{QStringLiteral("x.DM")});
        QCOMPARE(app.mainFrame()->activeView()->rows().size(), size_t{2});
    }

    void aFileThatCannotBeOpenedLeavesNoWindow() {
        ScriptedPrompt prompt;
        CMarrowbyApp app;
        QVERIFY(!app.InitInstance({QStringLiteral("/nonexistent/none.DM")}));
        QCOMPARE(prompt.count(ScriptedPrompt::Kind::Message), 1);
        QVERIFY(prompt.shown.first().text.contains(QStringLiteral("/nonexistent/none.DM")));
        QVERIFY(app.mainFrame()->childFrames().isEmpty());
    }

    // A named pipe given on the command line is refused at once instead of freezing start-up.
    void aNamedPipeIsRefusedAtOnce() {
        QTemporaryDir dir;
        const QString fifo = dir.filePath(QStringLiteral("pipe.DM"));
        QCOMPARE(::mkfifo(fifo.toLocal8Bit().constData(), 0600), 0);
        ScriptedPrompt prompt;
        CMarrowbyApp app;
        tessera::test::PipeRescue rescue(fifo, std::chrono::seconds(5));
        QVERIFY(!app.InitInstance({fifo}));
        rescue.stop();
        QVERIFY(!rescue.rescued());
        QCOMPARE(prompt.messageTexts(),
                 QStringList{QStringLiteral("无法打开文件 %1。\n它不是普通文件。").arg(fifo)});
        QVERIFY(app.mainFrame()->childFrames().isEmpty());
    }

    // A download replaces the rows of every window on the document: unsaved ones are asked
    // about first, window by window, and Cancel stops the download before anything changes.
    void downloadAsksAboutUnsavedRowsFirst() {
        QTemporaryDir dir;
        const QString map = dir.filePath(QStringLiteral("ports.map"));
        QVERIFY(tessera::writeFileAtomically(map.toStdString(), "[serialcomm]\n"));
        qputenv("MARROWBY_PORT_MAP", map.toLocal8Bit());
        ScriptedPrompt prompt;
        CMarrowbyApp app;
        QVERIFY(app.InitInstance({}));
        CMainFrame* frame = app.mainFrame();
        CMarrowbyDoc& doc = frame->activeView()->document();
        doc.appendRecord({1, 2, 3, 4, ""});
        doc.updateAllViews(0);
        frame->routeCommand(ID_WINDOW_NEW); // a second window with the same unsaved rows

        // Yes saves the first window's rows; Cancel on the second stops the download.
        prompt.answers << tessera::PromptAnswer::Yes << tessera::PromptAnswer::Cancel;
        prompt.fileNames << dir.filePath(QStringLiteral("first"));
        frame->routeCommand(ID_DATA_TRANSFER);
        QCOMPARE(prompt.count(ScriptedPrompt::Kind::Question), 2);
        QCOMPARE(prompt.messageTexts(),
                 (QStringList{QStringLiteral("是否保存对 测深文档1:1 的更改？"),
                              QStringLiteral("是否保存对 测深文档1:2 的更改？")}));
        QVERIFY(QFileInfo::exists(dir.filePath(QStringLiteral("first.DM"))));
        QCOMPARE(doc.records.size(), size_t{1}); // no download started

        // Now only the second window is unsaved; No lets the download go on (here it cannot
        // open a port, which it says).
        prompt.shown.clear();
        prompt.answers << tessera::PromptAnswer::No;
        frame->routeCommand(ID_DATA_TRANSFER);
        QCOMPARE(prompt.count(ScriptedPrompt::Kind::Question), 1);
        QVERIFY(prompt.messageTexts().last().startsWith(QStringLiteral("打开端口失败！")));
        QVERIFY(doc.records.empty());
        qunsetenv("MARROWBY_PORT_MAP");
    }

    // The cable pulled after two complete groups: one error box, then the dialog is closed.
    // The kept groups are named and, after the question about the window's edited rows, shown.
    void aPulledLinkKeepsTheCompleteGroupsAndShowsThem() {
        test::Pty pty;
        QVERIFY(pty.ok());
        QTemporaryDir dir;
        const QString map = dir.filePath(QStringLiteral("ports.map"));
        QVERIFY(tessera::writeFileAtomically(
            map.toStdString(),
            "[serialcomm]\n\\Device\\Slabser0=COM5\n[ports]\nCOM5=" + pty.slave));
        qputenv("MARROWBY_PORT_MAP", map.toLocal8Bit());
        ScriptedPrompt prompt;
        CMarrowbyApp app;
        QVERIFY(app.InitInstance({}));
        CMarrowbyView* view = app.mainFrame()->activeView();
        view->document().appendRecord({9, 9, 9, 9, ""});
        view->document().updateAllViews(0); // unsaved rows
        prompt.answers << tessera::PromptAnswer::No << tessera::PromptAnswer::No;
        testing_modal::whenModal([&](QWidget* w) {
            auto* dlg = qobject_cast<CTransferDlg*>(w);
            QVERIFY(dlg);
            QVERIFY(pty.send("DE001001111111111BE002002222222222333333333BE003001444"));
            QTRY_COMPARE(dlg->groupsDone(), 2);
            pty.closeMaster();
            QTRY_COMPARE(prompt.count(ScriptedPrompt::Kind::Message), 1); // the error box
            QVERIFY(dlg->isVisible());
            QTest::keyClick(dlg, Qt::Key_Escape);
        });
        app.mainFrame()->routeCommand(ID_DATA_TRANSFER);
        qunsetenv("MARROWBY_PORT_MAP");

        const QStringList texts = prompt.messageTexts();
        QCOMPARE(texts.size(), 4);
        QCOMPARE(texts[0], QStringLiteral("是否保存对 测深文档1 的更改？"));
        QVERIFY2(texts[1].startsWith(QStringLiteral("WARNING:  ")), qPrintable(texts[1]));
        QCOMPARE(texts[2],
                 QStringLiteral("数据传输未完成，保留了完整接收的 2 组数据（共 3 行）。"));
        QCOMPARE(texts[3], QStringLiteral("是否保存对 测深文档1 的更改？"));
        QCOMPARE(view->rows().size(), size_t{3});
        QCOMPARE(view->rows()[2], DepthRow("2", "333", "333", "333", ""));
    }

    // A minimised window picked from the Window menu comes back and becomes the active one.
    void aMinimisedWindowPickedFromTheWindowMenuIsRestored() {
        CMarrowbyApp app;
        QVERIFY(app.InitInstance({}));
        CMainFrame* frame = app.mainFrame();
        frame->show();
        CChildFrame* first = frame->activeChildFrame();
        app.OnFileNew();
        first->showMinimized();
        QVERIFY(first->isMinimized());
        QMenu* windowMenu = frame->currentMenus()[3];
        QCOMPARE(windowMenu->title(), QStringLiteral("窗口(&W)"));
        emit windowMenu->aboutToShow();
        QAction* entry = nullptr;
        for (QAction* a : windowMenu->actions())
            if (a->property("windowList").toBool() && a->text().endsWith(first->windowTitle()))
                entry = a;
        QVERIFY(entry);
        entry->trigger();
        QVERIFY(!first->isMinimized());
        QCOMPARE(frame->activeChildFrame(), first);
    }

    void lockIndicatorsStayGreyWhereThePlatformCannotTell() {
        CMarrowbyApp app;
        QVERIFY(app.InitInstance({}));
        const tessera::LockIndicators* locks = app.mainFrame()->lockIndicators();
        QCOMPARE(locks->caps()->text(), QStringLiteral("大写"));
        QCOMPARE(locks->num()->text(), QStringLiteral("数字"));
        QCOMPARE(locks->scroll()->text(), QStringLiteral("滚动"));
        for (const QLabel* l : {locks->caps(), locks->num(), locks->scroll()})
            QVERIFY(!l->isEnabled());
    }

    void newWindowSharesTheDocumentWithItsOwnRows() {
        CMarrowbyApp app;
        QVERIFY(app.InitInstance({}));
        CMainFrame* frame = app.mainFrame();
        frame->activeView()->document().appendRecord({1, 2, 3, 4, ""});
        frame->activeView()->document().updateAllViews(0);
        frame->routeCommand(ID_WINDOW_NEW);
        QCOMPARE(windowTitles(frame),
                 (QStringList{QStringLiteral("测深文档1:1"), QStringLiteral("测深文档1:2")}));
        QCOMPARE(frame->activeView()->rows().size(), size_t{1});
        QCOMPARE(frame->childFrames()[0]->view()->sharedDocument(),
                 frame->childFrames()[1]->view()->sharedDocument());
    }

    void closingAsksOnlyAboutUnsavedRows() {
        ScriptedPrompt prompt;
        CMarrowbyApp app;
        QVERIFY(app.InitInstance({}));
        CMainFrame* frame = app.mainFrame();
        app.OnFileNew(); // 测深文档2: nothing unsaved
        QVERIFY(frame->activeChildFrame()->close());
        QVERIFY(prompt.shown.isEmpty());

        CMarrowbyView* view = frame->activeView();
        view->document().appendRecord({1, 2, 3, 4, ""});
        view->document().updateAllViews(0); // a download: unsaved rows
        QVERIFY(view->isModified());

        prompt.answers << tessera::PromptAnswer::Cancel;
        QVERIFY(!frame->activeChildFrame()->close());
        QCOMPARE(prompt.shown.last().text, QStringLiteral("是否保存对 测深文档1 的更改？"));
        QCOMPARE(frame->childFrames().size(), 1);

        // Exit asks too, and Cancel keeps the program running.
        prompt.answers << tessera::PromptAnswer::Cancel;
        QVERIFY(!frame->close());
        QCOMPARE(frame->childFrames().size(), 1);

        // Yes saves first; a cancelled save dialog keeps the window.
        prompt.answers << tessera::PromptAnswer::Yes;
        QVERIFY(!frame->activeChildFrame()->close());
        QCOMPARE(prompt.shown.last().kind, ScriptedPrompt::Kind::SaveFile);

        QTemporaryDir dir;
        prompt.answers << tessera::PromptAnswer::Yes;
        prompt.fileNames << dir.filePath(QStringLiteral("saved"));
        QVERIFY(frame->activeChildFrame()->close());
        std::string bytes;
        QVERIFY(
            tessera::readWholeFile(dir.filePath(QStringLiteral("saved.DM")).toStdString(), bytes));
        QCOMPARE(bytes.size(), size_t{18 + 17});
    }

    void statusBarShowsPromptsAndReadyWhenIdle() {
        CMarrowbyApp app;
        QVERIFY(app.InitInstance({}));
        CMainFrame* frame = app.mainFrame();
        QCOMPARE(frame->promptPane()->text(), QStringLiteral("就绪"));
        QStatusTipEvent hover(frame->action(ID_DATA_TRANSFER)->statusTip());
        QCoreApplication::sendEvent(frame, &hover);
        QCOMPARE(frame->promptPane()->text(), QStringLiteral("从串口传输数据"));
        QStatusTipEvent leave{QString()};
        QCoreApplication::sendEvent(frame, &leave);
        QCOMPARE(frame->promptPane()->text(), QStringLiteral("就绪"));
    }

    // A file named on the command line that cannot be read is reported before the window is
    // shown; the message stands in the middle of the screen, not over a corner.
    void aMessageAtStartUpStandsInTheMiddleOfTheScreen() {
        QTemporaryDir dir;
        tessera::QtPrompt real;
        tessera::Prompt* previous = tessera::setPrompt(&real);
        QString text;
        QPoint centre;
        testing_modal::whenModal([&](QWidget* box) {
            text = qobject_cast<QMessageBox*>(box)->text();
            centre = box->frameGeometry().center();
            qobject_cast<QDialog*>(box)->accept();
        });
        CMarrowbyApp app;
        QVERIFY(!app.InitInstance({dir.filePath(QStringLiteral("missing.DM"))}));
        tessera::setPrompt(previous);
        QVERIFY2(text.startsWith(QStringLiteral("无法打开文件")), qPrintable(text));
        const QPoint middle = QGuiApplication::primaryScreen()->availableGeometry().center();
        QVERIFY2((centre - middle).manhattanLength() <= 10,
                 qPrintable(QStringLiteral("%1,%2").arg(centre.x()).arg(centre.y())));
    }

    void aboutBoxNamesTheProgramAndVersion() {
        CMarrowbyApp app;
        QVERIFY(app.InitInstance({}));
        QStringList texts;
        QString caption;
        QTimer::singleShot(0, [&] {
            QWidget* box = QApplication::activeModalWidget();
            QVERIFY(box);
            caption = box->windowTitle();
            for (QLabel* label : box->findChildren<QLabel*>())
                texts << label->text();
            qobject_cast<QDialog*>(box)->accept();
        });
        app.mainFrame()->routeCommand(ID_APP_ABOUT);
        QCOMPARE(caption, QStringLiteral("关于Tessaly"));
        QVERIFY(texts.contains(QStringLiteral("Tessaly 1.2 版")));
        // The build date reads in Chinese, not as the compiler writes it ("Dec  7 2026").
        const QRegularExpression built(QStringLiteral("构建于 \\d{4}年\\d{1,2}月\\d{1,2}日）$"));
        QVERIFY2(!texts.filter(built).isEmpty(), qPrintable(texts.join('|')));
    }

    void exitWithNothingUnsavedAsksNothing() {
        ScriptedPrompt prompt;
        CMarrowbyApp app;
        QVERIFY(app.InitInstance({}));
        app.OnFileNew();
        app.OnFileNew();
        QVERIFY(app.mainFrame()->close());
        QVERIFY(prompt.shown.isEmpty());
    }

    void answeringNoClosesWithoutSaving() {
        ScriptedPrompt prompt;
        CMarrowbyApp app;
        QVERIFY(app.InitInstance({}));
        CMarrowbyView* view = app.mainFrame()->activeView();
        view->document().appendRecord({1, 2, 3, 4, ""});
        view->document().updateAllViews(0);
        prompt.answers << tessera::PromptAnswer::No;
        QVERIFY(app.mainFrame()->close());
        QCOMPARE(prompt.count(ScriptedPrompt::Kind::Question), 1);
        QCOMPARE(prompt.count(ScriptedPrompt::Kind::SaveFile), 0);
    }
};

QTEST_MAIN(ShellTest)
#include "shell_test.moc"
