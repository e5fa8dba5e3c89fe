#include <string>

#include "tarnwick/downloads.h"

namespace tarnwick {

namespace {

std::string reasonOf(const DownloadOutcome& outcome) {
  if (!outcome.reason.empty()) return outcome.reason;
  switch (outcome.status) {
    case DownloadStatus::Stored:
      return "stored";
    case DownloadStatus::NoFile:
      return "the server answered with an error status";
    case DownloadStatus::NothingToRead:
      return "the server sent nothing";
    case DownloadStatus::CannotWrite:
      return "the file could not be written";
    case DownloadStatus::NetworkError:
      return "network error";
    case DownloadStatus::Stopped:
      return "stopped";
  }
  return "failed";
}

}  // namespace

std::string downloadFailureSummary(const std::vector<DownloadOutcome>& outcomes,
                                   std::size_t listed) {
  std::size_t failed = 0;
  std::string lines;
  for (const DownloadOutcome& outcome : outcomes) {
    if (outcome.stored()) continue;
    if (++failed <= listed) lines += outcome.address + " - " + reasonOf(outcome) + "\n";
  }
  if (failed == 0) return {};
  std::string text = std::to_string(failed) + " of " + std::to_string(outcomes.size()) +
                     (outcomes.size() == 1 ? " address " : " addresses ") +
                     (failed == 1 ? "was" : "were") + " not downloaded:\n\n" + lines;
  if (failed > listed) text += "and " + std::to_string(failed - listed) + " more\n";
  text.pop_back();  // no line end after the last line of a message box
  return text;
}

}  // namespace tarnwick
