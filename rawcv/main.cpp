// rawcv: converts one raw logger window into a ts file and an aux file.
#include "common/io/end.h"
#include "rawcv/driver.h"

int main(int argc, char** argv) {
  io::start_program(argc, argv);
  rawcv::run_converter();
}
