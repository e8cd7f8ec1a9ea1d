// The window tests need one application object for the whole process, on the offscreen
// platform, with a settings folder of their own.
#include <gtest/gtest.h>

#include <QApplication>
#include <QTemporaryDir>

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  // Whatever a test forgets to redirect still never reaches the user's own settings.
  QTemporaryDir config;
  qputenv("XDG_CONFIG_HOME", config.path().toLocal8Bit());
  QApplication app(argc, argv);
  QApplication::setOrganizationName(QStringLiteral("Kestrovo"));
  QApplication::setApplicationName(QStringLiteral("Marrowfin"));
  testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
