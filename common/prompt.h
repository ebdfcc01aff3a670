#pragma once
// The prompt routine: every question of the suite. Each entry shows the prompt text
// with the variable's current value as default ("<prompt>  [default: <value> ] >", no
// line end), reads one answer line, keeps the value when the answer is blank, and asks
// again after "***** Format error: try again *****" when the answer does not convert.
// The print level decides whether the prompt line is shown; the answer is always read.
// End of input while an answer is awaited ends the program with the error report.
// Not reentrant: all entries share one set of buffers.
#include <cstdint>
#include <span>
#include <string_view>

void rinput(std::string_view prompt, float& value);
void dinput(std::string_view prompt, double& value);
void iinput(std::string_view prompt, std::int32_t& value);
void i2input(std::string_view prompt, std::int16_t& value);
void linput(std::string_view prompt, bool& value);
// The text is left-justified in place even when the answer is blank; an answer is cut
// or blank-padded to the field, every character kept.
void cinput(std::string_view prompt, std::span<char> value);
// answer: the default (its first character, which must be Y or N in either case) and
// the result, one upper-case Y or N.
void yin(std::string_view prompt, char& answer);
// Writes the message as one line (print level 0 and above); reads nothing.
void pmesg(std::string_view message);
