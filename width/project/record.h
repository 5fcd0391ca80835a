#pragma once
// One crack-width record: six text fields in file, column and report order. The texts are the
// GBK bytes read from the project file and are never converted to numbers; copies of a record
// share them (RecordText).

#include "width/project/record_text.h"

namespace fallowmere {

struct CRecordStru {
    RecordText strGroup;  // 组号
    RecordText strName;   // 名称: the record's key and its photograph's base name
    RecordText strWidth;  // 宽度, millimetres as decimal text
    RecordText strMode;   // 模式
    RecordText strRemark; // 备注
    RecordText strTime;   // 时间

    static constexpr int kFieldCount = 6;

    // Field by column index 0..5 (group, name, width, mode, remark, time).
    const RecordText& field(int column) const;
    RecordText& field(int column);

    bool operator==(const CRecordStru&) const = default;
};

} // namespace fallowmere
