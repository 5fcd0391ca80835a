#include "depth/report/ui/report_print.h"

#include "common/model/atomic_file.h"
#include "common/qt/prompt.h"
#include "common/qt/text.h"
#include "depth/report/report_page.h"
#include "depth/report/ui/report_painter.h"

#include <QBuffer>
#include <QDir>
#include <QGuiApplication>
#include <QPageLayout>
#include <QPageRanges>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QPrintDialog>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QPrinterInfo>

#include <memory>

namespace marrowby {
namespace {

const QString kCaption = QStringLiteral("Tessaly");
QPrinter* g_reportPrinter = nullptr;

// Shows a wait cursor while a long job runs (only where there is a GUI application).
class BusyCursor {
public:
    BusyCursor() : m_on(qobject_cast<QGuiApplication*>(QCoreApplication::instance()) != nullptr) {
        if (m_on)
            QGuiApplication::setOverrideCursor(Qt::WaitCursor);
    }
    ~BusyCursor() {
        if (m_on)
            QGuiApplication::restoreOverrideCursor();
    }
    BusyCursor(const BusyCursor&) = delete;
    BusyCursor& operator=(const BusyCursor&) = delete;

private:
    bool m_on;
};

void setError(QString* error, const QString& text) {
    if (error)
        *error = text;
}

} // namespace

QList<int> depthReportPageList(const QPageRanges& ranges, int pageCount) {
    QList<int> pages;
    if (ranges.isEmpty()) {
        for (int p = 1; p <= pageCount; ++p)
            pages.append(p);
        return pages;
    }
    for (const QPageRanges::Range& r : ranges.toRangeList())
        for (int p = std::max(1, r.from); p <= std::min(pageCount, r.to); ++p)
            if (!pages.contains(p))
                pages.append(p);
    return pages;
}

int drawDepthReportPages(QPainter& painter, const std::vector<DepthRow>& rows,
                         const QList<int>& pages, const std::function<bool()>& newPage) {
    const ReportDevice device = reportDeviceOf(*painter.device());
    int drawn = 0;
    for (int p : pages) {
        if (drawn > 0 && newPage && !newPage())
            break;
        paintReportOps(painter, layoutDepthReportPage(device, p, rows));
        ++drawn;
    }
    return drawn;
}

bool renderDepthReport(QPagedPaintDevice& device, const std::vector<DepthRow>& rows,
                       QString* error) {
    const int pageCount = depthReportPageCount(rows.size());
    auto* printer = dynamic_cast<QPrinter*>(&device);

    QPageRanges ranges = device.pageRanges();
    if (printer && printer->printRange() != QPrinter::PageRange)
        ranges = QPageRanges();
    QList<int> pages = depthReportPageList(ranges, pageCount);
    if (pages.isEmpty()) { // a range wholly past the last page: nothing to print
        setError(error, QStringLiteral("所选页码超出报告的页数（共 %1 页）。").arg(pageCount));
        return false;
    }
    if (printer && printer->pageOrder() == QPrinter::LastPageFirst)
        std::reverse(pages.begin(), pages.end());
    if (printer && !printer->supportsMultipleCopies() && printer->copyCount() > 1) {
        const QList<int> once = pages;
        pages.clear();
        for (int c = 0; c < printer->copyCount(); ++c)
            pages += once; // collated copies
    }

    QPainter painter;
    if (!painter.begin(&device)) {
        setError(error, QStringLiteral("无法开始打印或输出报告。"));
        return false;
    }
    bool newPageFailed = false;
    drawDepthReportPages(painter, rows, pages, [&] {
        if (device.newPage())
            return true;
        newPageFailed = true;
        return false;
    });
    const bool ended = painter.end();
    if (newPageFailed || !ended) {
        setError(error, QStringLiteral("输出报告时出错。"));
        return false;
    }
    return true;
}

bool writeDepthReportPdf(const QString& path, const std::vector<DepthRow>& rows, int dpi,
                         QString* error) {
    if (dpi <= 0) {
        setError(error, QStringLiteral("分辨率必须大于 0。"));
        return false;
    }
    QByteArray bytes;
    {
        QBuffer buffer(&bytes);
        buffer.open(QIODevice::WriteOnly);
        QPdfWriter writer(&buffer);
        writer.setResolution(dpi);
        writer.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait,
                                         QMarginsF(0, 0, 0, 0), QPageLayout::Millimeter));
        writer.setTitle(QStringLiteral("裂缝测深仪数据报告"));
        writer.setCreator(QStringLiteral("Marrowby"));
        if (!renderDepthReport(writer, rows, error))
            return false;
    }
    std::string reason;
    if (!tessera::writeFileAtomically(
            tessera::toPath(path),
            std::string_view(bytes.constData(), static_cast<size_t>(bytes.size())), &reason)) {
        setError(error,
                 QString::fromLocal8Bit(reason.data(), static_cast<qsizetype>(reason.size())));
        return false;
    }
    return true;
}

void exportDepthReportPdf(QWidget* parent, const std::vector<DepthRow>& rows) {
    tessera::FileDialogRequest request;
    request.filter = QStringLiteral(" (*.pdf)");
    request.defaultExtension = QStringLiteral("pdf");
    request.confirmOverwrite = true;
    const QString path = tessera::prompt().saveFileName(parent, request);
    if (path.isEmpty())
        return;
    QString reason;
    bool ok;
    {
        BusyCursor busy;
        ok = writeDepthReportPdf(path, rows, 600, &reason);
    }
    if (!ok)
        tessera::prompt().message(
            parent, kCaption,
            QStringLiteral("无法写入 PDF 文件“%1”：%2").arg(QDir::toNativeSeparators(path), reason),
            tessera::PromptIcon::Exclamation);
}

void setReportPrinter(QPrinter* printer) {
    g_reportPrinter = printer;
}

void printDepthReport(QWidget* parent, const std::vector<DepthRow>& rows, PrintMode mode) {
    const int pageCount = depthReportPageCount(rows.size());
    std::unique_ptr<QPrinter> ownPrinter;
    if (!g_reportPrinter)
        ownPrinter = std::make_unique<QPrinter>(QPrinter::HighResolution);
    QPrinter& printer = g_reportPrinter ? *g_reportPrinter : *ownPrinter;
    printer.setDocName(QStringLiteral("裂缝测深仪数据报告"));
    printer.setFullPage(false); // origin at the printable area's top-left corner
    // Every job starts with all pages; the page range of an earlier job does not carry over.
    printer.setPrintRange(QPrinter::AllPages);
    printer.setPageRanges(QPageRanges());

    auto runDialog = [&] {
        QPrintDialog dialog(&printer, parent);
        dialog.setMinMax(1, pageCount);
        dialog.setOption(QAbstractPrintDialog::PrintToFile, true);
        dialog.setOption(QAbstractPrintDialog::PrintPageRange, true);
        dialog.setOption(QAbstractPrintDialog::PrintSelection, false);
        dialog.setOption(QAbstractPrintDialog::PrintCurrentPage, false);
        return dialog.exec() == QDialog::Accepted;
    };

    switch (mode) {
    case PrintMode::Dialog:
        if (!runDialog())
            return;
        break;
    case PrintMode::Direct: {
        const QPrinterInfo defaultPrinter = QPrinterInfo::defaultPrinter();
        if (defaultPrinter.isNull()) {
            // No default printer: the framework brings up the print dialog so the user can
            // pick one (or print to a file).
            if (!runDialog())
                return;
        } else {
            printer.setOutputFileName(QString());
            printer.setPrinterName(defaultPrinter.printerName());
        }
        break;
    }
    case PrintMode::Preview: {
        QPrintPreviewDialog dialog(&printer, parent);
        QObject::connect(&dialog, &QPrintPreviewDialog::paintRequested, &dialog,
                         [&rows](QPrinter* p) { renderDepthReport(*p, rows); });
        dialog.exec();
        return;
    }
    }

    QString reason;
    bool ok;
    {
        BusyCursor busy;
        ok = renderDepthReport(printer, rows, &reason);
    }
    if (!ok)
        tessera::prompt().message(parent, kCaption, QStringLiteral("打印失败：%1").arg(reason),
                                  tessera::PromptIcon::Exclamation);
}

} // namespace marrowby
