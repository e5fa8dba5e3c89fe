#include "terminal_text.h"

#include "tarnwick/messages.h"
#include "tarnwick/tree_dump.h"

namespace tarnwick::cli {

std::string printable(std::string_view text) { return escapeLabel(text); }

std::string printableMessage(std::string_view text) {
  for (const char* fixed : {messages::kNoConnection, messages::kNoLinksFound})
    if (text == fixed) return std::string(text);
  return printable(text);
}

}  // namespace tarnwick::cli
