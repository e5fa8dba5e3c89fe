#pragma once

#include <CLI/CLI.hpp>

namespace tarnwick::cli {

// A check for a numeric option: a finite decimal number from min to max
// (min itself refused when minExcluded); "nan", "inf" and anything out of the
// range are usage errors whose message names the limits as people write them.
CLI::Validator numberWithin(double min, double max, bool minExcluded = false);

// The same for a whole number.
CLI::Validator wholeNumberWithin(long long min, long long max);

}  // namespace tarnwick::cli
