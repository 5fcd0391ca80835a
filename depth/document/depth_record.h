#pragma once
// One measuring point of the crack depth meter, and a depth window's rows of five text cells.

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace marrowby {

struct DepthRecord {
    int32_t componentNo = 0;
    int32_t crackNo = 0;
    int32_t pointNo = 0;
    int32_t depthValue = 0;
    std::string remark; // GBK bytes; empty after a download

    bool operator==(const DepthRecord&) const = default;
};

// One row of a depth window: five text cells (component, crack, point, depth, remark) holding
// the GBK bytes shown in the list. The cells are packed into one string with four end offsets,
// so a typical row of digits needs no heap memory at all (about 48 bytes per row held).
class DepthRow {
public:
    static constexpr int kCells = 5;

    DepthRow() = default;
    DepthRow(std::string_view c0, std::string_view c1, std::string_view c2, std::string_view c3,
             std::string_view c4);
    explicit DepthRow(const std::array<std::string, kCells>& cells);

    std::string_view cell(int i) const;
    void setCell(int i, std::string_view text);
    std::array<std::string, kCells> cells() const;

    bool operator==(const DepthRow& other) const {
        return text_ == other.text_ && end_ == other.end_;
    }

private:
    friend DepthRow rowFromValues(const int32_t (&values)[4], std::string_view remark);
    std::string text_;
    std::array<uint32_t, kCells - 1> end_{};
};

// A row of four numbers in "%d" form and a remark cell.
DepthRow rowFromValues(const int32_t (&values)[4], std::string_view remark);
// The row a record becomes: the four numbers in "%d" form and an empty remark.
DepthRow rowFromRecord(const DepthRecord& record);

// The column titles of the list, the printed report and the text export (UTF-8).
inline constexpr std::array<std::string_view, DepthRow::kCells> kColumnTitles = {
    "构件号", "裂缝号", "测点号", "裂缝深度值", "备注"};

} // namespace marrowby
