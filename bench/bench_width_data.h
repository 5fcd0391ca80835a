#pragma once
// Sample crack-width records for the benchmarks: GBK names and remarks, widths such as 0.12,
// times in the meter's form.

#include "common/gbk.h"
#include "width/list/prompts.h"
#include "width/project/record.h"

#include <random>
#include <string>
#include <vector>

namespace widthbench {

inline std::vector<fallowmere::CRecordStru> sampleRecords(size_t n, unsigned seed = 1) {
    static const char* kChars[] = {"裂", "缝", "梁", "板", "柱", "墙", "东", "西", "南", "北",
                                   "左", "右", "上", "下", "中", "桥", "墩", "台", "亍", "阿",
                                   "层", "跨", "号", "区", "段", "侧", "底", "顶", "角", "边"};
    std::vector<std::string> chars;
    for (const char* c : kChars)
        chars.push_back(*tessera::utf8ToGbk(c));
    const std::string remark = *tessera::utf8ToGbk("表面");
    std::mt19937 rng(seed);
    std::vector<fallowmere::CRecordStru> records;
    records.reserve(n);
    for (size_t i = 0; i < n; ++i) {
        fallowmere::CRecordStru r;
        r.strGroup = std::to_string(1 + i / 50);
        r.strName = chars[rng() % chars.size()] + chars[rng() % chars.size()] +
                    chars[rng() % chars.size()] + std::to_string(i);
        r.strWidth = "0." + std::to_string(rng() % 100 + 1);
        r.strMode = rng() % 2 ? "A" : "B";
        r.strRemark = rng() % 3 ? remark : std::string();
        r.strTime = "2017-03-" + std::to_string(10 + rng() % 18) + " 1" +
                    std::to_string(rng() % 10) + ":" + std::to_string(10 + rng() % 50);
        records.push_back(std::move(r));
    }
    return records;
}

class SilentPrompts : public fallowmere::ListPrompts {
public:
    void message(std::string_view, std::string_view, fallowmere::MessageIcon) override {}
    bool askYesNo(std::string_view, std::string_view) override { return answerYes; }
    bool answerYes = false;
    fallowmere::ReplaceAnswer askReplace(const std::string&) override {
        return fallowmere::ReplaceAnswer::No;
    }
    tessera::ChangedFileAnswer askChangedOnDisk(const std::string&) override {
        return tessera::ChangedFileAnswer::Cancel;
    }
};

} // namespace widthbench
