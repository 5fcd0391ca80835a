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

    // Reads a DM file into this view. Returns false, with the reason, when the file cannot be
    // read (also when it is not a regular file: a pipe or a device is never opened); a file
    // that ends early shows the end-of-file message and keeps what was read.
    bool readDmFile(const QString& path, QString* reason = nullptr);

    // Before rows that changed since they were last opened or saved are lost (the window
    // closes, Open or a download replaces them) asks whether to save them: Yes saves first,
    // No goes on. False means the user cancelled (or saving failed): the command stops.
    bool askToSaveChanges();
    // The caption of the window showing this view.
    QString windowCaption() const;

    // Index of the row shown at the top of the list.
    int topRowIndex() const;
    // Where the focus frame goes: round the whole current row (empty without a current row).
    QRect focusFrameRect() const;

    // Shows the record dialog for a row; replaced in tests. Returns true on OK with `texts`
    // holding what the user typed.
    using RecordEditor = std::function<bool(QWidget* parent, std::array<QString, 5>& texts)>;
    static RecordEditor& recordEditor();

signals:
    void modifiedChanged(bool modified);

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void currentChanged(const QModelIndex& current, const QModelIndex& previous) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;

private:
    void editRow(int row);
    void setModified(bool modified);
    bool readDmBytes(const QString& path, std::string& bytes, QString* reason = nullptr,
                     tessera::FileStamp* stamp = nullptr);
    // Before Save writes the file the rows were read from or written to last: when it changed
    // on disk since, asks whether to reload it (this window's changes are then made on it),
    // overwrite it or cancel. False: nothing is to be written.
    bool confirmWriteOver(const QString& path);
    void loadDmBytes(const std::string& bytes);

    std::shared_ptr<CMarrowbyDoc> m_document;
    DepthViewData m_data;
    DepthRowsModel* m_model;
};

} // namespace marrowby
