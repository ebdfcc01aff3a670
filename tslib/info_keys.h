#pragma once
// The info keys: every key the reader knows, in the order it tests them, each with the
// kind of its value and the `tsinfo` field it fills. The reader (ts_rdinfo), its summary
// and the writer (ts_wrtinfo) take kind and field from here and keep their own order.
//
// A key matches as the whole 10-character key, blank-padded, or by its leading letters
// alone (the channel keys, MIS_DATA, INFO_END). A channel key is written with an
// underscore at its end; the channel digit stands in the column right after it.
//
// Typical use:
//   const tslib::InfoKey* key = tslib::find_info_key(tslib::key_of(line));
//   constexpr auto kRows = tslib::info_keys({"STATION", "INSTRUMENT"});  // checked names
#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string_view>
#include <tuple>
#include <type_traits>

#include "common/text_field.h"
#include "tslib/info_line.h"
#include "tslib/tsinfo.h"

namespace tslib {

// How a value is taken from the value field (columns 13-80) and placed back.
enum class InfoKind {
  none,     // INFO_START, INFO_END
  word,     // the first word, cut or blank-padded to the field
  integer,  // a 32-bit integer in the free layout
  real,     // a 32-bit float in the free layout
  columns,  // as many columns as the field is wide, exactly as they stand
};

// What the reader does with a key beyond storing its value.
enum class ReadAction {
  none,
  compare_form,   // FORM: read aside and compared with `form`, never stored
  check_format,   // FORMAT: noted; a BINARY file keeps UNFORMATTED
  seq_rec_read,   // noted, so that no default is applied
  mis_data_read,  // noted, so that no default is applied
  gain_notice,    // a gain other than 1.0 is reported
  start_time,     // a v4 time is converted
  end_time,       // a v4 time is converted
  block_end,      // INFO_END: the block ends
};

// A field of the record to store into; `kind` tells which member is set.
struct FieldRef {
  std::span<char> text{};
  std::int32_t* integer = nullptr;
  float* real = nullptr;
};

// A field's value, for the summary and the writer.
struct FieldValue {
  std::string_view text{};
  std::int32_t integer = 0;
  float real = 0.0f;
};

namespace info_field {
constexpr FieldRef ref(std::span<char> text) { return {.text = text}; }
constexpr FieldRef ref(std::int32_t& v) { return {.integer = &v}; }
constexpr FieldRef ref(float& v) { return {.real = &v}; }
constexpr FieldValue value(std::span<const char> t) { return {.text = field::view(t)}; }
constexpr FieldValue value(std::int32_t v) { return {.integer = v}; }
constexpr FieldValue value(float v) { return {.real = v}; }
}  // namespace info_field

// How a key reaches its field: the field itself, or element k (channel k + 1) of a
// per-channel array.
struct InfoField {
  FieldRef (*ref)(TsInfoRecord&, std::size_t k) = nullptr;
  FieldValue (*value)(const TsInfoRecord&, std::size_t k) = nullptr;
  int channels = 0;  // per-channel arrays: their length (5, or 3 for baselines)
};

template <auto Member>
inline constexpr InfoField field{
    [](TsInfoRecord& t, std::size_t) { return info_field::ref(t.*Member); },
    [](const TsInfoRecord& t, std::size_t) { return info_field::value(t.*Member); }};

template <auto Member>
inline constexpr InfoField channel_field{
    [](TsInfoRecord& t, std::size_t k) { return info_field::ref((t.*Member)[k]); },
    [](const TsInfoRecord& t, std::size_t k) { return info_field::value((t.*Member)[k]); },
    static_cast<int>(std::tuple_size_v<std::remove_cvref_t<decltype(TsInfoRecord{}.*Member)>>)};

struct InfoKey {
  std::string_view key;  // as written; a channel key ends with its underscore
  std::size_t letters;   // leading letters compared; 0: the whole key
  InfoKind kind;
  InfoField field;
  ReadAction action;

  constexpr bool per_channel() const { return field.channels > 0; }
  // The column (1-based) of the channel digit: right after the underscore.
  constexpr std::size_t digit_column() const { return kKeyColumn + key.size(); }
  // True when the 10 characters of a line's key (columns 2-11) select this key.
  bool matches(std::string_view key10) const;
};

namespace info_row {
constexpr InfoKey whole(std::string_view key, InfoKind kind, InfoField field = {},
                        ReadAction action = ReadAction::none) {
  return {key, 0, kind, field, action};
}
constexpr InfoKey leading(std::string_view key, std::size_t letters, InfoKind kind,
                          InfoField field = {}, ReadAction action = ReadAction::none) {
  return {key, letters, kind, field, action};
}
}  // namespace info_row

// In the order the reader tests them: the first key that matches decides.
inline constexpr auto kInfoKeys = [] {
  using namespace info_row;
  using K = InfoKind;
  using A = ReadAction;
  using R = TsInfoRecord;
  return std::array{
      whole("INFO_START", K::none),
      whole("STATION", K::word, field<&R::STATION>),
      whole("INSTRUMENT", K::integer, field<&R::INSTRUMENT>),
      whole("WINDOW", K::word, field<&R::WINDOW>),
      whole("LATITUDE", K::real, field<&R::LATITUDE>),
      whole("LONGITUDE", K::real, field<&R::LONGITUDE>),
      whole("ELEVATION", K::real, field<&R::ELEVATION>),
      whole("UTM_ORIGIN", K::real, field<&R::UTM_ORIGIN>),
      whole("UTM_ZONE", K::integer, field<&R::UTM_ZONE>),
      whole("UTM_NORTH", K::integer, field<&R::UTM_NORTH>),
      whole("UTM_EAST", K::integer, field<&R::UTM_EAST>),
      whole("COORD_SYS", K::columns, field<&R::COORD_SYS>),
      whole("DECLIN", K::real, field<&R::DECLIN>),
      whole("FORM", K::word, field<&R::form>, A::compare_form),
      whole("FORMAT", K::word, field<&R::format>, A::check_format),
      whole("FORM_TYPE", K::word, field<&R::FORM_TYPE>),
      whole("FORM_LEN", K::integer, field<&R::FORM_LEN>),
      whole("ENDIAN", K::word, field<&R::ENDIAN>),
      whole("BIN_FORM", K::word, field<&R::BIN_FORM>),
      whole("SEQ_REC", K::integer, field<&R::SEQ_REC>, A::seq_rec_read),
      whole("NCHAN", K::integer, field<&R::NCHAN>),
      leading("CHAN_", 4, K::word, channel_field<&R::CHAN_>),
      leading("SENSOR_", 6, K::integer, channel_field<&R::SENSOR_>),
      leading("AZIM_", 4, K::real, channel_field<&R::AZIM_>),
      leading("UNITS_", 5, K::word, channel_field<&R::UNITS_>),
      whole("DELTA_T", K::real, field<&R::DELTA_T>),
      whole("T_UNITS", K::word, field<&R::T_UNITS>),
      whole("ORDER", K::word, field<&R::ORDER>),
      leading("GAIN_", 4, K::real, channel_field<&R::GAIN_>, A::gain_notice),
      leading("BASELINE_", 8, K::real, channel_field<&R::BASELINE_>),
      whole("STARTTIME", K::columns, field<&R::STARTTIME>, A::start_time),
      whole("ENDTIME", K::columns, field<&R::ENDTIME>, A::end_time),
      leading("MIS_DATA", 8, K::real, field<&R::MIS_DATA>, A::mis_data_read),
      leading("INFO_END", 8, K::none, {}, A::block_end),
  };
}();

// The key that reads a line with this key (columns 2-11): the first that matches, in
// table order; null when none does.
const InfoKey* find_info_key(std::string_view key10);

// A key by its name as written ("STATION", "CHAN_"); a name not in the table does not
// compile.
consteval const InfoKey& info_key(std::string_view name) {
  for (const InfoKey& k : kInfoKeys)
    if (k.key == name) return k;
  throw "not an info key";
}
template <std::size_t N>
consteval std::array<const InfoKey*, N> info_keys(const std::string_view (&names)[N]) {
  std::array<const InfoKey*, N> keys{};
  for (std::size_t i = 0; i < N; ++i) keys[i] = &info_key(names[i]);
  return keys;
}

// Every key fits columns 2-11 and its kind agrees with its field's type; a key
// with a value has a field.
consteval bool info_keys_agree() {
  TsInfoRecord record{};
  for (const InfoKey& k : kInfoKeys) {
    if (k.key.size() > kKeyLength || k.letters > k.key.size()) return false;
    if (k.kind == InfoKind::none) continue;  // a missing field does not compile below
    if (k.per_channel() != k.key.ends_with('_')) return false;
    if (k.per_channel() && k.digit_column() > kKeyColumn + kKeyLength - 1) return false;
    const FieldRef f = k.field.ref(record, 0);
    const bool text = k.kind == InfoKind::word || k.kind == InfoKind::columns;
    if (text == f.text.empty() || (k.kind == InfoKind::integer) != (f.integer != nullptr) ||
        (k.kind == InfoKind::real) != (f.real != nullptr))
      return false;
  }
  return true;
}
static_assert(info_keys_agree());

}  // namespace tslib
