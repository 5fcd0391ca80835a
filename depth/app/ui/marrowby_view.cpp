#include "depth/app/ui/marrowby_view.h"

#include "common/atomic_file.h"
#include "common/qt/caption.h"
#include "common/qt/text.h"
#include "common/ui/prompt.h"
#include "common/ui/save_file.h"
#include "depth/document/program_title.h"
#include "depth/document/ui/record_info_dlg.h"
#include "depth/report/text_export.h"
#include "depth/report/ui/report_print.h"

#include <QFileInfo>
#include <QHeaderView>
#include <QMdiSubWindow>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>
#include <QStyledItemDelegate>

namespace marrowby {

namespace {

QString title(int column) {
    return tessera::fromUtf8(kColumnTitles[static_cast<size_t>(column)]);
}

// The first column of the list is always left-aligned; the others are right-aligned.
Qt::Alignment columnAlignment(int column) {
    return (column == 0 ? Qt::AlignLeft : Qt::AlignRight) | Qt::AlignVCenter;
}

// Draws cells without the focus frame of the current cell: the view frames the whole row.
class RowCellDelegate : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;

protected:
    void initStyleOption(QStyleOptionViewItem* option, const QModelIndex& index) const override {
        QStyledItemDelegate::initStyleOption(option, index);
        option->state &= ~QStyle::State_HasFocus;
    }
};

} // namespace

DepthRowsModel::DepthRowsModel(DepthViewData* data, QObject* parent)
    : QAbstractTableModel(parent), m_data(data) {}

int DepthRowsModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(m_data->rows.size());
}

int DepthRowsModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : DepthRow::kCells;
}

QVariant DepthRowsModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || static_cast<size_t>(index.row()) >= m_data->rows.size())
        return {};
    if (role == Qt::DisplayRole || role == Qt::ToolTipRole)
        return tessera::fromGbk(
            m_data->rows[static_cast<size_t>(index.row())].cell(index.column()));
    if (role == Qt::TextAlignmentRole)
        return QVariant::fromValue(columnAlignment(index.column()));
    return {};
}

QVariant DepthRowsModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || section < 0 || section >= DepthRow::kCells)
        return {};
    if (role == Qt::DisplayRole)
        return title(section);
    if (role == Qt::TextAlignmentRole)
        return QVariant::fromValue(columnAlignment(section));
    return {};
}

void DepthRowsModel::rowChanged(int row) {
    emit dataChanged(index(row, 0), index(row, DepthRow::kCells - 1));
}

CMarrowbyView::RecordEditor& CMarrowbyView::recordEditor() {
    static RecordEditor editor = [](QWidget* parent, std::array<QString, 5>& texts) {
        CRecordInfoDlg dialog(parent);
        dialog.setTexts(texts);
        if (dialog.exec() != QDialog::Accepted)
            return false;
        texts = dialog.texts();
        return true;
    };
    return editor;
}

CMarrowbyView::CMarrowbyView(std::shared_ptr<CMarrowbyDoc> document, QWidget* parent)
    : QTableView(parent), m_document(std::move(document)),
      m_model(new DepthRowsModel(&m_data, this)) {
    setModel(m_model);
    setItemDelegate(new RowCellDelegate(this));
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setSelectionMode(QAbstractItemView::ExtendedSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setShowGrid(false);
    setWordWrap(false);
    setVerticalScrollMode(QAbstractItemView::ScrollPerItem);
    verticalHeader()->hide();
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    verticalHeader()->setDefaultSectionSize(std::max(17, fontMetrics().height() + 4));
    horizontalHeader()->setHighlightSections(false);
    horizontalHeader()->setStretchLastSection(false);
    const int widths[DepthRow::kCells] = {55, 60, 60, 120, 120};
    for (int c = 0; c < DepthRow::kCells; ++c)
        setColumnWidth(c, widths[c]);
    m_document->addView(this);
    onUpdate(0); // first display

    using tessera::PrintMode;
    commandTable()
        .on(ID_FILE_OPEN, [this](int) { OnFileOpen(); })
        .on(ID_FILE_SAVE, [this](int) { OnFileSave(); })
        .on(ID_FILE_SAVE_AS, [this](int) { OnFileSave(); })
        .on(ID_EXPORT_TEXT, [this](int) { OnExportText(); })
        .on(ID_FILE_PRINT, [this](int) { printDepthReport(this, rows(), PrintMode::Dialog); })
        .on(ID_FILE_PRINT_DIRECT,
            [this](int) { printDepthReport(this, rows(), PrintMode::Direct); })
        .on(ID_FILE_PRINT_PREVIEW,
            [this](int) { printDepthReport(this, rows(), PrintMode::Preview); })
        .on(ID_EXPORT_PDF, [this](int) { exportDepthReportPdf(this, rows()); });
}

CMarrowbyView::~CMarrowbyView() {
    m_document->removeView(this);
}

int CMarrowbyView::topRowIndex() const {
    return verticalScrollBar()->value();
}

void CMarrowbyView::onUpdate(int hint) {
    if (hint != 0)
        return;
    // The list keeps the same row index at the top, as when it scrolls down by that many rows.
    const int top = topRowIndex();
    const bool wasModified = m_data.isModified();
    m_model->beginReset();
    m_data.refreshFrom(m_document->records);
    m_model->endReset();
    updateGeometries(); // the scroll range of the new rows, before scrolling
    verticalScrollBar()->setValue(top);
    if (wasModified != m_data.isModified())
        emit modifiedChanged(m_data.isModified());
}

void CMarrowbyView::setModified(bool modified) {
    if (m_data.isModified() == modified)
        return;
    m_data.setModified(modified);
    emit modifiedChanged(modified);
}

QRect CMarrowbyView::focusFrameRect() const {
    const QModelIndex current = currentIndex();
    if (!current.isValid())
        return {};
    return visualRect(m_model->index(current.row(), 0))
        .united(visualRect(m_model->index(current.row(), DepthRow::kCells - 1)));
}

void CMarrowbyView::paintEvent(QPaintEvent* event) {
    QTableView::paintEvent(event);
    // The focus frame goes round the whole current row, as in a list with full-row selection:
    // a dotted line, every other pixel, in the row's text colour so that it shows on the
    // selection's highlight too.
    const QRect frame = focusFrameRect();
    if (!hasFocus() || frame.isEmpty())
        return;
    const bool selected = selectionModel()->isRowSelected(currentIndex().row(), {});
    QPen pen(palette().color(selected ? QPalette::HighlightedText : QPalette::Text));
    pen.setWidth(1);
    pen.setDashPattern({1, 1});
    pen.setCosmetic(true);
    QPainter painter(viewport());
    painter.setRenderHint(QPainter::Antialiasing, false);
    painter.setPen(pen);
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(frame.adjusted(0, 0, -1, -1));
}

void CMarrowbyView::currentChanged(const QModelIndex& current, const QModelIndex& previous) {
    QTableView::currentChanged(current, previous);
    // The whole rows of the old and the new frame, not only their cells.
    for (const QModelIndex& index : {previous, current})
        if (index.isValid())
            viewport()->update(
                visualRect(m_model->index(index.row(), 0))
                    .united(visualRect(m_model->index(index.row(), DepthRow::kCells - 1))));
}

void CMarrowbyView::focusInEvent(QFocusEvent* event) {
    QTableView::focusInEvent(event);
    viewport()->update(focusFrameRect());
}

void CMarrowbyView::focusOutEvent(QFocusEvent* event) {
    QTableView::focusOutEvent(event);
    viewport()->update(focusFrameRect());
}

void CMarrowbyView::mousePressEvent(QMouseEvent* event) {
    QTableView::mousePressEvent(event);
    if (event->button() != Qt::LeftButton)
        return;
    const QModelIndex index = indexAt(event->position().toPoint());
    if (!index.isValid())
        return;
    selectionModel()->select(index, QItemSelectionModel::Select | QItemSelectionModel::Rows);
    editRow(index.row());
}

void CMarrowbyView::editRow(int row) {
    if (row < 0 || static_cast<size_t>(row) >= m_data.rows.size())
        return;
    const DepthRow original = m_data.rows[static_cast<size_t>(row)];
    std::array<QString, 5> shown;
    for (int c = 0; c < DepthRow::kCells; ++c)
        shown[static_cast<size_t>(c)] = tessera::fromGbk(original.cell(c));
    std::array<QString, 5> typed = shown;
    if (!recordEditor()(this, typed))
        return;
    // A cell the user left as shown keeps its stored bytes, even when they are not valid GBK.
    std::array<std::string, DepthRow::kCells> cells;
    for (size_t c = 0; c < cells.size(); ++c) {
        if (typed[c] == shown[c]) {
            cells[c] = std::string(original.cell(static_cast<int>(c)));
        } else {
            auto gbk = tessera::toGbk(typed[c]);
            cells[c] = gbk ? *gbk : std::string(original.cell(static_cast<int>(c)));
        }
    }
    const bool wasModified = m_data.isModified();
    if (m_data.editRow(static_cast<size_t>(row), cells)) {
        m_model->rowChanged(row);
        if (!wasModified)
            emit modifiedChanged(true);
    }
}

bool CMarrowbyView::readDmBytes(const QString& path, std::string& bytes, QString* reason) {
    // Only a regular file is read: opening a named pipe or a device would wait for a writer
    // that may never come, with the whole interface frozen.
    const QFileInfo info(path);
    if (info.exists() && !info.isFile() && !info.isDir()) {
        if (reason)
            *reason = QStringLiteral("它不是普通文件。");
        return false;
    }
    std::string why;
    if (!tessera::readWholeFile(tessera::toPath(path), bytes, &why)) {
        if (reason)
            *reason = QString::fromLocal8Bit(why.c_str());
        return false;
    }
    return true;
}

void CMarrowbyView::loadDmBytes(const std::string& bytes) {
    m_model->beginReset();
    const DmReadStatus status = m_data.loadDm(bytes);
    m_model->endReset();
    emit modifiedChanged(false);
    if (status == DmReadStatus::EndOfFile)
        tessera::prompt().message(this, tessera::fromUtf8(kProgramTitle),
                                  tessera::fromUtf8(kEndOfFileMessage), tessera::PromptIcon::Stop);
}

bool CMarrowbyView::readDmFile(const QString& path, QString* reason) {
    std::string bytes;
    if (!readDmBytes(path, bytes, reason))
        return false;
    loadDmBytes(bytes);
    return true;
}

void CMarrowbyView::OnFileOpen() {
    tessera::FileDialogRequest request;
    request.caption = QStringLiteral("打开");
    request.filter = QStringLiteral("裂缝深度文件(*.DM)");
    const QString path = tessera::prompt().openFileName(this, request);
    if (path.isEmpty())
        return;
    // A file that cannot be read leaves the rows as they are. One that is not a regular file (a
    // named pipe, a device, a folder) is refused before it is opened, and says so; any other
    // that cannot be opened shows nothing. One that can be read replaces the rows, after the
    // question about unsaved rows.
    std::string bytes;
    QString reason;
    if (!readDmBytes(path, bytes, &reason)) {
        const QFileInfo info(path);
        if (info.exists() && !info.isFile())
            tessera::prompt().message(this, tessera::fromUtf8(kProgramTitle),
                                      QStringLiteral("无法打开文件 %1。\n%2").arg(path, reason),
                                      tessera::PromptIcon::Exclamation);
        return;
    }
    if (!askToSaveChanges())
        return;
    loadDmBytes(bytes);
}

bool CMarrowbyView::OnFileSave() {
    tessera::FileDialogRequest request;
    request.caption = QStringLiteral("另存为");
    request.filter = QStringLiteral(" (*.DM)");
    request.defaultExtension = QStringLiteral("DM");
    request.confirmOverwrite = true;
    const QString path = tessera::saveThroughDialog(
        this, request, [this] { return m_data.toDm(); }, tessera::fromUtf8(kProgramTitle),
        QStringLiteral("无法保存文件 %1。"));
    if (path.isEmpty())
        return false;
    setModified(false);
    return true;
}

void CMarrowbyView::OnExportText() {
    tessera::FileDialogRequest request;
    request.caption = QStringLiteral("另存为");
    request.filter = QStringLiteral(" (*.txt)");
    request.defaultExtension = QStringLiteral("txt");
    request.confirmOverwrite = true;
    tessera::saveThroughDialog(
        this, request, [this] { return encodeTextExport(m_data.rows); },
        tessera::fromUtf8(kProgramTitle), QStringLiteral("无法导出文件 %1。"));
}

QString CMarrowbyView::windowCaption() const {
    // The depth window's caption ("测深文档1", "桥墩.DM:2"); a view outside a window goes by
    // its document's title.
    if (const auto* frame = qobject_cast<const QMdiSubWindow*>(parentWidget()))
        return frame->windowTitle();
    return tessera::fromUtf8(m_document->title);
}

bool CMarrowbyView::askToSaveChanges() {
    if (!m_data.isModified())
        return true;
    switch (tessera::prompt().question(
        this, tessera::fromUtf8(kProgramTitle),
        QStringLiteral("是否保存对 %1 的更改？").arg(windowCaption()), true)) {
    case tessera::PromptAnswer::Yes:
        return OnFileSave();
    case tessera::PromptAnswer::No:
        return true;
    case tessera::PromptAnswer::Cancel:
        break;
    }
    return false;
}

} // namespace marrowby
