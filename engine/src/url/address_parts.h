#pragma once

#include <string>
#include <string_view>

namespace tarnwick {

// The parts of the address of the page being read that its relative links
// are completed against.
struct AddressParts {
  std::string site;         // scheme and host: up to the first "/" behind the "//"
  std::string pageAddress;  // the address cut before its first "?" (one at 0 or 1 is kept)
  std::string folder;       // the folder holding the page, no trailing "/"
  std::string upperFolder;  // the folder one level above `folder`
};

// Fills parts from a page address. Returns false when the address has no "//"
// (site = pageAddress, folders empty) or its pageAddress is shorter than 6
// characters (site set, folders empty). Positions that stand for the length
// of "http://" are measured from the end of the address's own "//", so
// "https://" addresses split like "http://" ones.
bool splitAddress(std::string_view address, AddressParts& parts);

// The absolute address of a link found on the page whose parts are given.
// A link beginning with "http" (exact case) is taken as absolute and returned
// unchanged; "/x" joins the site, "?q" the page address, one leading "../" the
// upper folder, anything else the folder. Doubled slashes behind the scheme
// are then collapsed.
std::string completeLink(const AddressParts& parts, std::string_view link);

}  // namespace tarnwick
