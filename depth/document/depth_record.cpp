#include "depth/document/depth_record.h"

#include <charconv>

namespace marrowby {

DepthRow::DepthRow(std::string_view c0, std::string_view c1, std::string_view c2,
                   std::string_view c3, std::string_view c4) {
    text_.reserve(c0.size() + c1.size() + c2.size() + c3.size() + c4.size());
    const std::string_view parts[kCells] = {c0, c1, c2, c3, c4};
    for (int i = 0; i < kCells; ++i) {
        text_.append(parts[i]);
        if (i < kCells - 1)
            end_[i] = static_cast<uint32_t>(text_.size());
    }
}

DepthRow::DepthRow(const std::array<std::string, kCells>& c)
    : DepthRow(c[0], c[1], c[2], c[3], c[4]) {}

std::string_view DepthRow::cell(int i) const {
    if (i < 0 || i >= kCells)
        return {};
    size_t begin = i == 0 ? 0 : end_[i - 1];
    size_t end = i == kCells - 1 ? text_.size() : end_[i];
    return std::string_view(text_).substr(begin, end - begin);
}

std::array<std::string, DepthRow::kCells> DepthRow::cells() const {
    std::array<std::string, kCells> out;
    for (int i = 0; i < kCells; ++i)
        out[i] = std::string(cell(i));
    return out;
}

void DepthRow::setCell(int i, std::string_view text) {
    if (i < 0 || i >= kCells)
        return;
    auto all = cells();
    all[i] = std::string(text);
    *this = DepthRow(all);
}

DepthRow rowFromValues(const int32_t (&values)[4], std::string_view remark) {
    // The four numbers are formatted straight into one buffer: this runs once per row read.
    char buf[48];
    char* p = buf;
    DepthRow row;
    for (int i = 0; i < 4; ++i) {
        p = std::to_chars(p, buf + sizeof buf, values[i]).ptr;
        row.end_[static_cast<size_t>(i)] = static_cast<uint32_t>(p - buf);
    }
    if (remark.empty()) {
        row.text_.assign(buf, p);
    } else {
        row.text_.reserve(static_cast<size_t>(p - buf) + remark.size());
        row.text_.assign(buf, p);
        row.text_.append(remark);
    }
    return row;
}

DepthRow rowFromRecord(const DepthRecord& r) {
    const int32_t values[4] = {r.componentNo, r.crackNo, r.pointNo, r.depthValue};
    return rowFromValues(values, "");
}

} // namespace marrowby
