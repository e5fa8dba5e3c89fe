#pragma once

#include <deque>
#include <functional>
#include <string>
#include <vector>

#include "tarnwick/host.h"

namespace tarnwick::test {

// A host whose answers are scripted and whose calls are recorded.
class FakeHost : public Host {
 public:
  // Answers handed out in order; when they run out, `fallback` is given.
  std::deque<Answer> answers;
  Answer fallback = Answer::Yes;
  // Set the stop request at the n-th pump (1-based); 0 never.
  int stopAtPump = 0;
  // Runs at every pump after the stop check (e.g. to delete items).
  std::function<void(int pump)> onPump;

  bool stop = false;
  int pumps = 0;
  std::vector<std::string> asked;  // every text given to ask(), in order
  std::vector<int> progress;
  std::vector<SearchState> states;
  std::vector<std::string> addresses;
  std::vector<CrawlCounters> crawlStatus;
  std::vector<std::string> reports;
  std::vector<Item> expanded;

  void pumpEvents() override;
  bool stopRequested() override { return stop; }
  void setSearchState(SearchState state) override;
  Answer ask(std::string_view text, Buttons buttons) override;
  void setProgress(int percent) override { progress.push_back(percent); }
  void setCurrentAddress(std::string_view address) override { addresses.emplace_back(address); }
  void showCrawlStatus(const CrawlCounters& counters) override { crawlStatus.push_back(counters); }
  void showLocalReport(std::string_view text) override { reports.emplace_back(text); }
  void expandItem(Item item) override { expanded.push_back(item); }
};

}  // namespace tarnwick::test
