#include "depth/report/ui/report_print.h"

#include "common/qt/caption.h"
#include "depth/report/qt/report_pdf.h"
#include "depth/report/report_page.h"

namespace marrowby {
void printDepthReport(QWidget* parent, const std::vector<DepthRow>& rows, tessera::PrintMode mode) {
    tessera::printPages(parent, DepthReport(rows), mode,
                        {QString::fromUtf8(kDepthReportTitle), tessera::appCaption()});
}

void exportDepthReportPdf(QWidget* parent, const std::vector<DepthRow>& rows) {
    tessera::exportPdfThroughDialog(parent, DepthReport(rows), depthReportPdfOptions(600),
                                    tessera::appCaption());
}

} // namespace marrowby
