// Exports of large results trees: "Save results" with all three sections and
// the tree with structure, at two sizes to show the cost grows linearly.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <map>
#include <memory>
#include <string>

#include "tarnwick/exports.h"
#include "tarnwick/results_tree.h"

namespace {

using tarnwick::Item;
using tarnwick::NodeKind;
using tarnwick::ResultsTree;

constexpr long kItemsPerPage = 30;  // page, 3 categories, 18 links, 5 e-mails, 3 keywords
constexpr long kLinksPerPage = 18;

// A crawl-shaped tree of about `items` items whose link entries hold
// items / 5 distinct addresses, each found on three pages. Every tenth page
// hangs under a link of the page before it, as a followed link does.
std::unique_ptr<ResultsTree> buildTree(long items) {
  auto tree = std::make_unique<ResultsTree>();
  tree->reserve(static_cast<std::size_t>(items));
  const Item root = tree->clearResults();
  const long distinct = items / 5;
  char label[96];
  long linkCount = 0;
  Item lastLink = root;
  for (long page = 0; page < items / kItemsPerPage; ++page) {
    std::snprintf(label, sizeof label, "http://www.site%ld.com/section/page%ld.html", page % 97,
                  page);
    const Item parent = page % 10 == 9 ? lastLink : root;
    const Item p = tree->insert(parent, label, parent == root ? NodeKind::Page : NodeKind::WebLinkEntry);
    const Item links = tree->insert(p, "Web links", NodeKind::WebLinksCategory);
    for (long i = 0; i < kLinksPerPage; ++i, ++linkCount) {
      const long id = linkCount % distinct;
      std::snprintf(label, sizeof label, "http://www.site%ld.com/dir%ld/page%ld.%s", id % 97,
                    id % 13, id, id % 3 == 0 ? "php" : "html");
      lastLink = tree->insert(links, label, NodeKind::WebLinkEntry);
    }
    const Item mails = tree->insert(p, "E-mails", NodeKind::EmailsCategory);
    for (long i = 0; i < 5; ++i) {
      std::snprintf(label, sizeof label, "person%ld@site%ld.com", i, page % 97);
      tree->insert(mails, label, NodeKind::EmailEntry);
    }
    const Item words = tree->insert(p, "Key words", NodeKind::KeywordsCategory);
    for (long i = 0; i < 3; ++i) {
      std::snprintf(label, sizeof label, "(%ld) ' a line of text around the keyword %ld ' ",
                    page * 31 + i, i);
      tree->insert(words, label, NodeKind::KeywordEntry);
    }
  }
  return tree;
}

const ResultsTree& treeOf(long items) {
  static std::map<long, std::unique_ptr<ResultsTree>> trees;
  auto& tree = trees[items];
  if (!tree) tree = buildTree(items);
  return *tree;
}

std::filesystem::path outputPath(const char* name) {
  return std::filesystem::temp_directory_path() /
         ("tarnwick-export-bench-" + std::to_string(::getpid()) + "-" + name);
}

void BM_SaveResultsAllSections(benchmark::State& state) {
  const ResultsTree& tree = treeOf(state.range(0));
  tarnwick::SaveResultsOptions options;
  options.emails = options.allWebLinks = options.keywords = true;
  const auto path = outputPath("results.txt");
  for (auto _ : state) {
    const auto result = tarnwick::saveResults(tree, options, Item(), "http://www.site1.com/", path);
    if (!result.ok()) state.SkipWithError(result.detail.c_str());
  }
  state.counters["items"] = static_cast<double>(tree.size());
  state.counters["bytes"] = static_cast<double>(std::filesystem::file_size(path));
  state.SetItemsProcessed(state.iterations() * static_cast<long>(tree.size()));
  std::filesystem::remove(path);
}
BENCHMARK(BM_SaveResultsAllSections)
    ->Arg(500'000)
    ->Arg(1'000'000)
    ->Arg(2'000'000)
    ->Unit(benchmark::kMillisecond);

void BM_SaveResultsFilteredLinks(benchmark::State& state) {
  const ResultsTree& tree = treeOf(state.range(0));
  tarnwick::SaveResultsOptions options;
  options.allWebLinks = options.onlyWithExtensions = true;
  const auto path = outputPath("links.txt");
  for (auto _ : state) tarnwick::saveResults(tree, options, Item(), "", path);
  state.SetItemsProcessed(state.iterations() * static_cast<long>(tree.size()));
  std::filesystem::remove(path);
}
BENCHMARK(BM_SaveResultsFilteredLinks)->Arg(1'000'000)->Unit(benchmark::kMillisecond);

void BM_SaveTreeStructure(benchmark::State& state) {
  const ResultsTree& tree = treeOf(state.range(0));
  const auto path = outputPath("structure.txt");
  for (auto _ : state) tarnwick::saveTreeStructure(tree, path);
  state.counters["bytes"] = static_cast<double>(std::filesystem::file_size(path));
  state.SetItemsProcessed(state.iterations() * static_cast<long>(tree.size()));
  std::filesystem::remove(path);
}
BENCHMARK(BM_SaveTreeStructure)->Arg(500'000)->Arg(1'000'000)->Unit(benchmark::kMillisecond);

}  // namespace
