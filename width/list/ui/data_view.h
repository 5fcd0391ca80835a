#pragma once
// The record list, the left pane of the main window: the open project's records, picking the
// records whose photographs the picture pane shows (left click), editing a record (right click
// on its text), deleting records with their photographs, collecting the checked rows for
// printing, and the merge after Add. The algorithms are RecordList's; this widget turns clicks
// into its calls and shows its questions through tessera::prompt().

#include "common/command.h"
#include "width/list/record_list.h"
#include "width/list/ui/modify_dlg.h"
#include "width/list/ui/sort_list_view.h"
#include "width/project/trash.h"

#include <QPointer>

#include <functional>

class QMenu;
class QProgressDialog;

namespace fallowmere {

// The record list's questions and messages in message boxes, and the folder copy's progress
// in a progress dialog that can be cancelled.
class QtListPrompts : public ListPrompts {
public:
    explicit QtListPrompts(QWidget* parent) : parent_(parent) {}
    ~QtListPrompts() override;

    void message(std::string_view caption, std::string_view text, MessageIcon icon) override;
    bool askYesNo(std::string_view caption, std::string_view text) override;
    ReplaceAnswer askReplace(const std::string& existingFile) override;
    tessera::ChangedFileAnswer askChangedOnDisk(const std::string& path) override;
    bool copyProgress(size_t done, size_t total) override;

    // Closes the progress dialog of a finished copy.
    void endProgress();

private:
    QWidget* parent_;
    QPointer<QProgressDialog> progress_;
};

class CDataView : public CSortListView, public tessera::CommandTarget {
    Q_OBJECT
public:
    CDataView(CQuenbyDoc& doc, FileOps& fs, QWidget* parent = nullptr);
    ~CDataView() override;

    CQuenbyDoc& document() const { return doc_; }
    RecordList& recordList() { return list_; }

    // The picture pane: told after each pick (NotifyViews) and given the print command.
    void setPictureView(tessera::CommandTarget* view, std::function<void()> notifyViews);

    // Document refresh: hint 0 replaces the rows after an Open and extends them (with the
    // merge) after an Add; other hints do nothing.
    void OnUpdate(int hint);
    void OnCollectPrint();
    void OnClearChecks();
    void OnRecordDelete();

    // Shows the record dialog with the keyboard focus in field `focusField` (0 group, 1 name, 2
    // remark, its text selected); replaced in tests. True on OK with `texts` holding the GBK
    // texts.
    using RecordEditor =
        std::function<bool(QWidget* parent, CModifyDlg::Texts& texts, int focusField)>;
    static RecordEditor& recordEditor();

    // The context menu of row `row` (显示图片, 编辑信息, 删除记录), as the menu key, Shift+F10
    // and a keyboard context-menu request show it at the focused row. The caller owns it.
    QMenu* rowMenu(int row);

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void keyboardSearch(const QString& search) override;
    // Enter picks the focused row as a click on its text would; the menu key and Shift+F10 open
    // its context menu.
    void keyPressEvent(QKeyEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;

private:
    void pickRow(int row, ClickPlace place);
    // Opens the record dialog on row `row` until the edit is accepted or the dialog cancelled:
    // a refused edit (a rename onto another photograph, ...) brings the dialog back with the
    // texts typed and the name selected.
    void editRow(int row);
    void deleteRow(int row);
    void showRowMenu();

    CQuenbyDoc& doc_;
    QtListPrompts prompts_;
    RecordList list_;
    tessera::CommandTarget* pictureView_ = nullptr;
    std::function<void()> notifyViews_;
};

} // namespace fallowmere
