#include "common/io/end.h"

#include <signal.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <charconv>
#include <csignal>
#include <cstdlib>
#include <string>

#include "common/io/command_line.h"
#include "common/io/errors.h"
#include "common/io/failures.h"
#include "common/io/unit.h"
#include "common/io/units.h"

namespace io {
namespace {

constexpr std::string_view kLineEnd = "\r\n";

// Fixed storage: the interrupt handler reads these, so nothing here allocates.
std::array<char, 128> g_name{'m', 't', 'p', 'r', 'e', 'p'};
std::size_t g_name_length = 6;

volatile std::sig_atomic_t g_ending = 0;
volatile std::sig_atomic_t g_in_interrupt = 0;

// The first buffer that could not be written out while ending.
struct LateFailure {
  bool any = false;
  bool reported = false;
  int unit = 0;
  std::array<char, 4096> path{};
  std::size_t path_length = 0;
};
LateFailure g_failure;

EndInterceptor g_interceptor = nullptr;

// Writes straight to the standard error descriptor: used once the units are being
// written out and closed, and from the interrupt handler.
void write_stderr(std::string_view text) {
  while (!text.empty()) {
    const ssize_t n = ::write(STDERR_FILENO, text.data(), text.size());
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return;
    text.remove_prefix(static_cast<std::size_t>(n));
  }
}

void append_number(std::string& out, int value) {
  std::array<char, 16> digits{};
  const auto [end, ec] = std::to_chars(digits.data(), digits.data() + digits.size(), value);
  out.append(digits.data(), end);
}

std::string report_line(std::string_view severity, int number, int unit, std::string_view file) {
  std::string line(program_name());
  line += ": ";
  line += severity;
  line += " (";
  append_number(line, number);
  line += "): ";
  const std::string_view message = error_message(number);
  for (std::size_t i = 0; i < message.size(); ++i) {
    if (message.substr(i, 2) == "%d") {
      append_number(line, unit);
      ++i;
    } else if (message.substr(i, 2) == "%s") {
      line += file;
      ++i;
    } else {
      line += message[i];
    }
  }
  line += kLineEnd;
  return line;
}

// Every end but an interrupt begins here; a failing run first cuts back the outputs
// it was still writing.
void begin_end(bool failing) {
  g_ending = 1;
  if (failing) detail::discard_outputs();
}

// Writes the report of a late write-out failure once; true when there was one.
bool report_late_failure() {
  if (!g_failure.any || g_failure.reported) return false;
  g_failure.reported = true;
  write_stderr(report_line("severe", kErrWrite, g_failure.unit,
                           std::string_view(g_failure.path.data(), g_failure.path_length)));
  return true;
}

// An intercepted end: the output goes out, the end state is cleared for the next
// run, and the interceptor takes over (a late write-out failure still counts).
void intercept(int status) {
  flush_all();
  if (report_late_failure() && status < 2) status = kErrWrite;
  g_ending = 0;
  g_failure = LateFailure{};
  g_interceptor(status);
}

// Closes every unit and exits; a failure while writing out turns a clean status
// into error 38.
[[noreturn]] void finish(int status) {
  if (g_interceptor != nullptr) {
    intercept(status);
    g_ending = 1;  // an interceptor that returned: end as usual
  }
  close_all();
  if (report_late_failure() && status < 2) status = kErrWrite;
  std::exit(status);
}

const char* event_name(int sig) {
  switch (sig) {
    case SIGINT: return "control-C";
    case SIGQUIT: return "control-BREAK";
    default: return "window-CLOSE";
  }
}

void on_interrupt(int sig) {
  if (g_in_interrupt) return;
  g_in_interrupt = 1;
  g_ending = 1;
  flush_all();  // the buffers go out with write(2) only
  std::array<char, 256> line{};
  std::size_t n = 0;
  const auto add = [&](std::string_view part) {
    const std::size_t k = std::min(part.size(), line.size() - n);
    std::copy_n(part.begin(), k, line.begin() + static_cast<std::ptrdiff_t>(n));
    n += k;
  };
  add(program_name());
  add(": error (200): program aborting due to ");
  add(event_name(sig));
  add(" event");
  add(kLineEnd);
  write_stderr(std::string_view(line.data(), n));
  ::_exit(128 + sig);
}

}  // namespace

namespace detail {

bool ending() { return g_ending != 0; }

void write_failure(int report_number, std::string_view path) {
  if (g_ending) {
    if (!g_failure.any) {
      g_failure.any = true;
      g_failure.unit = report_number;
      g_failure.path_length = std::min(path.size(), g_failure.path.size());
      std::copy_n(path.begin(), g_failure.path_length, g_failure.path.begin());
    }
    return;
  }
  error_report(kErrWrite, report_number, path);
}

void unit_not_open(int number) {
  std::string line(program_name());
  line += ": program error: unit ";
  append_number(line, number);
  line += " is used for a transfer but was never opened";
  line += kLineEnd;
  begin_end(true);
  flush_all();
  write_stderr(line);
  finish(1);
}

void end_at_exit() {
  g_ending = 1;
  close_all();
  if (report_late_failure()) ::_exit(kErrWrite);
}

}  // namespace detail

void set_program_name(std::string_view argv0) {
  const std::size_t slash = argv0.find_last_of('/');
  if (slash != std::string_view::npos) argv0.remove_prefix(slash + 1);
  if (argv0.empty()) return;
  g_name_length = std::min(argv0.size(), g_name.size());
  std::copy_n(argv0.begin(), g_name_length, g_name.begin());
}

std::string_view program_name() {
  return std::string_view(g_name.data(), std::min(g_name_length, g_name.size()));
}

void error_report(int number, int unit, std::string_view file) {
  // The line is made before any unit closes: file may name a unit's own path.
  const std::string line = report_line("severe", number, unit, file);
  begin_end(true);
  flush_all();  // what the program wrote comes before the report
  write_stderr(line);
  finish(number);
}

void info_line(int number, std::string_view text) {
  std::string line(program_name());
  line += ": info (";
  append_number(line, number);
  line += "): ";
  line += text;
  unit_for(0).write_text(line, true);
}

void end_program(Outcome outcome) {
  begin_end(outcome == Outcome::failure);
  finish(outcome == Outcome::success ? 0 : 1);
}

void end_program(Outcome outcome, std::string_view message) {
  const std::string line = std::string(message) + std::string(kLineEnd);
  begin_end(outcome == Outcome::failure);
  flush_all();
  write_stderr(line);
  finish(outcome == Outcome::success ? 0 : 1);
}

void fail_run(std::initializer_list<std::string_view> line, std::string_view final_message) {
  if (line.size() > 0) {
    std::string text;
    for (const std::string_view part : line) text += part;
    unit_for(6).write_text(text, true);
  }
  if (final_message.empty()) end_program(Outcome::failure);
  end_program(Outcome::failure, final_message);
}

void install_interrupt_handlers() {
  struct sigaction action {};
  action.sa_handler = on_interrupt;
  sigemptyset(&action.sa_mask);
  for (const int sig : {SIGINT, SIGQUIT, SIGHUP}) sigaddset(&action.sa_mask, sig);
  for (const int sig : {SIGINT, SIGQUIT, SIGHUP}) ::sigaction(sig, &action, nullptr);
  // A closed pipe is then a failed write (38), not a silent death.
  ::signal(SIGPIPE, SIG_IGN);
}

void set_end_interceptor(EndInterceptor interceptor) { g_interceptor = interceptor; }

void start_program(int argc, char** argv) {
  keep_command_line(argc, argv);
  if (argc > 0 && argv != nullptr && argv[0] != nullptr) set_program_name(argv[0]);
  install_interrupt_handlers();
  flush_all();  // creates the unit table now, so its exit handler is in place
}

}  // namespace io
