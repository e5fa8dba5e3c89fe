#include "node_icons.h"

#include <array>

namespace tarnwick::gui {
namespace {

// In node-kind order.
constexpr std::array<const char*, kNodeKindCount> kIconFiles = {
    ":/icons/page.svg",           ":/icons/web_links.svg",      ":/icons/emails.svg",
    ":/icons/keywords.svg",       ":/icons/keyword_entry.svg",  ":/icons/web_link_entry.svg",
    ":/icons/email_entry.svg",    ":/icons/root.svg",           ":/icons/error.svg",
    ":/icons/image.svg"};

}  // namespace

const QIcon& nodeIcon(NodeKind kind) {
  static const std::array<QIcon, kNodeKindCount> icons = [] {
    std::array<QIcon, kNodeKindCount> loaded;
    for (int i = 0; i < kNodeKindCount; ++i) loaded[i] = QIcon(QLatin1String(kIconFiles[i]));
    return loaded;
  }();
  const int i = toInt(kind);
  return icons[i >= 0 && i < kNodeKindCount ? i : 0];
}

QIcon applicationIcon() { return QIcon(QStringLiteral(":/icons/tarnwick.svg")); }

}  // namespace tarnwick::gui
