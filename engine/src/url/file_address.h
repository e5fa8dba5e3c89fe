#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace tarnwick {

// The extensions that mark an address as a file to download, in their fixed
// order: ".exe", ".zip", ".arj", ".bmp", ".gif", ".pip", ".jpg".
const std::vector<std::string>& fileExtensions();

// True when the address contains any of fileExtensions() anywhere, not only at
// its end: such an address is stored, never scanned.
bool isFileAddress(std::string_view address);

}  // namespace tarnwick
