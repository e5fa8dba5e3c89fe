#pragma once

#include <QEvent>
#include <QString>

class QWidget;

namespace tarnwick::gui {

// The request the search dialogs post to the main window: look at the
// dialogs' flags and start, stop or close accordingly.
class StartRequestEvent : public QEvent {
 public:
  static constexpr QEvent::Type kType = static_cast<QEvent::Type>(QEvent::User + 1);
  StartRequestEvent() : QEvent(kType) {}
};

// The first window without a parent whose title is exactly title, shown or
// not; nullptr when there is none.
QWidget* findWindowByTitle(const QString& title);

// Posts a StartRequestEvent to the window titled "Tarnwick", when there is one.
// Posted, never sent: the caller's handler returns before the request is seen.
void notifyMainWindow();

inline constexpr const char* kMainWindowTitle = "Tarnwick";

}  // namespace tarnwick::gui
