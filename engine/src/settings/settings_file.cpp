#include "tarnwick/settings_file.h"

#include <fcntl.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <system_error>
#include <type_traits>
#include <utility>

#include "settings/number_text.h"
#include "settings/settings_keys.h"

namespace tarnwick {
namespace {

struct FileCloser {
  void operator()(std::FILE* file) const { std::fclose(file); }
};
using FileHandle = std::unique_ptr<std::FILE, FileCloser>;

// A file descriptor closed when the object ends unless it was closed before.
class Descriptor {
 public:
  explicit Descriptor(int fd) : fd_(fd) {}
  ~Descriptor() {
    if (fd_ >= 0) ::close(fd_);
  }
  Descriptor(const Descriptor&) = delete;
  Descriptor& operator=(const Descriptor&) = delete;
  int get() const { return fd_; }
  bool close() { return ::close(std::exchange(fd_, -1)) == 0; }

 private:
  int fd_;
};

bool readWholeFile(const std::string& path, std::string& content) {
  const FileHandle file(std::fopen(path.c_str(), "rb"));
  if (!file) return false;
  char buffer[16384];
  std::size_t count = 0;
  while ((count = std::fread(buffer, 1, sizeof buffer, file.get())) > 0)
    content.append(buffer, count);
  return !std::ferror(file.get());
}

void changeWorkFolder(const std::string& folder, std::string& workFolder) {
  // A folder that cannot be entered leaves the working directory as it was;
  // workFolder follows the working directory either way.
  std::error_code ignored;
  std::filesystem::current_path(folder, ignored);
  std::error_code error;
  std::filesystem::path current = std::filesystem::current_path(error);
  if (!error) workFolder = current.string();
}

void applyValue(const SettingKey& key, std::string_view value, Settings& settings) {
  std::visit(
      [&](auto* field) {
        using Field = std::remove_pointer_t<decltype(field)>;
        if constexpr (std::is_same_v<Field, std::string>) {
          if (key.changesDirectory)
            changeWorkFolder(std::string(value), *field);
          else
            field->assign(value);
        } else if constexpr (std::is_same_v<Field, bool>) {
          *field = leadingInteger(value) != 0;
        } else if constexpr (std::is_same_v<Field, std::int32_t>) {
          *field = leadingInteger(value);
        } else {
          *field = leadingNumber(value);
        }
      },
      key.field(settings));
}

void applyLine(std::string_view line, Settings& settings) {
  for (const SettingKey& key : kSettingKeys) {
    if (line.substr(0, key.key.size()) == key.key) {
      applyValue(key, line.substr(key.key.size()), settings);
      return;
    }
  }
}

void appendValue(const SettingField& field, std::string& out) {
  std::visit(
      [&](const auto* value) {
        using Field = std::remove_cv_t<std::remove_pointer_t<decltype(value)>>;
        if constexpr (std::is_same_v<Field, std::string>) {
          // A line feed would end the line and could start a line of another key.
          for (const char c : *value) out += c == '\n' ? ' ' : c;
        } else if constexpr (std::is_same_v<Field, bool>) {
          out += *value ? '1' : '0';
        } else if constexpr (std::is_same_v<Field, std::int32_t>) {
          out += std::to_string(*value);
        } else {
          out += formatNumber(*value);
        }
      },
      field);
}

bool writeAll(int fd, std::string_view bytes) {
  while (!bytes.empty()) {
    const ssize_t written = ::write(fd, bytes.data(), bytes.size());
    if (written < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    bytes.remove_prefix(static_cast<std::size_t>(written));
  }
  return true;
}

// Creates a new file beside target under a name no other writer uses.
// Returns its descriptor (-1 on failure) and sets name.
int createTemporaryBeside(const std::string& target, std::string& name) {
  static std::atomic<unsigned> counter{0};
  for (int attempt = 0; attempt < 100; ++attempt) {
    name = target + ".tmp-" + std::to_string(::getpid()) + "-" + std::to_string(counter++);
    const int fd = ::open(name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd >= 0 || errno != EEXIST) return fd;
  }
  return -1;
}

}  // namespace

bool readSettings(const std::string& path, Settings& settings) {
  std::string content;
  if (!readWholeFile(path, content)) return false;
  std::string_view rest = content;
  while (!rest.empty()) {
    const std::size_t end = rest.find('\n');
    applyLine(rest.substr(0, end), settings);
    rest.remove_prefix(end == std::string_view::npos ? rest.size() : end + 1);
  }
  return true;
}

std::string formatSettings(const Settings& settings) {
  // The field accessors only form pointers; nothing is written through them here.
  Settings& fields = const_cast<Settings&>(settings);
  std::string out;
  for (const SettingKey& key : kSettingKeys) {
    out += key.key;
    appendValue(key.field(fields), out);
    out += '\n';
  }
  return out;
}

bool writeSettings(const std::string& path, const Settings& settings) {
  const std::string text = formatSettings(settings);
  const std::filesystem::path folder = std::filesystem::path(path).parent_path();
  if (!folder.empty()) {
    std::error_code ignored;  // a folder that cannot be made fails the open below
    std::filesystem::create_directories(folder, ignored);
  }
  std::string temporary;
  Descriptor file(createTemporaryBeside(path, temporary));
  if (file.get() < 0) return false;
  const bool stored = writeAll(file.get(), text) && ::fsync(file.get()) == 0 && file.close() &&
                      std::rename(temporary.c_str(), path.c_str()) == 0;
  if (!stored) ::unlink(temporary.c_str());
  return stored;
}

}  // namespace tarnwick
