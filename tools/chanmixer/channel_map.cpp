// The number of output channels and the source of each.
#include <algorithm>
#include <string_view>

#include "common/edit/fixed.h"
#include "common/edit/free.h"
#include "common/prompt.h"
#include "tools/chanmixer/chanmixer.h"

namespace chanmixer {
namespace {

constexpr io::Item kMappingQuestion[] = {io::lay::A(), io::lay::I(1), io::lay::A(),
                                         io::lay::NoEnd()};

}  // namespace

void ask_channel_map(Mix& mx) {
  mx.nout = std::max(mx.in1.nchan, mx.in2.nchan);
  for (;;) {
    iinput("No. of output channels", mx.nout);
    if (mx.nout >= 1 && mx.nout <= kMaxOut) break;
    io::FreeWriter(6) << "The output holds 1 to 5 channels: try again";
  }
  io::FreeWriter(6) << "You will now be asked for the mapping of each output channel";
  io::FreeWriter(6) << "Answers should be a two-digit integer with 1st digit for file number, 2nd "
                       "digit for channel";
  io::FreeWriter(6) << " e.g.,   23   = file 2, channel 3";
  for (std::int32_t i = 1; i <= mx.nout; ++i) {
    for (;;) {
      io::FixedWriter(6, kMappingQuestion) << "Give mapping file for channel " << i << " >";
      std::int32_t code = 0;
      io::FreeReader reader(5, io::Takes::neither);
      reader >> code;
      reader.finish();
      const Source s = source_of(code);
      const Input& in = s.file == 1 ? mx.in1 : mx.in2;
      if (s.channel >= 1 && s.channel <= in.nchan) {
        mx.chmap[i - 1] = code;
        break;
      }
      io::FreeWriter(6) << "Channel" << s.channel << " is not a channel of file"
                        << std::int32_t{s.file == 1 ? 1 : 2} << ": try again";
    }
  }
}

}  // namespace chanmixer
