#pragma once

#include <QDialog>

namespace tarnwick::gui {

// "Choose file or folder to search": "File" or "Folder", or closed.
class FileOrFolderDialog : public QDialog {
  Q_OBJECT
 public:
  explicit FileOrFolderDialog(QWidget* parent = nullptr);
  // 0 file, 1 folder, -1 when the window was closed.
  int choice() const { return choice_; }

 private:
  int choice_ = -1;
};

}  // namespace tarnwick::gui
