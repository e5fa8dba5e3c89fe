#include "settings/number_text.h"

#include <locale.h>

#include <algorithm>
#include <clocale>
#include <cstdio>
#include <cstdlib>
#include <limits>
#include <stdexcept>

namespace tarnwick {
namespace {

bool isBlank(char c) {
  return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

bool isDigit(char c) { return c >= '0' && c <= '9'; }

std::size_t skipBlanks(std::string_view text, std::size_t at) {
  while (at < text.size() && isBlank(text[at])) ++at;
  return at;
}

std::size_t skipDigits(std::string_view text, std::size_t at) {
  while (at < text.size() && isDigit(text[at])) ++at;
  return at;
}

// Switches the calling thread to the "C" locale for its lifetime, so that
// printf and strtod use "." even when a GUI toolkit has adopted the user's
// locale for the process.
class CLocaleScope {
 public:
  CLocaleScope() : previous_(uselocale(cLocale())) {}
  ~CLocaleScope() { uselocale(previous_); }
  CLocaleScope(const CLocaleScope&) = delete;
  CLocaleScope& operator=(const CLocaleScope&) = delete;

 private:
  static locale_t cLocale() {
    static const locale_t locale = newlocale(LC_ALL_MASK, "C", static_cast<locale_t>(0));
    if (locale == static_cast<locale_t>(0)) throw std::runtime_error("the C locale is missing");
    return locale;
  }
  locale_t previous_;
};

}  // namespace

std::int32_t leadingInteger(std::string_view text) {
  std::size_t at = skipBlanks(text, 0);
  bool negative = false;
  if (at < text.size() && (text[at] == '+' || text[at] == '-')) negative = text[at++] == '-';
  constexpr std::int64_t kLimit = std::int64_t{std::numeric_limits<std::int32_t>::max()} + 1;
  std::int64_t magnitude = 0;
  for (; at < text.size() && isDigit(text[at]); ++at)
    magnitude = std::min(kLimit, magnitude * 10 + (text[at] - '0'));
  const std::int64_t value = negative ? -magnitude : std::min(magnitude, kLimit - 1);
  return static_cast<std::int32_t>(value);
}

double leadingNumber(std::string_view text) {
  const std::size_t start = skipBlanks(text, 0);
  std::size_t at = start;
  if (at < text.size() && (text[at] == '+' || text[at] == '-')) ++at;
  const std::size_t integerEnd = skipDigits(text, at);
  std::size_t end = integerEnd;
  bool anyDigit = integerEnd > at;
  if (end < text.size() && text[end] == '.') {
    const std::size_t fractionEnd = skipDigits(text, end + 1);
    anyDigit = anyDigit || fractionEnd > end + 1;
    end = fractionEnd;
  }
  if (!anyDigit) return 0;
  if (end < text.size() && (text[end] == 'e' || text[end] == 'E')) {
    std::size_t exponent = end + 1;
    if (exponent < text.size() && (text[exponent] == '+' || text[exponent] == '-')) ++exponent;
    const std::size_t exponentEnd = skipDigits(text, exponent);
    if (exponentEnd > exponent) end = exponentEnd;
  }
  const std::string number(text.substr(start, end - start));
  const CLocaleScope cLocale;
  // strtod gives infinity for a number too large for a double, and "%g"
  // writes that as "inf", which reads back as 0: the largest double keeps the
  // meaning (no limit) and survives a write and a read.
  constexpr double kLargest = std::numeric_limits<double>::max();
  return std::clamp(std::strtod(number.c_str(), nullptr), -kLargest, kLargest);
}

std::string formatNumber(double value) {
  char buffer[64];
  const CLocaleScope cLocale;
  const int length = std::snprintf(buffer, sizeof buffer, "%g", value);
  if (length < 0 || static_cast<std::size_t>(length) >= sizeof buffer)
    throw std::runtime_error("cannot format a number");
  return std::string(buffer, static_cast<std::size_t>(length));
}

}  // namespace tarnwick
