#pragma once

#include <cstdint>
#include <string_view>

#include "tarnwick/results_tree.h"

namespace tarnwick {

enum class Buttons { Ok, YesNo, YesNoCancel };
enum class Answer { Ok, Yes, No, Cancel };

// The state of the search dialog that started the work. Idle sets the stop
// request; Running clears it.
enum class SearchState { Idle, Running };

// Counters shown while a crawl runs.
struct CrawlCounters {
  int level = 0;
  long pages = 0;
  std::int64_t bytes = 0;
  long keywords = 0;
  long webLinks = 0;
  long images = 0;
  long emails = 0;
};

// Everything the engine asks of a front end. The desktop implements it with
// Qt, the command line with the terminal, tests with a scripted fake. The
// engine calls pumpEvents() once per chunk it reads and looks at
// stopRequested() where the work may stop.
class Host {
 public:
  virtual ~Host() = default;

  // Let the front end handle pending input and repaint.
  virtual void pumpEvents() {}
  // True when the user asked the running search to stop.
  virtual bool stopRequested() = 0;
  // Idle: the dialog's idle buttons and the stop request set.
  // Running: the dialog's running buttons and the stop request cleared.
  virtual void setSearchState(SearchState state) = 0;
  // A question or message in a box with the given buttons.
  virtual Answer ask(std::string_view text, Buttons buttons) = 0;
  void showMessage(std::string_view text) { ask(text, Buttons::Ok); }

  virtual void setProgress(int /*percent*/) {}
  // The address being read by a crawl.
  virtual void setCurrentAddress(std::string_view /*address*/) {}
  virtual void showCrawlStatus(const CrawlCounters& /*counters*/) {}
  // The local search's report line.
  virtual void showLocalReport(std::string_view /*text*/) {}
  // Show the children of item (the root item at the end of a search).
  virtual void expandItem(Item /*item*/) {}
};

}  // namespace tarnwick
