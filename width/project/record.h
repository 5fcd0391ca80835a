#pragma once
// One crack-width record: six text fields in file, column and report order. The texts are the
// GBK bytes read from the project file and are never converted to numbers.

#include <string>
#include <string_view>

namespace fallowmere {

struct CRecordStru {
    std::string strGroup;  // 组号
    std::string strName;   // 名称: the record's key and its photograph's base name
    std::string strWidth;  // 宽度, millimetres as decimal text
    std::string strMode;   // 模式
    std::string strRemark; // 备注
    std::string strTime;   // 时间

    static constexpr int kFieldCount = 6;

    // Field by column index 0..5 (group, name, width, mode, remark, time).
    const std::string& field(int column) const;
    std::string& field(int column);

    bool operator==(const CRecordStru&) const = default;
};

} // namespace fallowmere
