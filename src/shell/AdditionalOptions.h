// TForm4, the "Additional Options" window: whether converting replaces a file of the same
// name, and how many rows the output-format list shows. Creating it loads the saved settings.
#pragma once

#include <QCheckBox>
#include <QDialog>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QSpinBox>
#include <QVBoxLayout>

namespace mf {

class TForm1;

// The range and start value of the drop-down row count.
inline constexpr int MinDropDownItems = 26;
inline constexpr int MaxDropDownItems = 47;
inline constexpr int InitialDropDownItems = 27;

class TForm4 final : public QDialog {
  Q_OBJECT

 public:
  // Built over the main window, which must be complete: the settings are loaded into both.
  explicit TForm4(TForm1& mainWindow);

  void SpinEdit1Change();
  void Button1Click();

  // Members follow their containers; see MainWindow.h.
  QVBoxLayout FormLayout;
  QGroupBox GroupBox1;
  QVBoxLayout GroupLayout;
  QCheckBox CheckBoxOverWrite;
  QHBoxLayout SpinLayout;
  QSpinBox SpinEdit1;
  QLabel Label1;
  QHBoxLayout ButtonLayout;
  QPushButton Button1;

 private:
  TForm1& MainWindow;
};

}  // namespace mf
