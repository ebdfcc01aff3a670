#pragma once
// The windows database ("windows." + project code): one line per recording window,
// and its lookup `getwindow`.
//
// Window line, current layout `winrec` (columns 1-54 common to every writer):
//   1-8    window name (station 6 + run code 2)
//   9      blank
//   10-12  instrument number, 3 digits with leading zeros (I3.3)
//   13     blank
//   14     channel count, 1 digit (I1)
//   15     blank
//   16-34  start timestr "yyyy-mm-dd hh:mm:ss"
//   35     '-'
//   36-54  end timestr
//   55 on  the writer's own columns (not read by getwindow)
// Version 3.x lines (read only): column 26 holds '-', start yymmddhhmm in 16-25 and
// end yymmddhhmm in 27-36.
// Lines with '#' or a blank in column 1 (empty lines included) are passed over.
#include <array>
#include <cstdint>
#include <span>
#include <string_view>

#include "common/edit/layout.h"

namespace tslib {

// Fixed layout of columns 1-54: window (A8), instrument, channel count, start, end.
// Items take: text window, int32 instrument, int32 nchan, text stime, text etime.
inline constexpr std::array<io::Item, 9> kWinrecLayout{
    io::lay::A(8), io::lay::X(1),  io::lay::I(3, 3),  io::lay::X(1), io::lay::I(1),
    io::lay::X(1), io::lay::A(19), io::lay::Lit("-"), io::lay::A(19)};
static_assert(io::valid_layout(kWinrecLayout));

// A writer's whole line layout: columns 1-54 followed by the writer's own items, e.g.
//   constexpr auto kLine = tslib::winrec_with(std::array{io::lay::X(1), io::lay::F(9, 3)});
template <std::size_t N>
constexpr std::array<io::Item, kWinrecLayout.size() + N> winrec_with(
    const std::array<io::Item, N>& tail) {
  std::array<io::Item, kWinrecLayout.size() + N> all{};
  for (std::size_t i = 0; i < kWinrecLayout.size(); ++i) all[i] = kWinrecLayout[i];
  for (std::size_t i = 0; i < N; ++i) all[kWinrecLayout.size() + i] = tail[i];
  return all;
}

}  // namespace tslib

// Looks `window` (its first 8 characters) up in the windows database open for reading
// on `unit`; rewinds the database at every call. The first window line whose columns
// 1-8 equal the name (byte for byte) gives instrument, nchan, stime and etime (a
// version 3.x line's times are converted to timestr with century 20, seconds 00).
// Not found, or an 8-blank name: the not-found line on the console, `instrument` is
// -999 and nchan, stime, etime keep what they held. A found line whose number fields
// hold anything but digits and blanks ends the program with the error report.
void getwindow(int unit, std::string_view window, std::int32_t& instrument, std::int32_t& nchan,
               std::span<char, 19> stime, std::span<char, 19> etime);
