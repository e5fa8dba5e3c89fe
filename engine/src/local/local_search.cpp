#include "tarnwick/local_search.h"

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <system_error>

#include "local/chunk_reader.h"
#include "scan/keyword_list.h"
#include "scan/result_inserter.h"
#include "scan/text_window.h"
#include "tarnwick/messages.h"

namespace tarnwick {

namespace {

constexpr std::size_t kChunkBytes = 1024;
constexpr int kOverlap = 50;

namespace fs = std::filesystem;

// Absolute, without "." or ".." segments and doubled "/", symlinks kept.
std::string normalisedPath(const std::string& path) {
  std::error_code ec;
  const fs::path absolute = fs::absolute(path, ec);
  return (ec ? fs::path(path) : absolute).lexically_normal().string();
}

// Regular files directly in folder, by name in byte order; dot-files included.
// listError receives why the folder could not be listed (whole or in part).
std::vector<std::string> filesOf(const std::string& folder, std::string& listError) {
  std::vector<std::string> files;
  std::error_code ec;
  fs::directory_iterator it(folder, ec);
  for (fs::directory_iterator end; !ec && it != end; it.increment(ec)) {
    std::error_code statError;
    if (it->is_regular_file(statError)) files.push_back(it->path().filename().string());
  }
  if (ec) listError = folder + ": " + ec.message();
  std::sort(files.begin(), files.end());
  const std::string base = normalisedPath(folder);
  for (auto& name : files) name = (fs::path(base) / name).string();
  return files;
}

}  // namespace

std::string localReport(const LocalSearchSummary& s) {
  char text[160];
  std::snprintf(text, sizeof text, "%ld links, %ld e-mails, %ld key words are found in %d files",
                s.webLinks, s.emails, s.keywords, s.files);
  return text;
}

LocalSearch::LocalSearch(ResultsTree& tree, Host& host)
    : tree_(tree), host_(host), inserter_(std::make_unique<ResultInserter>(tree)) {}

LocalSearch::~LocalSearch() = default;

LocalSearchSummary LocalSearch::run(LocalSearchOptions& options) {
  LocalSearchSummary summary;
  host_.setSearchState(SearchState::Running);
  inserter_->found = {};
  inserter_->keywords = makeKeywords(splitKeywords(options.keywords));
  if (!tree_.contains(tree_.rootItem())) tree_.clearResults();
  const Item root = tree_.rootItem();
  const auto target = static_cast<SearchTarget>(options.searchTarget);
  if (options.searchTarget == static_cast<int>(SearchTarget::File)) {
    scanFile(root, options.searchPath, options, summary);
    summary.files = 1;
    report(options, summary);
    host_.setSearchState(SearchState::Idle);
  } else if (target == SearchTarget::Folder) {
    scanFolder(root, options, summary);
    report(options, summary);
    host_.setSearchState(SearchState::Idle);
  }
  if (target == SearchTarget::Nothing || options.searchPath.empty())
    host_.showMessage(messages::kSearchObjectUndetermined);
  return summary;
}

void LocalSearch::report(LocalSearchOptions& options, LocalSearchSummary& summary) {
  summary.webLinks = inserter_->found.webLinks;
  summary.emails = inserter_->found.emails;
  summary.keywords = inserter_->found.keywords;
  summary.images = inserter_->found.images;
  options.reportText = localReport(summary);
  host_.showLocalReport(options.reportText);
}

void LocalSearch::scanFolder(Item parent, LocalSearchOptions& options,
                             LocalSearchSummary& summary) {
  summary.files = 0;
  if (options.searchPath.empty()) return;
  for (const std::string& path : filesOf(options.searchPath, summary.listError)) {
    ++summary.files;
    scanFile(parent, path, options, summary);
    report(options, summary);
    if (host_.stopRequested()) break;
  }
}

std::uint64_t LocalSearch::scanFile(Item parent, const std::string& path,
                                    const LocalSearchOptions& options,
                                    LocalSearchSummary& summary) {
  if (path.empty()) {
    host_.showMessage(messages::kNoFileChosen);
    return 0;
  }
  const std::string label = normalisedPath(path);
  const Item fileItem = tree_.insert(parent, label, NodeKind::Page);
  inserter_->beginSource(fileItem);
  inserter_->matchCase = options.matchCase;
  const ScanSelection selection{options.findWebLinks, options.findImages, options.findEmails,
                                options.findKeywords};
  std::uint64_t total = 0;
  try {
    ChunkReader reader(path, kChunkBytes);
    if (reader.length() == 0) return 0;
    host_.setProgress(0);
    TextWindowReader windows(kOverlap);
    for (std::string_view chunk = reader.next(); !chunk.empty(); chunk = reader.next()) {
      if (host_.stopRequested()) {
        if (host_.ask(messages::kStopQuestion, Buttons::YesNo) == Answer::Yes) {
          host_.setSearchState(SearchState::Idle);
          break;
        }
        host_.setSearchState(SearchState::Running);
      }
      host_.pumpEvents();
      total += chunk.size();
      host_.setProgress(static_cast<int>(std::min<std::uint64_t>(100, total * 100 / reader.length())));
      inserter_->scanLocal(windows.next(chunk), selection, kOverlap);
    }
  } catch (const std::system_error&) {
    // One unreadable file must not end the search: mark it and go on.
    if (tree_.contains(fileItem)) tree_.insert(fileItem, messages::kCannotOpenFile, NodeKind::ErrorItem);
    summary.unreadable.push_back(label);
  }
  if (tree_.contains(parent)) host_.expandItem(parent);
  host_.setProgress(0);
  return total;
}

}  // namespace tarnwick
