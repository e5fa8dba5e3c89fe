#pragma once

#include <QDialog>
#include <QString>

class QLineEdit;

namespace tarnwick::gui {

class UserPrompts;

// What "Download one page" keeps between uses: the last address, and whether
// the dialog ended asking for the download.
struct DownloadPageRequest {
  QString address = QStringLiteral("http://www.");
  bool requested = true;
};

// "Print or paste WEB URL to download": one address and the buttons that
// download it or close. Enter presses "Download"; Esc and the close box
// download nothing and forget what was typed.
class DownloadPageDialog : public QDialog {
  Q_OBJECT
 public:
  DownloadPageDialog(DownloadPageRequest& request, UserPrompts& prompts, QWidget* parent);

  void reject() override;

 private:
  void download();
  void closeKeeping();

  DownloadPageRequest& request_;
  UserPrompts& prompts_;
  QLineEdit* addressEdit_;
};

}  // namespace tarnwick::gui
