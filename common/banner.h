#pragma once
// The start-up banner: long at print level above 0, short otherwise.
#include <string_view>

// The version text of the whole system.
inline constexpr std::string_view kVersion = "v5.1";

// name: the program's name; trailing blanks are not shown.
void banner(std::string_view name);
