#include "support/run_program.h"

#include <signal.h>
#include <sys/resource.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <optional>
#include <stdexcept>

namespace mttest {
namespace {

std::string resolve(const std::string& exe) {
  if (exe.find('/') != std::string::npos) return exe;
  return std::string(MT_BIN_DIR) + "/" + exe;
}

RunResult run(const std::string& exe, const std::vector<std::string>& args,
              const std::string& stdin_text, const std::string& cwd,
              std::optional<std::uint64_t> file_size_limit) {
  const std::string path = resolve(exe);
  std::vector<std::string> argv_store{path};
  argv_store.insert(argv_store.end(), args.begin(), args.end());
  std::vector<char*> argv;
  for (auto& a : argv_store) argv.push_back(a.data());
  argv.push_back(nullptr);

  Child child([&] {
    if (file_size_limit) limit_file_size(*file_size_limit);
    if (!cwd.empty() && ::chdir(cwd.c_str()) != 0) ::_exit(126);
    ::execv(path.c_str(), argv.data());
    ::_exit(127);
  });
  return child.finish(stdin_text);
}

}  // namespace

void limit_file_size(std::uint64_t bytes) {
  ::signal(SIGXFSZ, SIG_IGN);
  const rlimit limit{bytes, bytes};
  if (::setrlimit(RLIMIT_FSIZE, &limit) != 0) ::_exit(126);
}

RunResult run_program(const std::string& exe, const std::vector<std::string>& args,
                      const std::string& stdin_text, const std::string& cwd) {
  return run(exe, args, stdin_text, cwd, std::nullopt);
}

RunResult run_program_on_small_disk(const std::string& exe, const std::vector<std::string>& args,
                                    const std::string& stdin_text, const std::string& cwd,
                                    std::uint64_t bytes) {
  return run(exe, args, stdin_text, cwd, bytes);
}

TempDir::TempDir() {
  std::string tmpl = (std::filesystem::temp_directory_path() / "mttest-XXXXXX").string();
  if (!mkdtemp(tmpl.data()))
    throw std::runtime_error("mkdtemp " + tmpl + ": " + std::strerror(errno));
  // The programs name their files from getcwd(), which resolves symbolic links, "."
  // and "..": a temporary directory reached otherwise would never match their words.
  path_ = std::filesystem::canonical(tmpl);
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
