// The settings file. Arbitrary bytes read as a settings file, written and
// read again, give the options of the first read; arbitrary option values
// without line feeds come back from a write and a read as they went in
// (numbers as "%g" writes them).
#include <fuzzer/FuzzedDataProvider.h>

#include <unistd.h>

#include <algorithm>
#include <fstream>
#include <string>

#include "fuzz_check.h"
#include "scratch_folder.h"
#include "settings/number_text.h"
#include "tarnwick/settings_file.h"

using namespace tarnwick;

namespace {

// A "Current directory:" line moves the process; every read is undone here.
bool readInPlace(const std::string& path, Settings& settings) {
  const std::filesystem::path before = std::filesystem::current_path();
  const bool read = readSettings(path, settings);
  std::filesystem::current_path(before);
  return read;
}

bool sameOptions(const Settings& a, const Settings& b) {
  const FetchOptions& f = a.fetch;
  const FetchOptions& g = b.fetch;
  const LocalSearchOptions& l = a.local;
  const LocalSearchOptions& m = b.local;
  return a.workFolder == b.workFolder && f.startAddress == g.startAddress &&
         f.findWebLinks == g.findWebLinks && f.findImages == g.findImages &&
         f.findEmails == g.findEmails && f.findKeywords == g.findKeywords &&
         f.matchCase == g.matchCase && f.keywords == g.keywords && f.levels == g.levels &&
         f.downloadFolder == g.downloadFolder &&
         formatNumber(f.maxDownloadGB) == formatNumber(g.maxDownloadGB) &&
         f.onlyRootDomain == g.onlyRootDomain && f.onlyParentDomain == g.onlyParentDomain &&
         l.keywords == m.keywords && l.findKeywords == m.findKeywords &&
         l.findEmails == m.findEmails && l.findWebLinks == m.findWebLinks &&
         l.findImages == m.findImages && l.matchCase == m.matchCase &&
         l.searchPath == m.searchPath && l.reportText == m.reportText &&
         l.searchTarget == m.searchTarget && f.parallelConnections == g.parallelConnections;
}

std::string valueWithoutLineFeeds(FuzzedDataProvider& input) {
  std::string value = input.ConsumeRandomLengthString(300);
  for (char& c : value)
    if (c == '\n') c = ' ';
  return value;
}

Settings randomSettings(FuzzedDataProvider& input) {
  Settings s;
  s.workFolder = std::filesystem::canonical(fuzz::scratchFolder()).string();
  FetchOptions& f = s.fetch;
  f.startAddress = valueWithoutLineFeeds(input);
  f.findWebLinks = input.ConsumeBool();
  f.findImages = input.ConsumeBool();
  f.findEmails = input.ConsumeBool();
  f.findKeywords = input.ConsumeBool();
  f.matchCase = input.ConsumeBool();
  f.keywords = valueWithoutLineFeeds(input);
  f.levels = input.ConsumeIntegral<std::int32_t>();
  f.downloadFolder = valueWithoutLineFeeds(input);
  f.maxDownloadGB = input.ConsumeFloatingPoint<double>();
  f.onlyRootDomain = input.ConsumeBool();
  f.onlyParentDomain = input.ConsumeBool();
  LocalSearchOptions& l = s.local;
  l.keywords = valueWithoutLineFeeds(input);
  l.findKeywords = input.ConsumeBool();
  l.findEmails = input.ConsumeBool();
  l.findWebLinks = input.ConsumeBool();
  l.findImages = input.ConsumeBool();
  l.matchCase = input.ConsumeBool();
  l.searchPath = valueWithoutLineFeeds(input);
  l.reportText = valueWithoutLineFeeds(input);
  l.searchTarget = input.ConsumeIntegral<std::int32_t>();
  f.parallelConnections = input.ConsumeIntegral<std::int32_t>();
  return s;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string path = (fuzz::scratchFolder() / "settings.txt").string();
  const std::string copy = (fuzz::scratchFolder() / "again" / "settings.txt").string();
  FuzzedDataProvider input(data, size);

  // The program's work folder is always a real folder (the home folder at
  // the start), so an empty one is never written.
  Settings first;
  first.workFolder = std::filesystem::current_path().string();
  if (input.ConsumeBool()) {
    {
      std::ofstream file(path, std::ios::binary | std::ios::trunc);
      file << input.ConsumeRemainingBytesAsString();
    }
    FUZZ_CHECK(readInPlace(path, first));
  } else {
    first = randomSettings(input);
  }
  const std::string text = formatSettings(first);
  FUZZ_CHECK(std::count(text.begin(), text.end(), '\n') == 23);

  FUZZ_CHECK(writeSettings(copy, first));
  Settings second;
  FUZZ_CHECK(readInPlace(copy, second));
  FUZZ_CHECK(sameOptions(first, second));
  // What was read once is what the file says: it reads back unchanged.
  FUZZ_CHECK(formatSettings(second) == text);
  FUZZ_CHECK(second.fetch.maxDownloadGB == leadingNumber(formatNumber(first.fetch.maxDownloadGB)));
  return 0;
}
