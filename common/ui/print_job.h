#pragma once
// The print job driver of both programs: print (print dialog), direct print (default printer,
// no dialog), print preview and PDF export of any PageSource (common/page.h), and the
// application's shared printer that Print Setup configures. Every message goes through
// tessera::prompt().
//
// A report plugs in by implementing PageSource (page count, layout of page k for a device);
// the driver turns the page range, page order and copies of the printer into a page list and
// draws each page with the painter adapter in the device's own pixels.

#include "common/qt/page_output.h"

#include <QString>

class QPrinter;
class QWidget;

namespace tessera {

enum class PrintMode { Dialog, Direct, Preview };

// What the driver needs to know about a job besides its pages.
struct PrintJob {
    QString documentName; // the job's name in the printer queue (and the PDF's title)
    QString caption;      // caption of the driver's messages (the application's title)
};

// The printer that every job uses, so that the choices made with Print Setup (and a printer
// picked in the print dialog) carry over to later jobs. Without one, each job starts from a new
// default QPrinter (HighResolution). The application owns it through SharedPrinter.
QPrinter* sharedPrinter();

// Owns the application's printer and installs it as sharedPrinter() for its lifetime. Create
// one in the application object (after the QApplication).
class SharedPrinter {
public:
    SharedPrinter();
    ~SharedPrinter();
    SharedPrinter(const SharedPrinter&) = delete;
    SharedPrinter& operator=(const SharedPrinter&) = delete;
    QPrinter& printer() { return *printer_; }

private:
    QPrinter* printer_;
};

// Print Setup: the page setup dialog on the shared printer (a temporary one without it).
void showPrintSetup(QWidget* parent);

// Runs a print job of `source`:
//  - Dialog: the print dialog, its page range limited to 1..pageCount, then the job;
//  - Direct: the default printer without a dialog; without a default printer the print dialog
//    is shown instead (so the user can pick one or print to a file);
//  - Preview: QPrintPreviewDialog drawing the same pages, zoomed to whole pages, at the size
//    and place it had when it was closed last (kept in the application's QSettings, key
//    PrintPreview/geometry), the first time as tall as the screen allows.
// Every job starts with all pages (the range of an earlier job does not carry over). A job that
// fails shows "打印失败：<reason>" (exclamation icon). Pictures that cannot be decoded are
// named in one message after the job (undrawnPicturesText; in the preview, once, over it). A
// job printed to a PDF file gets its text maps fixed afterwards (fixPdfFileTextMaps). A source
// with no pages prints nothing. Returns true when the pages were sent to the printer (or the
// preview was shown).
bool printPages(QWidget* parent, const PageSource& source, PrintMode mode, const PrintJob& job);

// Draws the pages `printer` asks for: its page ranges when its print range is PageRange (else
// all pages), in its page order (last page first when set), repeated for collated copies when
// the printer cannot make copies itself. False with a reason when nothing can be printed.
bool printOn(QPrinter& printer, const PageSource& source, QString* error = nullptr,
             std::vector<UndrawnPicture>* undrawn = nullptr);

// The message that names the pictures a job could not print, one line each with its page and
// reason.
QString undrawnPicturesText(const std::vector<UndrawnPicture>& undrawn);

// The "PDF文件(pdf)" export: save dialog through prompt() (filter "PDF 文件 (*.pdf)", default
// extension "pdf", overwrite confirmation), then writePdf with a busy cursor; on failure the
// message "无法写入 PDF 文件“<file>”：<reason>" (caption `caption`, exclamation icon), and after a
// file written with pictures that could not be decoded, undrawnPicturesText. Returns the path
// written, or an empty string when cancelled or failed.
QString exportPdfThroughDialog(QWidget* parent, const PageSource& source, const PdfOptions& options,
                               const QString& caption);

} // namespace tessera
