#include "common/probes.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <bit>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <regex>
#include <string>
#include <utility>
#include <vector>

#include "common/banner.h"
#include "common/io/end.h"
#include "common/io/units.h"
#include "common/printlevel.h"
#include "support/child.h"
#include "support/run_program.h"
#include "support/working_directory.h"

namespace {

void say(const std::string& line) {
  io::flush_all();
  std::fputs((line + "\n").c_str(), stdout);
  std::fflush(stdout);
}

mttest::ChildResult at_level(int iprint, const std::function<void()>& body) {
  return mttest::run_child(
      [&] {
        prtlvl.iprint = iprint;
        body();
      },
      "");
}

TEST(Probes, ChkendNamesTheByteOrder) {
  const bool little = std::endian::native == std::endian::little;
  const std::string word = little ? "Little" : "Big   ";
  auto r = at_level(1, [] {
    std::string e(8, '.');
    chkend(e);
    say(e);
  });
  EXPECT_EQ(r.out, std::string(" chkend: machine is ") + (little ? "Little" : "Big") +
                       "-Endian\r\n" + word + "..\n");
  r = at_level(0, [] {
    std::string e(6, '.');
    chkend(e);
    say(e);
  });
  EXPECT_EQ(r.out, word + "\n");
}

TEST(Probes, DirsepSpeaksFromLevelThree) {
  auto r = at_level(3, [] {
    char sep = '?';
    dirsep(std::span<char>(&sep, 1));
    say(std::string(1, sep));
  });
  EXPECT_EQ(r.out, " dirsep: directory seperator set to >/\r\n/\n");
  r = at_level(2, [] {
    char sep = '?';
    dirsep(std::span<char>(&sep, 1));
    say(std::string(1, sep));
  });
  EXPECT_EQ(r.out, "/\n");
}

// What ncmdarg and cmdarg give in a child whose main passed these arguments on to
// start_program (not the test runner's own command line).
std::string arguments_seen(std::vector<std::string> args) {
  const auto r = mttest::run_child([&] {
    std::vector<char*> argv;
    for (std::string& a : args) argv.push_back(a.data());
    argv.push_back(nullptr);
    io::start_program(static_cast<int>(args.size()), argv.data());
    std::string report = "@@" + std::to_string(ncmdarg());
    const std::pair<int, int> asks[] = {{0, 10}, {1, 10}, {2, 5},  {3, 6},
                                        {4, 5},  {5, 3},  {-1, 3}, {40000, 3}};
    for (auto [i, width] : asks) {
      std::string arg(static_cast<std::size_t>(width), '#');
      cmdarg(i, arg);
      report += "|" + arg;
    }
    say(report + "@@");
  });
  EXPECT_EQ(r.status, 0) << r.err;
  return r.out;
}

TEST(Probes, CmdargCutsAndBlanks) {
  // Argument 0 is the program's own name, cut to the field; an empty argument, one
  // beyond the last and a negative position give blanks.
  EXPECT_EQ(arguments_seen({"/proc/self/exe", "abcdefghijklmnopq", "x", "", "a b"}),
            "@@4|/proc/self|abcdefghij|x    |      |a b  |   |   |   @@\n");
  EXPECT_EQ(arguments_seen({"/proc/self/exe"}),
            "@@0|/proc/self|          |     |      |     |   |   |   @@\n");
}

TEST(Probes, CmdargOfAMissingArgumentIsBlank) {
  // This process has at most a few arguments; a number far beyond them is blank.
  std::string arg = "keep";
  cmdarg(ncmdarg() + 1, arg);
  EXPECT_EQ(arg, "    ");
  EXPECT_GE(ncmdarg(), 0);
}

// A directory of up to 260 characters, blank-padded or cut to the field; "?" for a
// longer one.
std::string getdir_of(const std::string& cwd, std::size_t width) {
  std::string shown = cwd.size() <= 260 ? cwd : "?";
  shown.resize(width, ' ');
  return shown;
}

TEST(Probes, GetdirGivesTheDirectoryOrAQuestionMark) {
  // Made before leaving the start directory, which a relative TMPDIR is taken from.
  mttest::TempDir tmp;
  std::string dir(300, '#');
  mttest::WorkingDirectory cwd_guard("/");  // a directory of known length
  getdir(dir);
  EXPECT_EQ(dir, "/" + std::string(299, ' '));

  // The temporary directory's length depends on TMPDIR: either side of 260.
  cwd_guard.enter(tmp.path());
  getdir(dir);
  const std::string cwd = std::filesystem::current_path().string();
  EXPECT_EQ(dir, getdir_of(cwd, 300)) << cwd.size() << " characters";
  std::string cut(5, '#');
  getdir(cut);
  EXPECT_EQ(cut, getdir_of(cwd, 5));

  auto deep = tmp.path();
  while (deep.string().size() <= 260) deep /= std::string(40, 'd');
  std::filesystem::create_directories(deep);
  cwd_guard.enter(deep);
  getdir(dir);
  EXPECT_EQ(dir, "?" + std::string(299, ' '));
}

TEST(Probes, DatetextIsTheLocalTimeInItsForm) {
  const char* old_tz = std::getenv("TZ");
  const std::string saved = old_tz ? old_tz : "";
  const std::regex form(
      "(Sun|Mon|Tue|Wed|Thu|Fri|Sat) (Jan|Feb|Mar|Apr|May|Jun|Jul|Aug|Sep|Oct|Nov|Dec) "
      "[ 123][0-9] [0-2][0-9]:[0-5][0-9]:[0-6][0-9] [0-9]{4}   ");
  std::string utc(27, '#'), east(27, '#');
  for (int attempt = 0; attempt < 3; ++attempt) {
    setenv("TZ", "UTC0", 1);
    tzset();
    datetext(utc);
    setenv("TZ", "XST-5", 1);  // five hours east
    tzset();
    datetext(east);
    if (utc.substr(17, 2) == east.substr(17, 2)) break;  // same second
  }
  if (old_tz) setenv("TZ", saved.c_str(), 1);
  else unsetenv("TZ");
  tzset();
  EXPECT_TRUE(std::regex_match(utc, form)) << utc;
  EXPECT_TRUE(std::regex_match(east, form)) << east;
  const int h_utc = std::stoi(utc.substr(11, 2));
  const int h_east = std::stoi(east.substr(11, 2));
  EXPECT_EQ((h_utc + 5) % 24, h_east) << utc << " / " << east;
  EXPECT_EQ(utc.substr(14, 5), east.substr(14, 5));
}

TEST(Probes, PrecflagIsSingle) {
  bool flag = false;
  precflag(flag);
  EXPECT_TRUE(flag);
}

TEST(Banner, LongBannerAtPrintLevelOne) {
  const auto r = at_level(1, [] { banner("spanx     "); });
  EXPECT_EQ(r.out,
            "  \r\n"
            "  >>>>>>>>>>>>> spanx <<<<<<<<<<<<<<<<<\r\n"
            "  \r\n"
            "            version = v5.1\r\n"
            " build date = Mon Mar 8 18:03:30 GMT 2004             \r\n"
            "  \r\n"
            "         SINGLE PRECISION version\r\n"
            "  \r\n"
            " It is assumed that this program is being run from\r\n"
            " the database directory of the project \r\n"
            " (e.g. /local/mt/varl/abx)  \r\n"
            " and that all data files reside in subdirectories\r\n"
            " with the respective station names \r\n"
            " (e.g. /local/mt/varl/abx/abx001 abx002 etc.)\r\n"
            "  \r\n"
            " windows and hardware database files are required\r\n"
            " (e.g. windows.abx & hardware.abx) \r\n"
            "  \r\n");
}

TEST(Banner, ShortBannerAtPrintLevelZeroAndBelow) {
  for (int level : {0, -1}) {
    const auto r = at_level(level, [] { banner("spanx   "); });
    EXPECT_EQ(r.out, "  \r\nspanx: ver=v5.1   SINGLE precision\r\n  \r\n") << level;
  }
  const auto blank = at_level(0, [] { banner("   "); });
  EXPECT_EQ(blank.out, "  \r\n: ver=v5.1   SINGLE precision\r\n  \r\n");
}

TEST(Banner, ConverterBannerFromPrintLevelZero) {
  const auto r = at_level(0, [] { banner(common::BannerKind::converter); });
  EXPECT_EQ(r.out,
            "  \r\n"
            "  >>>>>>>>>>>>>>> rawcv <<<<<<<<<<<<<<<<<<<\r\n"
            "  \r\n"
            "            version = v5.1\r\n"
            " build date = Tue Jul 20 13:17:22 EDT 2004            \r\n"
            "  \r\n"
            "  It is assumed that this program is being run from\r\n"
            "  the database directory of the project \r\n"
            "  (e.g. .../abx)  \r\n"
            "  and that all data files reside in subdirectories\r\n"
            "  with the respective station names \r\n"
            "  (e.g. .../abx/abx001 abx002 etc.)\r\n"
            "  \r\n"
            "  windows and hardware database files are required\r\n"
            "  (e.g. windows.abx & hardware.abx) \r\n"
            "  \r\n");
  EXPECT_EQ(at_level(-1, [] { banner(common::BannerKind::converter); }).out, "");
}

TEST(Banner, InlineBannersOnlyAbovePrintLevelZero) {
  for (common::BannerKind kind : {common::BannerKind::splicer, common::BannerKind::cutter}) {
    EXPECT_EQ(at_level(0, [kind] { banner(kind); }).out, "");
    EXPECT_EQ(at_level(-1, [kind] { banner(kind); }).out, "");
  }
}

}  // namespace
