// A depth window: the list, record editing, Open/Save/Export, refresh.

#include "common/atomic_file.h"
#include "depth/app/ui/marrowby_view.h"
#include "depth/document/ui/record_info_dlg.h"
#include "tests/support/pipe_rescue.h"
#include "tests/support/scripted_prompt.h"

#include "common/ui/dialog_units.h"

#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QtTest>

#include <sys/stat.h>

using namespace marrowby;
using tessera::ScriptedPrompt;

namespace {

std::shared_ptr<CMarrowbyDoc> docWith(int n) {
    auto doc = std::make_shared<CMarrowbyDoc>();
    doc->title = "测深文档1";
    for (int i = 0; i < n; ++i)
        doc->appendRecord({i / 10, i, i % 7, 100 + i, ""});
    return doc;
}

QString cell(const CMarrowbyView& view, int row, int column) {
    return view.model()->index(row, column).data().toString();
}

// Replaces the record dialog for one test.
struct EditorScript {
    int calls = 0;
    std::array<QString, 5> seen;
    std::function<bool(std::array<QString, 5>&)> answer;
    CMarrowbyView::RecordEditor previous = CMarrowbyView::recordEditor();
    EditorScript() {
        CMarrowbyView::recordEditor() = [this](QWidget*, std::array<QString, 5>& texts) {
            ++calls;
            seen = texts;
            return answer ? answer(texts) : false;
        };
    }
    ~EditorScript() { CMarrowbyView::recordEditor() = previous; }
};

std::string contentOf(const QString& path) {
    std::string bytes;
    tessera::readWholeFile(path.toStdString(), bytes);
    return bytes;
}

// Pixels of `image` in `color` on the vertical line x from y0 to y1.
int pixelsOnColumn(const QImage& image, int x, int y0, int y1, QColor color) {
    int n = 0;
    for (int y = y0; y <= y1; ++y)
        n += image.pixelColor(x, y) == color;
    return n;
}

} // namespace

class ViewTest : public QObject {
    Q_OBJECT
private slots:
    void listHasFiveColumnsWithTitlesWidthsAndAlignment() {
        CMarrowbyView view(docWith(2));
        QCOMPARE(view.model()->columnCount(), 5);
        const QStringList titles{"构件号", "裂缝号", "测点号", "裂缝深度值", "备注"};
        const int widths[] = {55, 60, 60, 120, 120};
        for (int c = 0; c < 5; ++c) {
            QCOMPARE(view.model()->headerData(c, Qt::Horizontal).toString(), titles[c]);
            QCOMPARE(view.columnWidth(c), widths[c]);
            const auto align =
                view.model()->index(0, c).data(Qt::TextAlignmentRole).value<Qt::Alignment>();
            QCOMPARE(bool(align & Qt::AlignRight), c != 0);
        }
        QCOMPARE(view.selectionBehavior(), QAbstractItemView::SelectRows);
        QCOMPARE(view.selectionMode(), QAbstractItemView::ExtendedSelection);
        QVERIFY(!view.showGrid());
        QCOMPARE(cell(view, 1, 0), QStringLiteral("0"));
        QCOMPARE(cell(view, 1, 3), QStringLiteral("101"));
        QCOMPARE(cell(view, 1, 4), QString());
    }

    void clickOnARowEditsItAndBelowTheRowsDoesNot() {
        CMarrowbyView view(docWith(3));
        view.resize(500, 300);
        view.show();
        EditorScript editor;
        editor.answer = [](std::array<QString, 5>& texts) {
            texts[3] = QString();
            texts[4] = QStringLiteral("斜裂缝");
            return true;
        };
        const QRect rect = view.visualRect(view.model()->index(1, 2));
        QTest::mouseClick(view.viewport(), Qt::LeftButton, {}, rect.center());
        QCOMPARE(editor.calls, 1);
        QCOMPARE(editor.seen[1], QStringLiteral("1"));
        QCOMPARE(cell(view, 1, 3), QString());
        QCOMPARE(cell(view, 1, 4), QStringLiteral("斜裂缝"));
        QVERIFY(view.selectionModel()->isRowSelected(1, {}));
        QVERIFY(view.isModified());
        // The document's records are untouched by the edit.
        QCOMPARE(view.document().records[1].depthValue, 101);

        const QRect last = view.visualRect(view.model()->index(2, 0));
        QTest::mouseClick(view.viewport(), Qt::LeftButton, {}, QPoint(10, last.bottom() + 20));
        QCOMPARE(editor.calls, 1);

        // Cancel changes nothing.
        editor.answer = [](std::array<QString, 5>& texts) {
            texts[0] = QStringLiteral("999");
            return false;
        };
        QTest::mouseClick(view.viewport(), Qt::LeftButton, {},
                          view.visualRect(view.model()->index(0, 4)).center());
        QCOMPARE(editor.calls, 2);
        QCOMPARE(cell(view, 0, 0), QStringLiteral("0"));
    }

    void saveAndOpenRoundTripKeepsEditsAndRemarks() {
        QTemporaryDir dir;
        ScriptedPrompt prompt;
        CMarrowbyView view(docWith(4));
        EditorScript editor;
        editor.answer = [](std::array<QString, 5>& t) {
            t = {QStringLiteral(" -7"), QStringLiteral("+15"), QStringLiteral("3.9"),
                 QStringLiteral("abc"), QStringLiteral("备注 remark")};
            return true;
        };
        view.resize(500, 300);
        view.show();
        QTest::mouseClick(view.viewport(), Qt::LeftButton, {},
                          view.visualRect(view.model()->index(2, 0)).center());
        prompt.fileNames << dir.filePath(QStringLiteral("bridge"));
        view.onCommand(ID_FILE_SAVE);
        const auto& save = prompt.shown.last();
        QCOMPARE(save.kind, ScriptedPrompt::Kind::SaveFile);
        QCOMPARE(save.request.filter, QStringLiteral(" (*.DM)"));
        QCOMPARE(save.request.defaultExtension, QStringLiteral("DM"));
        QVERIFY(save.request.confirmOverwrite);
        QVERIFY(!view.isModified());

        CMarrowbyView other(std::make_shared<CMarrowbyDoc>());
        prompt.fileNames << dir.filePath(QStringLiteral("bridge.DM"));
        other.onCommand(ID_FILE_OPEN);
        QCOMPARE(prompt.shown.last().request.filter, QStringLiteral("裂缝深度文件(*.DM)"));
        QCOMPARE(other.rows().size(), size_t{4});
        QCOMPARE(cell(other, 2, 0), QStringLiteral("-7"));
        QCOMPARE(cell(other, 2, 1), QStringLiteral("15"));
        QCOMPARE(cell(other, 2, 2), QStringLiteral("3"));
        QCOMPARE(cell(other, 2, 3), QStringLiteral("0"));
        QCOMPARE(cell(other, 2, 4), QStringLiteral("备注 remark"));
        QCOMPARE(prompt.count(ScriptedPrompt::Kind::Message), 0);

        // A refresh from the document clears the remark again.
        other.document().appendRecord({1, 2, 3, 4, ""});
        other.onUpdate(0);
        QCOMPARE(other.rows().size(), size_t{1});
        QCOMPARE(cell(other, 0, 4), QString());
    }

    void bytesThatAreNotGbkSurviveOpenEditAndSave() {
        QTemporaryDir dir;
        const std::string odd("\x80\xFF\xC1", 3);
        DepthViewData data;
        data.rows.push_back(DepthRow("1", "2", "3", "4", odd));
        const QString in = dir.filePath(QStringLiteral("odd.DM"));
        QVERIFY(tessera::writeFileAtomically(in.toStdString(), data.toDm()));

        ScriptedPrompt prompt;
        CMarrowbyView view(std::make_shared<CMarrowbyDoc>());
        QVERIFY(view.readDmFile(in));
        view.resize(500, 300);
        view.show();
        EditorScript editor;
        editor.answer = [](std::array<QString, 5>& t) {
            t[0] = QStringLiteral("11"); // the remark is left as shown
            return true;
        };
        QTest::mouseClick(view.viewport(), Qt::LeftButton, {},
                          view.visualRect(view.model()->index(0, 0)).center());
        prompt.fileNames << dir.filePath(QStringLiteral("out.DM"));
        QVERIFY(view.OnFileSave());
        std::string bytes;
        QVERIFY(
            tessera::readWholeFile(dir.filePath(QStringLiteral("out.DM")).toStdString(), bytes));
        QCOMPARE(bytes.substr(bytes.size() - 4), std::string("\x03") + odd);
        QCOMPARE(static_cast<unsigned char>(bytes[18]), 11);
    }

    void failedSaveTellsTheUserAndKeepsTheOldFile() {
        QTemporaryDir dir;
        ScriptedPrompt prompt;
        CMarrowbyView view(docWith(2));
        prompt.fileNames << dir.filePath(QStringLiteral("no/such/folder/x.DM"));
        QVERIFY(!view.OnFileSave());
        QCOMPARE(prompt.count(ScriptedPrompt::Kind::Message), 1);
        QVERIFY(prompt.shown.last().text.contains(QStringLiteral("no/such/folder/x.DM")));
        QCOMPARE(prompt.shown.last().icon, tessera::PromptIcon::Exclamation);
        QVERIFY(view.isModified());

        // Saving over a folder fails too and leaves it alone.
        QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("folder.DM")));
        prompt.fileNames << dir.filePath(QStringLiteral("folder.DM"));
        QVERIFY(!view.OnFileSave());
        QVERIFY(QFileInfo(dir.filePath(QStringLiteral("folder.DM"))).isDir());
    }

    // Save, Save As and every export: "report." is written as report.<ext>, and the overwrite
    // question is about that file.
    void trailingDotNameIsAskedAboutBeforeReplacing() {
        struct Case {
            int command;
            QString extension;
        };
        const Case cases[] = {{ID_FILE_SAVE, QStringLiteral("DM")},
                              {ID_FILE_SAVE_AS, QStringLiteral("DM")},
                              {ID_EXPORT_TEXT, QStringLiteral("txt")},
                              {ID_EXPORT_PDF, QStringLiteral("pdf")}};
        QTemporaryDir dir;
        CMarrowbyView view(docWith(3));
        for (const Case& c : cases) {
            const QString target = dir.filePath(QStringLiteral("report.") + c.extension);
            QVERIFY(tessera::writeFileAtomically(target.toStdString(), "old"));
            ScriptedPrompt prompt;
            prompt.fileNames << dir.filePath(QStringLiteral("report."));
            view.onCommand(c.command); // No, then the dialog is cancelled
            QCOMPARE(contentOf(target), std::string("old"));
            QCOMPARE(prompt.count(ScriptedPrompt::Kind::Question), 1);
            QCOMPARE(prompt.messageTexts().first(),
                     QStringLiteral("report.%1 已存在。\n要替换它吗？").arg(c.extension));

            prompt.fileNames << dir.filePath(QStringLiteral("report."));
            prompt.answers << tessera::PromptAnswer::Yes;
            view.onCommand(c.command);
            QVERIFY2(contentOf(target) != "old", qPrintable(c.extension));
            QVERIFY(!QFileInfo::exists(dir.filePath(QStringLiteral("report."))));
        }
    }

    // Opening a named pipe must not wait for a writer (the interface would freeze); it is
    // refused with a short message and the rows stay.
    void openingANamedPipeIsRefusedAtOnceAndKeepsTheRows() {
        QTemporaryDir dir;
        const QString fifo = dir.filePath(QStringLiteral("pipe.DM"));
        QCOMPARE(::mkfifo(fifo.toLocal8Bit().constData(), 0600), 0);
        ScriptedPrompt prompt;
        CMarrowbyView view(docWith(3));
        tessera::test::PipeRescue rescue(fifo, std::chrono::seconds(5));
        prompt.fileNames << fifo;
        view.onCommand(ID_FILE_OPEN);
        rescue.stop();
        QVERIFY(!rescue.rescued());
        QCOMPARE(view.rows().size(), size_t{3});
        QCOMPARE(prompt.messageTexts(),
                 QStringList{QStringLiteral("无法打开文件 %1。\n它不是普通文件。").arg(fifo)});

        QString reason;
        tessera::test::PipeRescue again(fifo, std::chrono::seconds(5));
        QVERIFY(!view.readDmFile(fifo, &reason));
        again.stop();
        QVERIFY(!again.rescued());
        QCOMPARE(reason, QStringLiteral("它不是普通文件。"));
    }

    // Open replaces the window's rows: rows changed since they were last opened or saved are
    // asked about first, as when the window closes.
    void openAsksAboutUnsavedRowsBeforeReplacingThem() {
        QTemporaryDir dir;
        const QString other = dir.filePath(QStringLiteral("other.DM"));
        DepthViewData two;
        two.refreshFrom(docWith(2)->records);
        QVERIFY(tessera::writeFileAtomically(other.toStdString(), two.toDm()));
        ScriptedPrompt prompt;
        CMarrowbyView view(docWith(5));
        QVERIFY(view.isModified()); // fresh from the document: never saved

        prompt.fileNames << other;
        prompt.answers << tessera::PromptAnswer::Cancel;
        view.onCommand(ID_FILE_OPEN);
        QCOMPARE(view.rows().size(), size_t{5});
        QCOMPARE(prompt.shown.last().text, QStringLiteral("是否保存对 测深文档1 的更改？"));

        // A file that cannot be read replaces nothing, so nothing is asked.
        prompt.shown.clear();
        prompt.fileNames << dir.filePath(QStringLiteral("missing.DM"));
        view.onCommand(ID_FILE_OPEN);
        QCOMPARE(prompt.count(ScriptedPrompt::Kind::Question), 0);

        // Yes saves first; then the file's rows come in, and nothing is unsaved.
        prompt.fileNames << other << dir.filePath(QStringLiteral("kept"));
        prompt.answers << tessera::PromptAnswer::Yes;
        view.onCommand(ID_FILE_OPEN);
        QCOMPARE(contentOf(dir.filePath(QStringLiteral("kept.DM"))).size(), size_t{18 + 17 * 5});
        QCOMPARE(view.rows().size(), size_t{2});
        QVERIFY(!view.isModified());

        // Rows just opened are replaced without a question.
        prompt.shown.clear();
        prompt.fileNames << other;
        view.onCommand(ID_FILE_OPEN);
        QCOMPARE(prompt.count(ScriptedPrompt::Kind::Question), 0);

        // An edit makes them unsaved again; No goes on without saving.
        EditorScript editor;
        editor.answer = [](std::array<QString, 5>& t) {
            t[4] = QStringLiteral("改");
            return true;
        };
        view.resize(500, 300);
        view.show();
        QTest::mouseClick(view.viewport(), Qt::LeftButton, {},
                          view.visualRect(view.model()->index(0, 0)).center());
        prompt.fileNames << other;
        prompt.answers << tessera::PromptAnswer::No;
        view.onCommand(ID_FILE_OPEN);
        QCOMPARE(prompt.count(ScriptedPrompt::Kind::Question), 1);
        QCOMPARE(prompt.count(ScriptedPrompt::Kind::SaveFile), 0);
        QCOMPARE(cell(view, 0, 4), QString());
    }

    void focusFrameGoesRoundTheWholeRow() {
        CMarrowbyView view(docWith(4));
        view.resize(500, 300);
        view.show();
        QVERIFY(QTest::qWaitForWindowActive(&view));
        view.setFocus();
        view.setCurrentIndex(view.model()->index(2, 1)); // selects the row too
        const QRect row = view.visualRect(view.model()->index(2, 0))
                              .united(view.visualRect(view.model()->index(2, 4)));
        QCOMPARE(view.focusFrameRect(), row);
        const QColor ink = view.palette().color(QPalette::HighlightedText);
        const QImage image =
            view.viewport()->grab().toImage().convertToFormat(QImage::Format_RGB32);
        const qreal scale = image.width() / qreal(view.viewport()->width());
        auto dotsAt = [&](int x) {
            return pixelsOnColumn(image, qRound(x * scale), qRound(row.top() * scale) + 2,
                                  qRound(row.bottom() * scale) - 2, ink);
        };
        // Dotted on both ends of the row, the last column's included; nothing at the edge of
        // the current cell inside the row.
        QVERIFY(dotsAt(row.left()) >= (row.height() - 4) / 2 - 1);
        QVERIFY(dotsAt(row.right()) >= (row.height() - 4) / 2 - 1);
        const QRect cell = view.visualRect(view.model()->index(2, 1));
        QCOMPARE(dotsAt(cell.left()), 0);

        // Without the focus there is no frame.
        view.clearFocus();
        const QImage unfocused =
            view.viewport()->grab().toImage().convertToFormat(QImage::Format_RGB32);
        QCOMPARE(pixelsOnColumn(unfocused, qRound(row.right() * scale),
                                qRound(row.top() * scale) + 2, qRound(row.bottom() * scale) - 2,
                                ink),
                 0);
    }

    void openThatCannotReadLeavesRowsAndSaysNothing() {
        ScriptedPrompt prompt;
        CMarrowbyView view(docWith(3));
        prompt.fileNames << QStringLiteral("/nonexistent/file.DM");
        view.onCommand(ID_FILE_OPEN);
        QCOMPARE(view.rows().size(), size_t{3});
        QCOMPARE(prompt.count(ScriptedPrompt::Kind::Message), 0);
        view.onCommand(ID_FILE_OPEN); // cancelled dialog
        QCOMPARE(view.rows().size(), size_t{3});
    }

    void fileCutShortKeepsRowsReadAndShowsTheEndOfFileMessage() {
        QTemporaryDir dir;
        DepthViewData data;
        data.refreshFrom(docWith(5)->records);
        const std::string full = data.toDm();
        const QString path = dir.filePath(QStringLiteral("cut.DM"));
        QVERIFY(tessera::writeFileAtomically(path.toStdString(), full.substr(0, 18 + 17 * 2 + 3)));
        ScriptedPrompt prompt;
        CMarrowbyView view(std::make_shared<CMarrowbyDoc>());
        prompt.fileNames << path;
        view.onCommand(ID_FILE_OPEN);
        QCOMPARE(view.rows().size(), size_t{2});
        QCOMPARE(prompt.shown.last().text,
                 QStringLiteral("试图越过其尾端对 一未命名文件 进行读写。"));
        QCOMPARE(prompt.shown.last().icon, tessera::PromptIcon::Stop);
    }

    void exportWritesTheTextFile() {
        QTemporaryDir dir;
        ScriptedPrompt prompt;
        auto doc = std::make_shared<CMarrowbyDoc>();
        doc->appendRecord({1, 2, 3, 45, ""});
        doc->appendRecord({-7, 0, 0, 0, ""});
        CMarrowbyView view(doc);
        const QString path = dir.filePath(QStringLiteral("out"));
        QVERIFY(tessera::writeFileAtomically((path + QStringLiteral(".txt")).toStdString(),
                                             std::string(1000, 'x')));
        // The existing file is replaced once the overwrite question is answered Yes.
        prompt.fileNames << path;
        prompt.answers << tessera::PromptAnswer::Yes;
        view.onCommand(ID_EXPORT_TEXT);
        QCOMPARE(prompt.shown.first().request.filter, QStringLiteral(" (*.txt)"));
        QCOMPARE(prompt.shown.first().request.defaultExtension, QStringLiteral("txt"));
        QCOMPARE(prompt.shown.last().text, QStringLiteral("out.txt 已存在。\n要替换它吗？"));
        std::string bytes;
        QVERIFY(tessera::readWholeFile((path + QStringLiteral(".txt")).toStdString(), bytes));
        QCOMPARE(bytes.size(), size_t{34 + 11 + 11});
        QCOMPARE(bytes.substr(34), std::string("1\t2\t3\t45\t\r\n-7\t0\t0\t0\t\r\n"));
        QVERIFY(view.isModified()); // an export is not a save

        prompt.fileNames << QStringLiteral("/nonexistent/dir/out.txt");
        view.onCommand(ID_EXPORT_TEXT);
        QCOMPARE(prompt.count(ScriptedPrompt::Kind::Message), 1);
    }

    void refreshKeepsTheTopRowAndIgnoresOtherHints() {
        auto doc = docWith(200);
        CMarrowbyView view(doc);
        view.resize(400, 300);
        view.show();
        view.verticalScrollBar()->setValue(40);
        QCOMPARE(view.topRowIndex(), 40);
        doc->appendRecord({9, 9, 9, 9, ""});
        doc->updateAllViews(0);
        QCOMPARE(view.rows().size(), size_t{201});
        QCOMPARE(view.topRowIndex(), 40);

        doc->clearRecords();
        doc->updateAllViews(1); // another hint: the rows stay
        QCOMPARE(view.rows().size(), size_t{201});
        doc->updateAllViews(0); // no records: still runs, the list empties
        QCOMPARE(view.rows().size(), size_t{0});
        QCOMPARE(view.topRowIndex(), 0);
    }

    // Dialog resource 132 in 宋体 12: every control at its rectangle in dialog units.
    void recordDialogIsLaidOutFromItsResource() {
        CRecordInfoDlg dialog;
        QCOMPARE(dialog.font().pixelSize(), 16); // 12 points at 96 dots per inch
        const tessera::DialogBaseUnits units = tessera::dialogBaseUnits(dialog.font());
        auto du = [&](int x, int y, int w, int h) {
            return tessera::dialogRect(units, x, y, w, h);
        };
        QCOMPARE(dialog.size(), du(0, 0, 131, 111).size());
        QCOMPARE(dialog.minimumSize(), dialog.maximumSize());
        const QStringList labels{"构件号", "裂缝号", "测点号", "裂缝深度值", "备注"};
        for (int i = 0; i < 5; ++i) {
            QCOMPARE(dialog.edit(i)->geometry(), du(54, 8 + 16 * i, 66, 12));
            QLabel* label = nullptr;
            for (QLabel* l : dialog.findChildren<QLabel*>())
                if (l->text() == labels[i])
                    label = l;
            QVERIFY(label);
            QCOMPARE(label->x(), du(10, 0, 0, 0).x());
            QCOMPARE(label->buddy(), dialog.edit(i));
            // The label stands level with its edit box and fits its text.
            QVERIFY(label->geometry().top() >= dialog.edit(i)->geometry().top());
            QVERIFY(label->geometry().bottom() <= dialog.edit(i)->geometry().bottom());
            QVERIFY(label->width() >= label->sizeHint().width());
        }
        QCOMPARE(dialog.okButton()->geometry(), du(8, 90, 50, 14));
        QCOMPARE(dialog.cancelButton()->geometry(), du(70, 90, 50, 14));
        QVERIFY(dialog.okButton()->isDefault());
    }

    // As dialog edits always have: the one focused on opening, and each reached by Tab, has
    // its whole text selected, so typing replaces it.
    void recordDialogEditsSelectTheirTextOnOpeningAndTab() {
        CRecordInfoDlg dialog;
        dialog.setTexts({"12", "3", "4", "150", "备注"});
        QString firstSelected, typedOver;
        QTimer::singleShot(0, &dialog, [&] {
            QTRY_VERIFY(dialog.edit(0)->hasFocus());
            QTRY_COMPARE(dialog.edit(0)->selectedText(), QStringLiteral("12"));
            firstSelected = dialog.edit(0)->selectedText();
            QTest::keyClick(&dialog, Qt::Key_Tab);
            QTRY_COMPARE(dialog.edit(1)->selectedText(), QStringLiteral("3"));
            QTest::keyClicks(dialog.edit(1), QStringLiteral("7"));
            typedOver = dialog.edit(1)->text();
            dialog.reject();
        });
        dialog.exec();
        QCOMPARE(firstSelected, QStringLiteral("12"));
        QCOMPARE(typedOver, QStringLiteral("7"));
    }

    void recordDialogShowsAndReturnsTheFiveTexts() {
        CRecordInfoDlg dialog;
        QCOMPARE(dialog.windowTitle(), QStringLiteral("记录信息"));
        dialog.setTexts({"1", "2", "3", "4", "r"});
        QCOMPARE(dialog.edit(3)->text(), QStringLiteral("4"));
        ScriptedPrompt prompt;
        QTimer::singleShot(0, &dialog, [&] {
            dialog.edit(4)->setText(QStringLiteral("emoji \U0001F600"));
            dialog.accept(); // refused: the remark cannot be stored
            QVERIFY(dialog.isVisible());
            dialog.edit(4)->setText(QStringLiteral("宽 0.2mm"));
            dialog.accept();
        });
        QCOMPARE(dialog.exec(), int(QDialog::Accepted));
        QCOMPARE(prompt.count(ScriptedPrompt::Kind::Message), 1);
        QCOMPARE(dialog.texts()[4], QStringLiteral("宽 0.2mm"));
    }
};

QTEST_MAIN(ViewTest)
#include "view_test.moc"
