#pragma once
// One comment or filter line of the ts and aux files, built piece by piece in an
// 80-character buffer. ASCII output writes exactly the characters built as one text
// line; BINARY output writes the buffer blank-filled to 80 as one record.
#include <array>
#include <cstddef>
#include <cstdint>
#include <string_view>

namespace rawcv {

class CommentLine {
 public:
  static constexpr std::size_t kWidth = 80;

  CommentLine& clear();
  CommentLine& text(std::string_view t);
  // Iw: right-justified in w columns, asterisks when too wide.
  CommentLine& integer(std::int32_t value, int width);
  // Fw.d.
  CommentLine& fixed(float value, int width, int decimals);
  // Blank-fills the rest so that the line holds all 80 characters (info lines).
  CommentLine& fill();

  std::string_view chars() const { return {buf_.data(), len_}; }
  std::array<char, kWidth>& buffer() { return buf_; }

  void write(int unit, bool ascii) const;

 private:
  std::array<char, kWidth> buf_{};
  std::size_t len_ = 0;
};

}  // namespace rawcv
