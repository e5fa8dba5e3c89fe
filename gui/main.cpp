#include <QApplication>
#include <QCommandLineParser>

#include "main_window.h"
#include "node_icons.h"
#include "tarnwick/settings_file.h"
#include "user_prompts.h"

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  QApplication::setApplicationName(QStringLiteral("tarnwick"));
  QApplication::setApplicationVersion(QStringLiteral("1.7"));
  QApplication::setWindowIcon(tarnwick::gui::applicationIcon());

  QCommandLineParser parser;
  parser.setApplicationDescription(QStringLiteral(
      "Collects web links, images, e-mail addresses and key words from web sites and local "
      "files.\nThe same work from a terminal: tarnwick-cli --help"));
  parser.addHelpOption();
  parser.addVersionOption();
  parser.process(app);

  tarnwick::gui::DialogPrompts prompts;
  tarnwick::gui::MainWindow window(
      prompts,
      tarnwick::settingsPathFor(QCoreApplication::applicationFilePath().toStdString()));
  window.showMaximized();
  return QApplication::exec();
}
