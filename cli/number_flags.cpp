#include "number_flags.h"

#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>

namespace tarnwick::cli {

namespace {

std::string readable(double value) {
  char text[64];
  std::snprintf(text, sizeof text, "%.15g", value);
  return text;
}

// The whole text as a number; false when it is not one (or has more after it).
bool parseNumber(const std::string& text, double& value) {
  if (text.empty()) return false;
  errno = 0;
  char* end = nullptr;
  value = std::strtod(text.c_str(), &end);
  return end == text.c_str() + text.size() && errno != ERANGE;
}

bool parseWhole(const std::string& text, long long& value) {
  if (text.empty()) return false;
  errno = 0;
  char* end = nullptr;
  value = std::strtoll(text.c_str(), &end, 10);
  return end == text.c_str() + text.size() && errno != ERANGE;
}

}  // namespace

CLI::Validator numberWithin(double min, double max, bool minExcluded) {
  const std::string range = (minExcluded ? "above " : "from ") + readable(min) +
                            (minExcluded ? " and at most " : " to ") + readable(max);
  return CLI::Validator(
      [=](std::string& text) -> std::string {
        double value = 0;
        const bool inRange = parseNumber(text, value) && std::isfinite(value) &&
                             (minExcluded ? value > min : value >= min) && value <= max;
        return inRange ? std::string() : "'" + text + "' is not a number " + range;
      },
      "NUMBER " + range);
}

CLI::Validator wholeNumberWithin(long long min, long long max) {
  const std::string range = "from " + std::to_string(min) + " to " + std::to_string(max);
  return CLI::Validator(
      [=](std::string& text) -> std::string {
        long long value = 0;
        const bool inRange = parseWhole(text, value) && value >= min && value <= max;
        return inRange ? std::string() : "'" + text + "' is not a whole number " + range;
      },
      "INTEGER " + range);
}

}  // namespace tarnwick::cli
