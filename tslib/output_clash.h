#pragma once
// An output that is the same file as something the run reads (an input, a database):
// writing it would destroy what is still to be read. The programs compare each output
// with those files before they open it, and refuse it with one line naming both.
#include <initializer_list>
#include <optional>
#include <span>
#include <string_view>

namespace tslib {

// The first of `others` that is the same file as `output` (tslib::same_file).
std::optional<std::string_view> same_file_among(std::string_view output,
                                                std::span<const std::string_view> others);
std::optional<std::string_view> same_file_among(std::string_view output,
                                                std::initializer_list<std::string_view> others);

// Where the output is a question asked again: the line
// " Output file <output> is the same file as <other>: give another <asked>".
void say_output_refused(std::string_view output, std::string_view other, std::string_view asked);

// Where nothing is asked: the line
// " FATAL ERROR: output file <output> is the same file as <other>", then the run ends
// with the failure status. The caller has opened no output yet.
[[noreturn]] void end_at_output(std::string_view output, std::string_view other);

}  // namespace tslib
