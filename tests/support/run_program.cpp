#include "support/run_program.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <sstream>
#include <stdexcept>

namespace mttest {
namespace {

std::string resolve(const std::string& exe) {
  if (exe.find('/') != std::string::npos) return exe;
  return std::string(MT_BIN_DIR) + "/" + exe;
}

void set_nonblocking(int fd) { fcntl(fd, F_SETFL, fcntl(fd, F_GETFL) | O_NONBLOCK); }

}  // namespace

RunResult run_program(const std::string& exe, const std::vector<std::string>& args,
                      const std::string& stdin_text, const std::string& cwd) {
  int in[2], out[2], err[2];
  if (pipe(in) != 0 || pipe(out) != 0 || pipe(err) != 0) throw std::runtime_error("pipe");
  const std::string path = resolve(exe);
  std::vector<std::string> argv_store{path};
  argv_store.insert(argv_store.end(), args.begin(), args.end());
  std::vector<char*> argv;
  for (auto& a : argv_store) argv.push_back(a.data());
  argv.push_back(nullptr);

  pid_t pid = fork();
  if (pid < 0) throw std::runtime_error("fork");
  if (pid == 0) {
    dup2(in[0], 0);
    dup2(out[1], 1);
    dup2(err[1], 2);
    for (int fd : {in[0], in[1], out[0], out[1], err[0], err[1]}) close(fd);
    if (!cwd.empty() && chdir(cwd.c_str()) != 0) _exit(126);
    execv(path.c_str(), argv.data());
    _exit(127);
  }
  close(in[0]);
  close(out[1]);
  close(err[1]);
  signal(SIGPIPE, SIG_IGN);
  set_nonblocking(in[1]);
  set_nonblocking(out[0]);
  set_nonblocking(err[0]);

  RunResult r;
  std::size_t sent = 0;
  bool in_open = true, out_open = true, err_open = true;
  if (stdin_text.empty()) {
    close(in[1]);
    in_open = false;
  }
  char buf[65536];
  while (out_open || err_open) {
    pollfd fds[3];
    int n = 0;
    int idx_in = -1, idx_out = -1, idx_err = -1;
    if (in_open) { fds[n] = {in[1], POLLOUT, 0}; idx_in = n++; }
    if (out_open) { fds[n] = {out[0], POLLIN, 0}; idx_out = n++; }
    if (err_open) { fds[n] = {err[0], POLLIN, 0}; idx_err = n++; }
    if (poll(fds, n, 60000) <= 0) break;  // a hung program: give up after a minute idle
    if (idx_in >= 0 && (fds[idx_in].revents & (POLLOUT | POLLERR | POLLHUP))) {
      ssize_t w = write(in[1], stdin_text.data() + sent, stdin_text.size() - sent);
      if (w > 0) sent += std::size_t(w);
      if (w < 0 && errno != EAGAIN) sent = stdin_text.size();
      if (sent >= stdin_text.size()) { close(in[1]); in_open = false; }
    }
    auto drain = [&](int idx, int fd, std::string& to, bool& open) {
      if (idx < 0 || !(fds[idx].revents & (POLLIN | POLLHUP | POLLERR))) return;
      ssize_t got = read(fd, buf, sizeof buf);
      if (got > 0) to.append(buf, std::size_t(got));
      else if (got == 0 || errno != EAGAIN) { close(fd); open = false; }
    };
    drain(idx_out, out[0], r.out, out_open);
    drain(idx_err, err[0], r.err, err_open);
  }
  if (in_open) close(in[1]);
  if (out_open) { kill(pid, SIGKILL); close(out[0]); }
  if (err_open) close(err[0]);
  int st = 0;
  waitpid(pid, &st, 0);
  r.status = WIFEXITED(st) ? WEXITSTATUS(st) : 128 + WTERMSIG(st);
  return r;
}

TempDir::TempDir() {
  std::string tmpl = (std::filesystem::temp_directory_path() / "mttest-XXXXXX").string();
  if (!mkdtemp(tmpl.data())) throw std::runtime_error("mkdtemp");
  path_ = tmpl;
}

TempDir::~TempDir() {
  std::error_code ec;
  std::filesystem::remove_all(path_, ec);
}

std::string read_file(const std::filesystem::path& p) {
  std::ifstream f(p, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(f), {});
}

void write_file(const std::filesystem::path& p, const std::string& bytes) {
  std::ofstream f(p, std::ios::binary | std::ios::trunc);
  f.write(bytes.data(), std::streamsize(bytes.size()));
}

}  // namespace mttest
