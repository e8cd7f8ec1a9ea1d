// The main window: start-up, the output-format selection, the commands and when they are
// refused, the volume slider, closing, and a layout that cuts nothing off.
#include <gtest/gtest.h>

#include <QAbstractItemView>
#include <QStyle>
#include <QStyleOptionComboBox>

#include "Catalogue.h"
#include "MediaFixtures.h"
#include "CodecLibraries.h"
#include "OptionSets.h"
#include "SettingsStore.h"
#include "ShellFixture.h"

namespace mf::test {
namespace {

constexpr int WavRow = 17;        // "WAV - Waveform Audio (*.wav)"
constexpr int AviRow = 22;        // "AVI - Audio Video Interleave (*.avi)"
constexpr int SeparatorRow = 19;  // the separator between the audio and the video formats

QStringList Items(const QComboBox& box) {
  QStringList items;
  for (int i = 0; i < box.count(); ++i) items << box.itemText(i);
  return items;
}

// Everything the profile boxes show: their items and selections.
QStringList OptionBoxState(const TForm1& form) {
  QStringList state;
  for (const QComboBox* box : {&form.ComboVideoCodec, &form.ComboVideoSize, &form.ComboVideoBitrate,
                               &form.ComboVideoFramerate, &form.ComboAudioCodec,
                               &form.ComboAudioBitrate, &form.ComboAudioChannels,
                               &form.ComboSamplingRate, &form.ComboAspectRatio})
    state << box->objectName() + ": " + Items(*box).join('|') + " @" + box->currentText();
  return state;
}

QStringList OutputColumn(const TForm1& form) {
  QStringList cells;
  for (int row = 0; row < form.ListView1.RowCount(); ++row)
    cells << form.ListView1.SubItem(row, SubItemOutput);
  return cells;
}

TEST(MainWindowStartupTest, MissingLibraryFolderTellsTheUserAndEndsBeforeTheWindowIsUsed) {
  // Another test in this process may have bound the libraries; a bound process never reloads.
  UnloadCodecLibraries();
  QTemporaryDir config;
  QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, config.path());
  QTemporaryDir executableFolder;  // holds no "Common Files"
  TScriptedPrompt prompt;

  TShellWindows windows(prompt, executableFolder.path());

  EXPECT_TRUE(windows.StartupFailed());
  ASSERT_EQ(prompt.Messages.size(), 1u);
  EXPECT_EQ(prompt.Messages[0].Title, "Information");
  EXPECT_EQ(prompt.Messages[0].Text, "Some files are missing. Please re-install this software");
  EXPECT_FALSE(windows.Form1().isVisible());
  EXPECT_EQ(windows.Form1().ComboOutputFormat.count(), 0) << "later start-up steps ran";
  EXPECT_FALSE(QFile::exists(config.filePath("Kestrovo/Marrowfin.ini"))) << "settings were loaded";
}

TEST_F(TShellTest, StartUpBuildsTheWindowInItsStartState) {
  Start();
  TForm1& form = Form();

  EXPECT_TRUE(Prompt.Messages.empty());
  EXPECT_EQ(form.windowTitle(), "Marrowfin");
  EXPECT_EQ(form.HelpFile, QDir(MF_BIN_DIR).filePath("help.html"));
  EXPECT_EQ(form.ComboOutputFormat.count(), OutputFormatRowCount);
  EXPECT_EQ(form.ComboOutputFormat.count(), 40);
  EXPECT_EQ(form.ComboOutputFormat.maxVisibleItems(), 27) << "the spin box's start value";
  EXPECT_EQ(form.TrackBar1.value(), 5);
  EXPECT_EQ(form.LabelVolume.text(), "100%");
  EXPECT_EQ(form.VolumeLevel, 255);
  EXPECT_EQ(Items(form.ComboAspectRatio), QStringList({"Original", "4:3 (Standard", "16:9 (Wide Screen)"}));
  EXPECT_EQ(form.ComboAspectRatio.currentText(), "Original");
  EXPECT_EQ(Items(form.ComboLetterBox), QStringList({"None", "LetterBox"}));
  EXPECT_EQ(form.ComboLetterBox.currentText(), "None");
  EXPECT_FALSE(form.TimerConvertAgain.isActive());
  EXPECT_EQ(form.TimerConvertAgain.interval(), 100);
  EXPECT_EQ(form.StatusPanelText(0), "Ready");
  EXPECT_EQ(form.OpenDialog1.Filter.toStdString(), std::string(OpenDialogFilter()));
  EXPECT_TRUE(form.OpenDialog1.HideReadOnly && form.OpenDialog1.FileMustExist && form.OpenDialog1.EnableSizing);
}

TEST_F(TShellTest, FirstShowAppliesTheStoredOrTheFirstProfile) {
  struct TCase {
    const char* Name;
    QByteArray Stored;  // "ComboOutputFormat" line, or none
    int Row;
  };
  const TCase cases[] = {
      {"first run", "", 0},
      {"stored row", "ComboOutputFormat=22\n", AviRow},
      {"stored -1", "ComboOutputFormat=-1\n", 0},
      {"stored separator row", "ComboOutputFormat=19\n", 0},
      {"stored row past the list", "ComboOutputFormat=40\n", 0},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Name);
    NewSettingsFolder();
    StoreSettings("Output%20Folder=\n" + c.Stored + "Overwrite=0\nDropDownItems=27\nLetterBox=0\n");
    Start();
    TForm1& form = Form();
    const TheAVCodec* entry = OutputFormatRowEntry(c.Row);
    ASSERT_NE(entry, nullptr);
    EXPECT_EQ(form.ComboOutputFormat.currentIndex(), c.Row);
    EXPECT_EQ(form.PreviousFormatIndex, c.Row);
    EXPECT_EQ(form.OutputExtension(), std::string(entry->Extension));
    // The boxes hold what the profile offers, not their designed start items.
    TForm1 reference(Prompt, QStringLiteral(MF_BIN_DIR));
    reference.SelectIndex(TOptionBox::OutputFormat, c.Row);
    ApplyProfileControls(reference);
    EXPECT_EQ(OptionBoxState(form), OptionBoxState(reference));
    Windows.reset();
  }
}

TEST_F(TShellTest, SelectingASeparatorRowChangesNothing) {
  Start();
  TForm1& form = Form();
  form.ComboOutputFormat.setCurrentIndex(WavRow);
  form.ListView1.AddRow("/media/a.avi");
  form.ListView1.SetSubItem(0, SubItemOutput, "WAV");
  const QStringList boxes = OptionBoxState(form);

  ASSERT_TRUE(IsSeparatorText(form.ComboOutputFormat.itemText(SeparatorRow).toStdString()));
  form.ComboOutputFormat.setCurrentIndex(SeparatorRow);

  EXPECT_EQ(form.ComboOutputFormat.currentIndex(), WavRow);
  EXPECT_EQ(form.PreviousFormatIndex, WavRow);
  EXPECT_EQ(form.OutputExtension(), "WAV");
  EXPECT_EQ(OptionBoxState(form), boxes);
  EXPECT_EQ(OutputColumn(form), QStringList({"WAV"}));
}

TEST_F(TShellTest, ChangingTheProfileRewritesTheOutputColumnOfEveryRow) {
  Start();
  TForm1& form = Form();
  for (const char* file : {"/media/a.avi", "/media/b.mov", "/media/c.mp4"}) form.ListView1.AddRow(file);
  form.ListView1.SetSubItem(1, SubItemProgress, "Done");  // rows already converted too
  form.ListView1.SetSubItem(2, SubItemProgress, "Error");
  Options().SpinEdit1.setValue(40);

  form.ComboOutputFormat.setCurrentIndex(AviRow);

  EXPECT_EQ(OutputColumn(form), QStringList({"AVI", "AVI", "AVI"}));
  EXPECT_EQ(form.ListView1.SubItem(1, SubItemProgress), "Done");
  EXPECT_EQ(form.OutputExtension(), "AVI");
  EXPECT_EQ(form.PreviousFormatIndex, AviRow);
  EXPECT_EQ(form.ComboOutputFormat.maxVisibleItems(), 40);

  form.ComboOutputFormat.setCurrentIndex(WavRow);
  EXPECT_EQ(OutputColumn(form), QStringList({"WAV", "WAV", "WAV"}));
}

TEST_F(TShellTest, DropDownRowCountFollowsTheSpinBoxAtOnceAndWhenTheListOpens) {
  Start();
  TForm1& form = Form();
  Options().SpinEdit1.setValue(33);
  EXPECT_EQ(form.ComboOutputFormat.maxVisibleItems(), 33);
  form.ComboOutputFormat.setMaxVisibleItems(10);
  form.ComboOutputFormat.showPopup();
  EXPECT_EQ(form.ComboOutputFormat.maxVisibleItems(), 33);
  form.ComboOutputFormat.hidePopup();
}

// The commands of the list and the folder, in the states that refuse them. Each case starts
// with two rows, the second selected.
TEST_F(TShellTest, CommandsAreRefusedInTheirStates) {
  struct TCase {
    const char* Name;
    bool AddingFiles;
    bool Converting;
    void (TForm1::*Command)();
    QStringList RowsAfter;
    int PickerCalls;
  };
  const QStringList both = {"/media/a.avi", "/media/b.avi"};
  const QStringList first = {"/media/a.avi"};
  const TCase cases[] = {
      {"Remove", false, false, &TForm1::ButtonRemoveClick, first, 0},
      {"Remove while adding", true, false, &TForm1::ButtonRemoveClick, both, 0},
      {"Remove Selected Item", false, false, &TForm1::RemoveSelectedItem1Click, first, 0},
      {"Remove Selected Item while adding", true, false, &TForm1::RemoveSelectedItem1Click, both, 0},
      {"Clear All", false, false, &TForm1::ButtonClearClick, {}, 0},
      {"Clear All while adding", true, false, &TForm1::ButtonClearClick, both, 0},
      {"Clear All while converting", false, true, &TForm1::ButtonClearClick, both, 0},
      {"Clear All Items", false, false, &TForm1::ClearAllItems1Click, {}, 0},
      {"Clear All Items while converting", false, true, &TForm1::ClearAllItems1Click, both, 0},
      {"Browse", false, false, &TForm1::ButtonBrowseForFolderClick, both, 1},
      {"Browse while adding", true, false, &TForm1::ButtonBrowseForFolderClick, both, 1},
      {"Browse while converting", false, true, &TForm1::ButtonBrowseForFolderClick, both, 0},
  };
  Start();
  TForm1& form = Form();
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Name);
    form.ListView1.Clear();
    for (const QString& file : both) form.ListView1.AddRow(file);
    form.ListView1.SelectRow(1);
    Prompt.PickerStarts.clear();
    form.AddingFiles = c.AddingFiles;
    form.Converting = c.Converting;

    (form.*c.Command)();

    QStringList rows;
    for (int row = 0; row < form.ListView1.RowCount(); ++row) rows << form.ListView1.Caption(row);
    EXPECT_EQ(rows, c.RowsAfter);
    EXPECT_EQ(static_cast<int>(Prompt.PickerStarts.size()), c.PickerCalls);
    EXPECT_TRUE(Prompt.Messages.empty()) << "a refused command shows nothing";
  }
}

TEST_F(TShellTest, RemoveWithoutASelectedRowDoesNothing) {
  Start();
  TForm1& form = Form();
  form.ListView1.AddRow("/media/a.avi");
  form.ListView1.AddRow("/media/b.avi");
  form.ListView1.SelectRow(-1);
  form.ButtonRemove.click();
  EXPECT_EQ(form.ListView1.RowCount(), 2);
}

TEST_F(TShellTest, CheckAllAndUncheckAllWorkInEveryState) {
  Start();
  TForm1& form = Form();
  form.ListView1.AddRow("/media/a.avi", true);
  form.ListView1.AddRow("/media/b.avi", false);
  form.Converting = true;
  form.AddingFiles = true;
  form.UncheckAllItems1.trigger();
  EXPECT_FALSE(form.ListView1.Checked(0) || form.ListView1.Checked(1));
  form.CheckAllItems1.trigger();
  EXPECT_TRUE(form.ListView1.Checked(0) && form.ListView1.Checked(1));
}

TEST_F(TShellTest, FolderPickerStartsWhereTheUserLeftItAndCancelKeepsTheFolder) {
  Start();
  TForm1& form = Form();
  Prompt.FolderAnswers = {"/data/out", "", "/data/other"};

  form.ButtonBrowseForFolder.click();
  EXPECT_EQ(form.EditOutputFolder.text(), "/data/out");
  form.ButtonBrowseForFolder.click();  // cancelled
  EXPECT_EQ(form.EditOutputFolder.text(), "/data/out");
  form.ButtonBrowseForFolder.click();
  EXPECT_EQ(form.EditOutputFolder.text(), "/data/other");

  ASSERT_EQ(Prompt.PickerStarts.size(), 3u);
  EXPECT_EQ(Prompt.PickerStarts[0].Folder, "Select Output Directory");
  EXPECT_EQ(Prompt.PickerStarts[0].Headline, "Choose the required output directory below :");
  EXPECT_TRUE(Prompt.PickerStarts[0].DirectoriesOnly);
  EXPECT_EQ(Prompt.PickerStarts[1].Folder, "/data/out");
  EXPECT_EQ(Prompt.PickerStarts[2].Folder, "/data/out");
}

TEST_F(TShellTest, VolumeSliderShowsThePercentageAndSetsTheEngineFactor) {
  struct TCase {
    int Position;
    const char* Label;
    int Level;
  };
  const TCase cases[] = {{0, "0%", 1},      {1, "20%", 50},   {2, "40%", 100},  {3, "60%", 150},
                         {4, "80%", 200},   {5, "100%", 255}, {6, "120%", 300}, {7, "140%", 350},
                         {8, "160%", 400},  {9, "180%", 450}, {10, "200%", 600}};
  Start();
  TForm1& form = Form();
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Position);
    form.TrackBar1.setValue(c.Position);
    EXPECT_EQ(form.LabelVolume.text(), c.Label);
    EXPECT_EQ(form.VolumeLevel, c.Level);
  }
  EXPECT_EQ(form.TrackBar1.maximum(), 10);
}

TEST_F(TShellTest, TheWindowRefusesToCloseWhileConvertingAndOtherwiseDetachesTheConverter) {
  Start();
  TForm1& form = Form();
  int terminations = 0;
  form.Converter.OnTerminate = [&terminations](int, bool, bool, const std::string&) { ++terminations; };
  form.Converter.OnProgress = [](int, int, int, int, float, float, int64_t, int) {};
  form.Converter.OnLog = [](int, TLogLevel, const std::string&) {};
  const QByteArray before = SettingsBytes();
  form.Converting = true;
  EXPECT_FALSE(form.close());
  EXPECT_TRUE(form.isVisible());
  EXPECT_TRUE(form.Converter.OnTerminate) << "a refused close leaves everything as it was";
  EXPECT_EQ(SettingsBytes(), before) << "a refused close saves nothing";

  form.Converting = false;
  EXPECT_TRUE(form.close());
  EXPECT_FALSE(form.isVisible());
  EXPECT_FALSE(form.Converter.OnBeforeHook || form.Converter.OnCustomHook || form.Converter.OnLog ||
               form.Converter.OnProgress || form.Converter.OnTerminate);
  EXPECT_EQ(terminations, 0);
}

TEST_F(TShellTest, ClearAllDropsTheConvertersTasksWithTheRows) {
  const std::string clip =
      mftest::MakeMedia("shell-clear.mp4", "-f lavfi -i testsrc=size=160x120:rate=10:duration=1 -c:v mpeg4");
  Start();
  TForm1& form = Form();
  form.ListView1.AddRow(QString::fromStdString(clip));
  ASSERT_GE(form.Converter.RegisterTask(clip, nullptr), 0) << form.Converter.LastError;

  form.Converting = true;
  form.ButtonClear.click();
  EXPECT_EQ(form.Converter.Tasks.Count(), 1) << "refused while converting";
  EXPECT_EQ(form.ListView1.RowCount(), 1);

  form.Converting = false;
  form.ButtonClear.click();
  EXPECT_EQ(form.Converter.Tasks.Count(), 0);
  EXPECT_EQ(form.ListView1.RowCount(), 0);
}

TEST_F(TShellTest, MenusHoldTheirEntriesInOrder) {
  Start();
  const auto entries = [](const QMenu& menu) {
    QStringList texts;
    for (const QAction* action : menu.actions()) texts << (action->isSeparator() ? "-" : action->text());
    return texts;
  };
  TForm1& form = Form();
  QStringList titles;
  for (const QAction* action : form.MainMenu1.actions()) titles << action->text();
  EXPECT_EQ(titles, QStringList({"&File", "&Options", "&Help"}));
  EXPECT_EQ(entries(form.File1), QStringList({"Add Files", "-", "Convert", "-", "Exit"}));
  EXPECT_EQ(entries(form.Options1), QStringList({"Set Additional Options"}));
  EXPECT_EQ(entries(form.Help1), QStringList({"Open Help File", "-", "Visit Kestrovo Website", "-", "About"}));
  EXPECT_EQ(entries(form.PopupListView1),
            QStringList({"Check All Items", "Uncheck All Items", "-", "Remove Selected Item", "Clear All Items"}));
}

TEST_F(TShellTest, SetAdditionalOptionsShowsTheOptionsWindowWithoutBlocking) {
  Start();
  Form().SetAdditionalOptions1.trigger();
  EXPECT_TRUE(Options().isVisible());
  EXPECT_FALSE(Options().isModal());
  Options().Button1.click();
  EXPECT_FALSE(Options().isVisible());
}

TEST_F(TShellTest, ListHasTheDesignedColumnsAndCheckedRows) {
  Start();
  TFileListView& list = Form().ListView1;
  const QAbstractItemModel& model = *list.model();
  struct TColumn {
    const char* Caption;
    int Width;
    Qt::Alignment Alignment;
    const char* Text;  // a long value of the column
  };
  const TColumn columns[] = {{"Video File Name", 300, Qt::AlignLeft, "/media/a.avi"},
                             {"Video Size", 90, Qt::AlignHCenter, "1920x1080"},
                             {"FrameRate", 90, Qt::AlignHCenter, "29.97"},
                             {"Duration", 60, Qt::AlignHCenter, "100:00:00"},
                             {"Output", 65, Qt::AlignHCenter, "MP4"},
                             {"Progress", 57, Qt::AlignHCenter, "Abort"},
                             {"Frames", 60, Qt::AlignHCenter, "999999"}};
  ASSERT_EQ(model.columnCount(), 7);
  const int row = list.AddRow("/media/a.avi");
  int total = 0;
  for (int column = 0; column < 7; ++column) {
    SCOPED_TRACE(columns[column].Caption);
    EXPECT_EQ(model.headerData(column, Qt::Horizontal).toString(), columns[column].Caption);
    const auto alignment = model.index(row, column).data(Qt::TextAlignmentRole).value<Qt::Alignment>();
    EXPECT_EQ(alignment & Qt::AlignHorizontal_Mask, columns[column].Alignment);
    // The designed width at least, and room for the column's texts in the window's font.
    if (column > 0) {
      EXPECT_GE(list.columnWidth(column), columns[column].Width);
      EXPECT_GT(list.columnWidth(column), list.fontMetrics().horizontalAdvance(columns[column].Text));
      EXPECT_GT(list.columnWidth(column), list.fontMetrics().horizontalAdvance(columns[column].Caption));
    }
    total += list.columnWidth(column);
  }
  EXPECT_GE(list.columnWidth(0), 200);
  EXPECT_LE(total, list.viewport()->width()) << "no sideways scrolling";
  EXPECT_TRUE(list.Checked(row));
  EXPECT_EQ(model.index(row, 0).data(Qt::CheckStateRole).value<Qt::CheckState>(), Qt::Checked);
  // The user's click on the check box reaches the row.
  QAbstractItemModel& editable = *list.model();
  EXPECT_TRUE(editable.setData(editable.index(row, 0), Qt::Unchecked, Qt::CheckStateRole));
  EXPECT_FALSE(list.Checked(row));
  EXPECT_FALSE(editable.flags(editable.index(row, 1)) & Qt::ItemIsEditable);
}

TEST_F(TShellTest, WindowIsFixedSizeWithoutMaximiseAndCutsNothingOff) {
  Start();
  TForm1& form = Form();
  EXPECT_EQ(form.minimumSize(), form.maximumSize());
  EXPECT_GE(form.width(), 767);
  EXPECT_LE(form.width(), 800);
  EXPECT_GE(form.height() - form.MainMenu1.height(), 514);
  EXPECT_FALSE(form.windowFlags() & Qt::WindowMaximizeButtonHint);
  EXPECT_TRUE(form.windowFlags() & Qt::WindowMinimizeButtonHint);

  // Every caption and box gets at least the room it asks for, for every profile's captions.
  for (int row = 0; row < form.ComboOutputFormat.count(); ++row) {
    if (!OutputFormatRowEntry(row)) continue;
    form.ComboOutputFormat.setCurrentIndex(row);
    for (const QWidget* widget : form.findChildren<QWidget*>()) {
      if (!widget->isVisible()) continue;
      if (!qobject_cast<const QLabel*>(widget) && !qobject_cast<const QAbstractButton*>(widget) &&
          !qobject_cast<const QComboBox*>(widget))
        continue;
      SCOPED_TRACE(form.ComboOutputFormat.currentText().toStdString() + " / " +
                   widget->objectName().toStdString() + " " + widget->metaObject()->className());
      // A minimum set on the widget replaces its hint, as in the layouts.
      const QSize hint = widget->minimumSizeHint();
      EXPECT_GE(widget->width(), widget->minimumWidth() > 0 ? widget->minimumWidth() : hint.width());
      EXPECT_GE(widget->height(), widget->minimumHeight() > 0 ? widget->minimumHeight() : hint.height());
      if (const auto* box = qobject_cast<const QComboBox*>(widget)) {
        QStyleOptionComboBox option;
        option.initFrom(box);
        const QRect field = box->style()->subControlRect(QStyle::CC_ComboBox, &option,
                                                         QStyle::SC_ComboBoxEditField, box);
        EXPECT_LE(box->fontMetrics().horizontalAdvance(box->currentText()), field.width())
            << box->currentText().toStdString();
      }
    }
  }
}

}  // namespace
}  // namespace mf::test
