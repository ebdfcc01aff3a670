#pragma once
// The per-unit connection that transfers work on. Transfers (free layout, fixed
// layouts, BINARY records, byte streams) use these record primitives; they never
// touch the file themselves.
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>

#include "common/io/outcome.h"
#include "common/io/units.h"

namespace io {

class Unit;

// The open unit with this number, or the standard unit 0, 5 or 6. A number that was
// never opened is a programming error: reported clearly, the program ends.
Unit& unit_for(int number);

class Unit {
 public:
  virtual ~Unit() = default;

  // Number shown in error reports (-1 console output, -4 console input, else the unit).
  virtual int report_number() const = 0;
  // Full path name shown in error reports ("stdin", "stdout", "stderr" for the console).
  virtual const std::string& path() const = 0;
  virtual Form form() const = 0;
  virtual bool big_endian() const = 0;

  // Text output: appends chars to the current line; end_line writes CR LF after them,
  // otherwise the line stays open and the next output continues it. A write failure
  // ends the program with error 38.
  virtual void write_text(std::string_view chars, bool end_line) = 0;

  // Text input: the next record, without its line end (a CR before LF dropped).
  // The view stays valid until the next operation on this unit. Returns kDone, kEnd
  // (no more records, or a record that is the one character Ctrl-Z), or an error
  // number; nothing is reported here.
  virtual Result read_line(std::string_view& line) = 0;

  // BINARY records: one call is one framed record.
  virtual void write_record(std::span<const std::byte> data) = 0;
  // Records ended by writes since the open: text lines given their line end, and
  // BINARY records. A transfer's count is the difference across it.
  virtual std::int64_t records_written() const = 0;
  // Reads the next record; the view stays valid until the next operation on this
  // unit. kEnd when no leading length word is there.
  virtual Result read_record(std::span<const std::byte>& data) = 0;

  // Byte stream: fills out completely, or returns kEnd when the bytes run out.
  virtual Result read_bytes(std::span<std::byte> out) = 0;

 protected:
  Unit() = default;
};

}  // namespace io
