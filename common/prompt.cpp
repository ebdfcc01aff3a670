#include "common/prompt.h"

#include <algorithm>
#include <array>

#include "common/edit/fixed.h"
#include "common/edit/free.h"
#include "common/printlevel.h"
#include "common/strings.h"
#include "common/text_field.h"

namespace {

using namespace io::lay;

// The routine's buffers, shared by all entries and kept between calls.
struct Buffers {
  std::array<char, 80> dflt;     // default text, blank-padded
  std::array<char, 133> answer;  // answer line, blank-padded
  std::int32_t length = 0;       // trimmed length of whichever was trimmed last
};
Buffers buf;

constexpr io::Item kG125[] = {G(12, 5)};
constexpr io::Item kI12[] = {I(12)};
constexpr io::Item kWholeText[] = {A()};
constexpr io::Item kPromptLine[] = {A(), Lit("  [default: "), A(), Lit(" ] >"), NoEnd()};
constexpr io::Item kBarePromptLine[] = {Lit("+  [default: "), A(), Lit(" ]  >"), NoEnd()};
static_assert(io::valid_layout(kPromptLine) && io::valid_layout(kBarePromptLine));

int out_unit() { return prtlvl.promptout != 0 ? prtlvl.promptout : 6; }
int in_unit() { return prtlvl.promptin > 0 ? prtlvl.promptin : 5; }

void set_default(std::string_view text) { field::assign(buf.dflt, text); }

// The default text of a number under its layout, trimmed; false (after saying so) when
// the number cannot be written, and the question is then not asked.
template <class T>
bool number_default(io::Layout layout, T value, std::string_view zero_text) {
  buf.dflt.fill(' ');
  auto writer = io::FixedWriter::to_field(buf.dflt, layout, io::Takes::errors);
  writer << value;
  if (!writer.end().ok()) {
    io::FreeWriter(6) << "error printing default value.  pinput aborted.";
    return false;
  }
  if (!zero_text.empty() && value == T{0}) set_default(zero_text);
  TRUNC(buf.dflt, buf.length);
  return true;
}

void show_prompt(std::string_view prompt) {
  if (prtlvl.iprint < 0) return;
  const std::string_view dflt(buf.dflt.data(), static_cast<std::size_t>(buf.length));
  if (prompt.empty()) io::FixedWriter(out_unit(), kBarePromptLine) << dflt;
  else io::FixedWriter(out_unit(), kPromptLine) << prompt << dflt;
}

// Reads one answer line; end of input is not taken back and ends the program.
void read_answer() {
  auto reader = io::FixedReader(in_unit(), kWholeText, io::Takes::neither);
  reader >> std::span<char>(buf.answer);
  reader.finish();
}

std::string_view answer_text() { return {buf.answer.data(), static_cast<std::size_t>(buf.length)}; }

// The answer in the free layout into value; false on a conversion error. An answer
// that holds no value at all (only tabs) leaves the value as it is.
template <class T>
bool read_free(T& value) {
  T v = value;
  auto reader = io::FreeReader::from_field(answer_text(), io::Takes::both);
  reader >> v;
  const io::Result r = reader.finish();
  if (r.error()) return false;
  value = v;
  return true;
}

// The shared body: default, prompt, answer, conversion, and again after a bad answer.
// make_default returns false to give up without asking; convert returns false for an
// answer that does not convert.
template <class MakeDefault, class Convert>
void pinput(std::string_view prompt, MakeDefault make_default, Convert convert) {
  for (;;) {
    if (!make_default()) return;
    show_prompt(prompt);
    read_answer();
    TRUNC(buf.answer, buf.length);
    if (buf.length == 0) return;
    TRUNC(buf.answer, buf.length);
    if (convert()) return;
    io::FreeWriter(6) << "***** Format error: try again *****";
  }
}

}  // namespace

void rinput(std::string_view prompt, float& value) {
  pinput(
      prompt, [&] { return number_default(kG125, value, "0.0"); },
      [&] { return read_free(value); });
}

void dinput(std::string_view prompt, double& value) {
  pinput(
      prompt, [&] { return number_default(kG125, value, "0.d0"); },
      [&] { return read_free(value); });
}

void iinput(std::string_view prompt, std::int32_t& value) {
  pinput(
      prompt, [&] { return number_default(kI12, value, {}); }, [&] { return read_free(value); });
}

void i2input(std::string_view prompt, std::int16_t& value) {
  pinput(
      prompt, [&] { return number_default(kI12, value, {}); }, [&] { return read_free(value); });
}

void linput(std::string_view prompt, bool& value) {
  pinput(
      prompt,
      [&] {
        set_default(value ? "T" : "F");
        TRUNC(buf.dflt, buf.length);
        return true;
      },
      [&] { return read_free(value); });
}

void cinput(std::string_view prompt, std::span<char> value) {
  pinput(
      prompt,
      [&] {
        // The caller's text itself is left-justified; at most 80 characters show.
        std::int32_t n = 0;
        TRUNC(value, n);
        const std::size_t shown = std::min<std::size_t>(static_cast<std::size_t>(n), 80);
        set_default(std::string_view(value.data(), shown));
        buf.length = shown == 0 ? 1 : static_cast<std::int32_t>(shown);
        return true;
      },
      [&] {
        field::assign(value, field::view(buf.answer));
        return true;
      });
}

void yin(std::string_view prompt, char& answer) {
  pinput(
      prompt,
      [&] {
        buf.dflt.fill(' ');
        buf.dflt[0] = answer;
        SHIFTUP(buf.dflt);
        if (buf.dflt[0] != 'Y' && buf.dflt[0] != 'N') {
          std::array<char, 39> line;
          constexpr std::string_view text = "pinput: erroneous input to yin: ans = ";
          std::copy(text.begin(), text.end(), line.begin());
          line.back() = answer;
          io::FreeWriter(6) << std::string_view(line.data(), line.size());
          return false;
        }
        buf.length = 1;
        return true;
      },
      [&] {
        const std::int32_t length = SHIFTUP(buf.answer);
        const bool letter = buf.answer[0] == 'Y' || buf.answer[0] == 'N';
        if (length != 1 || !letter) return false;
        answer = buf.answer[0];
        return true;
      });
}

void pmesg(std::string_view message) {
  if (prtlvl.iprint < 0) return;
  io::FixedWriter(out_unit(), kWholeText) << message;
}
