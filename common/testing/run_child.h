#pragma once
// Test helper: runs a piece of code in a forked child whose standard input is a pipe
// fed with the given text and whose standard output and error are captured, as a
// script piping answers into a program would see it. The child ends through the I/O
// layer's own ends (error reports, program end) or, when the code returns, with its
// output written out and status 0.
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <functional>
#include <stdexcept>
#include <string>

#include "common/io/units.h"

namespace mttest {

struct ChildResult {
  int status = -1;  // exit status; 128 + signal number when killed by a signal
  std::string out;
  std::string err;
};

inline ChildResult run_child(const std::function<void()>& body, const std::string& input = "") {
  io::flush_all();  // nothing of the parent's may be written out twice
  int in[2], out[2], err[2];
  if (pipe(in) != 0 || pipe(out) != 0 || pipe(err) != 0) throw std::runtime_error("pipe");
  const pid_t pid = fork();
  if (pid < 0) throw std::runtime_error("fork");
  if (pid == 0) {
    dup2(in[0], 0);
    dup2(out[1], 1);
    dup2(err[1], 2);
    for (int fd : {in[0], in[1], out[0], out[1], err[0], err[1]}) close(fd);
    body();
    io::flush_all();
    _exit(0);
  }
  close(in[0]);
  close(out[1]);
  close(err[1]);
  signal(SIGPIPE, SIG_IGN);
  for (int fd : {in[1], out[0], err[0]}) fcntl(fd, F_SETFL, fcntl(fd, F_GETFL) | O_NONBLOCK);

  ChildResult r;
  std::size_t sent = 0;
  bool in_open = !input.empty(), out_open = true, err_open = true;
  if (!in_open) close(in[1]);
  char buf[65536];
  while (out_open || err_open) {
    pollfd fds[3];
    int n = 0, i_in = -1, i_out = -1, i_err = -1;
    if (in_open) { fds[n] = {in[1], POLLOUT, 0}; i_in = n++; }
    if (out_open) { fds[n] = {out[0], POLLIN, 0}; i_out = n++; }
    if (err_open) { fds[n] = {err[0], POLLIN, 0}; i_err = n++; }
    if (poll(fds, static_cast<nfds_t>(n), 20000) <= 0) break;  // hung: give up
    if (i_in >= 0 && (fds[i_in].revents & (POLLOUT | POLLERR | POLLHUP))) {
      const ssize_t w = write(in[1], input.data() + sent, input.size() - sent);
      if (w > 0) sent += static_cast<std::size_t>(w);
      if (w < 0 && errno != EAGAIN) sent = input.size();
      if (sent >= input.size()) { close(in[1]); in_open = false; }
    }
    auto drain = [&](int idx, int fd, std::string& to, bool& open) {
      if (idx < 0 || !(fds[idx].revents & (POLLIN | POLLHUP | POLLERR))) return;
      const ssize_t got = read(fd, buf, sizeof buf);
      if (got > 0) to.append(buf, static_cast<std::size_t>(got));
      else if (got == 0 || errno != EAGAIN) { close(fd); open = false; }
    };
    drain(i_out, out[0], r.out, out_open);
    drain(i_err, err[0], r.err, err_open);
  }
  if (in_open) close(in[1]);
  if (out_open) { kill(pid, SIGKILL); close(out[0]); }
  if (err_open) close(err[0]);
  int st = 0;
  waitpid(pid, &st, 0);
  r.status = WIFEXITED(st) ? WEXITSTATUS(st) : 128 + WTERMSIG(st);
  return r;
}

}  // namespace mttest
