#include "width/picture/inspection_report.h"

#include "common/gbk.h"

namespace fallowmere {

using tessera::PageOp;
using tessera::PageOpKind;
using tessera::PageRect;
using tessera::TextAlign;

namespace {

constexpr int kPenWidth = 2;
constexpr const char* kFace = "宋体";

int trunc(double v) {
    return tessera::truncPixels(v);
}

class PageBuilder {
public:
    explicit PageBuilder(const InspectionReportGeometry& g) : g_(g) {}

    void add(PageOp op) { ops_.push_back(std::move(op)); }

    // A bold label centred in [x0, x1) of row k.
    void label(int row, int x0, int x1, const char* utf8) {
        add(tessera::textOp({x0, g_.rowTop(row), x1, g_.rowBottom(row)}, g_.labelFont, utf8));
    }
    // A regular value (GBK) left-aligned in [x0, x1) of row k.
    void value(int row, int x0, int x1, const std::string& gbk) {
        add(tessera::textOp({x0, g_.rowTop(row), x1, g_.rowBottom(row)}, g_.valueFont,
                            tessera::gbkToUtf8(gbk), TextAlign::Left));
    }

    std::vector<PageOp> take() { return std::move(ops_); }

private:
    const InspectionReportGeometry& g_;
    std::vector<PageOp> ops_;
};

} // namespace

int InspectionReportGeometry::rowTop(int k) const {
    return trunc(top + k * rowHeight);
}

int InspectionReportGeometry::rowBottom(int k) const {
    return trunc(top + (k + 1) * rowHeight);
}

int InspectionReportGeometry::ruleY(int k) const {
    return trunc(top + k * rowHeight - 0.5 * mmY);
}

PageRect InspectionReportGeometry::pictureRect() const {
    // The 4 is in device pixels, as the layout has always placed it.
    const int x = trunc((right - 4) / 6 + left);
    const int y = trunc(trunc(9 * rowHeight) + top);
    return {x, y, x + pictureWidth, y + pictureHeight};
}

InspectionReportGeometry inspectionReportGeometry(const tessera::PageDevice& device) {
    InspectionReportGeometry g;
    g.mmX = device.dpiX * 10.0 / 254;
    g.mmY = device.dpiY * 10.0 / 254;
    g.rowHeight = 8 * g.mmY;
    g.top = 14 * g.mmY;
    g.left = 15 * g.mmX;
    g.right = 190 * g.mmX;
    const int w6 = trunc((g.right - g.left) / 6);
    const int w3 = trunc((g.right - g.left) / 3);
    g.edges[0] = trunc(g.left);
    g.edges[1] = trunc(g.left + w6);
    g.edges[2] = g.edges[1] + w3;
    g.edges[3] = g.edges[2] + w6;
    g.edges[4] = g.edges[3] + w3;
    g.pad = trunc(2 * g.mmX);
    g.pictureWidth = trunc(120 * g.mmX);
    g.pictureHeight = trunc(90 * g.mmX);
    g.bottomRow = trunc(g.pictureHeight / g.rowHeight + 12);
    const int title = tessera::fontPixelHeight(16, device.dpiY);
    const int body = tessera::fontPixelHeight(12, device.dpiY);
    g.titleFont = {kFace, title, 700};
    g.labelFont = {kFace, body, 700};
    g.valueFont = {kFace, body, 400};
    return g;
}

std::vector<PageOp> layoutInspectionReportPage(const tessera::PageDevice& device,
                                               const InspectionInfo& info,
                                               const InspectionPageRecord& record) {
    const InspectionReportGeometry g = inspectionReportGeometry(device);
    const int* e = g.edges;
    const int left = trunc(g.left);
    const int right = trunc(g.right);
    const int n = g.bottomRow;
    PageBuilder page(g);

    page.add(tessera::fillOp({0, 0, device.width, device.height}, tessera::kPageWhite));
    page.add(tessera::textOp({left, trunc(g.top), right, trunc(g.top + 2 * g.rowHeight)},
                             g.titleFont, "裂缝检测报告"));

    page.label(3, e[0], e[1], "测量单位");
    page.label(3, e[2], e[3], "测量时间");
    page.value(3, e[1], e[2], info.company);
    page.value(3, e[3], e[4], record.time);
    page.label(4, e[0], e[1], "工程名称");
    page.value(4, e[1], e[2], info.projectName);

    for (int rule : {6, 7, 8, n - 1, n})
        page.add(tessera::lineOp(left, g.ruleY(rule), right, g.ruleY(rule), kPenWidth));
    page.add(tessera::lineOp(left, g.ruleY(6), left, g.ruleY(n), kPenWidth));
    page.add(tessera::lineOp(right, g.ruleY(6), right, g.ruleY(n), kPenWidth));
    for (int k = 1; k <= 3; ++k)
        page.add(tessera::lineOp(e[k], g.ruleY(6), e[k], g.ruleY(8), kPenWidth));
    page.add(tessera::lineOp(e[1], g.ruleY(n - 1), e[1], g.ruleY(n), kPenWidth));

    if (!record.picturePath.empty())
        page.add(tessera::imageOp(g.pictureRect(), record.picturePath));

    page.label(6, e[0], e[1], "组    号");
    page.label(6, e[2], e[3], "名    称");
    page.value(6, e[1] + g.pad, e[2], record.group);
    page.value(6, e[3] + g.pad, e[4], record.name);
    page.label(7, e[0], e[1], "测量模式");
    page.label(7, e[2], e[3], "裂缝宽度");
    page.value(7, e[1] + g.pad, e[2], record.mode);
    page.value(7, e[3] + g.pad, e[4], record.width + " mm");
    page.label(n - 1, e[0], e[1], "备    注");
    page.value(n - 1, e[1] + g.pad, right, record.remark);

    const int s0 = trunc(trunc(5 * g.mmX) + g.left);
    const int s1 = trunc(trunc(20 * g.mmX) + trunc(5 * g.mmX) + g.left);
    const int s2 = s1 + trunc(40 * g.mmX);
    const int s3 = s2 + trunc(20 * g.mmX);
    const int s4 = s3 + trunc(40 * g.mmX);
    const int s5 = s4 + trunc(20 * g.mmX);
    page.label(n + 1, s0, s1, "测量人");
    page.label(n + 1, s2, s3, "复  核");
    page.label(n + 1, s4, s5, "签  收");
    page.value(n + 1, s1, s2, info.censor);
    page.value(n + 1, s3, s4, info.checker);
    page.value(n + 1, s5, right, info.receiver);
    return page.take();
}

} // namespace fallowmere
