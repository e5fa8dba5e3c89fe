#include "terminal_host.h"

#include <unistd.h>

#include <atomic>
#include <csignal>
#include <cstdio>
#include <cstdlib>

#include "tarnwick/messages.h"
#include "tarnwick/pending_files.h"
#include "terminal_text.h"

namespace tarnwick::cli {

namespace {

std::atomic<int> interrupts{0};

constexpr int kEndingSignals[] = {SIGINT, SIGTERM, SIGHUP};

// Ends the process at once, leaving no half-written file behind.
[[noreturn]] void endBySignal(int signal) {
  removePendingFiles();
  _exit(128 + signal);
}

extern "C" void onSignal(int signal) {
  // The first Ctrl-C asks the work to stop at its next check; the second ends at once.
  if (signal != SIGINT || interrupts.fetch_add(1) >= 1) endBySignal(signal);
}

}  // namespace

TerminalHost::TerminalHost() : progress_(isatty(STDERR_FILENO) == 1) {
  struct sigaction action {};
  action.sa_handler = onSignal;
  sigemptyset(&action.sa_mask);
  for (int signal : kEndingSignals) sigaddset(&action.sa_mask, signal);
  for (int signal : kEndingSignals) sigaction(signal, &action, nullptr);
}

TerminalHost::~TerminalHost() {
  endProgressLine();
  for (int signal : kEndingSignals) std::signal(signal, SIG_DFL);
}

bool TerminalHost::stopRequested() { return stopSet_ || interrupts.load() > 0; }

void TerminalHost::setSearchState(SearchState state) {
  stopSet_ = state == SearchState::Idle;
  if (state == SearchState::Running) interrupts.store(0);
}

Answer TerminalHost::ask(std::string_view text, Buttons buttons) {
  endProgressLine();
  if (text == messages::kStopQuestion) return Answer::Yes;  // Ctrl-C means it
  if (text == messages::kVolumeQuestion) {
    std::fprintf(stderr, "tarnwick-cli: download volume limit reached: %s\n",
                 volumeAnswer == Answer::Yes      ? "stopping"
                 : volumeAnswer == Answer::No     ? "going on without a limit"
                                                  : "reading this address, asking again at the next");
    return volumeAnswer;
  }
  ++messagesShown;
  const std::string shown = printableMessage(text);
  std::fprintf(stderr, "tarnwick-cli: %s\n", shown.c_str());
  return buttons == Buttons::Ok ? Answer::Ok : Answer::No;
}

void TerminalHost::showProgressLine(const std::string& line) {
  if (!progress_) return;
  std::fprintf(stderr, "\r\033[K%s", printable(line).c_str());
  std::fflush(stderr);
  lineShown_ = true;
}

void TerminalHost::endProgressLine() {
  if (!lineShown_) return;
  std::fputs("\r\033[K", stderr);
  std::fflush(stderr);
  lineShown_ = false;
}

}  // namespace tarnwick::cli
