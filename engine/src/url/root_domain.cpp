#include "url/root_domain.h"

namespace tarnwick {
namespace {

// Scheme and host of an address: everything before the first "/" behind its
// "//", so the start page's own name never reaches the root domain.
std::string_view schemeAndHost(std::string_view address) {
  const std::size_t slashes = address.find("//");
  if (slashes == std::string_view::npos) return address;
  return address.substr(0, address.find('/', slashes + 2));
}

}  // namespace

std::string rootDomainOf(std::string_view startAddress) {
  const std::string_view host = schemeAndHost(startAddress);
  const std::size_t firstDot = host.find('.');
  if (firstDot == std::string_view::npos) return {};
  const std::size_t secondDot = host.find('.', firstDot + 1);
  const std::string_view piece =
      host.substr(0, secondDot != std::string_view::npos ? secondDot : firstDot);
  if (piece.find("www") != std::string_view::npos) return std::string(piece);
  if (piece.find("http://") != std::string_view::npos) return std::string(piece.substr(7));
  return std::string(piece);
}

bool isInRootDomain(std::string_view link, std::string_view rootDomain) {
  if (link.substr(0, 4) != "http") return true;
  return link.find(rootDomain) != std::string_view::npos;
}

}  // namespace tarnwick
