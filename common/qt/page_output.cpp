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
        setError(error,
                 QStringLiteral("所选页码超出报告的页数（共 %1 页）。").arg(source.pageCount()));
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

QByteArray renderPdf(const PageSource& source, const PdfOptions& options, QString* error) {
    if (options.dpi <= 0) {
        setError(error, QStringLiteral("分辨率必须大于 0。"));
        return {};
    }
    QByteArray bytes;
    {
        QBuffer buffer(&bytes);
        buffer.open(QIODevice::WriteOnly);
        QPdfWriter writer(&buffer); // finishes the document when it goes
        writer.setResolution(options.dpi);
        writer.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait,
                                         QMarginsF(0, 0, 0, 0), QPageLayout::Millimeter));
        writer.setTitle(options.title);
        writer.setCreator(options.creator);
        if (!renderPages(writer, source, pageList({}, source.pageCount()), error))
            return {};
    }
    return bytes;
}

bool writePdf(const QString& path, const PageSource& source, const PdfOptions& options,
              QString* error) {
    const QByteArray bytes = renderPdf(source, options, error);
    if (bytes.isEmpty())
        return false;
    std::string reason;
    if (!writeFileAtomically(QFile::encodeName(path).toStdString(),
                             std::string_view(bytes.constData(), static_cast<size_t>(bytes.size())),
                             &reason)) {
        setError(error,
                 QString::fromLocal8Bit(reason.data(), static_cast<qsizetype>(reason.size())));
        return false;
    }
    return true;
}

} // namespace tessera
