// The converter's outputs against what it reads: its ts and aux files are opened only
// when neither is the raw file, a project database or the other output, through links
// included. Otherwise the run ends before anything is written or appended.
#include <string>
#include <string_view>

#include "common/text_field.h"
#include "rawcv/driver.h"
#include "rawcv/gethardware.h"
#include "rawcv/site.h"
#include "tslib/output_clash.h"
#include "tslib/project_files.h"
#include "tslib/same_file.h"

namespace rawcv {

void refuse_outputs_over_inputs(const ConverterState& s) {
  const std::string_view prj = field::view(s.prj);
  const std::string hardware = hardware_file_name(prj);
  const std::string site = site_file_name(prj);
  const std::string windows = tslib::windows_database_name(prj);
  const std::string_view ts = field::trimmed(s.ts_name);
  const std::string_view aux = field::trimmed(s.aux_name);
  for (const std::string_view output : {ts, aux}) {
    if (const auto other =
            tslib::same_file_among(output, {field::trimmed(s.raw_name), hardware, site, windows}))
      tslib::end_at_output(output, *other);
  }
  if (tslib::same_file(aux, ts)) tslib::end_at_output(aux, ts);
}

}  // namespace rawcv
