#include "timeout_flags.h"

#include "number_flags.h"

namespace tarnwick::cli {

namespace {
// About eleven days: far beyond any useful wait, far inside the clocks' range.
constexpr double kMaxSeconds = 1e6;
}  // namespace

void addTimeoutFlags(CLI::App& sub, TimeoutFlags& flags) {
  flags.timeout = sub.add_option("--timeout", flags.timeoutSeconds,
                                 "Seconds to wait for a connection, and for data on a connection")
                      ->check(numberWithin(0, kMaxSeconds, true))
                      ->capture_default_str();
  sub.add_option("--max-time", flags.maxTimeSeconds,
                 "Seconds an address may take in all before it fails as a time-out (0: no limit)")
      ->check(numberWithin(0, kMaxSeconds))
      ->capture_default_str();
}

}  // namespace tarnwick::cli
