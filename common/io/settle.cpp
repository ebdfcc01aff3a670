// settle: an outcome against the caller's take-back policy.
#include "common/io/end.h"
#include "common/io/errors.h"
#include "common/io/outcome.h"

namespace io {

Result settle(Result outcome, Takes takes, int report_unit, std::string_view file) {
  if (outcome.ok()) return outcome;
  if (outcome.end_of_file()) {
    if (takes_end(takes)) return outcome;
    error_report(kErrEndOfFile, report_unit, file);
  }
  if (takes_errors(takes)) return outcome;
  error_report(outcome.code, report_unit, file);
}

}  // namespace io
