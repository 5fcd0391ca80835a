#include "common/program_options.h"

#include <gtest/gtest.h>

#include <sstream>
#include <vector>

namespace tessera {
namespace {

std::optional<int> answer(std::vector<const char*> args, std::ostream& out) {
    args.insert(args.begin(), "prog");
    return answerInfoRequest(static_cast<int>(args.size()), const_cast<char**>(args.data()),
                             "usage: prog [FILE]\n", "Prog 1.30", out);
}

TEST(ProgramOptions, HelpAndVersionAnswerWithoutStartingTheProgram) {
    std::ostringstream out;
    EXPECT_EQ(answer({"--help"}, out), 0);
    EXPECT_EQ(out.str(), "usage: prog [FILE]\n");
    out.str("");
    EXPECT_EQ(answer({"project.cm", "--version"}, out), 0);
    EXPECT_EQ(out.str(), "Prog 1.30\n");
    out.str("");
    EXPECT_EQ(answer({"-h"}, out), 0);
}

TEST(ProgramOptions, FilesStartTheProgramEvenWhenNamedLikeAnOption) {
    std::ostringstream out;
    EXPECT_EQ(answer({}, out), std::nullopt);
    EXPECT_EQ(answer({"data.DM"}, out), std::nullopt);
    EXPECT_EQ(answer({"--", "--help"}, out), std::nullopt);
    EXPECT_TRUE(out.str().empty());
}

TEST(ProgramOptions, AFailedWriteIsAnError) {
    std::ostringstream out;
    out.setstate(std::ios::badbit);
    EXPECT_EQ(answer({"--help"}, out), 2);
}

} // namespace
} // namespace tessera
