#pragma once
// Drawing the pages of a PageSource on a paged device, and PDF output. QtGui only (no widgets,
// no print support), so command-line tools can write PDF reports; the print dialogs and the
// printer live in common/ui/print_job.h.

#include "common/page.h"
#include "common/qt/page_painter.h"
#include "common/qt/pdf_text_map.h"

#include <QList>
#include <QString>

#include <functional>
#include <string>
#include <vector>

class QPageRanges;
class QPagedPaintDevice;
class QPainter;

namespace tessera {

// The pages to print, in order: those of `ranges` within 1..pageCount (no further than the last
// page, each once), or all pages when `ranges` is empty.
QList<int> pageList(const QPageRanges& ranges, int pageCount);

// Draws pages `pages` (numbers from 1) of `source` with `painter` on its device, laid out for
// that device (pageDeviceOf), calling `newPage` before every page but the first; a `newPage`
// returning false stops. The pictures of the next two pages are decoded on other threads while
// a page is drawn. Pictures that cannot be decoded are added to `undrawn` (when given) with
// their page numbers. Returns the number of pages drawn.
int drawPages(QPainter& painter, const PageSource& source, const QList<int>& pages,
              const std::function<bool()>& newPage, std::vector<UndrawnPicture>* undrawn = nullptr);

// Renders `pages` of `source` on a paged device (QPrinter, QPdfWriter), one device page each.
// False with a reason (Chinese, for a message box) when the list is empty, the device cannot
// be painted on or it refuses a new page. Pictures that cannot be decoded leave their
// rectangles empty and are listed in `undrawn`.
bool renderPages(QPagedPaintDevice& device, const PageSource& source, const QList<int>& pages,
                 QString* error = nullptr, std::vector<UndrawnPicture>* undrawn = nullptr);

// How a PDF is made: A4 portrait whose printable area is the whole page (no margins), drawn at
// `dpi` pixels per inch.
struct PdfOptions {
    int dpi = 600;
    QString title;   // document information
    QString creator; // document information: the program's name
};

// The device a PDF of `dpi` pixels per inch lays its pages out for.
PageDevice pdfPageDevice(int dpi);

// Writes every page of `source` as a PDF to `path` (the file name's bytes, as the system
// knows it) through an AtomicFileWriter, so that an existing file stays as it was when
// anything fails. The pages are drawn into an unnamed temporary file first; its text maps are
// then fixed (fixPdfTextMaps, so that copied and searched text holds the characters printed)
// on the way into the writer. False with the reason (the system's text for file errors) on
// failure. Pictures that cannot be decoded do not fail the write: they are listed in
// `undrawn`.
bool writePdf(const std::string& path, const PageSource& source, const PdfOptions& options,
              QString* error = nullptr, std::vector<UndrawnPicture>* undrawn = nullptr);
// The same for a file name as Qt shows it (encoded with QFile::encodeName).
bool writePdf(const QString& path, const PageSource& source, const PdfOptions& options,
              QString* error = nullptr, std::vector<UndrawnPicture>* undrawn = nullptr);

// The PDF bytes of every page of `source` (what writePdf writes); empty with a reason on
// failure.
QByteArray renderPdf(const PageSource& source, const PdfOptions& options, QString* error = nullptr,
                     std::vector<UndrawnPicture>* undrawn = nullptr);

// The characters every page of `source` prints, by face (for fixPdfTextMaps).
PrintedText printedText(const PageSource& source);

// Fixes the text maps of a PDF file that something else wrote (a print job printed to a PDF
// file) for the characters `printed`: the file at `path` is replaced atomically. False with
// the reason on failure.
bool fixPdfFileTextMaps(const std::string& path, const PrintedText& printed,
                        QString* error = nullptr);

} // namespace tessera
