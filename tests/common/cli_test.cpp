// The command-line tools' option parsing: options with values (repeatable), positional
// arguments, help requests and the errors for unknown or incomplete options.

#include "common/cli.h"

#include <gtest/gtest.h>

using tessera::cli::Arguments;
using tessera::cli::parseArguments;

TEST(CliArguments, OptionsTakeTheNextArgumentAndMayRepeat) {
    Arguments args;
    bool help = true;
    std::string why;
    ASSERT_TRUE(parseArguments({"in.DM", "--dpi", "300", "out.pdf", "--tag", "a", "--dpi", "--x"},
                               {"--dpi", "--tag"}, args, help, why));
    EXPECT_FALSE(help);
    EXPECT_EQ((std::vector<std::string>{"in.DM", "out.pdf"}), args.positional);
    ASSERT_NE(nullptr, args.last("--dpi"));
    EXPECT_EQ("--x", *args.last("--dpi")); // a value may look like an option
    EXPECT_EQ((std::vector<std::string>{"300", "--x"}), args.all("--dpi"));
    EXPECT_EQ(nullptr, args.last("--text"));
    // "-" and "--" alone are positional (stdin-style names, not options).
    Arguments dash;
    ASSERT_TRUE(parseArguments({"-", "--"}, {}, dash, help, why));
    EXPECT_EQ((std::vector<std::string>{"-", "--"}), dash.positional);
}

TEST(CliArguments, UnknownOrIncompleteOptionsAreRefused) {
    Arguments args;
    bool help = false;
    std::string why;
    EXPECT_FALSE(parseArguments({"--port", "3"}, {"--out"}, args, help, why));
    EXPECT_EQ("未知的选项 --port", why);
    Arguments more;
    EXPECT_FALSE(parseArguments({"a", "--out"}, {"--out"}, more, help, why));
    EXPECT_EQ("选项 --out 需要一个值", why);
}

TEST(CliArguments, HelpIsRecognisedWhereAnOptionCouldStand) {
    Arguments args;
    bool help = false;
    std::string why;
    EXPECT_TRUE(parseArguments({"a", "--help"}, {}, args, help, why));
    EXPECT_TRUE(help);
    Arguments value;
    EXPECT_TRUE(parseArguments({"--text", "--help"}, {"--text"}, value, help, why));
    EXPECT_FALSE(help); // the value of --text, not a request for help
}

TEST(CliArguments, FlagsTakeNoValueAndAreOnlyThoseListed) {
    Arguments args;
    bool help = false;
    std::string why;
    ASSERT_TRUE(parseArguments({"a.cm", "--replace", "b.cm", "--dpi", "--replace"}, {"--dpi"},
                               {"--replace"}, args, help, why));
    EXPECT_EQ((std::vector<std::string>{"a.cm", "b.cm"}), args.positional);
    EXPECT_TRUE(args.has("--replace"));
    EXPECT_FALSE(args.has("--dpi"));
    ASSERT_NE(nullptr, args.last("--dpi"));
    EXPECT_EQ("--replace", *args.last("--dpi")); // an option's value, not the flag
    EXPECT_EQ(1u, args.flags.size());
    Arguments other;
    EXPECT_FALSE(parseArguments({"--force"}, {}, {"--replace"}, other, help, why));
    EXPECT_EQ("未知的选项 --force", why);
}

TEST(CliArguments, WholeNumbersWithinTheirRange) {
    int v = -1;
    EXPECT_TRUE(tessera::cli::parseWholeNumber("600", 10, 9600, v));
    EXPECT_EQ(600, v);
    EXPECT_TRUE(tessera::cli::parseWholeNumber("0010", 10, 9600, v));
    EXPECT_EQ(10, v);
    for (const char* bad : {"", "9", "9601", "-5", "+20", "12x", " 20", "1e3", "99999999999"}) {
        v = -1;
        EXPECT_FALSE(tessera::cli::parseWholeNumber(bad, 10, 9600, v)) << bad;
        EXPECT_EQ(-1, v) << bad;
    }
}
