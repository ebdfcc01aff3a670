// ts_open: file names from window names, the form question, and asking again when
// the open fails. Each call runs in a child process working in a temporary directory,
// with its answers coming through a pipe on standard input.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "common/edit/free.h"
#include "common/io/end.h"
#include "common/io/units.h"
#include "common/printlevel.h"
#include "common/text_field.h"
#include "support/child.h"
#include "support/run_program.h"
#include "support/ts_test_files.h"
#include "support/unprivileged.h"
#include "tslib/info_line.h"
#include "tslib/ts.h"

namespace fs = std::filesystem;

namespace {

using tstest::pad;

constexpr int kUnit = 10;
// Set in the environment of this test program when it is started again as a tool
// would be, to see ts_open's use of command-line argument 1.
constexpr const char* kBlankWindowChild = "TS_OPEN_TEST_BLANK_WINDOW";

// What the child reports after ts_open returned, one free line each, the fields
// between bars: the window, the file name, form and format, and the first record of
// the file now open on the unit (or "none" when it does not read in that form).
void report(std::span<const char> tswindow, std::span<const char> indat) {
  io::FreeWriter(6) << "tswindow=|" << field::view(tswindow) << "|";
  io::FreeWriter(6) << "indat=|" << field::view(indat) << "|";
  io::FreeWriter(6) << "form=|" << field::view(tsinfo.form) << "|";
  io::FreeWriter(6) << "format=|" << field::view(tsinfo.format) << "|";
  tslib::HeaderLine line;
  const bool binary = field::equals(tsinfo.form, tslib::kFormBinary);
  if (tslib::read_header_line(kUnit, line, binary, io::Takes::both).ok())
    io::FreeWriter(6) << "first=|" << field::trimmed(line) << "|";
  else io::FreeWriter(6) << "first=|none|";
}

// The text between "<name>=|" and the next '|' in the child's output.
std::string field(const std::string& out, const std::string& name) {
  const std::string key = name + "=|";
  const auto at = out.find(key);
  if (at == std::string::npos) return "<missing>";
  const auto from = at + key.size();
  return out.substr(from, out.find('|', from) - from);
}

std::size_t count(const std::string& text, const std::string& part) {
  std::size_t n = 0;
  for (auto at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) ++n;
  return n;
}

// A file holding one comment line naming it, so that the report shows which file the
// unit opened.
void make_file(const fs::path& dir, const std::string& name) {
  const fs::path p = dir / name;
  fs::create_directories(p.parent_path());
  mttest::write_file(p, "# " + name + "\r\n");
}

struct Call {
  std::string window = "kvt101a1";  // tswindow on entry (8 characters, blank-padded)
  bool prompt = true;
  bool local = false;
  std::string form = "ASCII ";
  int iprint = 0;
  tslib::TsAccess access = tslib::TsAccess::input;
};

mttest::ChildResult open_in(const fs::path& dir, const Call& c, const std::string& answers) {
  return mttest::run_child(
      [&] {
        fs::current_path(dir);
        tsinfo = tslib::TsInfoRecord{};
        field::assign(tsinfo.form, c.form);
        prtlvl.iprint = c.iprint;
        std::array<char, 8> window;
        field::assign(window, c.window);
        std::array<char, 40> indat;
        indat.fill(' ');
        ts_open(kUnit, window, indat, c.prompt, c.local, c.access);
        report(window, indat);
      },
      answers);
}

const std::string kWindowPrompt = "Give data file   [default: ";
const std::string kFormPrompt = "Are data in BINARY (b) or ASCII (a)  [default: b ] >";

TEST(TsOpen, NameRules) {
  struct Case {
    const char* what;
    std::string window;
    std::string answer;
    bool local;
    std::string name;      // the file name built and opened
    std::string tswindow;  // the window the caller sees afterwards
  };
  const Case cases[] = {
      {"station directory", "kvt101a1", "\n", false, "kvt101/kvt101a1.ts", "kvt101a1"},
      {"LOCAL", "kvt101a1", "\n", true, "kvt101a1.ts", "kvt101a1"},
      {"a '.' in the answer", "kvt101a1", "kvt101.t\n", false, "kvt101/kvt101.t", "kvt101.t"},
      {"a '.' with LOCAL", "kvt101a1", "kvt101.t\n", true, "kvt101.t", "kvt101.t"},
      {"short name keeps its blanks", "kvt1", "\n", false, "kvt1  /kvt1    .ts", "kvt1    "},
      {"short name with LOCAL", "kvt1", "\n", true, "kvt1.ts", "kvt1    "},
      {"long answer cut to 8", "kvt101a1", "kvt101b2xyz\n", false, "kvt101/kvt101b2.ts",
       "kvt101b2"},
      {"answer left-justified", "kvt101a1", "   kvt101b2\n", false, "kvt101/kvt101b2.ts",
       "kvt101b2"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    mttest::TempDir dir;
    make_file(dir.path(), c.name);
    Call call;
    call.window = c.window;
    call.local = c.local;
    call.iprint = 1;
    const auto r = open_in(dir.path(), call, c.answer);
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out.rfind(kWindowPrompt + c.window + " ] >", 0), 0u) << r.out;
    EXPECT_NE(r.out.find(" File opened in ASCII mode=>" + c.name + "\r\n"), std::string::npos)
        << r.out;
    EXPECT_EQ(field(r.out, "indat"), pad(c.name, 40));
    EXPECT_EQ(field(r.out, "tswindow"), c.tswindow);
    EXPECT_EQ(field(r.out, "first"), "# " + c.name);
  }
}

TEST(TsOpen, NoQuestionWithoutPromptAndEntryLines) {
  mttest::TempDir dir;
  make_file(dir.path(), "kvt101/kvt101a1.ts");
  Call call;
  call.prompt = false;
  call.iprint = 2;
  const auto r = open_in(dir.path(), call, "");
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.out.find("Give data file"), std::string::npos);
  EXPECT_EQ(r.out.rfind(" ts_open entered:\r\n"
                        " ind      =           10\r\n"
                        " tswindow = kvt101a1\r\n"
                        " indat    = " +
                            std::string(40, ' ') +
                            "\r\n"
                            " PROMPT   =  F\r\n"
                            " LOCAL    =  F\r\n"
                            " form     = ASCII \r\n"
                            " File opened in ASCII mode=>kvt101/kvt101a1.ts\r\n",
                        0),
            0u)
      << r.out;
}

TEST(TsOpen, FormQuestion) {
  struct Case {
    std::string answer;
    std::string form;
    std::string format;
    std::string opened;
  };
  const std::string name = "kvt101/kvt101a1.ts";
  const Case cases[] = {
      {"\n", "BINARY", "UNFORMATTED    ", " File opened in UNFORMATTED/BIG_ENDIAN mode=>"},
      {"B\n", "BINARY", "UNFORMATTED    ", " File opened in UNFORMATTED/BIG_ENDIAN mode=>"},
      {"a\n", "ASCII ", "", " File opened in ASCII mode=>"},
      {"A\n", "ASCII ", "", " File opened in ASCII mode=>"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.answer);
    mttest::TempDir dir;
    make_file(dir.path(), name);
    Call call;
    call.form = "?     ";
    call.prompt = false;
    call.iprint = 1;
    const auto r = open_in(dir.path(), call, c.answer);
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out.rfind(kFormPrompt + c.opened + name + "\r\n", 0), 0u) << r.out;
    EXPECT_EQ(field(r.out, "form"), c.form);
    // format stays as the caller left it (NULs here) unless the file is BINARY.
    if (!c.format.empty()) {
      EXPECT_EQ(field(r.out, "format"), c.format);
    }
  }
}

TEST(TsOpen, UnknownFormEndsTheProgram) {
  struct Case {
    std::string form;
    std::string answers;
    std::string shown;
  };
  const Case cases[] = {
      {"?     ", "\nx\n", "?     "},  // the question answered with another letter
      {"XYZ   ", "\n", "XYZ   "},     // a form the caller set wrongly
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.form);
    mttest::TempDir dir;
    make_file(dir.path(), "kvt101/kvt101a1.ts");
    Call call;
    call.form = c.form;
    call.iprint = -1;
    const auto r = open_in(dir.path(), call, c.answers);
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.out,
              " ERROR: Unknown form specifier in ts_open\r\n"
              " form =" +
                  c.shown + "\r\n");
    EXPECT_EQ(r.err, "Program terminated\r\n");
  }
}

TEST(TsOpen, FailedOpenAsksAgainAndCreatesNothing) {
  struct Case {
    const char* what;
    std::string first_answer;
    std::string form_answer;
    std::string missing;  // the name the first answer builds
    std::string form;
  };
  const Case cases[] = {
      {"missing directory", "abc101a1", "a", "abc101/abc101a1.ts", "ASCII "},
      {"missing file", "kvt101a2", "a", "kvt101/kvt101a2.ts", "ASCII "},
      {"missing file, BINARY", "kvt101a2", "b", "kvt101/kvt101a2.ts", "BINARY"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    mttest::TempDir dir;
    make_file(dir.path(), "kvt101/kvt101a1.ts");
    Call call;
    call.form = "?     ";
    const auto r =
        open_in(dir.path(), call, c.first_answer + "\n" + c.form_answer + "\n" + "kvt101a1\n");
    EXPECT_EQ(r.status, 0) << r.err;
    const std::string error = " Error in opening " + pad(c.missing, 40) + "  Try again!\r\n";
    // The question again, offering the window that failed; the form is not asked again.
    EXPECT_NE(r.out.find(kFormPrompt + error + kWindowPrompt + c.first_answer + " ] >"),
              std::string::npos)
        << r.out;
    EXPECT_EQ(count(r.out, "Are data in BINARY"), 1u);
    EXPECT_EQ(count(r.out, "Give data file"), 2u);
    EXPECT_EQ(field(r.out, "indat"), pad("kvt101/kvt101a1.ts", 40));
    EXPECT_EQ(field(r.out, "form"), c.form);
    EXPECT_FALSE(fs::exists(dir / c.missing));
    EXPECT_FALSE(fs::exists(dir / "abc101"));
  }
}

TEST(TsOpen, QuestionsHiddenAtNegativeLevelButErrorsShown) {
  mttest::TempDir dir;
  make_file(dir.path(), "kvt101/kvt101a1.ts");
  Call call;
  call.iprint = -1;
  const auto r = open_in(dir.path(), call, "kvt101zz\nkvt101a1\n");
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.out.rfind(" Error in opening " + pad("kvt101/kvt101zz.ts", 40) +
                            "  Try again!\r\n tswindow=|kvt101a1|\r\n",
                        0),
            0u)
      << r.out;
}

// In a child: ts_open of the ASCII output of window kvt101a1 in dir, without the
// question first. Returns the file name opened.
std::array<char, 40> open_output(const fs::path& dir) {
  fs::current_path(dir);
  field::assign(tsinfo.form, tslib::kFormAscii);
  std::array<char, 8> window;
  field::assign(window, "kvt101a1");
  std::array<char, 40> indat;
  indat.fill(' ');
  ts_open(kUnit, window, indat, false, false, tslib::TsAccess::output);
  return indat;
}

TEST(TsOpen, OutputIsCreatedOrReplacedFromItsStart) {
  for (const bool existing : {false, true}) {
    SCOPED_TRACE(existing ? "existing file" : "missing file");
    mttest::TempDir dir;
    fs::create_directories(dir / "kvt101");
    if (existing)
      mttest::write_file(dir / "kvt101" / "kvt101a1.ts",
                         "# an old and much longer header line\r\n");
    const auto r = mttest::run_child(
        [&] {
          open_output(dir.path());
          tslib::HeaderLine line;
          field::assign(line, "# new");
          tslib::write_comment_line(kUnit, line, false);
          io::close(kUnit);
        },
        "");
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(mttest::read_file(dir / "kvt101" / "kvt101a1.ts"), "# new\r\n");
  }
}

TEST(TsOpen, OutputThatMayNotBeWrittenAsksAgain) {
  mttest::TempDir dir;
  make_file(dir.path(), "kvt101/kvt101a1.ts");
  mttest::make_read_only(dir / "kvt101" / "kvt101a1.ts");
  const auto r = mttest::run_unprivileged_in(
      dir.path(),
      [&] {
        const std::array<char, 40> indat = open_output(".");  // the child works in dir
        io::FreeWriter(6) << "indat=|" << field::view(indat) << "|";
      },
      "kvt101a2\n");
  if (!r) GTEST_SKIP() << "cannot become an ordinary user working in the test directory";
  EXPECT_EQ(r->status, 0) << r->err;
  EXPECT_EQ(r->out, " Error in opening " + pad("kvt101/kvt101a1.ts", 40) + "  Try again!\r\n" +
                        kWindowPrompt + "kvt101a1 ] > indat=|" + pad("kvt101/kvt101a2.ts", 40) +
                        "|\r\n");
  EXPECT_EQ(mttest::read_file(dir / "kvt101" / "kvt101a1.ts"), "# kvt101/kvt101a1.ts\r\n");
  EXPECT_TRUE(fs::exists(dir / "kvt101" / "kvt101a2.ts"));
}

// The blank-window rule needs a command line of our choosing: this test program is
// started again with the arguments a tool would have.
int blank_window_child() {
  field::assign(tsinfo.form, tslib::kFormAscii);
  std::array<char, 8> window;
  window.fill(' ');
  std::array<char, 40> indat;
  indat.fill(' ');
  ts_open(kUnit, window, indat, false, false, tslib::TsAccess::input);
  report(window, indat);
  io::end_program(io::Outcome::success);
}

TEST(TsOpen, BlankWindowTakesArgumentOneOrTheDefault) {
  struct Case {
    std::vector<std::string> args;
    std::string answers;
    std::string name;
    bool asked;
  };
  const Case cases[] = {
      // No argument: the default window, asked although the caller passed no PROMPT.
      {{}, "\n", "qra027/qra027a1.ts", true},
      // Argument 1 (a tool's print level): taken as the window without a question.
      {{"2", "3"}, "", "2     /2       .ts", false},
  };
  const fs::path self = fs::read_symlink("/proc/self/exe");
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    mttest::TempDir dir;
    make_file(dir.path(), c.name);
    ::setenv(kBlankWindowChild, "1", 1);
    const auto r = mttest::run_program(self.string(), c.args, c.answers, dir.str());
    ::unsetenv(kBlankWindowChild);
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out.rfind(kWindowPrompt + "qra027a1 ] >", 0) == 0, c.asked) << r.out;
    EXPECT_EQ(field(r.out, "indat"), pad(c.name, 40));
    EXPECT_EQ(field(r.out, "first"), "# " + c.name);
  }
}

}  // namespace

int main(int argc, char** argv) {
  if (std::getenv(kBlankWindowChild) != nullptr) {
    io::start_program(argc, argv);
    return blank_window_child();
  }
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
