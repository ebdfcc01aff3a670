#include "common/run_start.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "common/io/units.h"
#include "common/printlevel.h"
#include "support/child.h"

namespace {

// A line of the child's own on standard output, after everything the I/O layer holds.
void say(const std::string& line) {
  io::flush_all();
  std::fputs((line + "\n").c_str(), stdout);
  std::fflush(stdout);
}

TEST(RunStart, EchoShowsTheDateAndByteOrderAboveLevelZero) {
  const std::string echo =
      " Program start at: Mon Mar  8 18:03:30 2004\r\n"
      " Machine endian  : Little\r\n"
      " UNIX setting    :  F\r\n";
  struct Case {
    int iprint;
    std::string out;
  };
  const Case cases[] = {{-1, ""}, {0, ""}, {1, echo}, {3, echo}};
  for (const Case& c : cases) {
    const auto r = mttest::run_child([&] {
      prtlvl.iprint = c.iprint;
      common::startup_echo("Mon Mar  8 18:03:30 2004", "Little");
    });
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out, c.out) << "print level " << c.iprint;
  }
}

TEST(RunStart, PrintLevelQuestionOffersTheCurrentLevel) {
  struct Case {
    int iprint;
    std::string answer;
    std::string out;
  };
  const std::string prompt = "Give print level (-1/0/1/2/3)  [default: ";
  const Case cases[] = {
      {0, "1\n", prompt + "0 ] >1\n"},
      {1, "\n", prompt + "1 ] >1\n"},  // an empty answer keeps the level
      {-1, "0\n", "0\n"},              // hidden below level 0, but read
  };
  for (const Case& c : cases) {
    const auto r = mttest::run_child(
        [&] {
          prtlvl.iprint = c.iprint;
          common::ask_print_level();
          say(std::to_string(prtlvl.iprint));
        },
        c.answer);
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out, c.out) << "print level " << c.iprint;
  }
}

}  // namespace
