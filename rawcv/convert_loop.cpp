// The conversion loop: samples from input1d into ts records (unit 10) and, at each
// new housekeeping stamp, aux records (unit 11); the optional read-back check; the
// report of what was written; then the window record and the end of the program.
#include <algorithm>
#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <string_view>

#include "common/edit/fixed.h"
#include "common/edit/free.h"
#include "common/edit/layout.h"
#include "common/io/units.h"
#include "common/printlevel.h"
#include "common/text_field.h"
#include "common/timelib.h"
#include "rawcv/driver.h"
#include "rawcv/input1d.h"
#include "rawcv/rawhdr.h"
#include "tslib/counts.h"
#include "tslib/data_record.h"
#include "tslib/tsinfo.h"

namespace rawcv {

namespace {

using io::FreeWriter;

constexpr int kAuxValues = 3;  // Ti, Th, Bt

constexpr io::Item kCountLine[] = {io::lay::A(), io::lay::I(10)};
constexpr io::Item kTextLine[] = {io::lay::A(), io::lay::A()};
constexpr io::Item kPlainLine[] = {io::lay::A()};

// One ts record and its aux record in the making, row after row.
class RecordWriter {
 public:
  RecordWriter(const ConverterState& state, int nchan)
      : state_(state), nchan_(nchan), seq_rec_(state.seq_rec), verify_(state.verify) {}

  void put_row(int row, std::span<const float> dat) {
    std::copy_n(dat.begin(), nchan_, ts_.begin() + (row - 1) * nchan_);
    std::copy_n(dat.begin() + nchan_ + 3, kAuxValues, aux_.begin() + (row - 1) * kAuxValues);
  }

  // Writes the record of `filled` rows (and the aux record when stamp is set) and,
  // when verifying, reads its first sample back; npt is the sample count so far.
  // Returns the samples written.
  std::int32_t finish(int filled, bool stamp, std::int32_t npt) {
    write(filled, stamp);
    if (verify_) verify(npt);
    return filled;
  }

 private:
  // Writes the ts record of `filled` rows and, when stamp is set, the aux record.
  void write(int filled, bool stamp) {
    const ConverterState& s = state_;
    if (verify_) ts_records_before_ = io::records_written(kTsUnit);
    if (s.ascii) {
      tslib::write_data_record(kTsUnit, first_ts(), form());
      if (stamp)
        tslib::write_data_record(kAuxUnit, std::span<const float>(aux_.data(), kAuxValues), form());
      return;
    }
    if (filled < seq_rec_) {  // rows that no sample filled
      std::fill(ts_.begin() + filled * nchan_, ts_.begin() + seq_rec_ * nchan_,
                tslib::kMissingData);
      std::fill(aux_.begin() + filled * kAuxValues, aux_.begin() + seq_rec_ * kAuxValues,
                tslib::kMissingData);
    }
    tslib::write_data_record(
        kTsUnit, std::span<const float>(ts_.data(), std::size_t(seq_rec_ * nchan_)), form());
    if (stamp)
      tslib::write_data_record(
          kAuxUnit, std::span<const float>(aux_.data(), std::size_t(seq_rec_ * kAuxValues)),
          form());
  }

  // Steps unit 10 back over the records of the last ts write (a format text may lay
  // one sample over several lines), reads the first sample and compares it.
  void verify(std::int32_t npt) {
    std::array<float, kDatSize> datv{};
    const std::span<float> back(datv.data(), std::size_t(nchan_));
    // A write that ended no line (no-line-end item) still steps back to its line's start.
    const std::int64_t steps =
        std::max<std::int64_t>(1, io::records_written(kTsUnit) - ts_records_before_);
    for (std::int64_t k = 0; k < steps; ++k) io::backspace(kTsUnit);
    tslib::read_data_record(kTsUnit, back, form(), io::Takes::neither);
    const std::span<const float> written = first_ts();
    if (std::equal(written.begin(), written.end(), back.begin())) return;
    FreeWriter(6) << "Verification error !!!!!   npt =" << npt;
    FreeWriter(6) << "dat   :" << written;
    FreeWriter(6) << "datv  :" << std::span<const float>(back);
  }

  std::span<const float> first_ts() const { return {ts_.data(), std::size_t(nchan_)}; }

  // The form of both files' records; a format text is parsed at the first record.
  tslib::RecordForm form() {
    if (!form_)
      form_ = state_.ascii ? tslib::text_records(field::trimmed(state_.format_text), kTsUnit)
                           : tslib::kBinaryRecords;
    return *form_;
  }

  const ConverterState& state_;
  int nchan_;
  int seq_rec_;
  bool verify_;
  std::int64_t ts_records_before_ = 0;  // unit 10's record count before the last ts write
  std::optional<tslib::RecordForm> form_;
  std::array<float, kMaxSeqRec * 5> ts_{};
  std::array<float, kMaxSeqRec * kAuxValues> aux_{};
};

void announce_drop(std::int32_t drop) {
  FreeWriter(6) << " ";
  FreeWriter(6) << "DROPPING FIRST" << drop << "  DATA POINTS";
  FreeWriter(6) << " ";
}

// Samples from input1d into records, the first s.drop of them dropped, until s.ndata
// are counted or input1d reports the end. Returns the samples written.
std::int32_t convert_samples(ConverterState& s) {
  const int nchan = rawhdr.nchan;
  const bool trace = prtlvl.iprint >= 3;
  RecordWriter records(s, nchan);
  std::array<float, kDatSize> dat{};
  std::int32_t status = 0;
  std::int32_t count = 0;    // samples from input1d, the dropped ones included
  std::int32_t written = 0;  // samples in ts records written
  std::int32_t next = s.next;
  std::int32_t previous_next = next;
  bool stamp = false;  // a new stamp came with a row of the record in the making
  int filled = 0;      // rows of the record in the making

  for (;;) {
    input1d(s.reader, kRawUnit, s.box, dat, status, s.request, next);
    ++count;
    if (status < 0) break;
    if (count <= s.drop) continue;
    if (next != previous_next) {
      stamp = true;
      if (trace)
        FreeWriter(6) << "Ti, Th & battery "
                      << std::span<const float>(dat.data() + nchan + 3, kAuxValues);
    }
    previous_next = next;
    if (trace)
      FreeWriter(6) << "Input dat =>" << std::span<const float>(dat.data(), std::size_t(nchan));
    filled = (count - s.drop - 1) % s.seq_rec + 1;
    records.put_row(filled, dat);
    if (filled < s.seq_rec && count < s.ndata) continue;
    written += records.finish(filled, stamp, count);
    stamp = false;
    filled = 0;
    if (count >= s.ndata) break;
  }
  // A record that the end of the data cut short is kept, its empty rows missing data.
  if (filled > 0) written += records.finish(filled, stamp, count);
  return written;
}

// The report of the samples written and of where they end; returns that end.
timelib::Timestr report_actual_end(const ConverterState& s, std::int32_t written) {
  io::FixedWriter(6, kCountLine) << "Number of points written: " << written;
  const std::int32_t seconds =
      tslib::nearest_int32(static_cast<double>(written) / static_cast<double>(rawhdr.delta));
  const timelib::Timestr actual_end = nowtim(field::view(s.stime), 0, 0, 0, seconds);
  const std::string_view end_text = field::view(actual_end);
  if (prtlvl.iprint > 0) {
    io::FixedWriter(6, kCountLine) << "Actual length in seconds = " << seconds;
    io::FixedWriter(6, kTextLine) << "Actual end time = " << end_text;
  }
  if (!field::equals(s.etime, end_text)) {
    io::FixedWriter(6, kTextLine) << "Number of points LESS than expected: end time =" << end_text;
    io::FixedWriter(6, kPlainLine) << "ENDTIME in ts file is incorrect";
  }
  return actual_end;
}

}  // namespace

void convert_and_finish(ConverterState& s) {
  if (s.old) announce_drop(s.drop);
  const std::int32_t written = convert_samples(s);
  const timelib::Timestr actual_end = report_actual_end(s, written);
  // The ts and aux files are one product, and the window line names complete files
  // only: both files and the console are written out before either file closes, so
  // that a failure of any of them cuts both back and ends the run without the line.
  io::write_out(kTsUnit);
  io::write_out(kAuxUnit);
  io::write_out(6);
  io::close(kTsUnit);
  io::close(kAuxUnit);
  append_window_record(s, field::view(actual_end));
}

}  // namespace rawcv
