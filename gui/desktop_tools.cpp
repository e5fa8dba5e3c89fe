#include "desktop_tools.h"

#include <algorithm>
#include <filesystem>
#include <limits>
#include <system_error>

#include <QMainWindow>
#include <QStatusBar>
#include <QUrl>

#include "engine_text.h"
#include "autoupdate_dialog.h"
#include "qt_host.h"
#include "quiet_host.h"
#include "tarnwick/messages.h"
#include "user_prompts.h"

namespace tarnwick::gui {
namespace {

constexpr int kFinalStatusMs = 10000;

QString workingDirectory() {
  std::error_code error;
  return QString::fromStdString(std::filesystem::current_path(error).string());
}

// A timer holds at most INT_MAX ms (about 24 days); its ticks have no effect,
// so a longer period is held at that.
int timerInterval(std::int64_t periodMs) {
  return static_cast<int>(std::clamp<std::int64_t>(periodMs, 1, std::numeric_limits<int>::max()));
}

// The share of the whole batch done, the current address counted by its
// bytes while there are fewer than announced (a body without a length counts
// once it is done).
int percentOf(const TransferProgress& p) {
  double share = 0;
  if (p.bytes < p.length) share = static_cast<double>(p.bytes) / static_cast<double>(p.length);
  const double done = (static_cast<double>(p.index) + share) /
                      static_cast<double>(std::max<std::size_t>(p.count, 1));
  return static_cast<int>(done * 100);
}

}  // namespace

DesktopTools::DesktopTools(QMainWindow& window, UserPrompts& prompts, QtHost& host,
                           const std::string& startDirectory)
    : QObject(&window),
      window_(window),
      prompts_(prompts),
      host_(host),
      startDirectory_(startDirectory) {
  timer_.setObjectName(QStringLiteral("autoupdateTimer"));
}

void DesktopTools::autoupdate() {
  AutoupdateDialog dialog(autoupdate_, prompts_, &window_);
  prompts_.runModal(dialog);
  if (!autoupdate_.timerOn) {
    timer_.stop();
    return;
  }
  timer_.start(timerInterval(autoupdate_.periodMs));  // a running timer starts its period anew
  if (!isWebAddress(autoupdate_.address)) {
    // Anything else the system would run or open as a file.
    showMessage(QString::fromLatin1(messages::kNotWebAddress));
    return;
  }
  prompts_.openUrl(QUrl(textOf(autoupdate_.address), QUrl::TolerantMode));
}

void DesktopTools::downloadOnePage() {
  DownloadPageDialog dialog(page_, prompts_, &window_);
  prompts_.runModal(dialog);
  if (!page_.requested) return;
  downloadToChosenFile(page_.address.toStdString());
}

void DesktopTools::downloadToChosenFile(const std::string& address) {
  const QString target =
      prompts_.chooseSaveFile(&window_, QStringLiteral("Choose file and location to save"),
                              textOf(proposedDownloadPath(startDirectory_, address)));
  if (target.isEmpty()) return;
  runDownload([&] {
    const DownloadOutcome outcome =
        downloadAddress(host_, address, target.toStdString(), observer());
    if (outcome.stored())
      window_.statusBar()->showMessage(
          QStringLiteral("%1 bytes stored in %2").arg(outcome.bytes).arg(target), kFinalStatusMs);
    // The engine tells of broken transfers and unwritable files; an error
    // status or an empty answer would otherwise pass for nothing at all.
    if (outcome.status == DownloadStatus::NoFile || outcome.status == DownloadStatus::NothingToRead)
      showMessage(textOf(downloadFailureSummary({outcome})));
  });
}

void DesktopTools::downloadListOfLinks() {
  const QString start = workingDirectory();
  const QString listFile = prompts_.chooseFile(
      &window_, QStringLiteral("Open text file containing list of web-links to download"), start);
  if (listFile.isEmpty()) return;
  const LinkListFile list = loadLinkList(host_, listFile.toStdString());
  if (list.status == LinkListFile::Status::CannotOpen) {
    showMessage(QStringLiteral("The list of links can not be read: ") + textOf(list.reason));
    return;
  }
  if (list.status == LinkListFile::Status::NoLinks) return;  // the engine said so
  const QString folder = prompts_.chooseFolder(
      &window_, QStringLiteral("Choose folder that will contain download files"), start);
  if (folder.isEmpty()) return;
  runDownload([&] {
    QuietHost quiet(host_);
    const LinkListDownload result =
        downloadLinks(quiet, list.links, folder.toStdString(), observer());
    if (!result.connected) {
      showMessage(QString::fromLatin1(messages::kNoConnection));
      return;
    }
    window_.statusBar()->showMessage(QStringLiteral("%1 of %2 addresses downloaded to %3")
                                         .arg(result.storedCount())
                                         .arg(list.links.size())
                                         .arg(folder),
                                     kFinalStatusMs);
    std::vector<DownloadOutcome> outcomes = result.outcomes;
    // Those a stop left out failed as well.
    for (std::size_t i = outcomes.size(); i < list.links.size(); ++i)
      outcomes.push_back({list.links[i], {}, DownloadStatus::Stopped, 0, "not tried"});
    const std::string summary = downloadFailureSummary(outcomes);
    if (!summary.empty()) showMessage(textOf(summary));
  });
}

void DesktopTools::closeWhenDone() {
  stop_ = true;
  closeAfter_ = true;
}

template <typename Work>
void DesktopTools::runDownload(Work work) {
  ++running_;
  shownPercent_ = -1;
  work();
  host_.setProgress(0);
  host_.flush();
  if (--running_ > 0) return;
  stop_ = false;
  if (closeAfter_) {
    closeAfter_ = false;
    window_.close();
  }
}

DownloadObserver DesktopTools::observer() {
  DownloadObserver observer;
  observer.progress = [this](const TransferProgress& p) { showTransfer(p); };
  observer.stopRequested = [this] { return stop_; };
  return observer;
}

void DesktopTools::showTransfer(const TransferProgress& p) {
  const int percent = percentOf(p);
  host_.setProgress(percent);
  // The status line changes with the percentage or the address, not with every block.
  if (percent == shownPercent_ && p.index == shownIndex_) return;
  shownPercent_ = percent;
  shownIndex_ = p.index;
  QString text = QStringLiteral("Downloading ");
  if (p.count > 1) text += QStringLiteral("%1 of %2: ").arg(p.index + 1).arg(p.count);
  text += QString::fromUtf8(p.address.data(), static_cast<qsizetype>(p.address.size()));
  text += QStringLiteral(" (%1 bytes)").arg(p.bytes);
  showStatus(text);
}

void DesktopTools::showStatus(const QString& text) { window_.statusBar()->showMessage(text); }

void DesktopTools::showMessage(const QString& text) {
  if (closeAfter_) return;  // the window is going away; nobody would read it
  prompts_.ask(&window_, text, Buttons::Ok);
}

}  // namespace tarnwick::gui
