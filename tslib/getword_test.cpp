#include <gtest/gtest.h>

#include "tslib/ts.h"

namespace {

struct Case {
  std::string source;
  std::size_t word_width;
  std::string word;
  std::string rest;  // the source afterwards, without its trailing blanks
  std::int32_t position;
};

TEST(Getword, Table) {
  const Case cases[] = {
      {"kvt101a1   more words  ", 20, "kvt101a1", "  more words", 9},
      {"   kvt101  ", 6, "kvt101", "", 6},
      {"kvt1011", 6, "kvt101", "", 7},  // cut to the word field
      {"HX", 2, "HX", "", 2},
      {", kvt101a1", 20, "", "kvt101a1", 1},  // blank after a leading comma ends it
      {",,BINARY,,  ", 6, "BINARY", "", 6},
      {"mV/km,nT", 10, "mV/km", "nT", 6},
      {"   ", 5, "", "", 0},
      {" ,,, ", 5, "", "", 0},
      {"a ,b", 3, "a", ",b", 2},
  };
  for (const Case& c : cases) {
    std::string source = c.source;
    std::string word(c.word_width, '?');
    std::int32_t position = -7;
    getword(source, word, position);
    std::string expected_word = c.word;
    expected_word.resize(c.word_width, ' ');
    std::string expected_rest = c.rest;
    expected_rest.resize(source.size(), ' ');
    EXPECT_EQ(word, expected_word) << c.source;
    EXPECT_EQ(source, expected_rest) << c.source;
    EXPECT_EQ(position, c.position) << c.source;
  }
}

}  // namespace
