#include "start_request.h"

#include <QApplication>
#include <QWidget>

namespace tarnwick::gui {

QWidget* findWindowByTitle(const QString& title) {
  for (QWidget* widget : QApplication::topLevelWidgets()) {
    // Message boxes and other owned windows are not searched, as a title
    // search of top-level windows would not see them.
    if (widget->parentWidget() == nullptr && widget->windowTitle() == title) return widget;
  }
  return nullptr;
}

void notifyMainWindow() {
  if (QWidget* window = findWindowByTitle(QString::fromLatin1(kMainWindowTitle)))
    QCoreApplication::postEvent(window, new StartRequestEvent);
}

}  // namespace tarnwick::gui
