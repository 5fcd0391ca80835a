#pragma once
// The list's columns, set up from a text of title-and-width pairs ("组号,45;名称,100;…").

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace fallowmere {

struct ListColumn {
    std::string title; // as written in that text
    int width = 0;     // pixels
};

// The record list's columns: group, name, width, mode, remark, time.
inline constexpr std::string_view kRecordListColumns =
    "组号,45;名称,100;宽度,60;模式,60;备注,70;时间,110";

// Appends one column per "title,width" pair; pairs are separated by ";" and the width is read
// by the atoi rule. Stops without error at the first position that has no "," after it.
// Always true here: a column held in memory cannot fail to be created (the window's own
// list reports its failures itself).
bool SetUpColumns(std::string_view spec, std::vector<ListColumn>& columns);

// Column widths saved for a list (the settings entry under "ListCtrls"): a 32-bit count, then
// that many 32-bit widths, little-endian. Nothing (nullopt) when the count differs from
// `columnCount`; when the value ends early, the widths that are complete, to be applied one by
// one as the platform's reader would before it stopped.
std::optional<std::vector<int32_t>> decodeSavedColumnWidths(std::string_view bytes,
                                                            size_t columnCount);

// The value saved for a list's column widths, in the form decodeSavedColumnWidths reads.
std::string encodeSavedColumnWidths(const std::vector<int32_t>& widths);

} // namespace fallowmere
