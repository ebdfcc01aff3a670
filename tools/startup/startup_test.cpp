// The tools' shared start-up, seen from the programs: command-line help and print
// level, the print-level question and the banners.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/run_program.h"

namespace {

using mttest::run_program;
using mttest::TempDir;

const std::string kLevelPrompt = "Give print level (-1/0/1/2/3)  [default: ";

TEST(ToolStartup, HelpPrintsTwoLinesAndEndsWithSuccess) {
  struct Case {
    std::string program;
    std::vector<std::string> args;
    std::string help;
  };
  const std::string a = "                    -1  or -2  iprint level";
  const std::string b = "                    -1 -> 3  iprint level";
  const std::vector<Case> cases = {
      {"hdrdmp", {"-h"}, b},          {"segmerge", {"-h"}, a},
      {"chanmixer", {"help"}, a},     {"hdrdmp", {"2", "3", "xh"}, b},  // an h after valid levels
      {"segmerge", {"-h", "kvt"}, a},  // later arguments are not examined
  };
  for (const Case& c : cases) {
    TempDir dir;
    const auto r = run_program(c.program, c.args, "", dir.str());
    SCOPED_TRACE(c.program + " " + c.args[0]);
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out, " Permitted options:-\r\n " + c.help + "\r\n");
  }
}

TEST(ToolStartup, LastLevelArgumentIsTheQuestionsDefault) {
  struct Case {
    std::vector<std::string> args;
    std::string shown;
  };
  const std::vector<Case> cases = {
      {{}, kLevelPrompt + "0 ] >"},
      {{"2", "3"}, kLevelPrompt + "3 ] >"},
      {{"1"}, kLevelPrompt + "1 ] >"},
  };
  for (const Case& c : cases) {
    TempDir dir;
    // No answer at all: the question is shown, then end of input is reported.
    const auto r = run_program("hdrdmp", c.args, "", dir.str());
    // (At level 2 and above the prompt routine's trimming echo comes first.)
    EXPECT_NE(r.out.find(c.shown), std::string::npos) << r.out;
    EXPECT_EQ(r.out.find(c.shown) + c.shown.size(), r.out.size());
    EXPECT_EQ(r.status, 24);
    EXPECT_NE(r.err.find("end-of-file during read, unit -4"), std::string::npos) << r.err;
  }
}

TEST(ToolStartup, NegativeLevelHidesTheQuestionButReadsTheAnswer) {
  // -10 is read in its first two characters: -1.
  for (const std::string arg : {"-1", "-10"}) {
    TempDir dir;
    const auto hidden = run_program("segmerge", {arg}, "\n", dir.str());
    EXPECT_EQ(hidden.out.find("Give print level"), std::string::npos) << hidden.out;
    EXPECT_EQ(hidden.out.find("Give station name"), std::string::npos) << hidden.out;
    // The answer line 0 is read and raises the level: the next question shows.
    const auto shown = run_program("segmerge", {arg}, "0\n", dir.str());
    EXPECT_EQ(shown.out.find("Give print level"), std::string::npos);
    EXPECT_EQ(shown.out.rfind("Give station name  [default: kvt105 ] >", 0), 0u) << shown.out;
  }
}

TEST(ToolStartup, UnreadableArgumentEndsWithConversionReport) {
  TempDir dir;
  const auto r = run_program("segmerge", {"kvt101a1"}, "\n", dir.str());
  EXPECT_EQ(r.status, 64);
  EXPECT_EQ(r.out, "");
  EXPECT_NE(r.err.find("input conversion error, unit -5, file Internal Formatted Read"),
            std::string::npos)
      << r.err;
}

std::string after_prompt(const std::string& out, const std::string& prompt) {
  const auto at = out.find(prompt);
  return at == std::string::npos ? std::string() : out.substr(at + prompt.size());
}

const std::string kWhereRun =
    " It is assumed that this program is being run from\r\n"
    " the database directory of the project \r\n"
    " (e.g. /local/mt/varl/abx)  \r\n"
    " and that all data files reside in subdirectories\r\n"
    " with the respective station names \r\n"
    " (e.g. /local/mt/varl/abx/abx001 abx002 etc.)\r\n";

TEST(ToolStartup, SplicerBannerAboveLevelZero) {
  TempDir dir;
  const auto r = run_program("segmerge", {"1"}, "\n", dir.str());
  const std::string banner =
      "  \r\n"
      "  >>>>>>>>>>>>>>> segmerge <<<<<<<<<<<<<<<<<<<\r\n"
      "  \r\n"
      "            version = v5.1\r\n"
      " build date = Wed Jul 21 09:41:05 EDT 2004            \r\n"
      "  \r\n" +
      kWhereRun +
      "  \r\n"
      " windows database file is required\r\n"
      " (e.g. windows.abx)\r\n"
      "  \r\n"
      " NOTE: ONLY THE TIMES IN THE WINDOWS FILE ARE SPLICED\r\n"
      "  \r\n"
      "Give station name";
  EXPECT_EQ(after_prompt(r.out, kLevelPrompt + "1 ] >").rfind(banner, 0), 0u) << r.out;
}

TEST(ToolStartup, CutterBannerInHeaderDumperAboveLevelZero) {
  TempDir dir;
  const auto r = run_program("hdrdmp", {"1"}, "\n", dir.str());
  const std::string banner =
      "  \r\n"
      "  >>>>>>>>>>>>> wincutter <<<<<<<<<<<<<<<<<\r\n"
      "  \r\n"
      "            version = v5.1\r\n"
      " build date = Tue Jul 20 13:17:22 EDT 2004            \r\n"
      "  \r\n" +
      kWhereRun +
      "  \r\n"
      " windows and hardware database files are required\r\n"
      " (e.g. windows.abx & hardware.abx) \r\n"
      "  \r\n"
      "Give data file ";
  EXPECT_EQ(after_prompt(r.out, kLevelPrompt + "1 ] >").rfind(banner, 0), 0u) << r.out;
}

TEST(ToolStartup, NoInlineBannerAtLevelZeroShortLibraryBanner) {
  TempDir dir;
  const auto seg = run_program("segmerge", {}, "\n", dir.str());
  EXPECT_EQ(after_prompt(seg.out, kLevelPrompt + "0 ] >").rfind("Give station name", 0), 0u)
      << seg.out;
  const auto dump = run_program("hdrdmp", {}, "\n", dir.str());
  EXPECT_EQ(after_prompt(dump.out, kLevelPrompt + "0 ] >").rfind("Give data file ", 0), 0u)
      << dump.out;
  const auto mix = run_program("chanmixer", {}, "\n", dir.str());
  EXPECT_EQ(after_prompt(mix.out, kLevelPrompt + "0 ] >")
                .rfind("  \r\nchanmixer: ver=v5.1   SINGLE precision\r\n  \r\n", 0),
            0u)
      << mix.out;
  const auto mix1 = run_program("chanmixer", {"1"}, "\n", dir.str());
  EXPECT_NE(mix1.out.find("  >>>>>>>>>>>>> chanmixer <<<<<<<<<<<<<<<<<\r\n"), std::string::npos)
      << mix1.out;
}

}  // namespace
