#include "AdditionalOptions.h"

#include "MainWindow.h"
#include "SettingsStore.h"
#include "SystemFont.h"

namespace mf {

TForm4::TForm4(TForm1& mainWindow)
    : QDialog(&mainWindow, Qt::Dialog | Qt::WindowStaysOnTopHint | Qt::CustomizeWindowHint |
                               Qt::WindowTitleHint | Qt::WindowCloseButtonHint),
      MainWindow(mainWindow) {
  setObjectName(QStringLiteral("Form4"));
  setWindowTitle(QStringLiteral("Additional Options"));
  setLayout(&FormLayout);
  FormLayout.setSizeConstraint(QLayout::SetFixedSize);
  FormLayout.setContentsMargins(14, 12, 14, 12);
  FormLayout.setSpacing(12);

  GroupBox1.setTitle(QStringLiteral(" Additional Options "));
  GroupBox1.setLayout(&GroupLayout);
  GroupLayout.setContentsMargins(12, 10, 12, 12);
  GroupLayout.setSpacing(10);
  CheckBoxOverWrite.setObjectName(QStringLiteral("CheckBoxOverWrite"));
  CheckBoxOverWrite.setText(QStringLiteral("Overwrite Existing File With The Same Name"));
  CheckBoxOverWrite.setChecked(false);
  GroupLayout.addWidget(&CheckBoxOverWrite);
  SpinEdit1.setObjectName(QStringLiteral("SpinEdit1"));
  SpinEdit1.setRange(MinDropDownItems, MaxDropDownItems);
  SpinEdit1.setValue(InitialDropDownItems);
  Label1.setText(QStringLiteral(" Drop Down Items in Output Format List"));
  Label1.setBuddy(&SpinEdit1);
  SpinLayout.setSpacing(6);
  SpinLayout.addWidget(&SpinEdit1);
  SpinLayout.addWidget(&Label1, 1);
  GroupLayout.addLayout(&SpinLayout);
  FormLayout.addWidget(&GroupBox1);

  Button1.setObjectName(QStringLiteral("Button1"));
  Button1.setText(QStringLiteral("Done"));
  Button1.setDefault(true);
  Button1.setMinimumWidth(90);
  ButtonLayout.addStretch(1);
  ButtonLayout.addWidget(&Button1);
  FormLayout.addLayout(&ButtonLayout);

  connect(&SpinEdit1, &QSpinBox::valueChanged, this, &TForm4::SpinEdit1Change);
  connect(&Button1, &QPushButton::clicked, this, &TForm4::Button1Click);

  ApplySystemFont(*this);
  LoadSettings(MainWindow, *this);
}

void TForm4::SpinEdit1Change() {
  MainWindow.SetDropDownCount(TOptionBox::OutputFormat, SpinEdit1.value());
}

void TForm4::Button1Click() { close(); }

}  // namespace mf
