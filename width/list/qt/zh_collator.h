#pragma once
// The locale-aware text comparison of the record list: the Chinese (zh_CN) collation whatever
// the system's locale, since the project files come from Chinese systems, with the scripts in
// the order a Chinese system sorts them: digits and punctuation first, then Latin letters
// (lower case before upper case), then Chinese characters by pinyin. Case-sensitive, digits
// compared as characters, so "1a", "apple", "Banana", "cherry", "阿", "中" sort in that order.
// ICU's own zh collation puts Chinese before Latin; its reorder codes put Latin first here.

#include "width/list/sort_rules.h"

#include <memory>

struct UCollator;

namespace fallowmere {

class ZhCollator : public TextCollator {
public:
    ZhCollator();
    ~ZhCollator() override;
    ZhCollator(const ZhCollator&) = delete;
    ZhCollator& operator=(const ZhCollator&) = delete;

    int compare(std::string_view a, std::string_view b) const override;
    // One sort key per distinct text, sorted once.
    std::vector<uint32_t> rankTexts(const std::vector<std::string_view>& texts) const override;

private:
    struct Close {
        void operator()(UCollator* collator) const;
    };
    std::unique_ptr<UCollator, Close> collator_;
};

} // namespace fallowmere
