#include <string_view>

#include "tarnwick/crawl.h"
#include "tarnwick/messages.h"

namespace tarnwick {

const char* startAddressProblem(std::string_view address) {
  if (address.empty()) return messages::kAddressEmpty;
  // Anywhere in the address, as the check has always been made.
  if (address.find("http://") == std::string_view::npos &&
      address.find("https://") == std::string_view::npos)
    return messages::kAddressSchemeMissing;
  return nullptr;
}

}  // namespace tarnwick
