// Write transfers under a fixed layout, on a unit or into a text field.
#include <bit>
#include <cstdint>
#include <string>
#include <string_view>

#include "common/edit/fixed.h"
#include "common/edit/format_control.h"
#include "common/edit/internal_file.h"
#include "common/edit/number_edit.h"
#include "common/edit/state_pool.h"
#include "common/io/errors.h"
#include "common/io/unit.h"

namespace io {
namespace {

// The longest text record a unit takes; a layout that positions beyond it (a huge
// skip count typed in a format text) overflows the record instead of exhausting memory.
constexpr std::size_t kMaxRecordLength = std::size_t{1} << 28;

}  // namespace

struct FixedWriter::State {
  static constexpr bool kReading = false;

  detail::FormatControl<State> control;
  Unit* unit = nullptr;  // null: writing into `field`
  std::span<char> field{};
  std::string record;   // the record in progress on a unit; capacity is kept
  std::size_t pos = 0;  // next column (0-based)
  std::size_t len = 0;  // columns written so far
  Takes takes = Takes::neither;
  Result result{};

  void begin(Layout layout) {
    control.begin(layout);
    record.clear();
    pos = len = 0;
    result = kDone;
  }

  // The context of the format control.
  std::size_t& column() { return pos; }
  bool failed() const { return !result.ok(); }
  void fail(int number) {
    if (failed()) return;
    result = Result{number};
    if (unit != nullptr) {
      settle(result, takes, unit->report_number(), unit->path());
    } else {
      settle(result, takes, kInternalUnit, kInternalFormattedWrite);
    }
  }
  void literal(std::string_view text) { put_text(text); }
  void next_record() {
    if (unit == nullptr) return fail(kErrRecordOverflow);  // a field holds one record
    unit->write_text(std::string_view(record.data(), len), true);
    pos = len = 0;
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

  Result finish() {
    if (control.finish(*this) && !failed() && unit != nullptr)
      unit->write_text(std::string_view(record.data(), len), !control.no_line_end());
    return result;
  }

  void text(std::string_view s) {
    const detail::DataEdit data = control.next_data(*this);
    if (!data) return;
    const Item* it = data.item;
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
    const detail::DataEdit data = control.next_data(*this);
    if (!data) return;
    const Item* it = data.item;
    switch (it->ed) {
      case Ed::I:
      case Ed::G:
        if (it->w <= 0) return fail(kErrFormatMismatch);
        return detail::write_integer(reserve(static_cast<std::size_t>(it->w)), v,
                                     it->ed == Ed::I ? it->m : -1, data.modes);
      case Ed::B:
      case Ed::O:
      case Ed::Z:
        if (it->w <= 0) return fail(kErrFormatMismatch);
        return detail::write_bits(reserve(static_cast<std::size_t>(it->w)), bits, it->ed, it->m);
      default: return fail(kErrFormatMismatch);
    }
  }

  void boolean(bool v) {
    const detail::DataEdit data = control.next_data(*this);
    if (!data) return;
    const Item* it = data.item;
    if (it->ed != Ed::L && it->ed != Ed::G) return fail(kErrFormatMismatch);
    detail::write_boolean(reserve(static_cast<std::size_t>(it->w > 0 ? it->w : 2)), v);
  }

  void real(double v, std::uint64_t bits) {
    const detail::DataEdit data = control.next_data(*this);
    if (!data) return;
    const Item* it = data.item;
    switch (it->ed) {
      case Ed::F:
      case Ed::E:
      case Ed::D:
      case Ed::EN:
      case Ed::ES:
      case Ed::G:
        if (it->w <= 0) return fail(kErrFormatMismatch);
        return detail::write_real(reserve(static_cast<std::size_t>(it->w)), v, *it, data.modes);
      case Ed::B:
      case Ed::O:
      case Ed::Z:
        if (it->w <= 0) return fail(kErrFormatMismatch);
        return detail::write_bits(reserve(static_cast<std::size_t>(it->w)), bits, it->ed, it->m);
      default: return fail(kErrFormatMismatch);  // an integer or boolean item for a float
    }
  }
};

FixedWriter::FixedWriter(int unit, Layout layout)
    : state_(detail::StatePool<State>::shared().acquire()) {
  state_->begin(layout);
  state_->unit = &unit_for(unit);
  state_->field = {};
  state_->takes = Takes::neither;
}

FixedWriter FixedWriter::to_field(std::span<char> field, Layout layout, Takes takes) {
  State* s = detail::StatePool<State>::shared().acquire();
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
  detail::StatePool<State>::shared().release(state_);
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
