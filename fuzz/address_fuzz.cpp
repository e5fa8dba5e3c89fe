// Address arithmetic on arbitrary addresses: splitAddress, completeLink,
// rootDomainOf and localFileName. A local name of an "http://" or
// "https://" address must be a usable single file name.
#include <fuzzer/FuzzedDataProvider.h>

#include <string>

#include "fetch/local_file_name.h"
#include "fuzz_check.h"
#include "url/address_parts.h"
#include "url/file_address.h"
#include "url/root_domain.h"

using namespace tarnwick;
using tarnwick::fuzz::contains;

namespace {

void checkParts(std::string_view address, const AddressParts& parts, bool split) {
  FUZZ_CHECK(address.starts_with(parts.pageAddress));
  FUZZ_CHECK(parts.pageAddress.starts_with(parts.site));
  FUZZ_CHECK(parts.pageAddress.starts_with(parts.folder));
  FUZZ_CHECK(parts.pageAddress.starts_with(parts.upperFolder));
  if (!split) {
    FUZZ_CHECK(parts.folder.empty() && parts.upperFolder.empty());
    return;
  }
  FUZZ_CHECK(parts.folder.starts_with(parts.upperFolder) || parts.upperFolder == parts.site);
  FUZZ_CHECK(!parts.pageAddress.empty() && !parts.folder.empty());
  // A "//" only in the query leaves no folder above a leading "/".
  if (contains(parts.pageAddress, "//")) FUZZ_CHECK(!parts.upperFolder.empty());
}

void checkCompleted(const AddressParts& parts, std::string_view link) {
  const std::string result = completeLink(parts, link);
  if (link.empty()) {
    FUZZ_CHECK(result.empty());
    return;
  }
  if (link.starts_with("http")) {
    FUZZ_CHECK(result == link);
    return;
  }
  // Past the first "//" from position 9 on, no doubled slash is left.
  const std::size_t doubled = result.find("//", 7);
  FUZZ_CHECK(doubled == std::string::npos || doubled <= 8);
  FUZZ_CHECK(result.size() <= parts.pageAddress.size() + 1 + link.size());
  if (link.find('/') == std::string_view::npos && link[0] != '?')
    FUZZ_CHECK(result.ends_with(link));
}

void checkLocalName(std::string_view address) {
  const std::string name = localFileName(address);
  FUZZ_CHECK(name == localFileName(address));
  if (!address.starts_with("http://") && !address.starts_with("https://")) {
    FUZZ_CHECK(name.empty());
    return;
  }
  FUZZ_CHECK(!name.empty() && name != "." && name != "..");
  FUZZ_CHECK(!contains(name, "/"));
  FUZZ_CHECK(name.size() <= 255);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  FuzzedDataProvider input(data, size);
  const int scheme = input.ConsumeIntegralInRange<int>(0, 3);
  std::string address = scheme == 0 ? "http://" : scheme == 1 ? "https://" : "";
  address += input.ConsumeRandomLengthString(2000);
  const std::string link = input.ConsumeRemainingBytesAsString();

  AddressParts parts{"stale", "stale", "stale", "stale"};
  const bool split = splitAddress(address, parts);
  checkParts(address, parts, split);
  AddressParts again;
  FUZZ_CHECK(splitAddress(address, again) == split && again.site == parts.site &&
             again.folder == parts.folder && again.upperFolder == parts.upperFolder);
  checkCompleted(parts, link);
  checkCompleted(parts, address);

  // The host holds its root domain, so the start address is always inside it.
  const std::string root = rootDomainOf(address);
  FUZZ_CHECK(contains(address, root));
  FUZZ_CHECK(std::count(root.begin(), root.end(), '.') <= 1);
  FUZZ_CHECK(isInRootDomain(address, root));
  FUZZ_CHECK(isInRootDomain(link, "") && (link.starts_with("http") || isInRootDomain(link, root)));

  checkLocalName(address);
  checkLocalName(link);
  checkLocalName(completeLink(parts, link));
  const bool file = isFileAddress(address);
  FUZZ_CHECK(file == (contains(address, ".exe") || contains(address, ".zip") ||
                      contains(address, ".arj") || contains(address, ".bmp") ||
                      contains(address, ".gif") || contains(address, ".pip") ||
                      contains(address, ".jpg")));
  return 0;
}
