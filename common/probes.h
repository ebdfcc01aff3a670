#pragma once
// Platform probes: byte order, directory separator, command-line arguments, current
// directory, local date-time text and the precision flag.
#include <cstdint>
#include <span>

// Stores the machine's byte order, "Little" or "Big" blank-padded, in e(1:6);
// at print level above 0 first says so on the console.
void chkend(std::span<char> e);

namespace common {
// The directory separator of the platform.
inline constexpr char kDirSeparator = '/';
}  // namespace common

// Stores the directory separator in sep(1:1); at print level 3 and above says so.
void dirsep(std::span<char> sep);

// The number of command-line arguments after the program name.
std::int32_t ncmdarg();

// arg blank-filled, then argument i (0: the program's name) cut to the field; an
// argument that does not exist leaves arg blank.
void cmdarg(std::int32_t i, std::span<char> arg);

// The current directory, cut or blank-padded to dir; "?" and blanks when the platform
// fails or the path is longer than 260 characters.
void getdir(std::span<char> dir);

// The local date and time as "www mmm dd hh:mm:ss yyyy" (24 characters); a longer
// field is blank-padded, a shorter one takes what fits.
void datetext(std::span<char> text);

// True: the programs compute with 32-bit floats.
void precflag(bool& flag);
