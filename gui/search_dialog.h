#pragma once

#include <QDialog>
#include <QString>

#include "tarnwick/crawl.h"
#include "tarnwick/host.h"

namespace tarnwick::gui {

class UserPrompts;

// The flags a search dialog leaves for the main window. They live in the main
// window, so they outlive the dialog's window.
struct DialogFlags {
  bool closeRequest = false;
  bool stopRequest = false;
  // The fetch dialog's window is shown and not yet closed by the user.
  bool open = false;
};

// What both search dialogs share: a window without a parent (so it has its
// own place on the desktop), the flags, and the states the search shows.
class SearchDialog : public QDialog {
  Q_OBJECT
 public:
  SearchDialog(const QString& title, DialogFlags& flags, UserPrompts& prompts);

  // The buttons of the idle or the running state; the flags are not touched.
  virtual void showButtons(SearchState state) = 0;
  virtual void setCurrentAddress(const QString& /*address*/) {}
  virtual void showCrawlStatus(const CrawlStatusLines& /*lines*/) {}
  virtual void showLocalReport(const QString& /*text*/) {}

 protected:
  DialogFlags& flags_;
  UserPrompts& prompts_;
};

}  // namespace tarnwick::gui
