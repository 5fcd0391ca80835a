#pragma once
// Rows as UTF-8 tab-separated text, the exchange format of marrowby-cli: one row per line,
// up to five cells (component, crack, point, depth, remark); missing cells are empty. Cells
// use the escapes of common/cell_escape.h ("\t", "\r", "\n", "\\"), as `dump` prints them, and
// the text may start with a UTF-8 byte-order mark.

#include "depth/document/depth_record.h"

#include <string>
#include <string_view>
#include <vector>

namespace marrowby {

// Parses UTF-8 TSV into rows of GBK cells. Line ends may be LF or CR LF; a final line end does
// not start another row. Returns false with a reason in `error` ("line 3: ...") when a line has
// more than five cells, a backslash starts no escape, or a cell holds text GBK cannot
// represent.
bool parseRowsTsv(std::string_view utf8, std::vector<DepthRow>& rows, std::string& error);

} // namespace marrowby
