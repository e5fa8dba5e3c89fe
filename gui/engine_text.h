#pragma once

#include <string_view>

#include <QString>

namespace tarnwick::gui {

// The engine's texts are UTF-8 bytes; a label may hold any of them.
inline QString textOf(std::string_view text) {
  return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

}  // namespace tarnwick::gui
