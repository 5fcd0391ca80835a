#include "width/list/qt/zh_collator.h"

#include "common/text.h"

#include <unicode/ucol.h>
#include <unicode/uscript.h>

#include <string>

namespace fallowmere {
namespace {

const UChar* chars(const std::u16string& text) {
    return reinterpret_cast<const UChar*>(text.data());
}

int32_t length(const std::u16string& text) {
    return static_cast<int32_t>(text.size());
}

// The collation key of `text` (UTF-16), as bytes compared with memcmp.
std::string sortKey(const UCollator* collator, const std::u16string& text) {
    std::string key(text.size() * 4 + 16, '\0');
    for (;;) {
        const int32_t needed = ucol_getSortKey(collator, chars(text), length(text),
                                               reinterpret_cast<uint8_t*>(key.data()),
                                               static_cast<int32_t>(key.size()));
        if (needed <= static_cast<int32_t>(key.size())) {
            key.resize(needed > 0 ? static_cast<size_t>(needed) - 1 : 0); // without its NUL
            return key;
        }
        key.resize(static_cast<size_t>(needed));
    }
}

} // namespace

void ZhCollator::Close::operator()(UCollator* collator) const {
    ucol_close(collator);
}

ZhCollator::ZhCollator() {
    UErrorCode status = U_ZERO_ERROR;
    collator_.reset(ucol_open("zh", &status)); // pinyin order
    if (U_FAILURE(status) || !collator_) {
        status = U_ZERO_ERROR;
        collator_.reset(ucol_open("", &status));
    }
    // Tertiary strength (case-sensitive, lower case first), punctuation not ignored, digits as
    // characters: ICU's defaults, stated here so that no locale data changes them.
    ucol_setStrength(collator_.get(), UCOL_TERTIARY);
    ucol_setAttribute(collator_.get(), UCOL_ALTERNATE_HANDLING, UCOL_NON_IGNORABLE, &status);
    ucol_setAttribute(collator_.get(), UCOL_NUMERIC_COLLATION, UCOL_OFF, &status);
    ucol_setAttribute(collator_.get(), UCOL_CASE_FIRST, UCOL_LOWER_FIRST, &status);
    // Spaces, punctuation, symbols and digits keep their place before every script; then
    // Latin, then Han (with Bopomofo, as the zh collation groups them), then the rest.
    const int32_t order[] = {USCRIPT_LATIN, USCRIPT_HAN, USCRIPT_BOPOMOFO};
    status = U_ZERO_ERROR;
    ucol_setReorderCodes(collator_.get(), order, 3, &status);
}

ZhCollator::~ZhCollator() = default;

int ZhCollator::compare(std::string_view a, std::string_view b) const {
    tessera::GbkDecoder decoder;
    std::u16string ua, ub;
    decoder.toUtf16(a, ua);
    decoder.toUtf16(b, ub);
    const UCollationResult c =
        ucol_strcoll(collator_.get(), chars(ua), length(ua), chars(ub), length(ub));
    return c == UCOL_LESS ? -1 : (c == UCOL_GREATER ? 1 : 0);
}

std::vector<uint32_t> ZhCollator::rankTexts(const std::vector<std::string_view>& texts) const {
    std::vector<std::string_view> distinct;
    std::vector<uint32_t> which = groupDistinct(texts, distinct);
    tessera::GbkDecoder decoder;
    std::u16string buffer;
    std::vector<std::string> keys;
    keys.reserve(distinct.size());
    for (std::string_view text : distinct) {
        decoder.toUtf16(text, buffer);
        keys.push_back(sortKey(collator_.get(), buffer));
    }
    const std::vector<uint32_t> rank = rankItems(keys.size(), [&](uint32_t a, uint32_t b) {
        const int c = keys[a].compare(keys[b]);
        return c < 0 ? -1 : (c > 0 ? 1 : 0);
    });
    for (uint32_t& w : which)
        w = rank[w];
    return which;
}

} // namespace fallowmere
