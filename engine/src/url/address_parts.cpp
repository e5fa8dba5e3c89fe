#include "url/address_parts.h"

#include <algorithm>
#include <cstddef>

namespace tarnwick {
namespace {

// Signed positions keep the address arithmetic readable: "not found" is -1
// and so lies before every position.
using Pos = std::ptrdiff_t;
constexpr Pos kNotFound = -1;

Pos position(std::size_t found) {
  return found == std::string_view::npos ? kNotFound : static_cast<Pos>(found);
}

std::string_view before(std::string_view text, Pos end) {
  return text.substr(0, static_cast<std::size_t>(end));
}

bool startsWith(std::string_view text, std::string_view prefix) {
  return text.substr(0, prefix.size()) == prefix;
}

// Drops the extra slashes of every run of "/" behind the scheme. Only the
// first "//" at or after position 7 decides: found at 7 or 8 it is taken for
// the scheme's own and nothing is collapsed.
void collapseDoubledSlashes(std::string& address) {
  const std::size_t first = address.find("//", 7);
  if (first == std::string::npos || first <= 8) return;
  const auto bothSlashes = [](char a, char b) { return a == '/' && b == '/'; };
  const auto start = address.begin() + static_cast<std::ptrdiff_t>(first);
  address.erase(std::unique(start, address.end(), bothSlashes), address.end());
}

}  // namespace

bool splitAddress(std::string_view address, AddressParts& parts) {
  parts.folder.clear();
  parts.upperFolder.clear();

  std::string_view page = address;
  const Pos query = position(address.find('?'));
  if (query > 1) page = before(address, query);
  parts.pageAddress.assign(page);
  parts.site.assign(page);

  const Pos slashes = position(address.find("//"));
  if (slashes == kNotFound) return false;
  const Pos hostStart = slashes + 2;  // 7 for "http://", 8 for "https://"
  const Pos siteEnd = position(page.find('/', static_cast<std::size_t>(hostStart)));
  if (siteEnd != kNotFound) parts.site.assign(before(page, siteEnd));

  if (page.size() < 6) return false;

  const Pos length = static_cast<Pos>(page.size());
  const Pos lastSlash = position(page.rfind('/'));
  const Pos lastDot = position(page.rfind('.'));
  const Pos siteLength = static_cast<Pos>(parts.site.size());

  if (lastSlash == length - 1) {
    parts.folder.assign(before(page, length - 1));
    const Pos up = position(std::string_view(parts.folder).rfind('/'));
    parts.upperFolder.assign(up >= hostStart ? before(page, up) : std::string_view(parts.site));
  } else if (lastDot > lastSlash) {
    // The last segment holds a dot: it names a file.
    parts.folder.assign(lastSlash >= hostStart ? before(page, lastSlash)
                                               : std::string_view(parts.site));
    const Pos up = position(std::string_view(parts.folder).rfind('/'));
    parts.upperFolder.assign(up >= siteLength ? before(page, up) : std::string_view(parts.site));
  } else {
    parts.folder.assign(page);
    // With no path at all there is no folder above the host.
    const bool slashOfScheme = lastSlash == slashes + 1 || lastSlash == kNotFound;
    parts.upperFolder.assign(slashOfScheme ? std::string_view(parts.site)
                                           : before(page, lastSlash));
  }
  return true;
}

std::string completeLink(const AddressParts& parts, std::string_view link) {
  if (link.empty()) return {};
  if (startsWith(link, "http")) return std::string(link);

  std::string result;
  if (startsWith(link, "/")) {
    result.reserve(parts.site.size() + link.size());
    result.append(parts.site).append(link);
  } else if (startsWith(link, "?")) {
    result.reserve(parts.pageAddress.size() + link.size());
    result.append(parts.pageAddress).append(link);
  } else if (startsWith(link, "../")) {
    // Only this one step is resolved; "../../x" keeps its second "../".
    result.reserve(parts.upperFolder.size() + link.size());
    result.append(parts.upperFolder).append("/").append(link.substr(3));
  } else {
    result.reserve(parts.folder.size() + 1 + link.size());
    result.append(parts.folder).append("/").append(link);
  }
  collapseDoubledSlashes(result);
  return result;
}

}  // namespace tarnwick
