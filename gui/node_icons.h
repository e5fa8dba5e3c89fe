#pragma once

#include <QIcon>

#include "tarnwick/node_kind.h"

namespace tarnwick::gui {

// The picture of each node kind, loaded once.
const QIcon& nodeIcon(NodeKind kind);

// The program's own picture.
QIcon applicationIcon();

}  // namespace tarnwick::gui
