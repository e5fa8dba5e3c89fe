#include "url/file_address.h"

namespace tarnwick {

const std::vector<std::string>& fileExtensions() {
  static const std::vector<std::string> extensions{".exe", ".zip", ".arj", ".bmp",
                                                   ".gif", ".pip", ".jpg"};
  return extensions;
}

bool isFileAddress(std::string_view address) {
  for (const std::string& extension : fileExtensions())
    if (address.find(extension) != std::string_view::npos) return true;
  return false;
}

}  // namespace tarnwick
