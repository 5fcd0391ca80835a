#pragma once
// A depth window's content: the five-column report list of the window's own rows, the record
// dialog on a left click, and the Open, Save, Save As and export commands.

#include "depth/app/command_ids.h"
#include "depth/document/depth_doc.h"
#include "depth/document/view_data.h"

#include <QAbstractTableModel>
#include <QTableView>
#include <array>
#include <functional>
#include <memory>

namespace marrowby {

// The rows of one view as a Qt item model; cells are converted from GBK only when shown.
class DepthRowsModel : public QAbstractTableModel {
    Q_OBJECT
public:
    explicit DepthRowsModel(DepthViewData* data, QObject* parent = nullptr);
    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

    void beginReset() { beginResetModel(); }
    void endReset() { endResetModel(); }
    void rowChanged(int row);

private:
    DepthViewData* m_data;
};

class CMarrowbyView : public QTableView, public DocumentView, public CommandTarget {
    Q_OBJECT
public:
    explicit CMarrowbyView(std::shared_ptr<CMarrowbyDoc> document, QWidget* parent = nullptr);
    ~CMarrowbyView() override;

    CMarrowbyDoc& document() const { return *m_document; }
    const std::shared_ptr<CMarrowbyDoc>& sharedDocument() const { return m_document; }
    DepthViewData& viewData() { return m_data; }
    const std::vector<DepthRow>& rows() const { return m_data.rows; }
    bool isModified() const { return m_data.isModified(); }

    // Refresh: hint 0 rebuilds the rows from the document's records and keeps the same row
    // index at the top; any other hint does nothing.
    void onUpdate(int hint) override;

    void OnFileOpen();
    // Save and Save As: asks for a file name every time. True when the rows were written.
    bool OnFileSave();
    void OnExportText();

    // Reads a DM file into this view. Returns false, with the system's reason, when the file
    // cannot be read; a file that ends early shows the end-of-file message and keeps what was
    // read.
    bool readDmFile(const QString& path, QString* reason = nullptr);

    // Asks whether unsaved rows should be saved before the window closes. False means the
    // user cancelled (or saving failed) and the window must stay open.
    bool confirmClose(const QString& windowTitle);

    // Index of the row shown at the top of the list.
    int topRowIndex() const;

    // Shows the record dialog for a row; replaced in tests. Returns true on OK with `texts`
    // holding what the user typed.
    using RecordEditor = std::function<bool(QWidget* parent, std::array<QString, 5>& texts)>;
    static RecordEditor& recordEditor();

signals:
    void modifiedChanged(bool modified);

protected:
    void mousePressEvent(QMouseEvent* event) override;

private:
    void editRow(int row);
    void setModified(bool modified);

    std::shared_ptr<CMarrowbyDoc> m_document;
    DepthViewData m_data;
    DepthRowsModel* m_model;
};

} // namespace marrowby
