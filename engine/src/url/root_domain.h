#pragma once

#include <string>
#include <string_view>

namespace tarnwick {

// The crawl's root domain, taken from the scheme and host of the start address
// only: the host up to its second dot (with "http://" dropped unless the piece
// holds "www"); empty when the host has no dot.
std::string rootDomainOf(std::string_view startAddress);

// True when link is not an "http" address, or contains rootDomain anywhere
// (an empty root domain is contained in every link).
bool isInRootDomain(std::string_view link, std::string_view rootDomain);

}  // namespace tarnwick
