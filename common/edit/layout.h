#pragma once
// Fixed layouts: ordered lists of layout items. The programs' own layouts are
// constexpr arrays of items built with the helpers in io::lay; format texts typed at
// run time are parsed into the same items (format_text.h).
#include <array>
#include <cstdint>
#include <span>
#include <string_view>

namespace io {

enum class Ed : std::uint8_t {
  A,   // text; w == 0: the whole field
  I,   // integer Iw / Iw.m
  F,   // fixed point Fw.d
  E,   // exponent Ew.d / Ew.dEe
  D,   // as E with letter D
  EN,  // engineering
  ES,  // scientific
  G,   // general Gw.d / Gw.dEe
  L,   // boolean; w == 0: width 2
  B,
  O,
  Z,  // binary, octal, hexadecimal digits (Bw / Bw.m ...)
  X,  // skip n = w columns
  T,
  TL,
  TR,         // tab to column w, w left, w right
  Slash,      // end the record, go on in a new one
  Colon,      // stop when no items remain
  NoLineEnd,  // "$" or backslash: the record is not ended at the end of the transfer
  Literal,    // text written unchanged
  Scale,      // kP, k in `w` (signed)
  SignDefault,
  SignPlus,
  SignSuppress,  // S, SP, SS
  BlankNull,
  BlankZero,  // BN, BZ
  Q,          // characters left in the input record
  Open,       // group start, repeat count in `repeat`
  Close,      // group end
};

struct Item {
  Ed ed;
  std::int16_t repeat = 1;  // repeat count of a data item, a group or "/"
  std::int16_t w = 0;       // width (0: none), or the count of X / T / TL / TR / P
  std::int16_t d = 0;       // digits after the point
  std::int16_t m = -1;      // minimum digits of I / B / O / Z; -1: none
  std::int16_t e = 0;       // exponent digits of E / G / D / EN / ES; 0: default
  std::string_view text{};  // literal text
};

using Layout = std::span<const Item>;

namespace lay {
constexpr Item A() { return {Ed::A}; }
constexpr Item A(int w) { return {Ed::A, 1, std::int16_t(w)}; }
constexpr Item I(int w) { return {Ed::I, 1, std::int16_t(w)}; }
constexpr Item I(int w, int m) { return {Ed::I, 1, std::int16_t(w), 0, std::int16_t(m)}; }
constexpr Item F(int w, int d) { return {Ed::F, 1, std::int16_t(w), std::int16_t(d)}; }
constexpr Item E(int w, int d) { return {Ed::E, 1, std::int16_t(w), std::int16_t(d)}; }
constexpr Item E(int w, int d, int e) {
  return {Ed::E, 1, std::int16_t(w), std::int16_t(d), -1, std::int16_t(e)};
}
constexpr Item G(int w, int d) { return {Ed::G, 1, std::int16_t(w), std::int16_t(d)}; }
constexpr Item G(int w, int d, int e) {
  return {Ed::G, 1, std::int16_t(w), std::int16_t(d), -1, std::int16_t(e)};
}
constexpr Item L() { return {Ed::L}; }
constexpr Item L(int w) { return {Ed::L, 1, std::int16_t(w)}; }
constexpr Item X(int n) { return {Ed::X, 1, std::int16_t(n)}; }
constexpr Item T(int n) { return {Ed::T, 1, std::int16_t(n)}; }
constexpr Item Lit(std::string_view text) { return {Ed::Literal, 1, 0, 0, -1, 0, text}; }
constexpr Item P(int k) { return {Ed::Scale, 1, std::int16_t(k)}; }
constexpr Item Slash() { return {Ed::Slash}; }
constexpr Item NoEnd() { return {Ed::NoLineEnd}; }
constexpr Item Open(int repeat) { return {Ed::Open, std::int16_t(repeat)}; }
constexpr Item Close() { return {Ed::Close}; }
// A data item or "/" repeated: Rep(5, F(12, 4)) is 5F12.4.
constexpr Item D(int w, int d) { return {Ed::D, 1, std::int16_t(w), std::int16_t(d)}; }
constexpr Item ES(int w, int d) { return {Ed::ES, 1, std::int16_t(w), std::int16_t(d)}; }
constexpr Item ES(int w, int d, int e) {
  return {Ed::ES, 1, std::int16_t(w), std::int16_t(d), -1, std::int16_t(e)};
}
constexpr Item EN(int w, int d) { return {Ed::EN, 1, std::int16_t(w), std::int16_t(d)}; }
constexpr Item EN(int w, int d, int e) {
  return {Ed::EN, 1, std::int16_t(w), std::int16_t(d), -1, std::int16_t(e)};
}
constexpr Item B(int w) { return {Ed::B, 1, std::int16_t(w)}; }
constexpr Item B(int w, int m) { return {Ed::B, 1, std::int16_t(w), 0, std::int16_t(m)}; }
constexpr Item O(int w) { return {Ed::O, 1, std::int16_t(w)}; }
constexpr Item O(int w, int m) { return {Ed::O, 1, std::int16_t(w), 0, std::int16_t(m)}; }
constexpr Item Z(int w) { return {Ed::Z, 1, std::int16_t(w)}; }
constexpr Item Z(int w, int m) { return {Ed::Z, 1, std::int16_t(w), 0, std::int16_t(m)}; }
constexpr Item TL(int n) { return {Ed::TL, 1, std::int16_t(n)}; }
constexpr Item TR(int n) { return {Ed::TR, 1, std::int16_t(n)}; }
constexpr Item Colon() { return {Ed::Colon}; }
constexpr Item S() { return {Ed::SignDefault}; }
constexpr Item SP() { return {Ed::SignPlus}; }
constexpr Item SS() { return {Ed::SignSuppress}; }
constexpr Item BN() { return {Ed::BlankNull}; }
constexpr Item BZ() { return {Ed::BlankZero}; }
constexpr Item Q() { return {Ed::Q}; }
constexpr Item Rep(int repeat, Item item) {
  item.repeat = std::int16_t(repeat);
  return item;
}
}  // namespace lay

// True when the items form a valid layout (balanced groups, at most 8 levels,
// widths where required). Used in static_assert on the programs' own layouts.
constexpr bool valid_layout(Layout items) {
  int depth = 0;
  for (const Item& it : items) {
    if (it.ed == Ed::Open && ++depth > 7) return false;  // 8 levels with the outer pair
    if (it.ed == Ed::Close && --depth < 0) return false;
    if ((it.ed == Ed::I || it.ed == Ed::F || it.ed == Ed::E || it.ed == Ed::G || it.ed == Ed::D ||
         it.ed == Ed::EN || it.ed == Ed::ES || it.ed == Ed::B || it.ed == Ed::O || it.ed == Ed::Z ||
         it.ed == Ed::T) &&
        it.w <= 0)
      return false;
    if (it.w < 0 && it.ed != Ed::Scale) return false;
    if (it.repeat < 1) return false;
  }
  return depth == 0;
}

}  // namespace io
