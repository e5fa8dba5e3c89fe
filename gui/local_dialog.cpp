#include "local_dialog.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "start_request.h"
#include "user_prompts.h"

namespace tarnwick::gui {
namespace {

QPushButton* button(const QString& caption, const char* name, bool toggles, QWidget* parent) {
  auto* b = new QPushButton(caption, parent);
  b->setCheckable(toggles);
  b->setAutoDefault(false);
  b->setObjectName(QLatin1String(name));
  return b;
}

}  // namespace

LocalDialog::LocalDialog(LocalSearchOptions& values, DialogFlags& flags, UserPrompts& prompts)
    : SearchDialog(QStringLiteral("Find in local system"), flags, prompts), values_(values) {
  buildControls();
  connectControls();
  showValues();
  showButtons(SearchState::Idle);
}

void LocalDialog::buildControls() {
  findButton_ = button(QStringLiteral("&Find"), "findButton", false, this);
  stopButton_ = button(QStringLiteral("&Stop"), "stopButton", false, this);
  webLinksButton_ = button(QStringLiteral("&Web links"), "webLinksButton", true, this);
  imagesButton_ = button(QStringLiteral("&Images"), "imagesButton", true, this);
  emailsButton_ = button(QStringLiteral("&E-mails"), "emailsButton", true, this);
  keywordsButton_ = button(QStringLiteral("&Key words"), "keywordsButton", true, this);
  matchCase_ = new QCheckBox(QStringLiteral("&Match case"), this);
  matchCase_->setObjectName(QStringLiteral("matchCase"));
  closeButton_ = button(QStringLiteral("&Close"), "closeButton", false, this);

  auto* top = new QHBoxLayout;
  top->addWidget(findButton_);
  top->addWidget(stopButton_);
  top->addSpacing(16);
  for (QWidget* w : {webLinksButton_, imagesButton_, emailsButton_, keywordsButton_})
    top->addWidget(w);
  top->addWidget(matchCase_);
  top->addStretch();
  top->addWidget(closeButton_);

  auto* keywordsGroup = new QGroupBox(QStringLiteral("Key words:"), this);
  keywordsEdit_ = new QLineEdit(keywordsGroup);
  keywordsEdit_->setObjectName(QStringLiteral("keywordsEdit"));
  (new QVBoxLayout(keywordsGroup))->addWidget(keywordsEdit_);

  searchPathEdit_ = new QLineEdit(this);
  searchPathEdit_->setObjectName(QStringLiteral("searchPathEdit"));
  searchPathEdit_->setEnabled(false);
  browseButton_ = button(QStringLiteral("&Browse"), "browseButton", false, this);
  auto* where = new QHBoxLayout;
  where->addWidget(new QLabel(QStringLiteral("Search in:"), this));
  where->addWidget(searchPathEdit_, 1);
  where->addWidget(browseButton_);

  report_ = new QLabel(this);
  report_->setObjectName(QStringLiteral("report"));
  report_->setTextFormat(Qt::PlainText);

  auto* layout = new QVBoxLayout(this);
  layout->addLayout(top);
  layout->addWidget(keywordsGroup);
  layout->addLayout(where);
  layout->addWidget(report_);
  resize(680, sizeHint().height());
}

void LocalDialog::connectControls() {
  connect(findButton_, &QPushButton::clicked, this, &LocalDialog::find);
  connect(stopButton_, &QPushButton::clicked, this, &LocalDialog::stop);
  connect(closeButton_, &QPushButton::clicked, this, &LocalDialog::closeByButton);
  connect(browseButton_, &QPushButton::clicked, this, &LocalDialog::browse);
  connect(webLinksButton_, &QPushButton::clicked, this,
          [this] { categoryToggled(&LocalSearchOptions::findWebLinks, false); });
  connect(emailsButton_, &QPushButton::clicked, this,
          [this] { categoryToggled(&LocalSearchOptions::findEmails, false); });
  connect(keywordsButton_, &QPushButton::clicked, this,
          [this] { categoryToggled(&LocalSearchOptions::findKeywords, true); });
}

void LocalDialog::readControls() {
  values_.keywords = keywordsEdit_->text().toStdString();
  values_.findKeywords = keywordsButton_->isChecked();
  values_.findEmails = emailsButton_->isChecked();
  values_.findWebLinks = webLinksButton_->isChecked();
  values_.findImages = imagesButton_->isChecked();
  values_.matchCase = matchCase_->isChecked();
  values_.searchPath = searchPathEdit_->text().toStdString();
  values_.reportText = report_->text().toStdString();
  searchPathEdit_->setText(QString::fromStdString(values_.searchPath));
}

void LocalDialog::showValues() {
  keywordsEdit_->setText(QString::fromStdString(values_.keywords));
  keywordsButton_->setChecked(values_.findKeywords);
  emailsButton_->setChecked(values_.findEmails);
  webLinksButton_->setChecked(values_.findWebLinks);
  imagesButton_->setChecked(values_.findImages);
  matchCase_->setChecked(values_.matchCase);
  report_->setText(QString::fromStdString(values_.reportText));
  searchPathEdit_->setText(QString::fromStdString(values_.searchPath));
}

void LocalDialog::showButtons(SearchState state) {
  const bool idle = state == SearchState::Idle;
  findButton_->setEnabled(idle);
  closeButton_->setEnabled(idle);
  stopButton_->setEnabled(!idle);
}

void LocalDialog::showNothingSelected() {
  findButton_->setEnabled(false);
  closeButton_->setEnabled(true);
}

void LocalDialog::showLocalReport(const QString& text) { report_->setText(text); }

bool LocalDialog::anyCategorySelected() const {
  return webLinksButton_->isChecked() || imagesButton_->isChecked() ||
         emailsButton_->isChecked() || keywordsButton_->isChecked();
}

void LocalDialog::find() {
  flags_.stopRequest = false;
  flags_.closeRequest = false;
  readControls();
  values_.reportText.clear();
  showButtons(SearchState::Running);
  showValues();
  notifyMainWindow();
}

void LocalDialog::stop() {
  flags_.stopRequest = true;
  showButtons(SearchState::Idle);
  notifyMainWindow();
}

void LocalDialog::closeByButton() {
  flags_.closeRequest = true;
  notifyMainWindow();
  readControls();
  hide();
}

void LocalDialog::closeEvent(QCloseEvent* event) {
  flags_.closeRequest = true;
  notifyMainWindow();
  event->accept();
}

void LocalDialog::reject() { close(); }

void LocalDialog::categoryToggled(bool LocalSearchOptions::*member, bool isKeywords) {
  values_.*member = !(values_.*member);
  if (values_.*member) {
    showButtons(SearchState::Idle);
    if (isKeywords) {
      keywordsEdit_->setEnabled(true);
      matchCase_->setEnabled(true);
    }
  } else {
    if (isKeywords) {
      keywordsEdit_->setEnabled(false);
      matchCase_->setEnabled(false);
    }
    if (!anyCategorySelected()) showNothingSelected();
  }
  readControls();
}

void LocalDialog::browse() {
  readControls();
  switch (prompts_.chooseFileOrFolder(this)) {
    case 0: {
      const QString file = prompts_.chooseFile(nullptr, QStringLiteral("Open"), QString());
      values_.searchPath = file.toStdString();
      showValues();
      if (!file.isEmpty()) values_.searchTarget = static_cast<std::int32_t>(SearchTarget::File);
      break;
    }
    case 1: {
      const QString folder =
          prompts_.chooseFolder(this, QStringLiteral("Choose folder to search"), QString());
      values_.searchPath = folder.toStdString();
      showValues();
      if (!folder.isEmpty()) values_.searchTarget = static_cast<std::int32_t>(SearchTarget::Folder);
      break;
    }
    default:
      // The box still shows the old path, and the next read brings it back.
      values_.searchPath.clear();
      break;
  }
}

}  // namespace tarnwick::gui
