// mpclose: closes the raw file's unit.
#include <cstdint>

#include "common/io/units.h"
#include "rawcv/rawhdr.h"

void mpclose(std::int32_t unit) { io::close(unit); }
