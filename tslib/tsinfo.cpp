// The one shared info record. Constant-initialised: numbers 0, text fields NUL.
#include "tslib/tsinfo.h"

tslib::TsInfoRecord tsinfo;
