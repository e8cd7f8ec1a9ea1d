// Start-up of the window program. Until the main window exists this shows whether the codec
// libraries could be loaded from "Common Files" beside the executable.
#include <QApplication>
#include <QLabel>

#include "CodecLibraries.h"

int main(int argc, char* argv[]) {
  QApplication app(argc, argv);
  QApplication::setApplicationName("Marrowfin");
  const QString folder = QApplication::applicationDirPath() + "/Common Files";
  const bool loaded = mf::BindCodecLibraries(folder.toStdString(), true);
  QLabel label(loaded ? QStringLiteral("The codec libraries were loaded.")
                      : QString::fromStdString(mf::CodecLibraryError()));
  label.setWindowTitle("Marrowfin");
  label.setMargin(24);
  label.show();
  return app.exec();
}
