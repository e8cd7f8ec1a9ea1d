// The window program: start-up, then the message loop until the main window closes or
// "Exit" is chosen.
#include <QApplication>

#include "DialogPrompt.h"
#include "ShellWindows.h"

int main(int argc, char* argv[]) {
  QApplication app(argc, argv);
  QApplication::setOrganizationName(QStringLiteral("Kestrovo"));
  QApplication::setApplicationName(QStringLiteral("Marrowfin"));
  QApplication::setApplicationDisplayName(QStringLiteral("Marrowfin"));

  mf::TDialogPrompt prompt;
  mf::TShellWindows windows(prompt, QApplication::applicationDirPath());
  if (windows.StartupFailed()) return 1;
  windows.Form1().show();
  return app.exec();
}
