#include "common/text_field.h"

#include <gtest/gtest.h>

#include <array>

namespace {

TEST(TextField, AssignPadsWithBlanksAndCutsToTheWidth) {
  std::array<char, 6> f{};
  field::assign(f, "ab");
  EXPECT_EQ(field::view(f), "ab    ");
  field::assign(f, "abcdefgh");
  EXPECT_EQ(field::view(f), "abcdef");
  EXPECT_TRUE(field::equals(f, "abcdef"));
  EXPECT_FALSE(field::equals(f, "abcde"));
}

TEST(TextField, TrimmedDropsTrailingBlanksOnlyAndKeepsNuls) {
  const std::array<char, 5> blanks{' ', ' ', ' ', ' ', ' '};
  const std::array<char, 5> nuls{'a', '\0', ' ', ' ', ' '};
  const std::array<char, 5> inner{' ', 'a', ' ', 'b', ' '};
  EXPECT_EQ(field::trimmed(blanks), "");
  EXPECT_EQ(field::trimmed(nuls), std::string_view("a\0", 2));
  EXPECT_EQ(field::trimmed(inner), " a b");
  EXPECT_EQ(field::trimmed(std::string_view("xy  ")), "xy");
}

}  // namespace
