#pragma once
// The ts file library: opening a ts file, its info block, its comment block and its
// data records. All routines work through the shared info record `tsinfo`
// (tslib/tsinfo.h); `form`, `format` and NCHAN there describe the file the next call
// works on (a caller with two files open selects one's with tslib::FormSelection,
// tslib/form_selection.h). Console messages go to unit 6 and depend on prtlvl.iprint.
//
// Reading a file:  ts_open(ind, ..., tslib::TsAccess::input); ts_rdinfo(ind);
//                  then ts_skip / ts_in1 until values[0] == eofmark or nskip == -1.
// Writing a file:  ts_open(outd, ..., tslib::TsAccess::output); own comment lines and/or
//                  ts_copycomm; ts_wrtinfo(outd); one ts_out1 per record.
#include <array>
#include <cstdint>
#include <span>
#include <string_view>

#include "tslib/tsinfo.h"

// The end-of-data marker ts_in1 stores in value 1: the float nearest to -1.0E-30
// (bit pattern 0x8DA24260). Callers compare value 1 with it exactly.
inline constexpr float eofmark = -1.0E-30f;

namespace tslib {

// The caller's value array: one float per channel, channel n in element n - 1.
using TsValues = std::array<float, kMaxChannels>;

// Whether ts_open opens a file to read (it must exist; nothing is created; a file
// that may only be read opens) or a file to write (created, or an existing one
// replaced from its start; one that may not be written is a failed open).
enum class TsAccess { input, output };

// The file name ts_open builds for `tswindow` into `indat` (left-justified, blank-padded
// or cut), without asking or opening anything; returns it without trailing blanks. A
// caller compares a window's file with others before any of them is opened.
std::string_view ts_file_name(std::span<const char> tswindow, std::span<char> indat, bool local);

}  // namespace tslib

// Opens the ts file of a window on unit `ind`, asking again without limit when the
// open fails ("Error in opening <indat>  Try again!" and "Give data file " again).
//  tswindow  in/out: window name (8 characters used), or a file name holding '.'.
//            All blank: command-line argument 1 if there is one (no question), else
//            "qra027a1" and the question. The caller sees any replacement.
//  indat     out: the file name built (station dir + separator + window + ".ts",
//            or as LOCAL / a '.' name says), left-justified, blank-padded or cut.
//  prompt    ask "Give data file " before the first attempt.
//  local     the file is in the current directory (no station directory).
//  access    input: open only an existing file; output: create or replace.
// `tsinfo.form` "?     " asks "Are data in BINARY (b) or ASCII (a)"; on return it is
// "ASCII " or "BINARY" and, for BINARY, `tsinfo.format` is "UNFORMATTED". Any other
// form ends the program ("Program terminated", failure status).
void ts_open(int ind, std::span<char> tswindow, std::span<char> indat, bool prompt, bool local,
             tslib::TsAccess access);

// Rewinds unit `ind`, passes over the comment block and reads the info block into
// `tsinfo` (in the form `tsinfo.form` names). Defaults: SEQ_REC 1, MIS_DATA 1.0E+32,
// and for ASCII files FORMAT "FREE". Returns with the file at its first data record.
// Ends the program (failure status) when there is no info block, when the file ends
// inside the block, or when FORM differs from `tsinfo.form`. An NCHAN above 5 is kept
// as read (the summary lists 5 channels, the data routines move at most 5 values):
// the tools refuse it with the file's name (tslib/usable_input.h).
void ts_rdinfo(int ind);

// Cuts the first word off `source` (blanks and commas separate words; see ts_rdinfo):
// the word goes to `word`, cut or blank-padded; `source` keeps the rest, moved to the
// front and blank-padded; `position` is the place (1-based) of the separator that
// ended the word, the source's trimmed length when none did, 0 for a blank source.
void getword(std::span<char> source, std::span<char> word, std::int32_t& position);

// Writes the whole info block (">INFO_START:" to ">INFO_END  :") from `tsinfo` at the
// current position of unit `outd`: 80-byte BINARY records when `tsinfo.form` is
// "BINARY", otherwise 80-character text lines with FORM "ASCII".
void ts_wrtinfo(int outd);

// Rewinds the input `ind` and copies its leading '#' records to the current position
// of `outd`, converting between the forms `inform` and `outform` ("BINARY" or
// "ASCII ", 6 characters each; anything else ends the program). The input is left
// after the first record that is not a comment (or at its end).
void ts_copycomm(int ind, std::string_view inform, int outd, std::string_view outform);

// Reads one data record of unit `ind` into values[0 .. NCHAN-1] (NCHAN clamped to
// 0..5). At end of file: "ts_in1: EOF reached", values[0] = eofmark, the others keep
// what they held. An unrecognised `tsinfo.form` ends the program.
void ts_in1(int ind, tslib::TsValues& values);

// Writes values[0 .. NCHAN-1] as one data record of unit `outd` in the form and
// format of `tsinfo`. An unrecognised `tsinfo.form` ends the program.
void ts_out1(int outd, const tslib::TsValues& values);

// Passes over `nskip` records of unit `ind` (BINARY: records; otherwise text lines).
// When the file ends first: "ts_skip: EOF reached: nskip set to -1" and nskip = -1.
void ts_skip(int ind, std::int32_t& nskip);
