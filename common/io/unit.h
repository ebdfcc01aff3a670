#pragma once
// A unit: the connection that one unit number names, to an opened file or to one of
// the console streams. Transfers (free layout, fixed layouts, BINARY records, byte
// streams) work through its record primitives and never touch the file themselves.
// One buffer per unit serves reading and writing; a switch between the two writes out
// what is pending first.
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <type_traits>
#include <vector>

#include "common/io/outcome.h"
#include "common/io/units.h"

namespace io {

class Unit;

// The open unit with this number, or the standard unit 0, 5 or 6. A number that was
// never opened is a programming error: reported clearly, the program ends.
Unit& unit_for(int number);

class Unit {
 public:
  struct Setup {
    int fd = -1;
    int number = 0;         // the unit number the program uses
    int report_number = 0;  // the number shown in error reports
    std::string path;       // full path name, or the console device name
    Form form = Form::text;
    bool big_endian = true;
    bool console = false;   // a standard stream: never closed, never positioned
    bool seekable = false;  // positioned reads and writes (regular files)
    bool regular = false;   // may be cut off (truncated)
    bool output = false;    // cut back to nothing when the run fails (OpenSpec::output)
    bool append = false;    // opened for appending: every write goes to the file's end
  };

  explicit Unit(Setup setup);
  ~Unit();  // closes the descriptor; does not write out (see close_file)
  Unit(const Unit&) = delete;
  Unit& operator=(const Unit&) = delete;

  // Number shown in error reports (-1 console output, -4 console input, else the unit).
  int report_number() const { return report_number_; }
  // Full path name shown in error reports ("stdin", "stdout", "stderr" for the console).
  const std::string& path() const { return path_; }
  Form form() const { return form_; }
  bool big_endian() const { return big_endian_; }
  int number() const { return number_; }
  bool console() const { return console_; }

  // The record primitives of the transfers.

  // Text output: appends chars to the current line; end_line writes CR LF after them,
  // otherwise the line stays open and the next output continues it. A write failure
  // ends the program with error 38.
  void write_text(std::string_view chars, bool end_line);

  // Text input: the next record, without its line end (a CR before LF dropped).
  // The view stays valid until the next operation on this unit. Returns kDone, kEnd
  // (no more records, or a record that is the one character Ctrl-Z), or an error
  // number; nothing is reported here.
  Result read_line(std::string_view& line);

  // BINARY records: one call is one framed record.
  void write_record(std::span<const std::byte> data);
  // Records ended by writes since the open: text lines given their line end, and
  // BINARY records. A transfer's count is the difference across it.
  std::int64_t records_written() const { return records_written_; }
  // Reads the next record; the view stays valid until the next operation on this
  // unit. kEnd when no leading length word is there.
  Result read_record(std::span<const std::byte>& data);

  // Byte stream: fills out completely, or returns kEnd when the bytes run out.
  Result read_bytes(std::span<std::byte> out);

  // What the unit table (units.cpp) does with a unit.

  // Writes out the pending bytes; false when the write failed (the bytes are dropped
  // so that a failing device is reported once, not retried forever).
  bool flush();
  // Positions at the end of the file (appending); a text file whose last line has no
  // line end gets one before the next text record.
  void position_at_end();
  // The next record written becomes the file's last one.
  void cut_at_next_write() { cut_pending_ = true; }
  // Start of the file / start of the record before the position. Return an error
  // number (20 / 23) or 0; a console stream is left as it is.
  int rewind();
  int backspace();
  // Writes out and closes the descriptor (not for a console stream); false when
  // writing out failed, and then an output is cut back to nothing before it closes.
  bool close_file();
  // The run is failing: an output that has been written to drops what it holds and
  // is cut back to nothing. Any other unit is left as it is.
  void discard_output();
  // From now on what is written stays in the buffer, however much it is, until
  // write_held writes it with one write. Held bytes that a close (a program end)
  // meets instead are dropped: nothing of them reaches the file.
  void hold() { held_ = true; }
  // Writes the held bytes with one write; false when that write fails or is short,
  // and then the bytes it wrote are cut off again, provided the file still ends
  // where they end (nothing was appended since).
  bool write_held();

 private:
  enum class Mode { idle, reading, writing };

  std::int64_t position() const {
    return buf_pos_ + static_cast<std::int64_t>(mode_ == Mode::writing ? wlen_ : rpos_);
  }
  void start_write();
  bool start_read();
  void set_position(std::int64_t pos);
  void put(std::span<const char> bytes);
  void reserve_unread(std::size_t n);
  long fill();  // reads more bytes behind the unread ones; bytes read, 0 at end, -1 failure
  // At least n unread bytes in the buffer: 1 yes, 0 the file ends first, -1 failure.
  int ensure(std::size_t n);
  void write_failed();
  void grow(std::size_t size);
  void undo_write(std::int64_t start, std::int64_t length);
  bool read_at(std::int64_t offset, std::span<char> out);
  int backspace_text(std::int64_t pos);
  int backspace_binary(std::int64_t pos);
  void encode_length(std::uint32_t length, std::span<char, 4> word) const;
  std::uint32_t decode_length(std::span<const char, 4> word) const;

  int fd_;
  int number_;
  int report_number_;
  std::string path_;
  Form form_;
  bool big_endian_;
  bool console_;
  bool seekable_;
  bool regular_;
  bool output_;
  bool append_;

  Mode mode_ = Mode::idle;
  std::vector<char> buf_;
  std::int64_t buf_pos_ = 0;  // file offset of buf_[0]
  std::size_t rpos_ = 0;      // reading: next unread byte
  std::size_t rend_ = 0;      // reading: end of the valid bytes
  std::size_t wlen_ = 0;      // writing: pending bytes
  bool cut_pending_ = false;
  bool written_ = false;        // a write has started since the open
  bool need_line_end_ = false;  // the file's last line has no line end yet
  bool held_ = false;           // writes are held for one write (hold)
  std::int64_t records_written_ = 0;
};

// One kind of unit serves opened files and the console streams alike: the record
// primitives are plain calls, not dispatched through an interface.
static_assert(!std::is_polymorphic_v<Unit>);

}  // namespace io
