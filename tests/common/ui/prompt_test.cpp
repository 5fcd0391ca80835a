// The save dialog's overwrite question, the real prompt's boxes and dialogs, and the
// framework's texts in Chinese.

#include "common/atomic_file.h"
#include "common/qt/translations.h"
#include "common/ui/print_job.h"
#include "common/ui/qt_prompt.h"
#include "common/ui/save_file.h"
#include "tests/support/modal_dialog.h"
#include "tests/support/scripted_prompt.h"

#include <QAbstractButton>
#include <QAbstractProxyModel>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QFileSystemModel>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPageSetupDialog>
#include <QPrintDialog>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QPrinterInfo>
#include <QTemporaryDir>
#include <QtTest>

using namespace tessera;
using testing_modal::whenModal;

namespace {

std::string contentOf(const QString& path) {
    std::string bytes;
    readWholeFile(path.toStdString(), bytes);
    return bytes;
}

FileDialogRequest dmRequest() {
    FileDialogRequest request;
    request.caption = QStringLiteral("另存为");
    request.filter = QStringLiteral(" (*.DM)");
    request.defaultExtension = QStringLiteral("DM");
    return request;
}

// A report of one blank page.
class OnePage : public PageSource {
public:
    int pageCount(const PageDevice&) const override { return 1; }
    std::vector<PageOp> layoutPage(const PageDevice& device, int) const override {
        return {fillOp({0, 0, device.width, device.height}, kPageWhite)};
    }
};

QStringList buttonTexts(const QWidget* box) {
    QStringList out;
    for (const QAbstractButton* b : box->findChildren<QAbstractButton*>())
        if (b->isVisible())
            out << b->text();
    out.sort();
    return out;
}

} // namespace

class PromptTest : public QObject {
    Q_OBJECT

    QTemporaryDir dir_;

private slots:
    void overwriteQuestionNamesTheFileThatWillBeWritten() {
        const QString existing = dir_.filePath(QStringLiteral("report.DM"));
        QVERIFY(writeFileAtomically(existing.toStdString(), "old"));
        ScriptedPrompt prompt;

        // "report." becomes "report.DM": the question is about that name. No goes back to the
        // dialog, which starts at what was typed; a cancelled dialog then writes nothing.
        prompt.fileNames << dir_.filePath(QStringLiteral("report."));
        const QString cancelled = saveThroughDialog(
            nullptr, dmRequest(), [] { return std::string("new"); }, QStringLiteral("Tessaly"),
            QStringLiteral("无法保存文件 %1。"));
        QVERIFY(cancelled.isEmpty());
        QCOMPARE(contentOf(existing), std::string("old"));
        QCOMPARE(prompt.shown.size(), 3);
        QCOMPARE(prompt.shown[1].kind, ScriptedPrompt::Kind::Question);
        QCOMPARE(prompt.shown[1].caption, QStringLiteral("另存为"));
        QCOMPARE(prompt.shown[1].text, QStringLiteral("report.DM 已存在。\n要替换它吗？"));
        QCOMPARE(prompt.shown[2].kind, ScriptedPrompt::Kind::SaveFile);
        QCOMPARE(prompt.shown[2].request.directory, dir_.filePath(QStringLiteral("report.")));

        // Yes replaces it.
        prompt.shown.clear();
        prompt.fileNames << dir_.filePath(QStringLiteral("report."));
        prompt.answers << PromptAnswer::Yes;
        QCOMPARE(saveThroughDialog(
                     nullptr, dmRequest(), [] { return std::string("new"); },
                     QStringLiteral("Tessaly"), QStringLiteral("无法保存文件 %1。")),
                 existing);
        QCOMPARE(contentOf(existing), std::string("new"));

        // No, then another name: that one is written and the old file stays.
        prompt.shown.clear();
        prompt.fileNames << existing << dir_.filePath(QStringLiteral("other"));
        prompt.answers << PromptAnswer::No;
        QCOMPARE(prompt.saveFileName(nullptr, dmRequest()),
                 dir_.filePath(QStringLiteral("other.DM")));
        QCOMPARE(prompt.count(ScriptedPrompt::Kind::Question), 1);
    }

    void noQuestionForNewNamesFoldersOrWhenNotAsked() {
        ScriptedPrompt prompt;
        prompt.fileNames << dir_.filePath(QStringLiteral("fresh."));
        QCOMPARE(prompt.saveFileName(nullptr, dmRequest()),
                 dir_.filePath(QStringLiteral("fresh.DM")));

        // A folder is not replaced by a file: the write itself will fail and say so.
        QVERIFY(QDir(dir_.path()).mkdir(QStringLiteral("folder.DM")));
        prompt.fileNames << dir_.filePath(QStringLiteral("folder.DM"));
        QCOMPARE(prompt.saveFileName(nullptr, dmRequest()),
                 dir_.filePath(QStringLiteral("folder.DM")));

        const QString taken = dir_.filePath(QStringLiteral("taken.DM"));
        QVERIFY(writeFileAtomically(taken.toStdString(), "x"));
        FileDialogRequest request = dmRequest();
        request.confirmOverwrite = false;
        prompt.fileNames << dir_.filePath(QStringLiteral("taken"));
        QCOMPARE(prompt.saveFileName(nullptr, request), taken);
        QCOMPARE(prompt.count(ScriptedPrompt::Kind::Question), 0);

        // A dangling link is a name in use too: writing would follow it.
        const QString link = dir_.filePath(QStringLiteral("link.DM"));
        QVERIFY(QFile::link(dir_.filePath(QStringLiteral("nowhere")), link));
        prompt.fileNames << dir_.filePath(QStringLiteral("link"));
        QVERIFY(prompt.saveFileName(nullptr, dmRequest()).isEmpty());
        QCOMPARE(prompt.count(ScriptedPrompt::Kind::Question), 1);
    }

    // The real dialogs: Qt's own file dialog, which must not ask about the typed name itself;
    // the question comes once, about the name that will be written, in a real message box.
    void realSaveDialogAsksAboutTheFinalName() {
        installChineseTranslations();
        const QString existing = dir_.filePath(QStringLiteral("trail.DM"));
        QVERIFY(writeFileAtomically(existing.toStdString(), "old"));
        QtPrompt prompt;
        QString question, dialogTitle;
        QStringList questionButtons;
        bool nativeAvoided = false, confirmsItself = true;
        int dialogs = 0;
        std::function<void(QWidget*)> onDialog = [&](QWidget* w) {
            auto* dialog = qobject_cast<QFileDialog*>(w);
            QVERIFY(dialog);
            ++dialogs;
            dialogTitle = dialog->windowTitle();
            nativeAvoided = dialog->testOption(QFileDialog::DontUseNativeDialog);
            confirmsItself = !dialog->testOption(QFileDialog::DontConfirmOverwrite);
            if (dialogs > 1) {
                dialog->reject();
                return;
            }
            dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"))
                ->setText(QStringLiteral("trail."));
            whenModal([&](QWidget* box) {
                auto* message = qobject_cast<QMessageBox*>(box);
                QVERIFY(message);
                question = message->text();
                questionButtons = buttonTexts(message);
                whenModal(onDialog); // the dialog again, after No
                message->button(QMessageBox::No)->click();
            });
            QMetaObject::invokeMethod(dialog, "accept");
        };
        whenModal(onDialog);
        FileDialogRequest request = dmRequest();
        request.directory = dir_.path();
        QVERIFY(prompt.saveFileName(nullptr, request).isEmpty());
        QCOMPARE(dialogs, 2);
        QCOMPARE(dialogTitle, QStringLiteral("另存为"));
        QVERIFY(nativeAvoided);
        QVERIFY(!confirmsItself);
        QCOMPARE(question, QStringLiteral("trail.DM 已存在。\n要替换它吗？"));
        QCOMPARE(questionButtons,
                 (QStringList{QStringLiteral("否(&N)"), QStringLiteral("是(&Y)")}));
        QCOMPARE(contentOf(existing), std::string("old"));
    }

    // A dialog that names no folder starts where the last file was chosen, open or save alike;
    // one that names its folder starts there.
    void fileDialogsStartInTheFolderUsedLast() {
        const QString folder = dir_.filePath(QStringLiteral("测量"));
        QVERIFY(QDir().mkpath(folder));
        const QString chosen = folder + QStringLiteral("/a.DM");
        QVERIFY(writeFileAtomically(chosen.toStdString(), "x"));
        QtPrompt prompt;
        QStringList startedIn;
        auto choose = [&](const QString& name) {
            whenModal([&, name](QWidget* w) {
                auto* dialog = qobject_cast<QFileDialog*>(w);
                QVERIFY(dialog);
                startedIn << dialog->directory().absolutePath();
                if (name.isEmpty()) {
                    dialog->reject();
                    return;
                }
                dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"))->setText(name);
                QMetaObject::invokeMethod(dialog, "accept");
            });
        };
        // The whole path typed in a dialog that shows another folder: the file's folder counts.
        FileDialogRequest request;
        request.filter = QStringLiteral("裂缝深度文件(*.DM)");
        request.directory = dir_.path();
        choose(chosen);
        QCOMPARE(prompt.openFileName(nullptr, request), chosen);

        request.directory.clear();
        choose({});
        QVERIFY(prompt.openFileName(nullptr, request).isEmpty());
        choose({}); // a cancelled dialog changes nothing
        QVERIFY(prompt.saveFileName(nullptr, request).isEmpty());
        QCOMPARE(startedIn, (QStringList{dir_.path(), folder, folder}));

        request.directory = dir_.path();
        choose({});
        QVERIFY(prompt.saveFileName(nullptr, request).isEmpty());
        QCOMPARE(startedIn.last(), dir_.path());
    }

    // A box whose owner has not been shown yet (the progress dialog of a download whose port
    // cannot be opened) stands over the shown window the owner belongs to, not over the
    // screen's corner where the unshown dialog would be.
    void aBoxOfAnUnshownDialogStandsOverItsMainWindow() {
        QWidget main;
        main.setGeometry(300, 200, 400, 300);
        main.show();
        QVERIFY(QTest::qWaitForWindowExposed(&main));
        QDialog unshown(&main);
        QWidget child(&main);
        QCOMPARE(boxOwner(&unshown), &main);
        QCOMPARE(boxOwner(&child), &main);
        QWidget hidden; // no shown window at all: kept, it is where it will appear
        QCOMPARE(boxOwner(&hidden), &hidden);

        QtPrompt prompt;
        QPoint centre;
        whenModal([&](QWidget* box) {
            centre = box->frameGeometry().center();
            qobject_cast<QDialog*>(box)->accept();
        });
        prompt.message(&unshown, QStringLiteral("Tessaly"), QStringLiteral("打开端口失败！"),
                       PromptIcon::None);
        const QPoint middle = main.frameGeometry().center();
        QVERIFY2((centre - middle).manhattanLength() <= 10,
                 qPrintable(QStringLiteral("%1,%2").arg(centre.x()).arg(centre.y())));
    }

    // The print dialog's print-to-file name starts in the folder used last, like the file
    // dialogs, and a file printed to counts as the file chosen last.
    void printToFileStartsInTheFolderUsedLast() {
        const QString folder = dir_.filePath(QStringLiteral("报告"));
        const QString other = dir_.filePath(QStringLiteral("其他"));
        QVERIFY(QDir().mkpath(folder) && QDir().mkpath(other));
        QtPrompt prompt;
        Prompt* previous = setPrompt(&prompt);
        prompt.rememberChosenFile(folder + QStringLiteral("/a.DM"));
        QString proposed, outputFile;
        whenModal([&](QWidget* w) {
            auto* dialog = qobject_cast<QPrintDialog*>(w);
            QVERIFY(dialog);
            auto* name = dialog->findChild<QLineEdit*>(QStringLiteral("filename"));
            QVERIFY(name);
            proposed = name->text();
            if (!QPrinterInfo::availablePrinters().isEmpty()) {
                dialog->reject(); // real printers listed: the file entry is not the one chosen
                return;
            }
            outputFile = other + QStringLiteral("/r.pdf");
            name->setText(outputFile);
            QMetaObject::invokeMethod(dialog, "accept");
        });
        const OnePage page;
        printPages(nullptr, page, PrintMode::Dialog,
                   {QStringLiteral("裂缝测深仪数据报告"), QStringLiteral("Tessaly")});
        setPrompt(previous);
        QCOMPARE(QFileInfo(proposed).absolutePath(), folder);
        if (!outputFile.isEmpty()) {
            QVERIFY(QFileInfo::exists(outputFile));
            QCOMPARE(prompt.lastFolder(), other);
        }
    }

    void messageBoxesHaveTheSameChineseButtons() {
        QtPrompt prompt;
        QStringList ok, yesNoCancel;
        QString caption;
        whenModal([&](QWidget* box) {
            ok = buttonTexts(box);
            caption = box->windowTitle();
            qobject_cast<QMessageBox*>(box)->accept();
        });
        prompt.message(nullptr, QStringLiteral("Application Error"), QStringLiteral("x"),
                       PromptIcon::Stop);
        QCOMPARE(ok, QStringList{QStringLiteral("确定")});
        QCOMPARE(caption, QStringLiteral("Application Error"));

        whenModal([&](QWidget* box) {
            yesNoCancel = buttonTexts(box);
            qobject_cast<QMessageBox*>(box)->button(QMessageBox::Cancel)->click();
        });
        QCOMPARE(prompt.question(nullptr, QStringLiteral("Tessaly"), QStringLiteral("?"), true),
                 PromptAnswer::Cancel);
        QCOMPARE(yesNoCancel, (QStringList{QStringLiteral("取消"), QStringLiteral("否(&N)"),
                                           QStringLiteral("是(&Y)")}));
    }

    // A short text under a longer caption: the box is wide enough for the caption and, beside
    // it, the window icon and the three caption buttons that the window manager adds.
    void messageBoxesLeaveRoomForTheirCaption() {
        QtPrompt prompt;
        auto roomBesideCaption = [](QWidget* box) {
            QFont bold = box->font();
            bold.setBold(true);
            const QFontMetrics metrics(bold);
            return box->width() - metrics.horizontalAdvance(box->windowTitle()) -
                   4 * metrics.height();
        };
        int messageRoom = -1, questionRoom = -1;
        whenModal([&](QWidget* box) {
            messageRoom = roomBesideCaption(box);
            qobject_cast<QMessageBox*>(box)->accept();
        });
        prompt.message(nullptr, QStringLiteral("Wexcombe"), QStringLiteral("无文件数据可加载！"),
                       PromptIcon::None);
        QVERIFY2(messageRoom >= 0, qPrintable(QString::number(messageRoom)));

        whenModal([&](QWidget* box) {
            questionRoom = roomBesideCaption(box);
            qobject_cast<QMessageBox*>(box)->button(QMessageBox::No)->click();
        });
        prompt.question(nullptr, QStringLiteral("确认文件替换确认文件替换"), QStringLiteral("?"),
                        false);
        QVERIFY2(questionRoom >= 0, qPrintable(QString::number(questionRoom)));
    }

    // The detail view of the file dialogs: a folder's kind and the dates read in Chinese, also
    // where the system is set to English.
    void fileDialogDetailsReadInChinese() {
        QVERIFY(installChineseTranslations());
        QVERIFY(QDir(dir_.path()).mkpath(QStringLiteral("CrackData")));
        const QString project = dir_.filePath(QStringLiteral("桥梁.cm"));
        QVERIFY(writeFileAtomically(project.toStdString(), "组号\r\n"));
        QFileDialog dialog;
        setUpFileDialog(dialog);
        dialog.setDirectory(dir_.path());
        QVERIFY(dialog.testOption(QFileDialog::DontUseNativeDialog));
        auto* files = dialog.findChild<QFileSystemModel*>();
        QVERIFY(files);
        QAbstractProxyModel* shown = dialog.proxyModel();
        QVERIFY(shown);
        auto text = [&](const QString& path, int column) {
            return shown->mapFromSource(files->index(path, column)).data().toString();
        };
        QTRY_COMPARE(text(dir_.filePath(QStringLiteral("CrackData")), 2), QStringLiteral("文件夹"));
        const QString year = QString::number(QFileInfo(project).lastModified().date().year());
        QTRY_VERIFY(text(project, 3).contains(year));
        const QString date = text(project, 3);
        QVERIFY2(!date.contains(QRegularExpression(QStringLiteral("[A-Za-z]"))), qPrintable(date));
    }

    // With the translations installed, the framework's own windows read in Chinese.
    void frameworkDialogsReadInChinese() {
        QVERIFY(installChineseTranslations());
        QtPrompt prompt;
        QStringList labels, buttons;
        whenModal([&](QWidget* w) {
            for (const QLabel* l : w->findChildren<QLabel*>())
                labels << l->text();
            buttons = buttonTexts(w);
            qobject_cast<QDialog*>(w)->reject();
        });
        FileDialogRequest request;
        request.filter = QStringLiteral("裂缝深度文件(*.DM)");
        request.directory = dir_.path();
        QVERIFY(prompt.openFileName(nullptr, request).isEmpty());
        QVERIFY2(labels.contains(QStringLiteral("查找范围：")), qPrintable(labels.join('|')));
        QVERIFY(labels.contains(QStringLiteral("文件类型：")));
        QVERIFY(buttons.contains(QStringLiteral("取消")));
        QVERIFY(buttons.contains(QStringLiteral("打开(&O)")));

        // The print preview's and page set-up's own texts come from the same translations.
        QPrinter printer;
        QPrintPreviewDialog preview(&printer);
        QCOMPARE(preview.windowTitle(), QStringLiteral("打印预览"));
        QPageSetupDialog setup(&printer);
        QStringList setupTexts;
        for (const QLabel* l : setup.findChildren<QLabel*>())
            setupTexts << l->text();
        for (const QGroupBox* g : setup.findChildren<QGroupBox*>())
            setupTexts << g->title();
        QVERIFY2(!setupTexts.filter(QStringLiteral("纸张")).isEmpty(),
                 qPrintable(setupTexts.join('|')));
    }
};

QTEST_MAIN(PromptTest)
#include "prompt_test.moc"
