#include "download_page_dialog.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "tarnwick/downloads.h"
#include "tarnwick/messages.h"
#include "user_prompts.h"

namespace tarnwick::gui {

DownloadPageDialog::DownloadPageDialog(DownloadPageRequest& request, UserPrompts& prompts,
                                       QWidget* parent)
    : QDialog(parent), request_(request), prompts_(prompts) {
  setWindowTitle(QStringLiteral("Print or paste WEB URL to download"));
  addressEdit_ = new QLineEdit(request_.address, this);
  addressEdit_->setObjectName(QStringLiteral("addressEdit"));
  addressEdit_->setMinimumWidth(420);
  auto* label = new QLabel(QStringLiteral("WEB &URL:"), this);
  label->setBuddy(addressEdit_);
  auto* downloadButton = new QPushButton(QStringLiteral("&Download"), this);
  downloadButton->setObjectName(QStringLiteral("downloadButton"));
  downloadButton->setDefault(true);
  auto* closeButton = new QPushButton(QStringLiteral("&Close"), this);
  closeButton->setObjectName(QStringLiteral("closeButton"));
  closeButton->setAutoDefault(false);

  auto* row = new QHBoxLayout;
  row->addWidget(label);
  row->addWidget(addressEdit_, 1);
  auto* buttons = new QHBoxLayout;
  buttons->addStretch();
  buttons->addWidget(downloadButton);
  buttons->addWidget(closeButton);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(row);
  layout->addLayout(buttons);

  connect(downloadButton, &QPushButton::clicked, this, &DownloadPageDialog::download);
  connect(closeButton, &QPushButton::clicked, this, &DownloadPageDialog::closeKeeping);
}

void DownloadPageDialog::download() {
  request_.address = addressEdit_->text();
  if (!downloadAddressAccepted(request_.address.toStdString())) {
    prompts_.ask(this, QString::fromLatin1(messages::kDownloadCheckUrl), Buttons::Ok);
    return;
  }
  request_.requested = true;
  accept();
}

void DownloadPageDialog::closeKeeping() {
  request_.requested = false;
  request_.address = addressEdit_->text();
  QDialog::reject();
}

void DownloadPageDialog::reject() {
  request_.requested = false;
  QDialog::reject();
}

}  // namespace tarnwick::gui
