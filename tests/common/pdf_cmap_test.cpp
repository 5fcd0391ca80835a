#include "common/pdf_cmap.h"

#include <gtest/gtest.h>

#include <map>

namespace tessera {
namespace {

// A map in the form PDF writers produce: a header, ranges (with a start value and with an
// array) and single characters, then the footer.
const std::string kHeader = "/CIDInit /ProcSet findresource begin\n12 dict begin\nbegincmap\n"
                            "/CIDSystemInfo << /Registry (Adobe) /Ordering (UCS) /Supplement 0 >> "
                            "def\n/CMapName /Adobe-Identity-UCS def\n/CMapType 2 def\n"
                            "1 begincodespacerange\n<0000> <FFFF>\nendcodespacerange\n";
const std::string kFooter = "endcmap\nCMapName currentdict /CMap defineresource pop\nend\nend\n";

// The code → characters pairs listed by bfchar entries of a rewritten map.
std::map<std::string, std::string> entries(const std::string& cmap) {
    std::map<std::string, std::string> out;
    size_t pos = 0;
    while ((pos = cmap.find("\n<", pos)) != std::string::npos) {
        const size_t end = cmap.find('\n', pos + 1);
        const std::string line = cmap.substr(pos + 1, end - pos - 1);
        const size_t space = line.find(' ');
        if (line.find("<0000> <FFFF>") == std::string::npos && space != std::string::npos)
            out[line.substr(0, space)] = line.substr(space + 1);
        pos = end;
    }
    return out;
}

char32_t radicalsToIdeographs(char32_t c) {
    return c == 0x2F2F ? 0x5DE5 : c == 0x2F08 ? 0x4EBA : c; // ⼯ → 工, ⼈ → 人
}

TEST(ToUnicodeCMap, DestinationsAreMappedAndEverythingElseKept) {
    const std::string cmap = kHeader +
                             "2 beginbfrange\n<0003> <0005> <2F2E>\n<0010> <0011> [<0041> "
                             "<D83DDE00>]\nendbfrange\n"
                             "2 beginbfchar\n<0001> <2F08>\n<0002> <00660069>\nendbfchar\n" +
                             kFooter;
    const auto fixed = remapToUnicodeCMap(cmap, radicalsToIdeographs);
    ASSERT_TRUE(fixed);
    EXPECT_EQ(fixed->substr(0, kHeader.size()), kHeader);
    EXPECT_EQ(fixed->substr(fixed->size() - kFooter.size()), kFooter);
    const std::map<std::string, std::string> expected = {
        {"<0001>", "<4EBA>"},     // bfchar remapped
        {"<0002>", "<00660069>"}, // two characters (a ligature) kept
        {"<0003>", "<2F2E>"},     // a range counts up its destination...
        {"<0004>", "<5DE5>"},     // ...and is remapped where it meets one
        {"<0005>", "<2F30>"},     {"<0010>", "<0041>"},
        {"<0011>", "<D83DDE00>"}, // beyond the BMP, kept
    };
    EXPECT_EQ(entries(*fixed), expected);
    EXPECT_NE(fixed->find("7 beginbfchar"), std::string::npos);

    // Nothing to change, no section or a broken one: left alone.
    EXPECT_FALSE(remapToUnicodeCMap(kHeader + "1 beginbfchar\n<0001> <0041>\nendbfchar\n" + kFooter,
                                    radicalsToIdeographs));
    EXPECT_FALSE(remapToUnicodeCMap(kHeader + kFooter, radicalsToIdeographs));
    EXPECT_FALSE(remapToUnicodeCMap(kHeader + "1 beginbfchar\n<0001> <2F2F", radicalsToIdeographs));
}

TEST(ToUnicodeCMap, StrayBytesBeforeAnEntryAreDroppedAndTheEntryKept) {
    // As Qt writes a map of more than 100 ranges: bytes left in the block's buffer (here a
    // stale copy of an earlier entry and binary junk) before the block's own entries.
    const std::string cmap = kHeader + "2 beginbfrange\n<0001> <0002> <0041>\nendbfrange\n" +
                             "101 beginbfrange\n\x01U\xFFJ 0>\n<0001> <0002> <0041>\n" +
                             std::string("\0\x7F", 2) + "<0003> <0003> <0043>\nendbfrange\n" +
                             kFooter;
    const auto fixed = remapToUnicodeCMap(cmap, radicalsToIdeographs);
    ASSERT_TRUE(fixed);
    const std::map<std::string, std::string> expected = {
        {"<0001>", "<0041>"}, {"<0002>", "<0042>"}, {"<0003>", "<0043>"}};
    EXPECT_EQ(entries(*fixed), expected);
    EXPECT_EQ(fixed->find('\xFF'), std::string::npos);
}

TEST(ToUnicodeCMap, LongMapsAreWrittenInBlocksOfAHundred) {
    const std::string cmap =
        kHeader + "1 beginbfrange\n<0000> <00F9> <2F00>\nendbfrange\n" + kFooter; // 250 codes
    const auto fixed = remapToUnicodeCMap(cmap, [](char32_t c) { return c + 1; });
    ASSERT_TRUE(fixed);
    EXPECT_EQ(entries(*fixed).size(), 250u);
    EXPECT_EQ(entries(*fixed).at("<00F9>"), "<2FFA>");
    for (const char* block : {"100 beginbfchar", "50 beginbfchar"})
        EXPECT_NE(fixed->find(block), std::string::npos) << block;
}

} // namespace
} // namespace tessera
