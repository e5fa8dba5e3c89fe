#pragma once

#include <CLI/CLI.hpp>

#include <chrono>
#include <cmath>

namespace tarnwick::cli {

// --timeout SECONDS and --max-time SECONDS, shared by the network subcommands.
struct TimeoutFlags {
  double timeoutSeconds = 120;
  double maxTimeSeconds = 0;  // 0: no total limit
  CLI::Option* timeout = nullptr;

  std::chrono::milliseconds timeoutLength() const { return toMs(timeoutSeconds); }
  std::chrono::milliseconds maxTime() const { return toMs(maxTimeSeconds); }
  bool timeoutGiven() const { return timeout && timeout->count() > 0; }

 private:
  // Rounded up: a positive value never becomes 0, which means "no limit".
  static std::chrono::milliseconds toMs(double seconds) {
    return std::chrono::milliseconds(static_cast<long long>(std::ceil(seconds * 1000)));
  }
};

void addTimeoutFlags(CLI::App& sub, TimeoutFlags& flags);

}  // namespace tarnwick::cli
