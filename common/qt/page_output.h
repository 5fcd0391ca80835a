#pragma once
// Drawing the pages of a PageSource on a paged device, and PDF output. QtGui only (no widgets,
// no print support), so command-line tools can write PDF reports; the print dialogs and the
// printer live in common/ui/print_job.h.

#include "common/page.h"

#include <QList>
#include <QString>

#include <functional>
#include <string>

class QPageRanges;
class QPagedPaintDevice;
class QPainter;

namespace tessera {

// The pages to print, in order: those of `ranges` within 1..pageCount (no further than the last
// page, each once), or all pages when `ranges` is empty.
QList<int> pageList(const QPageRanges& ranges, int pageCount);

// Draws pages `pages` (numbers from 1) of `source` with `painter` on its device, laid out for
// that device (pageDeviceOf), calling `newPage` before every page but the first; a `newPage`
// returning false stops. Returns the number of pages drawn.
int drawPages(QPainter& painter, const PageSource& source, const QList<int>& pages,
              const std::function<bool()>& newPage);

// Renders `pages` of `source` on a paged device (QPrinter, QPdfWriter), one device page each.
// False with a reason (Chinese, for a message box) when the list is empty, the device cannot
// be painted on or it refuses a new page.
bool renderPages(QPagedPaintDevice& device, const PageSource& source, const QList<int>& pages,
                 QString* error = nullptr);

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
// anything fails. False with the reason (the system's text for file errors) on failure.
bool writePdf(const std::string& path, const PageSource& source, const PdfOptions& options,
              QString* error = nullptr);
// The same for a file name as Qt shows it (encoded with QFile::encodeName).
bool writePdf(const QString& path, const PageSource& source, const PdfOptions& options,
              QString* error = nullptr);

// The PDF bytes of every page of `source` (what writePdf writes); empty with a reason on
// failure.
QByteArray renderPdf(const PageSource& source, const PdfOptions& options, QString* error = nullptr);

} // namespace tessera
