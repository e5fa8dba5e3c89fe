// TextWindowReader over arbitrary chunk sequences: every window is exactly
// the source from its start to the bytes read so far, NUL bytes as spaces,
// and repeats as much of the previous window as the overlap allows.
#include <fuzzer/FuzzedDataProvider.h>

#include <algorithm>
#include <string>

#include "fuzz_check.h"
#include "scan/text_window.h"

using namespace tarnwick;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  FuzzedDataProvider input(data, size);
  const std::size_t overlap = input.ConsumeBool() ? 100 : input.ConsumeIntegralInRange<std::size_t>(0, 300);
  TextWindowReader reader(overlap);
  FUZZ_CHECK(reader.overlap() == overlap && reader.bytesRead() == 0);

  std::string source;  // every byte read so far, NUL already turned into a space
  std::size_t previousSize = 0;
  for (int chunks = 0; chunks < 200 && input.remaining_bytes() > 0; ++chunks) {
    const std::size_t length = input.ConsumeIntegralInRange<std::size_t>(0, 1500);
    const std::string chunk = input.ConsumeBytesAsString(length);
    const std::int64_t before = reader.bytesRead();
    const TextWindow& window = reader.next(chunk);
    for (const char c : chunk) source += c == '\0' ? ' ' : c;

    const std::size_t kept = std::min(overlap, previousSize);
    FUZZ_CHECK(reader.bytesRead() == before + static_cast<std::int64_t>(chunk.size()));
    FUZZ_CHECK(reader.bytesRead() == static_cast<std::int64_t>(source.size()));
    FUZZ_CHECK(window.windowStart == before - static_cast<std::int64_t>(kept));
    FUZZ_CHECK(window.text.size() == kept + chunk.size());
    FUZZ_CHECK(window.text == std::string_view(source).substr(static_cast<std::size_t>(window.windowStart)));
    FUZZ_CHECK(window.text.find('\0') == std::string::npos);
    previousSize = window.text.size();
  }
  return 0;
}
