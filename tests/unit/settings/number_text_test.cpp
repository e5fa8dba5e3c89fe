#include "settings/number_text.h"

#include <gtest/gtest.h>

#include <clocale>
#include <cstdint>
#include <limits>
#include <string>

namespace tarnwick {
namespace {

struct IntegerCase {
  const char* text;
  std::int32_t value;
};

constexpr IntegerCase kIntegerCases[] = {
    {"2", 2},
    {"3", 3},
    {"", 0},
    {"abc", 0},
    {"0", 0},
    {"-1", -1},
    {"+7", 7},
    {"  -5x", -5},
    {"\t12", 12},
    {" \r\n 8", 8},
    {"3 4", 3},
    {"- 3", 0},
    {"--3", 0},
    {"0x10", 0},
    {"4\r", 4},
    {"2147483647", 2147483647},
    {"-2147483648", std::numeric_limits<std::int32_t>::min()},
    {"99999999999", std::numeric_limits<std::int32_t>::max()},
    {"-99999999999999999999999", std::numeric_limits<std::int32_t>::min()},
};

TEST(LeadingInteger, ReadsAsAtoiDoes) {
  for (const IntegerCase& c : kIntegerCases) {
    SCOPED_TRACE(c.text);
    EXPECT_EQ(leadingInteger(c.text), c.value);
  }
}

struct NumberCase {
  const char* text;
  double value;
};

constexpr NumberCase kNumberCases[] = {
    {"0.65", 0.65}, {"1.5e+09", 1.5e9}, {"1.5E-3", 1.5e-3}, {"2", 2},
    {".5", 0.5},    {"5.", 5},          {"+3", 3},          {"  -2.25GB", -2.25},
    {"-.5e1", -5},  {"1e", 1},          {"1e+", 1},         {"1,5", 1},
    {"", 0},        {".", 0},           {"abc", 0},         {"inf", 0},
    {"nan", 0},     {"0x1p3", 0},
};

TEST(LeadingNumber, ReadsOnlyDecimalNumbers) {
  for (const NumberCase& c : kNumberCases) {
    SCOPED_TRACE(c.text);
    EXPECT_DOUBLE_EQ(leadingNumber(c.text), c.value);
  }
}

struct FormatCase {
  double value;
  const char* text;
};

constexpr FormatCase kFormatCases[] = {
    {0.65, "0.65"},     {1.5e9, "1.5e+09"}, {100000, "100000"},       {1e6, "1e+06"},
    {0.0001, "0.0001"}, {0.00001, "1e-05"}, {1234567, "1.23457e+06"}, {2, "2"},
    {0, "0"},           {-3.5, "-3.5"},     {0.1 + 0.2, "0.3"},       {123.456789, "123.457"},
};

TEST(FormatNumber, WritesAsPrintfG) {
  for (const FormatCase& c : kFormatCases) {
    SCOPED_TRACE(c.text);
    EXPECT_EQ(formatNumber(c.value), c.text);
  }
}

// A GUI toolkit may adopt the user's locale for the whole process; the file
// must not follow it.
TEST(FormatNumber, PointIsADotInEveryLocale) {
  const std::string previous = std::setlocale(LC_ALL, nullptr);
  const char* commaLocale = nullptr;
  for (const char* name :
       {"de_DE.UTF-8", "de_DE.utf8", "fr_FR.UTF-8", "fr_FR.utf8", "ru_RU.UTF-8", "de_DE", "fr_FR"})
    if (std::setlocale(LC_ALL, name) != nullptr) {
      commaLocale = name;
      break;
    }
  if (commaLocale == nullptr) GTEST_SKIP() << "no locale with a decimal comma is installed";
  const std::string formatted = formatNumber(0.65);
  const double read = leadingNumber("1.5e+09");
  std::setlocale(LC_ALL, previous.c_str());
  EXPECT_EQ(formatted, "0.65") << commaLocale;
  EXPECT_DOUBLE_EQ(read, 1.5e9) << commaLocale;
}

}  // namespace
}  // namespace tarnwick
