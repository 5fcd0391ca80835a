// Record texts: any bytes of any length kept exactly, copies that share long texts, and
// assignment in every direction.

#include "width/project/record_text.h"

#include <gtest/gtest.h>

using fallowmere::RecordText;

TEST(RecordText, KeepsEveryLengthAndByteExactly) {
    for (size_t n = 0; n < 48; ++n) {
        std::string bytes;
        for (size_t i = 0; i < n; ++i)
            bytes += static_cast<char>(i * 37 % 256); // NUL and high bytes among them
        const RecordText text(bytes);
        ASSERT_EQ(n, text.size());
        ASSERT_EQ(bytes, text.view());
        ASSERT_EQ('\0', text.c_str()[n]) << n;
        ASSERT_EQ(n == 0, text.empty());
        const RecordText copy = text;
        ASSERT_EQ(bytes, copy.view());
        ASSERT_EQ(bytes, std::string(copy));
    }
}

TEST(RecordText, CopiesShareLongTextsAndAssignmentsReplaceThem) {
    const std::string longText(100, 'x');
    RecordText a(longText);
    RecordText b = a;
    EXPECT_TRUE(b.sharesWith(a));
    EXPECT_EQ(a.data(), b.data());

    b = "short";
    EXPECT_EQ("short", b);
    EXPECT_EQ(longText, a);
    const RecordText& same = a;
    a = same; // itself
    EXPECT_EQ(longText, a);

    RecordText c = std::move(a);
    EXPECT_EQ(longText, c);
    EXPECT_TRUE(a.empty());
    a = c;
    c = std::move(b); // the long text stays alive in `a`
    EXPECT_EQ(longText, a);
    EXPECT_EQ("short", c);
    {
        RecordText last = a;
        a = RecordText();
        EXPECT_EQ(longText, last);
    }
    EXPECT_TRUE(RecordText("b") > std::string_view("a"));
    EXPECT_TRUE(RecordText("a") < RecordText("b"));
    EXPECT_TRUE(std::string("x") == RecordText("x"));
    EXPECT_EQ(std::string("ab") + RecordText("cd"), "abcd");
}
