#include "fetch_dialog.h"

#include <algorithm>
#include <climits>
#include <filesystem>
#include <system_error>

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

QPushButton* toggleButton(const QString& caption, const char* name, QWidget* parent) {
  auto* button = new QPushButton(caption, parent);
  button->setCheckable(true);
  button->setAutoDefault(false);
  button->setObjectName(QLatin1String(name));
  return button;
}

QPushButton* pictureButton(const QString& caption, const char* icon, const char* name,
                           QWidget* parent) {
  auto* button = new QPushButton(caption, parent);
  button->setIcon(QIcon(QLatin1String(icon)));
  button->setAutoDefault(false);
  button->setObjectName(QLatin1String(name));
  return button;
}

QString levelText(std::int32_t levels) {
  return levels == 0 ? QStringLiteral("Search only current file.")
                     : QStringLiteral("Search %1 levels down.").arg(levels);
}

QString workingDirectory() {
  std::error_code error;
  return QString::fromStdString(std::filesystem::current_path(error).string());
}

}  // namespace

FetchDialog::FetchDialog(FetchOptions& values, DialogFlags& flags, UserPrompts& prompts)
    : SearchDialog(QStringLiteral("Fetch Internet"), flags, prompts), values_(values) {
  buildControls();
  connectControls();
  // A folder is kept while storing stays ticked, so nothing is ever
  // written to a folder nobody chose.
  if (!values_.downloadFiles) values_.downloadFolder.clear();
  showValues();
  showButtons(SearchState::Idle);
  enableVolume(values_.downloadFiles);
  keywordsEdit_->setEnabled(false);
  matchCase_->setEnabled(false);
  flags_.open = true;
}

void FetchDialog::buildControls() {
  keywordsButton_ = toggleButton(QStringLiteral("&Key words"), "keywordsButton", this);
  emailsButton_ = toggleButton(QStringLiteral("&E-mails"), "emailsButton", this);
  webLinksButton_ = toggleButton(QStringLiteral("&Web links"), "webLinksButton", this);
  imagesButton_ = toggleButton(QStringLiteral("&Images"), "imagesButton", this);
  matchCase_ = new QCheckBox(QStringLiteral("&Match case"), this);
  matchCase_->setObjectName(QStringLiteral("matchCase"));
  goButton_ = pictureButton(QStringLiteral("&Go!"), ":/icons/go.svg", "goButton", this);
  stopButton_ = pictureButton(QStringLiteral("&Stop"), ":/icons/stop.svg", "stopButton", this);
  closeButton_ = pictureButton(QStringLiteral("&Close"), ":/icons/close.svg", "closeButton", this);

  auto* top = new QHBoxLayout;
  for (QWidget* w : {static_cast<QWidget*>(keywordsButton_), static_cast<QWidget*>(emailsButton_),
                     static_cast<QWidget*>(webLinksButton_), static_cast<QWidget*>(imagesButton_),
                     static_cast<QWidget*>(matchCase_)})
    top->addWidget(w);
  top->addStretch();
  top->addWidget(goButton_);
  top->addWidget(stopButton_);
  top->addWidget(closeButton_);

  auto* keywordsGroup = new QGroupBox(QStringLiteral("Key words:"), this);
  keywordsEdit_ = new QLineEdit(keywordsGroup);
  keywordsEdit_->setObjectName(QStringLiteral("keywordsEdit"));
  (new QVBoxLayout(keywordsGroup))->addWidget(keywordsEdit_);

  addressEdit_ = new QLineEdit(this);
  addressEdit_->setObjectName(QStringLiteral("addressEdit"));
  auto* addressLabel = new QLabel(QStringLiteral("WEB &URL:"), this);
  addressLabel->setBuddy(addressEdit_);

  downloadTo_ = new QCheckBox(QStringLiteral("&Download to:"), this);
  downloadTo_->setObjectName(QStringLiteral("downloadTo"));
  downloadFolder_ = new QLabel(this);
  downloadFolder_->setObjectName(QStringLiteral("downloadFolder"));
  downloadFolder_->setFrameShape(QFrame::Box);

  auto* limits = new QGroupBox(QStringLiteral("Limitations:"), this);
  levelEdit_ = new LevelSpinBox(limits);
  levelEdit_->setObjectName(QStringLiteral("levelEdit"));
  levelEdit_->setRange(0, INT_MAX);
  levelLabel_ = new QLabel(limits);
  levelLabel_->setObjectName(QStringLiteral("levelLabel"));
  volumeEdit_ = new VolumeSpinBox(limits);
  volumeEdit_->setObjectName(QStringLiteral("volumeEdit"));
  volumeEdit_->setLocale(QLocale::c());
  volumeEdit_->setDecimals(9);
  volumeEdit_->setRange(0, 1e12);
  onlyRootDomain_ = new QCheckBox(QStringLiteral("Ignore links out &root domain"), limits);
  onlyRootDomain_->setObjectName(QStringLiteral("onlyRootDomain"));
  onlyParentDomain_ = new QCheckBox(QStringLiteral("Ignore links out &parent domain"), limits);
  onlyParentDomain_->setObjectName(QStringLiteral("onlyParentDomain"));
  auto* limitsGrid = new QGridLayout(limits);
  limitsGrid->addWidget(new QLabel(QStringLiteral("Browsing level:"), limits), 0, 0);
  limitsGrid->addWidget(levelEdit_, 0, 1);
  limitsGrid->addWidget(levelLabel_, 0, 2);
  limitsGrid->addWidget(new QLabel(QStringLiteral("Download volume:"), limits), 1, 0);
  limitsGrid->addWidget(volumeEdit_, 1, 1);
  limitsGrid->addWidget(new QLabel(QStringLiteral("GB"), limits), 1, 2);
  limitsGrid->addWidget(onlyRootDomain_, 0, 3);
  limitsGrid->addWidget(onlyParentDomain_, 1, 3);

  const auto statusLine = [this](const char* name) {
    auto* label = new QLabel(this);
    label->setObjectName(QLatin1String(name));
    label->setTextFormat(Qt::PlainText);
    return label;
  };
  currentAddress_ = statusLine("currentAddress");
  levelAndPages_ = statusLine("levelAndPages");
  bytes_ = statusLine("bytes");
  found_ = statusLine("found");
  downloadFolder_->setTextFormat(Qt::PlainText);

  auto* grid = new QGridLayout(this);
  grid->addLayout(top, 0, 0, 1, 2);
  grid->addWidget(keywordsGroup, 1, 0, 1, 2);
  grid->addWidget(addressLabel, 2, 0);
  grid->addWidget(addressEdit_, 2, 1);
  grid->addWidget(downloadTo_, 3, 0);
  grid->addWidget(downloadFolder_, 3, 1);
  grid->addWidget(limits, 4, 0, 1, 2);
  grid->addWidget(currentAddress_, 5, 0, 1, 2);
  grid->addWidget(levelAndPages_, 6, 0, 1, 2);
  grid->addWidget(bytes_, 7, 0, 1, 2);
  grid->addWidget(found_, 8, 0, 1, 2);
  resize(620, sizeHint().height());
}

void FetchDialog::connectControls() {
  connect(goButton_, &QPushButton::clicked, this, &FetchDialog::go);
  connect(stopButton_, &QPushButton::clicked, this, &FetchDialog::stop);
  connect(closeButton_, &QPushButton::clicked, this, &FetchDialog::closeByButton);
  connect(addressEdit_, &QLineEdit::returnPressed, this, &FetchDialog::go);
  connect(keywordsEdit_, &QLineEdit::returnPressed, this, &FetchDialog::go);
  connect(keywordsButton_, &QPushButton::clicked, this, &FetchDialog::keywordsToggled);
  connect(webLinksButton_, &QPushButton::clicked, this, &FetchDialog::webLinksToggled);
  connect(downloadTo_, &QCheckBox::clicked, this, &FetchDialog::downloadToToggled);
  levelEdit_->onStep = [this](int steps) { stepLevel(steps); };
  volumeEdit_->onStep = [this](int steps) { stepVolume(steps); };
}

void FetchDialog::readControls() {
  values_.findKeywords = keywordsButton_->isChecked();
  values_.keywords = keywordsEdit_->text().toStdString();
  values_.matchCase = matchCase_->isChecked();
  values_.findEmails = emailsButton_->isChecked();
  values_.findWebLinks = webLinksButton_->isChecked();
  values_.findImages = imagesButton_->isChecked();
  values_.startAddress = addressEdit_->text().toStdString();
  values_.downloadFiles = downloadTo_->isChecked();
  values_.levels = levelEdit_->value();
  values_.maxDownloadGB = volumeEdit_->value();
  values_.onlyRootDomain = onlyRootDomain_->isChecked();
  values_.onlyParentDomain = onlyParentDomain_->isChecked();
}

void FetchDialog::showValues() {
  keywordsButton_->setChecked(values_.findKeywords);
  keywordsEdit_->setText(QString::fromStdString(values_.keywords));
  matchCase_->setChecked(values_.matchCase);
  emailsButton_->setChecked(values_.findEmails);
  webLinksButton_->setChecked(values_.findWebLinks);
  imagesButton_->setChecked(values_.findImages);
  addressEdit_->setText(QString::fromStdString(values_.startAddress));
  downloadTo_->setChecked(values_.downloadFiles);
  levelEdit_->setValue(std::max<std::int32_t>(0, values_.levels));
  volumeEdit_->setValue(values_.maxDownloadGB);
  downloadFolder_->setText(QString::fromStdString(values_.downloadFolder));
  onlyRootDomain_->setChecked(values_.onlyRootDomain);
  onlyParentDomain_->setChecked(values_.onlyParentDomain);
  levelLabel_->setText(levelText(values_.levels));
}

void FetchDialog::showButtons(SearchState state) {
  const bool idle = state == SearchState::Idle;
  goButton_->setEnabled(idle);
  stopButton_->setEnabled(!idle);
  closeButton_->setEnabled(idle);
}

void FetchDialog::setCurrentAddress(const QString& address) { currentAddress_->setText(address); }

void FetchDialog::showCrawlStatus(const CrawlStatusLines& lines) {
  levelAndPages_->setText(QString::fromStdString(lines.levelAndPages));
  bytes_->setText(QString::fromStdString(lines.bytes));
  found_->setText(QString::fromStdString(lines.found));
}

void FetchDialog::go() {
  if (!goButton_->isEnabled()) return;  // Enter in an edit while a crawl runs
  readControls();
  if (const char* problem = startAddressProblem(values_.startAddress)) {
    prompts_.ask(this, QString::fromUtf8(problem), Buttons::Ok);
    return;
  }
  showButtons(SearchState::Running);
  readControls();
  flags_.closeRequest = false;
  flags_.stopRequest = false;
  notifyMainWindow();
}

void FetchDialog::stop() {
  flags_.stopRequest = true;
  showButtons(SearchState::Idle);
}

void FetchDialog::closeByButton() {
  flags_.open = false;
  flags_.closeRequest = true;
  notifyMainWindow();
}

void FetchDialog::closeEvent(QCloseEvent* event) {
  flags_.closeRequest = true;
  notifyMainWindow();
  flags_.open = false;
  readControls();
  event->accept();
}

void FetchDialog::reject() { close(); }

void FetchDialog::stepLevel(int steps) {
  readControls();
  values_.levels = steps > 0 ? values_.levels + 1 : std::max<std::int32_t>(0, values_.levels - 1);
  showValues();
}

void FetchDialog::stepVolume(int steps) {
  // The stored volume is stepped, not the one typed since the last read.
  values_.maxDownloadGB += steps > 0 ? 0.05 : -0.05;
  if (values_.maxDownloadGB < 0.01) values_.maxDownloadGB = 0.01;
  showValues();
}

void FetchDialog::keywordsToggled() {
  readControls();
  keywordsEdit_->setEnabled(values_.findKeywords);
  matchCase_->setEnabled(values_.findKeywords);
  showValues();
}

void FetchDialog::webLinksToggled() {
  values_.findWebLinks = !values_.findWebLinks;
  if (!values_.findWebLinks) values_.levels = 0;
  levelEdit_->setEnabled(values_.findWebLinks);
  showValues();
}

void FetchDialog::downloadToToggled() {
  readControls();
  if (!values_.downloadFiles) {
    values_.downloadFolder.clear();
    enableVolume(false);
    showValues();
    return;
  }
  values_.downloadFolder = workingDirectory().toStdString();
  const QString folder = prompts_.chooseFolder(
      this, QStringLiteral("Choose folder that will contain download files"), workingDirectory());
  if (folder.isEmpty()) return;
  values_.downloadFolder = folder.toStdString();
  enableVolume(true);
  showValues();
}

void FetchDialog::enableVolume(bool on) { volumeEdit_->setEnabled(on); }

}  // namespace tarnwick::gui
