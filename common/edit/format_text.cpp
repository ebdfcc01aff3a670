// Format texts: the grammar, and the cache of layouts by text.
#include "common/edit/format_text.h"

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <unordered_map>

#include "common/edit/internal_file.h"
#include "common/io/end.h"
#include "common/io/errors.h"
#include "common/io/unit.h"

namespace io {
namespace {

constexpr int kMaxLevels = 8;  // parentheses, the outermost pair included
constexpr int kMaxNumber = 32767;

char upper(char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 32) : c; }
bool is_digit(char c) { return c >= '0' && c <= '9'; }

class Parser {
 public:
  Parser(std::string_view text, std::vector<Item>& items) : s_(text), items_(items) {}

  // True on success; else error_at() is the offset of the error.
  bool run() {
    if (peek() != '(') return false;
    ++i_;
    int depth = 1;
    bool after_item = false;
    for (;;) {
      const char c = peek();
      if (c == '\0') return false;  // the first parenthesis is never closed
      if (c == ')') {
        if (!after_item && !items_.empty() && items_.back().ed != Ed::Open) return false;
        ++i_;
        if (--depth == 0) return true;  // what follows it is ignored
        items_.push_back({Ed::Close});
        after_item = true;
        continue;
      }
      if (c == ',') {
        if (!after_item) return false;
        ++i_;
        after_item = false;
        continue;
      }
      if (c == '(' || (is_digit(c) && opens_group())) {
        int repeat = 1;
        if (is_digit(c) && !number(repeat)) return false;
        if (repeat == 0 || depth == kMaxLevels) return false;
        ++i_;
        ++depth;
        items_.push_back({Ed::Open, static_cast<std::int16_t>(repeat)});
        after_item = false;
        continue;
      }
      if (!item()) return false;
      after_item = true;
    }
  }

  std::size_t error_at() const { return i_; }

 private:
  // The next character outside a literal, blanks and tabs passed over; '\0' at the end.
  char peek() {
    while (i_ < s_.size() && (s_[i_] == ' ' || s_[i_] == '\t')) ++i_;
    return i_ < s_.size() ? upper(s_[i_]) : '\0';
  }

  // An unsigned number (blanks between its digits are ignored).
  bool number(int& v) {
    if (!is_digit(peek())) return false;
    long n = 0;
    while (is_digit(peek())) {
      n = n * 10 + (s_[i_] - '0');
      if (n > kMaxNumber) return false;
      ++i_;
    }
    v = static_cast<int>(n);
    return true;
  }

  // True when the digits at the position are the repeat count of a group.
  bool opens_group() {
    const std::size_t keep = i_;
    int ignored = 0;
    const bool group = number(ignored) && peek() == '(';
    i_ = keep;
    return group;
  }

  bool push(Ed ed, int repeat, int w = 0, int d = 0, int m = -1, int e = 0) {
    items_.push_back({ed, static_cast<std::int16_t>(repeat), static_cast<std::int16_t>(w),
                      static_cast<std::int16_t>(d), static_cast<std::int16_t>(m),
                      static_cast<std::int16_t>(e)});
    return true;
  }

  // Width (required, > 0) and ".d" (required when need_d, else ".m" optional).
  bool width(int& w) { return number(w) && w > 0; }
  bool point_number(int& v) {
    if (peek() != '.') return false;
    ++i_;
    return number(v);
  }
  bool optional_point_number(int& v) {
    if (peek() != '.') return true;
    return point_number(v);
  }
  // "Ee" after w.d: only when a digit follows the letter (else the E begins a new item).
  bool optional_exponent(int& e) {
    if (peek() != 'E') return true;
    const std::size_t keep = i_;
    ++i_;
    if (!is_digit(peek())) {
      i_ = keep;
      return true;
    }
    return number(e) && e > 0;
  }

  bool literal(char quote) {
    ++i_;
    std::size_t start = i_;
    while (i_ < s_.size()) {
      if (s_[i_] != quote) {
        ++i_;
        continue;
      }
      if (i_ + 1 < s_.size() && s_[i_ + 1] == quote) {
        // A doubled delimiter stands for one: this piece ends with it.
        items_.push_back(lay::Lit(s_.substr(start, i_ + 1 - start)));
        i_ += 2;
        start = i_;
        continue;
      }
      if (i_ > start) items_.push_back(lay::Lit(s_.substr(start, i_ - start)));
      ++i_;
      return true;
    }
    i_ = start - 1;  // never closed: the error is at the delimiter
    return false;
  }

  // One item: an optional count, its letter, and what follows the letter.
  bool item() {
    int count = -1;  // -1: none
    bool negative = false;
    if (!leading_count(count, negative)) return false;
    const char c = peek();
    if (count == 0 && c != 'P' && c != 'X') return false;
    const std::size_t letter = i_;
    if (c != '\0') ++i_;
    const bool blank_mode = c == 'B' && (peek() == 'N' || peek() == 'Z');
    if (is_data_letter(c) && !blank_mode) return data_item(c, count < 0 ? 1 : count);
    return control_item(c, count, negative, letter);
  }

  // The count before an item's letter; a sign only before the count of kP.
  bool leading_count(int& count, bool& negative) {
    const char c = peek();
    if (c == '+' || c == '-') {
      negative = c == '-';
      ++i_;
      return number(count) && peek() == 'P';
    }
    return !is_digit(c) || number(count);
  }

  static bool is_data_letter(char c) {
    switch (c) {
      case 'A':
      case 'L':
      case 'I':
      case 'O':
      case 'Z':
      case 'B':
      case 'F':
      case 'D':
      case 'G':
      case 'E': return true;
      default: return false;
    }
  }

  // A data item after its letter: the width, digits and exponent digits it takes.
  bool data_item(char c, int repeat) {
    int w = 0, d = 0, m = -1, e = 0;
    switch (c) {
      case 'A':
      case 'L':
        if (is_digit(peek()) && !width(w)) return false;
        return push(c == 'A' ? Ed::A : Ed::L, repeat, w);
      case 'I':
      case 'O':
      case 'Z':
      case 'B':
        if (!width(w) || !optional_point_number(m)) return false;
        return push(c == 'I'   ? Ed::I
                    : c == 'O' ? Ed::O
                    : c == 'Z' ? Ed::Z
                               : Ed::B,
                    repeat, w, 0, m);
      case 'F':
      case 'D':
        if (!width(w) || !point_number(d)) return false;
        return push(c == 'F' ? Ed::F : Ed::D, repeat, w, d);
      default: {  // G, E, ES, EN
        const Ed ed = exponent_item(c);
        if (!width(w) || !point_number(d) || !optional_exponent(e)) return false;
        return push(ed, repeat, w, d, -1, e);
      }
    }
  }

  // G or E; after E the S of ES or the N of EN is taken here.
  Ed exponent_item(char c) {
    if (c == 'G') return Ed::G;
    const char next = peek();
    if (next != 'S' && next != 'N') return Ed::E;
    ++i_;
    return next == 'S' ? Ed::ES : Ed::EN;
  }

  // An item that edits no value. Only kP, nX, r/ and nH take a count.
  bool control_item(char c, int count, bool negative, std::size_t letter) {
    const bool counted = count >= 0;
    switch (c) {
      case 'P': return counted ? push(Ed::Scale, 1, negative ? -count : count) : fail_at(letter);
      case '/': return push(Ed::Slash, counted ? count : 1);
      case 'X': return push(Ed::X, 1, counted ? count : 1);
      case 'H': return counted ? hollerith(count, letter) : fail_at(letter);
      default: break;
    }
    if (counted) return fail_at(letter);
    switch (c) {
      case '\'':
      case '"': --i_; return literal(s_[i_]);
      case ':': return push(Ed::Colon, 1);
      case '$':
      case '\\': return push(Ed::NoLineEnd, 1);
      case 'B': return push(take_letter() == 'N' ? Ed::BlankNull : Ed::BlankZero, 1);
      case 'T': return tab_item();
      case 'S': return sign_item();
      case 'Q': return push(Ed::Q, 1);
      default:
        // A letter naming no item, or a character a format text may not hold.
        return fail_at(letter);
    }
  }

  // The next letter, taken.
  char take_letter() {
    const char c = peek();
    ++i_;
    return c;
  }

  // nH: the next n characters, whatever they are, as a literal.
  bool hollerith(int count, std::size_t letter) {
    if (count == 0 || i_ + static_cast<std::size_t>(count) > s_.size()) return fail_at(letter);
    items_.push_back(lay::Lit(s_.substr(i_, static_cast<std::size_t>(count))));
    i_ += static_cast<std::size_t>(count);
    return true;
  }

  // Tn, TLn, TRn.
  bool tab_item() {
    Ed ed = Ed::T;
    if (peek() == 'L' || peek() == 'R') ed = take_letter() == 'L' ? Ed::TL : Ed::TR;
    int w = 0;
    return width(w) && push(ed, 1, w);
  }

  // S, SP, SS.
  bool sign_item() {
    Ed ed = Ed::SignDefault;
    if (peek() == 'P' || peek() == 'S') ed = take_letter() == 'P' ? Ed::SignPlus : Ed::SignSuppress;
    return push(ed, 1);
  }

  bool fail_at(std::size_t at) {
    i_ = at;
    return false;
  }

  std::string_view s_;
  std::size_t i_ = 0;
  std::vector<Item>& items_;
};

// Layouts by text; each distinct text is parsed once. The literals of a layout point
// into its key, which the map never moves.
struct TransparentHash {
  using is_transparent = void;
  std::size_t operator()(std::string_view s) const { return std::hash<std::string_view>{}(s); }
};

struct FormatCache {
  std::unordered_map<std::string, std::vector<Item>, TransparentHash, std::equal_to<>> layouts;
  const std::string* last_text = nullptr;
  Layout last_layout{};
};

[[noreturn]] void syntax_error(std::string_view text, std::size_t offset, int unit) {
  const std::string_view rest = text.substr(offset < text.size() ? offset : text.size());
  std::string line = "format syntax error at or near ";
  line += rest.substr(0, 80);
  info_line(kErrFormatSyntaxInfo, line);
  if (unit < 0) error_report(kErrFormatSyntax, unit, kInternalFormattedRead);
  Unit& u = unit_for(unit);
  error_report(kErrFormatSyntax, u.report_number(), u.path());
}

}  // namespace

bool parse_format(std::string_view text, std::vector<Item>& items, FormatError& error) {
  items.clear();
  Parser p(text, items);
  if (p.run()) return true;
  items.clear();
  error.offset = p.error_at();
  return false;
}

Layout format_layout(std::string_view text, int unit) {
  static FormatCache cache;
  if (cache.last_text != nullptr && *cache.last_text == text) return cache.last_layout;
  auto found = cache.layouts.find(text);
  if (found == cache.layouts.end()) {
    found = cache.layouts.emplace(std::string(text), std::vector<Item>{}).first;
    FormatError error;
    if (!parse_format(found->first, found->second, error)) {
      cache.layouts.erase(found);
      cache.last_text = nullptr;
      syntax_error(text, error.offset, unit);
    }
  }
  cache.last_text = &found->first;
  cache.last_layout = Layout(found->second);
  return cache.last_layout;
}

}  // namespace io
