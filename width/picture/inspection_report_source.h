#pragma once
// The print job of the inspection report: one page per collected record, in the order they
// were collected (the list's order), each with its own photograph. The inspection information
// is asked for on every page, so a change made in the settings dialog shows on the next page
// drawn.

#include "common/page.h"
#include "width/picture/inspection_report.h"
#include "width/project/file_ops.h"
#include "width/project/record.h"

#include <functional>
#include <string>
#include <vector>

namespace fallowmere {

// Shown (caption "提示") when there is nothing to print; then nothing is printed.
inline constexpr std::string_view kNothingToPrintMessage = "请选择需要打印的记录";
inline constexpr std::string_view kNothingToPrintCaption = "提示";

class InspectionReport : public tessera::PageSource {
public:
    using SettingsSource = std::function<InspectionInfo()>;
    // The path of the photograph of a record (GBK name), or "" when it has none.
    using PictureFinder = std::function<std::string(const std::string& gbkName)>;

    InspectionReport(std::vector<CRecordStru> records, SettingsSource settings,
                     PictureFinder pictures);

    const std::vector<CRecordStru>& records() const { return records_; }

    // One page per record, whatever the device.
    int pageCount(const tessera::PageDevice& device) const override;
    // Page p prints record p (from 1); a page past the last is blank.
    std::vector<tessera::PageOp> layoutPage(const tessera::PageDevice& device,
                                            int page) const override;

private:
    std::vector<CRecordStru> records_;
    SettingsSource settings_;
    PictureFinder pictures_;
};

// The photograph a pick of the record would show: the lookup of the picture pane (the name
// itself when it carries an extension, then ".jpg", then ".bmp") in the picture folder
// `dataDir`, listed once when the finder is made.
InspectionReport::PictureFinder pictureFinderFor(FileOps& fs, const std::string& dataDir);

} // namespace fallowmere
