#include "common/qt/page_output.h"

#include "common/atomic_file.h"
#include "common/qt/page_painter.h"

#include <QBuffer>
#include <QFile>
#include <QPageLayout>
#include <QPageRanges>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>

#include <algorithm>

namespace tessera {
namespace {

void setError(QString* error, const QString& text) {
    if (error)
        *error = text;
}

} // namespace

QList<int> pageList(const QPageRanges& ranges, int pageCount) {
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

int drawPages(QPainter& painter, const PageSource& source, const QList<int>& pages,
              const std::function<bool()>& newPage) {
    const PageDevice device = pageDeviceOf(*painter.device());
    int drawn = 0;
    for (int p : pages) {
        if (drawn > 0 && newPage && !newPage())
            break;
        paintPageOps(painter, source.layoutPage(device, p));
        ++drawn;
    }
    return drawn;
}

bool renderPages(QPagedPaintDevice& device, const PageSource& source, const QList<int>& pages,
                 QString* error) {
    if (pages.isEmpty()) {
        setError(error, QStringLiteral("所选页码超出报告的页数（共 %1 页）。")
                            .arg(source.pageCount(pageDeviceOf(device))));
        return false;
    }
    QPainter painter;
    if (!painter.begin(&device)) {
        setError(error, QStringLiteral("无法开始打印或输出报告。"));
        return false;
    }
    bool newPageFailed = false;
    drawPages(painter, source, pages, [&] {
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

namespace {

// The page of a PDF: A4 portrait, the whole page printable, at `dpi`.
QPageLayout pdfPageLayout() {
    return QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait, QMarginsF(0, 0, 0, 0),
                       QPageLayout::Millimeter);
}

// Draws every page of `source` as a PDF on `device` (open for writing).
bool renderPdfTo(QIODevice& device, const PageSource& source, const PdfOptions& options,
                 QString* error) {
    if (options.dpi <= 0) {
        setError(error, QStringLiteral("分辨率必须大于 0。"));
        return false;
    }
    QPdfWriter writer(&device);
    writer.setResolution(options.dpi);
    writer.setPageLayout(pdfPageLayout());
    writer.setTitle(options.title);
    writer.setCreator(options.creator);
    return renderPages(writer, source, pageList({}, source.pageCount(pageDeviceOf(writer))), error);
}

QString fromSystem(const std::string& text) {
    return QString::fromLocal8Bit(text.data(), static_cast<qsizetype>(text.size()));
}

} // namespace

PageDevice pdfPageDevice(int dpi) {
    const QRect page = pdfPageLayout().fullRectPixels(dpi);
    return {dpi, dpi, page.width(), page.height()};
}

QByteArray renderPdf(const PageSource& source, const PdfOptions& options, QString* error) {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    if (!renderPdfTo(buffer, source, options, error))
        return {};
    return bytes;
}

bool writePdf(const std::string& path, const PageSource& source, const PdfOptions& options,
              QString* error) {
    if (options.dpi <= 0 || source.pageCount(pdfPageDevice(options.dpi)) <= 0) {
        renderPdf(source, options, error); // fails at once with the reason; nothing is written
        return false;
    }
    // The pages go straight into the temporary file (a long report never sits in memory); the
    // old file is replaced only when every page was written.
    AtomicFileWriter writer;
    std::string reason;
    if (!writer.open(path, &reason)) {
        setError(error, fromSystem(reason));
        return false;
    }
    QFile file;
    if (!file.open(writer.fd(), QIODevice::WriteOnly, QFileDevice::DontCloseHandle)) {
        setError(error, file.errorString());
        return false;
    }
    if (!renderPdfTo(file, source, options, error))
        return false;
    if (!file.flush() || file.error() != QFileDevice::NoError) {
        setError(error, file.errorString());
        return false;
    }
    file.close();
    if (!writer.commit(&reason)) {
        setError(error, fromSystem(reason));
        return false;
    }
    return true;
}

bool writePdf(const QString& path, const PageSource& source, const PdfOptions& options,
              QString* error) {
    return writePdf(QFile::encodeName(path).toStdString(), source, options, error);
}

} // namespace tessera
