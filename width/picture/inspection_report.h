#pragma once
// The crack inspection report "裂缝检测报告" as model code: one page per printed record, laid
// out in millimetres and converted to device pixels with the device's own resolutions, so that
// the page lands in the same place on any printer. The result is a list of drawing operations
// (common/page.h) that the shared painter adapter draws on a printer, a preview or a PDF.
//
// Coordinates: origin at the top-left corner of the printable area, one unit = one device
// pixel. Every value stays in double precision until it is turned into a pixel, and is then
// truncated toward zero, so that the figures below hold exactly:
//   millimetre across / down  mmX = dpiX × 10 / 254, mmY = dpiY × 10 / 254
//   text row                  8 mm down, row 0 starting 14 mm below the top
//   table                     15 mm to 190 mm across, four cells A | B | C | D of 1/6, 1/3,
//                             1/6 and 1/3 of that width
//   photograph                120 × 90 mm, both sides measured across (mmX)
//   bottom rule               row N = trunc(photograph height / row height + 12)
// At 600 × 600 dpi that is 23.622 pixels per millimetre, rows of 188.97 pixels, a photograph
// of 2834 × 2125 pixels and N = 23.

#include "common/page.h"

#include <string>
#include <vector>

namespace fallowmere {

// The job's inspection information (GBK bytes, as kept in the settings file).
struct InspectionInfo {
    std::string company;     // 测量单位
    std::string projectName; // 工程名称
    std::string censor;      // 测量人
    std::string checker;     // 复  核
    std::string receiver;    // 签  收
};

// What one page prints of its record (GBK bytes as read from the project file) and the path
// of the record's own photograph (empty when it has none: the picture area stays blank).
struct InspectionPageRecord {
    std::string group;
    std::string name;
    std::string width;
    std::string mode;
    std::string remark;
    std::string time;
    std::string picturePath;
};

// The page's sizes on one device, in device pixels, for placing and for tests.
struct InspectionReportGeometry {
    double mmX = 0;
    double mmY = 0;
    double rowHeight = 0;
    double top = 0;
    double left = 0;
    double right = 0;
    int edges[5] = {}; // E0..E4: the cell borders A | B | C | D
    int pad = 0;       // left inset of values in ruled cells
    int pictureWidth = 0;
    int pictureHeight = 0;
    int bottomRow = 0; // N: the table's bottom rule; the remark row is N − 1
    tessera::PageFont titleFont, labelFont, valueFont;

    // Row k's band [top, bottom) and the rule half a millimetre above row k.
    int rowTop(int k) const;
    int rowBottom(int k) const;
    int ruleY(int k) const;
    // The photograph's rectangle.
    tessera::PageRect pictureRect() const;
};

InspectionReportGeometry inspectionReportGeometry(const tessera::PageDevice& device);

// The operations of one page, in drawing order: the white page, the title, the company and
// time, the project name, the rules, the verticals, the photograph, the record's fields, the
// remark and the signature row. Values are drawn left-aligned on one line and cut at their
// cells; the width is followed by " mm".
std::vector<tessera::PageOp> layoutInspectionReportPage(const tessera::PageDevice& device,
                                                        const InspectionInfo& info,
                                                        const InspectionPageRecord& record);

} // namespace fallowmere
