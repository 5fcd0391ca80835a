#include "width/project/record.h"

#include <cassert>

namespace fallowmere {

const RecordText& CRecordStru::field(int column) const {
    switch (column) {
    case 0:
        return strGroup;
    case 1:
        return strName;
    case 2:
        return strWidth;
    case 3:
        return strMode;
    case 4:
        return strRemark;
    default:
        assert(column == 5);
        return strTime;
    }
}

RecordText& CRecordStru::field(int column) {
    return const_cast<RecordText&>(static_cast<const CRecordStru&>(*this).field(column));
}

} // namespace fallowmere
