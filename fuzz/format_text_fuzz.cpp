// Fuzz target: format texts. Input: the format text on the first line, then one
// record of text. A text the parser accepts must form a valid layout and is applied
// to read the record and to write the values read, into a field and to the console;
// a text it refuses must end the program through the syntax-error report.
#include <array>
#include <cstdint>
#include <cstdlib>
#include <string_view>
#include <vector>

#include "common/edit/fixed.h"
#include "common/edit/format_control.h"
#include "common/edit/format_text.h"
#include "common/edit/layout.h"
#include "fuzz/fuzz_support.h"

namespace {

constexpr int kMaxValues = 12;

enum class Kind { text, integer, boolean, real };

Kind kind_of(io::Ed ed) {
  switch (ed) {
    case io::Ed::A: return Kind::text;
    case io::Ed::I:
    case io::Ed::B:
    case io::Ed::O:
    case io::Ed::Z: return Kind::integer;
    case io::Ed::L: return Kind::boolean;
    default: return Kind::real;
  }
}

// The kinds of the layout's data items in order, cycled to kMaxValues values.
std::vector<Kind> value_kinds(io::Layout items) {
  std::vector<Kind> kinds;
  for (const io::Item& it : items)
    if (io::detail::is_data_item(it.ed, false)) kinds.push_back(kind_of(it.ed));
  if (kinds.empty()) kinds.push_back(Kind::real);  // one value: a layout without data items
  std::vector<Kind> values;
  for (int k = 0; k < kMaxValues; ++k)
    values.push_back(kinds[static_cast<std::size_t>(k) % kinds.size()]);
  return values;
}

struct Values {
  std::array<std::array<char, 16>, kMaxValues> text{};
  std::array<std::int32_t, kMaxValues> integer{};
  std::array<bool, kMaxValues> boolean{};
  std::array<float, kMaxValues> real{};
};

void read_values(std::string_view record, io::Layout items, const std::vector<Kind>& kinds,
                 Values& v) {
  auto r = io::FixedReader::from_field(record, items, io::Takes::both);
  for (std::size_t k = 0; k < kinds.size(); ++k) {
    switch (kinds[k]) {
      case Kind::text: r >> std::span<char>(v.text[k]); break;
      case Kind::integer: r >> v.integer[k]; break;
      case Kind::boolean: r >> v.boolean[k]; break;
      case Kind::real: r >> v.real[k]; break;
    }
  }
  r.finish();
}

template <class Writer>
void write_values(Writer& w, const std::vector<Kind>& kinds, const Values& v) {
  for (std::size_t k = 0; k < kinds.size(); ++k) {
    switch (kinds[k]) {
      case Kind::text: w << std::string_view(v.text[k].data(), v.text[k].size()); break;
      case Kind::integer: w << v.integer[k]; break;
      case Kind::boolean: w << v.boolean[k]; break;
      case Kind::real: w << v.real[k]; break;
    }
  }
  w.end();
}

void apply_layout(io::Layout items, std::string_view record) {
  const std::vector<Kind> kinds = value_kinds(items);
  Values v;
  read_values(record, items, kinds, v);
  std::array<char, 256> field{};
  auto to_field = io::FixedWriter::to_field(field, items, io::Takes::errors);
  write_values(to_field, kinds, v);
  io::FixedWriter to_console(6, items);
  write_values(to_console, kinds, v);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const fuzz::Scratch scratch;
  const fuzz::Split in = fuzz::split_first_line(data, size);
  const std::string_view text = in.first;
  const std::string_view record(reinterpret_cast<const char*>(in.rest.data()), in.rest.size());

  std::vector<io::Item> items;
  io::FormatError error;
  if (!io::parse_format(text, items, error)) {
    if (error.offset > text.size() || !items.empty()) std::abort();
    bool ended = false;
    try {
      io::format_layout(text, 6);
    } catch (const fuzz::ProgramEnded& e) {
      ended = e.status == 62;
    }
    io::close_all();
    if (!ended) std::abort();  // a refused text must end with the syntax error
    return 0;
  }
  if (!io::valid_layout(items)) std::abort();
  fuzz::guarded([&] { apply_layout(items, record); });
  return 0;
}
