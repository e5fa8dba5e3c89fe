#include "file_or_folder_dialog.h"

#include <QHBoxLayout>
#include <QPushButton>

namespace tarnwick::gui {

FileOrFolderDialog::FileOrFolderDialog(QWidget* parent) : QDialog(parent) {
  setWindowTitle(QStringLiteral("Choose file or folder to search"));
  auto* layout = new QHBoxLayout(this);
  const auto addChoice = [&](const QString& caption, int value) {
    auto* button = new QPushButton(caption, this);
    button->setObjectName(caption.toLower().remove('&'));
    layout->addWidget(button);
    connect(button, &QPushButton::clicked, this, [this, value] {
      choice_ = value;
      accept();
    });
  };
  addChoice(QStringLiteral("&File"), 0);
  addChoice(QStringLiteral("F&older"), 1);
}

}  // namespace tarnwick::gui
