#pragma once

#include <string>
#include <string_view>

namespace tarnwick {

// The name under which an address is stored in the download folder. The
// "http://" or "https://" prefix and a following "www." are dropped; an
// archive or program (".zip", ".exe", ".arj") keeps only its own file name;
// an image or document (".gif", ".jpg", ".bmp", ".txt", ".doc", ".htm", ".xm",
// ".hm") is named by its host and path with ".", "/" and "\" turned into "_";
// any other page by its flattened address with ".htm" appended. Whatever
// follows the extension (a query) is dropped. Other addresses get "".
// The result never holds a "/". A name over 255 bytes, which the file system
// would refuse, keeps its first bytes, then "_", 16 hex digits of a hash of
// the whole name and its extension, 255 bytes in all.
std::string localFileName(std::string_view address);

}  // namespace tarnwick
