#include "fetch/local_file_name.h"

#include <algorithm>
#include <array>
#include <cstdint>

namespace tarnwick {
namespace {

enum class NameMode {
  LastSegment,  // keep only the file's own name
  Flatten,      // host and path joined with "_"
};

struct ExtensionRule {
  std::string_view extension;
  NameMode mode;
};

constexpr std::array<ExtensionRule, 11> kRules{{
    {".zip", NameMode::LastSegment},
    {".exe", NameMode::LastSegment},
    {".arj", NameMode::LastSegment},
    {".gif", NameMode::Flatten},
    {".jpg", NameMode::Flatten},
    {".bmp", NameMode::Flatten},
    {".txt", NameMode::Flatten},
    {".doc", NameMode::Flatten},
    {".htm", NameMode::Flatten},
    {".xm", NameMode::Flatten},
    {".hm", NameMode::Flatten},
}};

void flatten(std::string& name) {
  std::replace_if(
      name.begin(), name.end(), [](char c) { return c == '.' || c == '/' || c == '\\'; }, '_');
}

// Length of the address's "http://" or "https://" prefix; 0 without one.
std::size_t schemeLength(std::string_view address) {
  for (const std::string_view scheme : {"http://", "https://"})
    if (address.substr(0, scheme.size()) == scheme) return scheme.size();
  return 0;
}

// Applies one extension rule; false when the extension does not occur.
bool applyRule(const ExtensionRule& rule, std::string& name) {
  const std::size_t length = rule.extension.size();
  std::size_t end = name.find(rule.extension);
  if (end == std::string::npos) return false;
  // A page behind the extension (such as "x.zip.htm" or "/a.gif/b.htm")
  // decides where the name ends.
  const std::size_t page = name.find(".htm", end + 2);
  if (page != std::string::npos) end = page;
  name.resize(end + length);

  if (rule.mode == NameMode::LastSegment) {
    const std::string_view base(name.data(), end);
    const std::size_t slash = base.rfind('/');
    const std::size_t dot = base.rfind('.');
    std::size_t cut = 0;  // index of the first kept character
    if (slash != std::string_view::npos) cut = slash + 1;
    if (dot != std::string_view::npos) cut = std::max(cut, dot + 1);
    name.erase(0, cut);
  } else {
    name.resize(end);
    flatten(name);
    name.append(rule.extension);
  }
  return true;
}

constexpr std::size_t kMaxNameBytes = 255;  // what Linux file systems take
constexpr std::size_t kHashDigits = 16;
constexpr std::size_t kMaxKeptExtension = 16;

// 64-bit FNV-1a: stable across builds and runs, unlike std::hash.
std::uint64_t nameHash(std::string_view name) {
  std::uint64_t hash = 0xcbf29ce484222325ULL;
  for (const char c : name) {
    hash ^= static_cast<unsigned char>(c);
    hash *= 0x100000001b3ULL;
  }
  return hash;
}

// A name longer than the file system takes: its first bytes, "_", a hash of
// the whole name and its extension, 255 bytes in all. Two long addresses that
// share their beginning still get names of their own.
std::string shortened(const std::string& name) {
  if (name.size() <= kMaxNameBytes) return name;
  std::string_view extension;
  const std::size_t dot = name.rfind('.');
  if (dot != std::string::npos && name.size() - dot <= kMaxKeptExtension)
    extension = std::string_view(name).substr(dot);
  static constexpr char kHex[] = "0123456789abcdef";
  std::string hash(kHashDigits, '0');
  std::uint64_t value = nameHash(name);
  for (std::size_t i = kHashDigits; i-- > 0; value >>= 4) hash[i] = kHex[value & 15];
  std::string result = name.substr(0, kMaxNameBytes - 1 - kHashDigits - extension.size());
  result += '_';
  result += hash;
  result += extension;
  return result;
}

std::string longName(std::string_view address);

}  // namespace

std::string localFileName(std::string_view address) { return shortened(longName(address)); }

namespace {

std::string longName(std::string_view address) {
  const std::size_t scheme = schemeLength(address);
  if (scheme == 0) return {};
  std::string_view rest = address.substr(scheme);
  if (rest.substr(0, 4) == "www.") rest.remove_prefix(4);

  std::string name(rest);
  for (const ExtensionRule& rule : kRules)
    if (applyRule(rule, name)) return name;
  flatten(name);
  name.append(".htm");
  return name;
}

}  // namespace

}  // namespace tarnwick
