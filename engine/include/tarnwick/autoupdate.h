#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace tarnwick {

// The whole state of the autoupdate setting, kept for the run (it is not
// written to the settings file).
struct AutoupdateState {
  bool timerOn = false;
  std::int64_t periodMs = 0;  // minutes x 60000, set whenever the timer goes on
  std::string address;
  int minutes = 15;
};

// Why "Set timer" / "Kill timer" refuses these inputs, or nullptr when they
// pass: an address without "http://", one of the pages that need no
// updating, a period below one minute.
const char* autoupdateInputProblem(std::string_view address, int minutes);

// On goes off; off goes on with the period of the stored minutes.
void switchAutoupdate(AutoupdateState& state);

// True for the addresses the system's browser may be given: those that
// begin with "http://" or "https://" in any letter case.
bool isWebAddress(std::string_view address);

}  // namespace tarnwick
