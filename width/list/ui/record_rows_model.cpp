#include "width/list/ui/record_rows_model.h"

#include "common/gbk.h"
#include "common/qt/text.h"

namespace fallowmere {
namespace {

// A cell shows at most this many bytes of its text, cut after a whole character and followed
// by "…": more than the widest column shows, so that a text of megabytes is decoded, measured
// and drawn as quickly as a short one (the style elides what does not fit anyway).
constexpr size_t kShownBytes = 4096;

} // namespace

RecordRowsModel::RecordRowsModel(RecordRows& rows, std::vector<ListColumn> columns, QObject* parent)
    : QAbstractTableModel(parent), rows_(rows), columns_(std::move(columns)) {
    rows_.setObserver(this);
}

RecordRowsModel::~RecordRowsModel() {
    rows_.setObserver(nullptr);
}

int RecordRowsModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(rows_.size());
}

int RecordRowsModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(columns_.size());
}

QVariant RecordRowsModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || static_cast<size_t>(index.row()) >= rows_.size())
        return {};
    const size_t row = static_cast<size_t>(index.row());
    const int column = index.column();
    switch (role) {
    case Qt::DisplayRole: {
        if (column < 0 || column >= CRecordStru::kFieldCount)
            return {};
        std::string_view text = rows_.record(row).field(column);
        const bool cut = text.size() > kShownBytes;
        if (cut)
            text = text.substr(0, tessera::gbkPrefixLength(text, kShownBytes));
        decoder_.toUtf16(text, scratch_);
        QString shown = QString::fromStdU16String(scratch_);
        if (cut)
            shown += QChar(0x2026);
        return shown;
    }
    case Qt::CheckStateRole:
        if (column == 0)
            return rows_.isChecked(row) ? Qt::Checked : Qt::Unchecked;
        return {};
    case Qt::TextAlignmentRole:
        return QVariant::fromValue(Qt::AlignLeft | Qt::AlignVCenter);
    default:
        return {};
    }
}

QVariant RecordRowsModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || section < 0 ||
        static_cast<size_t>(section) >= columns_.size())
        return {};
    if (role == Qt::DisplayRole)
        return tessera::fromUtf8(columns_[static_cast<size_t>(section)].title);
    if (role == Qt::TextAlignmentRole)
        return QVariant::fromValue(Qt::AlignLeft | Qt::AlignVCenter);
    return {};
}

Qt::ItemFlags RecordRowsModel::flags(const QModelIndex& index) const {
    if (!index.isValid())
        return Qt::NoItemFlags;
    Qt::ItemFlags f = Qt::ItemIsEnabled | Qt::ItemIsSelectable;
    if (index.column() == 0)
        f |= Qt::ItemIsUserCheckable;
    return f;
}

bool RecordRowsModel::setData(const QModelIndex& index, const QVariant& value, int role) {
    if (role != Qt::CheckStateRole || !index.isValid() || index.column() != 0 ||
        static_cast<size_t>(index.row()) >= rows_.size())
        return false;
    rows_.setChecked(static_cast<size_t>(index.row()),
                     value.value<Qt::CheckState>() == Qt::Checked);
    return true;
}

void RecordRowsModel::beforeInsert(size_t first, size_t count) {
    beginInsertRows({}, static_cast<int>(first), static_cast<int>(first + count - 1));
}

void RecordRowsModel::afterInsert() {
    endInsertRows();
}

void RecordRowsModel::beforeRemove(size_t first, size_t count) {
    beginRemoveRows({}, static_cast<int>(first), static_cast<int>(first + count - 1));
}

void RecordRowsModel::afterRemove() {
    endRemoveRows();
}

void RecordRowsModel::beforeReset() {
    beginResetModel();
}

void RecordRowsModel::afterReset() {
    endResetModel();
    emit rowsReset();
}

void RecordRowsModel::changed(size_t first, size_t last) {
    emit dataChanged(index(static_cast<int>(first), 0),
                     index(static_cast<int>(last), columnCount() - 1));
    emit rowsChanged(static_cast<int>(first), static_cast<int>(last));
}

} // namespace fallowmere
