#include <cstdlib>
#include <filesystem>
#include <string>
#include <system_error>

#include "tarnwick/settings_file.h"

namespace tarnwick {
namespace {

// The user's configuration folder; empty when the environment names none.
std::string userConfigFolder() {
  const char* config = std::getenv("XDG_CONFIG_HOME");
  if (config != nullptr && config[0] == '/') return config;
  const char* home = std::getenv("HOME");
  if (home != nullptr && home[0] != '\0') return std::string(home) + "/.config";
  return {};
}

}  // namespace

std::string settingsPathFor(const std::string& programPath) {
  const std::size_t slash = programPath.rfind('/');
  const std::size_t nameStart = slash == std::string::npos ? 0 : slash + 1;
  const std::string folder = programPath.substr(0, nameStart);
  const std::string name = programPath.substr(nameStart);
  const std::size_t dot = name.rfind('.');
  // Programs on Linux have no extension: the whole name is the stem.
  const std::string fileName = name.substr(0, dot) + "_settings.txt";

  // A settings file beside the program makes a portable copy.
  std::error_code error;
  if (std::filesystem::is_regular_file(folder + fileName, error)) return folder + fileName;
  const std::string config = userConfigFolder();
  if (config.empty()) return folder + fileName;
  return config + "/tarnwick/" + fileName;
}

}  // namespace tarnwick
