#include "support/child.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <stdexcept>
#include <utility>

#include "common/io/units.h"

namespace mttest {
namespace {

void close_fd(int& fd) {
  if (fd >= 0) ::close(fd);
  fd = -1;
}

void set_nonblocking(int fd) { ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) | O_NONBLOCK); }

// Reads what is there; at the end of the stream (or a failure) the pipe is closed.
void drain(int& fd, std::string& to) {
  char buf[65536];
  const ssize_t got = ::read(fd, buf, sizeof buf);
  if (got > 0) {
    to.append(buf, static_cast<std::size_t>(got));
  } else if (got == 0 || errno != EAGAIN) {
    close_fd(fd);
  }
}

bool ends_with_prompt(const std::string& text) {
  return text.size() >= 2 && text.compare(text.size() - 2, 2, " >") == 0;
}

// A shell starts a program with no signal blocked; the test runner may have inherited
// a mask that blocks some (a parent's SIGINT, say), and a child that kept it would never
// see the interrupts its tests raise.
void unblock_all_signals() {
  sigset_t none;
  sigemptyset(&none);
  ::sigprocmask(SIG_SETMASK, &none, nullptr);
}

}  // namespace

Child::Child(const std::function<void()>& in_child) {
  // Nothing the test holds in a buffer may be written out twice, by it and by the child.
  io::flush_all();
  std::fflush(nullptr);
  int in[2], out[2], err[2];
  if (::pipe(in) != 0 || ::pipe(out) != 0 || ::pipe(err) != 0) throw std::runtime_error("pipe");
  pid_ = ::fork();
  if (pid_ < 0) throw std::runtime_error("fork");
  if (pid_ == 0) {
    unblock_all_signals();
    ::dup2(in[0], 0);
    ::dup2(out[1], 1);
    ::dup2(err[1], 2);
    for (int fd : {in[0], in[1], out[0], out[1], err[0], err[1]}) ::close(fd);
    try {
      in_child();
      io::flush_all();
    } catch (...) {
      // Never back into the test runner: the child would run the remaining tests.
      std::fputs("mttest: exception escaped the child's code\n", stderr);
      ::_exit(125);
    }
    ::_exit(0);
  }
  ::close(in[0]);
  ::close(out[1]);
  ::close(err[1]);
  in_ = in[1];
  out_ = out[0];
  err_ = err[0];
  ::signal(SIGPIPE, SIG_IGN);  // a child that stopped reading must not end the test
  for (int fd : {in_, out_, err_}) set_nonblocking(fd);
}

Child::~Child() {
  close_fd(in_);
  close_fd(out_);
  close_fd(err_);
  if (pid_ > 0) {
    ::kill(pid_, SIGKILL);
    ::waitpid(pid_, nullptr, 0);
  }
}

bool Child::pump() {
  pollfd fds[3];
  nfds_t n = 0;
  int i_in = -1, i_out = -1, i_err = -1;
  const bool to_send = in_ >= 0 && sent_ < pending_.size();
  if (to_send) {
    fds[n] = {in_, POLLOUT, 0};
    i_in = static_cast<int>(n++);
  }
  if (out_ >= 0) {
    fds[n] = {out_, POLLIN, 0};
    i_out = static_cast<int>(n++);
  }
  if (err_ >= 0) {
    fds[n] = {err_, POLLIN, 0};
    i_err = static_cast<int>(n++);
  }
  if (n == 0) return true;
  const int ready = ::poll(fds, n, kHangSeconds * 1000);
  if (ready < 0 && errno == EINTR) return true;
  if (ready <= 0) return false;
  if (i_in >= 0 && (fds[i_in].revents & (POLLOUT | POLLERR | POLLHUP))) {
    const ssize_t w = ::write(in_, pending_.data() + sent_, pending_.size() - sent_);
    if (w > 0) sent_ += static_cast<std::size_t>(w);
    if (w < 0 && errno != EAGAIN) sent_ = pending_.size();  // the child stopped reading
  }
  if (end_input_ && sent_ >= pending_.size()) close_fd(in_);
  if (i_out >= 0 && (fds[i_out].revents & (POLLIN | POLLHUP | POLLERR))) drain(out_, got_.out);
  if (i_err >= 0 && (fds[i_err].revents & (POLLIN | POLLHUP | POLLERR))) drain(err_, got_.err);
  return true;
}

void Child::kill_hung() {
  ::kill(pid_, SIGKILL);
  close_fd(out_);
  close_fd(err_);
  got_.err += "mttest: no output for " + std::to_string(kHangSeconds) + " s; child killed\n";
}

std::string Child::until_prompt() {
  while (out_ >= 0 && !ends_with_prompt(got_.out)) {
    if (!pump()) {
      got_.out += "<no prompt shown>";
      break;
    }
  }
  return std::exchange(got_.out, {});
}

void Child::answer(std::string_view text) { pending_.append(text); }

std::string Child::stop_reading_output() {
  close_fd(out_);
  return std::exchange(got_.out, {});
}

ChildResult Child::finish(std::string_view input) {
  pending_.append(input);
  end_input_ = true;
  if (sent_ >= pending_.size()) close_fd(in_);
  while (out_ >= 0 || err_ >= 0) {
    if (!pump()) kill_hung();
  }
  close_fd(in_);
  int st = 0;
  ::waitpid(pid_, &st, 0);
  pid_ = -1;
  got_.status = WIFEXITED(st) ? WEXITSTATUS(st) : 128 + WTERMSIG(st);
  return std::exchange(got_, {});
}

ChildResult run_child(const std::function<void()>& body, const std::string& input) {
  Child child(body);
  return child.finish(input);
}

}  // namespace mttest
