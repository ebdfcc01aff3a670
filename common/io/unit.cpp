#include "common/io/unit.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <utility>

#include "common/io/end.h"
#include "common/io/errors.h"
#include "common/io/failures.h"
#include "common/io/units.h"

namespace io {
namespace {

constexpr std::size_t kBufferSize = 64 * 1024;
constexpr char kCtrlZ = 26;
// Longest text line or BINARY record taken: a damaged length word or a file without
// line ends must not make the unit claim all memory.
constexpr std::size_t kMaxRecord = std::size_t{1} << 28;
constexpr std::string_view kLineEnd = "\r\n";

bool write_all(int fd, bool positioned, std::int64_t offset, std::span<const char> bytes) {
  while (!bytes.empty()) {
    const ssize_t n = positioned ? ::pwrite(fd, bytes.data(), bytes.size(), offset)
                                 : ::write(fd, bytes.data(), bytes.size());
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    bytes = bytes.subspan(static_cast<std::size_t>(n));
    offset += n;
  }
  return true;
}

}  // namespace

Unit::Unit(Setup s)
    : fd_(s.fd),
      number_(s.number),
      report_number_(s.report_number),
      path_(std::move(s.path)),
      form_(s.form),
      big_endian_(s.big_endian),
      console_(s.console),
      seekable_(s.seekable),
      regular_(s.regular),
      output_(s.output),
      append_(s.append),
      buf_(kBufferSize) {}

Unit::~Unit() {
  if (!console_ && fd_ >= 0) ::close(fd_);
}

bool Unit::flush() {
  if (held_ || mode_ != Mode::writing || wlen_ == 0) return true;
  const bool ok = write_all(fd_, seekable_, buf_pos_, std::span<const char>(buf_).first(wlen_));
  buf_pos_ += static_cast<std::int64_t>(wlen_);
  wlen_ = 0;
  return ok;
}

void Unit::write_failed() { detail::write_failure(report_number_, path_); }

void Unit::start_write() {
  if (mode_ == Mode::reading) buf_pos_ += static_cast<std::int64_t>(rpos_);
  rpos_ = rend_ = 0;
  wlen_ = 0;
  mode_ = Mode::writing;
  written_ = true;
  if (cut_pending_) {
    cut_pending_ = false;
    if (regular_ && ::ftruncate(fd_, buf_pos_) != 0) write_failed();
  }
}

bool Unit::start_read() {
  if (mode_ == Mode::reading) return true;
  bool ok = true;
  if (mode_ == Mode::writing && !flush()) {
    ok = false;
    write_failed();
  }
  mode_ = Mode::reading;
  rpos_ = rend_ = 0;
  return ok;
}

void Unit::set_position(std::int64_t pos) {
  if (mode_ == Mode::reading && pos >= buf_pos_ &&
      pos <= buf_pos_ + static_cast<std::int64_t>(rend_)) {
    rpos_ = static_cast<std::size_t>(pos - buf_pos_);
  } else {
    mode_ = Mode::idle;
    buf_pos_ = pos;
    rpos_ = rend_ = wlen_ = 0;
  }
  cut_pending_ = true;
  need_line_end_ = false;
}

void Unit::grow(std::size_t size) { buf_.resize(std::max(size, buf_.size() * 2)); }

void Unit::put(std::span<const char> bytes) {
  if (bytes.size() > buf_.size() - wlen_ && held_) grow(wlen_ + bytes.size());
  if (bytes.size() > buf_.size() - wlen_) {
    if (!flush()) write_failed();
    if (bytes.size() > buf_.size()) {
      if (!write_all(fd_, seekable_, buf_pos_, bytes)) write_failed();
      buf_pos_ += static_cast<std::int64_t>(bytes.size());
      return;
    }
  }
  std::copy(bytes.begin(), bytes.end(), buf_.begin() + static_cast<std::ptrdiff_t>(wlen_));
  wlen_ += bytes.size();
}

void Unit::write_text(std::string_view chars, bool end_line) {
  if (mode_ != Mode::writing) start_write();
  if (need_line_end_) {
    // The file's last line had no line end: close it so the new record stands alone.
    need_line_end_ = false;
    put(kLineEnd);
  }
  put(chars);
  if (end_line) {
    put(kLineEnd);
    ++records_written_;
  }
}

void Unit::reserve_unread(std::size_t n) {
  if (buf_.size() - rpos_ >= n) return;
  if (rpos_ > 0) {
    std::copy(buf_.begin() + static_cast<std::ptrdiff_t>(rpos_),
              buf_.begin() + static_cast<std::ptrdiff_t>(rend_), buf_.begin());
    buf_pos_ += static_cast<std::int64_t>(rpos_);
    rend_ -= rpos_;
    rpos_ = 0;
  }
  if (buf_.size() < n) buf_.resize(std::max(n, buf_.size() * 2));
}

long Unit::fill() {
  if (rend_ == buf_.size()) reserve_unread(rend_ - rpos_ + 1);
  for (;;) {
    const std::size_t room = buf_.size() - rend_;
    const std::int64_t offset = buf_pos_ + static_cast<std::int64_t>(rend_);
    char* const dest = buf_.data() + rend_;
    const ssize_t n = seekable_ ? ::pread(fd_, dest, room, offset) : ::read(fd_, dest, room);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) return -1;
    rend_ += static_cast<std::size_t>(n);
    return static_cast<long>(n);
  }
}

int Unit::ensure(std::size_t n) {
  if (rend_ - rpos_ >= n) return 1;
  reserve_unread(n);
  while (rend_ - rpos_ < n) {
    const long got = fill();
    if (got < 0) return -1;
    if (got == 0) return 0;
  }
  return 1;
}

Result Unit::read_line(std::string_view& line) {
  if (console_) flush_all();  // the prompt and all other output are on screen first
  if (mode_ != Mode::reading) start_read();
  std::size_t scanned = 0;  // unread bytes already searched for the line end
  std::size_t start = 0;
  std::size_t length = 0;
  bool ended_by_lf = true;
  for (;;) {
    const auto first = buf_.begin() + static_cast<std::ptrdiff_t>(rpos_ + scanned);
    const auto last = buf_.begin() + static_cast<std::ptrdiff_t>(rend_);
    const auto lf = std::find(first, last, '\n');
    if (lf != last) {
      start = rpos_;
      length = static_cast<std::size_t>(lf - buf_.begin()) - rpos_;
      rpos_ += length + 1;
      break;
    }
    scanned = rend_ - rpos_;
    if (scanned >= kMaxRecord) return Result{kErrRead};
    const long got = fill();
    if (got < 0) return Result{kErrRead};
    if (got == 0) {
      if (rpos_ == rend_) return kEnd;
      start = rpos_;
      length = rend_ - rpos_;
      rpos_ = rend_;
      ended_by_lf = false;
      if (form_ == Form::text) need_line_end_ = true;
      break;
    }
  }
  if (ended_by_lf && length > 0 && buf_[start + length - 1] == '\r') --length;
  if (length == 1 && buf_[start] == kCtrlZ) {
    // The end-of-file mark: stay before it, so that records written next replace it.
    rpos_ = start;
    need_line_end_ = false;
    return kEnd;
  }
  line = std::string_view(buf_.data() + start, length);
  return kDone;
}

void Unit::encode_length(std::uint32_t length, std::span<char, 4> word) const {
  for (int i = 0; i < 4; ++i) {
    const int shift = big_endian_ ? 8 * (3 - i) : 8 * i;
    word[static_cast<std::size_t>(i)] = static_cast<char>((length >> shift) & 0xFFu);
  }
}

std::uint32_t Unit::decode_length(std::span<const char, 4> word) const {
  std::uint32_t length = 0;
  for (int i = 0; i < 4; ++i) {
    const int shift = big_endian_ ? 8 * (3 - i) : 8 * i;
    length |= std::uint32_t{static_cast<unsigned char>(word[static_cast<std::size_t>(i)])} << shift;
  }
  return length;
}

void Unit::write_record(std::span<const std::byte> data) {
  if (mode_ != Mode::writing) start_write();
  if (data.size() > kMaxRecord) error_report(kErrRecordOverflow, report_number_, path_);
  const std::size_t total = data.size() + 8;
  if (buf_.size() - wlen_ < total && held_) grow(wlen_ + total);
  if (buf_.size() - wlen_ < total) {
    if (!flush()) write_failed();
    if (buf_.size() < total) buf_.resize(total);
  }
  const auto length = static_cast<std::uint32_t>(data.size());
  std::span<char> out = std::span<char>(buf_).subspan(wlen_, total);
  encode_length(length, out.first<4>());
  std::copy(data.begin(), data.end(), reinterpret_cast<std::byte*>(out.data() + 4));
  encode_length(length, out.last<4>());
  wlen_ += total;
  ++records_written_;
}

Result Unit::read_record(std::span<const std::byte>& data) {
  if (mode_ != Mode::reading) start_read();
  const int head = ensure(4);
  if (head < 0) return Result{kErrRead};
  if (head == 0) {
    rpos_ = rend_;  // no whole length word: the records have ended
    return kEnd;
  }
  const std::span<const char> unread = std::span<const char>(buf_).subspan(rpos_, rend_ - rpos_);
  const std::uint32_t length = decode_length(unread.first<4>());
  if (length > kMaxRecord) return Result{kErrRead};
  const std::size_t total = std::size_t{length} + 8;
  if (rend_ - rpos_ < total) {
    if (regular_ && total > buf_.size()) {
      struct stat st {};
      if (::fstat(fd_, &st) != 0 ||
          position() + static_cast<std::int64_t>(total) > static_cast<std::int64_t>(st.st_size)) {
        rpos_ = rend_;
        return Result{kErrRead};
      }
    }
    if (ensure(total) != 1) {
      rpos_ = rend_;  // a record cut short: damaged file
      return Result{kErrRead};
    }
  }
  const std::span<const char> record = std::span<const char>(buf_).subspan(rpos_, total);
  if (decode_length(record.last<4>()) != length) {
    rpos_ += total;
    return Result{kErrRead};
  }
  data = std::as_bytes(record.subspan(4, length));
  rpos_ += total;
  return kDone;
}

Result Unit::read_bytes(std::span<std::byte> out) {
  if (mode_ != Mode::reading) start_read();
  while (!out.empty()) {
    if (rpos_ == rend_) {
      const long got = fill();
      if (got < 0) return Result{kErrRead};
      if (got == 0) return kEnd;
    }
    const std::size_t k = std::min(rend_ - rpos_, out.size());
    const auto from = std::as_bytes(std::span<const char>(buf_).subspan(rpos_, k));
    std::copy(from.begin(), from.end(), out.begin());
    rpos_ += k;
    out = out.subspan(k);
  }
  return kDone;
}

bool Unit::read_at(std::int64_t offset, std::span<char> out) {
  while (!out.empty()) {
    const ssize_t n = ::pread(fd_, out.data(), out.size(), offset);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    out = out.subspan(static_cast<std::size_t>(n));
    offset += n;
  }
  return true;
}

void Unit::position_at_end() {
  if (!seekable_) return;
  const off_t end = ::lseek(fd_, 0, SEEK_END);
  if (end < 0) return;
  mode_ = Mode::idle;
  buf_pos_ = end;
  rpos_ = rend_ = wlen_ = 0;
  std::array<char, 1> last{};
  if (form_ == Form::text && end > 0 && read_at(end - 1, last) && last[0] != '\n') {
    need_line_end_ = true;
  }
}

int Unit::rewind() {
  if (!flush()) write_failed();
  if (console_) return 0;
  if (!seekable_) return kErrRewind;
  mode_ = Mode::idle;
  buf_pos_ = 0;
  rpos_ = rend_ = wlen_ = 0;
  cut_pending_ = true;
  need_line_end_ = false;
  return 0;
}

int Unit::backspace() {
  if (!flush()) write_failed();
  if (console_) return 0;
  if (!seekable_) return kErrBackspace;
  const std::int64_t pos = position();
  if (pos == 0) return 0;
  return form_ == Form::binary ? backspace_binary(pos) : backspace_text(pos);
}

int Unit::backspace_text(std::int64_t pos) {
  // Bytes before the position come from the read buffer when it holds them, else
  // from the file in chunks read backwards.
  std::array<char, 4096> chunk{};
  std::int64_t chunk_start = 0;
  std::int64_t chunk_end = 0;  // empty
  const auto byte_at = [&](std::int64_t off, char& c) {
    if (mode_ == Mode::reading && off >= buf_pos_ &&
        off < buf_pos_ + static_cast<std::int64_t>(rend_)) {
      c = buf_[static_cast<std::size_t>(off - buf_pos_)];
      return true;
    }
    if (off < chunk_start || off >= chunk_end) {
      chunk_start = std::max<std::int64_t>(0, off + 1 - static_cast<std::int64_t>(chunk.size()));
      chunk_end = off + 1;
      if (!read_at(chunk_start, std::span<char>(chunk).first(
                                    static_cast<std::size_t>(chunk_end - chunk_start)))) {
        chunk_end = chunk_start;
        return false;
      }
    }
    c = chunk[static_cast<std::size_t>(off - chunk_start)];
    return true;
  };
  std::int64_t end = pos;
  char c = 0;
  if (!byte_at(end - 1, c)) return kErrBackspace;
  if (c == '\n') --end;  // the line end of the record stepped over
  std::int64_t start = 0;
  for (std::int64_t i = end - 1; i >= 0; --i) {
    if (!byte_at(i, c)) return kErrBackspace;
    if (c == '\n') {
      start = i + 1;
      break;
    }
  }
  set_position(start);
  return 0;
}

int Unit::backspace_binary(std::int64_t pos) {
  if (pos < 8) return kErrBackspace;
  std::array<char, 4> word{};
  if (mode_ == Mode::reading && pos - 4 >= buf_pos_ &&
      pos <= buf_pos_ + static_cast<std::int64_t>(rend_)) {
    const auto from =
        std::span<const char>(buf_).subspan(static_cast<std::size_t>(pos - 4 - buf_pos_), 4);
    std::copy(from.begin(), from.end(), word.begin());
  } else if (!read_at(pos - 4, word)) {
    return kErrBackspace;
  }
  const std::int64_t length = decode_length(word);
  if (length + 8 > pos) return kErrBackspace;
  set_position(pos - 8 - length);
  return 0;
}

bool Unit::close_file() {
  if (held_) {
    held_ = false;
    wlen_ = 0;  // an append that never got its one write leaves nothing behind
  }
  bool ok = flush();
  if (!ok) discard_output();
  mode_ = Mode::idle;
  if (!console_ && fd_ >= 0) {
    if (::close(fd_) != 0 && errno != EINTR) ok = false;
    fd_ = -1;
  }
  return ok;
}

void Unit::discard_output() {
  if (!output_ || !written_ || !regular_ || fd_ < 0) return;
  mode_ = Mode::idle;
  buf_pos_ = 0;
  rpos_ = rend_ = wlen_ = 0;
  // Cut in place, never replaced by another file: a link stays a link. A cut that
  // fails has nowhere left to be reported: the run is failing already.
  [[maybe_unused]] const int ignored = ::ftruncate(fd_, 0);
}

bool Unit::write_held() {
  held_ = false;
  if (mode_ != Mode::writing || wlen_ == 0) return true;
  const std::span<const char> bytes = std::span<const char>(buf_).first(wlen_);
  wlen_ = 0;
  ssize_t n = -1;
  do {
    n = seekable_ && !append_ ? ::pwrite(fd_, bytes.data(), bytes.size(), buf_pos_)
                              : ::write(fd_, bytes.data(), bytes.size());
  } while (n < 0 && errno == EINTR);
  if (n == static_cast<ssize_t>(bytes.size())) {
    buf_pos_ += n;
    return true;
  }
  if (n > 0 && append_ && regular_) {
    // The offset of an appending descriptor stands at the end of what it just wrote.
    const off_t end = ::lseek(fd_, 0, SEEK_CUR);
    if (end >= n) undo_write(end - n, n);
  }
  return false;
}

void Unit::undo_write(std::int64_t start, std::int64_t length) {
  struct stat st {};
  // A file that grew behind these bytes holds another program's line: it is left.
  if (::fstat(fd_, &st) != 0 || st.st_size != start + length) return;
  // The run fails either way: a cut that fails has nothing left to report.
  [[maybe_unused]] const int ignored = ::ftruncate(fd_, start);
}

}  // namespace io
