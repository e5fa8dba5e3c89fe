#pragma once

#include <string>

#include "tarnwick/host.h"

namespace tarnwick::cli {

// The command line's host: never waits for input. Messages go to standard
// error; questions get the answers fixed by flags; Ctrl-C is the stop
// request (a second Ctrl-C ends the program at once).
class TerminalHost : public Host {
 public:
  TerminalHost();
  ~TerminalHost() override;

  // Answer to the download volume question (default: stop).
  Answer volumeAnswer = Answer::Yes;
  // Number of messages shown (each one is a failure or a refusal to report).
  int messagesShown = 0;

  void pumpEvents() override {}
  bool stopRequested() override;
  void setSearchState(SearchState state) override;
  Answer ask(std::string_view text, Buttons buttons) override;

  // A one-line progress display on standard error, only when it is a terminal.
  void showProgressLine(const std::string& line);
  void endProgressLine();
  bool progressEnabled() const { return progress_; }

 private:
  bool progress_ = false;
  bool lineShown_ = false;
  bool stopSet_ = false;
};

}  // namespace tarnwick::cli
