// Opening units: statuses, keyword texts, the failures of the platform's open, the
// full path name of reports, the standard units.
#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <initializer_list>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "common/io/end.h"
#include "common/io/errors.h"
#include "common/io/unit.h"
#include "common/io/units.h"
#include "common/text_field.h"
#include "support/child.h"
#include "support/run_program.h"
#include "support/unprivileged.h"
#include "support/working_directory.h"

namespace {

constexpr int kUnit = 12;

io::OpenSpec with_status(io::OpenStatus status) {
  io::OpenSpec spec;
  spec.status = status;
  return spec;
}

// Keyword texts for status and form, taken in either case with trailing blanks
// ignored; a keyword that names no choice is error 45, settled like any failed open.
template <class T>
bool choose(std::string_view text, std::initializer_list<std::pair<std::string_view, T>> choices,
            T& to) {
  text = field::trimmed(text);
  for (const auto& [word, value] : choices) {
    const bool same =
        std::equal(text.begin(), text.end(), word.begin(), word.end(),
                   [](char a, char b) { return std::toupper(static_cast<unsigned char>(a)) == b; });
    if (same) {
      to = value;
      return true;
    }
  }
  return false;
}

io::Result open_by_keywords(int unit, std::string_view name, std::string_view status,
                            std::string_view form, bool append, io::Takes takes) {
  io::OpenSpec spec;
  spec.append = append;
  const bool status_known = choose<io::OpenStatus>(status,
                                                   {{"OLD", io::OpenStatus::old_file},
                                                    {"NEW", io::OpenStatus::new_file},
                                                    {"UNKNOWN", io::OpenStatus::unknown}},
                                                   spec.status);
  const bool form_known = choose<io::Form>(form,
                                           {{"FORMATTED", io::Form::text},
                                            {"UNFORMATTED", io::Form::binary},
                                            {"BINARY", io::Form::stream}},
                                           spec.form);
  if (status_known && form_known) return io::open(unit, name, spec, takes);
  if (io::takes_errors(takes)) return io::Result{io::kErrKeyword};
  name = field::trimmed(name);
  io::error_report(io::kErrKeyword, unit, std::filesystem::absolute(name).string());
}

class Open : public ::testing::Test {
 protected:
  void TearDown() override { io::close(kUnit); }
  std::string path(const std::string& name) const { return (dir_ / name).string(); }
  mttest::TempDir dir_;
};

TEST_F(Open, StatusesAgainstExistingAndMissingFiles) {
  struct Case {
    io::OpenStatus status;
    bool file_exists;
    io::Result result;
  };
  const std::vector<Case> cases = {
      {io::OpenStatus::old_file, true, io::kDone},
      {io::OpenStatus::old_file, false, io::Result{io::kErrFileNotFound}},
      {io::OpenStatus::new_file, true, io::Result{io::kErrCannotOverwrite}},
      {io::OpenStatus::new_file, false, io::kDone},
      {io::OpenStatus::unknown, true, io::kDone},
      {io::OpenStatus::unknown, false, io::kDone},
  };
  int n = 0;
  for (const Case& c : cases) {
    const std::string name = path("f" + std::to_string(n++));
    if (c.file_exists) mttest::write_file(name, "old\r\n");
    EXPECT_EQ(io::open(kUnit, name, with_status(c.status), io::Takes::errors), c.result) << n;
    EXPECT_EQ(io::is_open(kUnit), c.result.ok()) << n;
    io::close(kUnit);
    EXPECT_EQ(std::filesystem::exists(name), c.file_exists || c.result.ok()) << n;
    if (c.file_exists) {
      EXPECT_EQ(mttest::read_file(name), "old\r\n") << n;
    }
  }
}

TEST_F(Open, KeywordTextsInEitherCaseWithTrailingBlanks) {
  struct Case {
    const char* status;
    const char* form;
    io::Result result;
    io::Form opened_form;
  };
  const std::vector<Case> cases = {
      {"UNKNOWN", "FORMATTED", io::kDone, io::Form::text},
      {"unknown  ", "formatted   ", io::kDone, io::Form::text},
      {"Unknown", "UNFORMATTED", io::kDone, io::Form::binary},
      {"unknown", "Binary ", io::kDone, io::Form::stream},
      {"old", "formatted", io::kDone, io::Form::text},
      {"OLDE", "FORMATTED", io::Result{io::kErrKeyword}, io::Form::text},
      {" OLD", "FORMATTED", io::Result{io::kErrKeyword}, io::Form::text},
      {"", "FORMATTED", io::Result{io::kErrKeyword}, io::Form::text},
      {"OLD", "TEXT", io::Result{io::kErrKeyword}, io::Form::text},
      {"SCRATCH", "FORMATTED", io::Result{io::kErrKeyword}, io::Form::text},
  };
  const std::string name = path("k.txt");
  mttest::write_file(name, "");
  for (const Case& c : cases) {
    EXPECT_EQ(open_by_keywords(kUnit, name, c.status, c.form, false, io::Takes::errors), c.result)
        << c.status << "/" << c.form;
    if (c.result.ok()) {
      EXPECT_EQ(io::unit_for(kUnit).form(), c.opened_form) << c.form;
    }
    io::close(kUnit);
  }
  EXPECT_EQ(open_by_keywords(kUnit, path("made.txt"), "new", "formatted", false, io::Takes::errors),
            io::kDone);
  EXPECT_EQ(open_by_keywords(kUnit, path("made.txt"), "NEW", "formatted", false, io::Takes::errors),
            io::Result{io::kErrCannotOverwrite});
}

TEST_F(Open, PlatformFailuresGiveTheirNumbers) {
  struct Case {
    const char* what;
    std::string name;
    io::OpenStatus status;
    int number;
  };
  std::filesystem::create_directory(path("adir"));
  const std::vector<Case> cases = {
      {"missing directory", path("nodir/x.txt"), io::OpenStatus::unknown, io::kErrFileNotFound},
      {"a file used as directory", path("plain/x.txt"), io::OpenStatus::unknown,
       io::kErrFileNotFound},
      {"empty name", "   ", io::OpenStatus::unknown, io::kErrFileName},
      {"name too long", path(std::string(5000, 'n')), io::OpenStatus::unknown, io::kErrFileName},
      {"a directory", path("adir"), io::OpenStatus::old_file, io::kErrOpenFailure},
      {"name with NUL inside", std::string("a\0b", 3), io::OpenStatus::unknown, io::kErrFileName},
  };
  mttest::write_file(path("plain"), "x");
  for (const Case& c : cases) {
    EXPECT_EQ(io::open(kUnit, c.name, with_status(c.status), io::Takes::errors),
              io::Result{c.number})
        << c.what;
    EXPECT_FALSE(io::is_open(kUnit)) << c.what;
  }
}

TEST_F(Open, PermissionDenied) {
  std::string name;
  const std::string locked = path("locked");
  if (::geteuid() == 0) {
    // Permissions do not bind the superuser; the kernel's own tree refuses new files.
    if (!std::filesystem::is_directory("/sys/kernel")) GTEST_SKIP() << "no /sys";
    name = "/sys/kernel/mtprep-io-test";
  } else {
    std::filesystem::create_directory(locked);
    std::filesystem::permissions(
        locked, std::filesystem::perms::owner_read | std::filesystem::perms::owner_exec);
    name = locked + "/x.txt";
  }
  EXPECT_EQ(io::open(kUnit, name, with_status(io::OpenStatus::unknown), io::Takes::errors),
            io::Result{io::kErrPermission});
  if (std::filesystem::exists(locked))
    std::filesystem::permissions(locked, std::filesystem::perms::owner_all);
}

TEST_F(Open, AFileThatMayOnlyBeReadOpensOnlyToBeRead) {
  const std::string name = "ro.txt";  // in dir_, where the child works
  mttest::write_file(dir_ / name, "only line\r\n");
  mttest::make_read_only(dir_ / name);
  struct Case {
    const char* what;
    io::OpenSpec spec;
    int result;
  };
  const std::vector<Case> cases = {
      {"to read", io::OpenSpec::to_read(io::Form::text), 0},
      {"old", with_status(io::OpenStatus::old_file), io::kErrPermission},
      {"unknown", with_status(io::OpenStatus::unknown), io::kErrPermission},
      {"appending", {.status = io::OpenStatus::unknown, .append = true}, io::kErrPermission},
      {"new", with_status(io::OpenStatus::new_file), io::kErrCannotOverwrite},
  };
  // In a child that an ordinary user runs: one line per case, the result's number,
  // and for an opened file its first line.
  const auto r = mttest::run_unprivileged_in(dir_.path(), [&] {
    for (const Case& c : cases) {
      std::string line = std::to_string(io::open(kUnit, name, c.spec, io::Takes::errors).code);
      std::string_view first;
      if (io::is_open(kUnit) && io::unit_for(kUnit).read_line(first).ok())
        line += " " + std::string(first);
      io::close(kUnit);
      io::unit_for(6).write_text(line, true);
    }
  });
  if (!r) GTEST_SKIP() << "cannot become an ordinary user working in the test directory";
  ASSERT_EQ(r->status, 0) << r->err;
  std::string want;
  for (const Case& c : cases)
    want += std::to_string(c.result) + (c.result == 0 ? " only line" : "") + "\r\n";
  EXPECT_EQ(r->out, want);
  EXPECT_EQ(mttest::read_file(dir_ / name), "only line\r\n");
}

TEST_F(Open, ReportsCarryTheFullPathName) {
  {
    const mttest::WorkingDirectory in_dir(dir_.path());
    ASSERT_EQ(io::open(kUnit, "rel.txt  ", with_status(io::OpenStatus::unknown), io::Takes::errors),
              io::kDone);
    EXPECT_EQ(io::unit_for(kUnit).path(), (dir_ / "rel.txt").string());
    EXPECT_EQ(io::unit_for(kUnit).report_number(), kUnit);
    io::close(kUnit);
  }
  EXPECT_TRUE(std::filesystem::exists(dir_ / "rel.txt"));
}

TEST_F(Open, ExistsTestsWithoutOpening) {
  mttest::write_file(path("here.1mp"), "x");
  EXPECT_TRUE(io::exists(path("here.1mp")));
  EXPECT_TRUE(io::exists(path("here.1mp") + "   "));
  EXPECT_FALSE(io::exists(path("gone.1mp")));
  EXPECT_FALSE(io::exists(""));
  EXPECT_FALSE(io::exists(dir_.str()));
  EXPECT_FALSE(io::is_open(kUnit));
}

TEST(StandardUnits, AreAlwaysThereWithConsoleNames) {
  struct Case {
    int unit;
    int report_number;
    const char* path;
  };
  for (const Case& c : {Case{5, -4, "stdin"}, Case{6, -1, "stdout"}, Case{0, -1, "stderr"}}) {
    io::Unit& u = io::unit_for(c.unit);
    EXPECT_EQ(u.report_number(), c.report_number);
    EXPECT_EQ(u.path(), c.path);
    EXPECT_FALSE(io::is_open(c.unit));
  }
}

TEST_F(Open, FailureNotTakenBackIsReportedWithTheNumberAsStatus) {
  const std::string name = path("missing.txt");
  const mttest::ChildResult r = mttest::run_child([&] {
    io::set_program_name("tester");
    io::unit_for(6).write_text("before", true);
    io::open(10, name, with_status(io::OpenStatus::old_file), io::Takes::neither);
    io::unit_for(6).write_text("never", true);
  });
  EXPECT_EQ(r.status, 29);
  EXPECT_EQ(r.out, "before\r\n");
  EXPECT_EQ(r.err, "tester: severe (29): file not found, unit 10, file " + name + "\r\n");
}

TEST_F(Open, KeywordErrorNotTakenBack) {
  const std::string name = path("k.txt");
  const mttest::ChildResult r = mttest::run_child([&] {
    io::set_program_name("tester");
    open_by_keywords(3, name, "OLD", "FORMATED", false, io::Takes::end);
  });
  EXPECT_EQ(r.status, 45);
  EXPECT_EQ(r.err, "tester: severe (45): keyword value error in OPEN statement, unit 3, file " +
                       name + "\r\n");
}

TEST_F(Open, AUnitNeverOpenedEndsTheProgramAndMakesNoFile) {
  const std::filesystem::path dir = dir_.path();
  const mttest::ChildResult r = mttest::run_child([&] {
    std::filesystem::current_path(dir);
    io::set_program_name("tester");
    io::unit_for(6).write_text("out first", true);
    io::unit_for(17).write_text("lost", true);
  });
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.out, "out first\r\n");
  EXPECT_NE(r.err.find("unit 17"), std::string::npos) << r.err;
  EXPECT_EQ(std::count(r.err.begin(), r.err.end(), '\n'), 1) << r.err;
  EXPECT_TRUE(std::filesystem::is_empty(dir));
}

}  // namespace
