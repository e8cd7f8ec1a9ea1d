#include "ShellWindows.h"

namespace mf {

TShellWindows::TShellWindows(TPrompt& prompt, const QString& executableFolder)
    : MainWindow(std::make_unique<TForm1>(prompt, executableFolder)) {
  if (MainWindow->StartupFailed()) return;
  AboutBox = std::make_unique<TFormAbout>(MainWindow.get());
  MainWindow->AttachAboutBox(AboutBox.get());
  OptionsWindow = std::make_unique<TForm4>(*MainWindow);
  MainWindow->AttachAdditionalOptions(OptionsWindow.get());
}

}  // namespace mf
