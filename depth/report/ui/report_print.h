#pragma once
// Printing, direct printing, print preview and PDF export of the crack depth data report of a
// depth window's rows, through the shared print job driver (common/ui/print_job.h).

#include "common/ui/print_job.h"
#include "depth/document/depth_record.h"

#include <vector>

class QWidget;

namespace marrowby {

// Print (print dialog), direct print or print preview of these rows. The job's pages are
// 1..N÷50+1. A job that cannot start shows a message (caption "Tessaly").
void printDepthReport(QWidget* parent, const std::vector<DepthRow>& rows, tessera::PrintMode mode);

// The "PDF文件(pdf)" export command: the save dialog, then the report at 600 dpi; on failure a
// message naming the file and the reason (caption "Tessaly", exclamation icon).
void exportDepthReportPdf(QWidget* parent, const std::vector<DepthRow>& rows);

} // namespace marrowby
