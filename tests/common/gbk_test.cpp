#include "common/file_name.h"
#include "common/gbk.h"

#include <gtest/gtest.h>

using namespace tessera;

TEST(Gbk, RoundTripsChineseText) {
    auto gbk = utf8ToGbk("构件号 裂缝深度值 ABC 123");
    ASSERT_TRUE(gbk);
    EXPECT_EQ(std::string("\xB9\xB9\xBC\xFE\xBA\xC5", 6), gbk->substr(0, 6));
    EXPECT_EQ("构件号 裂缝深度值 ABC 123", gbkToUtf8(*gbk));
    EXPECT_EQ("构件号 裂缝深度值 ABC 123", *gbkToUtf8Strict(*gbk));
}

TEST(Gbk, InvalidBytesShowAsReplacementButAreRefusedStrictly) {
    // 0x80 alone, a lead byte without its trail byte, and 0xFF are not GBK characters.
    std::string bad = std::string("A\xFF", 2) + "B" + std::string("\xC1", 1);
    EXPECT_EQ("A\xEF\xBF\xBD"
              "B\xEF\xBF\xBD",
              gbkToUtf8(bad));
    EXPECT_FALSE(gbkToUtf8Strict(bad));
}

TEST(Gbk, CharactersOutsideGbkAreRefusedOrReplaced) {
    EXPECT_FALSE(utf8ToGbk("crack \xF0\x9F\x98\x80")); // an emoji
    EXPECT_FALSE(utf8ToGbk("\xC3"));                   // truncated UTF-8
    EXPECT_EQ("crack ?!", utf8ToGbkLossy("crack \xF0\x9F\x98\x80!"));
    EXPECT_EQ(*utf8ToGbk("测?"), utf8ToGbkLossy("测\xF0\x9F\x98\x80"));
}

TEST(Gbk, EmptyAndLongTexts) {
    EXPECT_EQ("", gbkToUtf8(""));
    std::string many;
    for (int i = 0; i < 5000; ++i)
        many += "裂缝";
    auto gbk = utf8ToGbk(many);
    ASSERT_TRUE(gbk);
    EXPECT_EQ(20000u, gbk->size());
    EXPECT_EQ(many, gbkToUtf8(*gbk));
}

TEST(FileName, DefaultExtensionOnlyWhenNameHasNone) {
    EXPECT_EQ("/tmp/a.DM", withDefaultExtension("/tmp/a", "DM"));
    EXPECT_EQ("/tmp/a.dm", withDefaultExtension("/tmp/a.dm", "DM"));
    EXPECT_EQ("/tmp/a.DM", withDefaultExtension("/tmp/a.", "DM"));
    EXPECT_EQ("/tmp/x.y/a.txt", withDefaultExtension("/tmp/x.y/a", "txt"));
    EXPECT_EQ("/tmp/.hidden.txt", withDefaultExtension("/tmp/.hidden", "txt"));
    EXPECT_EQ("c.DM", fileNameOf("/a/b/c.DM"));
}

TEST(Gbk, PrefixesEndBetweenWholeCharacters) {
    // Trail bytes that look like lead bytes (0xDA, 0xEC) and like ASCII ('\\' 0x5C, '@').
    const std::string text = *utf8ToGbk("第A裂缝\\号") + "\x81\x40" + "\x81\x5C" + "z";
    const std::string whole = gbkToUtf8(text);
    for (size_t max = 0; max <= text.size() + 1; ++max) {
        const size_t n = gbkPrefixLength(text, max);
        ASSERT_LE(n, std::min(max, text.size()));
        const auto shown = gbkToUtf8Strict(std::string_view(text).substr(0, n));
        ASSERT_TRUE(shown) << "cut inside a character at " << n;
        ASSERT_EQ(whole.substr(0, shown->size()), *shown);
        // Nothing more fits: the next character would pass the limit.
        if (n < text.size()) {
            const size_t next = gbkPrefixLength(text, n + 1) == n + 1 ? n + 1 : n + 2;
            ASSERT_GT(next, max);
        }
    }
    // A lead byte without a valid trail byte is a character of its own.
    EXPECT_EQ(2u, gbkPrefixLength("\xC1\x7F"
                                  "a",
                                  2));
    EXPECT_EQ(1u, gbkPrefixLength("a\xC1\xC1", 2));
}
