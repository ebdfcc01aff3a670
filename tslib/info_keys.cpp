// Matching a line's key against the info keys.
#include "tslib/info_keys.h"

namespace tslib {

bool InfoKey::matches(std::string_view key10) const {
  if (letters > 0) return key10.substr(0, letters) == key.substr(0, letters);
  return key10.substr(0, key.size()) == key &&
         key10.find_first_not_of(' ', key.size()) == std::string_view::npos;
}

const InfoKey* find_info_key(std::string_view key10) {
  for (const InfoKey& k : kInfoKeys)
    if (k.matches(key10)) return &k;
  return nullptr;
}

}  // namespace tslib
