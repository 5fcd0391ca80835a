// A depth window: the list, record editing, Open/Save/Export, refresh.

#include "common/atomic_file.h"
#include "depth/app/ui/marrowby_view.h"
#include "depth/document/ui/record_info_dlg.h"
#include "tests/support/scripted_prompt.h"

#include <QHeaderView>
#include <QLineEdit>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QtTest>

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
