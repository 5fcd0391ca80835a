#include "width/picture/ui/quenby_view.h"

#include "common/qt/text.h"
#include "common/text.h"
#include "common/ui/print_job.h"
#include "common/ui/prompt.h"
#include "width/project/command_ids.h"
#include "width/project/picture_lookup.h"

#include <QPaintEvent>
#include <QPainter>
#include <QScrollBar>
#include <QWheelEvent>

namespace fallowmere {
namespace {

const QString kReportTitle = QStringLiteral("裂缝检测报告");

QRect toQRect(const ViewRect& r) {
    return QRect(r.x, r.y, r.width, r.height);
}

} // namespace

CQuenbyView::CQuenbyView(CQuenbyDoc& doc, FileOps& fs, QWidget* parent)
    : QAbstractScrollArea(parent), doc_(doc), fs_(fs) {
    setObjectName(QStringLiteral("CQuenbyView"));
    setFocusPolicy(Qt::StrongFocus);
    viewport()->setAutoFillBackground(false);
    viewport()->setAttribute(Qt::WA_OpaquePaintEvent);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    commandTable()
        .on(tessera::ID_FILE_PRINT, [this](int id) { printReport(id); })
        .on(tessera::ID_FILE_PRINT_DIRECT, [this](int id) { printReport(id); })
        .on(tessera::ID_FILE_PRINT_PREVIEW, [this](int id) { printReport(id); })
        .on(ID_EXPORT_PDF, [this](int) { exportReportPdf(); });
    updateScrollBars();
}

CQuenbyView::~CQuenbyView() = default;

void CQuenbyView::setSettingsSource(InspectionReport::SettingsSource source) {
    settings_ = std::move(source);
}

void CQuenbyView::setPrintCollector(std::function<void()> collect) {
    collectPrint_ = std::move(collect);
}

void CQuenbyView::OnInitialUpdate() {
    OnUpdate();
    updateScrollBars();
}

void CQuenbyView::OnUpdate() {
    paths_.refresh(*this);
    // Also with the same paths: a photograph may have changed on disk (a merge replaced it).
    updateScrollBars();
    viewport()->update();
}

void CQuenbyView::OnResetPictures() {
    paths_.resetLoaded();
    updateScrollBars();
    viewport()->update();
}

void CQuenbyView::clearPictures() {
    paths_ = PicturePaths();
    updateScrollBars();
    viewport()->update();
}

bool CQuenbyView::multipleMode() const {
    return doc_.showMode() == ShowMode::Multiple;
}

int CQuenbyView::shownCount() const {
    return doc_.shownCount();
}

std::string CQuenbyView::shownName(int index) const {
    const auto& names = doc_.shownNames();
    return index >= 0 && static_cast<size_t>(index) < names.size()
               ? names[static_cast<size_t>(index)]
               : std::string();
}

void CQuenbyView::decrementShownCount() {
    doc_.lowerShownCount();
}

std::optional<std::string> CQuenbyView::picturePath(const std::string& name) const {
    if (doc_.projectFile().empty() || name.empty())
        return std::nullopt;
    const FolderListing folder(fs_, doc_.dataDir());
    std::vector<std::string> found;
    if (!AddPicturePath(folder, doc_.projectFile(), name, found, doc_.recordNames()) ||
        found.empty())
        return std::nullopt;
    return found.front();
}

void CQuenbyView::announceMissingPicture() {
    tessera::prompt().message(this, QStringLiteral("提示信息"),
                              QStringLiteral("目录下没有对应图片文件"), tessera::PromptIcon::None);
}

PictureLayout CQuenbyView::layoutAt(PictureZoom zoom) {
    const auto& paths = paths_.paths();
    const int w = viewport()->width();
    const int h = viewport()->height();
    if (doc_.showMode() == ShowMode::Multiple) {
        std::vector<PictureSize> sizes;
        std::vector<std::string> names;
        for (size_t i = 0; i < paths.size() && i < static_cast<size_t>(kMaxShownPictures); ++i) {
            sizes.push_back(cache_.pictureSize(paths[i]));
            names.push_back(tessera::displayPath(pictureFileName(paths[i])));
        }
        return layoutPictureGrid(w, h, sizes, names, zoom);
    }
    if (paths.empty())
        return {};
    return layoutSinglePicture(w, h, true, cache_.pictureSize(paths.front()),
                               tessera::displayPath(pictureFileName(paths.front())), zoom);
}

void CQuenbyView::drawNotice(QPainter& painter, const QRect& cell, const std::string& fileName) {
    painter.setPen(Qt::gray);
    painter.drawRect(cell.adjusted(0, 0, -1, -1));
    painter.setPen(Qt::black);
    painter.drawText(cell.adjusted(4, 4, -4, -4), Qt::AlignCenter | Qt::TextWrapAnywhere,
                     tessera::fromUtf8(fileName) + QLatin1Char('\n') +
                         tessera::fromUtf8(kPictureNotice));
}

void CQuenbyView::paintEvent(QPaintEvent* event) {
    QPainter painter(viewport());
    painter.fillRect(event->rect(), Qt::white);
    const QPoint offset(horizontalScrollBar()->value(), verticalScrollBar()->value());
    painter.translate(-offset);
    const QRect exposed = event->rect().translated(offset);
    // What the pane shows now: pictures are decoded for this part only.
    const QRect shown(offset, viewport()->size());
    const PictureLayout layout = currentLayout();
    const auto& paths = paths_.paths();
    std::vector<PictureNotice> notices = layout.notices;
    for (const PicturePlacement& placement : layout.pictures) {
        const QRect target = toQRect(placement.rect);
        const QRect visible = target.intersected(exposed);
        if (visible.isEmpty() || placement.index >= paths.size())
            continue;
        const std::string& path = paths[placement.index];
        const PicturePiece piece = cache_.piece(
            path, target.size(), target.intersected(shown).translated(-target.topLeft()));
        if (piece.image.isNull()) {
            // The header was readable but the picture is not.
            notices.push_back(
                {placement.index, placement.rect, tessera::displayPath(pictureFileName(path))});
            continue;
        }
        // The part of the piece that lands in the visible rectangle, stretched into it.
        const PictureSize own = cache_.pictureSize(path);
        const double toOwnX = double(own.width) / target.width();
        const double toOwnY = double(own.height) / target.height();
        const double toImageX = double(piece.image.width()) / piece.source.width();
        const double toImageY = double(piece.image.height()) / piece.source.height();
        const QRectF source(((visible.x() - target.x()) * toOwnX - piece.source.x()) * toImageX,
                            ((visible.y() - target.y()) * toOwnY - piece.source.y()) * toImageY,
                            visible.width() * toOwnX * toImageX,
                            visible.height() * toOwnY * toImageY);
        if (source.size() == QSizeF(visible.size())) {
            painter.drawImage(visible.topLeft(), piece.image, source.toRect());
            continue;
        }
        painter.setRenderHint(QPainter::SmoothPixmapTransform, true);
        painter.drawImage(QRectF(visible), piece.image, source);
    }
    for (const PictureNotice& notice : notices)
        if (toQRect(notice.rect).intersects(exposed))
            drawNotice(painter, toQRect(notice.rect), notice.fileName);
    painter.setPen(Qt::black);
    const QFontMetrics metrics(font());
    for (const ViewText& text : layout.texts) {
        const QString shown = tessera::fromUtf8(text.text);
        const QRect box(text.x, text.y, metrics.horizontalAdvance(shown) + 1, metrics.height());
        if (box.intersects(exposed))
            painter.drawText(text.x, text.y + metrics.ascent(), shown);
    }
}

void CQuenbyView::resizeEvent(QResizeEvent* event) {
    QAbstractScrollArea::resizeEvent(event);
    updateScrollBars();
}

void CQuenbyView::scrollContentsBy(int, int) {
    viewport()->update();
}

void CQuenbyView::setZoom(PictureZoom zoom) {
    if (zoom == zoom_)
        return;
    zoom_ = zoom;
    updateScrollBars();
    viewport()->update();
}

void CQuenbyView::wheelEvent(QWheelEvent* event) {
    if (!(event->modifiers() & Qt::ControlModifier)) {
        QAbstractScrollArea::wheelEvent(event); // scrolls
        return;
    }
    event->accept();
    const int delta = event->angleDelta().y();
    if (delta == 0)
        return;
    const DrawingSize twice = drawingSizeAt(PictureZoom::TwiceSize);
    const DrawingSize fit = drawingSizeAt(PictureZoom::FitToPane);
    const bool twiceLarger = int64_t(twice.width) * twice.height > int64_t(fit.width) * fit.height;
    const PictureZoom want =
        (delta > 0) == twiceLarger ? PictureZoom::TwiceSize : PictureZoom::FitToPane;
    if (want == zoom_)
        return;
    setZoom(want);
    emit zoomChanged(want);
}

DrawingSize CQuenbyView::drawingSizeAt(PictureZoom zoom) {
    const QFontMetrics metrics(font());
    return drawingSize(layoutAt(zoom), metrics.height(), [&metrics](const std::string& text) {
        return metrics.horizontalAdvance(tessera::fromUtf8(text)) + 1;
    });
}

void CQuenbyView::updateScrollBars() {
    // Scroll bars whenever the drawing reaches beyond the client area.
    const DrawingSize drawing = drawingSizeAt(zoom_);
    const QSize page = viewport()->size();
    horizontalScrollBar()->setRange(0, std::max(0, drawing.width - page.width()));
    verticalScrollBar()->setRange(0, std::max(0, drawing.height - page.height()));
    horizontalScrollBar()->setPageStep(page.width());
    verticalScrollBar()->setPageStep(page.height());
    horizontalScrollBar()->setSingleStep(std::max(1, page.width() / 10));
    verticalScrollBar()->setSingleStep(std::max(1, page.height() / 10));
}

std::unique_ptr<InspectionReport> CQuenbyView::reportToPrint() {
    if (collectPrint_)
        collectPrint_();
    if (!doc_.printReady() || doc_.printList().empty()) {
        tessera::prompt().message(this, tessera::fromUtf8(kNothingToPrintCaption),
                                  tessera::fromUtf8(kNothingToPrintMessage),
                                  tessera::PromptIcon::None);
        return nullptr;
    }
    return std::make_unique<InspectionReport>(
        doc_.printList(), settings_, pictureFinderFor(fs_, doc_.dataDir(), doc_.recordNames()));
}

void CQuenbyView::printReport(int command) {
    const auto report = reportToPrint();
    if (!report)
        return;
    tessera::PrintMode mode = tessera::PrintMode::Dialog;
    if (command == tessera::ID_FILE_PRINT_DIRECT)
        mode = tessera::PrintMode::Direct;
    else if (command == tessera::ID_FILE_PRINT_PREVIEW)
        mode = tessera::PrintMode::Preview;
    tessera::printPages(this, *report, mode, {kReportTitle, tessera::fromUtf8(kAppTitle)});
}

void CQuenbyView::exportReportPdf() {
    const auto report = reportToPrint();
    if (!report)
        return;
    tessera::PdfOptions options;
    options.dpi = 600;
    options.title = kReportTitle;
    options.creator = QStringLiteral("Fallowmere");
    tessera::exportPdfThroughDialog(this, *report, options, tessera::fromUtf8(kAppTitle));
}

} // namespace fallowmere
