#pragma once
// The record list's rows (RecordRows) as a Qt item model: six columns, the texts decoded from
// GBK only when a cell is shown (the first few thousand bytes of a longer text, followed by
// "…"), a check box in column 0. The rows stay the one place that
// holds texts, check boxes and selection; the model passes on every change they announce.

#include "common/text.h"
#include "width/list/columns.h"
#include "width/list/record_rows.h"

#include <QAbstractTableModel>

namespace fallowmere {

class RecordRowsModel : public QAbstractTableModel, public RowsObserver {
    Q_OBJECT
public:
    RecordRowsModel(RecordRows& rows, std::vector<ListColumn> columns, QObject* parent = nullptr);
    ~RecordRowsModel() override;

    const std::vector<ListColumn>& columns() const { return columns_; }

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    // The check box of column 0 (the keyboard's space bar toggles it).
    bool setData(const QModelIndex& index, const QVariant& value, int role) override;

signals:
    // Rows first..last changed their texts, check boxes or selection.
    void rowsChanged(int first, int last);
    // All rows were replaced or reordered.
    void rowsReset();
    void sortMarkMoved();

private:
    void beforeInsert(size_t first, size_t count) override;
    void afterInsert() override;
    void beforeRemove(size_t first, size_t count) override;
    void afterRemove() override;
    void beforeReset() override;
    void afterReset() override;
    void changed(size_t first, size_t last) override;
    void sortMarkChanged() override { emit sortMarkMoved(); }

    RecordRows& rows_;
    std::vector<ListColumn> columns_;
    mutable tessera::GbkDecoder decoder_;
    mutable std::u16string scratch_;
};

} // namespace fallowmere
