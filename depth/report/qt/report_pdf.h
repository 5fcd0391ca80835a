#pragma once
// The crack depth data report as a PDF (QtGui only: marrowby-cli uses it without widgets).

#include "common/qt/page_output.h"
#include "depth/document/depth_record.h"

#include <QString>
#include <string>
#include <vector>

namespace marrowby {

// A4 portrait without margins at `dpi`, titled "裂缝测深仪数据报告", made by "Marrowby".
tessera::PdfOptions depthReportPdfOptions(int dpi);

// Writes the report of `rows` atomically to `path` (tessera::writePdf). False + reason on
// failure; an existing file is then left as it was.
bool writeDepthReportPdf(const QString& path, const std::vector<DepthRow>& rows, int dpi,
                         QString* error);
// The same for a file name given as the system's bytes (command lines).
bool writeDepthReportPdf(const std::string& path, const std::vector<DepthRow>& rows, int dpi,
                         QString* error);

} // namespace marrowby
