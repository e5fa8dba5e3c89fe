#pragma once

#include <string>
#include <string_view>

namespace tarnwick::cli {

// text with every control byte escaped as the tree dump escapes labels, so
// that an address or label from a page can never steer the terminal.
std::string printable(std::string_view text);

// A message for standard error: the system's own multi-line texts keep their
// line ends; anything else is printable().
std::string printableMessage(std::string_view text);

}  // namespace tarnwick::cli
