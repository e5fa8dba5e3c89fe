// Building and dumping large results trees.
#include <benchmark/benchmark.h>

#include <string>

#include "tarnwick/results_tree.h"
#include "tarnwick/tree_dump.h"

namespace {

using tarnwick::Item;
using tarnwick::NodeKind;
using tarnwick::ResultsTree;

// A crawl-shaped tree: pages with four categories of entries each.
void buildTree(ResultsTree& tree, long items) {
  const Item root = tree.clearResults();
  std::string label = "http://127.0.0.1:18437/section-00/page-0000.htm";
  long made = 1;
  for (long page = 0; made < items; ++page) {
    const Item p = tree.insert(root, label, NodeKind::Page);
    const Item links = tree.insert(p, "Web links", NodeKind::WebLinksCategory);
    made += 2;
    for (int i = 0; i < 40 && made < items; ++i, ++made) {
      label[label.size() - 5] = static_cast<char>('0' + i % 10);
      tree.insert(links, label, NodeKind::WebLinkEntry);
    }
  }
}

void BM_BuildTree(benchmark::State& state) {
  for (auto _ : state) {
    ResultsTree tree;
    buildTree(tree, state.range(0));
    benchmark::DoNotOptimize(tree.size());
  }
  state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_BuildTree)->Arg(1'000'000)->Unit(benchmark::kMillisecond);

void BM_DumpTree(benchmark::State& state) {
  ResultsTree tree;
  buildTree(tree, state.range(0));
  for (auto _ : state) benchmark::DoNotOptimize(tarnwick::dumpTree(tree).size());
  state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_DumpTree)->Arg(1'000'000)->Unit(benchmark::kMillisecond);

}  // namespace
