#include "rawcv/comment_line.h"

#include <algorithm>
#include <span>

#include "common/edit/fixed.h"
#include "common/edit/layout.h"
#include "common/io/binary.h"
#include "common/text_field.h"

namespace rawcv {

namespace {
constexpr io::Item kTextLine[] = {io::lay::A()};
}  // namespace

CommentLine& CommentLine::clear() {
  buf_.fill(' ');
  len_ = 0;
  return *this;
}

CommentLine& CommentLine::text(std::string_view t) {
  const std::size_t n = std::min(t.size(), kWidth - len_);
  std::copy_n(t.data(), n, buf_.data() + len_);
  len_ += n;
  return *this;
}

CommentLine& CommentLine::integer(std::int32_t value, int width) {
  const std::size_t w = std::min(static_cast<std::size_t>(width), kWidth - len_);
  const io::Item item[] = {io::lay::I(static_cast<int>(w))};
  auto writer = io::FixedWriter::to_field(std::span<char>(buf_.data() + len_, w), item);
  writer << value;
  writer.end();
  len_ += w;
  return *this;
}

CommentLine& CommentLine::fixed(float value, int width, int decimals) {
  const std::size_t w = std::min(static_cast<std::size_t>(width), kWidth - len_);
  const io::Item item[] = {io::lay::F(static_cast<int>(w), decimals)};
  auto writer = io::FixedWriter::to_field(std::span<char>(buf_.data() + len_, w), item);
  writer << value;
  writer.end();
  len_ += w;
  return *this;
}

CommentLine& CommentLine::fill() {
  std::fill(buf_.begin() + static_cast<std::ptrdiff_t>(len_), buf_.end(), ' ');
  len_ = kWidth;
  return *this;
}

void CommentLine::write(int unit, bool ascii) const {
  if (ascii) {
    io::FixedWriter(unit, kTextLine) << chars();
    return;
  }
  std::array<char, kWidth> record;
  record.fill(' ');
  std::copy_n(buf_.data(), len_, record.data());
  io::BinaryWriter w(unit);
  w << field::view(record);
  w.end();
}

}  // namespace rawcv
