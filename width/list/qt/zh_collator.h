#pragma once
// The locale-aware text comparison of the record list: the Chinese (zh_CN) collation whatever
// the system's locale, since the project files come from Chinese systems. Case-sensitive,
// digits compared as characters, so "apple", "Banana", "cherry" sort in that order.

#include "width/list/sort_rules.h"

#include <QCollator>

namespace fallowmere {

class ZhCollator : public TextCollator {
public:
    ZhCollator();
    int compare(std::string_view a, std::string_view b) const override;
    // One sort key per distinct text, sorted once.
    std::vector<uint32_t> rankTexts(const std::vector<std::string_view>& texts) const override;

private:
    QCollator collator_;
};

} // namespace fallowmere
