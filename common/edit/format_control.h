#pragma once
// The walk through a fixed layout that both directions drive: repeat counts, groups,
// the position and mode items between data items, reversion and the finish. The
// reader and the writer supply only what differs (records, literals, failures) as
// the Context of FormatControl. Internal to common/edit.
#include <array>
#include <cstddef>
#include <cstdint>

#include "common/edit/layout.h"
#include "common/edit/number_edit.h"
#include "common/io/errors.h"

namespace io::detail {

constexpr bool is_data_item(Ed ed, bool reading) {
  switch (ed) {
    case Ed::A:
    case Ed::I:
    case Ed::F:
    case Ed::E:
    case Ed::D:
    case Ed::EN:
    case Ed::ES:
    case Ed::G:
    case Ed::L:
    case Ed::B:
    case Ed::O:
    case Ed::Z: return true;
    case Ed::Q: return reading;
    default: return false;
  }
}

// Items that only set a mode for the items after them.
constexpr bool is_mode_item(Ed ed) {
  switch (ed) {
    case Ed::Scale:
    case Ed::SignDefault:
    case Ed::SignPlus:
    case Ed::SignSuppress:
    case Ed::BlankNull:
    case Ed::BlankZero:
    case Ed::NoLineEnd: return true;
    default: return false;
  }
}

// The net move of a run of position items on the column: either to a fixed column,
// or p -> max(0, p - back) + ahead. That form is closed under composition, so a group
// repeated r times is one move. Counts saturate far beyond any record's length.
struct Move {
  static constexpr std::size_t kFar = std::size_t{1} << 60;
  bool absolute = false;
  std::size_t back = 0;
  std::size_t ahead = 0;

  static constexpr std::size_t add(std::size_t x, std::size_t y) {
    return x >= kFar - y ? kFar : x + y;
  }
  static constexpr std::size_t times(std::size_t x, std::size_t r) {
    return r != 0 && x >= kFar / r ? kFar : x * r;
  }

  constexpr std::size_t apply(std::size_t p) const {
    return absolute ? ahead : add(p > back ? p - back : 0, ahead);
  }
  // This move, then `next`.
  constexpr Move then(Move next) const {
    if (next.absolute) return next;
    if (absolute) return {true, 0, next.apply(ahead)};
    if (ahead >= next.back) return {false, back, add(ahead - next.back, next.ahead)};
    return {false, add(back, next.back - ahead), next.ahead};
  }
  // This move r (>= 1) times.
  constexpr Move repeated(std::size_t r) const {
    if (absolute || r <= 1) return *this;
    if (ahead >= back) return {false, back, add(ahead, times(ahead - back, r - 1))};
    return {false, add(back, times(back - ahead, r - 1)), ahead};
  }
  // The move of one position item; `reading` makes a literal a skip over its columns.
  static constexpr Move of(const Item& it, bool reading) {
    const auto n = static_cast<std::size_t>(it.w > 0 ? it.w : 0);
    switch (it.ed) {
      case Ed::X:
      case Ed::TR: return {false, 0, n};
      case Ed::TL: return {false, n, 0};
      case Ed::T: return {true, 0, n > 1 ? n - 1 : 0};
      case Ed::Literal: return {false, 0, reading ? it.text.size() : 0};
      default: return {};
    }
  }
};

// True for an item that a group may hold and still be applied in one step.
constexpr bool only_moves_or_sets_modes(Ed ed, bool reading) {
  switch (ed) {
    case Ed::X:
    case Ed::T:
    case Ed::TL:
    case Ed::TR:
    case Ed::Open:
    case Ed::Close: return true;
    case Ed::Literal: return reading;  // on output it writes its text
    case Ed::Q: return !reading;       // on output it does nothing
    default: return is_mode_item(ed);
  }
}

// The cursor over a layout's items.
class LayoutWalk {
 public:
  void begin(Layout items, bool reading) {
    items_ = items;
    reading_ = reading;
    next_ = 0;
    depth_ = 0;
    current_ = nullptr;
    left_ = 0;
    // Reversion goes to the last group opened at the outermost level, else the start.
    revert_ = 0;
    int depth = 0;
    for (std::size_t k = 0; k < items.size(); ++k) {
      if (items[k].ed == Ed::Open && depth++ == 0) revert_ = k;
      if (items[k].ed == Ed::Close) --depth;
    }
    has_data_ = revert_has_data_ = false;
    for (std::size_t k = 0; k < items.size(); ++k) {
      if (!is_data_item(items[k].ed, reading)) continue;
      has_data_ = true;
      if (k >= revert_) revert_has_data_ = true;
    }
  }

  // The next item to act on (a data item or "/" once per repeat), skipping group
  // bookkeeping; nullptr at the end of the layout. A group that only moves the
  // position or sets modes comes back once as its Open item: group() and
  // group_move() then tell its items and its net move over all its repetitions.
  const Item* advance() {
    if (left_ > 0) {
      --left_;
      return current_;
    }
    while (next_ < items_.size()) {
      const Item& it = items_[next_];
      if (it.ed == Ed::Open) {
        if (std::size_t close = 0; collapsible(next_, close)) {
          group_ = items_.subspan(next_ + 1, close - next_ - 1);
          next_ = close + 1;
          return &it;
        }
        if (depth_ < static_cast<int>(stack_.size())) {
          stack_[static_cast<std::size_t>(depth_++)] = {next_, it.repeat};
        }
        ++next_;
        continue;
      }
      if (it.ed == Ed::Close) {
        if (depth_ > 0) {
          Group& g = stack_[static_cast<std::size_t>(depth_ - 1)];
          if (--g.left > 0) {
            next_ = g.open + 1;
            continue;
          }
          --depth_;
        }
        ++next_;
        continue;
      }
      ++next_;
      current_ = &it;
      left_ = it.repeat > 1 ? it.repeat - 1 : 0;
      return current_;
    }
    return nullptr;
  }

  Layout group() const { return group_; }
  Move group_move() const { return group_move_; }

  // Starts again at the reversion point (the caller has ended the record).
  void revert() {
    next_ = revert_;
    depth_ = 0;
    left_ = 0;
  }
  // False when the layout holds no data item at all: a value can never be placed.
  bool has_data() const { return has_data_; }
  // False when a reversion could never reach a data item (a value would loop forever).
  bool can_revert() const { return revert_has_data_; }

 private:
  struct Group {
    std::size_t open = 0;
    int left = 0;
  };

  // True when the group opened at `open` holds only position and mode items; then
  // `close` is its closing item and group_move_ its net move.
  bool collapsible(std::size_t open, std::size_t& close) {
    // Per open level: where it opened and the move of its items so far.
    struct Level {
      std::size_t open = 0;
      Move move{};
    };
    std::array<Level, 9> levels{};
    levels[0].open = open;
    std::size_t depth = 0;
    for (std::size_t k = open + 1; k < items_.size(); ++k) {
      const Item& it = items_[k];
      if (!only_moves_or_sets_modes(it.ed, reading_)) return false;
      if (it.ed == Ed::Open) {
        if (depth + 1 >= levels.size()) return false;
        levels[++depth] = {k, {}};
      } else if (it.ed == Ed::Close) {
        const Level& l = levels[depth];
        const Move whole = l.move.repeated(static_cast<std::size_t>(items_[l.open].repeat));
        if (depth == 0) {
          close = k;
          group_move_ = whole;
          return true;
        }
        --depth;
        levels[depth].move = levels[depth].move.then(whole);
      } else {
        levels[depth].move = levels[depth].move.then(Move::of(it, reading_));
      }
    }
    return false;
  }

  Layout items_{};
  bool reading_ = false;
  std::size_t next_ = 0;
  std::array<Group, 8> stack_{};
  int depth_ = 0;
  const Item* current_ = nullptr;
  int left_ = 0;
  std::size_t revert_ = 0;
  bool has_data_ = false;
  bool revert_has_data_ = false;
  Layout group_{};
  Move group_move_{};
};

// The next data item and the modes in force for it.
struct DataEdit {
  const Item* item = nullptr;  // null: no item (the transfer has failed or ended)
  EditModes modes{};
  explicit operator bool() const { return item != nullptr; }
};

// Context, one per direction, supplies:
//   static constexpr bool kReading;
//   std::size_t& column();                 the position in the record (0-based)
//   void next_record();                    "/" and reversion: end or read a record
//   void literal(std::string_view text);   a literal met outside a collapsed group
//   void fail(int number);  bool failed() const;
template <class Context>
class FormatControl {
 public:
  void begin(Layout layout) {
    walk_.begin(layout, Context::kReading);
    modes_ = {};
    no_line_end_ = false;
    ended_ = false;
  }

  // Processes the layout up to the next data item; none after a failure or the end.
  DataEdit next_data(Context& ctx) {
    if (ended_ || ctx.failed()) return {};
    if (!walk_.has_data()) {  // a value can never be placed: fail before any walking
      ctx.fail(io::kErrFormatMismatch);
      return {};
    }
    bool reverted = false;
    for (;;) {
      const Item* it = walk_.advance();
      if (it == nullptr) {
        // Values remain at the end of the layout: a new record, and the layout
        // starts again at its reversion point.
        if (!walk_.can_revert() || reverted) {
          ctx.fail(io::kErrFormatMismatch);
          return {};
        }
        reverted = true;
        ctx.next_record();
        if (ctx.failed()) return {};
        walk_.revert();
        continue;
      }
      if (is_data_item(it->ed, Context::kReading)) return {it, modes_};
      control(ctx, *it);
      if (ctx.failed()) return {};
    }
  }

  // The layout up to the next data item, ":" or its end, once; false when it had
  // already been finished.
  bool finish(Context& ctx) {
    if (ended_) return false;
    while (!ctx.failed()) {
      const Item* it = walk_.advance();
      if (it == nullptr || it->ed == Ed::Colon || is_data_item(it->ed, Context::kReading)) break;
      control(ctx, *it);
    }
    ended_ = true;
    return true;
  }

  bool no_line_end() const { return no_line_end_; }

 private:
  void control(Context& ctx, const Item& it) {
    switch (it.ed) {
      case Ed::X:
      case Ed::TR:
      case Ed::TL:
      case Ed::T: ctx.column() = Move::of(it, Context::kReading).apply(ctx.column()); break;
      case Ed::Slash: ctx.next_record(); break;
      case Ed::Literal: ctx.literal(it.text); break;
      case Ed::Open: apply_group(ctx); break;
      default: set_mode(it); break;  // Q on output and ":" leave no trace here
    }
  }

  void set_mode(const Item& it) {
    switch (it.ed) {
      case Ed::Scale: modes_.scale = it.w; break;
      case Ed::SignPlus: modes_.plus = PlusSign::on; break;
      case Ed::SignDefault:
      case Ed::SignSuppress: modes_.plus = PlusSign::off; break;
      case Ed::BlankNull: modes_.blank_zero = false; break;
      case Ed::BlankZero: modes_.blank_zero = true; break;
      case Ed::NoLineEnd: no_line_end_ = true; break;
      default: break;
    }
  }

  // A group of position and mode items, in one step for all its repetitions: the
  // modes as its last repetition leaves them, the position moved by its net move.
  void apply_group(Context& ctx) {
    for (const Item& g : walk_.group()) set_mode(g);
    ctx.column() = walk_.group_move().apply(ctx.column());
  }

  LayoutWalk walk_;
  EditModes modes_{};
  bool no_line_end_ = false;
  bool ended_ = false;
};

}  // namespace io::detail
