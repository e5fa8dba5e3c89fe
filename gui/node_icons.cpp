#include "node_icons.h"

#include <array>

// The pictures are compiled into the static library; nothing refers to them
// by name, so they are registered by hand.
static void registerPictures() { Q_INIT_RESOURCE(tarnwick); }

namespace tarnwick::gui {
namespace {

void ensurePictures() {
  static const bool registered = (registerPictures(), true);
  (void)registered;
}

// In node-kind order.
constexpr std::array<const char*, kNodeKindCount> kIconFiles = {
    ":/icons/page.svg",           ":/icons/web_links.svg",      ":/icons/emails.svg",
    ":/icons/keywords.svg",       ":/icons/keyword_entry.svg",  ":/icons/web_link_entry.svg",
    ":/icons/email_entry.svg",    ":/icons/root.svg",           ":/icons/error.svg",
    ":/icons/image.svg"};

}  // namespace

const QIcon& nodeIcon(NodeKind kind) {
  ensurePictures();
  static const std::array<QIcon, kNodeKindCount> icons = [] {
    std::array<QIcon, kNodeKindCount> loaded;
    for (int i = 0; i < kNodeKindCount; ++i) loaded[i] = QIcon(QLatin1String(kIconFiles[i]));
    return loaded;
  }();
  const int i = toInt(kind);
  return icons[i >= 0 && i < kNodeKindCount ? i : 0];
}

QIcon applicationIcon() {
  ensurePictures();
  return QIcon(QStringLiteral(":/icons/tarnwick.svg"));
}

}  // namespace tarnwick::gui
