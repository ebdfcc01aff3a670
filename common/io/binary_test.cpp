// BINARY record files (framing, byte order, too much data, skipping, end of file,
// stepping back, damaged files) and byte streams.
#include "common/io/binary.h"

#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <string>

#include "common/io/end.h"
#include "common/io/errors.h"
#include "common/io/unit.h"
#include "common/io/units.h"
#include "support/child.h"
#include "support/run_program.h"

namespace {

constexpr int kUnit = 4;

std::string bytes(std::initializer_list<int> values) {
  std::string s;
  for (const int v : values) s += static_cast<char>(v);
  return s;
}

class BinaryFile : public ::testing::Test {
 protected:
  void TearDown() override { io::close(kUnit); }
  std::string path() const { return (dir_ / "b.ts").string(); }
  void open_unit(io::Form form = io::Form::binary, bool big_endian = true) {
    io::OpenSpec spec;
    spec.form = form;
    spec.big_endian = big_endian;
    ASSERT_EQ(io::open(kUnit, path(), spec, io::Takes::neither), io::kDone);
  }
  mttest::TempDir dir_;
};

TEST_F(BinaryFile, FiveFloatsMakeOneFramedBigEndianRecord) {
  open_unit();
  const std::array<float, 5> values{1.0f, 2.0f, 3.0f, 4.0f, -1.0e-30f};
  io::BinaryWriter(kUnit) << std::span<const float>(values);
  io::close(kUnit);
  EXPECT_EQ(mttest::read_file(path()),
            bytes({0, 0, 0,    0x14, 0x3F, 0x80, 0,    0,    0x40, 0,    0, 0, 0x40, 0x40,
                   0, 0, 0x40, 0x80, 0,    0,    0x8D, 0xA2, 0x42, 0x60, 0, 0, 0,    0x14}));
}

TEST_F(BinaryFile, ItemsArePackedWithoutGapsInEitherByteOrder) {
  for (const bool big : {true, false}) {
    open_unit(io::Form::binary, big);
    {
      io::BinaryWriter w(kUnit);
      w << std::int32_t{7} << std::int16_t{-2} << std::string_view("AB") << 1.0f;
    }                               // the destructor ends the record
    io::BinaryWriter(kUnit).end();  // an empty record
    io::close(kUnit);
    const std::string expected =
        big ? bytes({0, 0, 0, 12, 0, 0,  0, 7, 0xFF, 0xFE, 'A', 'B', 0x3F, 0x80,
                     0, 0, 0, 0,  0, 12, 0, 0, 0,    0,    0,   0,   0,    0})
            : bytes({12,   0,    0,  0, 7, 0, 0, 0, 0xFE, 0xFF, 'A', 'B', 0, 0,
                     0x80, 0x3F, 12, 0, 0, 0, 0, 0, 0,    0,    0,   0,   0, 0});
    EXPECT_EQ(mttest::read_file(path()), expected) << (big ? "big" : "little");

    open_unit(io::Form::binary, big);
    std::int32_t i = 0;
    std::int16_t h = 0;
    std::array<char, 2> text{};
    float f = 0;
    io::BinaryReader r(kUnit, io::Takes::neither);
    r >> i >> h >> std::span<char>(text) >> f;
    EXPECT_EQ(r.finish(), io::kDone);
    EXPECT_EQ(i, 7);
    EXPECT_EQ(h, -2);
    EXPECT_EQ(std::string(text.data(), 2), "AB");
    EXPECT_EQ(f, 1.0f);
    io::BinaryReader empty(kUnit, io::Takes::neither);
    EXPECT_EQ(empty.record_size(), 0u);
    io::close(kUnit);
  }
}

TEST_F(BinaryFile, ReadingTakesWhatItNeedsAndSkipsTheRest) {
  open_unit();
  const std::array<float, 5> first{1, 2, 3, 4, 5};
  const std::array<float, 3> second{6, 7, 8};
  io::BinaryWriter(kUnit) << std::span<const float>(first);
  io::BinaryWriter(kUnit) << std::span<const float>(second);
  io::rewind(kUnit);

  float one = 0;
  io::BinaryReader r1(kUnit, io::Takes::both);
  r1 >> one;
  EXPECT_EQ(r1.finish(), io::kDone);
  EXPECT_EQ(one, 1.0f);
  EXPECT_EQ(r1.record_size(), 20u);

  std::array<float, 5> five{9, 9, 9, 9, 9};
  io::BinaryReader r2(kUnit, io::Takes::both);  // a 12-byte record read as 5 floats
  r2 >> std::span<float>(five);
  EXPECT_EQ(r2.finish(), io::Result{io::kErrTooMuchData});

  io::BinaryReader r3(kUnit, io::Takes::both);
  EXPECT_EQ(r3.finish(), io::kEnd);
  io::BinaryReader r4(kUnit, io::Takes::end);
  EXPECT_EQ(r4.finish(), io::kEnd);
}

TEST_F(BinaryFile, StepBackGoesToThePreviousRecord) {
  open_unit();
  for (std::int32_t n = 1; n <= 3; ++n) {
    io::BinaryWriter w(kUnit);
    for (std::int32_t k = 0; k < n; ++k) w << n;
  }
  io::rewind(kUnit);
  const auto next_value = [] {
    std::int32_t v = 0;
    io::BinaryReader r(kUnit, io::Takes::both);
    r >> v;
    return r.finish().ok() ? v : -1;
  };
  io::backspace(kUnit);  // at the start: nothing
  EXPECT_EQ(next_value(), 1);
  EXPECT_EQ(next_value(), 2);
  EXPECT_EQ(next_value(), 3);
  EXPECT_EQ(next_value(), -1);
  io::backspace(kUnit);
  EXPECT_EQ(next_value(), 3);
  io::backspace(kUnit);
  io::backspace(kUnit);
  EXPECT_EQ(next_value(), 2);
  // A record written after the step back is the new last one.
  io::backspace(kUnit);
  io::BinaryWriter(kUnit) << std::int32_t{42};
  io::rewind(kUnit);
  EXPECT_EQ(next_value(), 1);
  EXPECT_EQ(next_value(), 42);
  EXPECT_EQ(next_value(), -1);
}

TEST_F(BinaryFile, DamagedFilesAreReadErrorsNotCrashes) {
  struct Case {
    const char* what;
    std::string bytes;
    io::Result result;
  };
  const std::vector<Case> cases = {
      {"nothing", "", io::kEnd},
      {"part of a length word", bytes({0, 0}), io::kEnd},
      {"data cut short", bytes({0, 0, 0, 8, 1, 2, 3}), io::Result{io::kErrRead}},
      {"trailing word missing", bytes({0, 0, 0, 2, 1, 2, 0, 0}), io::Result{io::kErrRead}},
      {"trailing word differs", bytes({0, 0, 0, 1, 1, 0, 0, 0, 2}), io::Result{io::kErrRead}},
      {"huge length word", bytes({0x7F, 0xFF, 0xFF, 0xF0, 1, 2, 3, 4}), io::Result{io::kErrRead}},
      {"text read as records", "hello world\r\n", io::Result{io::kErrRead}},
  };
  for (const Case& c : cases) {
    mttest::write_file(path(), c.bytes);
    open_unit();
    float v = 0;
    io::BinaryReader r(kUnit, io::Takes::both);
    r >> v;
    EXPECT_EQ(r.finish(), c.result) << c.what;
    io::close(kUnit);
  }
}

TEST_F(BinaryFile, ByteStreamTakesLittleEndianValuesAcrossAnyBoundary) {
  mttest::write_file(path(), bytes({1, 2, 3, 4, 5, 6, 0xFF, 0, 0, 0, 0x80, 0x3F, 'x', 'y', 9}));
  open_unit(io::Form::stream);
  std::int16_t a = 0;
  std::int32_t b = 0;
  std::uint8_t c = 0;
  std::int8_t d = 0;
  float f = 0;
  std::array<char, 2> text{};
  io::ByteReader r(kUnit, io::Takes::both);
  r >> a >> b >> c >> d >> f >> std::span<char>(text);
  EXPECT_EQ(r.finish(), io::kDone);
  EXPECT_EQ(a, 0x0201);
  EXPECT_EQ(b, 0x06050403);
  EXPECT_EQ(c, 0xFF);
  EXPECT_EQ(d, 0);
  EXPECT_EQ(f, 1.0f);
  EXPECT_EQ(std::string(text.data(), 2), "xy");
  std::uint16_t e = 7;
  io::ByteReader tail(kUnit, io::Takes::end);  // one byte left for a two-byte value
  tail >> e;
  EXPECT_EQ(tail.finish(), io::kEnd);
}

TEST_F(BinaryFile, ByteStreamArraysOfShorts) {
  std::string data;
  for (int i = 0; i < 70000; ++i) {
    data += static_cast<char>(i & 0xFF);
    data += static_cast<char>((i >> 8) & 0xFF);
  }
  mttest::write_file(path(), data);
  open_unit(io::Form::stream);
  std::vector<std::int16_t> values(70000);
  io::ByteReader r(kUnit, io::Takes::both);
  r >> std::span<std::int16_t>(values);
  ASSERT_EQ(r.finish(), io::kDone);
  EXPECT_EQ(values[1], 1);
  EXPECT_EQ(values[300], 300);
  EXPECT_EQ(values[69999], static_cast<std::int16_t>(69999));
}

TEST_F(BinaryFile, OutcomesNotTakenBackEndTheProgram) {
  const std::string file = path();
  struct Case {
    const char* what;
    io::Takes takes;
    int status;
    std::string message;
  };
  const std::vector<Case> cases = {
      {"too much data", io::Takes::end, 67, "input statement requires too much data"},
      {"end of file taken as error only", io::Takes::errors, 24, "end-of-file during read"},
  };
  for (const Case& c : cases) {
    const mttest::ChildResult r = mttest::run_child([&] {
      io::set_program_name("/some/dir/tester");
      io::OpenSpec spec;
      spec.form = io::Form::binary;
      io::open(kUnit, file, spec, io::Takes::neither);
      io::BinaryWriter(kUnit) << 1.0f << 2.0f << 3.0f;
      io::rewind(kUnit);
      std::array<float, 5> five{};
      {
        io::BinaryReader r(kUnit, c.takes);
        r >> std::span<float>(five);
      }
      io::BinaryReader again(kUnit, c.takes);
    });
    EXPECT_EQ(r.status, c.status) << c.what;
    EXPECT_EQ(r.err, "tester: severe (" + std::to_string(c.status) + "): " + c.message +
                         ", unit 4, file " + file + "\r\n")
        << c.what;
  }
}

}  // namespace
