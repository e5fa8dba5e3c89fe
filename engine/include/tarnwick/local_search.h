#pragma once

#include <memory>
#include <string>
#include <vector>

#include "tarnwick/host.h"
#include "tarnwick/options.h"
#include "tarnwick/results_tree.h"

namespace tarnwick {

struct LocalSearchSummary {
  long webLinks = 0;
  long emails = 0;
  long keywords = 0;
  long images = 0;
  int files = 0;
  // Files that could not be opened or read; each also has an error item.
  std::vector<std::string> unreadable;
  // Why the folder could not be listed; empty when it could. Its files then
  // count as none (or as those listed before the failure).
  std::string listError;
};

// "%d links, %d e-mails, %d key words are found in %d files"
std::string localReport(const LocalSearchSummary& summary);

class ResultInserter;

// The local search: one file, or every regular file directly in a folder,
// scanned into the tree under its root item. Results of earlier searches stay.
class LocalSearch {
 public:
  LocalSearch(ResultsTree& tree, Host& host);
  ~LocalSearch();

  // Puts the host in its running state and runs the search that options describe, writes the report line into
  // options.reportText and shows it through the host. The host's stop
  // request is looked at before every chunk and after every file.
  LocalSearchSummary run(LocalSearchOptions& options);

 private:
  std::uint64_t scanFile(Item parent, const std::string& path, const LocalSearchOptions& options,
                         LocalSearchSummary& summary);
  void scanFolder(Item parent, LocalSearchOptions& options, LocalSearchSummary& summary);
  void report(LocalSearchOptions& options, LocalSearchSummary& summary);

  ResultsTree& tree_;
  Host& host_;
  std::unique_ptr<ResultInserter> inserter_;
};

}  // namespace tarnwick
