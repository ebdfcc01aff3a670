// Write transfers under a fixed layout, on a unit or into a text field.
#include <bit>
#include <cstdint>
#include <string>
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

// The longest text record a unit takes; a layout that positions beyond it (a huge
// skip count typed in a format text) overflows the record instead of exhausting memory.
constexpr std::size_t kMaxRecordLength = std::size_t{1} << 28;

}  // namespace

struct FixedWriter::State {
  detail::LayoutWalk walk;
  Unit* unit = nullptr;         // null: writing into `field`
  std::span<char> field{};
  std::string record;           // the record in progress on a unit; capacity is kept
  std::size_t pos = 0;          // next column (0-based)
  std::size_t len = 0;          // columns written so far
  int scale = 0;
  edit::PlusSign plus = edit::PlusSign::off;
  bool no_line_end = false;
  Takes takes = Takes::neither;
  Result result{};
  bool failed = false;
  bool ended = false;

  void begin(Layout layout) {
    walk.begin(layout, false);
    record.clear();
    pos = len = 0;
    scale = 0;
    plus = edit::PlusSign::off;
    no_line_end = false;
    result = kDone;
    failed = ended = false;
  }

  void fail(int number) {
    if (failed) return;
    failed = true;
    result = Result{number};
    if (unit != nullptr) error_report(number, unit->report_number(), unit->path());
    if (!takes_errors(takes)) error_report(number, -5, "Internal Formatted Write");
  }

  // The next `width` columns at the position, blanks between the last column written
  // and the position; empty after a failure (the field overflows).
  std::span<char> reserve(std::size_t width) {
    const std::size_t need = pos + width;
    std::span<char> buf;
    if (unit != nullptr) {
      if (need > kMaxRecordLength) {
        fail(kErrRecordOverflow);
        return {};
      }
      if (record.size() < need) record.resize(need, ' ');
      buf = std::span<char>(record);
    } else {
      if (need > field.size()) {
        fail(kErrRecordOverflow);
        return {};
      }
      buf = field;
    }
    for (std::size_t k = len; k < pos; ++k) buf[k] = ' ';
    if (need > len) len = need;
    std::span<char> out = buf.subspan(pos, width);
    pos = need;
    return out;
  }

  void put_text(std::string_view text) {
    std::span<char> out = reserve(text.size());
    for (std::size_t k = 0; k < out.size(); ++k) out[k] = text[k];
  }

  void end_record() {
    if (unit == nullptr) return fail(kErrRecordOverflow);  // a field holds one record
    unit->write_text(std::string_view(record.data(), len), true);
    pos = len = 0;
  }

  // Acts on one item that is not a data item. Returns false at ":" (caller decides).
  void position_or_control(const Item& it) {
    switch (it.ed) {
      case Ed::X: case Ed::TR: pos += static_cast<std::size_t>(it.w > 0 ? it.w : 0); break;
      case Ed::T: pos = it.w > 1 ? static_cast<std::size_t>(it.w - 1) : 0; break;
      case Ed::TL: {
        const auto n = static_cast<std::size_t>(it.w > 0 ? it.w : 0);
        pos = pos > n ? pos - n : 0;
        break;
      }
      case Ed::Slash: end_record(); break;
      case Ed::NoLineEnd: no_line_end = true; break;
      case Ed::Literal: put_text(it.text); break;
      case Ed::Scale: scale = it.w; break;
      case Ed::SignPlus: plus = edit::PlusSign::on; break;
      case Ed::SignDefault: case Ed::SignSuppress: plus = edit::PlusSign::off; break;
      case Ed::Open: apply_group(); break;
      default: break;  // BN, BZ, Q, ":" have no effect on output
    }
  }

  // A group of position and mode items, in one step for all its repetitions: the
  // modes as its last repetition leaves them, the position moved by its net move.
  void apply_group() {
    for (const Item& g : walk.group())
      if (detail::is_mode_item(g.ed)) position_or_control(g);
    pos = walk.group_move().apply(pos);
  }

  // Processes the layout up to the next data item and returns it; null after a failure.
  const Item* next_data() {
    if (failed || ended) return nullptr;
    if (!walk.has_data()) {  // a value can never be placed: fail before any walking
      fail(kErrFormatMismatch);
      return nullptr;
    }
    bool reverted_without_data = false;
    for (;;) {
      const Item* it = walk.advance();
      if (it == nullptr) {
        // Values remain at the end of the layout: new record, start again.
        if (!walk.can_revert() || reverted_without_data) {
          fail(kErrFormatMismatch);
          return nullptr;
        }
        reverted_without_data = true;
        end_record();
        if (failed) return nullptr;
        walk.revert();
        continue;
      }
      if (detail::is_data_item(it->ed, false)) return it;
      position_or_control(*it);
      if (failed) return nullptr;
    }
  }

  Result finish() {
    if (ended) return result;
    while (!failed) {
      const Item* it = walk.advance();
      if (it == nullptr || it->ed == Ed::Colon || detail::is_data_item(it->ed, false)) break;
      position_or_control(*it);
    }
    ended = true;
    if (!failed && unit != nullptr)
      unit->write_text(std::string_view(record.data(), len), !no_line_end);
    return result;
  }

  void text(std::string_view s) {
    const Item* it = next_data();
    if (it == nullptr) return;
    if (it->ed != Ed::A && it->ed != Ed::G) return fail(kErrFormatMismatch);
    if (it->w <= 0 || (it->ed == Ed::A && static_cast<std::size_t>(it->w) == s.size()))
      return put_text(s);
    const auto w = static_cast<std::size_t>(it->w);
    std::span<char> out = reserve(w);
    if (out.empty()) return;
    if (w > s.size()) {
      const std::size_t lead = w - s.size();
      for (std::size_t k = 0; k < w; ++k) out[k] = k < lead ? ' ' : s[k - lead];
    } else {
      for (std::size_t k = 0; k < w; ++k) out[k] = s[k];
    }
  }

  void integer(std::int64_t v, std::uint64_t bits) {
    const Item* it = next_data();
    if (it == nullptr) return;
    switch (it->ed) {
      case Ed::I: case Ed::G:
        if (it->w <= 0) return fail(kErrFormatMismatch);
        return edit::write_integer(reserve(static_cast<std::size_t>(it->w)), v,
                                   it->ed == Ed::I ? it->m : -1, plus);
      case Ed::B: case Ed::O: case Ed::Z:
        if (it->w <= 0) return fail(kErrFormatMismatch);
        return edit::write_bits(reserve(static_cast<std::size_t>(it->w)), bits, it->ed, it->m);
      default:
        return fail(kErrFormatMismatch);
    }
  }

  void boolean(bool v) {
    const Item* it = next_data();
    if (it == nullptr) return;
    if (it->ed != Ed::L && it->ed != Ed::G) return fail(kErrFormatMismatch);
    edit::write_boolean(reserve(static_cast<std::size_t>(it->w > 0 ? it->w : 2)), v);
  }

  void real(double v, std::uint64_t bits) {
    const Item* it = next_data();
    if (it == nullptr) return;
    switch (it->ed) {
      case Ed::F: case Ed::E: case Ed::D: case Ed::EN: case Ed::ES: case Ed::G:
        if (it->w <= 0) return fail(kErrFormatMismatch);
        return edit::write_real(reserve(static_cast<std::size_t>(it->w)), v, *it, scale, plus);
      case Ed::B: case Ed::O: case Ed::Z:
        if (it->w <= 0) return fail(kErrFormatMismatch);
        return edit::write_bits(reserve(static_cast<std::size_t>(it->w)), bits, it->ed, it->m);
      default:
        return fail(kErrFormatMismatch);  // an integer or boolean item for a float
    }
  }
};

FixedWriter::FixedWriter(int unit, Layout layout) : state_(detail::StatePool<State>::local().acquire()) {
  state_->begin(layout);
  state_->unit = &unit_for(unit);
  state_->field = {};
  state_->takes = Takes::neither;
}

FixedWriter FixedWriter::to_field(std::span<char> field, Layout layout, Takes takes) {
  State* s = detail::StatePool<State>::local().acquire();
  s->begin(layout);
  s->unit = nullptr;
  s->field = field;
  s->takes = takes;
  for (char& c : field) c = ' ';
  return FixedWriter(s);
}

FixedWriter::~FixedWriter() {
  if (state_ == nullptr) return;
  state_->finish();
  detail::StatePool<State>::local().release(state_);
}

FixedWriter::FixedWriter(FixedWriter&& other) noexcept : state_(other.state_) {
  other.state_ = nullptr;
}

FixedWriter& FixedWriter::operator<<(std::string_view text) {
  state_->text(text);
  return *this;
}
FixedWriter& FixedWriter::operator<<(std::int32_t value) {
  state_->integer(value, static_cast<std::uint32_t>(value));
  return *this;
}
FixedWriter& FixedWriter::operator<<(std::int16_t value) {
  state_->integer(value, static_cast<std::uint16_t>(value));
  return *this;
}
FixedWriter& FixedWriter::operator<<(bool value) {
  state_->boolean(value);
  return *this;
}
FixedWriter& FixedWriter::operator<<(float value) {
  state_->real(value, std::bit_cast<std::uint32_t>(value));
  return *this;
}
FixedWriter& FixedWriter::operator<<(double value) {
  state_->real(value, std::bit_cast<std::uint64_t>(value));
  return *this;
}
FixedWriter& FixedWriter::operator<<(std::span<const float> values) {
  for (float v : values) state_->real(v, std::bit_cast<std::uint32_t>(v));
  return *this;
}

Result FixedWriter::end() { return state_->finish(); }

}  // namespace io
