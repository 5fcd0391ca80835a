#include "depth/report/ui/report_print.h"

#include "depth/report/qt/report_pdf.h"
#include "depth/report/report_page.h"

namespace marrowby {
namespace {

const QString kCaption = QStringLiteral("Tessaly");

} // namespace

void printDepthReport(QWidget* parent, const std::vector<DepthRow>& rows, tessera::PrintMode mode) {
    tessera::printPages(parent, DepthReport(rows), mode,
                        {QString::fromUtf8(kDepthReportTitle), kCaption});
}

void exportDepthReportPdf(QWidget* parent, const std::vector<DepthRow>& rows) {
    tessera::exportPdfThroughDialog(parent, DepthReport(rows), depthReportPdfOptions(600),
                                    kCaption);
}

} // namespace marrowby
