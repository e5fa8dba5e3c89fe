#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <variant>

#include "tarnwick/settings_file.h"

namespace tarnwick {

// The option a line holds; its type says how the value is read and written:
// text unchanged; a flag as "%d" of 0 or 1, read as a leading integer that is
// not 0; an integer as "%d"; a number as "%g".
using SettingField = std::variant<std::string*, bool*, std::int32_t*, double*>;

// One line of the settings file.
struct SettingKey {
  std::string_view key;  // with its colon
  SettingField (*field)(Settings&);
  bool changesDirectory = false;  // reading it makes the value the working directory
};

// The 23 keys in the order the file is written. No key is the beginning of
// another, so at most one key matches a line.
extern const std::array<SettingKey, 23> kSettingKeys;

}  // namespace tarnwick
