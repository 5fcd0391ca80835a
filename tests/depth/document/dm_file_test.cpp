#include "depth/document/dm_file.h"

#include <gtest/gtest.h>

using namespace marrowby;

namespace {

std::string bytes(std::initializer_list<int> list) {
    std::string s;
    for (int b : list)
        s.push_back(static_cast<char>(b));
    return s;
}

std::vector<DepthRow> sampleRows(int n) {
    std::vector<DepthRow> rows;
    for (int i = 0; i < n; ++i)
        rows.push_back(rowFromRecord({i + 1, 12, 34, 150 + i, ""}));
    return rows;
}

} // namespace

TEST(DmLayout, EmptyViewWritesEighteenBytes) {
    EXPECT_EQ(bytes({8, 'Q', 'T', 'R', 'V', '_', 'M', 'N', 'Z', 0, 1, 0, 0, 0, 0, 0, 0, 0}),
              encodeDm(DmHeader{}, {}));
}

TEST(DmLayout, DownloadedRowsTakeSeventeenBytesEach) {
    auto rows = sampleRows(3);
    std::string file = encodeDm(DmHeader{}, rows);
    ASSERT_EQ(18u + 17u * 3, file.size());
    EXPECT_EQ(bytes({3, 0, 0, 0}), file.substr(14, 4));
    // Row 1: 1, 12, 34, 150, then the empty remark.
    EXPECT_EQ(bytes({1, 0, 0, 0, 12, 0, 0, 0, 34, 0, 0, 0, 150, 0, 0, 0, 0}), file.substr(18, 17));
}

TEST(DmLayout, CellsAreStoredByTheAtoiRule) {
    std::vector<DepthRow> rows = {DepthRow(" -7", "+15", "3.9", "abc", "")};
    rows.push_back(DepthRow("", "99999999999", "-", "12abc", "r"));
    DmHeader header;
    auto file = encodeDm(header, rows);
    EXPECT_EQ(bytes({0xF9, 0xFF, 0xFF, 0xFF, 15, 0, 0, 0, 3, 0, 0, 0, 0, 0, 0, 0, 0}),
              file.substr(18, 17));
    std::vector<DepthRow> back;
    ASSERT_EQ(DmReadStatus::Complete, decodeDm(file, header, back));
    ASSERT_EQ(2u, back.size());
    EXPECT_EQ(DepthRow("-7", "15", "3", "0", ""), back[0]);
    EXPECT_EQ(DepthRow("0", "2147483647", "0", "12", "r"), back[1]);
}

TEST(DmLayout, ArchiveStringPrefixes) {
    auto prefix = [](size_t n) {
        std::string out;
        appendArchiveString(out, std::string(n, 'x'));
        return out.substr(0, out.size() - n);
    };
    EXPECT_EQ(bytes({0}), prefix(0));
    EXPECT_EQ(bytes({0xFE}), prefix(254));
    EXPECT_EQ(bytes({0xFF, 0xFF, 0x00}), prefix(255));
    EXPECT_EQ(bytes({0xFF, 0x2C, 0x01}), prefix(300));
    EXPECT_EQ(bytes({0xFF, 0xFD, 0xFF}), prefix(65533));
    EXPECT_EQ(bytes({0xFF, 0xFF, 0xFF, 0xFE, 0xFF, 0, 0}), prefix(65534));
    EXPECT_EQ(bytes({0xFF, 0xFF, 0xFF, 0x70, 0x11, 0x01, 0}), prefix(70000));
}

TEST(DmRoundTrip, OwnFilesReadBackIdentically) {
    DmHeader header{"TAG\xB2\xE2", "\xC1\xD1 text", -42};
    auto rows = sampleRows(5);
    rows[1].setCell(4, std::string(300, 'r'));
    rows[2].setCell(4, std::string(70000, '\xB2'));
    rows[3].setCell(4, std::string("\x80\xFF\x00\xC1", 4)); // not valid GBK: kept as bytes
    auto file = encodeDm(header, rows);
    DmHeader readHeader;
    std::vector<DepthRow> back;
    ASSERT_EQ(DmReadStatus::Complete, decodeDm(file, readHeader, back));
    EXPECT_EQ(header, readHeader);
    EXPECT_EQ(rows, back);
    EXPECT_EQ(file, encodeDm(readHeader, back)); // open-and-save is byte-exact
}

TEST(DmRead, NonPositiveRowCountStillTakesTheHeader) {
    for (int count : {0, -1, -2147483647 - 1}) {
        std::string file = bytes({2, 'A', 'B', 1, 'x', 7, 0, 0, 0});
        for (int i = 0; i < 4; ++i)
            file.push_back(static_cast<char>((static_cast<uint32_t>(count) >> (8 * i)) & 0xFF));
        file += "trailing garbage";
        DmHeader header;
        std::vector<DepthRow> rows = sampleRows(2);
        EXPECT_EQ(DmReadStatus::Complete, decodeDm(file, header, rows));
        EXPECT_TRUE(rows.empty());
        EXPECT_EQ((DmHeader{"AB", "x", 7}), header);
    }
}

TEST(DmRead, FileCutShortKeepsWhatWasRead) {
    auto file = encodeDm(DmHeader{"T", "X", 9}, sampleRows(5));
    DmHeader header;
    std::vector<DepthRow> rows;
    // Cut inside the third row.
    EXPECT_EQ(DmReadStatus::EndOfFile,
              decodeDm(file.substr(0, 5 + 4 + 4 + 17 * 2 + 6), header, rows));
    EXPECT_EQ(2u, rows.size());
    EXPECT_EQ((DmHeader{"T", "X", 9}), header);

    // Cut inside the header: fields read so far are replaced, the others keep their values.
    DmHeader partial{"old", "old text", 5};
    EXPECT_EQ(DmReadStatus::EndOfFile, decodeDm(file.substr(0, 3), partial, rows));
    EXPECT_EQ("T", partial.tag);
    EXPECT_EQ("old text", partial.text);
    EXPECT_EQ(5, partial.number);
    EXPECT_TRUE(rows.empty());

    // Every cut of a valid file is handled.
    for (size_t cut = 0; cut < file.size(); ++cut) {
        DmHeader h;
        EXPECT_EQ(DmReadStatus::EndOfFile, decodeDm(file.substr(0, cut), h, rows)) << cut;
    }
}

TEST(DmRead, LengthsAndCountsBeyondTheFileEndReading) {
    DmHeader header;
    std::vector<DepthRow> rows;
    // A 32-bit string length of four billion.
    EXPECT_EQ(DmReadStatus::EndOfFile,
              decodeDm(bytes({0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 'a'}), header, rows));
    // A row count of two billion with one row present.
    std::string file = encodeDm(DmHeader{}, sampleRows(1));
    file[14] = 0x00;
    file[15] = 0x94;
    file[16] = 0x35;
    file[17] = 0x77;
    EXPECT_EQ(DmReadStatus::EndOfFile, decodeDm(file, header, rows));
    EXPECT_EQ(1u, rows.size());
    EXPECT_LT(rows.capacity(), 16u);
}

TEST(DmRead, WideStringsAreConvertedToGbk) {
    // FF FE FF marks UTF-16LE; then a one-byte count of 3 code units: "测", "A", U+1F600 half.
    std::string file = bytes({0xFF, 0xFE, 0xFF, 3, 0x4B, 0x6D, 'A', 0, 0x3D, 0xD8});
    file += bytes({0xFF, 0xFE, 0xFF, 0xFF, 0x02, 0x00, 0x4B, 0x6D, 0x4B, 0x6D}); // 16-bit count
    file += bytes({1, 0, 0, 0, 0, 0, 0, 0});
    DmHeader header;
    std::vector<DepthRow> rows;
    ASSERT_EQ(DmReadStatus::Complete, decodeDm(file, header, rows));
    EXPECT_EQ("\xB2\xE2"
              "A?",
              header.tag);
    EXPECT_EQ("\xB2\xE2\xB2\xE2", header.text);
    // The wide form with an odd byte count missing its last unit ends reading.
    EXPECT_EQ(DmReadStatus::EndOfFile,
              decodeDm(bytes({0xFF, 0xFE, 0xFF, 2, 'a', 0, 'b'}), header, rows));
}
