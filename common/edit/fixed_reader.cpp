// Read transfers under a fixed layout, from a unit or from a text field.
#include <bit>
#include <cstdint>
#include <limits>
#include <string_view>

#include "common/edit/fixed.h"
#include "common/edit/layout_walk.h"
#include "common/edit/number_edit.h"
#include "common/edit/state_pool.h"
#include "common/end.h"
#include "common/io/errors.h"
#include "common/io/unit.h"

namespace io {
namespace {

// The columns an item takes; a layout built without a width takes none.
std::size_t columns(const Item& it) { return it.w > 0 ? static_cast<std::size_t>(it.w) : 0; }

}  // namespace

struct FixedReader::State {
  detail::LayoutWalk walk;
  Unit* unit = nullptr;  // null: reading the text field `record`
  std::string_view record{};
  std::size_t pos = 0;
  int scale = 0;
  bool blank_zero = false;
  Takes takes = Takes::neither;
  Result result{};
  bool failed = false;
  bool ended = false;

  void begin(Layout layout, Takes t) {
    walk.begin(layout, true);
    record = {};
    pos = 0;
    scale = 0;
    blank_zero = false;
    takes = t;
    result = kDone;
    failed = ended = false;
  }

  int report_number() const { return unit != nullptr ? unit->report_number() : -5; }
  std::string_view path() const {
    return unit != nullptr ? std::string_view(unit->path()) : "Internal Formatted Read";
  }

  void fail(int number) {
    if (failed) return;
    failed = true;
    result = Result{number};
    if (!takes_errors(takes)) error_report(number, report_number(), path());
  }

  void at_end_of_file() {
    if (failed) return;
    failed = true;
    result = kEnd;
    if (!takes_end(takes)) error_report(kErrEndOfFile, report_number(), path());
  }

  // The next record; a text field has no second one.
  void next_record() {
    pos = 0;
    if (unit == nullptr) {
      record = {};
      return at_end_of_file();
    }
    const Result r = unit->read_line(record);
    if (r.end_of_file()) return at_end_of_file();
    if (r.error()) return fail(r.code);
  }

  // The next w columns; those beyond the record's end are missing (read as blanks).
  std::string_view take(std::size_t w) {
    const std::size_t from = pos < record.size() ? pos : record.size();
    pos += w;
    return record.substr(from, w);
  }

  void position_or_control(const Item& it) {
    switch (it.ed) {
      case Ed::X: case Ed::TR: pos += columns(it); break;
      case Ed::T: pos = it.w > 1 ? static_cast<std::size_t>(it.w - 1) : 0; break;
      case Ed::TL: pos = pos > columns(it) ? pos - columns(it) : 0; break;
      case Ed::Slash: next_record(); break;
      case Ed::Literal: pos += it.text.size(); break;  // its columns are passed over
      case Ed::Scale: scale = it.w; break;
      case Ed::BlankNull: blank_zero = false; break;
      case Ed::BlankZero: blank_zero = true; break;
      case Ed::Open: apply_group(); break;
      default: break;  // signs, "$", ":" have no effect on input
    }
  }

  // A group of position and mode items, in one step for all its repetitions: the
  // modes as its last repetition leaves them, the position moved by its net move.
  void apply_group() {
    for (const Item& g : walk.group())
      if (detail::is_mode_item(g.ed)) position_or_control(g);
    pos = walk.group_move().apply(pos);
  }

  const Item* next_data() {
    if (failed || ended) return nullptr;
    if (!walk.has_data()) {  // a value can never be placed: fail before any walking
      fail(kErrFormatMismatch);
      return nullptr;
    }
    bool reverted = false;
    for (;;) {
      const Item* it = walk.advance();
      if (it == nullptr) {
        // Variables remain at the end of the layout: the rest of the record is
        // skipped, the next one read, and the layout starts again.
        if (!walk.can_revert() || reverted) {
          fail(kErrFormatMismatch);
          return nullptr;
        }
        reverted = true;
        next_record();
        if (failed) return nullptr;
        walk.revert();
        continue;
      }
      if (detail::is_data_item(it->ed, true)) return it;
      position_or_control(*it);
      if (failed) return nullptr;
    }
  }

  Result finish() {
    if (ended) return result;
    while (!failed) {
      const Item* it = walk.advance();
      if (it == nullptr || it->ed == Ed::Colon || detail::is_data_item(it->ed, true)) break;
      position_or_control(*it);
    }
    ended = true;
    return result;
  }

  void text(std::span<char> dest) {
    const Item* it = next_data();
    if (it == nullptr) return;
    if (it->ed != Ed::A && it->ed != Ed::G) return fail(kErrFormatMismatch);
    const std::size_t len = dest.size();
    const std::size_t w = it->w > 0 ? static_cast<std::size_t>(it->w) : len;
    const std::string_view f = take(w);
    auto column = [&](std::size_t k) { return k < f.size() ? f[k] : ' '; };
    if (w >= len) {
      for (std::size_t j = 0; j < len; ++j) dest[j] = column(w - len + j);
    } else {
      for (std::size_t j = 0; j < len; ++j) dest[j] = j < w ? column(j) : ' ';
    }
  }

  // An integer item into a variable of the given range.
  bool integer(std::int64_t& v, std::int64_t low, std::int64_t high, unsigned bits) {
    const Item* it = next_data();
    if (it == nullptr) return false;
    bool ok = false;
    switch (it->ed) {
      case Ed::I: case Ed::G:
        ok = edit::read_integer(take(columns(*it)), blank_zero, v);
        ok = ok && v >= low && v <= high;
        break;
      case Ed::B: case Ed::O: case Ed::Z: {
        std::uint64_t u = 0;
        ok = edit::read_bits(take(columns(*it)), it->ed, blank_zero, u);
        ok = ok && (bits >= 64 || (u >> bits) == 0);
        // The bit pattern of the variable: the top bit is its sign.
        if (ok) v = bits == 32 ? std::int64_t(static_cast<std::int32_t>(static_cast<std::uint32_t>(u)))
                               : std::int64_t(static_cast<std::int16_t>(static_cast<std::uint16_t>(u)));
        break;
      }
      case Ed::Q:
        v = pos < record.size() ? static_cast<std::int64_t>(record.size() - pos) : 0;
        return true;
      default:
        fail(kErrFormatMismatch);
        return false;
    }
    if (!ok) fail(kErrConversion);
    return ok;
  }

  void boolean(bool& v) {
    const Item* it = next_data();
    if (it == nullptr) return;
    if (it->ed != Ed::L && it->ed != Ed::G) return fail(kErrFormatMismatch);
    bool b = false;
    if (!edit::read_boolean(take(static_cast<std::size_t>(it->w > 0 ? it->w : 2)), b))
      return fail(kErrConversion);
    v = b;
  }

  template <class T, class Bits>
  void real(T& v) {
    const Item* it = next_data();
    if (it == nullptr) return;
    switch (it->ed) {
      case Ed::F: case Ed::E: case Ed::D: case Ed::EN: case Ed::ES: case Ed::G: {
        T x{};
        if (!edit::read_real(take(columns(*it)), it->d, scale, blank_zero, x))
          return fail(kErrConversion);
        v = x;
        return;
      }
      case Ed::B: case Ed::O: case Ed::Z: {
        std::uint64_t u = 0;
        if (!edit::read_bits(take(columns(*it)), it->ed, blank_zero, u) ||
            u > std::numeric_limits<Bits>::max())
          return fail(kErrConversion);
        v = std::bit_cast<T>(static_cast<Bits>(u));
        return;
      }
      default:
        return fail(kErrFormatMismatch);  // an integer or boolean item for a float
    }
  }
};

// Delegating, so that the destructor hands the state back even when the first record
// read ends the program under an end interceptor (common/end.h).
FixedReader::FixedReader(int unit, Layout layout, Takes takes)
    : FixedReader(detail::StatePool<State>::local().acquire()) {
  state_->begin(layout, takes);
  state_->unit = &unit_for(unit);
  state_->next_record();
}

FixedReader FixedReader::from_field(std::string_view field, Layout layout, Takes takes) {
  State* s = detail::StatePool<State>::local().acquire();
  s->begin(layout, takes);
  s->unit = nullptr;
  s->record = field;
  return FixedReader(s);
}

FixedReader::~FixedReader() {
  if (state_ == nullptr) return;
  state_->finish();
  detail::StatePool<State>::local().release(state_);
}

FixedReader::FixedReader(FixedReader&& other) noexcept : state_(other.state_) {
  other.state_ = nullptr;
}

FixedReader& FixedReader::operator>>(std::span<char> text) {
  state_->text(text);
  return *this;
}
FixedReader& FixedReader::operator>>(std::int32_t& v) {
  std::int64_t x = 0;
  if (state_->integer(x, std::numeric_limits<std::int32_t>::min(),
                      std::numeric_limits<std::int32_t>::max(), 32))
    v = static_cast<std::int32_t>(x);
  return *this;
}
FixedReader& FixedReader::operator>>(std::int16_t& v) {
  std::int64_t x = 0;
  if (state_->integer(x, std::numeric_limits<std::int16_t>::min(),
                      std::numeric_limits<std::int16_t>::max(), 16))
    v = static_cast<std::int16_t>(x);
  return *this;
}
FixedReader& FixedReader::operator>>(bool& v) {
  state_->boolean(v);
  return *this;
}
FixedReader& FixedReader::operator>>(float& v) {
  state_->real<float, std::uint32_t>(v);
  return *this;
}
FixedReader& FixedReader::operator>>(double& v) {
  state_->real<double, std::uint64_t>(v);
  return *this;
}
FixedReader& FixedReader::operator>>(std::span<float> values) {
  for (float& v : values) state_->real<float, std::uint32_t>(v);
  return *this;
}

Result FixedReader::finish() { return state_->finish(); }

}  // namespace io
