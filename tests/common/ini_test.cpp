// The INI codec: reading with case-insensitive names, byte-exact round trips, and changes that
// keep every other line of the file.

#include "common/ini.h"

#include <gtest/gtest.h>

using tessera::IniFile;

namespace {

const std::string kQb =
    "; inspection information\r\n"
    "[Vantorel]\r\n"
    "Company = \xB2\xE2\xCA\xD4\xB9\xAB\xCB\xBE \r\n" // GBK bytes, blanks around
    "ProjectName=Bridge 7\r\n"
    "# a comment\r\n"
    "\r\n"
    "[Other]\r\n"
    "Company=elsewhere\r\n";

} // namespace

TEST(IniRead, SectionsAndKeysIgnoreCaseAndValuesAreRawTrimmedBytes) {
    const IniFile ini = IniFile::parse(kQb);
    EXPECT_EQ("\xB2\xE2\xCA\xD4\xB9\xAB\xCB\xBE", ini.value("vantorel", "COMPANY").value());
    EXPECT_EQ("Bridge 7", ini.value("VANTOREL", "projectname").value());
    EXPECT_EQ("elsewhere", ini.value("other", "company").value());
    EXPECT_FALSE(ini.value("Vantorel", "Censor").has_value());
    EXPECT_FALSE(ini.value("Missing", "Company").has_value());
    // Comments and lines without '=' are no entries.
    EXPECT_FALSE(ini.value("Vantorel", "# a comment").has_value());
    EXPECT_EQ((std::vector<std::string>{"Vantorel", "Other"}), ini.sectionNames());
}

TEST(IniRead, ValuesCanBeCutToALength) {
    const IniFile ini = IniFile::parse("[s]\nk=" + std::string(300, 'x') + "\ne=\n");
    EXPECT_EQ(std::string(259, 'x'), ini.value("s", "k", 259).value());
    EXPECT_EQ(300u, ini.value("s", "k").value().size());
    EXPECT_EQ("", ini.value("s", "e", 259).value()); // present but empty
}

TEST(IniRead, FirstKeyWinsAndEntriesListEveryLineInOrder) {
    const IniFile ini =
        IniFile::parse("[ports]\nCOM1=/a\n[x]\nCOM1=/x\n[PORTS]\ncom1=/b\nCOM2=/c\n");
    EXPECT_EQ("/a", ini.value("ports", "COM1").value());
    const std::vector<std::pair<std::string, std::string>> expected = {
        {"COM1", "/a"}, {"com1", "/b"}, {"COM2", "/c"}};
    EXPECT_EQ(expected, ini.entries("Ports"));
}

TEST(IniRead, LinesBeforeAnySectionAndOddLinesBelongToNothing) {
    const IniFile ini =
        IniFile::parse("k=v\n[s]\nno equals sign\n=no key\n  [ t ]  \nk2 = v2\n[unclosed\nk3=v3");
    EXPECT_TRUE(ini.entries("").empty());
    EXPECT_TRUE(ini.entries("s").empty());
    EXPECT_EQ("v2", ini.value("t", "k2").value());
    EXPECT_EQ("v3", ini.value("unclosed", "k3").value()); // a header without ']' names the rest
}

TEST(IniWrite, UnchangedFileGivesBackItsBytes) {
    for (const std::string& text : {kQb, std::string("[a]\nb=c"), std::string("\n\r\n;x\r\n"),
                                    std::string(), std::string("[a]\r\nb=c\n\n[d]\re=f\r\n")})
        EXPECT_EQ(text, IniFile::parse(text).bytes());
}

TEST(IniWrite, ChangingAValueKeepsEverythingElse) {
    IniFile ini = IniFile::parse(kQb);
    ini.setValue("VANTOREL", "company", "New Co");
    std::string expected = kQb;
    expected.replace(expected.find("Company = \xB2"),
                     std::string("Company = \xB2\xE2\xCA\xD4\xB9\xAB\xCB\xBE ").size(),
                     "Company =New Co");
    EXPECT_EQ(expected, ini.bytes());
    EXPECT_EQ("New Co", ini.value("Vantorel", "Company").value());
    EXPECT_EQ("elsewhere", ini.value("Other", "Company").value());
}

TEST(IniWrite, MissingKeyGoesAfterTheSectionsLastEntry) {
    IniFile ini = IniFile::parse(kQb);
    ini.setValue("Vantorel", "Censor", "\xD5\xC5"); // GBK bytes stay bytes
    const std::string text = ini.bytes();
    EXPECT_NE(std::string::npos,
              text.find("ProjectName=Bridge 7\r\nCensor=\xD5\xC5\r\n# a comment"));
    EXPECT_EQ("\xD5\xC5", IniFile::parse(text).value("vantorel", "censor").value());
}

TEST(IniWrite, MissingSectionIsAddedAtTheEndWithTheFilesLineEnds) {
    IniFile crlf = IniFile::parse("[a]\r\nx=1"); // last line without an end
    crlf.setValue("Vantorel", "Company", "c");
    EXPECT_EQ("[a]\r\nx=1\r\n[Vantorel]\r\nCompany=c\r\n", crlf.bytes());

    IniFile lf = IniFile::parse("[a]\nx=1\n");
    lf.setValue("a", "y", "2");
    lf.setValue("b", "z", "3");
    EXPECT_EQ("[a]\nx=1\ny=2\n[b]\nz=3\n", lf.bytes());

    IniFile empty;
    empty.setValue("Vantorel", "Receiver", "r");
    EXPECT_EQ("[Vantorel]\r\nReceiver=r\r\n", empty.bytes());
}

TEST(IniWrite, LineBreaksInAValueCannotStartNewLines) {
    IniFile ini;
    ini.setValue("s", "k", "first\r\n[evil]\r\nk=2");
    EXPECT_EQ("first", ini.value("s", "k").value());
    EXPECT_FALSE(ini.value("evil", "k").has_value());
}

TEST(IniWrite, RemovingAKey) {
    IniFile ini = IniFile::parse("[s]\nk=1\nj=2\n[S]\nK=3\n");
    EXPECT_TRUE(ini.removeKey("s", "K"));
    EXPECT_EQ("[s]\nj=2\n[S]\n", ini.bytes());
    EXPECT_FALSE(ini.removeKey("s", "k"));
}

TEST(IniLarge, EveryLookupAndChangeIsOnePassOverTheFile) {
    // 200,000 lines in the section: a lookup that rescanned the section for every line
    // would take minutes (the test's time limit fails it), one pass takes milliseconds.
    std::string text = "[Vantorel]\r\n";
    const int kLines = 200'000;
    for (int i = 0; i < kLines; ++i)
        text += "Key" + std::to_string(i) + "=value " + std::to_string(i) + "\r\n";
    text += "[Other]\r\nCompany=other\r\n";
    IniFile ini = IniFile::parse(text);
    for (const char* missing : {"Company", "ProjectName", "Censor", "Checker", "Receiver"})
        EXPECT_FALSE(ini.value("Vantorel", missing).has_value()) << missing;
    EXPECT_EQ("value 199999", ini.value("vantorel", "key199999").value());
    ini.setValue("Vantorel", "Company", "c");
    EXPECT_EQ("c", ini.value("Vantorel", "Company").value());
    EXPECT_EQ("other", ini.value("Other", "Company").value());
    EXPECT_TRUE(ini.removeKey("Vantorel", "Key7"));
    const std::string out = ini.bytes();
    EXPECT_EQ(text.size() - std::string("Key7=value 7\r\n").size() +
                  std::string("Company=c\r\n").size(),
              out.size());
    EXPECT_NE(std::string::npos, out.find("Key199999=value 199999\r\nCompany=c\r\n[Other]"));
}
