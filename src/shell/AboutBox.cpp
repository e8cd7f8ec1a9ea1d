#include "AboutBox.h"

#include "DesktopLinks.h"
#include "ProgramIcon.h"
#include "SystemFont.h"

namespace mf {

TFormAbout::TFormAbout(QWidget* owner)
    : QDialog(owner, Qt::Dialog | Qt::WindowStaysOnTopHint | Qt::CustomizeWindowHint |
                         Qt::WindowTitleHint | Qt::WindowCloseButtonHint) {
  setObjectName(QStringLiteral("FormAbout"));
  setWindowTitle(QStringLiteral("About"));
  setLayout(&FormLayout);
  // A dialog border: the box keeps the size its contents need.
  FormLayout.setSizeConstraint(QLayout::SetFixedSize);
  FormLayout.setContentsMargins(20, 18, 20, 14);
  FormLayout.setSpacing(10);

  Image1.setPixmap(ProgramPixmap(64));
  Image1.setFixedSize(64, 64);
  Label1.setObjectName(QStringLiteral("Label1"));
  Label1.setText(QStringLiteral("Marrowfin 4.0"));
  QFont title = Label1.font();
  title.setPointSizeF(title.pointSizeF() * 1.6);
  title.setBold(true);
  Label1.setFont(title);
  TitleLayout.setSpacing(16);
  TitleLayout.addWidget(&Image1);
  TitleLayout.addWidget(&Label1, 1);
  FormLayout.addLayout(&TitleLayout);

  for (QFrame* bevel : {&Bevel1, &Bevel2}) {
    bevel->setFrameShape(QFrame::HLine);
    bevel->setFrameShadow(QFrame::Sunken);
  }
  Label2.setObjectName(QStringLiteral("Label2"));
  Label2.setText(QStringLiteral("Visit Kestrovo Website  for More Softwares "));
  Label2.OnClick = [this] { Label2Click(); };
  Label3.setObjectName(QStringLiteral("Label3"));
  Label3.setText(QStringLiteral("Contact Support Department"));
  Label3.OnClick = [this] { Label3Click(); };
  FormLayout.addWidget(&Bevel1);
  FormLayout.addWidget(&Label2);
  FormLayout.addWidget(&Label3);
  FormLayout.addWidget(&Bevel2);

  SpeedButton1.setObjectName(QStringLiteral("SpeedButton1"));
  SpeedButton1.setText(QStringLiteral("OK"));
  SpeedButton1.setDefault(true);
  SpeedButton1.setMinimumWidth(90);
  connect(&SpeedButton1, &QPushButton::clicked, this, &TFormAbout::SpeedButton1Click);
  ButtonLayout.addStretch(1);
  ButtonLayout.addWidget(&SpeedButton1);
  FormLayout.addLayout(&ButtonLayout);

  ApplySystemFont(*this);
}

void TFormAbout::Label2Click() { OpenKestrovoWebsite(); }

void TFormAbout::Label3Click() { OpenSupportMail(); }

void TFormAbout::SpeedButton1Click() { accept(); }

}  // namespace mf
