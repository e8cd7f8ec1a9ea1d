// The program's three windows, created in start-up order and owned together: the main
// window, the About box, then the "Additional Options" window, whose creation loads the
// saved settings into both it and the main window.
#pragma once

#include <QString>

#include <memory>

#include "AboutBox.h"
#include "AdditionalOptions.h"
#include "MainWindow.h"
#include "Prompt.h"

namespace mf {

class TShellWindows {
 public:
  TShellWindows(TPrompt& prompt, const QString& executableFolder);

  // True when the main window ended the start-up (the codec libraries are missing; the user
  // has been told): nothing else is created then, and the program must end.
  bool StartupFailed() const { return !OptionsWindow; }

  TForm1& Form1() const { return *MainWindow; }
  TFormAbout& FormAbout() const { return *AboutBox; }
  TForm4& Form4() const { return *OptionsWindow; }

 private:
  // The two dialogs are Qt children of the main window (so they centre on it and stay with
  // it) but are owned here; declared after it, they are destroyed first, which takes them
  // out of its children before it could delete them.
  std::unique_ptr<TForm1> MainWindow;
  std::unique_ptr<TFormAbout> AboutBox;
  std::unique_ptr<TForm4> OptionsWindow;
};

}  // namespace mf
