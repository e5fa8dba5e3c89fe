#include "tarnwick/settings_file.h"

#include <filesystem>
#include <string_view>
#include <system_error>
#include <type_traits>

#include "local/chunk_reader.h"
#include "results/output_file.h"
#include "settings/number_text.h"
#include "settings/settings_keys.h"

namespace tarnwick {
namespace {

constexpr std::size_t kReadBytes = 16384;

// False when path is no regular file or cannot be read. A FIFO at the name
// does not hold the start-up, and a device without end cannot fill memory.
bool readWholeFile(const std::string& path, std::string& content) {
  try {
    ChunkReader reader(path, kReadBytes);
    content.reserve(reader.length());
    for (std::string_view chunk = reader.next(); !chunk.empty(); chunk = reader.next())
      content.append(chunk);
    return true;
  } catch (const std::system_error&) {
    return false;
  }
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

// The file a link at path points to, when it points to a regular file, so
// that a settings file kept elsewhere (with the user's other configuration)
// stays linked; else path itself.
std::filesystem::path linkedFile(const std::string& path) {
  std::error_code error;
  if (!std::filesystem::is_symlink(path, error)) return path;
  const std::filesystem::path end = std::filesystem::canonical(path, error);
  if (error || !std::filesystem::is_regular_file(end, error)) return path;
  return end;
}

}  // namespace

bool readSettings(const std::string& path, Settings& settings) {
  std::string content;
  if (!readWholeFile(path, content)) return false;
  // Every line the writer makes ends with a line feed: text after the last
  // one is a line cut short (a file cut by a full disk or a broken copy), and
  // half a value is worse than the default.
  std::string_view rest(content.data(), content.rfind('\n') + 1);
  while (!rest.empty()) {
    const std::size_t end = rest.find('\n');
    applyLine(rest.substr(0, end), settings);
    rest.remove_prefix(end + 1);
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
  try {
    // Never written in place: the old file stays whole until the new one is.
    OutputFile file(linkedFile(path), Placement::StoredFile);
    file.write(text);
    file.sync();
    file.commit();
    return true;
  } catch (const FileError&) {
    return false;
  }
}

}  // namespace tarnwick
