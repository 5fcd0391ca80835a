#pragma once
// How the list compares two texts of a column when a header is clicked. The kind of
// comparison is chosen from the first text alone: a number text compares as numbers, a date
// text (DD/MM/YYYY) as dates, anything else with the locale-aware text comparison handed in.
// For a column that mixes numbers and words this is inconsistent (a number before a word
// compares the word as 0, a word before a number compares them as texts); the list's sort
// copes with that (safeStableSort).

#include "width/list/stable_sort.h"

#include <cstdint>
#include <memory>
#include <string_view>
#include <vector>

namespace fallowmere {

// The locale-aware, case-sensitive comparison of two texts (GBK bytes). Implementations may
// precompute one collation key per text: rankTexts is called once per sort with the sort
// column's texts.
class TextCollator {
public:
    virtual ~TextCollator() = default;

    // Negative when a goes before b, 0 when they compare equal, positive otherwise.
    virtual int compare(std::string_view a, std::string_view b) const = 0;

    // One rank per text such that rank[i] < rank[j] exactly when compare(texts[i], texts[j])
    // is negative, and equal ranks for texts that compare equal. The default sorts the
    // distinct texts with compare.
    virtual std::vector<uint32_t> rankTexts(const std::vector<std::string_view>& texts) const;
};

// Byte order: the comparison used when no locale-aware one is at hand.
class ByteOrderCollator : public TextCollator {
public:
    int compare(std::string_view a, std::string_view b) const override;
    std::vector<uint32_t> rankTexts(const std::vector<std::string_view>& texts) const override;
};

// Groups equal texts: `distinct` receives each different text once, in the order first seen;
// the result gives every text's index in `distinct`.
std::vector<uint32_t> groupDistinct(const std::vector<std::string_view>& texts,
                                    std::vector<std::string_view>& distinct);

// Ranks of `count` distinct items from a consistent three-way comparison of two items by index.
template <typename Compare> std::vector<uint32_t> rankItems(size_t count, Compare compare) {
    std::vector<uint32_t> order(count);
    for (size_t i = 0; i < count; ++i)
        order[i] = static_cast<uint32_t>(i);
    safeStableSort(order, [&](uint32_t a, uint32_t b) { return compare(a, b) < 0; });
    std::vector<uint32_t> rank(count);
    uint32_t r = 0;
    for (size_t k = 0; k < count; ++k) {
        if (k > 0 && compare(order[k - 1], order[k]) != 0)
            ++r;
        rank[order[k]] = r;
    }
    return rank;
}

// True when every byte is a digit or a point; the empty text counts as a number.
bool IsNumberText(std::string_view text);
// -1, 0 or 1 as the atof values of x and y compare.
int CompareNumberTexts(std::string_view x, std::string_view y);
// True for exactly ten bytes DD/MM/YYYY: digits, "/" at bytes 2 and 5.
bool IsDateText(std::string_view text);
// Compares the atoi values of bytes 6-9 (year), then 3-4 (month), then 0-1 (day).
int CompareDateTexts(std::string_view x, std::string_view y);

// The comparison of two rows by their texts a and b of the sort column; negative when a's row
// goes first.
int CompareRows(std::string_view a, std::string_view b, bool ascending,
                const TextCollator& collator);

// The same comparison over a whole column, with everything it needs computed once per text.
class SortColumnKeys {
public:
    SortColumnKeys(const std::vector<std::string_view>& texts, const TextCollator& collator);
    // CompareRows(texts[a], texts[b], ascending, collator), from the precomputed keys.
    int compare(size_t a, size_t b, bool ascending) const;
    // When every text is a word, the comparison is the collator's alone: the ranks then give
    // the order directly. Empty otherwise.
    const std::vector<uint32_t>& textOnlyRanks() const { return textOnly_ ? rank_ : empty_; }

private:
    enum Kind : uint8_t { Number, Date, Text };
    struct DateKey {
        int32_t year, month, day;
    };
    std::vector<Kind> kind_;
    std::vector<double> number_;
    std::vector<DateKey> date_;
    std::vector<uint32_t> rank_;
    bool textOnly_ = false;
    std::vector<uint32_t> empty_;
    static DateKey dateKeyOf(std::string_view text);
};

} // namespace fallowmere
