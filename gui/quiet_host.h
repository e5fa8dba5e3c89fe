#pragma once

#include "tarnwick/host.h"

namespace tarnwick::gui {

// The engine's host for a batch whose failures are summed up at its end:
// pumping, progress and questions go to the window's host, plain messages
// are left out (each failure is in the batch's outcomes).
class QuietHost : public Host {
 public:
  explicit QuietHost(Host& window) : window_(window) {}

  void pumpEvents() override { window_.pumpEvents(); }
  // Downloads poll their own stop request, never a search's.
  bool stopRequested() override { return false; }
  void setSearchState(SearchState) override {}
  Answer ask(std::string_view text, Buttons buttons) override {
    return buttons == Buttons::Ok ? Answer::Ok : window_.ask(text, buttons);
  }
  void setProgress(int percent) override { window_.setProgress(percent); }

 private:
  Host& window_;
};

}  // namespace tarnwick::gui
