#include "depth/report/qt/report_pdf.h"

#include "depth/report/report_page.h"

namespace marrowby {

tessera::PdfOptions depthReportPdfOptions(int dpi) {
    tessera::PdfOptions options;
    options.dpi = dpi;
    options.title = QString::fromUtf8(kDepthReportTitle);
    options.creator = QStringLiteral("Marrowby");
    return options;
}

bool writeDepthReportPdf(const QString& path, const std::vector<DepthRow>& rows, int dpi,
                         QString* error) {
    return tessera::writePdf(path, DepthReport(rows), depthReportPdfOptions(dpi), error);
}

bool writeDepthReportPdf(const std::string& path, const std::vector<DepthRow>& rows, int dpi,
                         QString* error) {
    return tessera::writePdf(path, DepthReport(rows), depthReportPdfOptions(dpi), error);
}

} // namespace marrowby
