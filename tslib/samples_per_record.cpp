// Refusal of files with several samples per data record.
#include "tslib/samples_per_record.h"

#include <string>

#include "common/edit/free.h"
#include "tslib/tsinfo.h"

namespace tslib {

bool one_sample_per_record(std::string_view file) {
  if (tsinfo.SEQ_REC <= 1) return true;
  io::FreeWriter(6) << "FATAL ERROR: " + std::string(file) + " has SEQ_REC " +
                           std::to_string(tsinfo.SEQ_REC);
  io::FreeWriter(6) << "Such a window must be converted with one sample per record";
  return false;
}

}  // namespace tslib
