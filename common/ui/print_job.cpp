#include "common/ui/print_job.h"

#include "common/qt/page_output.h"
#include "common/qt/page_painter.h"
#include "common/qt/text.h"
#include "common/text.h"
#include "common/ui/prompt.h"

#include <QDir>
#include <QEvent>
#include <QFileInfo>
#include <QGuiApplication>
#include <QLineEdit>
#include <QPageRanges>
#include <QPageSetupDialog>
#include <QPrintDialog>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QPrinterInfo>
#include <QScreen>
#include <QSettings>
#include <QTimer>

#include <algorithm>
#include <memory>
#include <utility>

namespace tessera {
namespace {

QPrinter* g_sharedPrinter = nullptr;

// Shows a wait cursor while a long job runs (only where there is a GUI application).
class BusyCursor {
public:
    BusyCursor() : on_(qobject_cast<QGuiApplication*>(QCoreApplication::instance()) != nullptr) {
        if (on_)
            QGuiApplication::setOverrideCursor(Qt::WaitCursor);
    }
    ~BusyCursor() {
        if (on_)
            QGuiApplication::restoreOverrideCursor();
    }
    BusyCursor(const BusyCursor&) = delete;
    BusyCursor& operator=(const BusyCursor&) = delete;

private:
    bool on_;
};

const QString kPreviewGeometryKey = QStringLiteral("PrintPreview/geometry");

// The preview window as the user left it last time, else as tall as the screen allows and
// wide enough for its tool bar; zoomed so that whole pages show.
void placePreview(QPrintPreviewDialog& dialog, QWidget* parent) {
    const QByteArray saved = QSettings().value(kPreviewGeometryKey).toByteArray();
    if (saved.isEmpty() || !dialog.restoreGeometry(saved)) {
        const QScreen* screen = parent ? parent->screen() : QGuiApplication::primaryScreen();
        const QRect area = screen ? screen->availableGeometry() : QRect(0, 0, 1024, 768);
        const int height = area.height() * 9 / 10;
        const int width = std::min(area.width() * 9 / 10, std::max(800, height * 210 / 297 + 120));
        dialog.resize(width, height);
        dialog.move(area.center() - dialog.rect().center());
    }
    if (auto* fitPage = dialog.findChild<QAction*>(QStringLiteral("fitPageAction")))
        fitPage->trigger();
}

// Qt's print dialog proposes its print-to-file name in the current folder or the home folder
// each time it is shown; like the programs' file dialogs, it starts in the folder used last,
// keeping the proposed name.
class OutputFileInFolder : public QObject {
public:
    OutputFileInFolder(QPrintDialog& dialog, QString folder)
        : QObject(&dialog), folder_(std::move(folder)) {
        dialog.installEventFilter(this);
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() != QEvent::Show || folder_.isEmpty())
            return false;
        if (auto* edit = watched->findChild<QLineEdit*>(QStringLiteral("filename"))) {
            QString name = QFileInfo(edit->text()).fileName();
            if (name.isEmpty())
                name = QStringLiteral("print.pdf");
            edit->setText(QDir(folder_).filePath(name));
        }
        return false;
    }

private:
    QString folder_;
};

} // namespace

QPrinter* sharedPrinter() {
    return g_sharedPrinter;
}

SharedPrinter::SharedPrinter() : printer_(new QPrinter(QPrinter::HighResolution)) {
    g_sharedPrinter = printer_;
}

SharedPrinter::~SharedPrinter() {
    if (g_sharedPrinter == printer_)
        g_sharedPrinter = nullptr;
    delete printer_;
}

void showPrintSetup(QWidget* parent) {
    std::unique_ptr<QPrinter> own;
    if (!g_sharedPrinter)
        own = std::make_unique<QPrinter>(QPrinter::HighResolution);
    QPageSetupDialog dialog(g_sharedPrinter ? g_sharedPrinter : own.get(), parent);
    dialog.exec();
}

QString undrawnPicturesText(const std::vector<UndrawnPicture>& undrawn) {
    QString text = QStringLiteral("下列照片无法显示，其图片区留空：");
    for (const UndrawnPicture& picture : undrawn) {
        text += QLatin1Char('\n');
        if (picture.page > 0)
            text += QStringLiteral("第 %1 页：").arg(picture.page);
        text +=
            QStringLiteral("%1（%2）")
                .arg(QDir::toNativeSeparators(fromUtf8(displayPath(picture.path))), picture.reason);
    }
    return text;
}

bool printOn(QPrinter& printer, const PageSource& source, QString* error,
             std::vector<UndrawnPicture>* undrawn) {
    QPageRanges ranges = printer.pageRanges();
    if (printer.printRange() != QPrinter::PageRange)
        ranges = QPageRanges();
    // The page count of the paper and orientation in force now (the dialogs may have changed
    // them since the job started).
    QList<int> pages = pageList(ranges, source.pageCount(pageDeviceOf(printer)));
    if (printer.pageOrder() == QPrinter::LastPageFirst)
        std::reverse(pages.begin(), pages.end());
    if (!printer.supportsMultipleCopies() && printer.copyCount() > 1) {
        const QList<int> once = pages;
        pages.clear();
        for (int c = 0; c < printer.copyCount(); ++c)
            pages += once; // collated copies
    }
    return renderPages(printer, source, pages, error, undrawn);
}

bool printPages(QWidget* parent, const PageSource& source, PrintMode mode, const PrintJob& job) {
    std::unique_ptr<QPrinter> ownPrinter;
    if (!g_sharedPrinter)
        ownPrinter = std::make_unique<QPrinter>(QPrinter::HighResolution);
    QPrinter& printer = g_sharedPrinter ? *g_sharedPrinter : *ownPrinter;
    const int pageCount = source.pageCount(pageDeviceOf(printer));
    if (pageCount < 1)
        return false;
    printer.setDocName(job.documentName);
    printer.setFullPage(false); // origin at the printable area's top-left corner
    printer.setPrintRange(QPrinter::AllPages);
    printer.setPageRanges(QPageRanges());

    auto runDialog = [&] {
        QPrintDialog dialog(&printer, parent);
        dialog.setMinMax(1, pageCount);
        dialog.setOption(QAbstractPrintDialog::PrintToFile, true);
        dialog.setOption(QAbstractPrintDialog::PrintPageRange, true);
        dialog.setOption(QAbstractPrintDialog::PrintSelection, false);
        dialog.setOption(QAbstractPrintDialog::PrintCurrentPage, false);
        new OutputFileInFolder(dialog, prompt().lastFolder());
        if (dialog.exec() != QDialog::Accepted)
            return false;
        // A file printed to is a file chosen: later dialogs start in its folder.
        prompt().rememberChosenFile(printer.outputFileName());
        return true;
    };

    switch (mode) {
    case PrintMode::Dialog:
        if (!runDialog())
            return false;
        break;
    case PrintMode::Direct: {
        const QPrinterInfo defaultPrinter = QPrinterInfo::defaultPrinter();
        if (defaultPrinter.isNull()) {
            if (!runDialog())
                return false;
        } else {
            printer.setOutputFileName(QString());
            printer.setPrinterName(defaultPrinter.printerName());
        }
        break;
    }
    case PrintMode::Preview: {
        QPrintPreviewDialog dialog(&printer, parent);
        bool announced = false;
        QObject::connect(&dialog, &QPrintPreviewDialog::paintRequested, &dialog, [&](QPrinter* p) {
            std::vector<UndrawnPicture> undrawn;
            printOn(*p, source, nullptr, &undrawn);
            if (undrawn.empty() || announced)
                return;
            announced = true; // once, not on every repaint of the preview
            QTimer::singleShot(0, &dialog, [&dialog, &job, undrawn] {
                prompt().message(&dialog, job.caption, undrawnPicturesText(undrawn),
                                 PromptIcon::Exclamation);
            });
        });
        placePreview(dialog, parent);
        dialog.exec();
        QSettings().setValue(kPreviewGeometryKey, dialog.saveGeometry());
        return true;
    }
    }

    QString reason;
    std::vector<UndrawnPicture> undrawn;
    bool ok;
    {
        BusyCursor busy;
        ok = printOn(printer, source, &reason, &undrawn);
        // Printed to a PDF file: Qt's printer names glyphs as its PDF writer does, so the file
        // gets the same fix (not in the preview, whose printer may still name an old file).
        if (ok && printer.outputFormat() == QPrinter::PdfFormat &&
            !printer.outputFileName().isEmpty())
            ok = fixPdfFileTextMaps(toPath(printer.outputFileName()), printedText(source), &reason);
    }
    if (!ok)
        prompt().message(parent, job.caption, QStringLiteral("打印失败：%1").arg(reason),
                         PromptIcon::Exclamation);
    else if (!undrawn.empty())
        prompt().message(parent, job.caption, undrawnPicturesText(undrawn),
                         PromptIcon::Exclamation);
    return ok;
}

QString exportPdfThroughDialog(QWidget* parent, const PageSource& source, const PdfOptions& options,
                               const QString& caption) {
    FileDialogRequest request;
    request.filter = QStringLiteral("PDF 文件 (*.pdf)");
    request.defaultExtension = QStringLiteral("pdf");
    request.confirmOverwrite = true;
    const QString path = prompt().saveFileName(parent, request);
    if (path.isEmpty())
        return {};
    QString reason;
    std::vector<UndrawnPicture> undrawn;
    bool ok;
    {
        BusyCursor busy;
        ok = writePdf(path, source, options, &reason, &undrawn);
    }
    if (!ok) {
        prompt().message(
            parent, caption,
            QStringLiteral("无法写入 PDF 文件“%1”：%2").arg(QDir::toNativeSeparators(path), reason),
            PromptIcon::Exclamation);
        return {};
    }
    if (!undrawn.empty())
        prompt().message(parent, caption, undrawnPicturesText(undrawn), PromptIcon::Exclamation);
    return path;
}

} // namespace tessera
