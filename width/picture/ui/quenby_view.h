#pragma once
// The picture pane, the right pane of the main window: the photographs of the picked records,
// one at twice its size in single-record mode, up to six in a grid of two columns and three
// rows with their file names in multiple-record mode. It follows the document's shown names
// after every pick (PicturePaths), keeps the decoded photographs between paints
// (PictureCache) and decodes and draws only what is visible. A photograph that cannot be
// decoded is named in its cell with "无法显示图片". It also prints the inspection report of the
// records collected for printing: print, print without dialog, preview and PDF export.

#include "common/command.h"
#include "width/picture/inspection_report_source.h"
#include "width/picture/picture_paths.h"
#include "width/picture/qt/picture_cache.h"
#include "width/project/file_ops.h"
#include "width/project/quenby_doc.h"

#include <QAbstractScrollArea>

#include <functional>
#include <memory>

class QPainter;

namespace fallowmere {

class CQuenbyView : public QAbstractScrollArea,
                    public tessera::CommandTarget,
                    private PictureSelection {
    Q_OBJECT
public:
    CQuenbyView(CQuenbyDoc& doc, FileOps& fs, QWidget* parent = nullptr);
    ~CQuenbyView() override;

    // The inspection information printed on every page, asked for on every page.
    void setSettingsSource(InspectionReport::SettingsSource source);
    // Collects the checked rows into the document's print list; called before every print,
    // preview and PDF export, whichever command, key or button started it.
    void setPrintCollector(std::function<void()> collect);

    // Initial update: the refresh once, then the fixed scroll area.
    void OnInitialUpdate();
    // Update notification: turns the document's shown names into paths and repaints.
    void OnUpdate();
    // Multiple-record mode starts (UM_RESET_PICTURES): no picture until the first pick.
    void OnResetPictures();
    // New: no picture any more.
    void clearPictures();

    // Twice-size (the default) or fitted to the pane. The pane scrolls whenever the drawing is
    // larger than it; Ctrl+wheel switches to the larger (forward) or smaller (back) drawing.
    void setZoom(PictureZoom zoom);
    PictureZoom zoom() const { return zoom_; }

    const std::vector<std::string>& picturePaths() const { return paths_.paths(); }
    int loadedCount() const { return paths_.loadedCount(); }
    PictureCache& cache() { return cache_; }

    // The layout of what the pane shows now, in scrolled-area pixels (for drawing and tests).
    PictureLayout currentLayout() { return layoutAt(zoom_); }

    // The report of the records collected last; null (after the message "请选择需要打印的记录")
    // when nothing was collected.
    std::unique_ptr<InspectionReport> reportToPrint();
    void printReport(int command);
    void exportReportPdf();

signals:
    // The user changed the zoom with Ctrl+wheel.
    void zoomChanged(PictureZoom zoom);

protected:
    void paintEvent(QPaintEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void scrollContentsBy(int dx, int dy) override;

private:
    // PictureSelection over the document and the picture folder.
    bool multipleMode() const override;
    int shownCount() const override;
    std::string shownName(int index) const override;
    void decrementShownCount() override;
    std::optional<std::string> picturePath(const std::string& name) const override;
    void announceMissingPicture() override;

    PictureLayout layoutAt(PictureZoom zoom);
    DrawingSize drawingSizeAt(PictureZoom zoom);
    void updateScrollBars();
    // The cell of a picture that cannot be shown: its file name and "无法显示图片".
    static void drawNotice(QPainter& painter, const QRect& cell, const std::string& fileName);

    CQuenbyDoc& doc_;
    FileOps& fs_;
    PicturePaths paths_;
    PictureCache cache_;
    PictureZoom zoom_ = PictureZoom::TwiceSize;
    InspectionReport::SettingsSource settings_;
    std::function<void()> collectPrint_;
};

} // namespace fallowmere
