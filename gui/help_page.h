#pragma once

#include <QString>

namespace tarnwick::gui {

// The help page that ships with the program whose file is in programFolder:
// the installed one (programFolder/../share/doc/tarnwick/help/index.html)
// first, then the one beside the program in its build folder
// (programFolder/help/index.html). Its full path, or empty when neither is there.
QString findHelpPage(const QString& programFolder);

}  // namespace tarnwick::gui
