// The list-of-links reader on arbitrary list files, and a list of plain
// addresses written one a line reads back as it was.
#include <fuzzer/FuzzedDataProvider.h>

#include <sstream>
#include <string>
#include <vector>

#include "fuzz_check.h"
#include "tarnwick/downloads.h"

using namespace tarnwick;
using tarnwick::fuzz::contains;

namespace {

std::vector<std::string> read(const std::string& text) {
  std::istringstream in(text);
  return readLinkList(in);
}

// An address the reader must keep whole: short enough for one piece, and no
// end it would cut.
std::string plainAddress(FuzzedDataProvider& input) {
  std::string address = "http://" + input.ConsumeRandomLengthString(300);
  for (char& c : address)
    if (c == '\n') c = '_';
  while (!address.empty() && std::string_view(" \r\"'").find(address.back()) != std::string_view::npos)
    address.pop_back();
  return address.size() > 7 ? address : address + "x";
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  FuzzedDataProvider input(data, size);
  if (input.ConsumeBool()) {
    const std::string text = input.ConsumeRemainingBytesAsString();
    const std::vector<std::string> links = read(text);
    std::size_t pieces = 0;
    for (std::size_t at = 0; at < text.size();) {
      const std::size_t end = text.find('\n', at);
      const std::size_t line = (end == std::string::npos ? text.size() : end + 1) - at;
      pieces += (line + 498) / 499;
      at += line;
    }
    FUZZ_CHECK(links.size() <= pieces);
    for (const std::string& link : links) {
      FUZZ_CHECK(link.starts_with("http://"));
      FUZZ_CHECK(link.size() <= 499);
      FUZZ_CHECK(!contains(link, "\n"));
      FUZZ_CHECK(contains(text, link));
    }
    return 0;
  }

  std::vector<std::string> addresses;
  std::string text;
  while (input.remaining_bytes() > 0 && addresses.size() < 50) {
    addresses.push_back(plainAddress(input));
    const int ending = input.ConsumeIntegralInRange<int>(0, 2);
    text += addresses.back();
    text += ending == 0 ? "\n" : ending == 1 ? "\r\n" : "\"\n";
    if (input.ConsumeBool()) text += "not an address\n";
  }
  if (input.ConsumeBool() && !text.empty()) text.pop_back();  // a last line without its end
  FUZZ_CHECK(read(text) == addresses);
  return 0;
}
