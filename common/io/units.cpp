#include "common/io/units.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <map>
#include <memory>
#include <string>
#include <string_view>

#include "common/io/end.h"
#include "common/io/errors.h"
#include "common/io/failures.h"
#include "common/io/unit.h"

namespace io {
namespace {

constexpr int kDirectUnits = 1024;  // numbers below this are looked up by index

Unit::Setup console_setup(int fd, int number, int report_number, const char* name) {
  Unit::Setup s;
  s.fd = fd;
  s.number = number;
  s.report_number = report_number;
  s.path = name;
  s.console = true;
  return s;
}

// The open units. Created at first use and never destroyed, so that output written
// by other objects' destructors still has somewhere to go; the final write-out runs
// from an exit handler.
struct Registry {
  std::array<std::unique_ptr<Unit>, kDirectUnits> direct;
  std::map<int, std::unique_ptr<Unit>> other;
  Unit std_err{console_setup(STDERR_FILENO, 0, -1, "stderr")};
  Unit std_in{console_setup(STDIN_FILENO, 5, -4, "stdin")};
  Unit std_out{console_setup(STDOUT_FILENO, 6, -1, "stdout")};

  std::unique_ptr<Unit>* slot(int number, bool create) {
    if (number >= 0 && number < kDirectUnits) return &direct[static_cast<std::size_t>(number)];
    if (create) return &other[number];
    const auto it = other.find(number);
    return it == other.end() ? nullptr : &it->second;
  }

  Unit* file(int number) {
    std::unique_ptr<Unit>* s = slot(number, false);
    return s != nullptr ? s->get() : nullptr;
  }

  Unit* console(int number) {
    switch (number) {
      case 0: return &std_err;
      case 5: return &std_in;
      case 6: return &std_out;
      default: return nullptr;
    }
  }

  template <class F>
  void for_each_file(F f) {
    for (auto& u : direct)
      if (u) f(*u);
    for (auto& [number, u] : other)
      if (u) f(*u);
  }
};

void final_write_out();

Registry& registry() {
  static Registry* r = [] {
    auto* created = new Registry;
    std::atexit(final_write_out);
    return created;
  }();
  return *r;
}

// A program that returns from main still gets its output written out, and a failure
// then still makes the exit status a failure.
void final_write_out() { detail::end_at_exit(); }

// The file name held in a name field. Unlike field::trimmed, trailing NULs count as
// padding (a field never filled holds NULs) and leading blanks go too.
std::string_view file_name_in(std::string_view name_field) {
  constexpr std::string_view kPadding{" \0", 2};
  const auto last = name_field.find_last_not_of(kPadding);
  if (last == std::string_view::npos) return {};
  const std::string_view name = name_field.substr(0, last + 1);
  return name.substr(name.find_first_not_of(' '));
}

std::string full_path(std::string_view name) {
  if (!name.empty() && name.front() == '/') return std::string(name);
  std::array<char, PATH_MAX> cwd{};
  if (::getcwd(cwd.data(), cwd.size()) == nullptr) return std::string(name);
  std::string path(cwd.data());
  if (path.empty() || path.back() != '/') path += '/';
  path += name;
  return path;
}

int open_error(int err) {
  switch (err) {
    case ENOENT:
    case ENOTDIR: return kErrFileNotFound;
    case EACCES:
    case EPERM:
    case EROFS:
    case ETXTBSY: return kErrPermission;
    case EEXIST: return kErrCannotOverwrite;
    case ENAMETOOLONG:
    case EINVAL:
    case EILSEQ: return kErrFileName;
    case ENXIO:
    case ENODEV: return kErrNoDevice;
    default: return kErrOpenFailure;
  }
}

Result open_failed(int number, int unit, const std::string& path, Takes takes) {
  return settle(Result{number}, takes, unit, path);
}

void report_unit_failure(Unit& u, int number) { error_report(number, u.report_number(), u.path()); }

}  // namespace

Unit& unit_for(int number) {
  Registry& r = registry();
  if (Unit* u = r.file(number)) return *u;
  if (Unit* u = r.console(number)) return *u;
  detail::unit_not_open(number);
}

Result open(int unit, std::string_view name_given, const OpenSpec& spec, Takes takes) {
  const std::string_view name = file_name_in(name_given);
  const std::string path = full_path(name);
  close(unit);

  if (name.empty() || name.find('\0') != std::string_view::npos) {
    return open_failed(kErrFileName, unit, path, takes);
  }
  const std::string plain(name);
  int flags = O_RDWR | O_CLOEXEC;
  if (spec.status == OpenStatus::new_file) flags |= O_CREAT | O_EXCL;
  if (spec.status == OpenStatus::unknown) flags |= O_CREAT;
  // Appends go to the true end of the file at each write, even when another program
  // appended since the open.
  if (spec.append) flags |= O_APPEND;
  int fd = ::open(plain.c_str(), flags, 0666);
  int err = errno;
  if (fd < 0 && spec.reads_only && (err == EACCES || err == EROFS || err == EPERM) &&
      spec.status != OpenStatus::new_file) {
    // A file the program only reads is still opened when it may only be read.
    const int fd_read = ::open(plain.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd_read >= 0) fd = fd_read;
  }
  if (fd < 0) return open_failed(open_error(err), unit, path, takes);

  struct stat st {};
  if (::fstat(fd, &st) != 0 || S_ISDIR(st.st_mode)) {
    ::close(fd);
    return open_failed(kErrOpenFailure, unit, path, takes);
  }
  Unit::Setup s;
  s.fd = fd;
  s.number = unit;
  s.report_number = unit;
  s.path = path;
  s.form = spec.form;
  s.big_endian = spec.big_endian;
  s.regular = S_ISREG(st.st_mode);
  s.output = spec.output;
  s.append = spec.append;
  s.seekable = S_ISREG(st.st_mode) || S_ISBLK(st.st_mode);
  auto created = std::make_unique<Unit>(std::move(s));
  if (spec.append) {
    created->position_at_end();
  } else {
    created->cut_at_next_write();
  }
  *registry().slot(unit, true) = std::move(created);
  return kDone;
}

bool exists(std::string_view name_given) {
  const std::string name(file_name_in(name_given));
  if (name.empty() || name.find('\0') != std::string::npos) return false;
  struct stat st {};
  return ::stat(name.c_str(), &st) == 0 && !S_ISDIR(st.st_mode);
}

bool is_open(int unit) { return registry().file(unit) != nullptr; }

Result close(int unit, Takes takes) {
  Registry& r = registry();
  std::unique_ptr<Unit>* s = r.slot(unit, false);
  if (s != nullptr && *s) {
    std::unique_ptr<Unit> u = std::move(*s);
    if (u->close_file()) return kDone;
    if (takes_errors(takes)) return Result{kErrWrite};
    detail::write_failure(u->report_number(), u->path());
  }
  if (Unit* console = r.console(unit)) {
    if (console->flush()) return kDone;
    if (takes_errors(takes)) return Result{kErrWrite};
    detail::write_failure(console->report_number(), console->path());
  }
  return kDone;
}

void close(int unit) { close(unit, Takes::neither); }

void rewind(int unit) {
  Registry& r = registry();
  Unit* u = r.file(unit);
  if (u == nullptr) u = r.console(unit);
  if (u == nullptr) return;
  if (const int failed = u->rewind()) report_unit_failure(*u, failed);
}

void backspace(int unit) {
  Registry& r = registry();
  Unit* u = r.file(unit);
  if (u == nullptr) u = r.console(unit);
  if (u == nullptr) return;
  if (const int failed = u->backspace()) report_unit_failure(*u, failed);
}

std::int64_t records_written(int unit) { return unit_for(unit).records_written(); }

void write_out(int unit) {
  Registry& r = registry();
  Unit* u = r.file(unit);
  if (u == nullptr) u = r.console(unit);
  if (u != nullptr && !u->flush()) detail::write_failure(u->report_number(), u->path());
}

void hold_writes(int unit) {
  Unit* u = registry().file(unit);
  if (u == nullptr) detail::unit_not_open(unit);
  u->hold();
}

Result write_held(int unit, Takes takes) {
  Unit* u = registry().file(unit);
  if (u == nullptr) detail::unit_not_open(unit);
  if (u->write_held()) return kDone;
  if (takes_errors(takes)) return Result{kErrWrite};
  detail::write_failure(u->report_number(), u->path());
  return Result{kErrWrite};  // only while the program is ending already
}

void flush_all() {
  Registry& r = registry();
  r.for_each_file([](Unit& u) {
    if (!u.flush()) detail::write_failure(u.report_number(), u.path());
  });
  for (Unit* u : {&r.std_out, &r.std_err}) {
    if (!u->flush()) detail::write_failure(u->report_number(), u->path());
  }
}

void detail::discard_outputs() {
  registry().for_each_file([](Unit& u) { u.discard_output(); });
}

void close_all() {
  Registry& r = registry();
  r.for_each_file([](Unit& u) {
    if (!u.close_file()) detail::write_failure(u.report_number(), u.path());
  });
  flush_all();  // the console streams stay, written out
  for (auto& u : r.direct) u.reset();
  r.other.clear();
}

}  // namespace io
