#pragma once
// Reusable transfer states, so that a transfer allocates nothing once its buffers have
// grown. A few transfers may be alive at once (a writer into a text field while a unit
// transfer is open); beyond that a state is made on the heap. The programs are
// single-threaded: one pool per state type for the process.
#include <array>
#include <cstddef>

namespace io::detail {

template <class State>
class StatePool {
 public:
  State* acquire() {
    for (std::size_t k = 0; k < slots_.size(); ++k) {
      if (!used_[k]) {
        used_[k] = true;
        return &slots_[k];
      }
    }
    return new State();
  }
  void release(State* s) {
    for (std::size_t k = 0; k < slots_.size(); ++k) {
      if (s == &slots_[k]) {
        used_[k] = false;
        return;
      }
    }
    delete s;
  }
  static StatePool& shared() {
    static StatePool pool;
    return pool;
  }

 private:
  std::array<State, 4> slots_{};
  std::array<bool, 4> used_{};
};

}  // namespace io::detail
