#pragma once
// The sortable report list: a table over RecordRows with grid lines, a check box in column 0,
// full-row selection, headers that can be dragged to reorder the columns, and sorting by a
// click on a column header. The header marks the sort column with a small bevelled triangle.
// Column widths are restored from the per-user settings (group "ListCtrls", key = the list's
// control id) and written back there when the program exits.

#include "width/list/record_rows.h"
#include "width/list/sort_rules.h"

#include <QHeaderView>
#include <QSet>
#include <QTableView>

#include <memory>

namespace fallowmere {

class RecordRowsModel;

class CSortHeaderCtrl : public QHeaderView {
    Q_OBJECT
public:
    explicit CSortHeaderCtrl(QWidget* parent = nullptr);

    // Stores the sort column and direction and draws that item from now on (an item once
    // marked keeps being drawn this way, without a triangle when another column is sorted).
    // Column -1: no triangle anywhere (the rows are in no sort's order).
    void MarkSortColumn(int column, bool ascending);
    int sortColumn() const { return m_nSortColumn; }
    bool ascending() const { return m_bAscending; }

protected:
    void paintSection(QPainter* painter, const QRect& rect, int logicalIndex) const override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    int m_nSortColumn = -1;
    bool m_bAscending = true;
    QSet<int> ownerDrawn_;
    int pressed_ = -1;
};

class CSortListView : public QTableView {
    Q_OBJECT
public:
    // `controlId` names the list's saved column widths; `settingsApplication` the settings file.
    CSortListView(int controlId, QString settingsApplication, QWidget* parent = nullptr);
    ~CSortListView() override;

    RecordRows& rows() { return rows_; }
    const RecordRows& rows() const { return rows_; }
    RecordRowsModel* rowsModel() const { return model_; }
    CSortHeaderCtrl* sortHeader() const { return header_; }
    const TextCollator& collator() const { return *collator_; }

    // Applies the widths saved for this list, when there are as many as columns.
    void RestoreHeaderLayout();
    // Writes the current widths (column order as created) to the settings.
    bool saveHeaderLayout() const;

    // The rectangle of row `row`'s check box, in viewport coordinates.
    QRect checkBoxRect(int row) const;

protected:
    // A click on a column header; the record list sorts through its own rules.
    virtual void OnHeaderClick(int column);
    // The space bar toggles the check box of the focused row, whichever of its cells the
    // keyboard focus is on (after a click on a row's text, the name's cell).
    void keyPressEvent(QKeyEvent* event) override;

private:
    void pushSelection(int first, int last);
    void pushAllSelection();
    void pullSelection(const QItemSelection& selected, const QItemSelection& deselected);

    int controlId_;
    QString settingsApplication_;
    RecordRows rows_;
    std::unique_ptr<TextCollator> collator_;
    RecordRowsModel* model_;
    CSortHeaderCtrl* header_;
    bool syncing_ = false;
};

} // namespace fallowmere
