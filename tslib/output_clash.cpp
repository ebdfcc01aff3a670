// Refusing an output that is the same file as an input or a database.
#include "tslib/output_clash.h"

#include "common/edit/fixed.h"
#include "common/edit/layout.h"
#include "common/io/end.h"
#include "tslib/same_file.h"

namespace tslib {
namespace {

using io::lay::A;

// Fixed-layout lines, so that long names do not break them.
constexpr io::Item kRefusedLine[] = {A(), A(), A(), A(), A(), A()};

}  // namespace

std::optional<std::string_view> same_file_among(std::string_view output,
                                                std::span<const std::string_view> others) {
  for (const std::string_view other : others)
    if (same_file(output, other)) return other;
  return std::nullopt;
}

std::optional<std::string_view> same_file_among(std::string_view output,
                                                std::initializer_list<std::string_view> others) {
  return same_file_among(output, std::span<const std::string_view>(others.begin(), others.size()));
}

void say_output_refused(std::string_view output, std::string_view other, std::string_view asked) {
  io::FixedWriter(6, kRefusedLine) << " Output file " << output << " is the same file as " << other
                                   << ": give another " << asked;
}

void end_at_output(std::string_view output, std::string_view other) {
  io::fail_run({" FATAL ERROR: output file ", output, " is the same file as ", other});
}

}  // namespace tslib
