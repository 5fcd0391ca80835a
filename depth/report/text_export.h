#pragma once
// The tab-separated text export of a depth window: GBK, a TAB after every field, CR LF line
// ends, a header line of the four column titles. The remark column is not exported.

#include "depth/document/depth_record.h"

#include <string>
#include <vector>

namespace marrowby {

std::string encodeTextExport(const std::vector<DepthRow>& rows);

} // namespace marrowby
