#include "autoupdate_dialog.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "tarnwick/messages.h"
#include "user_prompts.h"

namespace tarnwick::gui {

AutoupdateDialog::AutoupdateDialog(AutoupdateState& state, UserPrompts& prompts, QWidget* parent)
    : QDialog(parent), state_(state), prompts_(prompts) {
  setWindowTitle(QStringLiteral("Set autoupdate"));
  addressEdit_ = new QLineEdit(QString::fromStdString(state_.address), this);
  addressEdit_->setObjectName(QStringLiteral("addressEdit"));
  addressEdit_->setMinimumWidth(360);
  minutesEdit_ = new QLineEdit(QString::number(state_.minutes), this);
  minutesEdit_->setObjectName(QStringLiteral("minutesEdit"));
  minutesEdit_->setMaximumWidth(80);
  switchButton_ = new QPushButton(
      state_.timerOn ? QStringLiteral("Kill timer") : QStringLiteral("Set timer"), this);
  switchButton_->setObjectName(QStringLiteral("switchButton"));
  switchButton_->setDefault(true);  // Enter presses it
  auto* closeButton = new QPushButton(QStringLiteral("Close"), this);
  closeButton->setObjectName(QStringLiteral("closeButton"));
  closeButton->setAutoDefault(false);
  // While the timer runs, what it was set with stays as it is.
  addressEdit_->setEnabled(!state_.timerOn);
  minutesEdit_->setEnabled(!state_.timerOn);

  auto* addressLabel = new QLabel(QStringLiteral("WEB &URL:"), this);
  addressLabel->setBuddy(addressEdit_);
  auto* period = new QHBoxLayout;
  period->addWidget(new QLabel(QStringLiteral("Update every"), this));
  period->addWidget(minutesEdit_);
  period->addWidget(new QLabel(QStringLiteral("minutes"), this));
  period->addStretch();
  auto* buttons = new QHBoxLayout;
  buttons->addStretch();
  buttons->addWidget(switchButton_);
  buttons->addWidget(closeButton);
  auto* grid = new QGridLayout(this);
  grid->addWidget(addressLabel, 0, 0);
  grid->addWidget(addressEdit_, 0, 1);
  grid->addLayout(period, 1, 1);
  grid->addLayout(buttons, 2, 0, 1, 2);

  connect(switchButton_, &QPushButton::clicked, this, &AutoupdateDialog::setOrKill);
  connect(closeButton, &QPushButton::clicked, this, &AutoupdateDialog::closeKeeping);
}

bool AutoupdateDialog::storeControls() {
  bool whole = false;
  const int minutes = minutesEdit_->text().trimmed().toInt(&whole);
  if (!whole) {
    prompts_.ask(this, QString::fromLatin1(messages::kEnterInteger), Buttons::Ok);
    minutesEdit_->setFocus();
    return false;
  }
  state_.address = addressEdit_->text().toStdString();
  state_.minutes = minutes;
  return true;
}

void AutoupdateDialog::setOrKill() {
  // Nothing is switched while the minutes are refused: the dialog stays as it was.
  if (!storeControls()) return;
  if (const char* problem = autoupdateInputProblem(state_.address, state_.minutes)) {
    prompts_.ask(this, QString::fromLatin1(problem), Buttons::Ok);
    return;
  }
  switchAutoupdate(state_);
  accept();
}

void AutoupdateDialog::closeKeeping() {
  if (storeControls()) accept();
}

}  // namespace tarnwick::gui
