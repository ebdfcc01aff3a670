// Read transfers under a fixed layout, from a unit or from a text field.
#include <bit>
#include <cstdint>
#include <limits>
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

// The columns an item takes; a layout built without a width takes none.
std::size_t columns(const Item& it) { return it.w > 0 ? static_cast<std::size_t>(it.w) : 0; }

}  // namespace

struct FixedReader::State {
  static constexpr bool kReading = true;

  detail::FormatControl<State> control;
  Unit* unit = nullptr;  // null: reading the text field `record`
  std::string_view record{};
  std::size_t pos = 0;
  Takes takes = Takes::neither;
  Result result{};

  void begin(Layout layout, Takes t) {
    control.begin(layout);
    record = {};
    pos = 0;
    takes = t;
    result = kDone;
  }

  int report_number() const { return unit != nullptr ? unit->report_number() : kInternalUnit; }
  std::string_view path() const {
    return unit != nullptr ? std::string_view(unit->path()) : kInternalFormattedRead;
  }

  // The context of the format control.
  std::size_t& column() { return pos; }
  bool failed() const { return !result.ok(); }
  void fail(int number) { settle_once(Result{number}); }
  void literal(std::string_view text) { pos += text.size(); }  // its columns are passed over

  // The next record; a text field has no second one.
  void next_record() {
    pos = 0;
    if (unit == nullptr) {
      record = {};
      return settle_once(kEnd);
    }
    const Result r = unit->read_line(record);
    if (!r.ok()) settle_once(r);
  }

  // The first failure is the transfer's outcome; the items after it are skipped.
  void settle_once(Result r) {
    if (failed()) return;
    result = r;
    settle(r, takes, report_number(), path());
  }

  // The next w columns; those beyond the record's end are missing (read as blanks).
  std::string_view take(std::size_t w) {
    const std::size_t from = pos < record.size() ? pos : record.size();
    pos += w;
    return record.substr(from, w);
  }

  Result finish() {
    control.finish(*this);
    return result;
  }

  void text(std::span<char> dest) {
    const detail::DataEdit data = control.next_data(*this);
    if (!data) return;
    const Item* it = data.item;
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
    const detail::DataEdit data = control.next_data(*this);
    if (!data) return false;
    const Item* it = data.item;
    bool ok = false;
    switch (it->ed) {
      case Ed::I:
      case Ed::G:
        ok = detail::read_integer(take(columns(*it)), data.modes, v);
        ok = ok && v >= low && v <= high;
        break;
      case Ed::B:
      case Ed::O:
      case Ed::Z: {
        std::uint64_t u = 0;
        ok = detail::read_bits(take(columns(*it)), it->ed, data.modes, u);
        ok = ok && (bits >= 64 || (u >> bits) == 0);
        // The bit pattern of the variable: the top bit is its sign.
        if (ok)
          v = bits == 32 ? std::int64_t(static_cast<std::int32_t>(static_cast<std::uint32_t>(u)))
                         : std::int64_t(static_cast<std::int16_t>(static_cast<std::uint16_t>(u)));
        break;
      }
      case Ed::Q:
        v = pos < record.size() ? static_cast<std::int64_t>(record.size() - pos) : 0;
        return true;
      default: fail(kErrFormatMismatch); return false;
    }
    if (!ok) fail(kErrConversion);
    return ok;
  }

  void boolean(bool& v) {
    const detail::DataEdit data = control.next_data(*this);
    if (!data) return;
    const Item* it = data.item;
    if (it->ed != Ed::L && it->ed != Ed::G) return fail(kErrFormatMismatch);
    bool b = false;
    if (!detail::read_boolean(take(static_cast<std::size_t>(it->w > 0 ? it->w : 2)), b))
      return fail(kErrConversion);
    v = b;
  }

  template <class T, class Bits>
  void real(T& v) {
    const detail::DataEdit data = control.next_data(*this);
    if (!data) return;
    const Item* it = data.item;
    switch (it->ed) {
      case Ed::F:
      case Ed::E:
      case Ed::D:
      case Ed::EN:
      case Ed::ES:
      case Ed::G: {
        T x{};
        if (!detail::read_real(take(columns(*it)), it->d, data.modes, x))
          return fail(kErrConversion);
        v = x;
        return;
      }
      case Ed::B:
      case Ed::O:
      case Ed::Z: {
        std::uint64_t u = 0;
        if (!detail::read_bits(take(columns(*it)), it->ed, data.modes, u) ||
            u > std::numeric_limits<Bits>::max())
          return fail(kErrConversion);
        v = std::bit_cast<T>(static_cast<Bits>(u));
        return;
      }
      default: return fail(kErrFormatMismatch);  // an integer or boolean item for a float
    }
  }
};

// Delegating, so that the destructor hands the state back even when the first record
// read ends the program under an end interceptor (common/io/end.h).
FixedReader::FixedReader(int unit, Layout layout, Takes takes)
    : FixedReader(detail::StatePool<State>::shared().acquire()) {
  state_->begin(layout, takes);
  state_->unit = &unit_for(unit);
  state_->next_record();
}

FixedReader FixedReader::from_field(std::string_view field, Layout layout, Takes takes) {
  State* s = detail::StatePool<State>::shared().acquire();
  s->begin(layout, takes);
  s->unit = nullptr;
  s->record = field;
  return FixedReader(s);
}

FixedReader::~FixedReader() {
  if (state_ == nullptr) return;
  state_->finish();
  detail::StatePool<State>::shared().release(state_);
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
