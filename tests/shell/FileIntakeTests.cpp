// Add Files: the rows made from what the media probe says of each chosen file, the cells
// cleared before, and the intake's own state while it lets the window run between files.
#include <gtest/gtest.h>

#include <QMetaObject>

#include <cstdint>
#include <limits>

#include "FileIntake.h"
#include "MediaFixtures.h"
#include "ShellFixture.h"

namespace mf::test {
namespace {

// The media cells and the state cells of a row: caption, then "Video Size" ... "Frames".
QStringList RowCells(const TFileListView& list, int row) {
  QStringList cells = {list.Caption(row)};
  for (int subItem = 0; subItem < SubItemCount; ++subItem) cells << list.SubItem(row, subItem);
  return cells;
}

TEST(FileIntakeTextTest, DurationCellIsWholeSecondsOrUnknown) {
  struct TCase {
    int64_t DurationUs;
    const char* Text;
  };
  const TCase cases[] = {
      {59'900'000, "00:00:59"},          // cut, not rounded
      {3'600'000'000, "01:00:00"},
      {3'725'000'000, "01:02:05"},
      {360'000'000'000, "100:00:00"},    // more hour digits as needed
      {0, "00:00:00"},
      {std::numeric_limits<int64_t>::min(), "Unknown"},  // the library's no-timestamp value
      {-2'000'000, "Unknown"},
      {-500'000, "Unknown"},             // under a second, still not a length
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.DurationUs);
    EXPECT_EQ(DurationCellText(c.DurationUs), c.Text);
  }
}

TEST(FileIntakeTextTest, FrameRateIsRoundedToTwoDecimalsHalvesToEven) {
  struct TCase {
    int Num, Den;
    const char* Text;
  };
  const TCase cases[] = {
      {30000, 1001, "29.97"}, {25, 1, "25"},        {24000, 1001, "23.98"}, {15000, 1001, "14.99"},
      {1001, 8, "125.12"},    {1003, 8, "125.38"},  // 12512.5 and 12537.5 hundredths: to even
      {5, 2, "2.5"},          {0, 0, " "},          {90000, 0, " "},        {0, 1, " "},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(std::to_string(c.Num) + "/" + std::to_string(c.Den));
    EXPECT_EQ(FrameRateText(c.Num, c.Den), c.Text);
  }
}

TEST_F(TShellTest, AddFilesMakesOneCheckedRowPerFileFromTheProbe) {
  const std::string ntsc = mftest::MakeMedia(
      "intake-ntsc.mp4",
      "-f lavfi -i testsrc=size=320x240:rate=30000/1001:duration=2 -f lavfi -i sine=duration=2 -c:v mpeg4 -c:a aac");
  const std::string pal =
      mftest::MakeMedia("intake-pal.avi", "-f lavfi -i testsrc=size=720x576:rate=25:duration=1 -c:v mpeg4");
  const std::string tone = mftest::MakeMedia("intake-tone.wav", "-f lavfi -i sine=duration=3");
  const std::string notes = mftest::MakeTextFile("intake-notes.txt", "not a media file\n");
  Start();
  TForm1& form = Form();
  form.ListView1.AddRow("/media/earlier.avi");
  Prompt.FilesToOpen = {QString::fromStdString(ntsc), QString::fromStdString(notes), QString::fromStdString(tone),
                        QString::fromStdString(pal)};

  form.ButtonAddFile.click();

  ASSERT_EQ(Prompt.OpenDialogs.size(), 1u);
  const TOpenDialogSettings& dialog = Prompt.OpenDialogs[0];
  EXPECT_TRUE(dialog.AllowMultiSelect && dialog.HideReadOnly && dialog.FileMustExist && dialog.EnableSizing);
  EXPECT_EQ(dialog.Filter, form.OpenDialog1.Filter);
  const QStringList expected[] = {
      {QString::fromStdString(ntsc), "320x240", "29.97", "00:00:02", "MP4", "", ""},
      {QString::fromStdString(notes), "", "", "", "", "Error", ""},
      {QString::fromStdString(tone), " ", " ", "00:00:03", "MP4", "", ""},
      {QString::fromStdString(pal), "720x576", "25", "00:00:01", "MP4", "", ""},
  };
  ASSERT_EQ(form.ListView1.RowCount(), 5) << "appended, in the dialog's order";
  for (int row = 1; row < 5; ++row) {
    SCOPED_TRACE(row);
    EXPECT_EQ(RowCells(form.ListView1, row), expected[row - 1]);
    EXPECT_TRUE(form.ListView1.Checked(row)) << "a file the probe rejects stays checked too";
  }
  EXPECT_FALSE(form.AddingFiles);
  EXPECT_TRUE(Prompt.Messages.empty());
  EXPECT_EQ(form.Converter.Probe.StreamCount, -1) << "no file is kept open behind the list";
}

// Before the dialog, every row's "Progress" and "Frames" go and the converter's tasks are
// dropped, even when the dialog is then cancelled; while converting nothing happens at all.
TEST_F(TShellTest, AddFilesClearsTheLastBatchsCellsAndACancelledDialogAddsNothing) {
  const std::string clip =
      mftest::MakeMedia("intake-clear.mp4", "-f lavfi -i testsrc=size=160x120:rate=10:duration=1 -c:v mpeg4");
  Start();
  TForm1& form = Form();
  const char* const results[][2] = {{"Done", "25"}, {"Fail", " "}, {"Error", ""}, {"Abort", "3"}};
  for (const auto& result : results) {
    const int row = form.ListView1.AddRow(QString::fromStdString(clip));
    form.ListView1.SetSubItem(row, SubItemVideoSize, "160x120");
    form.ListView1.SetSubItem(row, SubItemProgress, result[0]);
    form.ListView1.SetSubItem(row, SubItemFrames, result[1]);
  }
  ASSERT_GE(form.Converter.RegisterTask(clip, nullptr), 0) << form.Converter.LastError;

  form.Converting = true;
  form.ButtonAddFile.click();
  EXPECT_TRUE(Prompt.OpenDialogs.empty()) << "refused while converting";
  EXPECT_EQ(form.ListView1.SubItem(0, SubItemProgress), "Done");
  EXPECT_EQ(form.Converter.Tasks.Count(), 1);

  form.Converting = false;
  Prompt.FilesToOpen.clear();  // Cancel
  form.AddFiles1.trigger();
  EXPECT_EQ(Prompt.OpenDialogs.size(), 1u);
  ASSERT_EQ(form.ListView1.RowCount(), 4);
  for (int row = 0; row < 4; ++row) {
    SCOPED_TRACE(row);
    EXPECT_EQ(RowCells(form.ListView1, row),
              QStringList({QString::fromStdString(clip), "160x120", "", "", "", "", ""}));
  }
  EXPECT_EQ(form.Converter.Tasks.Count(), 0);
  EXPECT_FALSE(form.AddingFiles);
  EXPECT_TRUE(Prompt.Messages.empty());
}

// The intake lets the window run between files. An Add Files then starts no second intake
// and leaves AddingFiles set, so Convert stays refused until every file is in.
TEST_F(TShellTest, AddFilesDuringAnIntakeStartsNoSecondOne) {
  const std::string a = mftest::MakeMedia("intake-a.mp4", "-f lavfi -i testsrc=size=160x120:rate=10:duration=1 -c:v mpeg4");
  const std::string b = mftest::MakeMedia("intake-b.mp4", "-f lavfi -i testsrc=size=176x144:rate=10:duration=1 -c:v mpeg4");
  Start();
  TForm1& form = Form();
  form.EditOutputFolder.setText(QDir::tempPath());
  Prompt.FilesToOpen = {QString::fromStdString(a), QString::fromStdString(b)};
  bool ran = false, addingAfterSecond = false, convertingAfterConvert = true;
  int rowsMeanwhile = -1;
  // Delivered by the intake's own event processing after its first file.
  QMetaObject::invokeMethod(
      &form,
      [&] {
        ran = true;
        rowsMeanwhile = form.ListView1.RowCount();
        form.ButtonAddFile.click();
        addingAfterSecond = form.AddingFiles;
        form.ButtonConvert.click();
        convertingAfterConvert = form.Converting;
      },
      Qt::QueuedConnection);

  form.ButtonAddFile.click();

  ASSERT_TRUE(ran) << "the intake did not let the window run";
  EXPECT_EQ(rowsMeanwhile, 1);
  EXPECT_EQ(Prompt.OpenDialogs.size(), 1u);
  EXPECT_TRUE(addingAfterSecond);
  EXPECT_FALSE(convertingAfterConvert);
  EXPECT_TRUE(Prompt.Messages.empty());
  EXPECT_EQ(form.ListView1.RowCount(), 2);
  EXPECT_EQ(form.ListView1.SubItem(1, SubItemVideoSize), "176x144");
  EXPECT_FALSE(form.AddingFiles);
}

}  // namespace
}  // namespace mf::test
