#include "tarnwick/autoupdate.h"

#include "tarnwick/messages.h"

namespace tarnwick {

namespace {

constexpr std::int64_t kMillisecondsPerMinute = 60000;

char lowerAsciiByte(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

}  // namespace

const char* autoupdateInputProblem(std::string_view address, int minutes) {
  if (address.find("http://") == std::string_view::npos) return messages::kAutoupdateCheckUrl;
  if (address.find("brisolm") != std::string_view::npos ||
      address.find("corvenhaldmark") != std::string_view::npos)
    return messages::kAutoupdateNoNeed;
  if (minutes < 1) return messages::kAutoupdatePeriodInvalid;
  return nullptr;
}

void switchAutoupdate(AutoupdateState& state) {
  if (state.timerOn) {
    state.timerOn = false;
    return;
  }
  state.periodMs = std::int64_t{state.minutes} * kMillisecondsPerMinute;
  state.timerOn = true;
}

bool isWebAddress(std::string_view address) {
  const auto startsWith = [address](std::string_view scheme) {
    if (address.size() < scheme.size()) return false;
    for (std::size_t i = 0; i < scheme.size(); ++i)
      if (lowerAsciiByte(address[i]) != scheme[i]) return false;
    return true;
  };
  return startsWith("http://") || startsWith("https://");
}

}  // namespace tarnwick
