// The record list: its look, picks in both modes, the questions, edits, deletes, header sorting
// with the triangle, saved column widths and the merge with its folder copy.

#include "common/gbk.h"
#include "common/qt/recent_files_store.h"
#include "tests/support/modal_dialog.h"
#include "tests/support/scripted_prompt.h"
#include "tests/width/project_fixture.h"
#include "width/list/columns.h"
#include "width/list/ui/data_view.h"
#include "width/list/ui/record_rows_model.h"
#include "width/project/command_ids.h"

#include <QLineEdit>
#include <QMenu>
#include <QProgressDialog>
#include <QSettings>
#include <QToolTip>
#include <QtTest>

using namespace fallowmere;
using tessera::ScriptedPrompt;
using widthui::makeProject;
using widthui::numberedRecords;

namespace {

QString utf8(const std::string& gbk) {
    return QString::fromStdString(tessera::gbkToUtf8(gbk));
}

std::string gbk(const QString& text) {
    return tessera::utf8ToGbk(text.toStdString()).value();
}

// Replaces the record dialog for one test.
struct EditorScript {
    int calls = 0;
    CModifyDlg::Texts seen;
    int focusField = -1;
    std::function<bool(CModifyDlg::Texts&)> answer;
    CDataView::RecordEditor previous = CDataView::recordEditor();
    EditorScript() {
        CDataView::recordEditor() = [this](QWidget*, CModifyDlg::Texts& texts, int focus) {
            ++calls;
            seen = texts;
            focusField = focus;
            return answer ? answer(texts) : false;
        };
    }
    ~EditorScript() { CDataView::recordEditor() = previous; }
};

} // namespace

class ListViewTest : public QObject {
    Q_OBJECT

    std::unique_ptr<QTemporaryDir> tmp;
    widthui::Project project;
    std::unique_ptr<CQuenbyDoc> doc;
    TrashFileOps fs;
    std::unique_ptr<CDataView> view;
    std::unique_ptr<ScriptedPrompt> prompt;
    int notified = 0;

    QString name(int row) const { return view->model()->index(row, 1).data().toString(); }
    QStringList names() const {
        QStringList out;
        for (int r = 0; r < view->model()->rowCount(); ++r)
            out << name(r);
        return out;
    }
    QStringList shown() const {
        QStringList out;
        for (const std::string& n : doc->shownNames())
            out << utf8(n);
        return out;
    }
    QPoint textPoint(int row) const {
        return view->visualRect(view->model()->index(row, 1)).center();
    }
    void clickText(int row, Qt::MouseButton button = Qt::LeftButton) {
        QTest::mouseClick(view->viewport(), button, {}, textPoint(row));
    }
    void clickBox(int row, Qt::MouseButton button = Qt::LeftButton) {
        QTest::mouseClick(view->viewport(), button, {}, view->checkBoxRect(row).center());
    }
    void open(const QString& path) {
        doc->clearRecords();
        doc->openProject(path.toStdString(), fs);
        view->OnUpdate(0);
    }

private slots:
    void initTestCase() {
        // Removed photographs go to a trash inside the test's own folder.
        static QTemporaryDir home;
        qputenv("XDG_DATA_HOME", home.path().toUtf8());
    }

    void init() {
        tmp = std::make_unique<QTemporaryDir>();
        project = makeProject(tmp->path(), QStringLiteral("桥.cm"), numberedRecords(9),
                              {QStringLiteral("N9")});
        doc = std::make_unique<CQuenbyDoc>();
        view = std::make_unique<CDataView>(*doc, fs);
        view->setPictureView(nullptr, [this] { ++notified; });
        view->resize(700, 400);
        view->show();
        QVERIFY(QTest::qWaitForWindowExposed(view.get()));
        notified = 0;
        open(project.file);
        prompt = std::make_unique<ScriptedPrompt>();
    }

    void cleanup() {
        prompt.reset();
        view.reset();
        doc.reset();
        tmp.reset();
    }

    void listLooksLikeTheReportList() {
        QCOMPARE(view->model()->columnCount(), 6);
        const QStringList titles{"组号", "名称", "宽度", "模式", "备注", "时间"};
        const int widths[] = {45, 100, 60, 60, 70, 110};
        for (int c = 0; c < 6; ++c) {
            QCOMPARE(view->model()->headerData(c, Qt::Horizontal).toString(), titles[c]);
            QCOMPARE(view->columnWidth(c), widths[c]);
        }
        QVERIFY(view->showGrid());
        QCOMPARE(view->selectionBehavior(), QAbstractItemView::SelectRows);
        QVERIFY(view->horizontalHeader()->sectionsMovable());
        QCOMPARE(view->palette().color(QPalette::Base), QColor(240, 240, 255));
        QCOMPARE(names().size(), 9);
        QCOMPARE(view->model()->index(2, 0).data(Qt::CheckStateRole).value<Qt::CheckState>(),
                 Qt::Unchecked);
        QCOMPARE(view->model()->index(2, 2).data(Qt::CheckStateRole), QVariant());
        QCOMPARE(view->model()->index(2, 3).data().toString(), QStringLiteral("自动"));
        // The background below the rows is the list's own colour.
        const QImage shot = view->viewport()->grab().toImage();
        QCOMPARE(shot.pixelColor(shot.width() - 5, shot.height() - 5), QColor(240, 240, 255));
    }

    void aTextOfMegabytesShowsItsBeginningInTheCell() {
        const QString remark = QStringLiteral("很长的备注").repeated(200'000); // 2 MB in GBK
        const auto p = makeProject(tmp->path(), QStringLiteral("long.cm"),
                                   {{"1", "L1", "0.1", "M", remark, "T"}});
        open(p.file);
        const QString shown = view->model()->index(0, 4).data().toString();
        QVERIFY2(shown.size() < 10'000, qPrintable(QString::number(shown.size())));
        QVERIFY(shown.endsWith(QChar(0x2026)));
        QVERIFY(remark.startsWith(shown.chopped(1)));
        // The cell is drawn with its text, not left blank.
        view->setColumnWidth(4, 200);
        const QImage cell =
            view->viewport()->grab(view->visualRect(view->model()->index(0, 4))).toImage();
        int dark = 0;
        for (int y = 0; y < cell.height(); ++y)
            for (int x = 0; x < cell.width(); ++x)
                dark += qGray(cell.pixel(x, y)) < 128;
        QVERIFY(dark > 20);
    }

    void singleModePickShowsOneRecordAndMovesTheCheck() {
        clickText(2);
        QCOMPARE(shown(), QStringList{"N3"});
        QVERIFY(view->rows().isChecked(2));
        QVERIFY(view->rows().isSelected(2));
        QCOMPARE(utf8(doc->currentRecord().strName), QStringLiteral("N3"));
        QCOMPARE(notified, 1);
        clickBox(4); // a click on the box is a pick too
        QCOMPARE(shown(), QStringList{"N5"});
        QVERIFY(!view->rows().isChecked(2));
        QVERIFY(!view->rows().isSelected(2));
        QVERIFY(view->rows().isChecked(4));
        QCOMPARE(view->rows().checkedRows().size(), size_t(1));
        QCOMPARE(notified, 2);
        QVERIFY(prompt->shown.isEmpty());
    }

    void recordWithoutPhotographOffersItsDeletion() {
        clickText(0);
        QCOMPARE(shown(), QStringList{"N1"});
        clickText(8); // N9 has no photograph
        QCOMPARE(prompt->count(ScriptedPrompt::Kind::Question), 1);
        QCOMPARE(prompt->shown[0].caption, QStringLiteral("删除提示"));
        QCOMPARE(prompt->shown[0].text,
                 QStringLiteral("目录下没有对应图片文件,是否删除对应的记录?"));
        QCOMPARE(names().size(), 9); // declined
        QVERIFY(shown().isEmpty());  // no row is picked now: N1's photograph goes
        QVERIFY(view->rows().checkedRows().empty());

        prompt->answers << tessera::PromptAnswer::Yes;
        clickText(8);
        QCOMPARE(names().size(), 8);
        QVERIFY(!names().contains(QStringLiteral("N9")));
        QCOMPARE(widthui::readProject(project.file).size(), 8);
    }

    void multipleModeShowsAtMostSixInCheckOrder() {
        doc->setMultiMode();
        for (int row : {5, 0, 3, 1, 2, 4})
            clickText(row);
        QCOMPARE(shown(), (QStringList{"N6", "N1", "N4", "N2", "N3", "N5"}));
        clickBox(6); // the seventh
        QCOMPARE(prompt->messageTexts(), QStringList{"软件最大支持同时显示六张图片"});
        QCOMPARE(prompt->shown[0].caption, QStringLiteral("提示"));
        QVERIFY(!view->rows().isChecked(6));
        QCOMPARE(shown().size(), 6);
        // Unchecking rebuilds the names top to bottom.
        clickText(3);
        QCOMPARE(shown(), (QStringList{"N1", "N2", "N3", "N5", "N6"}));
        // A missing photograph asks; declining leaves the row checked.
        clickText(8);
        QVERIFY(view->rows().isChecked(8));
        QCOMPARE(shown().size(), 5);
    }

    void keyboardMayCheckMoreRowsButNoMoreThanSixNamesAreShown() {
        doc->setMultiMode();
        view->setFocus();
        // Whichever cell of the row has the focus: after a click on a row's text and the arrow
        // keys, that is the name's.
        for (int row = 0; row < 8; ++row) {
            view->setCurrentIndex(view->model()->index(row, row % 2));
            QTest::keyClick(view.get(), Qt::Key_Space);
        }
        QCOMPARE(view->rows().checkedRows().size(), size_t(8));
        QTest::keyClick(view.get(), Qt::Key_Space); // again: unchecked
        QVERIFY(!view->rows().isChecked(7));
        QTest::keyClick(view.get(), Qt::Key_Space);
        QVERIFY(view->rows().isChecked(7));
        clickText(7); // unchecks N8: the names are rebuilt from the checked rows
        QCOMPARE(shown(), (QStringList{"N1", "N2", "N3", "N4", "N5", "N6"}));
    }

    void enterPicksTheFocusedRowAndTheMenuKeysOpenItsMenu() {
        view->setFocus();
        view->setCurrentIndex(view->model()->index(3, 2));
        QTest::keyClick(view.get(), Qt::Key_Return); // single mode: shows it
        QCOMPARE(shown(), QStringList{"N4"});
        QVERIFY(view->rows().isChecked(3));
        QCOMPARE(notified, 1);
        doc->setMultiMode();
        view->OnClearChecks();
        QTest::keyClick(view.get(), Qt::Key_Enter, Qt::KeypadModifier); // multiple: toggles
        QVERIFY(view->rows().isChecked(3));
        QCOMPARE(shown(), QStringList{"N4"});
        QTest::keyClick(view.get(), Qt::Key_Return);
        QVERIFY(!view->rows().isChecked(3));
        QVERIFY(shown().isEmpty());

        // The menu key and Shift+F10 open the focused row's menu; a row not checked in
        // multiple-record mode can be shown, not deleted.
        auto menuAfter = [&](Qt::Key key, Qt::KeyboardModifiers mods) {
            QStringList items;
            QTimer watch;
            watch.setInterval(10);
            connect(&watch, &QTimer::timeout, [&] {
                if (auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget())) {
                    watch.stop();
                    for (QAction* a : menu->actions())
                        items << (a->isEnabled() ? QString() : QStringLiteral("(off) ")) +
                                     a->text();
                    menu->close();
                }
            });
            watch.start();
            QTest::keyClick(view.get(), key, mods);
            return items;
        };
        const QStringList expected{"显示图片\tEnter", "编辑信息", "(off) 删除记录\tDelete"};
        QCOMPARE(menuAfter(Qt::Key_Menu, {}), expected);
        QCOMPARE(menuAfter(Qt::Key_F10, Qt::ShiftModifier), expected);

        // Its items do what a click, a right click and the Delete command do for that row.
        std::unique_ptr<QMenu> menu(view->rowMenu(3));
        menu->actions()[0]->trigger();
        QCOMPARE(shown(), QStringList{"N4"});
        menu.reset(view->rowMenu(3));
        QVERIFY(!menu->actions()[0]->isEnabled()); // shown already
        EditorScript editor;
        menu->actions()[1]->trigger();
        QCOMPARE(utf8(editor.seen[1]), QStringLiteral("N4"));
        prompt->answers << tessera::PromptAnswer::Yes;
        menu->actions()[2]->trigger();
        QVERIFY(!names().contains(QStringLiteral("N4")));
        QCOMPARE(names().size(), 8);

        doc->setSingleMode();
        view->rows().setSelected(0, true);
        menu.reset(view->rowMenu(4)); // N6 now
        prompt->answers << tessera::PromptAnswer::Yes;
        menu->actions()[2]->trigger();
        QCOMPARE(names().size(), 7);
        QVERIFY(names().contains(QStringLiteral("N1"))); // only the menu's row
        QVERIFY(!names().contains(QStringLiteral("N6")));
    }

    void doubleClicksAndTypedCharactersAreIgnored() {
        clickText(1);
        const int before = notified;
        QMouseEvent dbl(QEvent::MouseButtonDblClick, textPoint(3),
                        view->viewport()->mapToGlobal(textPoint(3)), Qt::LeftButton, Qt::LeftButton,
                        {});
        QApplication::sendEvent(view->viewport(), &dbl);
        QCOMPARE(notified, before);
        QCOMPARE(shown(), QStringList{"N2"});
        const QModelIndex current = view->currentIndex();
        QTest::keyClicks(view.get(), QStringLiteral("N7"));
        QCOMPARE(view->currentIndex(), current);
    }

    void rightClickEditsTheRecordAndItsPhotographFollows() {
        EditorScript editor;
        editor.answer = [](CModifyDlg::Texts& texts) {
            texts = {gbk("9"), gbk("东墙裂缝"), gbk("已修补")};
            return true;
        };
        clickBox(2, Qt::RightButton); // on the box: nothing
        QCOMPARE(editor.calls, 0);
        clickText(2, Qt::RightButton);
        QCOMPARE(editor.calls, 1);
        QCOMPARE(utf8(editor.seen[1]), QStringLiteral("N3"));
        QCOMPARE(name(2), QStringLiteral("东墙裂缝"));
        QCOMPARE(view->model()->index(2, 4).data().toString(), QStringLiteral("已修补"));
        QVERIFY(QFile::exists(project.pictures + QStringLiteral("/东墙裂缝.jpg")));
        QVERIFY(!QFile::exists(project.pictures + QStringLiteral("/N3.jpg")));
        const auto rows = widthui::readProject(project.file);
        QCOMPARE(rows[2].mid(0, 2), (QStringList{"9", "东墙裂缝"}));
        QCOMPARE(utf8(doc->currentRecord().strName), QStringLiteral("东墙裂缝"));
        QVERIFY(view->rows().isSelected(2));

        // Cancel changes nothing.
        editor.answer = nullptr;
        clickText(4, Qt::RightButton);
        QCOMPARE(name(4), QStringLiteral("N5"));
    }

    void aRefusedRenameBringsTheDialogBackWithWhatWasTyped() {
        EditorScript editor;
        QList<int> focus;
        // The first call types a name whose photograph exists (N4.jpg); the second, the dialog
        // coming back, is cancelled.
        editor.answer = [&](CModifyDlg::Texts& texts) {
            focus << editor.focusField;
            if (editor.calls > 1)
                return false;
            texts = {gbk("新组"), gbk("N4"), gbk("新备注")};
            return true;
        };
        clickText(2, Qt::RightButton);
        QCOMPARE(focus, (QList<int>{0, 1}));
        QCOMPARE(prompt->shown.size(), 1); // the refusal
        QCOMPARE(editor.calls, 2);
        QCOMPARE(utf8(editor.seen[0]), QStringLiteral("新组"));
        QCOMPARE(utf8(editor.seen[1]), QStringLiteral("N4"));
        QCOMPARE(utf8(editor.seen[2]), QStringLiteral("新备注"));
        QCOMPARE(name(2), QStringLiteral("N3"));
        QVERIFY(QFile::exists(project.pictures + QStringLiteral("/N3.jpg")));

        // In the real dialog the name starts selected.
        CModifyDlg dialog;
        dialog.setTexts(editor.seen);
        dialog.focusField(1);
        QString selected;
        testing_modal::whenModal([&](QWidget*) {
            QTRY_VERIFY(dialog.edit(1)->hasSelectedText());
            selected = dialog.edit(1)->selectedText();
            dialog.reject();
        });
        dialog.exec();
        QCOMPARE(selected, QStringLiteral("N4"));
    }

    void editDialogKeepsUntouchedBytesAndRefusesWhatGbkCannotHold() {
        CModifyDlg dialog;
        const std::string raw("\x81\x30", 2); // not a complete GBK character
        dialog.setTexts({raw, gbk("N1"), gbk("旧")});
        int messages = 0;
        prompt->onShown = [&](const ScriptedPrompt::Shown&) { ++messages; };
        testing_modal::whenModal([&](QWidget*) {
            dialog.edit(2)->setText(QStringLiteral("新 😀"));
            dialog.accept(); // refused: stays open
            QVERIFY(dialog.isVisible());
            dialog.edit(2)->setText(QStringLiteral("新备注"));
            dialog.accept();
        });
        QCOMPARE(dialog.exec(), int(QDialog::Accepted));
        QCOMPARE(messages, 1);
        QCOMPARE(dialog.texts()[0], raw);
        QCOMPARE(utf8(dialog.texts()[2]), QStringLiteral("新备注"));
        QCOMPARE(dialog.windowTitle(), QStringLiteral("信息"));
    }

    void deleteInSingleModeNeedsASelectedRow() {
        view->clearSelection();
        view->OnRecordDelete();
        QCOMPARE(prompt->messageTexts(), QStringList{"请选择一行数据"});
        QCOMPARE(prompt->shown[0].caption, QStringLiteral("警告"));

        clickText(1);
        prompt->answers << tessera::PromptAnswer::Yes;
        QVERIFY(view->onCommand(ID_RECORD_DELETE));
        QCOMPARE(prompt->shown.last().text, QStringLiteral("是否删除对应的记录?"));
        QVERIFY(!names().contains(QStringLiteral("N2")));
        QVERIFY(!QFile::exists(project.pictures + QStringLiteral("/N2.jpg")));
        // The photograph went to the trash, not away for good.
        const QString trash =
            qEnvironmentVariable("XDG_DATA_HOME") + QStringLiteral("/Trash/files");
        QVERIFY(!QDir(trash).entryList({QStringLiteral("N2*.jpg")}).isEmpty());
        QCOMPARE(widthui::readProject(project.file).size(), 8);
        QVERIFY(view->rows().isSelected(0)); // the first row is selected afterwards
    }

    void deleteInMultipleModeRemovesEveryCheckedRow() {
        doc->setMultiMode();
        clickText(0);
        clickText(3);
        prompt->answers << tessera::PromptAnswer::Yes;
        view->OnRecordDelete();
        QCOMPARE(names(), (QStringList{"N2", "N3", "N5", "N6", "N7", "N8", "N9"}));
        QCOMPARE(doc->shownCount(), 0);
        QVERIFY(!QFile::exists(project.pictures + QStringLiteral("/N4.jpg")));
        QCOMPARE(widthui::readProject(project.file).first().at(1), QStringLiteral("N2"));
        // In the trash, with what puts it back.
        const QString trash = QString::fromStdString(homeTrashFolder());
        QVERIFY(QFile::exists(trash + QStringLiteral("/files/N4.jpg")));
        QFile info(trash + QStringLiteral("/info/N4.jpg.trashinfo"));
        QVERIFY(info.open(QIODevice::ReadOnly));
        QVERIFY(info.readAll().contains("/CrackData/N4.jpg\n"));
    }

    void headerClickSortsAndMarksTheColumnWithItsTriangle() {
        auto* header = view->sortHeader();
        QPalette p = header->palette();
        p.setColor(QPalette::Light, QColor(255, 0, 0));
        p.setColor(QPalette::Dark, QColor(0, 0, 255));
        header->setPalette(p);
        auto clickHeader = [&](int column) {
            const int x = header->sectionViewportPosition(column) + header->sectionSize(column) / 2;
            QTest::mouseClick(header->viewport(), Qt::LeftButton, {},
                              QPoint(x, header->height() / 2));
        };
        auto widths = [&] {
            QStringList out;
            for (int r = 0; r < view->model()->rowCount(); ++r)
                out << view->model()->index(r, 2).data().toString();
            return out;
        };
        // Pixel (x, y) of the header counted from the right and bottom of section 2.
        auto pixel = [&](int fromRight, int y) {
            const QImage image = header->viewport()->grab().toImage();
            const int right = header->sectionViewportPosition(2) + header->sectionSize(2);
            return image.pixelColor(right - fromRight, y);
        };
        const int q = header->height() / 4;
        const int bottom = header->height();
        // The strip between the triangle and the right edge of section 2 and the same strip of
        // section 4, never sorted: the marked item keeps the face and frame of the others.
        auto stripsMatch = [&] {
            const QImage image = header->viewport()->grab().toImage();
            auto right = [&](int s) {
                return header->sectionViewportPosition(s) + header->sectionSize(s);
            };
            for (int y = 0; y < bottom; ++y)
                for (int fromRight = 1; fromRight < q; ++fromRight)
                    if (image.pixelColor(right(2) - fromRight, y) !=
                        image.pixelColor(right(4) - fromRight, y))
                        return false;
            return true;
        };

        clickHeader(2);
        QStringList sorted = widths();
        QStringList expected = sorted;
        std::sort(expected.begin(), expected.end(),
                  [](const QString& a, const QString& b) { return a.toDouble() < b.toDouble(); });
        QCOMPARE(sorted, expected);
        QCOMPARE(header->sortColumn(), 2);
        QVERIFY(header->ascending());
        // Pointing up: the base is light, along the bottom.
        QCOMPARE(pixel(2 * q, bottom - q - 1), QColor(255, 0, 0));
        QVERIFY(stripsMatch());

        clickHeader(2);
        std::reverse(expected.begin(), expected.end());
        QCOMPARE(widths(), expected);
        QVERIFY(!header->ascending());
        // Pointing down: the top edge is dark.
        QCOMPARE(pixel(2 * q, q), QColor(0, 0, 255));

        clickHeader(1); // another column sorts ascending
        QCOMPARE(header->sortColumn(), 1);
        QVERIFY(header->ascending());
        // No triangle now: where its tip was, the face of an item never sorted.
        const QImage image = header->viewport()->grab().toImage();
        QCOMPARE(pixel(2 * q, q),
                 image.pixelColor(
                     header->sectionViewportPosition(4) + header->sectionSize(4) - 2 * q, q));

        // Rows read anew are in file order: the mark goes, and the next click sorts ascending.
        clickHeader(2);
        open(project.file);
        QCOMPARE(header->sortColumn(), -1);
        QCOMPARE(pixel(2 * q, bottom - q - 1),
                 header->viewport()->grab().toImage().pixelColor(
                     header->sectionViewportPosition(4) + header->sectionSize(4) - 2 * q,
                     bottom - q - 1));
        clickHeader(2);
        QVERIFY(header->ascending());
    }

    // A cut cell shows its whole text as a tooltip; a double-click on the divider after a column
    // fits the column to its texts.
    void cutTextsShowAsTooltipsAndDividersFitTheirColumn() {
        view->setColumnWidth(5, 40);
        auto tooltipAt = [&](int row, int column) {
            const QPoint pos = view->visualRect(view->model()->index(row, column)).center();
            QHelpEvent help(QEvent::ToolTip, pos, view->viewport()->mapToGlobal(pos));
            QApplication::sendEvent(view->viewport(), &help);
            return help.isAccepted() && QToolTip::isVisible() ? QToolTip::text() : QString();
        };
        QCOMPARE(tooltipAt(2, 5), QStringLiteral("2017-03-13 10:00"));
        QCOMPARE(tooltipAt(2, 1), QString()); // "N3" fits

        auto* header = view->sortHeader();
        const QPoint divider(header->sectionViewportPosition(5) + header->sectionSize(5) - 1,
                             header->height() / 2);
        QTest::mouseDClick(header->viewport(), Qt::LeftButton, {}, divider);
        const int needed =
            view->fontMetrics().horizontalAdvance(QStringLiteral("2017-03-13 10:00"));
        QVERIFY2(view->columnWidth(5) > needed, qPrintable(QString::number(view->columnWidth(5))));
        QCOMPARE(tooltipAt(2, 5), QString());
        QVERIFY(view->saveHeaderLayout()); // kept like any width
        QSettings settings(QString::fromLatin1(tessera::kSettingsOrganization),
                           QString::fromLatin1(kSettingsApplication));
        const QString key = QStringLiteral("ListCtrls/%1").arg(kRecordListControlId);
        QCOMPARE(decodeSavedColumnWidths(settings.value(key).toByteArray().toStdString(), 6)->at(5),
                 view->columnWidth(5));
        settings.remove(key);
    }

    void columnWidthsComeFromTheSettingsAndGoBackThere() {
        QSettings settings(QString::fromLatin1(tessera::kSettingsOrganization),
                           QString::fromLatin1(kSettingsApplication));
        const QString key = QStringLiteral("ListCtrls/%1").arg(kRecordListControlId);
        const std::string six = encodeSavedColumnWidths({30, 150, 61, 62, 90, 140});
        settings.setValue(key, QByteArray::fromStdString(six));
        settings.sync();
        CDataView restored(*doc, fs);
        restored.RestoreHeaderLayout();
        QCOMPARE(restored.columnWidth(1), 150);
        QCOMPARE(restored.columnWidth(5), 140);

        restored.setColumnWidth(4, 123);
        QVERIFY(restored.saveHeaderLayout());
        settings.sync();
        const QByteArray saved = settings.value(key).toByteArray();
        QCOMPARE(decodeSavedColumnWidths(saved.toStdString(), 6),
                 (std::vector<int32_t>{30, 150, 61, 62, 123, 140}));

        // Widths of another list's layout are ignored.
        settings.setValue(key, QByteArray::fromStdString(encodeSavedColumnWidths({99, 99})));
        settings.sync();
        CDataView other(*doc, fs);
        other.RestoreHeaderLayout();
        QCOMPARE(other.columnWidth(1), 100);
        settings.remove(key);
    }

    void mergeAppendsRewritesAndCopiesWithReplaceQuestions() {
        QTemporaryDir second;
        QList<widthui::Record> added = numberedRecords(2); // N1 and N2 exist already
        added.append({"5", "M1", "0.3", "手动", "", "2017-04-01"});
        const auto other = makeProject(second.path(), QStringLiteral("二.cm"), added);
        // The open project's folder already holds N1.jpg and N2.jpg: two replace questions.
        prompt->choices << tessera::PromptChoice::No << tessera::PromptChoice::Cancel;
        view->sortHeader()->sectionClicked(1);
        doc->clearRecords();
        doc->addProject(other.file.toStdString(), fs);
        view->OnUpdate(0);
        QCOMPARE(view->sortHeader()->sortColumn(), -1); // M1 stands below the sorted rows
        QCOMPARE(names().size(), 10);
        QCOMPARE(names().last(), QStringLiteral("M1"));
        QCOMPARE(widthui::readProject(project.file).size(), 10);
        QCOMPARE(prompt->shown.last().caption, QStringLiteral("信息提示"));
        QCOMPARE(prompt->shown.last().text, QStringLiteral("复制文件夹的操作被取消"));
        QCOMPARE(prompt->count(ScriptedPrompt::Kind::Question), 2);
        QVERIFY(prompt->shown[0].text.contains(QStringLiteral("N1.jpg")));
    }

    void mergeCanBeCancelledFromItsProgressDialog() {
        QTemporaryDir second;
        QList<widthui::Record> added;
        for (const char* n : {"A1", "A2", "N1", "N2"})
            added.append({"7", n, "0.1", "", "", ""});
        const auto other = makeProject(second.path(), QStringLiteral("三.cm"), added);
        // Replacing N1.jpg is asked after A1 and A2 were copied; the user cancels the progress
        // dialog meanwhile, so N2.jpg is never reached.
        prompt->choices << tessera::PromptChoice::Yes << tessera::PromptChoice::Yes;
        bool sawProgress = false;
        prompt->onShown = [&](const ScriptedPrompt::Shown& s) {
            if (s.kind != ScriptedPrompt::Kind::Question)
                return;
            if (auto* progress = view->findChild<QProgressDialog*>()) {
                sawProgress = true;
                progress->cancel();
            }
        };
        doc->clearRecords();
        doc->addProject(other.file.toStdString(), fs);
        view->OnUpdate(0);
        QVERIFY(sawProgress);
        QCOMPARE(prompt->count(ScriptedPrompt::Kind::Question), 1);
        QCOMPARE(prompt->shown.last().text, QStringLiteral("复制文件夹的操作被取消"));
        QVERIFY(QFile::exists(project.dir + QStringLiteral("/CrackData/A2.jpg")));
        QVERIFY(!view->findChild<QProgressDialog*>()); // closed after the copy
    }

    void collectingForPrintTakesTheCheckedRowsInListOrder() {
        doc->setMultiMode();
        clickText(4);
        clickText(1);
        view->OnCollectPrint();
        QVERIFY(doc->printReady());
        QCOMPARE(doc->printList().size(), size_t(2));
        QCOMPARE(utf8(doc->printList()[0].strName), QStringLiteral("N2"));
        QCOMPARE(utf8(doc->printList()[1].strName), QStringLiteral("N5"));
        view->OnClearChecks();
        view->OnCollectPrint();
        QVERIFY(!doc->printReady());
    }
};

QTEST_MAIN(ListViewTest)
#include "list_view_test.moc"
