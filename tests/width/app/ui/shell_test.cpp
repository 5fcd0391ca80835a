// Fallowmere's main window: caption, menus, toolbar and keys, which commands are enabled, the
// fixed splitter, pane switching, opening projects, printing what was collected, the PDF export,
// Save, New and the settings dialog.

#include "common/gbk.h"
#include "common/qt/recent_files_store.h"
#include "common/ui/dialog_units.h"
#include "common/ui/qt_prompt.h"
#include "tests/support/modal_dialog.h"
#include "tests/support/recording_device.h"
#include "tests/support/scripted_prompt.h"
#include "tests/width/project_fixture.h"
#include "width/app/ui/doc_commands.h"
#include "width/app/ui/main_frame.h"
#include "width/app/ui/mes_info_dlg.h"
#include "width/app/ui/quenby_app.h"
#include "width/list/ui/data_view.h"
#include "width/picture/ui/quenby_view.h"

#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QMimeData>
#include <QPrintDialog>
#include <QProcess>
#include <QPushButton>
#include <QSettings>
#include <QSplitterHandle>
#include <QStandardPaths>
#include <QToolBar>
#include <QtTest>

using namespace fallowmere;
using tessera::ScriptedPrompt;

namespace {

QStringList describe(QMenu* menu) {
    QStringList out;
    for (QAction* a : menu->actions()) {
        if (a->property("mru").toBool())
            continue;
        if (a->isSeparator())
            out << QStringLiteral("-");
        else if (a->isVisible())
            out << a->text();
    }
    return out;
}

QString utf8(const std::string& gbk) {
    return QString::fromStdString(tessera::gbkToUtf8(gbk));
}

QByteArray readAll(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// Runs `body`, closing any dialog it opens; gives the print dialog's last page (0: no print
// dialog). The watch ends with `body`, so it never meets a later test's dialog.
int printDialogMaxPage(const std::function<void()>& body) {
    int maxPage = 0;
    QTimer watch;
    watch.setInterval(10);
    QObject::connect(&watch, &QTimer::timeout, [&] {
        QWidget* w = QApplication::activeModalWidget();
        if (!w)
            return;
        if (auto* dialog = qobject_cast<QAbstractPrintDialog*>(w))
            maxPage = dialog->maxPage();
        if (auto* dialog = qobject_cast<QDialog*>(w))
            dialog->reject();
    });
    watch.start();
    body();
    return maxPage;
}

} // namespace

class ShellTest : public QObject {
    Q_OBJECT

    std::unique_ptr<QTemporaryDir> tmp;
    widthui::Project project;
    QString ini;
    std::unique_ptr<ScriptedPrompt> prompt;
    std::unique_ptr<CQuenbyApp> app;
    CMainFrame* frame = nullptr;

    void start(const QStringList& args = {}) {
        app = std::make_unique<CQuenbyApp>();
        QVERIFY(app->InitInstance(args));
        frame = app->mainFrame();
    }
    CDataView* list() const { return frame->dataView(); }
    QStringList names() const {
        QStringList out;
        for (int r = 0; r < list()->model()->rowCount(); ++r)
            out << list()->model()->index(r, 1).data().toString();
        return out;
    }
    void clickText(int row) {
        QTest::mouseClick(list()->viewport(), Qt::LeftButton, {},
                          list()->visualRect(list()->model()->index(row, 1)).center());
    }

private slots:
    void initTestCase() {
        // Removed photographs go to a trash inside the test's own folder.
        static QTemporaryDir home;
        qputenv("XDG_DATA_HOME", home.path().toUtf8());
    }

    void init() {
        QSettings(QString::fromLatin1(tessera::kSettingsOrganization),
                  QString::fromLatin1(kSettingsApplication))
            .clear();
        tmp = std::make_unique<QTemporaryDir>();
        project = widthui::makeProject(tmp->path(), QStringLiteral("桥梁.cm"),
                                       widthui::numberedRecords(9));
        ini = tmp->filePath(QStringLiteral("QB.ini"));
        qputenv("FALLOWMERE_INI", ini.toUtf8());
        CMainFrame::screenSize() = [] { return QSize(1920, 1080); };
        prompt = std::make_unique<ScriptedPrompt>();
    }

    void cleanup() {
        app.reset();
        frame = nullptr;
        prompt.reset();
        tmp.reset();
    }

    void captionMenusToolbarAndKeys() {
        start();
        QCOMPARE(frame->windowTitle(), QStringLiteral("Fallowmere V1.30"));
        QVERIFY(frame->windowState() & Qt::WindowMaximized);
        QStringList titles;
        for (QAction* item : frame->menuItems())
            titles << item->text();
        QCOMPARE(titles, (QStringList{"文件(&F)", "查看(&V)", "设置(&S)", "帮助(&H)"}));
        const auto items = frame->menuItems();
        QCOMPARE(describe(items[0]->menu()),
                 (QStringList{"打开(&O)...\tCtrl+O", "保存(&S)\tCtrl+S", "另存为(&A)...", "-",
                              "打印(&P)...\tCtrl+P", "打印预览(&V)", "导出PDF(&E)...", "-",
                              "最近文件", "-", "退出(&X)"}));
        QCOMPARE(describe(items[1]->menu()),
                 (QStringList{"工具栏(&T)", "状态栏(&S)", "-", "适合窗口(&W)"}));
        QVERIFY(!items[2]->menu()); // the settings item opens the dialog directly
        QCOMPARE(items[2], frame->action(ID_SET_INFO));
        QCOMPARE(describe(items[3]->menu()), QStringList{"关于(&A)..."});

        QList<int> toolbar;
        for (QAction* a : frame->toolBar()->actions())
            toolbar << (a->isSeparator() ? 0 : a->data().toInt());
        QCOMPARE(toolbar,
                 (QList<int>{57601, 57603, 32776, 57607, 0, 32777, 32778, 32782, 32775, 57664}));
        QCOMPARE(frame->action(ID_RECORD_ADD)->statusTip(), QStringLiteral("添加新文档记录"));
        QCOMPARE(frame->action(ID_RECORD_ADD)->toolTip(), QStringLiteral("添加"));
        QCOMPARE(frame->action(ID_VIEW_MULTI)->toolTip(), QStringLiteral("多条模式"));
        QCOMPARE(frame->action(ID_SET_INFO)->statusTip(), QStringLiteral("设置检测相关信息"));
        QCOMPARE(frame->promptPane()->text(), QStringLiteral("就绪"));

        // Ctrl+P is the toolbar's print; the menu item shows it as its key, as both collect the
        // checked rows alike.
        QCOMPARE(frame->action(tessera::ID_FILE_PRINT)->shortcut(),
                 QKeySequence(Qt::CTRL | Qt::Key_P));
        QVERIFY(frame->action(ID_REPORT_PRINT)->shortcut().isEmpty());
        QCOMPARE(frame->action(tessera::ID_NEXT_PANE)->shortcut(), QKeySequence(Qt::Key_F6));
        QCOMPARE(frame->action(tessera::ID_FILE_NEW)->shortcut(),
                 QKeySequence(Qt::CTRL | Qt::Key_N));
        QCOMPARE(frame->action(tessera::ID_EDIT_PASTE)->shortcuts().size(), 2);
    }

    void commandsWithoutHandlerAreDisabledAndModesChecked() {
        start();
        for (int id : {tessera::ID_EDIT_UNDO, tessera::ID_EDIT_CUT, tessera::ID_EDIT_COPY,
                       tessera::ID_EDIT_PASTE, tessera::ID_FILE_MRU_FILE1})
            QVERIFY2(!frame->action(id)->isEnabled(), qPrintable(QString::number(id)));
        for (int id : std::initializer_list<int>{tessera::ID_FILE_OPEN, tessera::ID_FILE_SAVE,
                                                 tessera::ID_FILE_SAVE_AS, tessera::ID_FILE_PRINT,
                                                 ID_REPORT_PRINT, ID_RECORD_DELETE, ID_SET_INFO,
                                                 tessera::ID_APP_ABOUT})
            QVERIFY2(frame->action(id)->isEnabled(), qPrintable(QString::number(id)));
        // Print without dialog belongs to the picture pane only.
        QVERIFY(!frame->isCommandEnabled(tessera::ID_FILE_PRINT_DIRECT));
        frame->setActivePane(frame->pictureView());
        QVERIFY(frame->isCommandEnabled(tessera::ID_FILE_PRINT_DIRECT));

        QVERIFY(frame->action(ID_VIEW_SINGLE)->isChecked());
        QVERIFY(!frame->action(ID_VIEW_MULTI)->isChecked());
        frame->action(ID_VIEW_MULTI)->trigger();
        QVERIFY(frame->action(ID_VIEW_MULTI)->isChecked());
        QVERIFY(!frame->action(ID_VIEW_SINGLE)->isChecked());
        QCOMPARE(app->document().showMode(), ShowMode::Multiple);
        frame->action(ID_VIEW_MULTI)->trigger(); // again: still checked
        QVERIFY(frame->action(ID_VIEW_MULTI)->isChecked());
    }

    void aboutBoxNamesTheProgramAndItsBuildDateInChinese() {
        start();
        QStringList texts;
        testing_modal::whenModal([&](QWidget* box) {
            for (const QLabel* label : box->findChildren<QLabel*>())
                texts << label->text();
            qobject_cast<QDialog*>(box)->reject();
        });
        frame->action(tessera::ID_APP_ABOUT)->trigger();
        QVERIFY(texts.contains(QStringLiteral("Fallowmere V1.30")));
        const QRegularExpression built(QStringLiteral("构建于 \\d{4}年\\d{1,2}月\\d{1,2}日）$"));
        QVERIFY2(!texts.filter(built).isEmpty(), qPrintable(texts.join('|')));
    }

    void splitterGivesTheListTwoFifthsOfTheScreenAndCannotBeDragged() {
        start();
        QCOMPARE(frame->splitter()->firstPaneWidth(), 768);
        app.reset();
        CMainFrame::screenSize() = [] { return QSize(1366, 768); };
        start();
        QCOMPARE(frame->splitter()->firstPaneWidth(), 546);

        // The bar stays where it was put, whatever the mouse does or the window's width.
        MySp splitter;
        splitter.addWidget(new QWidget);
        splitter.addWidget(new QWidget);
        splitter.setFirstPaneWidth(546);
        splitter.resize(1400, 500);
        splitter.show();
        QVERIFY(QTest::qWaitForWindowExposed(&splitter));
        QCOMPARE(splitter.sizes().first(), 546);
        QSplitterHandle* handle = splitter.handle(1);
        QTest::mousePress(handle, Qt::LeftButton, {}, QPoint(1, 10));
        QTest::mouseMove(handle, QPoint(150, 10));
        QTest::mouseRelease(handle, Qt::LeftButton, {}, QPoint(150, 10));
        QCOMPARE(splitter.sizes().first(), 546);
        splitter.resize(1000, 500);
        QCOMPARE(splitter.sizes().first(), 546);
        QCOMPARE(splitter.sizes().last(), 1000 - 546 - splitter.handleWidth());
    }

    void restoringTheMaximizedWindowIsIgnored() {
        start();
        frame->showNormal();
        QTRY_VERIFY(frame->windowState() & Qt::WindowMaximized);
    }

    void panesSwitchWithF6AndDeleteWorksFromEither() {
        start({project.file});
        QCOMPARE(frame->activePane(), list());
        QVERIFY(frame->routeCommand(tessera::ID_NEXT_PANE));
        QCOMPARE(frame->activePane(), frame->pictureView());
        QVERIFY(frame->routeCommand(tessera::ID_PREV_PANE));
        QCOMPARE(frame->activePane(), list());
        frame->routeCommand(tessera::ID_NEXT_PANE);

        list()->rows().setSelected(1, true);
        prompt->answers << tessera::PromptAnswer::Yes;
        QVERIFY(frame->routeCommand(ID_RECORD_DELETE));
        QVERIFY(!names().contains(QStringLiteral("N2")));
        QCOMPARE(widthui::readProject(project.file).size(), 8);
    }

    void projectsOpenFromTheDialogTheCommandLineAndRecentFiles() {
        start();
        QCOMPARE(list()->model()->columnCount(), 6);
        prompt->fileNames << project.file;
        QVERIFY(frame->routeCommand(tessera::ID_FILE_OPEN));
        QCOMPARE(prompt->shown[0].request.filter, QStringLiteral("裂缝文件(*.cm)"));
        QCOMPARE(names().size(), 9);
        QCOMPARE(frame->windowTitle(), QStringLiteral("Fallowmere V1.30"));
        QVERIFY(prompt->messageTexts().isEmpty());

        // A cancelled Open keeps the rows.
        QVERIFY(frame->routeCommand(tessera::ID_FILE_OPEN));
        QCOMPARE(names().size(), 9);
        app.reset();

        // The recent-file entry opens it again.
        start();
        QVERIFY(frame->isCommandEnabled(tessera::ID_FILE_MRU_FILE1));
        QVERIFY(frame->routeCommand(tessera::ID_FILE_MRU_FILE1));
        QCOMPARE(names().size(), 9);
        app.reset();

        // A project beside neither picture folder: one message, the records all the same.
        QTemporaryDir bare;
        const QString file = bare.filePath(QStringLiteral("x.cm"));
        QFile f(file);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(widthui::projectBytes(widthui::numberedRecords(2)));
        f.close();
        start({file});
        QCOMPARE(prompt->messageTexts(), QStringList{"无文件数据可加载！"});
        QCOMPARE(prompt->shown.last().caption, QStringLiteral("Wexcombe"));
        QCOMPARE(names().size(), 2);
        app.reset();

        // A project that cannot be read ends start-up.
        app = std::make_unique<CQuenbyApp>();
        QVERIFY(!app->InitInstance({tmp->filePath(QStringLiteral("missing.cm"))}));
    }

    // A message about the project named on the command line comes before the window is shown;
    // it stands in the middle of the screen, not over a corner.
    void aMessageAtStartUpStandsInTheMiddleOfTheScreen() {
        QTemporaryDir bare;
        const QString file = bare.filePath(QStringLiteral("x.cm"));
        QFile f(file);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(widthui::projectBytes(widthui::numberedRecords(2)));
        f.close();
        tessera::QtPrompt real;
        tessera::Prompt* scripted = tessera::setPrompt(&real);
        QString text;
        QPoint centre;
        testing_modal::whenModal([&](QWidget* box) {
            text = qobject_cast<QMessageBox*>(box)->text();
            centre = box->frameGeometry().center();
            qobject_cast<QDialog*>(box)->accept();
        });
        start({file});
        tessera::setPrompt(scripted);
        QCOMPARE(text, QStringLiteral("无文件数据可加载！"));
        const QPoint middle = QGuiApplication::primaryScreen()->availableGeometry().center();
        QVERIFY2((centre - middle).manhattanLength() <= 10,
                 qPrintable(QStringLiteral("%1,%2").arg(centre.x()).arg(centre.y())));
    }

    void addBeforeAnyOpenOpensAndAfterwardsMerges() {
        start();
        prompt->fileNames << project.file;
        QVERIFY(frame->routeCommand(ID_RECORD_ADD));
        QCOMPARE(names().size(), 9);
        QVERIFY(!app->document().mergeMode());

        QTemporaryDir second;
        QList<widthui::Record> more{{"8", "X1", "0.4", "", "", ""}};
        const auto other = widthui::makeProject(second.path(), QStringLiteral("y.cm"), more);
        prompt->fileNames << other.file;
        QVERIFY(frame->routeCommand(ID_RECORD_ADD));
        QCOMPARE(names().last(), QStringLiteral("X1"));
        QCOMPARE(prompt->messageTexts().last(), QStringLiteral("复制文件夹操作成功"));
        QVERIFY(QFile::exists(project.pictures + QStringLiteral("/X1.jpg")));
        QCOMPARE(widthui::readProject(project.file).size(), 10);
    }

    // What the picture pane draws: the texts (file names under the grid's cells, the single
    // picture's size) and the number of pictures.
    tessera::test::RecordingDevice::Page paneDrawing() {
        QWidget* pane = frame->pictureView()->viewport();
        tessera::test::RecordingDevice device(96, 96, pane->width(), pane->height());
        pane->render(&device);
        return device.pages.first();
    }
    QStringList paneNames() { return paneDrawing().textStrings().filter(QStringLiteral(".jpg")); }

    void thePaneShowsExactlyThePhotographsPickedNow() {
        start({project.file});
        frame->routeCommand(ID_VIEW_MULTI);
        clickText(1);
        clickText(3);
        QCOMPARE(paneNames(), (QStringList{"N2.jpg", "N4.jpg"}));
        prompt->answers << tessera::PromptAnswer::Yes;
        frame->routeCommand(ID_RECORD_DELETE);
        QVERIFY(paneDrawing().images.isEmpty());
        QVERIFY(paneNames().isEmpty());

        // A row checked with the space bar takes the place of one unchecked: the same count.
        list()->setFocus();
        list()->setCurrentIndex(list()->model()->index(4, 1)); // N7 now
        QTest::keyClick(list(), Qt::Key_Space);
        clickText(0);
        QCOMPARE(paneNames(), QStringList{"N1.jpg"});
        clickText(0);
        QCOMPARE(paneNames(), QStringList{"N7.jpg"});

        // 多条模式 again clears every check box, and the pane.
        frame->routeCommand(ID_VIEW_MULTI);
        QVERIFY(paneDrawing().images.isEmpty());

        // Single mode: a pick shows one photograph; Open of another project empties the pane.
        frame->routeCommand(ID_VIEW_SINGLE);
        clickText(2);
        QCOMPARE(paneDrawing().images.size(), 1);
        QTemporaryDir second;
        const auto other = widthui::makeProject(second.path(), QStringLiteral("z.cm"),
                                                widthui::numberedRecords(3));
        QVERIFY(frame->docCommands().openProjectFile(other.file));
        QVERIFY(paneDrawing().images.isEmpty());
        QVERIFY(paneDrawing().texts.isEmpty());
    }

    void theFitZoomIsAToggleKeptBetweenRuns() {
        start();
        QAction* fit = frame->action(ID_VIEW_FIT);
        QVERIFY(fit->isCheckable() && !fit->isChecked()); // twice-size by default
        QCOMPARE(frame->pictureView()->zoom(), PictureZoom::TwiceSize);
        fit->trigger();
        QVERIFY(fit->isChecked());
        QCOMPARE(frame->pictureView()->zoom(), PictureZoom::FitToPane);
        app.reset();
        start();
        QVERIFY(frame->action(ID_VIEW_FIT)->isChecked());
        QCOMPARE(frame->pictureView()->zoom(), PictureZoom::FitToPane);
        frame->action(ID_VIEW_FIT)->trigger();
        QCOMPARE(frame->pictureView()->zoom(), PictureZoom::TwiceSize);
    }

    void everyPrintCollectsTheCheckedRows() {
        start();
        // Nothing checked: the message once, and no dialog.
        QCOMPARE(printDialogMaxPage([&] { frame->action(tessera::ID_FILE_PRINT)->trigger(); }), 0);
        QCOMPARE(prompt->messageTexts(), QStringList{"请选择需要打印的记录"});
        prompt->shown.clear();

        frame->docCommands().openProjectFile(project.file);
        frame->routeCommand(ID_VIEW_MULTI);
        clickText(4);
        clickText(2);
        // Ctrl+P and the toolbar's printer (one action) from the list, never collected before.
        QCOMPARE(frame->action(tessera::ID_FILE_PRINT)->shortcut(),
                 QKeySequence(Qt::CTRL | Qt::Key_P));
        QCOMPARE(printDialogMaxPage([&] { frame->action(tessera::ID_FILE_PRINT)->trigger(); }), 2);
        QCOMPARE(utf8(app->document().printList()[0].strName), QStringLiteral("N3"));
        clickText(6);
        frame->setActivePane(frame->pictureView());
        QCOMPARE(printDialogMaxPage([&] { frame->action(tessera::ID_FILE_PRINT)->trigger(); }), 3);
        QCOMPARE(printDialogMaxPage([&] { frame->routeCommand(ID_REPORT_PRINT); }), 3);

        list()->OnClearChecks();
        QCOMPARE(printDialogMaxPage([&] { frame->action(tessera::ID_FILE_PRINT)->trigger(); }), 0);
        QCOMPARE(prompt->messageTexts(), QStringList{"请选择需要打印的记录"});
    }

    void deleteKeyDeletesAsTheToolbarDoes() {
        start({project.file});
        clickText(1);
        prompt->answers << tessera::PromptAnswer::Yes;
        frame->activateWindow();
        QTRY_COMPARE(QApplication::activeWindow(), frame);
        QTest::keyClick(list(), Qt::Key_Delete);
        QCOMPARE(prompt->shown.last().text, QStringLiteral("是否删除对应的记录?"));
        QVERIFY(!names().contains(QStringLiteral("N2")));
        QCOMPARE(widthui::readProject(project.file).size(), 8);
    }

    void pdfPagesHoldTheirOwnRecordInListOrder() {
        const QString pdftotext = QStandardPaths::findExecutable(QStringLiteral("pdftotext"));
        const QString pdftoppm = QStandardPaths::findExecutable(QStringLiteral("pdftoppm"));
        if (pdftotext.isEmpty() || pdftoppm.isEmpty())
            QSKIP("poppler-utils (installed by scripts/deps.sh) is not available");
        start({project.file});
        frame->routeCommand(ID_VIEW_MULTI);
        for (int row : {2, 0, 1}) // checked out of list order
            clickText(row);
        const QString pdf = tmp->filePath(QStringLiteral("报告"));
        prompt->fileNames << pdf;
        QVERIFY(frame->routeCommand(ID_EXPORT_PDF));
        QCOMPARE(prompt->shown.last().request.defaultExtension, QStringLiteral("pdf"));
        QVERIFY(readAll(pdf + QStringLiteral(".pdf")).startsWith("%PDF"));

        auto run = [](const QString& program, const QStringList& args) {
            QProcess proc;
            proc.start(program, args);
            proc.waitForFinished(30000);
            return proc.readAllStandardOutput();
        };
        const QString file = pdf + QStringLiteral(".pdf");
        // Page 2 holds N2, whose time is 2017-03-12: at the left edge of cell D in row 3
        // (38-46 mm down, 131.5 mm across).
        const QString words =
            QString::fromUtf8(run(pdftotext, {"-f", "2", "-l", "2", "-bbox", file, "-"}));
        static const QRegularExpression word(
            QStringLiteral("xMin=\"([\\d.]+)\" yMin=\"([\\d.]+)\"[^>]*>2017-03-12<"));
        const auto match = word.match(words);
        QVERIFY2(match.hasMatch(), qPrintable(words.mid(words.indexOf("<page"), 1500)));
        const double mmX = match.captured(1).toDouble() * 25.4 / 72;
        const double mmY = match.captured(2).toDouble() * 25.4 / 72;
        QVERIFY2(std::abs(mmX - 131.5) < 1 && mmY > 38 && mmY < 46,
                 qPrintable(QStringLiteral("%1 %2").arg(mmX).arg(mmY)));
        QVERIFY(!words.contains(QStringLiteral("2017-03-11")));
        QVERIFY(run(pdftotext, {"-f", "4", "-l", "4", file, "-"}).trimmed().isEmpty());
        // And its own photograph (N2's is green) in the middle of the picture area.
        run(pdftoppm, {"-f", "2", "-l", "2", "-r", "20", "-png", file, tmp->filePath("page")});
        const QImage page(tmp->filePath(QStringLiteral("page-2.png")));
        QVERIFY(!page.isNull());
        const QColor middle = page.pixelColor(qRound(106.7 * 20 / 25.4), qRound(131 * 20 / 25.4));
        QVERIFY2(middle.green() > 200 && middle.red() < 60 && middle.blue() < 60,
                 qPrintable(middle.name()));
    }

    void saveWritesTheRowsAsAProjectFile() {
        start({project.file});
        list()->sortHeader()->sectionClicked(2); // sorted by width
        const QString target = tmp->filePath(QStringLiteral("副本"));
        prompt->fileNames << target;
        QVERIFY(frame->routeCommand(tessera::ID_FILE_SAVE));
        const auto& request = prompt->shown.last().request;
        QCOMPARE(request.filter, QStringLiteral(" (*.cm)"));
        QCOMPARE(request.defaultExtension, QStringLiteral("cm"));
        QVERIFY(request.confirmOverwrite);
        const auto rows = widthui::readProject(target + QStringLiteral(".cm"));
        QCOMPARE(rows.size(), 9);
        QCOMPARE(rows.first().at(1), names().first());
        QCOMPARE(rows.last().at(1), names().last());
        // Save As is there and does nothing.
        QVERIFY(frame->routeCommand(tessera::ID_FILE_SAVE_AS));
        QCOMPARE(prompt->shown.size(), 1);
    }

    void rowsNoFileHoldsAreOfferedForSavingBeforeTheyAreLost() {
        start({project.file});
        frame->routeCommand(ID_VIEW_MULTI);
        for (size_t i = 0; i < list()->rows().size(); ++i)
            list()->rows().setChecked(i, true);
        prompt->answers << tessera::PromptAnswer::Yes;
        QVERIFY(frame->routeCommand(ID_RECORD_DELETE));
        QVERIFY(app->document().projectFile().empty());
        QTemporaryDir second;
        QList<widthui::Record> more{{"8", "X1", "0.4", "", "", ""}, {"8", "X2", "0.5", "", "", ""}};
        prompt->fileNames << widthui::makeProject(second.path(), QStringLiteral("y.cm"), more).file;
        QVERIFY(frame->routeCommand(ID_RECORD_ADD));
        QCOMPARE(names(), (QStringList{"X1", "X2"}));
        QVERIFY(prompt->messageTexts().last().contains(QStringLiteral("没有保存在任何项目文件中")));

        // New, Open and exit ask first; Cancel keeps the rows and the window.
        QVERIFY(frame->routeCommand(tessera::ID_FILE_NEW));
        QVERIFY(!frame->docCommands().openProjectFile(project.file));
        QVERIFY(!frame->close());
        QCOMPARE(names().size(), 2);
        QCOMPARE(prompt->count(ScriptedPrompt::Kind::Question), 4);
        QVERIFY(prompt->messageTexts().last().contains(QStringLiteral("是否保存")));

        // Yes saves through the dialog; the file written becomes the open project.
        prompt->answers << tessera::PromptAnswer::Yes << tessera::PromptAnswer::Yes;
        prompt->fileNames << project.file; // replaced after the overwrite question
        QVERIFY(frame->close());
        QCOMPARE(widthui::readProject(project.file).size(), 2);
        QCOMPARE(QString::fromStdString(app->document().projectFile()), project.file);
        QVERIFY(!app->document().unsavedRows());
    }

    void aProjectChangedOnDiskIsNotOverwrittenWithoutAsking() {
        start({project.file});
        {
            QFile file(project.file); // their record, added on disk
            QVERIFY(file.open(QIODevice::Append));
            file.write("9\tTHEIRS\t0.9\tM\t\tT\r\n");
        }
        list()->rows().setSelected(0, true);
        prompt->answers << tessera::PromptAnswer::Yes << tessera::PromptAnswer::Cancel;
        QVERIFY(frame->routeCommand(ID_RECORD_DELETE));
        QVERIFY(prompt->messageTexts().last().contains(QStringLiteral("已被修改")));
        QCOMPARE(widthui::readProject(project.file).size(), 10);
        QCOMPARE(names().size(), 9);

        // Save onto the changed project file asks as well; 覆盖 writes the window's rows.
        prompt->fileNames << project.file;
        prompt->answers << tessera::PromptAnswer::Yes << tessera::PromptAnswer::No;
        QVERIFY(frame->docCommands().OnSaveProject());
        QCOMPARE(widthui::readProject(project.file).size(), 9);
        QVERIFY(prompt->messageTexts().last().contains(QStringLiteral("已被修改")));
    }

    void newEmptiesTheDocumentAndBothPanesWithoutDuplicatingColumns() {
        start({project.file});
        clickText(0);
        QCOMPARE(frame->pictureView()->picturePaths().size(), size_t(1));
        QVERIFY(frame->routeCommand(tessera::ID_FILE_NEW));
        QVERIFY(frame->routeCommand(tessera::ID_FILE_NEW));
        QCOMPARE(list()->model()->rowCount(), 0);
        QCOMPARE(list()->model()->columnCount(), 6);
        QCOMPARE(list()->horizontalHeader()->count(), 6);
        QVERIFY(frame->pictureView()->picturePaths().empty());
        QVERIFY(app->document().projectFile().empty());
        prompt->fileNames << project.file;
        frame->routeCommand(tessera::ID_FILE_OPEN);
        QCOMPARE(list()->model()->columnCount(), 6);
        QCOMPARE(list()->model()->index(0, 5).data().toString(),
                 QStringLiteral("2017-03-11 10:00"));
    }

    void settingsDialogWritesOnOkAndKeepsEverythingOnCancel() {
        start();
        testing_modal::whenModal([](QWidget* w) {
            auto* dialog = qobject_cast<CMesInfoDlg*>(w);
            QVERIFY(dialog);
            QCOMPARE(dialog->windowTitle(), QStringLiteral("检测信息"));
            QStringList labels;
            for (QLabel* label : dialog->findChildren<QLabel*>())
                labels << label->text();
            QCOMPARE(labels,
                     (QStringList{"测量单位", "测 量 人", "项目名称", "复    核 ", "签    收"}));
            QCOMPARE(dialog->cancelButton()->text(), QStringLiteral("取消 "));
            // Typing starts in the first edit.
            QCOMPARE(dialog->focusWidget(), dialog->edit(1007));
            const auto units = tessera::dialogBaseUnits(dialog->font());
            QCOMPARE(dialog->size(), tessera::dialogRect(units, 0, 0, 160, 107).size());
            QCOMPARE(dialog->edit(1009)->geometry(), tessera::dialogRect(units, 51, 22, 97, 12));
            // Tab: OK, Cancel, then the edits in control-id order.
            QList<QWidget*> order;
            QWidget* w2 = dialog->okButton();
            for (int i = 0; i < 7; ++i) {
                order << w2;
                do
                    w2 = w2->nextInFocusChain();
                while (!(w2->focusPolicy() & Qt::TabFocus));
            }
            QCOMPARE(order,
                     (QList<QWidget*>{dialog->okButton(), dialog->cancelButton(),
                                      dialog->edit(1007), dialog->edit(1008), dialog->edit(1009),
                                      dialog->edit(1010), dialog->edit(1011)}));
            dialog->edit(1007)->setText(QStringLiteral("某检测公司"));
            dialog->edit(1008)->setText(QStringLiteral("张三"));
            dialog->okButton()->click();
        });
        QVERIFY(frame->routeCommand(ID_SET_INFO));
        QCOMPARE(utf8(app->inspectionInfo().company), QStringLiteral("某检测公司"));
        QCOMPARE(utf8(app->inspectionInfo().censor), QStringLiteral("张三"));
        const QByteArray written = readAll(ini);
        QVERIFY(
            written.contains(QByteArray::fromStdString(*tessera::utf8ToGbk("Company=某检测公司"))));
        QVERIFY(written.contains("Receiver="));
        QVERIFY(!(QFile::permissions(ini) & QFile::WriteOwner));

        testing_modal::whenModal([](QWidget* w) {
            auto* dialog = qobject_cast<CMesInfoDlg*>(w);
            QCOMPARE(dialog->edit(1007)->text(), QStringLiteral("某检测公司"));
            dialog->edit(1007)->setText(QStringLiteral("别的"));
            dialog->cancelButton()->click();
        });
        QVERIFY(frame->routeCommand(ID_SET_INFO));
        QCOMPARE(utf8(app->inspectionInfo().company), QStringLiteral("某检测公司"));
        QCOMPARE(readAll(ini), written);

        // Read at the next start.
        app.reset();
        start();
        QCOMPARE(utf8(app->inspectionInfo().censor), QStringLiteral("张三"));
    }

    void settingsThatCannotBeWrittenAreReportedAndKeptForTheRun() {
        // The settings file's folder is a plain file: nothing can be written there.
        QFile blocker(tmp->filePath(QStringLiteral("blocker")));
        QVERIFY(blocker.open(QIODevice::WriteOnly));
        blocker.close();
        qputenv("FALLOWMERE_INI", blocker.fileName().toUtf8() + "/QB.ini");
        start();
        QVERIFY(!app->storeInspectionInfo({"C", "P", "M", "K", "R"}));
        QCOMPARE(prompt->shown.size(), 1);
        QVERIFY(prompt->shown[0].text.startsWith(QStringLiteral("无法写入设置文件")));
        QCOMPARE(app->inspectionInfo().receiver, std::string("R"));
    }

    void aDroppedProjectOpensAndColumnWidthsPersist() {
        start();
        // Dragged from another window (a file manager's), which is the active one.
        QWidget fileManager;
        fileManager.show();
        fileManager.activateWindow();
        QTRY_COMPARE(QApplication::activeWindow(), &fileManager);
        QMimeData mime;
        mime.setUrls({QUrl::fromLocalFile(project.file)});
        QDragEnterEvent enter(QPoint(5, 5), Qt::CopyAction, &mime, Qt::LeftButton, {});
        QApplication::sendEvent(frame, &enter);
        QVERIFY(enter.isAccepted());
        QDropEvent drop(QPointF(5, 5), Qt::CopyAction, &mime, Qt::LeftButton, {});
        QApplication::sendEvent(frame, &drop);
        QTRY_COMPARE(names().size(), 9);
        QCOMPARE(QApplication::activeWindow(), frame); // brought to the front

        list()->setColumnWidth(1, 170);
        frame->close();
        app.reset();
        start();
        QCOMPARE(list()->columnWidth(1), 170);
    }
};

QTEST_MAIN(ShellTest)
#include "shell_test.moc"
