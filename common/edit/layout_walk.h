#pragma once
// Stepping through a fixed layout: repeat counts, groups and the reversion point.
// Shared by the fixed-layout writer and reader; internal to common/edit.
#include <array>
#include <cstddef>
#include <cstdint>

#include "common/edit/layout.h"

namespace io::detail {

constexpr bool is_data_item(Ed ed, bool reading) {
  switch (ed) {
    case Ed::A: case Ed::I: case Ed::F: case Ed::E: case Ed::D: case Ed::EN: case Ed::ES:
    case Ed::G: case Ed::L: case Ed::B: case Ed::O: case Ed::Z:
      return true;
    case Ed::Q:
      return reading;
    default:
      return false;
  }
}

class LayoutWalk {
 public:
  void begin(Layout items, bool reading) {
    items_ = items;
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
    revert_has_data_ = false;
    for (std::size_t k = revert_; k < items.size(); ++k)
      revert_has_data_ = revert_has_data_ || is_data_item(items[k].ed, reading);
  }

  // The next item to act on (a data item or "/" once per repeat), skipping group
  // bookkeeping; nullptr at the end of the layout.
  const Item* advance() {
    if (left_ > 0) {
      --left_;
      return current_;
    }
    while (next_ < items_.size()) {
      const Item& it = items_[next_];
      if (it.ed == Ed::Open) {
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

  // Starts again at the reversion point (the caller has ended the record).
  void revert() {
    next_ = revert_;
    depth_ = 0;
    left_ = 0;
  }
  // False when a reversion could never reach a data item (a value would loop forever).
  bool can_revert() const { return revert_has_data_; }

 private:
  struct Group {
    std::size_t open = 0;
    int left = 0;
  };
  Layout items_{};
  std::size_t next_ = 0;
  std::array<Group, 8> stack_{};
  int depth_ = 0;
  const Item* current_ = nullptr;
  int left_ = 0;
  std::size_t revert_ = 0;
  bool revert_has_data_ = false;
};

}  // namespace io::detail
