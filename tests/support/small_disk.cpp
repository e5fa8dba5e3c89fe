#include "support/small_disk.h"

#include <sys/mount.h>

#include <fstream>
#include <string>

namespace tarnwick::test {

SmallDisk::SmallDisk(const std::filesystem::path& at, int kilobytes) : path_(at) {
  std::filesystem::create_directories(path_);
  const std::string size = "size=" + std::to_string(kilobytes) + "k";
  mounted_ = ::mount("tmpfs", path_.c_str(), "tmpfs", 0, size.c_str()) == 0;
}

SmallDisk::~SmallDisk() {
  if (mounted_) ::umount2(path_.c_str(), MNT_DETACH);
}

void SmallDisk::fill() const {
  std::ofstream out(path_ / "filler", std::ios::binary);
  const std::string block(4096, '\0');
  while (out.write(block.data(), block.size())) out.flush();
}

}  // namespace tarnwick::test
