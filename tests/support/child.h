#pragma once
// The tests' one child-process harness: a forked child whose standard input, output
// and error are pipes to the test. It runs a program of the suite (run_program) or a
// piece of the suite's code (run_child), fed all at once as a script piping answers in
// would, or answer by answer as a user at a terminal would (until_prompt, answer).
#include <sys/types.h>

#include <cstddef>
#include <functional>
#include <string>
#include <string_view>

namespace mttest {

// A child that writes nothing for this long counts as hung and is killed. Generous,
// so that slow runs of the sanitizer build never reach it.
inline constexpr int kHangSeconds = 120;

struct ChildResult {
  int status = -1;  // exit status; 128 + signal number when killed by a signal
  std::string out;  // standard output
  std::string err;  // standard error
};

class Child {
 public:
  // Forks; the child runs in_child with the pipes as its standard streams. When
  // in_child returns, the child writes out what the I/O layer holds and exits with 0.
  explicit Child(const std::function<void()>& in_child);
  ~Child();  // a child not finished is killed
  Child(const Child&) = delete;
  Child& operator=(const Child&) = delete;

  // Standard output up to a prompt left open (" >" at the end) or up to its end;
  // "<no prompt shown>" is appended when the child falls silent before that.
  std::string until_prompt();
  // Queues text for standard input; it is sent while the child is read.
  void answer(std::string_view text);
  // Closes the test's end of standard output, as a reader that went away: the child's
  // later writes to it fail (EPIPE). Returns what it wrote and was not handed out yet.
  std::string stop_reading_output();
  // Sends input, ends standard input, and returns the output not handed out yet and
  // the exit status.
  ChildResult finish(std::string_view input = "");

 private:
  bool pump();  // one round of sending and reading; false when the child fell silent
  void kill_hung();

  pid_t pid_ = -1;
  int in_ = -1;
  int out_ = -1;
  int err_ = -1;
  std::string pending_;  // input queued; pending_[sent_..] is not sent yet
  std::size_t sent_ = 0;
  bool end_input_ = false;  // close standard input once everything queued is sent
  ChildResult got_;
};

// Runs body (code of the suite, in this test's image) in a child fed with input. The
// child ends through the I/O layer's own ends (error reports, program end) or, when
// body returns, with its output written out and status 0.
ChildResult run_child(const std::function<void()>& body, const std::string& input = "");

}  // namespace mttest
