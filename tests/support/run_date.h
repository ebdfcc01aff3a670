#pragma once
// The date line that rawcv, segmerge and chanmixer write into the comment block of a
// file: "# date: " and the local date-time text of the run, which differs from run to
// run. Its form is checked on its own; the rest of the file is compared byte for byte
// with the text masked.
#include <gtest/gtest.h>

#include <array>
#include <cctype>
#include <string>
#include <string_view>

namespace tstest {

inline constexpr std::string_view kDateLabel = "# date: ";
// Stands for the date-time text in a masked file: the same length, in no valid form.
inline constexpr std::string_view kDateMask = "<the date-time of a run>";
static_assert(kDateMask.size() == 24);

// A local date-time text: www mmm dd hh:mm:ss yyyy (English day and month names, the
// day of the month blank-padded, hours, minutes and seconds in two digits).
inline bool is_date_text(std::string_view t) {
  static constexpr std::array<std::string_view, 7> kDays = {"Sun", "Mon", "Tue", "Wed",
                                                            "Thu", "Fri", "Sat"};
  static constexpr std::array<std::string_view, 12> kMonths = {
      "Jan", "Feb", "Mar", "Apr", "May", "Jun", "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
  if (t.size() != 24) return false;
  const auto one_of = [](std::string_view word, const auto& words) {
    for (std::string_view w : words)
      if (w == word) return true;
    return false;
  };
  const auto digit = [&](std::size_t at) {
    return std::isdigit(static_cast<unsigned char>(t[at])) != 0;
  };
  const auto value = [&](std::size_t at) { return 10 * (t[at] - '0') + (t[at + 1] - '0'); };
  const auto two_digits = [&](std::size_t at, int high) {
    return digit(at) && digit(at + 1) && value(at) <= high;
  };
  const bool day = digit(9) && (t[8] == ' ' ? t[9] != '0' : two_digits(8, 31) && t[8] != '0');
  return one_of(t.substr(0, 3), kDays) && t[3] == ' ' && one_of(t.substr(4, 3), kMonths) &&
         t[7] == ' ' && day && t[10] == ' ' && two_digits(11, 23) && t[13] == ':' &&
         two_digits(14, 59) && t[16] == ':' && two_digits(17, 60) && t[19] == ' ' && digit(20) &&
         digit(21) && digit(22) && digit(23);
}

// A date line as a text line or a header record: the label, the date-time text, and
// nothing after it but the blanks that pad a record.
inline bool is_date_line(std::string_view line) {
  if (!line.starts_with(kDateLabel) || line.size() < kDateLabel.size() + 24) return false;
  const std::string_view rest = line.substr(kDateLabel.size() + 24);
  return is_date_text(line.substr(kDateLabel.size(), 24)) &&
         rest.find_first_not_of(' ') == std::string_view::npos;
}

// The bytes of a file with the date-time text of its first date line (the run's own:
// only comment lines come before it) replaced by kDateMask. The test fails when the file
// has no date line or its text is not in the form.
inline std::string with_date_masked(std::string bytes) {
  const std::size_t at = bytes.find(kDateLabel);
  if (at == std::string::npos) {
    ADD_FAILURE() << "no \"" << kDateLabel << "\" line";
    return bytes;
  }
  const std::size_t text = at + kDateLabel.size();
  const std::string_view date = std::string_view(bytes).substr(text, 24);
  EXPECT_TRUE(is_date_text(date)) << "date line: " << kDateLabel << date;
  bytes.replace(text, date.size(), kDateMask.substr(0, date.size()));
  return bytes;
}

}  // namespace tstest
