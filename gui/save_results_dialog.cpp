#include "save_results_dialog.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QGridLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace tarnwick::gui {
namespace {

QCheckBox* box(QWidget* parent, const char* text, const char* name) {
  auto* made = new QCheckBox(QString::fromLatin1(text), parent);
  made->setObjectName(QLatin1String(name));
  return made;
}

QPushButton* button(QWidget* parent, const char* text, const char* name) {
  auto* made = new QPushButton(QString::fromLatin1(text), parent);
  made->setObjectName(QLatin1String(name));
  // Enter must not press a button: it ends the dialog without saving.
  made->setAutoDefault(false);
  return made;
}

}  // namespace

SaveResultsDialog::SaveResultsDialog(SaveResultsOptions& values, QWidget* parent)
    : QDialog(parent), values_(values) {
  setWindowTitle(QStringLiteral("Save results"));
  buildControls();
  showValues();
  // Enabled at every opening, whatever the box shows.
  extensions_->setEnabled(true);
  connect(save_, &QPushButton::clicked, this, [this] { finish(true); });
  connect(close_, &QPushButton::clicked, this, [this] { finish(false); });
  connect(saveAll_, &QCheckBox::clicked, this, &SaveResultsDialog::flipScope);
  connect(selectedBranch_, &QCheckBox::clicked, this, &SaveResultsDialog::flipScope);
  connect(onlyWithExtensions_, &QCheckBox::clicked, this, &SaveResultsDialog::extensionsToggled);
}

void SaveResultsDialog::buildControls() {
  emails_ = box(this, "E-mails", "emailsBox");
  allWebLinks_ = box(this, "All web-links", "allWebLinksBox");
  keywords_ = box(this, "Key words", "keywordsBox");
  onlyWithExtensions_ = box(this, "Only weblinks with extentions:", "onlyExtensionsBox");
  saveAll_ = box(this, "Save all content", "saveAllBox");
  selectedBranch_ = box(this, "Selected branch only", "selectedBranchBox");
  extensions_ = new QLineEdit(this);
  extensions_->setObjectName(QStringLiteral("extensionsEdit"));
  auto* hint = new QLabel(
      QStringLiteral("Print extention of pages to save. No preseeded points are nessesary. "
                     "Deviders - spaces, commas, semicomas."),
      this);
  hint->setObjectName(QStringLiteral("extensionsHint"));
  hint->setWordWrap(true);
  save_ = button(this, "Save", "saveButton");
  close_ = button(this, "Close", "closeButton");

  auto* layout = new QGridLayout(this);
  layout->addWidget(emails_, 0, 0);
  layout->addWidget(saveAll_, 0, 1);
  layout->addWidget(allWebLinks_, 1, 0);
  layout->addWidget(selectedBranch_, 1, 1);
  layout->addWidget(keywords_, 2, 0);
  layout->addWidget(onlyWithExtensions_, 3, 0);
  layout->addWidget(extensions_, 3, 1);
  layout->addWidget(hint, 4, 0, 1, 2);
  layout->addWidget(save_, 5, 0);
  layout->addWidget(close_, 5, 1);
}

void SaveResultsDialog::showValues() {
  emails_->setChecked(values_.emails);
  saveAll_->setChecked(values_.saveAllContent);
  selectedBranch_->setChecked(!values_.saveAllContent);
  keywords_->setChecked(values_.keywords);
  allWebLinks_->setChecked(values_.allWebLinks);
  onlyWithExtensions_->setChecked(values_.onlyWithExtensions);
  extensions_->setText(QString::fromStdString(values_.extensionText));
}

void SaveResultsDialog::readControls() {
  values_.emails = emails_->isChecked();
  values_.saveAllContent = saveAll_->isChecked();
  values_.keywords = keywords_->isChecked();
  values_.allWebLinks = allWebLinks_->isChecked();
  values_.onlyWithExtensions = onlyWithExtensions_->isChecked();
  values_.extensionText = extensions_->text().toStdString();
}

// Exactly one scope is ticked. The refresh shows the stored choices, so it
// also undoes what was changed in the other controls since the opening.
void SaveResultsDialog::flipScope() {
  values_.saveAllContent = !values_.saveAllContent;
  showValues();
}

void SaveResultsDialog::extensionsToggled() {
  values_.onlyWithExtensions = !values_.onlyWithExtensions;
  onlyWithExtensions_->setChecked(values_.onlyWithExtensions);
  extensions_->setEnabled(values_.onlyWithExtensions);
}

void SaveResultsDialog::finish(bool save) {
  saveRequested_ = save;
  readControls();
  done(save ? Accepted : Rejected);
}

void SaveResultsDialog::keyPressEvent(QKeyEvent* event) {
  if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
    finish(false);
    return;
  }
  QDialog::keyPressEvent(event);  // Esc: rejected, nothing stored
}

void SaveResultsDialog::closeEvent(QCloseEvent* event) {
  saveRequested_ = false;
  readControls();
  QDialog::closeEvent(event);
}

}  // namespace tarnwick::gui
