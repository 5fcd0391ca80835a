#pragma once
// The .cm project file: GBK text, a header line, then one line per record with six fields
// separated by TAB. Lines end with CR LF; a bare LF is accepted on reading, and so is a last
// line without a line end.

#include "width/project/record.h"

#include <string>
#include <string_view>
#include <vector>

namespace fallowmere {

// Splits one record line (without its line end) into six fields. Each field is the text up to
// the next TAB of what is left; when no TAB is left the field is all that is left and what is
// left stays, so missing fields repeat the last field present ("A\tB\tC" gives A, B, C, C, C,
// C), an empty line gives six empty fields and text after the sixth TAB is ignored.
CRecordStru splitRecordLine(std::string_view line);

// Appends the records of a whole project file image to `records`. The first line is skipped
// whatever it holds; no line is rejected and lines have no length limit.
void parseProjectText(std::string_view bytes, std::vector<CRecordStru>& records);

// The header line's fields, as they appear in the list's column titles (UTF-8).
inline constexpr std::string_view kProjectHeaderUtf8 = "组号\t名称\t宽度\t模式\t备注\t时间";

// The whole file image for these records: the header, then every record's six fields exactly
// as held, CR LF after every line.
std::string encodeProjectText(const std::vector<const CRecordStru*>& records);
std::string encodeProjectText(const std::vector<CRecordStru>& records);

// Reads the project file at `path` into `records` (emptied first). Only a regular file is read;
// on failure no records are given and `message` holds the text to show (UTF-8), naming the
// file and the reason.
bool ReadProjectFile(const std::string& path, std::vector<CRecordStru>& records,
                     std::string& message);

// The text to show when the project file at `path` cannot be written (UTF-8).
std::string projectWriteFailure(const std::string& path, const std::string& reason);

// Writes a file image to `path` atomically. A failed write leaves the old file as it was and
// gives the text to show in `message` (UTF-8), naming the file and the reason.
bool writeProjectBytes(const std::string& path, std::string_view bytes, std::string& message);

} // namespace fallowmere
