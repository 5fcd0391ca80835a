#include "width/picture/inspection_report_source.h"

#include "width/project/picture_lookup.h"

#include <memory>

namespace fallowmere {

InspectionReport::InspectionReport(std::vector<CRecordStru> records, SettingsSource settings,
                                   PictureFinder pictures)
    : records_(std::move(records)), settings_(std::move(settings)), pictures_(std::move(pictures)) {
}

int InspectionReport::pageCount(const tessera::PageDevice& /*device*/) const {
    return static_cast<int>(records_.size());
}

std::vector<tessera::PageOp> InspectionReport::layoutPage(const tessera::PageDevice& device,
                                                          int page) const {
    if (page < 1 || page > pageCount(device))
        return {tessera::fillOp({0, 0, device.width, device.height}, tessera::kPageWhite)};
    const CRecordStru& record = records_[static_cast<size_t>(page - 1)];
    InspectionPageRecord fields{record.strGroup,
                                record.strName,
                                record.strWidth,
                                record.strMode,
                                record.strRemark,
                                record.strTime,
                                pictures_ ? pictures_(record.strName) : std::string()};
    return layoutInspectionReportPage(device, settings_ ? settings_() : InspectionInfo{}, fields);
}

InspectionReport::PictureFinder pictureFinderFor(FileOps& fs, const std::string& dataDir) {
    auto folder = std::make_shared<FolderListing>(fs, dataDir);
    return [folder](const std::string& gbkName) { return LocatePicture(*folder, gbkName).path; };
}

} // namespace fallowmere
