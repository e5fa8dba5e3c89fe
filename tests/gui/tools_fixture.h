#pragma once

#include <string>

#include <QAction>
#include <QMenuBar>

#include "desktop_fixture.h"
#include "desktop_tools.h"

namespace tarnwick::gui::test {

using tarnwick::test::readFile;

// The desktop window with what the Tools tests reach for.
class ToolsTest : public DesktopTest {
 protected:
  DesktopTools& tools() { return window->tools(); }

  // Runs the menu entry with this caption (without its '&').
  void trigger(const QString& caption) {
    for (QAction* menu : window->menuBar()->actions())
      for (QAction* item : menu->menu()->actions())
        if (item->text().remove('&') == caption) return item->trigger();
    ADD_FAILURE() << "no menu entry " << caption.toStdString();
  }

  std::string url(const std::string& path) const { return server.base() + path; }
};

}  // namespace tarnwick::gui::test
