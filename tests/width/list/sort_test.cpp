#include "common/crt.h"
#include "width/list/columns.h"
#include "width/list/record_rows.h"
#include "width/list/sort_rules.h"
#include "width/list/stable_sort.h"

#include <algorithm>
#include <cmath>
#include <gtest/gtest.h>
#include <random>

using namespace fallowmere;

namespace {

const ByteOrderCollator kBytes;

int sgn(int v) {
    return (v > 0) - (v < 0);
}

// Rows whose column 2 (width) holds the given texts; the names number them 0, 1, 2, ...
void fill(RecordRows& rows, const std::vector<std::string>& widths) {
    rows.clear();
    for (size_t i = 0; i < widths.size(); ++i) {
        CRecordStru r;
        r.strName = std::to_string(i);
        r.strWidth = widths[i];
        rows.append(r);
    }
}

std::vector<std::string> column(const RecordRows& rows, int c) {
    std::vector<std::string> out;
    for (size_t i = 0; i < rows.size(); ++i)
        out.push_back(rows.record(i).field(c));
    return out;
}

} // namespace

TEST(SortRules, NumberTexts) {
    for (const char* t : {"", "10", "10.5", "..", "007"})
        EXPECT_TRUE(IsNumberText(t)) << t;
    for (const char* t : {"-1", "+1", " 1", "1,000", "1e5", "1 ", "\xB0\xA1"})
        EXPECT_FALSE(IsNumberText(t)) << t;

    EXPECT_EQ(-1, CompareNumberTexts("9", "10"));
    EXPECT_EQ(1, CompareNumberTexts("10.5", "10"));
    EXPECT_EQ(0, CompareNumberTexts("10", "10.00"));
    EXPECT_EQ(1, CompareNumberTexts("1000", "1e2"));
}

TEST(SortRules, DateTexts) {
    EXPECT_TRUE(IsDateText("05/03/2017"));
    for (const char* t : {"2017/03/01", "5/3/2017", "05-03-2017", "05/03/201x", "05/03/20170"})
        EXPECT_FALSE(IsDateText(t)) << t;
    EXPECT_EQ(1, CompareDateTexts("05/03/2017", "28/02/2017")); // month before day
    EXPECT_EQ(1, CompareDateTexts("01/01/2018", "31/12/2017")); // year first
    EXPECT_EQ(0, CompareDateTexts("01/01/2018", "01/01/2018"));
    // The second text need not be a date: its parts are read where they would be.
    EXPECT_EQ(1, CompareDateTexts("01/01/2018", "short"));
}

TEST(SortRules, KindComesFromTheFirstTextOnly) {
    // A number compares a word as 0; a word compares a number as text: inconsistent.
    EXPECT_GT(CompareRows("10", "abc", true, kBytes), 0);
    EXPECT_GT(CompareRows("abc", "10", true, kBytes), 0);
    EXPECT_LT(CompareRows("", "5", true, kBytes), 0); // empty is the number 0
    EXPECT_EQ(0, CompareRows("", "abc", true, kBytes));
    // A date compares the other text's date parts; a slashed text of another form is text.
    EXPECT_LT(CompareRows("28/02/2017", "05/03/2017", true, kBytes), 0);
    EXPECT_GT(CompareRows("2017/03/01", "2017/02/28", true, kBytes), 0);
    // Descending swaps the texts, not the kind.
    EXPECT_LT(CompareRows("10", "abc", false, kBytes), 0);
    EXPECT_GT(CompareRows("b", "a", true, kBytes), 0);
    EXPECT_LT(CompareRows("b", "a", false, kBytes), 0);
}

TEST(SortRules, ColumnSetUp) {
    std::vector<ListColumn> columns;
    EXPECT_TRUE(SetUpColumns(kRecordListColumns, columns));
    ASSERT_EQ(6u, columns.size());
    EXPECT_EQ("组号", columns[0].title);
    EXPECT_EQ(45, columns[0].width);
    EXPECT_EQ("时间", columns[5].title);
    EXPECT_EQ(110, columns[5].width);

    for (const char* spec : {"A,50", "A,50;"}) {
        std::vector<ListColumn> one;
        EXPECT_TRUE(SetUpColumns(spec, one));
        ASSERT_EQ(1u, one.size()) << spec;
        EXPECT_EQ("A", one[0].title);
        EXPECT_EQ(50, one[0].width);
    }
    std::vector<ListColumn> none;
    EXPECT_TRUE(SetUpColumns("no comma here", none));
    EXPECT_TRUE(none.empty());
    // Each call appends; a width that is no number is 0.
    EXPECT_TRUE(SetUpColumns("B,x;C,7", columns));
    ASSERT_EQ(8u, columns.size());
    EXPECT_EQ(0, columns[6].width);
    EXPECT_EQ("C", columns[7].title);
}

TEST(SortRules, SavedColumnWidths) {
    const std::string saved("\x03\0\0\0\x2D\0\0\0\x64\0\0\0\x00\x01\0\0", 16);
    EXPECT_EQ((std::vector<int32_t>{45, 100, 256}), decodeSavedColumnWidths(saved, 3));
    EXPECT_FALSE(decodeSavedColumnWidths(saved, 6)); // another list's layout
    EXPECT_FALSE(decodeSavedColumnWidths("", 0));
    EXPECT_EQ((std::vector<int32_t>{45}), decodeSavedColumnWidths(saved.substr(0, 10), 3));
    // What the list writes at exit is what it reads at the next start.
    EXPECT_EQ(saved, encodeSavedColumnWidths({45, 100, 256}));
    const std::vector<int32_t> wide{45, 100, 60, 60, 70, 70000};
    EXPECT_EQ(wide, decodeSavedColumnWidths(encodeSavedColumnWidths(wide), 6));
}

TEST(RowSort, NumbersDatesAndHeaderClicks) {
    RecordRows rows;
    fill(rows, {"10", "9", "10.5"});
    rows.OnHeaderClick(2, kBytes);
    EXPECT_EQ((std::vector<std::string>{"9", "10", "10.5"}), column(rows, 2));
    EXPECT_TRUE(rows.ascending());
    rows.OnHeaderClick(2, kBytes);
    EXPECT_EQ((std::vector<std::string>{"10.5", "10", "9"}), column(rows, 2));
    EXPECT_FALSE(rows.ascending());
    rows.OnHeaderClick(2, kBytes);
    EXPECT_TRUE(rows.ascending());
    rows.OnHeaderClick(2, kBytes);
    rows.OnHeaderClick(3, kBytes); // another column starts ascending
    EXPECT_EQ(3, rows.sortColumn());
    EXPECT_TRUE(rows.ascending());

    fill(rows, {"05/03/2017", "28/02/2017", "01/01/2016"});
    rows.SortByColumn(2, true, kBytes);
    EXPECT_EQ((std::vector<std::string>{"01/01/2016", "28/02/2017", "05/03/2017"}),
              column(rows, 2));
}

TEST(RowSort, EqualRowsKeepTheirOrderAndNewRowsGoToTheBottom) {
    RecordRows rows;
    fill(rows, {"2", "1", "2", "1", "2"});
    rows.SortByColumn(2, true, kBytes);
    EXPECT_EQ((std::vector<std::string>{"1", "3", "0", "2", "4"}), column(rows, 1));
    rows.SortByColumn(2, false, kBytes);
    EXPECT_EQ((std::vector<std::string>{"0", "2", "4", "1", "3"}), column(rows, 1));
    CRecordStru late;
    late.strWidth = "0";
    rows.append(late);
    EXPECT_EQ("0", rows.record(5).strWidth);
    // The rows are out of the sort's order now: no column is marked, and a click on the same
    // column sorts it ascending again.
    EXPECT_EQ(-1, rows.sortColumn());
    rows.OnHeaderClick(2, kBytes);
    EXPECT_TRUE(rows.ascending());
    rows.clear();
    EXPECT_EQ(-1, rows.sortColumn());
}

TEST(RowSort, EditedRowsSortByTheTextsTheyWereAddedWith) {
    RecordRows rows;
    fill(rows, {"1", "2", "3"});
    CRecordStru edited = rows.record(0);
    edited.strWidth = "9";
    edited.strName = "zz";
    rows.setRecord(0, edited);
    rows.SortByColumn(2, false, kBytes);
    EXPECT_EQ((std::vector<std::string>{"3", "2", "9"}), column(rows, 2));
    EXPECT_EQ("1", rows.rowText(2, 2));
    EXPECT_EQ("0", rows.rowText(2, 1));
    // A second edit keeps the first copies.
    edited.strWidth = "0";
    rows.setRecord(2, edited);
    EXPECT_EQ("1", rows.rowText(2, 2));
}

TEST(RowSort, MixedColumnsSortSafelyAndAsCompareRowsSays) {
    std::mt19937 rng(20240611);
    const std::vector<std::string> pool = {"",
                                           "0",
                                           "10",
                                           "9.5",
                                           "abc",
                                           "Abc",
                                           "1e3",
                                           "05/03/2017",
                                           "x/y/z",
                                           "-3",
                                           "10abc",
                                           "28/02/2017",
                                           "\xC1\xD1\xB7\xEC",
                                           "..",
                                           " 7"};
    for (int round = 0; round < 300; ++round) {
        const size_t n = rng() % 200;
        std::vector<std::string> texts;
        for (size_t i = 0; i < n; ++i)
            texts.push_back(rng() % 4 ? pool[rng() % pool.size()] : std::to_string(rng() % 1000));
        const bool ascending = rng() % 2;

        // The precomputed keys answer exactly as CompareRows.
        std::vector<std::string_view> views(texts.begin(), texts.end());
        SortColumnKeys keys(views, kBytes);
        for (int k = 0; k < 50 && n > 0; ++k) {
            size_t a = rng() % n, b = rng() % n;
            ASSERT_EQ(sgn(CompareRows(texts[a], texts[b], ascending, kBytes)),
                      sgn(keys.compare(a, b, ascending)))
                << texts[a] << " | " << texts[b];
        }

        // The sort finishes and keeps every row.
        RecordRows rows;
        fill(rows, texts);
        rows.SortByColumn(2, ascending, kBytes);
        ASSERT_EQ(n, rows.size());
        std::vector<int> seen(n, 0);
        for (size_t i = 0; i < n; ++i) {
            const size_t original = std::stoul(rows.record(i).strName);
            ASSERT_LT(original, n);
            ++seen[original];
            EXPECT_EQ(texts[original], rows.record(i).strWidth);
        }
        EXPECT_TRUE(std::all_of(seen.begin(), seen.end(), [](int s) { return s == 1; }));
    }
}

TEST(RowSort, ConsistentColumnsEndSortedAndStable) {
    std::mt19937 rng(7);
    for (int round = 0; round < 100; ++round) {
        const size_t n = rng() % 300;
        std::vector<std::string> texts;
        for (size_t i = 0; i < n; ++i)
            texts.push_back(std::to_string(rng() % 50) + (rng() % 2 ? ".5" : ""));
        RecordRows rows;
        fill(rows, texts);
        rows.SortByColumn(2, true, kBytes);
        for (size_t i = 1; i < n; ++i) {
            const double a = tessera::crtAtof(rows.record(i - 1).strWidth);
            const double b = tessera::crtAtof(rows.record(i).strWidth);
            ASSERT_LE(a, b);
            if (a == b) {
                ASSERT_LT(std::stoul(rows.record(i - 1).strName),
                          std::stoul(rows.record(i).strName));
            }
        }
    }
}

TEST(SafeStableSort, SurvivesAComparisonThatAnswersAtRandom) {
    std::mt19937 rng(99);
    for (size_t n : {0u, 1u, 2u, 23u, 24u, 25u, 100u, 1000u, 5000u}) {
        std::vector<int> items(n);
        for (size_t i = 0; i < n; ++i)
            items[i] = static_cast<int>(i);
        safeStableSort(items, [&](int, int) { return rng() % 2 == 0; });
        std::sort(items.begin(), items.end());
        for (size_t i = 0; i < n; ++i)
            ASSERT_EQ(static_cast<int>(i), items[i]);
    }
}

TEST(RowObserver, EveryChangeIsAnnouncedBeforeAndAfter) {
    struct Log : RowsObserver {
        std::vector<std::string> events;
        size_t rowsSeen = 0;
        const RecordRows* rows = nullptr;
        void beforeInsert(size_t first, size_t count) override {
            events.push_back("insert " + std::to_string(first) + "+" + std::to_string(count));
            rowsSeen = rows->size();
        }
        void afterInsert() override { events.push_back("inserted"); }
        void beforeRemove(size_t first, size_t count) override {
            events.push_back("remove " + std::to_string(first) + "+" + std::to_string(count));
            rowsSeen = rows->size();
        }
        void afterRemove() override { events.push_back("removed"); }
        void beforeReset() override { events.push_back("reset"); }
        void afterReset() override { events.push_back("reset done"); }
        void changed(size_t first, size_t last) override {
            events.push_back("changed " + std::to_string(first) + "-" + std::to_string(last));
        }
    } log;
    RecordRows rows;
    log.rows = &rows;
    rows.setObserver(&log);
    fill(rows, {"3", "1", "2"});
    EXPECT_EQ(2u, log.rowsSeen); // told before the third row arrives
    rows.setChecked(1, true);
    rows.setChecked(1, true); // no change, no notice
    rows.remove(2);
    EXPECT_EQ(3u, log.rowsSeen);
    rows.SortByColumn(2, true, kBytes);
    rows.removeRows({0, 1});
    EXPECT_EQ((std::vector<std::string>{"insert 0+1", "inserted", "insert 1+1", "inserted",
                                        "insert 2+1", "inserted", "changed 1-1", "remove 2+1",
                                        "removed", "reset", "reset done", "reset", "reset done"}),
              log.events);
    EXPECT_TRUE(rows.empty());
}

TEST(RowNames, FindNameAgreesWithAScanThroughEveryKindOfChange) {
    std::mt19937 rng(7);
    RecordRows rows;
    auto name = [&] { return "n" + std::to_string(rng() % 40); };
    for (int step = 0; step < 400; ++step) {
        switch (rng() % 5) {
        case 0:
        case 1: {
            CRecordStru r;
            r.strName = name();
            r.strWidth = std::to_string(rng() % 9);
            rows.append(r);
            break;
        }
        case 2:
            if (!rows.empty())
                rows.remove(rng() % rows.size());
            break;
        case 3:
            rows.OnHeaderClick(static_cast<int>(rng() % 3), kBytes);
            break;
        case 4:
            if (!rows.empty()) { // an edit may give a row the name of another
                const size_t i = rng() % rows.size();
                CRecordStru r = rows.record(i);
                r.strName = name();
                rows.setRecord(i, r);
            }
            break;
        }
        for (int k = 0; k < 40; ++k) {
            const std::string wanted = "n" + std::to_string(k);
            std::optional<size_t> first;
            for (size_t i = 0; i < rows.size() && !first; ++i)
                if (rows.record(i).strName == wanted)
                    first = i;
            ASSERT_EQ(first, rows.findName(wanted)) << "step " << step << " " << wanted;
        }
    }
}
