#include "help_page.h"

#include <QFileInfo>

namespace tarnwick::gui {

QString findHelpPage(const QString& programFolder) {
  for (const QString& candidate :
       {programFolder + QStringLiteral("/../share/doc/tarnwick/help/index.html"),
        programFolder + QStringLiteral("/help/index.html")}) {
    const QFileInfo page(candidate);
    if (page.isFile()) return page.canonicalFilePath();
  }
  return {};
}

}  // namespace tarnwick::gui
