#include "common/prompt.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <functional>
#include <string>

#include "common/edit/free.h"
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

std::string show(float v) {
  char buf[32];
  std::snprintf(buf, sizeof buf, "%.9g", static_cast<double>(v));
  return buf;
}

// Runs body in a child at the given print level with input piped to standard input.
mttest::ChildResult ask(int iprint, const std::function<void()>& body, const std::string& input) {
  return mttest::run_child(
      [&] {
        prtlvl.iprint = iprint;
        body();
      },
      input);
}

std::size_t count(const std::string& text, const std::string& what) {
  std::size_t n = 0;
  for (auto at = text.find(what); at != std::string::npos; at = text.find(what, at + 1)) ++n;
  return n;
}

TEST(Prompt, DefaultTextsOfTheKinds) {
  // An empty answer: the default is shown and the value comes back unchanged.
  struct Case {
    const char* name;
    std::function<void()> body;
    const char* shown;
    const char* kept;
  };
  const Case cases[] = {
      {"float 52.5",
       [] {
         float v = 52.5f;
         rinput("Give x", v);
         say(show(v));
       },
       "52.500", "52.5"},
      {"float 0",
       [] {
         float v = 0.0f;
         rinput("Give x", v);
         say(show(v));
       },
       "0.0", "0"},
      {"float -0",
       [] {
         float v = -0.0f;
         rinput("Give x", v);
         say(show(v));
       },
       "0.0", "-0"},
      {"float 1e32",
       [] {
         float v = 1.0e32f;
         rinput("Give x", v);
         say(show(v));
       },
       "0.10000E+33", "1.00000003e+32"},
      {"double 0",
       [] {
         double v = 0.0;
         dinput("Give x", v);
         say(show(float(v)));
       },
       "0.d0", "0"},
      {"int -1",
       [] {
         std::int32_t v = -1;
         iinput("Give x", v);
         say(std::to_string(v));
       },
       "-1", "-1"},
      {"int16 7",
       [] {
         std::int16_t v = 7;
         i2input("Give x", v);
         say(std::to_string(v));
       },
       "7", "7"},
      {"bool",
       [] {
         bool v = true;
         linput("Give x", v);
         say(v ? "true" : "false");
       },
       "T", "true"},
  };
  for (const Case& c : cases) {
    const auto r = ask(0, c.body, "\n");
    ASSERT_EQ(r.status, 0) << c.name << r.err;
    EXPECT_EQ(r.out, std::string("Give x  [default: ") + c.shown + " ] >" + c.kept + "\n")
        << c.name;
  }
}

TEST(Prompt, AnswersConvertInTheFreeLayout) {
  struct Case {
    const char* answer;
    std::int32_t expected;
  };
  const Case cases[] = {
      {"12.5", 12}, {"  7  ", 7}, {"7 8", 7},   {"1e3", 1000}, {",", 3},
      {"/", 3},     {"   ", 3},   {"-2.7", -2}, {"\t", 3},  // a tab alone holds no value: the
                                                            // default stays
  };
  for (const Case& c : cases) {
    const auto r = ask(
        0,
        [] {
          std::int32_t v = 3;
          iinput("n", v);
          say(std::to_string(v));
        },
        std::string(c.answer) + "\n");
    ASSERT_EQ(r.status, 0) << c.answer << r.err;
    EXPECT_EQ(r.out, "n  [default: 3 ] >" + std::to_string(c.expected) + "\n") << c.answer;
  }
  struct FloatCase {
    const char* answer;
    const char* expected;
  };
  const FloatCase floats[] = {
      {"5", "5"}, {"1e3", "1000"}, {".5", "0.5"}, {"-2.5e-1 9", "-0.25"}, {"T", "-1"}};
  for (const FloatCase& c : floats) {
    const auto f = ask(
        0,
        [] {
          float v = 1;
          rinput("x", v);
          say(show(v));
        },
        std::string(c.answer) + "\n");
    EXPECT_EQ(f.out, std::string("x  [default: 1.0000 ] >") + c.expected + "\n") << c.answer;
  }
  // The 64-bit entry reads the answer at full precision.
  const auto d = ask(
      0,
      [] {
        double v = 52.5;
        dinput("y", v);
        say(v == 0.1 ? "exact" : "rounded");
      },
      "0.1\n");
  EXPECT_EQ(d.out, "y  [default: 52.500 ] >exact\n");
  struct BoolCase {
    const char* answer;
    bool expected;
  };
  const BoolCase bools[] = {{".t.", true}, {"3", true}, {"2", false}, {"False", false}};
  for (const BoolCase& c : bools) {
    const auto r = ask(
        0,
        [] {
          bool v = false;
          linput("b", v);
          say(v ? "T" : "F");
        },
        std::string(c.answer) + "\n");
    EXPECT_EQ(r.out, std::string("b  [default: F ] >") + (c.expected ? "T" : "F") + "\n")
        << c.answer;
  }
}

TEST(Prompt, BadAnswerPrintsTheFormatErrorAndAsksAgainWithTheSameDefault) {
  const auto r = ask(
      0,
      [] {
        std::int32_t v = 3;
        iinput("Give n", v);
        say(std::to_string(v));
      },
      "abc\n1.2.3\n5\n");
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.out,
            "Give n  [default: 3 ] > ***** Format error: try again *****\r\n"
            "Give n  [default: 3 ] > ***** Format error: try again *****\r\n"
            "Give n  [default: 3 ] >5\n");
}

TEST(Prompt, NumbersBeyondTheVariableAreFormatErrors) {
  auto r = ask(
      0,
      [] {
        std::int32_t v = 3;
        iinput("n", v);
        say(std::to_string(v));
      },
      "3000000000\n-2147483648\n");
  EXPECT_EQ(r.out,
            "n  [default: 3 ] > ***** Format error: try again *****\r\n"
            "n  [default: 3 ] >-2147483648\n");
  r = ask(
      0,
      [] {
        std::int16_t v = 3;
        i2input("n", v);
        say(std::to_string(v));
      },
      "40000\n-32768\n");
  EXPECT_EQ(r.out,
            "n  [default: 3 ] > ***** Format error: try again *****\r\n"
            "n  [default: 3 ] >-32768\n");
}

TEST(Prompt, ThroughAPipeThePromptWaitsOpenForEachAnswer) {
  // Each answer is sent only after the child has shown its prompt and waits for it: a
  // prompt that stayed in a buffer would never arrive, and until_prompt() says so.
  mttest::Child c([] {
    float x = 52.5f;
    rinput("Give x", x);
    std::int32_t n = -1;
    iinput("Give n", n);
    io::FreeWriter(6) << x << n;
  });
  EXPECT_EQ(c.until_prompt(), "Give x  [default: 52.500 ] >");
  c.answer("abc\n");
  EXPECT_EQ(c.until_prompt(),
            " ***** Format error: try again *****\r\nGive x  [default: 52.500 ] >");
  c.answer("7.5\n");
  EXPECT_EQ(c.until_prompt(), "Give n  [default: -1 ] >");
  c.answer("\n");
  const auto [status, rest, err] = c.finish();
  EXPECT_EQ(rest, "   7.500000              -1\r\n");
  EXPECT_EQ(status, 0);
}

TEST(Prompt, NegativePrintLevelHidesThePromptButReadsAndComplains) {
  const auto r = ask(
      -1,
      [] {
        std::int32_t v = 3;
        iinput("Give n", v);
        say(std::to_string(v));
      },
      "abc\n4\n");
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.out, " ***** Format error: try again *****\r\n4\n");
}

TEST(Prompt, EndOfInputEndsTheProgramWithTheErrorReport) {
  const auto r = ask(
      0,
      [] {
        std::int32_t v = 3;
        iinput("Give n", v);
        say("returned");
      },
      "");
  EXPECT_EQ(r.status, 24);
  EXPECT_EQ(r.out, "Give n  [default: 3 ] >");
  EXPECT_NE(r.err.find("severe (24): end-of-file during read, unit -4, file stdin"),
            std::string::npos)
      << r.err;
  // Also after a bad answer, when the second answer never comes.
  const auto again = ask(
      0,
      [] {
        float v = 1;
        rinput("x", v);
        say("returned");
      },
      "zz\n");
  EXPECT_EQ(again.status, 24);
  EXPECT_EQ(again.out.find("returned"), std::string::npos);
}

TEST(Prompt, TextKeepsEveryCharacterAndLeftJustifiesTheVariable) {
  auto r = ask(
      0,
      [] {
        std::string v = "  abc   ";
        cinput("Name", v);
        say("[" + v + "]");
      },
      "\n");
  EXPECT_EQ(r.out, "Name  [default: abc ] >[abc     ]\n");

  r = ask(
      0,
      [] {
        std::string v(10, ' ');
        cinput("Name", v);
        say("[" + v + "]");
      },
      "   Hello, 'World' / x  \n");
  EXPECT_EQ(r.out, "Name  [default:   ] >[Hello, 'Wo]\n");  // a blank value: one blank

  r = ask(
      0,
      [] {
        std::string v = "old";
        cinput("Name", v);
        say("[" + v + "]");
      },
      "a,b\n");
  EXPECT_EQ(r.out, "Name  [default: old ] >[a,b]\n");
}

TEST(Prompt, LongAnswerKeepsItsFirst133Characters) {
  std::string line = "  ";
  for (int i = 0; i < 198; ++i) line += static_cast<char>('a' + i % 26);
  const std::string kept = line.substr(2, 131);  // 133 minus the two leading blanks
  const auto r = ask(
      0,
      [] {
        std::string wide(150, 'q');
        cinput("T", wide);
        say("[" + wide + "]");
        std::string narrow(40, 'q');
        cinput("T", narrow);
        say("[" + narrow + "]");
      },
      line + "\n" + line + "\n");
  ASSERT_EQ(r.status, 0) << r.err;
  const std::string wide_default(80, 'q');
  EXPECT_EQ(r.out, "T  [default: " + wide_default + " ] >[" + kept + std::string(19, ' ') +
                       "]\nT  [default: " + std::string(40, 'q') + " ] >[" + kept.substr(0, 40) +
                       "]\n");
}

TEST(Prompt, YesNoTakesOneLetterInEitherCase) {
  struct Case {
    char dflt;
    const char* input;
    const char* out;
  };
  const Case cases[] = {
      {'y', "n\n", "Use it  [default: Y ] >N\n"},
      {'N', " y \n", "Use it  [default: N ] >Y\n"},
      {'Y', "\n", "Use it  [default: Y ] >Y\n"},
      {'y', "yes\nY\n",
       "Use it  [default: Y ] > ***** Format error: try again *****\r\n"
       "Use it  [default: Y ] >Y\n"},
      // A default other than Y or N: the message, no question, the answer unchanged.
      {'x', "", " pinput: erroneous input to yin: ans = x\r\nx\n"},
  };
  for (const Case& c : cases) {
    const char dflt = c.dflt;
    const auto r = ask(
        0,
        [dflt] {
          char a = dflt;
          yin("Use it", a);
          say(std::string(1, a));
        },
        c.input);
    ASSERT_EQ(r.status, 0) << c.input << r.err;
    EXPECT_EQ(r.out, c.out) << c.input;
  }
}

TEST(Prompt, PromptTextOfLengthZeroAndMessages) {
  auto r = ask(
      0,
      [] {
        std::int32_t v = 2;
        iinput("", v);
        say(std::to_string(v));
      },
      "\n");
  EXPECT_EQ(r.out, "+  [default: 2 ]  >2\n");
  r = ask(
      0, [] { pmesg("  Channel map:  "); }, "");
  EXPECT_EQ(r.out, "  Channel map:  \r\n");
  r = ask(
      -1, [] { pmesg("hidden"); }, "");
  EXPECT_EQ(r.out, "");
}

TEST(Prompt, EchoLinesOfTheTrimmingAtPrintLevelTwo) {
  // One trimming of the default, two of a non-blank answer, one of a blank answer.
  auto r = ask(
      2,
      [] {
        std::int32_t v = 2;
        iinput("n", v);
      },
      "5\n");
  EXPECT_EQ(count(r.out, "TRUNC: entered with line="), 3u);
  r = ask(
      2,
      [] {
        std::int32_t v = 2;
        iinput("n", v);
      },
      "\n");
  EXPECT_EQ(count(r.out, "TRUNC: entered with line="), 2u);
  // yin trims its answer once more inside the upper-casing.
  r = ask(
      2,
      [] {
        char a = 'Y';
        yin("q", a);
      },
      "n\n");
  EXPECT_EQ(count(r.out, "TRUNC: entered with line="), 4u);
  r = ask(
      1,
      [] {
        std::int32_t v = 2;
        iinput("n", v);
      },
      "5\n");
  EXPECT_EQ(count(r.out, "TRUNC"), 0u);
  // The default is trimmed before the prompt line, the answer after it.
  r = ask(
      2,
      [] {
        std::int32_t v = 2;
        iinput("n", v);
      },
      "5\n");
  const auto prompt_at = r.out.find("n  [default: 2 ] >");
  ASSERT_NE(prompt_at, std::string::npos) << r.out;
  EXPECT_EQ(count(r.out.substr(0, prompt_at), "TRUNC: entered with line="), 1u);
  // From level 30 the upper-casing of yin's default and answer speaks too.
  r = ask(
      30,
      [] {
        char a = 'Y';
        yin("q", a);
      },
      "n\n");
  EXPECT_EQ(count(r.out, "SHIFTUP: entered with string="), 2u);
  EXPECT_EQ(count(r.out, "SHIFTUP: leaving with string="), 2u);
}

}  // namespace
