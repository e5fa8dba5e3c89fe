// Throughput of the page scanner on synthetic link-dense HTML: windows of
// 1024-byte chunks with overlap 50 (the local search), scanned the way result
// insertion drives scanNext, without the tree.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <string_view>
#include <vector>

#include "scan/keyword_list.h"
#include "scan/page_scanner.h"
#include "scan/text_window.h"

namespace tarnwick {
namespace {

constexpr std::size_t kChunk = 1024;
constexpr int kOverlap = 50;
constexpr int kMaxCalls = 1000;

const char* const kWords[] = {
    "the",     "of",      "and",    "to",      "in",     "is",     "for",    "on",     "that",
    "with",    "page",    "site",   "web",     "link",   "list",   "search", "result", "value",
    "system",  "archive", "report", "section", "topic",  "service", "network", "guide",
    "manual",  "review",  "support", "project", "update", "release", "history", "index",
    "summary", "status",  "record", "member",  "office", "contact", "policy", "product",
    "market",  "region",  "garden", "library", "museum", "harbour", "bridge", "castle"};

class HtmlMaker {
 public:
  explicit HtmlMaker(unsigned seed) : rng_(seed) {}

  // Paragraphs of text with a few anchors of every spelling, images, mailto
  // anchors and an occasional keyword (about one tag per 150 bytes).
  std::string article(std::size_t bytes) {
    std::string html = "<!DOCTYPE html>\n<html><head><title>Archive</title></head>\n<body>\n";
    while (html.size() < bytes) {
      if (pick(3) == 0) html += "<figure>" + image() + "<figcaption>" + words(6) + "</figcaption></figure>\n";
      html += "<p>";
      const int count = 40 + pick(70);
      for (int i = 0; i < count; ++i) {
        if (pick(30) == 0) html += anchor(path()) + " ";
        if (pick(200) == 0) html += anchor("mailto:" + word() + "." + word() + "@example.org") + " ";
        if (pick(150) == 0) html += (pick(2) ? "ultramarine " : "Ultramarine ");
        html += word();
        html += ' ';
      }
      html += ".</p>\n";
    }
    return html;
  }

  // Navigation lists: one anchor per about 40 bytes.
  std::string linkList(std::size_t bytes) {
    std::string html = "<ul class=\"nav\">\n";
    while (html.size() < bytes) {
      html += "<li>" + anchor(path()) + "</li>\n";
      if (pick(10) == 0) html += "<li>" + image() + "</li>\n";
    }
    return html;
  }

 private:
  int pick(int n) { return static_cast<int>(rng_() % static_cast<unsigned>(n)); }
  std::string word() { return kWords[pick(std::size(kWords))]; }
  std::string words(int n) {
    std::string text = word();
    for (int i = 1; i < n; ++i) text += " " + word();
    return text;
  }
  std::string path() {
    switch (pick(4)) {
      case 0: return "/s" + std::to_string(pick(9)) + "/" + word() + ".html";
      case 1: return "../" + word() + "/" + word() + "-" + std::to_string(pick(100)) + ".html";
      case 2: return "http://127.0.0.1:8080/" + word() + "/index.html";
      default: return word() + ".html";
    }
  }
  std::string anchor(const std::string& href) {
    const std::string text = word();
    switch (pick(10)) {
      case 0: return "<a href='" + href + "'>" + text + "</a>";
      case 1: return "<a class=\"lnk\" title=\"" + text + " page\" href=\"" + href + "\">" + text + "</a>";
      case 2: return "<A HREF=\"" + href + "\">" + text + "</A>";
      case 3: return "<a href = \"" + href + "\" rel=\"nofollow\">" + text + "</a>";
      default: return "<a href=\"" + href + "\">" + text + "</a>";
    }
  }
  std::string image() {
    const std::string src = "/img/" + word() + "-" + std::to_string(pick(50)) + ".jpg";
    switch (pick(8)) {
      case 0: return "<img alt='" + words(2) + "' src='" + src + "'>";
      case 1: return "<IMG SRC=\"" + src + "\" ALT=\"" + word() + "\">";
      default: return "<img src=\"" + src + "\" alt=\"" + word() + "\" width=\"64\" height=\"48\">";
    }
  }

  std::mt19937 rng_;
};

// Argument 2 scans the file named by TARNWICK_SCAN_BENCH_FILE (for example a
// file of the shared benchmark corpus); empty when it is not set.
std::string readSampleFile() {
  const char* path = std::getenv("TARNWICK_SCAN_BENCH_FILE");
  if (!path) return {};
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

const std::string& sample(int which) {
  static const std::string article = HtmlMaker(7).article(8 << 20);
  static const std::string links = HtmlMaker(8).linkList(8 << 20);
  static const std::string file = readSampleFile();
  return which == 0 ? article : which == 1 ? links : file;
}

enum Kinds : int { kKeywords = 1, kLinks = 2, kImages = 4, kEmails = 8, kAll = 15 };

// The loops of result insertion, counting instead of inserting.
std::int64_t scanWindow(const ScanText& text, const std::vector<Keyword>& keywords, int kinds) {
  std::int64_t found = 0;
  int position = 0;
  int hit = 0;
  if (kinds & kKeywords) {
    for (const Keyword& keyword : keywords) {
      position = 0;
      hit = 0;
      for (int i = 0; i < kMaxCalls && hit >= 0; ++i) {
        found += scanNext(text, position, kOverlap, &keyword, ScanKind::Keyword, hit, false).size() >= 2;
      }
    }
  }
  for (const ScanKind kind : {ScanKind::WebLink, ScanKind::Image}) {
    if (!(kinds & (kind == ScanKind::WebLink ? kLinks : kImages))) continue;
    position = 0;
    for (int i = 0; i < kMaxCalls; ++i) {
      const std::string_view value = scanNext(text, position, kOverlap, nullptr, kind, hit, false);
      if (value.size() <= 2 || value.front() == '#') break;
      ++found;
    }
  }
  if (kinds & kEmails) {
    position = 0;
    for (int i = 0; i < kMaxCalls && position >= 0; ++i) {
      found += !scanNext(text, position, kOverlap, nullptr, ScanKind::Email, hit, false).empty();
    }
  }
  return found;
}

void scanSource(benchmark::State& state, int kinds) {
  const std::string& source = sample(static_cast<int>(state.range(0)));
  if (source.empty()) {
    state.SkipWithError("TARNWICK_SCAN_BENCH_FILE is not set or names an empty file");
    return;
  }
  const std::vector<Keyword> keywords = makeKeywords({"ultramarine"});
  ScanText text;
  std::int64_t found = 0;
  for (auto _ : state) {
    TextWindowReader reader(kOverlap);
    for (std::size_t at = 0; at < source.size(); at += kChunk) {
      const TextWindow& window = reader.next(std::string_view(source).substr(at, kChunk));
      text.reset(window.text);
      found += scanWindow(text, keywords, kinds);
    }
    benchmark::DoNotOptimize(found);
  }
  if (state.iterations() == 0) return;
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) *
                          static_cast<std::int64_t>(source.size()));
  state.counters["found/MB"] = benchmark::Counter(
      static_cast<double>(found) / static_cast<double>(state.iterations()) /
      (static_cast<double>(source.size()) / 1e6));
}

void BM_WindowsOnly(benchmark::State& state) { scanSource(state, 0); }
void BM_Keywords(benchmark::State& state) { scanSource(state, kKeywords); }
void BM_WebLinks(benchmark::State& state) { scanSource(state, kLinks); }
void BM_Images(benchmark::State& state) { scanSource(state, kImages); }
void BM_Emails(benchmark::State& state) { scanSource(state, kEmails); }
void BM_AllFourKinds(benchmark::State& state) { scanSource(state, kAll); }

// Argument: 0 article text with links, 1 navigation lists, 2 a file.
BENCHMARK(BM_WindowsOnly)->Arg(0)->Arg(1)->Arg(2)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Keywords)->Arg(0)->Arg(1)->Arg(2)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_WebLinks)->Arg(0)->Arg(1)->Arg(2)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Images)->Arg(0)->Arg(1)->Arg(2)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Emails)->Arg(0)->Arg(1)->Arg(2)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_AllFourKinds)->Arg(0)->Arg(1)->Arg(2)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace tarnwick
