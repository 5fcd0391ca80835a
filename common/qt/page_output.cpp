#include "common/qt/page_output.h"

#include "common/atomic_file.h"
#include "common/error_text.h"
#include "common/qt/page_painter.h"
#include "common/qt/pdf_text_map.h"

#include <QBuffer>
#include <QFile>
#include <QPageLayout>
#include <QPageRanges>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <deque>
#include <future>
#include <memory>

#include <unistd.h>

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
              const std::function<bool()>& newPage, std::vector<UndrawnPicture>* undrawn) {
    const PageDevice device = pageDeviceOf(*painter.device());
    // Pages are laid out here, on the painter's thread; the pictures of the next two pages are
    // decoded on other threads while a page is drawn (decoding a camera's photograph costs
    // more than drawing and encoding it, so two decoders keep both cores busy).
    constexpr qsizetype kPagesAhead = 2;
    struct Ahead {
        std::vector<PageOp> ops;
        std::future<std::vector<DecodedPicture>> pictures;
    };
    std::deque<Ahead> ahead;
    auto layOutAhead = [&](qsizetype i) {
        Ahead next{source.layoutPage(device, pages[i]), {}};
        next.pictures =
            std::async(std::launch::async, [ops = next.ops] { return decodePagePictures(ops); });
        ahead.push_back(std::move(next));
    };
    for (qsizetype i = 0; i < std::min(kPagesAhead, pages.size()); ++i)
        layOutAhead(i);
    int drawn = 0;
    for (qsizetype i = 0; i < pages.size(); ++i) {
        if (drawn > 0 && newPage && !newPage())
            break;
        Ahead current = std::move(ahead.front());
        ahead.pop_front();
        const std::vector<DecodedPicture> decoded = current.pictures.get();
        if (i + kPagesAhead < pages.size())
            layOutAhead(i + kPagesAhead);
        std::vector<UndrawnPicture> missing;
        paintPageOps(painter, current.ops, &missing, &decoded);
        if (undrawn)
            for (UndrawnPicture& m : missing) {
                m.page = pages[i];
                undrawn->push_back(std::move(m));
            }
        ++drawn;
    }
    return drawn;
}

bool renderPages(QPagedPaintDevice& device, const PageSource& source, const QList<int>& pages,
                 QString* error, std::vector<UndrawnPicture>* undrawn) {
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
    drawPages(
        painter, source, pages,
        [&] {
            if (device.newPage())
                return true;
            newPageFailed = true;
            return false;
        },
        undrawn);
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
                 QString* error, std::vector<UndrawnPicture>* undrawn) {
    if (options.dpi <= 0) {
        setError(error, QStringLiteral("分辨率必须大于 0。"));
        return false;
    }
    QPdfWriter writer(&device);
    writer.setResolution(options.dpi);
    writer.setPageLayout(pdfPageLayout());
    writer.setTitle(options.title);
    writer.setCreator(options.creator);
    return renderPages(writer, source, pageList({}, source.pageCount(pageDeviceOf(writer))), error,
                       undrawn);
}

QString fromSystem(const std::string& text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

struct CloseFile {
    void operator()(std::FILE* f) const { std::fclose(f); }
};
using FilePtr = std::unique_ptr<std::FILE, CloseFile>;

// An unnamed temporary file (gone when closed, whatever happens to the program).
FilePtr temporaryFile(QString* error) {
    FilePtr file(std::tmpfile());
    if (!file)
        setError(error, fromSystem(errorText(errno)));
    return file;
}

// Copies the PDF in `pdf` with its text maps fixed into `writer` and commits it.
bool commitFixedPdf(std::FILE* pdf, const PrintedText& printed, AtomicFileWriter& writer,
                    QString* error) {
    const int fd = ::dup(writer.fd());
    FilePtr out(fd < 0 ? nullptr : ::fdopen(fd, "wb"));
    if (!out) {
        setError(error, fromSystem(errorText(errno)));
        if (fd >= 0)
            ::close(fd);
        return false;
    }
    if (!fixPdfTextMaps(pdf, out.get(), printed, error))
        return false;
    if (std::fclose(out.release()) != 0) {
        setError(error, fromSystem(errorText(errno)));
        return false;
    }
    std::string reason;
    if (!writer.commit(&reason)) {
        setError(error, fromSystem(reason));
        return false;
    }
    return true;
}

} // namespace

PageDevice pdfPageDevice(int dpi) {
    const QRect page = pdfPageLayout().fullRectPixels(dpi);
    return {dpi, dpi, page.width(), page.height()};
}

PrintedText printedText(const PageSource& source) {
    // Texts do not depend on the device; A4 at 600 dpi stands for any.
    const PageDevice device = pdfPageDevice(600);
    PrintedText printed;
    for (int page = 1; page <= source.pageCount(device); ++page)
        collectPrintedText(source.layoutPage(device, page), printed);
    return printed;
}

QByteArray renderPdf(const PageSource& source, const PdfOptions& options, QString* error,
                     std::vector<UndrawnPicture>* undrawn) {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    if (!renderPdfTo(buffer, source, options, error, undrawn))
        return {};
    buffer.close();
    return fixPdfTextMaps(bytes, printedText(source), error);
}

bool writePdf(const std::string& path, const PageSource& source, const PdfOptions& options,
              QString* error, std::vector<UndrawnPicture>* undrawn) {
    if (options.dpi <= 0 || source.pageCount(pdfPageDevice(options.dpi)) <= 0) {
        renderPdf(source, options, error); // fails at once with the reason; nothing is written
        return false;
    }
    // The target is checked before any page is drawn. The pages go into an unnamed temporary
    // file (a long report never sits in memory), then with fixed text maps into the writer;
    // the old file is replaced only when everything was written.
    AtomicFileWriter writer;
    std::string reason;
    if (!writer.open(path, &reason)) {
        setError(error, fromSystem(reason));
        return false;
    }
    FilePtr pages = temporaryFile(error);
    if (!pages)
        return false;
    QFile file;
    if (!file.open(::fileno(pages.get()), QIODevice::WriteOnly, QFileDevice::DontCloseHandle)) {
        setError(error, file.errorString());
        return false;
    }
    if (!renderPdfTo(file, source, options, error, undrawn))
        return false;
    if (!file.flush() || file.error() != QFileDevice::NoError) {
        setError(error, file.errorString());
        return false;
    }
    file.close();
    return commitFixedPdf(pages.get(), printedText(source), writer, error);
}

bool writePdf(const QString& path, const PageSource& source, const PdfOptions& options,
              QString* error, std::vector<UndrawnPicture>* undrawn) {
    return writePdf(QFile::encodeName(path).toStdString(), source, options, error, undrawn);
}

bool fixPdfFileTextMaps(const std::string& path, const PrintedText& printed, QString* error) {
    FilePtr in(std::fopen(path.c_str(), "rb"));
    if (!in) {
        setError(error, fromSystem(errorText(errno)));
        return false;
    }
    AtomicFileWriter writer;
    std::string reason;
    if (!writer.open(path, &reason)) {
        setError(error, fromSystem(reason));
        return false;
    }
    return commitFixedPdf(in.get(), printed, writer, error);
}

} // namespace tessera
