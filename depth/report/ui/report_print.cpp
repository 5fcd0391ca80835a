#include "depth/report/ui/report_print.h"

#include "common/qt/caption.h"
#include "common/qt/text.h"
#include "depth/document/program_title.h"
#include "depth/report/qt/report_pdf.h"
#include "depth/report/report_page.h"

namespace marrowby {
void printDepthReport(QWidget* parent, const std::vector<DepthRow>& rows, tessera::PrintMode mode) {
    tessera::printPages(parent, DepthReport(rows), mode,
                        {QString::fromUtf8(kDepthReportTitle), tessera::fromUtf8(kProgramTitle)});
}

void exportDepthReportPdf(QWidget* parent, const std::vector<DepthRow>& rows) {
    tessera::exportPdfThroughDialog(parent, DepthReport(rows), depthReportPdfOptions(600),
                                    tessera::fromUtf8(kProgramTitle));
}

} // namespace marrowby
