#include "common/text.h"

#include <gtest/gtest.h>

namespace tessera {
namespace {

TEST(Utf8Check, AcceptsWellFormedTextOnly) {
    EXPECT_TRUE(isValidUtf8(""));
    EXPECT_TRUE(isValidUtf8("CrackData/裂缝1.jpg"));
    EXPECT_TRUE(isValidUtf8("\xF0\x9F\x98\x80"));  // outside the BMP
    EXPECT_FALSE(isValidUtf8("\xC1\xBF"));         // overlong
    EXPECT_FALSE(isValidUtf8("\xE0\x80\xAF"));     // overlong three bytes
    EXPECT_FALSE(isValidUtf8("\xED\xA0\x80"));     // a surrogate
    EXPECT_FALSE(isValidUtf8("\xF4\x90\x80\x80")); // beyond U+10FFFF
    EXPECT_FALSE(isValidUtf8("\xE8\xA3"));         // cut short
    EXPECT_FALSE(isValidUtf8("\xC1\xD1"));         // GBK for 裂
}

TEST(DisplayPath, Utf8AsItIsGbkDecodedAndAnythingElseReplaced) {
    EXPECT_EQ(displayPath("/p/裂缝.jpg"), "/p/裂缝.jpg");
    EXPECT_EQ(displayPath("/p/\xC1\xD1\xB7\xEC.jpg"), "/p/裂缝.jpg");
    EXPECT_EQ(displayPath("a\xFF"), "a\xEF\xBF\xBD");
    EXPECT_EQ(displayGbk("\xC1\xD1"), "裂");
}

TEST(GbkDecoder, DecodesManyTextsWithOneConverter) {
    GbkDecoder decoder;
    std::u16string out = u"left over";
    decoder.toUtf16("\xC1\xD1\xB7\xEC", out);
    EXPECT_EQ(out, u"裂缝");
    decoder.toUtf16("", out);
    EXPECT_EQ(out, u"");
    // A byte that is not GBK becomes U+FFFD and the rest still decodes.
    decoder.toUtf16("A\xFF"
                    "B",
                    out);
    EXPECT_EQ(out, u"A\uFFFDB");
}

} // namespace
} // namespace tessera
