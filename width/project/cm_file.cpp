#include "width/project/cm_file.h"

#include "common/atomic_file.h"
#include "common/gbk.h"
#include "common/text.h"

#include <cstring>
#include <new>

namespace fallowmere {
namespace {

const std::string& headerGbk() {
    static const std::string header = tessera::utf8ToGbk(kProjectHeaderUtf8).value_or("");
    return header;
}

size_t countLineFeeds(std::string_view bytes) {
    size_t count = 0;
    const char* p = bytes.data();
    const char* end = p + bytes.size();
    while (p < end) {
        auto* lf = static_cast<const char*>(std::memchr(p, '\n', static_cast<size_t>(end - p)));
        if (!lf)
            break;
        ++count;
        p = lf + 1;
    }
    return count;
}

template <typename Records> std::string encode(const Records& records, auto&& recordAt) {
    size_t size = headerGbk().size() + 2;
    for (const auto& r : records) {
        const CRecordStru& rec = recordAt(r);
        size += rec.strGroup.size() + rec.strName.size() + rec.strWidth.size() +
                rec.strMode.size() + rec.strRemark.size() + rec.strTime.size() + 7;
    }
    std::string out;
    out.reserve(size);
    out += headerGbk();
    out += "\r\n";
    for (const auto& r : records) {
        const CRecordStru& rec = recordAt(r);
        out += rec.strGroup;
        out += '\t';
        out += rec.strName;
        out += '\t';
        out += rec.strWidth;
        out += '\t';
        out += rec.strMode;
        out += '\t';
        out += rec.strRemark;
        out += '\t';
        out += rec.strTime;
        out += "\r\n";
    }
    return out;
}

} // namespace

namespace {

void splitInto(std::string_view line, CRecordStru& record) {
    std::string_view rest = line;
    for (int i = 0; i < CRecordStru::kFieldCount; ++i) {
        auto tab = rest.find('\t');
        if (tab == std::string_view::npos) {
            // What is left fills this field and repeats into every missing one: one text,
            // shared, however long the line.
            const RecordText last(rest);
            for (; i < CRecordStru::kFieldCount; ++i)
                record.field(i) = last;
            return;
        }
        record.field(i) = RecordText(rest.substr(0, tab));
        rest.remove_prefix(tab + 1);
    }
}

} // namespace

CRecordStru splitRecordLine(std::string_view line) {
    CRecordStru record;
    splitInto(line, record);
    return record;
}

void parseProjectText(std::string_view bytes, std::vector<CRecordStru>& records) {
    auto firstEnd = bytes.find('\n');
    if (firstEnd == std::string_view::npos)
        return; // the header only
    std::string_view rest = bytes.substr(firstEnd + 1);
    records.reserve(records.size() + countLineFeeds(rest) + 1);
    while (!rest.empty()) {
        auto lf = rest.find('\n');
        std::string_view line = rest.substr(0, lf);
        if (lf != std::string_view::npos && !line.empty() && line.back() == '\r')
            line.remove_suffix(1);
        splitInto(line, records.emplace_back());
        if (lf == std::string_view::npos)
            break;
        rest.remove_prefix(lf + 1);
    }
}

std::string encodeProjectText(const std::vector<const CRecordStru*>& records) {
    return encode(records, [](const CRecordStru* r) -> const CRecordStru& { return *r; });
}

std::string encodeProjectText(const std::vector<CRecordStru>& records) {
    return encode(records, [](const CRecordStru& r) -> const CRecordStru& { return r; });
}

bool ReadProjectFile(const std::string& path, std::vector<CRecordStru>& records,
                     std::string& message) {
    records.clear();
    std::string bytes;
    std::string reason;
    if (tessera::readRegularFile(path, bytes, reason)) {
        try {
            parseProjectText(bytes, records);
            return true;
        } catch (const std::bad_alloc&) {
            std::vector<CRecordStru>().swap(records);
            reason = tessera::kOutOfMemoryReason;
        }
    }
    message = "无法读取项目文件“" + tessera::displayPath(path) + "”：" + reason;
    return false;
}

std::string projectWriteFailure(const std::string& path, const std::string& reason) {
    return "无法保存项目文件“" + tessera::displayPath(path) + "”：" + reason + "\n原文件保持不变。";
}

bool writeProjectBytes(const std::string& path, std::string_view bytes, std::string& message) {
    std::string reason;
    if (tessera::writeFileAtomically(path, bytes, &reason))
        return true;
    message = projectWriteFailure(path, reason);
    return false;
}

} // namespace fallowmere
