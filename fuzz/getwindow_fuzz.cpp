// Fuzz target: getwindow on an arbitrary windows database. Input: the window name on
// the first line, then the database. The lookup runs twice (it rewinds every call);
// both calls must agree.
#include <array>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "common/io/units.h"
#include "common/printlevel.h"
#include "fuzz/fuzz_support.h"
#include "tslib/getwindow.h"

namespace {

constexpr int kUnit = 3;

struct Found {
  std::int32_t instrument = 0;
  std::int32_t nchan = 0;
  std::array<char, 19> stime{};
  std::array<char, 19> etime{};
  bool operator==(const Found&) const = default;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const fuzz::Scratch scratch;
  const fuzz::Split in = fuzz::split_first_line(data, size);
  const std::string name = fuzz::write_file("windows.fzz", in.rest);
  prtlvl = common::PrintLevelRecord{};
  prtlvl.iprint = in.first.size() % 2;

  fuzz::guarded([&] {
    io::open(kUnit, name, {io::OpenStatus::old_file, io::Form::text}, io::Takes::neither);
    Found first, second;
    getwindow(kUnit, in.first, first.instrument, first.nchan, first.stime, first.etime);
    getwindow(kUnit, in.first, second.instrument, second.nchan, second.stime, second.etime);
    if (!(first == second)) std::abort();
  });
  return 0;
}
