#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace tarnwick {

// The leading decimal integer of text, as C's atoi reads it: leading blanks
// (space, tab, line end, vertical tab, form feed) and one sign allowed,
// reading stops at the first other character, no digits give 0. Values
// beyond the 32-bit range are clamped to it.
std::int32_t leadingInteger(std::string_view text);

// The leading decimal floating-point number of text (blanks and a sign
// allowed, an optional fraction and exponent, as in "1.5e+09"), 0 when there
// is none. Hexadecimal forms, "inf" and "nan" are not numbers here, and a
// number beyond the range of a double reads as the largest one of its sign,
// so every value read is finite. The decimal point is "." whatever the
// process's locale.
double leadingNumber(std::string_view text);

// value as C's printf "%g" writes it, with "." as the decimal point whatever
// the process's locale: 6 significant digits, no trailing zeros.
std::string formatNumber(double value);

}  // namespace tarnwick
