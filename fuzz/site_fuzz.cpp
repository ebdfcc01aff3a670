// Fuzz target: the site lookup on an arbitrary site file. Input: the station name on
// the first line, then the file "fzzsite.flt". The lookup never ends the program and
// always leaves unit 1 closed.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "common/io/units.h"
#include "common/printlevel.h"
#include "fuzz/fuzz_support.h"
#include "rawcv/site.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const fuzz::Scratch scratch;
  const fuzz::Split in = fuzz::split_first_line(data, size);
  fuzz::write_file("fzzsite.flt", in.rest);
  prtlvl = common::PrintLevelRecord{};
  prtlvl.iprint = in.first.size() % 2;

  bool ended = false;
  try {
    rawcv::site_lookup("fzz", in.first);
  } catch (const fuzz::ProgramEnded&) {
    ended = true;
  }
  if (ended || io::is_open(1)) std::abort();
  io::close_all();
  return 0;
}
