#include <cerrno>
#include <fstream>
#include <optional>
#include <system_error>

#include "tarnwick/downloads.h"
#include "tarnwick/messages.h"

namespace tarnwick {

namespace {

// The list has always been read through a 500-byte line buffer: a longer
// line is judged in pieces of this many bytes.
constexpr std::size_t kPieceBytes = 499;

std::string_view trimEnd(std::string_view text, std::string_view characters) {
  const std::size_t keep = text.find_last_not_of(characters);
  return text.substr(0, keep == std::string_view::npos ? 0 : keep + 1);
}

std::optional<std::string> addressInPiece(std::string_view piece) {
  piece = trimEnd(piece, " ");
  if (!piece.starts_with("http://")) return std::nullopt;
  piece = trimEnd(piece, "\n\r");
  piece = trimEnd(piece, "\"");
  piece = trimEnd(piece, "'");
  return std::string(piece);
}

}  // namespace

std::vector<std::string> readLinkList(std::istream& in) {
  std::vector<std::string> links;
  std::string line;
  while (std::getline(in, line)) {
    if (!in.eof()) line += '\n';
    for (std::string_view rest = line; !rest.empty();) {
      const std::string_view piece = rest.substr(0, kPieceBytes);
      rest.remove_prefix(piece.size());
      if (auto address = addressInPiece(piece)) links.push_back(std::move(*address));
    }
  }
  return links;
}

LinkListFile loadLinkList(Host& host, const std::filesystem::path& path) {
  LinkListFile result;
  std::error_code ec;
  if (std::filesystem::is_directory(path, ec)) {
    result.status = LinkListFile::Status::CannotOpen;
    result.reason = path.string() + ": " + std::generic_category().message(EISDIR);
    return result;
  }
  std::ifstream in(path, std::ios::binary);
  if (in) result.links = readLinkList(in);
  if (!in.is_open() || in.bad()) {
    result.status = LinkListFile::Status::CannotOpen;
    result.reason = path.string() + ": " + std::generic_category().message(errno);
    result.links.clear();
    return result;
  }
  if (result.links.empty()) {
    result.status = LinkListFile::Status::NoLinks;
    host.showMessage(messages::kNoLinksFound);
  }
  return result;
}

}  // namespace tarnwick
