#include "width/list/ui/sort_list_view.h"

#include "common/qt/recent_files_store.h"
#include "width/list/columns.h"
#include "width/list/qt/zh_collator.h"
#include "width/list/sort_mark.h"
#include "width/list/ui/record_rows_model.h"

#include <QHelpEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QSettings>
#include <QStyleOptionHeader>
#include <QStyledItemDelegate>
#include <QToolTip>

namespace fallowmere {
namespace {

// Check boxes change only through the list's own click handling (picking records) and the
// keyboard's space bar; the item delegate's own mouse toggling is switched off. A cell too
// narrow for its text shows the whole text as its tooltip.
class CheckBoxDelegate : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;
    bool helpEvent(QHelpEvent* event, QAbstractItemView* view, const QStyleOptionViewItem& option,
                   const QModelIndex& index) override {
        if (event->type() != QEvent::ToolTip || !index.isValid())
            return QStyledItemDelegate::helpEvent(event, view, option, index);
        // option.rect is the cell as drawn (without the grid line). A double-click on a header
        // divider fits a column to the same size hints (QTableView::resizeColumnToContents).
        const QString text = index.data().toString();
        const bool cut = !text.isEmpty() && sizeHint(option, index).width() > option.rect.width();
        QToolTip::showText(event->globalPos(), cut ? text : QString(), view->viewport(),
                           option.rect);
        event->setAccepted(cut);
        return true;
    }
    bool editorEvent(QEvent* event, QAbstractItemModel* model, const QStyleOptionViewItem& option,
                     const QModelIndex& index) override {
        switch (event->type()) {
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonRelease:
        case QEvent::MouseButtonDblClick:
        case QEvent::MouseMove:
            return false;
        default:
            return QStyledItemDelegate::editorEvent(event, model, option, index);
        }
    }
};

std::vector<ListColumn> recordListColumns() {
    std::vector<ListColumn> columns;
    SetUpColumns(kRecordListColumns, columns);
    return columns;
}

} // namespace

CSortHeaderCtrl::CSortHeaderCtrl(QWidget* parent) : QHeaderView(Qt::Horizontal, parent) {
    setSectionsClickable(true);
    setSectionsMovable(true);
    setHighlightSections(false);
    setSortIndicatorShown(false);
    setStretchLastSection(false);
    setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
}

void CSortHeaderCtrl::MarkSortColumn(int column, bool ascending) {
    m_nSortColumn = column;
    m_bAscending = ascending;
    if (column >= 0)
        ownerDrawn_.insert(column);
    viewport()->update();
}

void CSortHeaderCtrl::paintSection(QPainter* painter, const QRect& rect, int logicalIndex) const {
    if (!ownerDrawn_.contains(logicalIndex)) {
        QHeaderView::paintSection(painter, rect, logicalIndex);
        return;
    }
    painter->save();
    painter->setClipRect(rect);
    // The item's face and frame as the style draws every other item (its gradient, separator
    // and bottom edge), without its text: text and triangle follow.
    QStyleOptionHeader face;
    initStyleOptionForIndex(&face, logicalIndex);
    face.rect = rect;
    face.text.clear();
    face.icon = QIcon();
    face.sortIndicator = QStyleOptionHeader::None;
    style()->drawControl(QStyle::CE_HeaderSection, &face, painter, this);

    const HeaderBox item{rect.left(), rect.top(), rect.left() + rect.width(),
                         rect.top() + rect.height()};
    const bool sorted = logicalIndex == m_nSortColumn;
    const SortHeaderDrawing d =
        layoutSortHeaderItem(item, pressed_ == logicalIndex, sorted, m_bAscending);
    if (d.drawText && model()) {
        const QString text = model()->headerData(logicalIndex, Qt::Horizontal).toString();
        const Qt::Alignment align =
            model()
                ->headerData(logicalIndex, Qt::Horizontal, Qt::TextAlignmentRole)
                .value<Qt::Alignment>();
        const QRect textRect(QPoint(d.text.left, d.text.top),
                             QPoint(d.text.right - 1, d.text.bottom - 1));
        const QString shown =
            painter->fontMetrics().elidedText(text, Qt::ElideRight, textRect.width());
        Qt::Alignment horizontal = Qt::AlignLeft;
        if (align & Qt::AlignHCenter)
            horizontal = Qt::AlignHCenter;
        else if (align & Qt::AlignRight)
            horizontal = Qt::AlignRight;
        painter->setPen(palette().color(QPalette::ButtonText));
        painter->drawText(textRect, int(horizontal | Qt::AlignVCenter | Qt::TextSingleLine), shown);
    }
    if (sorted) {
        const QPen light(palette().color(QPalette::Light), 1);
        const QPen dark(palette().color(QPalette::Dark), 1);
        for (const HeaderLine& l : d.triangle) {
            painter->setPen(l.light ? light : dark);
            painter->drawLine(l.x1, l.y1, l.x2, l.y2);
        }
    }
    painter->restore();
}

void CSortHeaderCtrl::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton)
        pressed_ = logicalIndexAt(event->position().toPoint());
    QHeaderView::mousePressEvent(event);
}

void CSortHeaderCtrl::mouseReleaseEvent(QMouseEvent* event) {
    const int was = pressed_;
    pressed_ = -1;
    QHeaderView::mouseReleaseEvent(event);
    if (was >= 0)
        viewport()->update();
}

CSortListView::CSortListView(int controlId, QString settingsApplication, QWidget* parent)
    : QTableView(parent), controlId_(controlId),
      settingsApplication_(std::move(settingsApplication)),
      collator_(std::make_unique<ZhCollator>()),
      model_(new RecordRowsModel(rows_, recordListColumns(), this)),
      header_(new CSortHeaderCtrl(this)) {
    setHorizontalHeader(header_);
    setModel(model_);
    setItemDelegate(new CheckBoxDelegate(this));
    setShowGrid(true);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setSelectionMode(QAbstractItemView::ExtendedSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setWordWrap(false);
    setCornerButtonEnabled(false);
    setHorizontalScrollMode(QAbstractItemView::ScrollPerPixel);
    verticalHeader()->hide();
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 4);
    const auto& columns = model_->columns();
    for (size_t c = 0; c < columns.size(); ++c)
        setColumnWidth(static_cast<int>(c), columns[c].width);

    QPalette p = palette();
    p.setColor(QPalette::Base, QColor(240, 240, 255));
    setPalette(p);

    connect(header_, &QHeaderView::sectionClicked, this,
            [this](int column) { OnHeaderClick(column); });
    connect(model_, &RecordRowsModel::sortMarkMoved, this,
            [this] { header_->MarkSortColumn(rows_.sortColumn(), rows_.ascending()); });
    connect(model_, &RecordRowsModel::rowsChanged, this, &CSortListView::pushSelection);
    connect(model_, &RecordRowsModel::rowsReset, this, &CSortListView::pushAllSelection);
    connect(selectionModel(), &QItemSelectionModel::selectionChanged, this,
            &CSortListView::pullSelection);
}

CSortListView::~CSortListView() = default;

void CSortListView::OnHeaderClick(int column) {
    rows_.OnHeaderClick(column, *collator_);
}

void CSortListView::keyPressEvent(QKeyEvent* event) {
    const QModelIndex current = currentIndex();
    if ((event->key() == Qt::Key_Space || event->key() == Qt::Key_Select) &&
        event->modifiers() == Qt::NoModifier && current.isValid()) {
        const QModelIndex box = model_->index(current.row(), 0);
        const bool checked = box.data(Qt::CheckStateRole).value<Qt::CheckState>() == Qt::Checked;
        model_->setData(box, checked ? Qt::Unchecked : Qt::Checked, Qt::CheckStateRole);
        event->accept();
        return;
    }
    QTableView::keyPressEvent(event);
}

void CSortListView::pushSelection(int first, int last) {
    if (syncing_)
        return;
    syncing_ = true;
    QItemSelection select, deselect;
    for (int r = first; r <= last; ++r) {
        const bool want = rows_.isSelected(static_cast<size_t>(r));
        if (want == selectionModel()->isRowSelected(r, {}))
            continue;
        (want ? select : deselect).select(model_->index(r, 0), model_->index(r, 0));
    }
    if (!deselect.isEmpty())
        selectionModel()->select(deselect,
                                 QItemSelectionModel::Deselect | QItemSelectionModel::Rows);
    if (!select.isEmpty())
        selectionModel()->select(select, QItemSelectionModel::Select | QItemSelectionModel::Rows);
    syncing_ = false;
}

void CSortListView::pushAllSelection() {
    if (syncing_)
        return;
    syncing_ = true;
    QItemSelection selection;
    const int n = static_cast<int>(rows_.size());
    for (int r = 0; r < n;) {
        if (!rows_.isSelected(static_cast<size_t>(r))) {
            ++r;
            continue;
        }
        int end = r;
        while (end + 1 < n && rows_.isSelected(static_cast<size_t>(end + 1)))
            ++end;
        selection.select(model_->index(r, 0), model_->index(end, 0));
        r = end + 1;
    }
    selectionModel()->select(selection,
                             QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    syncing_ = false;
}

void CSortListView::pullSelection(const QItemSelection& selected,
                                  const QItemSelection& deselected) {
    if (syncing_)
        return;
    syncing_ = true;
    auto apply = [this](const QItemSelection& ranges, bool on) {
        for (const QItemSelectionRange& range : ranges)
            for (int r = range.top(); r <= range.bottom(); ++r)
                if (static_cast<size_t>(r) < rows_.size())
                    rows_.setSelected(static_cast<size_t>(r),
                                      on || selectionModel()->isRowSelected(r, {}));
    };
    apply(deselected, false);
    apply(selected, true);
    syncing_ = false;
}

void CSortListView::RestoreHeaderLayout() {
    QSettings settings(QString::fromLatin1(tessera::kSettingsOrganization), settingsApplication_);
    settings.beginGroup(QStringLiteral("ListCtrls"));
    const QByteArray saved = settings.value(QString::number(controlId_)).toByteArray();
    if (saved.isEmpty())
        return;
    const auto widths = decodeSavedColumnWidths(std::string_view(saved.constData(), saved.size()),
                                                static_cast<size_t>(header_->count()));
    if (!widths)
        return;
    for (size_t i = 0; i < widths->size(); ++i)
        header_->resizeSection(static_cast<int>(i), std::max(0, (*widths)[i]));
    header_->viewport()->update();
}

bool CSortListView::saveHeaderLayout() const {
    std::vector<int32_t> widths;
    for (int i = 0; i < header_->count(); ++i)
        widths.push_back(header_->sectionSize(i));
    const std::string bytes = encodeSavedColumnWidths(widths);
    QSettings settings(QString::fromLatin1(tessera::kSettingsOrganization), settingsApplication_);
    settings.beginGroup(QStringLiteral("ListCtrls"));
    settings.setValue(QString::number(controlId_),
                      QByteArray(bytes.data(), static_cast<qsizetype>(bytes.size())));
    settings.endGroup();
    settings.sync();
    return settings.status() == QSettings::NoError;
}

QRect CSortListView::checkBoxRect(int row) const {
    const QModelIndex index = model_->index(row, 0);
    QStyleOptionViewItem option;
    initViewItemOption(&option);
    option.rect = visualRect(index);
    option.index = index;
    option.features |= QStyleOptionViewItem::HasCheckIndicator | QStyleOptionViewItem::HasDisplay;
    option.checkState = rows_.isChecked(static_cast<size_t>(row)) ? Qt::Checked : Qt::Unchecked;
    option.text = index.data().toString();
    return style()->subElementRect(QStyle::SE_ItemViewItemCheckIndicator, &option, this);
}

} // namespace fallowmere
