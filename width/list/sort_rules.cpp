#include "width/list/sort_rules.h"

#include "common/crt.h"

#include <clocale>
#include <cstdlib>
#include <locale.h>
#include <string>
#include <unordered_map>

namespace fallowmere {
namespace {

bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

int sign(double a, double b) {
    return a < b ? -1 : (a > b ? 1 : 0);
}

int sign(int32_t a, int32_t b) {
    return a < b ? -1 : (a > b ? 1 : 0);
}

// CString::Mid: the part of `text` from `start`, at most `count` bytes, empty past the end.
std::string_view mid(std::string_view text, size_t start, size_t count) {
    if (start >= text.size())
        return {};
    return text.substr(start, count);
}

std::vector<uint32_t> ranksThroughDistinct(const std::vector<std::string_view>& texts,
                                           auto&& rankDistinct) {
    std::vector<std::string_view> distinct;
    std::vector<uint32_t> which = groupDistinct(texts, distinct);
    std::vector<uint32_t> distinctRank = rankDistinct(distinct);
    for (uint32_t& w : which)
        w = distinctRank[w];
    return which;
}

} // namespace

std::vector<uint32_t> groupDistinct(const std::vector<std::string_view>& texts,
                                    std::vector<std::string_view>& distinct) {
    std::unordered_map<std::string_view, uint32_t> seen;
    seen.reserve(texts.size());
    std::vector<uint32_t> which(texts.size());
    for (size_t i = 0; i < texts.size(); ++i) {
        auto [it, added] = seen.try_emplace(texts[i], static_cast<uint32_t>(distinct.size()));
        if (added)
            distinct.push_back(texts[i]);
        which[i] = it->second;
    }
    return which;
}

std::vector<uint32_t> TextCollator::rankTexts(const std::vector<std::string_view>& texts) const {
    return ranksThroughDistinct(texts, [this](const std::vector<std::string_view>& distinct) {
        return rankItems(distinct.size(),
                         [&](uint32_t a, uint32_t b) { return compare(distinct[a], distinct[b]); });
    });
}

int ByteOrderCollator::compare(std::string_view a, std::string_view b) const {
    int c = a.compare(b);
    return c < 0 ? -1 : (c > 0 ? 1 : 0);
}

std::vector<uint32_t>
ByteOrderCollator::rankTexts(const std::vector<std::string_view>& texts) const {
    return ranksThroughDistinct(texts, [](const std::vector<std::string_view>& distinct) {
        // Copies side by side in memory compare several times faster than texts spread over
        // the rows.
        std::string arena;
        size_t size = 0;
        for (std::string_view t : distinct)
            size += t.size();
        arena.reserve(size);
        std::vector<std::string_view> packed;
        packed.reserve(distinct.size());
        for (std::string_view t : distinct) {
            packed.emplace_back(arena.data() + arena.size(), t.size());
            arena.append(t);
        }
        return rankItems(packed.size(),
                         [&](uint32_t a, uint32_t b) { return packed[a].compare(packed[b]); });
    });
}

bool IsNumberText(std::string_view text) {
    for (char c : text)
        if (!isDigit(c) && c != '.')
            return false;
    return true;
}

int CompareNumberTexts(std::string_view x, std::string_view y) {
    return sign(tessera::crtAtof(x), tessera::crtAtof(y));
}

bool IsDateText(std::string_view t) {
    if (t.size() != 10 || t[2] != '/' || t[5] != '/')
        return false;
    for (size_t i : {0, 1, 3, 4, 6, 7, 8, 9})
        if (!isDigit(t[i]))
            return false;
    return true;
}

int CompareDateTexts(std::string_view x, std::string_view y) {
    if (int c = sign(tessera::crtAtoi(mid(x, 6, 4)), tessera::crtAtoi(mid(y, 6, 4))))
        return c;
    if (int c = sign(tessera::crtAtoi(mid(x, 3, 2)), tessera::crtAtoi(mid(y, 3, 2))))
        return c;
    return sign(tessera::crtAtoi(mid(x, 0, 2)), tessera::crtAtoi(mid(y, 0, 2)));
}

int CompareRows(std::string_view a, std::string_view b, bool ascending,
                const TextCollator& collator) {
    if (IsNumberText(a))
        return ascending ? CompareNumberTexts(a, b) : CompareNumberTexts(b, a);
    if (IsDateText(a))
        return ascending ? CompareDateTexts(a, b) : CompareDateTexts(b, a);
    return ascending ? collator.compare(a, b) : collator.compare(b, a);
}

SortColumnKeys::DateKey SortColumnKeys::dateKeyOf(std::string_view t) {
    return {tessera::crtAtoi(mid(t, 6, 4)), tessera::crtAtoi(mid(t, 3, 2)),
            tessera::crtAtoi(mid(t, 0, 2))};
}

SortColumnKeys::SortColumnKeys(const std::vector<std::string_view>& texts,
                               const TextCollator& collator) {
    const size_t n = texts.size();
    kind_.resize(n);
    bool anyNumber = false, anyDate = false, anyText = false;
    for (size_t i = 0; i < n; ++i) {
        kind_[i] = IsNumberText(texts[i]) ? Number : (IsDateText(texts[i]) ? Date : Text);
        anyNumber |= kind_[i] == Number;
        anyDate |= kind_[i] == Date;
        anyText |= kind_[i] == Text;
    }
    // A row of one kind is compared with every other row by its own kind's rule, so each key
    // that some row's kind needs is computed for all rows.
    if (anyNumber) {
        number_.resize(n);
        for (size_t i = 0; i < n; ++i)
            number_[i] = tessera::crtAtof(texts[i]);
    }
    if (anyDate) {
        date_.resize(n);
        for (size_t i = 0; i < n; ++i)
            date_[i] = dateKeyOf(texts[i]);
    }
    if (anyText)
        rank_ = collator.rankTexts(texts);
    textOnly_ = anyText && !anyNumber && !anyDate;
}

int SortColumnKeys::compare(size_t a, size_t b, bool ascending) const {
    // The kind is chosen from a's text; descending compares b with a.
    const Kind kind = kind_[a];
    const size_t x = ascending ? a : b;
    const size_t y = ascending ? b : a;
    switch (kind) {
    case Number:
        return sign(number_[x], number_[y]);
    case Date:
        if (int c = sign(date_[x].year, date_[y].year))
            return c;
        if (int c = sign(date_[x].month, date_[y].month))
            return c;
        return sign(date_[x].day, date_[y].day);
    case Text:
        break;
    }
    return rank_[x] < rank_[y] ? -1 : (rank_[x] > rank_[y] ? 1 : 0);
}

} // namespace fallowmere
