#include <algorithm>
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
  // Read block by block into pieces, never a whole line: a list with a line
  // of gigabytes (or an endless device) holds no more than a piece in memory.
  constexpr std::size_t kBlockBytes = 64 * 1024;
  std::vector<std::string> links;
  std::string piece;
  const auto judge = [&] {
    if (auto address = addressInPiece(piece)) links.push_back(std::move(*address));
    piece.clear();
  };
  std::vector<char> block(kBlockBytes);
  while (in.read(block.data(), static_cast<std::streamsize>(block.size())) || in.gcount() > 0) {
    std::string_view rest(block.data(), static_cast<std::size_t>(in.gcount()));
    while (!rest.empty()) {
      // A piece ends after a line feed or when it is full, as with fgets.
      const std::size_t room = kPieceBytes - piece.size();
      const std::size_t feed = rest.substr(0, room).find('\n');
      const std::size_t take = feed == std::string_view::npos ? std::min(room, rest.size()) : feed + 1;
      piece.append(rest.substr(0, take));
      rest.remove_prefix(take);
      if (feed != std::string_view::npos || piece.size() == kPieceBytes) judge();
    }
  }
  if (!piece.empty()) judge();
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
