#pragma once

#include <string>

#include <QObject>
#include <QTimer>

#include "download_page_dialog.h"
#include "tarnwick/autoupdate.h"
#include "tarnwick/downloads.h"

class QMainWindow;

namespace tarnwick::gui {

class QtHost;
class UserPrompts;

// The Tools menu of the main window: the autoupdate setting with its timer,
// the download of one page into a chosen file and the download of a list of
// links into a chosen folder. Downloads pump the window's events, so it stays
// usable while they run; their progress shows on the progress bar and in the
// status line.
class DesktopTools : public QObject {
  Q_OBJECT
 public:
  // startDirectory: where the program was started, the folder proposed for a
  // page; it is read at each download.
  DesktopTools(QMainWindow& window, UserPrompts& prompts, QtHost& host,
               const std::string& startDirectory);

  // Tools > "Autoupadate".
  void autoupdate();
  // Tools > "Download one page".
  void downloadOnePage();
  // Asks where to save address, proposing its local name in the start
  // folder, and downloads it there; also the results tree's Download.
  void downloadToChosenFile(const std::string& address);
  // Tools > "Download list of links from file".
  void downloadListOfLinks();

  const AutoupdateState& autoupdateState() const { return autoupdate_; }
  const DownloadPageRequest& pageRequest() const { return page_; }
  // The main window's timer 2: armed while autoupdate is on. Its ticks have
  // no effect.
  const QTimer& autoupdateTimer() const { return timer_; }

  bool downloading() const { return running_ > 0; }
  // The window is closing: running downloads stop (their partial files are
  // removed) and the window is closed again when they have.
  void closeWhenDone();

 private:
  template <typename Work>
  void runDownload(Work work);
  DownloadObserver observer();
  void showTransfer(const TransferProgress& progress);
  void showStatus(const QString& text);
  void showMessage(const QString& text);

  QMainWindow& window_;
  UserPrompts& prompts_;
  QtHost& host_;
  const std::string& startDirectory_;
  AutoupdateState autoupdate_;
  DownloadPageRequest page_;
  QTimer timer_;
  int running_ = 0;  // downloads under way (one may start inside another's pump)
  bool stop_ = false;
  bool closeAfter_ = false;
  int shownPercent_ = -1;
  std::size_t shownIndex_ = 0;
};

}  // namespace tarnwick::gui
