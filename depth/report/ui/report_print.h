#pragma once
// Printing, direct printing, print preview and PDF output of the crack depth data report.
// The pages come from the model (depth/report/report_page.h) and are drawn by
// the painter adapter (report_painter.h) in the device's own pixels.

#include "depth/document/depth_record.h"

#include <QList>
#include <QString>

#include <functional>
#include <vector>

class QPageRanges;
class QPagedPaintDevice;
class QPainter;
class QPrinter;
class QWidget;

namespace marrowby {

enum class PrintMode { Dialog, Direct, Preview };

// Print (print dialog), direct print (default printer, no dialog) or print preview of these rows.
// The job's pages are 1..N÷50+1; the print dialog limits its page range to them. Direct print
// on a machine without a default printer shows the print dialog instead (as the framework
// does). A job that cannot start shows a message (caption "Tessaly").
void printDepthReport(QWidget* parent, const std::vector<DepthRow>& rows, PrintMode mode);

// The printer that print jobs use, so that the choices made with Print Setup (and a printer
// picked in the print dialog) carry over to later jobs, as the framework's application printer
// does. Not owned; the application sets it once and clears it (nullptr) before the printer
// goes away. Without one, each job starts from a new default QPrinter (HighResolution).
void setReportPrinter(QPrinter* printer);

// Writes the report as an A4 portrait PDF whose printable area is the whole page (no margins),
// at dpi pixels per inch, atomically (rendered into memory, then tessera::writeFileAtomically).
// False + reason on failure; an existing file is then left as it was.
bool writeDepthReportPdf(const QString& path, const std::vector<DepthRow>& rows, int dpi,
                         QString* error);

// The "PDF文件(pdf)" export command: save dialog through tessera::prompt().saveFileName (filter
// " (*.pdf)", default extension "pdf", overwrite confirmation), then writeDepthReportPdf at 600
// dpi; on failure a message naming the file and the reason (caption "Tessaly", exclamation).
void exportDepthReportPdf(QWidget* parent, const std::vector<DepthRow>& rows);

// --- The page rendering, callable without any dialog -------------------------------------

// The pages to print, in order: those of `ranges` within 1..pageCount (the framework prints the
// pages the user chose, no further than the last page), or all pages when `ranges` is empty.
QList<int> depthReportPageList(const QPageRanges& ranges, int pageCount);

// Draws pages `pages` (numbers from 1) of the report with `painter` on its device, calling
// `newPage` before every page but the first; a `newPage` returning false stops the job.
// Returns the number of pages drawn.
int drawDepthReportPages(QPainter& painter, const std::vector<DepthRow>& rows,
                         const QList<int>& pages, const std::function<bool()>& newPage);

// Renders the report on a paged device (QPrinter, QPdfWriter): the device's page ranges
// limited to the report's pages, or all of them when it has none (a QPrinter whose print range
// is not PageRange prints all pages). A QPrinter's page order (last page first) and, where the
// printer cannot make copies itself, its copy count are honoured. False (with a reason) when
// the device cannot be painted on or refuses a new page.
bool renderDepthReport(QPagedPaintDevice& device, const std::vector<DepthRow>& rows,
                       QString* error = nullptr);

} // namespace marrowby
