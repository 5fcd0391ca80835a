#include "common/error_text.h"
#include "depth/serial/meter_stream.h"
#include "depth/serial/port_error.h"

#include <cerrno>
#include <gtest/gtest.h>

using namespace marrowby;

namespace {

TEST(MeterStream, EncodesTheTransmissionOfTheManual) {
    std::vector<MeterGroup> groups = {{1, {{12, 34, 150}, {13, 1, 95}}}};
    EXPECT_EQ(encodeMeterStream(groups), "DE001002012034150013001095BA");
    EXPECT_EQ(encodeMeterStream({}), "DA");
    EXPECT_EQ(encodeMeterStream({{999, {}}}), "DE999000BA");
}

TEST(MeterStream, FieldsAlwaysHaveThreeDigitsAndCountsStayBelowAThousand) {
    std::vector<MeterGroup> groups = {{1005, {{-1, 1000, 7}}}};
    EXPECT_EQ(encodeMeterStream(groups), "DE005001999000007BA");
    MeterGroup big{2, std::vector<MeterRecord>(1200, MeterRecord{1, 2, 3})};
    std::string s = encodeMeterStream({big});
    EXPECT_EQ(s.substr(0, 8), "DE002999");
    EXPECT_EQ(s.size(), 2u + 8u + 9u * 999u);
}

TEST(MeterStream, GeneratedGroupsFollowTheDocumentedRule) {
    auto groups = generatedMeterGroups(3, 1000); // records clamped to 999
    ASSERT_EQ(groups.size(), 3u);
    for (int g = 1; g <= 3; ++g) {
        const auto& group = groups[static_cast<size_t>(g - 1)];
        EXPECT_EQ(group.groupNo, g);
        ASSERT_EQ(group.records.size(), 999u);
        for (int r : {0, 1, 500, 998}) {
            const auto& rec = group.records[static_cast<size_t>(r)];
            EXPECT_EQ(rec.crackNo, r % 999 + 1);
            EXPECT_EQ(rec.pointNo, (7 * g + r) % 1000);
            EXPECT_EQ(rec.depthValue, (131 * g + 17 * r) % 1000);
        }
    }
    EXPECT_TRUE(generatedMeterGroups(-4, 3).empty());
    std::string s = encodeMeterStream(generatedMeterGroups(2, 2));
    EXPECT_EQ(s, "D"
                 "E001002"
                 "001007131"
                 "002008148"
                 "B"
                 "E002002"
                 "001014262"
                 "002015279"
                 "B"
                 "A");
    EXPECT_EQ(encodeMeterStream(generatedMeterGroups(999, 999)).size(),
              2u + 999u * (8u + 9u * 999u));
}

TEST(PortErrorText, HasTheEngineFormat) {
    EXPECT_EQ(formatPortError("ReadFile()", "Input/output error", 5),
              "WARNING:  ReadFile() Failed with the following error: \nInput/output error\n"
              "Port: 5\n");
    EXPECT_EQ(formatPortError("SetCommState()", "", -3),
              "WARNING:  SetCommState() Failed with the following error: \n\nPort: -3\n");
    EXPECT_EQ(portErrorText({"ReadFile()", EIO, 5}),
              "WARNING:  ReadFile() Failed with the following error: \n输入/输出错误\n"
              "Port: 5\n");
    // The reasons read in Chinese whatever language the system is set to.
    EXPECT_EQ(tessera::errorText(ENOENT), "没有那个文件或目录");
    EXPECT_EQ(tessera::errorText(123456), "未知的错误 123456");
    EXPECT_TRUE(isDeviceGone(EIO));
    EXPECT_FALSE(isDeviceGone(ENOMEM));
    EXPECT_FALSE(isDeviceGone(EAGAIN));
}

} // namespace
