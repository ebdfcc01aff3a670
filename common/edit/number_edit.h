#pragma once
// Number editing of the fixed layouts: one value into exactly w columns (output), and
// one field of w columns into a value (input). Output fills its whole span; a value
// too wide for it gives asterisks. No allocation. Internal to common/edit.
#include <cstdint>
#include <span>
#include <string_view>

#include "common/edit/layout.h"

namespace io::detail {

// How the sign of a non-negative number is written (S / SS: none, SP: plus).
enum class PlusSign : bool { off, on };

// The modes that mode items of a layout set for the data items after them.
struct EditModes {
  int scale = 0;                  // kP
  bool blank_zero = false;        // BZ; BN: false (input only)
  PlusSign plus = PlusSign::off;  // SP; S, SS: off (output only)
};

// Iw / Iw.m (m < 0: none). Iw.0 writes zero as blanks.
void write_integer(std::span<char> out, std::int64_t value, int m, const EditModes& modes);
// Bw / Ow / Zw (.m): the bits of an unsigned pattern in base 2, 8 or 16.
void write_bits(std::span<char> out, std::uint64_t bits, io::Ed ed, int m);
// Lw: w - 1 blanks, then T or F.
void write_boolean(std::span<char> out, bool value);
// F, E, D, EN, ES and G under the item's d and e, with the scale factor k of kP.
void write_real(std::span<char> out, double value, const io::Item& item, const EditModes& modes);

// Input. Blanks are ignored, or read as zeros when blank_zero (BZ). A field that does
// not read as its item gives false (the caller's error 64).
bool read_integer(std::string_view field, const EditModes& modes, std::int64_t& value);
bool read_bits(std::string_view field, io::Ed ed, const EditModes& modes, std::uint64_t& value);
bool read_boolean(std::string_view field, bool& value);
// F/E/D/EN/ES/G input: d is the implied fraction of a field without a point; the scale
// applies only when the field holds no exponent. Correctly rounded to the target.
bool read_real(std::string_view field, int d, const EditModes& modes, float& value);
bool read_real(std::string_view field, int d, const EditModes& modes, double& value);

}  // namespace io::detail
