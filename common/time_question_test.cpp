// The time question: asked again until the fields are in range, and the answer kept as
// the time library writes it.
#include "common/time_question.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "common/io/units.h"
#include "common/printlevel.h"
#include "common/text_field.h"
#include "support/child.h"

namespace {

// Runs the question in a child at the print level, with the answers on standard input,
// and shows the time it returns as "=<time>" on a line of its own.
mttest::ChildResult ask(int iprint, const timelib::TimeQuestion& q, const std::string& answers) {
  return mttest::run_child(
      [&] {
        prtlvl.iprint = iprint;
        timelib::Timestr first{};
        field::assign(first, "2004-07-20 13:00:00");
        const timelib::Timestr t = timelib::ask_time(q, first);
        io::flush_all();
        std::printf("=%s\n", std::string(field::view(t)).c_str());
        std::fflush(stdout);
      },
      answers);
}

TEST(TimeQuestion, AsksAgainOfferingTheAnswerRefused) {
  const auto r = ask(0, {.prompt = "Give start"}, "2004-13-20 13:00:00\n\n2004/07/20T13.05.00\n");
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.out,
            "Give start  [default: 2004-07-20 13:00:00 ] >"
            " Invalid month: 13  Try again.\r\n"
            "Give start  [default: 2004-13-20 13:00:00 ] >"
            " Invalid month: 13  Try again.\r\n"
            "Give start  [default: 2004-13-20 13:00:00 ] >"
            "=2004-07-20 13:05:00\n");
}

TEST(TimeQuestion, AsksAgainOfferingTheFirstDefaultUnderItsHeading) {
  const timelib::TimeQuestion q{
      .prompt = " ", .heading = "Give the time >", .offer_refused = false};
  const auto r = ask(0, q, "2004-07-20 25:00:00\n\n");
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.out,
            "Give the time >yyyy-mm-dd hh:mm:ss\r\n"
            "   [default: 2004-07-20 13:00:00 ] >"
            " Invalid hour: 25  Try again.\r\n"
            "Give the time >yyyy-mm-dd hh:mm:ss\r\n"
            "   [default: 2004-07-20 13:00:00 ] >"
            "=2004-07-20 13:00:00\n");
}

TEST(TimeQuestion, EchoesTheAnswerAsTypedFromLevelTwo) {
  const timelib::TimeQuestion q{.prompt = " ", .heading = "Give >", .echo = "stime="};
  for (int iprint : {1, 2, 3}) {
    const auto r = ask(iprint, q, "2004.07.20 13/01/02\n");
    EXPECT_EQ(r.status, 0) << r.err;
    const bool echoed = r.out.find("\r\n stime=2004.07.20 13/01/02\r\n  yy, mm, dd, hh, min =>") !=
                        std::string::npos;
    EXPECT_EQ(echoed, iprint >= 2) << iprint << r.out;
    EXPECT_TRUE(r.out.ends_with("=2004-07-20 13:01:02\n")) << iprint << r.out;
  }
}

TEST(TimeQuestion, BelowLevelZeroOnlyTheAnswersAreRead) {
  const timelib::TimeQuestion q{.prompt = " ", .heading = "Give >", .echo = "stime="};
  const auto r = ask(-1, q, "2004-07-20 13:00:61\n2004-07-20 14:00:00\n");
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.out,
            " Invalid second: 61  Try again.\r\n"
            "=2004-07-20 14:00:00\n");
}

}  // namespace
