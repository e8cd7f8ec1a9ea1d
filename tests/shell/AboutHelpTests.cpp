// The About box, the help menu, the links handed to the desktop and the system font rule.
#include <gtest/gtest.h>

#include <QFontDatabase>
#include <QTest>
#include <QTimer>

#include "DesktopLinks.h"
#include "ShellFixture.h"
#include "SystemFont.h"

namespace mf::test {
namespace {

TEST_F(TShellTest, AboutBoxShowsItsTexts) {
  Start();
  TFormAbout& about = Windows->FormAbout();
  EXPECT_EQ(about.windowTitle(), "About");
  EXPECT_TRUE(about.windowFlags() & Qt::WindowStaysOnTopHint);
  EXPECT_EQ(about.parentWidget(), &Form()) << "centred on the main window";
  EXPECT_EQ(about.Label1.text(), "Marrowfin 4.0");
  EXPECT_EQ(about.Label2.text(), "Visit Kestrovo Website  for More Softwares ");
  EXPECT_EQ(about.Label3.text(), "Contact Support Department");
  EXPECT_EQ(about.SpeedButton1.text(), "OK");
  EXPECT_EQ(about.Label2.cursor().shape(), Qt::PointingHandCursor);
  EXPECT_EQ(about.Label3.cursor().shape(), Qt::PointingHandCursor);
  EXPECT_FALSE(about.Image1.pixmap().isNull());
}

TEST_F(TShellTest, AboutBoxLabelsOpenTheWebSiteAndTheSupportAddress) {
  TUrlRecorder desktop;
  Start();
  TFormAbout& about = Windows->FormAbout();
  about.show();
  QTest::mouseClick(&about.Label2, Qt::LeftButton);
  QTest::mouseClick(&about.Label3, Qt::LeftButton);
  ASSERT_EQ(desktop.Urls.size(), 2);
  EXPECT_EQ(desktop.Urls[0], QUrl(QString::fromLatin1(KestrovoWebsite)));
  EXPECT_EQ(desktop.Urls[1].scheme(), "mailto");
  EXPECT_EQ(desktop.Urls[1], QUrl(QString::fromLatin1(SupportMail)));
}

TEST_F(TShellTest, HelpMenuOpensTheHelpPageTheWebSiteAndTheAboutBox) {
  TUrlRecorder desktop;
  Start();
  TForm1& form = Form();

  form.OpenHelpFile1.trigger();
  form.VisitKestrovoWebsite1.trigger();
  ASSERT_EQ(desktop.Urls.size(), 2);
  const QString helpPage = QDir(MF_BIN_DIR).filePath("help.html");
  EXPECT_EQ(desktop.Urls[0], QUrl::fromLocalFile(helpPage));
  QFile page(helpPage);
  ASSERT_TRUE(page.open(QIODevice::ReadOnly)) << "the build puts the help page beside the program";
  EXPECT_TRUE(page.readAll().contains("<title>Marrowfin Help</title>"));
  EXPECT_EQ(desktop.Urls[1], QUrl(QString::fromLatin1(KestrovoWebsite)));

  // "About" shows the box modally until OK.
  bool shownModal = false;
  QTimer::singleShot(0, &form, [this, &shownModal] {
    TFormAbout& about = Windows->FormAbout();
    shownModal = about.isVisible() && about.isModal();
    about.SpeedButton1.click();
  });
  form.About1.trigger();
  EXPECT_TRUE(shownModal);
  EXPECT_FALSE(Windows->FormAbout().isVisible());
}

TEST(SystemFontTest, WindowsTakeTheDesktopsPreferredFontAndNothingElse) {
  const QFont preferred = QFontDatabase::systemFont(QFontDatabase::GeneralFont);
  QString other;
  for (const QString& family : QFontDatabase::families())
    if (family.compare(preferred.family(), Qt::CaseInsensitive) != 0) other = family;
  ASSERT_FALSE(other.isEmpty()) << "a second font family is installed";

  QWidget foreign;
  foreign.setFont(QFont(other, 17));
  ApplySystemFont(foreign);
  EXPECT_EQ(foreign.font().family(), preferred.family());
  EXPECT_EQ(foreign.font().pointSizeF(), preferred.pointSizeF());

  // Already the preferred family, in any letter case: left alone, size included.
  QWidget same;
  same.setFont(QFont(preferred.family().toUpper(), 17));
  ApplySystemFont(same);
  EXPECT_EQ(same.font().family(), preferred.family().toUpper());
  EXPECT_EQ(same.font().pointSize(), 17);
}

TEST_F(TShellTest, TheThreeWindowsUseThePreferredFont) {
  Start();
  const QString family = QFontDatabase::systemFont(QFontDatabase::GeneralFont).family();
  EXPECT_EQ(Form().font().family(), family);
  EXPECT_EQ(Windows->FormAbout().font().family(), family);
  EXPECT_EQ(Options().font().family(), family);
}

}  // namespace
}  // namespace mf::test
