#include "search_dialog.h"

namespace tarnwick::gui {

SearchDialog::SearchDialog(const QString& title, DialogFlags& flags, UserPrompts& prompts)
    : QDialog(nullptr), flags_(flags), prompts_(prompts) {
  setWindowTitle(title);
  setModal(false);
}

}  // namespace tarnwick::gui
