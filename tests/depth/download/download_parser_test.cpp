#include "depth/download/download_parser.h"

#include <gtest/gtest.h>

#include <ostream>
#include <string>
#include <vector>

namespace marrowby {

// Readable failure output.
void PrintTo(const DepthRecord& r, std::ostream* os) {
    *os << "(" << r.componentNo << ", " << r.crackNo << ", " << r.pointNo << ", " << r.depthValue
        << ", \"" << r.remark << "\")";
}

namespace {

DepthRecord rec(int component, int crack, int point, int depth) {
    DepthRecord r;
    r.componentNo = component;
    r.crackNo = crack;
    r.pointNo = point;
    r.depthValue = depth;
    return r;
}

// Feeds a stream and keeps every outcome that asked the display to do something.
struct Feed {
    std::vector<DepthRecord> records;
    DownloadParser parser{records};
    std::vector<ByteOutcome> groups;
    int ends = 0;
    int endIndex = -1; // byte index of the first end of transfer
    int fed = 0;

    void operator()(std::string_view bytes) {
        for (char ch : bytes) {
            ByteOutcome out = parser.onByte(static_cast<uint8_t>(ch));
            if (out.groupClosed)
                groups.push_back(out);
            if (out.endOfTransfer && ends++ == 0)
                endIndex = fed;
            ++fed;
        }
    }
};

constexpr std::string_view kExample = "DE001002012034150013001095BA";

TEST(DownloadParserStream, ExampleGivesTwoRecordsOfGroupOneAndEnds) {
    ASSERT_EQ(kExample.size(), 28u);
    Feed feed;
    feed(kExample);
    EXPECT_EQ(feed.records, (std::vector<DepthRecord>{rec(1, 12, 34, 150), rec(1, 13, 1, 95)}));
    for (const auto& r : feed.records)
        EXPECT_TRUE(r.remark.empty());
    ASSERT_EQ(feed.groups.size(), 1u);
    EXPECT_FALSE(feed.groups[0].countMismatch);
    EXPECT_EQ(feed.groups[0].progressMax, 2);
    EXPECT_EQ(feed.groups[0].recordsAdded, 2);
    EXPECT_EQ(feed.groups[0].groupsDone, 1);
    EXPECT_EQ(groupLabel(feed.groups[0].groupsDone), "正在传送 第1组数据");
    EXPECT_EQ(feed.ends, 1);
    EXPECT_EQ(feed.endIndex, 27); // the final "A", nothing earlier
    EXPECT_FALSE(feed.parser.receiving());
}

TEST(DownloadParserStream, SeveralGroupsKeepArrivalOrderAndTheirGroupNumbers) {
    Feed feed;
    feed("DE007001001002003BE123002004005006007008009BA");
    EXPECT_EQ(feed.records,
              (std::vector<DepthRecord>{rec(7, 1, 2, 3), rec(123, 4, 5, 6), rec(123, 7, 8, 9)}));
    ASSERT_EQ(feed.groups.size(), 2u);
    EXPECT_EQ(feed.groups[1].groupsDone, 2);
    EXPECT_EQ(feed.groups[1].progressMax, 2);
    EXPECT_EQ(feed.parser.groupsDone(), 2);
}

TEST(DownloadParserStream, BytesBeforeStartAreIgnoredButAnEndStillEnds) {
    Feed feed;
    feed("123BE001001");
    EXPECT_FALSE(feed.parser.receiving());
    EXPECT_EQ(feed.parser.byteCount(), 0);
    EXPECT_TRUE(feed.groups.empty());
    EXPECT_EQ(feed.ends, 0);

    Feed early;
    early("A");
    EXPECT_EQ(early.ends, 1);
    EXPECT_TRUE(early.records.empty());
    EXPECT_EQ(early.parser.groupsDone(), 0);
}

TEST(DownloadParserStream, EndByteInsideAGroupEndsWithoutClosingIt) {
    Feed feed;
    feed("DE001001111222333BE002001444555A666B");
    EXPECT_EQ(feed.records, (std::vector<DepthRecord>{rec(1, 111, 222, 333)}));
    EXPECT_EQ(feed.endIndex, 31);
    EXPECT_FALSE(feed.parser.receiving());
    // Bytes after the end are ignored until a new start.
    EXPECT_EQ(feed.groups.size(), 1u);
}

TEST(DownloadParserCount, AnnouncedThreeCarriedTwoIsAMismatchWithTwoRecords) {
    Feed feed;
    feed("DE004003001002003004005006BA");
    ASSERT_EQ(feed.groups.size(), 1u);
    EXPECT_TRUE(feed.groups[0].countMismatch);
    EXPECT_EQ(feed.groups[0].progressMax, 3);
    EXPECT_EQ(feed.groups[0].recordsAdded, 2);
    EXPECT_EQ(feed.records.size(), 2u);
    EXPECT_EQ(feed.ends, 1); // the transfer goes on after the mismatch
}

TEST(DownloadParserCount, TwentyDataBytesMakeTwoRecordsAndTheRestNone) {
    Feed feed;
    feed("DE009002");
    feed("11122233344455566677");
    EXPECT_EQ(feed.parser.byteCount(), 20);
    feed("B");
    EXPECT_EQ(feed.records,
              (std::vector<DepthRecord>{rec(9, 111, 222, 333), rec(9, 444, 555, 666)}));
    EXPECT_TRUE(feed.groups[0].countMismatch);
    EXPECT_EQ(feed.parser.byteCount(), 0);
}

TEST(DownloadParserCount, EmptyGroupThatAnnouncesNothingMatches) {
    Feed feed;
    feed("DE005000B");
    ASSERT_EQ(feed.groups.size(), 1u);
    EXPECT_FALSE(feed.groups[0].countMismatch);
    EXPECT_EQ(feed.groups[0].recordsAdded, 0);
    EXPECT_EQ(feed.groups[0].groupsDone, 1);
}

TEST(DownloadParserCount, GroupEndWithoutNewHeaderReusesTheLastHeader) {
    Feed feed;
    feed("DE006001123456789B987654321B");
    EXPECT_EQ(feed.records,
              (std::vector<DepthRecord>{rec(6, 123, 456, 789), rec(6, 987, 654, 321)}));
    EXPECT_FALSE(feed.groups[1].countMismatch);
    EXPECT_EQ(feed.groups[1].groupsDone, 2);
}

TEST(DownloadParserRestart, SecondStartDropsTheOpenGroupButKeepsClosedOnes) {
    Feed feed;
    feed("DE001001111111111BE002002222222222333");
    EXPECT_EQ(feed.parser.byteCount(), 12);
    feed("D");
    EXPECT_EQ(feed.parser.byteCount(), 0);
    feed("E003001444444444BA");
    EXPECT_EQ(feed.records,
              (std::vector<DepthRecord>{rec(1, 111, 111, 111), rec(3, 444, 444, 444)}));
    EXPECT_EQ(feed.parser.groupsDone(), 2);
}

TEST(DownloadParserRestart, StartInsideADigitFieldLeavesTheField) {
    Feed feed;
    feed("DE0");
    EXPECT_TRUE(feed.parser.inGroupNumber());
    feed("D");
    EXPECT_FALSE(feed.parser.inGroupNumber());
    EXPECT_FALSE(feed.parser.inRecordCount());
    feed("12"); // data now
    EXPECT_EQ(feed.parser.byteCount(), 2);
    EXPECT_EQ(feed.parser.groupNumber(), 0);
}

TEST(DownloadParserRestart, HeaderByteRestartsTheGroupNumberFromEitherField) {
    Feed feed;
    feed("DE01E042"); // restarted after two digits
    EXPECT_EQ(feed.parser.groupNumber(), 42);
    EXPECT_TRUE(feed.parser.inRecordCount());
    feed("0E0070"); // restarted inside the count
    EXPECT_EQ(feed.parser.groupNumber(), 7);
    feed("01");
    EXPECT_EQ(feed.parser.recordCount(), 1);
    EXPECT_FALSE(feed.parser.inRecordCount());
    feed("123456789B");
    EXPECT_EQ(feed.records, (std::vector<DepthRecord>{rec(7, 123, 456, 789)}));
}

TEST(DownloadParserRestart, BytesBetweenGroupEndAndHeaderBelongToTheNextGroup) {
    Feed feed;
    feed("DE001001111111111B12E0020013456789BA");
    ASSERT_EQ(feed.groups.size(), 2u);
    // "12" before the header and "3456789" after it make the one record of group 2.
    EXPECT_FALSE(feed.groups[1].countMismatch);
    EXPECT_EQ(feed.records.back(), rec(2, 123, 456, 789));
}

TEST(DownloadParserDigits, FieldsAreComputedWithoutCheckingDigits) {
    Feed feed;
    feed("DE0a1");
    EXPECT_EQ(feed.parser.groupNumber(), 491); // 'a' = 0x61 counts as 49
    feed("00!");
    EXPECT_EQ(feed.parser.recordCount(), -15); // '!' = 0x21 counts as -15
    feed("!!!:::ab\xff");
    feed("B");
    ASSERT_EQ(feed.records.size(), 1u);
    EXPECT_EQ(feed.records[0], rec(491, -1665, 1110, 100 * 49 + 10 * 50 + (0xff - 0x30)));
    EXPECT_TRUE(feed.groups[0].countMismatch);
    EXPECT_EQ(feed.groups[0].progressMax, -15);
}

TEST(DownloadParserDigits, EndAndGroupEndBytesInsideAFieldAreDigits) {
    Feed feed;
    feed("DE0A1"); // 'A' inside the group number does not end the transfer
    EXPECT_EQ(feed.ends, 0);
    EXPECT_EQ(feed.parser.groupNumber(), 171);
    feed("00B"); // 'B' inside the count does not close a group
    EXPECT_TRUE(feed.groups.empty());
    EXPECT_EQ(feed.parser.recordCount(), 18);
    EXPECT_TRUE(feed.parser.receiving());
}

TEST(DownloadParserDigits, ZeroAndFFAreOrdinaryDataBytes) {
    Feed feed;
    feed(std::string_view("DE001001\x00\xff\x30\x30\x30\x30\x30\x30\x30", 17));
    EXPECT_EQ(feed.parser.byteCount(), 9);
    feed("B");
    ASSERT_EQ(feed.records.size(), 1u);
    EXPECT_EQ(feed.records[0].crackNo, 100 * -48 + 10 * (0xff - 0x30) + 0);
}

TEST(DownloadParserBuffer, BytesBeyondTenThousandAreDiscarded) {
    Feed feed;
    feed("DE001999");
    feed(std::string(DownloadParser::kBufferSize, '1'));
    EXPECT_EQ(feed.parser.byteCount(), DownloadParser::kBufferSize);
    feed(std::string(50, '9')); // would make five more records if they were kept
    EXPECT_EQ(feed.parser.byteCount(), DownloadParser::kBufferSize);
    feed("B");
    EXPECT_EQ(feed.records.size(), static_cast<size_t>(DownloadParser::kBufferSize / 9));
    for (const auto& r : feed.records)
        ASSERT_EQ(r, rec(1, 111, 111, 111));
    EXPECT_TRUE(feed.groups[0].countMismatch);
    // The buffer is free again for the next group.
    feed("E002001222333444BA");
    EXPECT_EQ(feed.records.back(), rec(2, 222, 333, 444));
}

TEST(DownloadParserBuffer, LargestWellFormedGroupFits) {
    Feed feed;
    std::string group = "DE999999";
    for (int i = 0; i < 999; ++i)
        group += "123456789";
    feed(group + "BA");
    EXPECT_EQ(feed.records.size(), 999u);
    EXPECT_FALSE(feed.groups[0].countMismatch);
    EXPECT_EQ(feed.records.front(), rec(999, 123, 456, 789));
}

TEST(DownloadParserRecords, RecordsAreAppendedAfterWhatTheListHeld) {
    std::vector<DepthRecord> records{rec(5, 5, 5, 5)};
    DownloadParser parser(records);
    for (char c : std::string_view("DE001001001002003B"))
        parser.onByte(static_cast<uint8_t>(c));
    EXPECT_EQ(records, (std::vector<DepthRecord>{rec(5, 5, 5, 5), rec(1, 1, 2, 3)}));
}

} // namespace
} // namespace marrowby
