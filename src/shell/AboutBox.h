// TFormAbout, the About box: the program's name and version, and links to the maker's web
// site and support address.
#pragma once

#include <QDialog>
#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "ClickableLabel.h"

namespace mf {

class TFormAbout final : public QDialog {
  Q_OBJECT

 public:
  // Centred on Owner, the main window, whenever it is shown.
  explicit TFormAbout(QWidget* owner);

  void Label2Click();
  void Label3Click();
  void SpeedButton1Click();

  // Members follow their containers; see MainWindow.h.
  QVBoxLayout FormLayout;
  QHBoxLayout TitleLayout;
  QLabel Image1;  // the program icon
  QLabel Label1;
  QFrame Bevel1;
  TClickableLabel Label2;
  TClickableLabel Label3;
  QFrame Bevel2;
  QHBoxLayout ButtonLayout;
  QPushButton SpeedButton1;
};

}  // namespace mf
