// Convert and Stop: the checked rows converted one after another from the window, the
// converter's reports reaching the list from its threads, and the end of a batch. Real files,
// converted for real; outputs read back with ffprobe.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTest>

#include <chrono>
#include <future>
#include <mutex>
#include <thread>
#include <vector>

#include "MediaFixtures.h"
#include "ShellFixture.h"

namespace mf::test {
namespace {

using namespace std::chrono_literals;

const QString Completed = QStringLiteral("All Conversions Completed");

std::string ShortClip() {
  return mftest::MakeMedia("batch-a.mp4",
                           "-f lavfi -i testsrc=size=160x120:rate=25:duration=1 -f lavfi -i sine=duration=1 "
                           "-c:v mpeg4 -c:a aac");
}
std::string AviClip() {
  return mftest::MakeMedia("batch-b.avi",
                           "-f lavfi -i testsrc2=size=176x144:rate=15:duration=1 -f lavfi -i sine=duration=1 "
                           "-c:v mpeg4 -c:a libmp3lame");
}
std::string NtscClip() {
  return mftest::MakeMedia("batch-c.mkv",
                           "-f lavfi -i smptebars=size=320x240:rate=30000/1001:duration=2 -f lavfi -i sine=duration=2 "
                           "-c:v mpeg4 -c:a aac");
}
// Long enough to be caught converting.
std::string LongClip() {
  return mftest::MakeMedia("batch-long.mp4",
                           "-f lavfi -i testsrc=size=320x240:rate=25:duration=30 -f lavfi -i sine=duration=30 "
                           "-c:v mpeg4 -c:a aac");
}

QString Q(const std::string& text) { return QString::fromStdString(text); }

// What the default profile ("iPhone (*.mp4)") makes of a clip with sound.
void ExpectIPhoneOutput(const QString& path, double seconds) {
  SCOPED_TRACE(path.toStdString());
  const mftest::TProbe probe = mftest::Probe(path.toStdString());
  ASSERT_TRUE(probe.Ok) << "ffprobe cannot read the output";
  EXPECT_NE(probe.FormatValue("format_name").find("mp4"), std::string::npos);
  const auto& video = probe.StreamOf("video");
  EXPECT_EQ(video.count("codec_name") ? video.at("codec_name") : "", "mpeg4");
  EXPECT_EQ(mftest::IntField(video, "width"), 480);
  EXPECT_EQ(mftest::IntField(video, "height"), 320);
  const auto& audio = probe.StreamOf("audio");
  EXPECT_EQ(audio.count("codec_name") ? audio.at("codec_name") : "", "aac");
  EXPECT_EQ(mftest::IntField(audio, "sample_rate"), 44100);
  EXPECT_EQ(mftest::IntField(audio, "channels"), 2);
  EXPECT_NEAR(probe.Duration(), seconds, 0.3);
}

class TBatchTest : public TShellTest {
 protected:
  void SetUp() override {
    TShellTest::SetUp();
    ASSERT_TRUE(In.isValid() && Out.isValid());
  }

  // Starts the windows with Out as the output folder.
  TForm1& StartWithOutputFolder() {
    Start();
    Form().EditOutputFolder.setText(Out.path());
    return Form();
  }

  // A fixture copied into the input folder under another name.
  QString Input(const std::string& fixture, const QString& name) {
    const QString path = In.filePath(name);
    QFile::remove(path);
    EXPECT_TRUE(QFile::copy(Q(fixture), path));
    return path;
  }

  // Through the window's own intake, so the rows hold what the probe says.
  void AddFiles(const QStringList& files) {
    Prompt.FilesToOpen = files;
    Form().ButtonAddFile.click();
    Prompt.FilesToOpen.clear();
  }

  // Until the batch is over: nothing converting, the timer off, the converter's tasks gone.
  bool WaitForBatchEnd() {
    return QTest::qWaitFor(
        [this] {
          const TForm1& form = Form();
          return !form.Converting && !form.TimerConvertAgain.isActive() && form.Converter.Tasks.Count() == 0;
        },
        180000);
  }

  QStringList Column(int subItem) {
    QStringList cells;
    for (int row = 0; row < Form().ListView1.RowCount(); ++row) cells << Form().ListView1.SubItem(row, subItem);
    return cells;
  }

  QStringList MessageTexts() const {
    QStringList texts;
    for (const TScriptedPrompt::TMessage& message : Prompt.Messages) texts << message.Text;
    return texts;
  }

  QStringList OutputFiles() const { return QDir(Out.path()).entryList(QDir::Files | QDir::Dirs | QDir::NoDotAndDotDot); }

  // The controls a batch switches off, with their state; the stop buttons never change.
  static void ExpectInputsEnabled(TForm1& form, bool enabled) {
    for (QWidget* control : std::initializer_list<QWidget*>{
             &form.ButtonAddFile, &form.ButtonClear, &form.ButtonRemove, &form.ButtonConvert, &form.ComboOutputFormat,
             &form.ComboVideoSize, &form.ComboVideoBitrate, &form.ComboVideoFramerate, &form.ComboAudioBitrate,
             &form.ComboAudioChannels, &form.ComboVideoCodec, &form.ComboSamplingRate, &form.ComboAudioCodec,
             &form.TrackBar1, &form.ComboAspectRatio, &form.ComboLetterBox})
      EXPECT_EQ(control->isEnabled(), enabled) << control->objectName().toStdString();
    for (const QMenu* menu : {&form.File1, &form.Options1, &form.Help1})
      EXPECT_EQ(menu->menuAction()->isEnabled(), enabled) << menu->title().toStdString();
    EXPECT_EQ(form.ListPopupEnabled, enabled);
    EXPECT_TRUE(form.ButtonStopConvert.isEnabled() && form.ButtonStopSmall.isEnabled());
  }

  QTemporaryDir In, Out;
};

TEST_F(TBatchTest, ThreeFilesConvertWithTheDefaultProfile) {
  const QStringList inputs = {Q(ShortClip()), Q(AviClip()), Q(NtscClip())};
  TForm1& form = StartWithOutputFolder();
  ASSERT_EQ(form.ComboOutputFormat.currentText(), "iPhone (*.mp4)");
  AddFiles(inputs);
  ASSERT_EQ(form.ListView1.RowCount(), 3);

  form.ButtonConvert.click();
  EXPECT_TRUE(form.Converting);
  EXPECT_TRUE(form.TimerConvertAgain.isActive());
  EXPECT_EQ(form.CurrentRow, 0);
  ExpectInputsEnabled(form, false);
  EXPECT_FALSE(form.close()) << "the window stays while converting";

  ASSERT_TRUE(WaitForBatchEnd());
  EXPECT_EQ(MessageTexts(), QStringList({Completed}));
  EXPECT_EQ(Column(SubItemProgress), QStringList({"Done", "Done", "Done"}));
  for (const QString& frames : Column(SubItemFrames)) EXPECT_GT(frames.toInt(), 0) << frames.toStdString();
  EXPECT_TRUE(form.StatusPanelText(1).startsWith("File Size : ")) << form.StatusPanelText(1).toStdString();
  EXPECT_TRUE(form.StatusPanelText(1).endsWith(" Bytes"));
  ExpectInputsEnabled(form, true);
  EXPECT_EQ(form.ProgressBar1.value(), 0);
  EXPECT_EQ(OutputFiles(), QStringList({"batch-a.mp4", "batch-b.mp4", "batch-c.mp4"}));
  ExpectIPhoneOutput(QDir(Out.path()).filePath("batch-a.mp4"), 1.0);
  ExpectIPhoneOutput(QDir(Out.path()).filePath("batch-b.mp4"), 1.0);
  ExpectIPhoneOutput(QDir(Out.path()).filePath("batch-c.mp4"), 2.0);
}

TEST_F(TBatchTest, UncheckedRowsAreSkippedAndTheBatchEndsOnce) {
  TForm1& form = StartWithOutputFolder();
  AddFiles({Q(ShortClip()), Q(AviClip()), Q(NtscClip())});
  form.ListView1.SetChecked(1, false);

  form.ButtonConvert.click();
  ASSERT_TRUE(WaitForBatchEnd());

  EXPECT_EQ(Column(SubItemProgress), QStringList({"Done", "", "Done"}));
  EXPECT_EQ(MessageTexts(), QStringList({Completed}));
  EXPECT_EQ(OutputFiles(), QStringList({"batch-a.mp4", "batch-c.mp4"}));
}

TEST_F(TBatchTest, AListWithNoCheckedRowEndsAtOnceWithTheCompletionMessage) {
  TForm1& form = StartWithOutputFolder();
  form.ListView1.AddRow("/media/a.avi", false);
  form.ListView1.AddRow("/media/b.avi", false);

  form.ButtonConvert.click();
  // Between two rows nothing converts, but the batch is on.
  EXPECT_FALSE(form.Converting);
  EXPECT_TRUE(form.TimerConvertAgain.isActive());
  ExpectInputsEnabled(form, false);
  EXPECT_FALSE(form.close()) << "the timer would start the next row behind a closed window";

  ASSERT_TRUE(WaitForBatchEnd());
  EXPECT_EQ(MessageTexts(), QStringList({Completed}));
  EXPECT_EQ(Column(SubItemProgress), QStringList({"", ""}));
  ExpectInputsEnabled(form, true);
  EXPECT_TRUE(OutputFiles().isEmpty());
  EXPECT_TRUE(form.close());
}

// Convert's checks: each refusal tells why and converts nothing; the list's last results are
// cleared first all the same.
TEST_F(TBatchTest, ConvertChecksTheListAndTheOutputFolder) {
  struct TCase {
    const char* Name;
    bool Rows;
    bool AddingFiles;
    QString Folder;
    QStringList Messages;
    int PickerCalls;
  };
  const TCase cases[] = {
      {"no rows", false, false, "", {"Please Add Files To Convert!"}, 0},
      {"no folder", true, false, "", {"Please select an output folder!"}, 1},
      {"missing folder",
       true,
       false,
       " /no/such/folder ",
       {"The output folder \" /no/such/folder \"\n\rdoes not exist or has been deleted!\n\r"
        "Please choose a new output folder."},
       1},
      {"while adding files", true, true, "/tmp", {}, 0},
  };
  TForm1& form = StartWithOutputFolder();
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Name);
    Prompt.Messages.clear();
    Prompt.PickerStarts.clear();
    form.ListView1.Clear();
    if (c.Rows) {
      form.ListView1.AddRow("/media/a.avi");
      form.ListView1.SetSubItem(0, SubItemProgress, "Done");
      form.ListView1.SetSubItem(0, SubItemFrames, "25");
    }
    form.EditOutputFolder.setText(c.Folder);
    form.AddingFiles = c.AddingFiles;

    form.ButtonConvert.click();

    EXPECT_EQ(MessageTexts(), c.Messages);
    for (const TScriptedPrompt::TMessage& message : Prompt.Messages) EXPECT_EQ(message.Title, "Information");
    EXPECT_EQ(static_cast<int>(Prompt.PickerStarts.size()), c.PickerCalls);
    EXPECT_FALSE(form.Converting || form.TimerConvertAgain.isActive());
    ExpectInputsEnabled(form, true);
    if (c.Rows) {
      EXPECT_EQ(Column(SubItemProgress), QStringList({c.AddingFiles ? "Done" : ""}));
    }
    form.AddingFiles = false;
  }
}

TEST_F(TBatchTest, OutputNamesAvoidTakenNamesUnlessOverwritingAndNeverReplaceTheInput) {
  struct TCase {
    const char* Name;
    bool Overwrite;
    bool IntoInputFolder;
    QString InputName;
    QStringList Taken;  // files already in the output folder
    QString Expected;
  };
  const TCase cases[] = {
      {"taken names", false, false, "clip.mp4", {"clip.mp4", "clip-1.mp4"}, "clip-2.mp4"},
      {"overwrite", true, false, "movie.avi", {"movie.mp4"}, "movie.mp4"},
      {"overwrite beside the input", true, true, "clip.mp4", {}, "clip-1.mp4"},
  };
  TForm1& form = StartWithOutputFolder();
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Name);
    QTemporaryDir in, out;
    const QString input = in.filePath(c.InputName);
    ASSERT_TRUE(QFile::copy(Q(c.InputName.endsWith(".avi") ? AviClip() : ShortClip()), input));
    const QString outFolder = c.IntoInputFolder ? in.path() : out.path();
    for (const QString& name : c.Taken) {
      QFile file(QDir(outFolder).filePath(name));
      ASSERT_TRUE(file.open(QIODevice::WriteOnly));
      file.write("taken");
    }
    const qint64 inputSize = QFileInfo(input).size();
    Options().CheckBoxOverWrite.setChecked(c.Overwrite);
    form.EditOutputFolder.setText(outFolder);
    form.ListView1.Clear();
    AddFiles({input});
    Prompt.Messages.clear();

    form.ButtonConvert.click();
    ASSERT_TRUE(WaitForBatchEnd());

    EXPECT_EQ(Column(SubItemProgress), QStringList({"Done"}));
    EXPECT_EQ(MessageTexts(), QStringList({Completed}));
    ExpectIPhoneOutput(QDir(outFolder).filePath(c.Expected), 1.0);
    for (const QString& name : c.Taken) {
      if (name == c.Expected) continue;
      QFile file(QDir(outFolder).filePath(name));
      ASSERT_TRUE(file.open(QIODevice::ReadOnly));
      EXPECT_EQ(file.readAll(), "taken") << name.toStdString();
    }
    EXPECT_EQ(QFileInfo(input).size(), inputSize) << "the input was written to";
  }
}

// Volume, aspect, frame rate and "Video Zoom" reach the job; the "Original" aspect comes from
// the row's "Video Size" text.
TEST_F(TBatchTest, TheWindowsChoicesReachTheJob) {
  struct TCase {
    const char* Name;
    QString VideoSize;  // the row's cell
    int Aspect;
    QString FrameRate;
    bool LetterBox;
    int Volume;  // slider position
    TOutputOptions Expected;
    QString SourceRate = QStringLiteral("25");  // the row's "FrameRate" cell
  };
  const auto job = [](const char* aspect, const char* rate, const char* size, int volume,
                      std::array<int, 4> pads = {-1, -1, -1, -1}) {
    TOutputOptions options;
    options.Reset();
    options.FrameAspectRatio = aspect;
    options.FrameRate = rate;
    options.FrameSize = size;
    options.AudioVolume = volume;
    options.PadTop = pads[0];
    options.PadBottom = pads[1];
    options.PadLeft = pads[2];
    options.PadRight = pads[3];
    return options;
  };
  const TCase cases[] = {
      {"Original from 720x576", "720x576", 0, "Auto", false, 5, job("1.25", "", "480x320", 255)},
      {"Original without video", " ", 0, "29.97 fps", false, 10, job("1.3333", "30000/1001", "480x320", 600)},
      {"Original from an unreadable size", "big", 0, "23.975 fps", false, 0, job("1.3333", "24000/1001", "480x320", 1)},
      {"16:9", "720x576", 2, "14.985 fps", false, 5, job("16:9", "15000/1001", "480x320", 255)},
      {"letterbox", "160x120", 0, "25.0 fps", true, 5, job("1.5", "25.0", "426x320", 255, {0, 0, 26, 28})},
      // The iPhone shows 30 pictures a second at most.
      {"Auto from 50 fps", "720x576", 0, "Auto", false, 5, job("1.25", "25", "480x320", 255), "50"},
  };
  TForm1& form = StartWithOutputFolder();
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Name);
    form.ListView1.Clear();
    AddFiles({Q(ShortClip())});
    form.ListView1.SetSubItem(0, SubItemVideoSize, c.VideoSize);
    form.ListView1.SetSubItem(0, SubItemFrameRate, c.SourceRate);
    form.ComboAspectRatio.setCurrentIndex(c.Aspect);
    const int rate = form.ComboVideoFramerate.findText(c.FrameRate);
    ASSERT_GE(rate, 0);
    form.ComboVideoFramerate.setCurrentIndex(rate);
    form.ComboLetterBox.setCurrentIndex(c.LetterBox ? 1 : 0);
    form.TrackBar1.setValue(c.Volume);

    form.ButtonConvert.click();
    const TOutputOptions& made = form.JobOutputOptions;
    EXPECT_EQ(made.FrameAspectRatio, c.Expected.FrameAspectRatio);
    EXPECT_EQ(made.FrameRate, c.Expected.FrameRate);
    EXPECT_EQ(made.FrameSize, c.Expected.FrameSize);
    EXPECT_EQ(made.AudioVolume, c.Expected.AudioVolume);
    const auto pads = [](const TOutputOptions& o) { return std::vector<int32_t>{o.PadTop, o.PadBottom, o.PadLeft, o.PadRight}; };
    EXPECT_EQ(pads(made), pads(c.Expected));
    ASSERT_TRUE(WaitForBatchEnd());
    EXPECT_EQ(Column(SubItemProgress), QStringList({"Done"}));
  }
  // The letterboxed picture fills the profile's frame, at the chosen rate.
  const mftest::TProbe probe = mftest::Probe(QDir(Out.path()).filePath("batch-a-4.mp4").toStdString());
  ASSERT_TRUE(probe.Ok);
  const auto& video = probe.StreamOf("video");
  EXPECT_EQ(mftest::IntField(video, "width"), 480);
  EXPECT_EQ(mftest::IntField(video, "height"), 320);
  EXPECT_EQ(video.count("r_frame_rate") ? video.at("r_frame_rate") : "", "25/1");
}

// A row that cannot be converted is marked and the batch goes on; when it is the last row,
// the batch ends there.
TEST_F(TBatchTest, RowsThatCannotBeSetUpFailAndTheNextRowConverts) {
  TForm1& form = StartWithOutputFolder();
  Options().CheckBoxOverWrite.setChecked(true);
  // The output name of the first row is a folder: its output cannot be created.
  ASSERT_TRUE(QDir(Out.path()).mkdir("bad.mp4"));
  AddFiles({Input(AviClip(), "bad.avi"), Input(AviClip(), "good.avi"),
            Q(mftest::MakeTextFile("batch-notes.txt", "not a media file\n"))});
  ASSERT_EQ(Column(SubItemProgress), QStringList({"", "", "Error"}));

  form.ButtonConvert.click();
  ASSERT_TRUE(WaitForBatchEnd());

  EXPECT_EQ(Column(SubItemProgress), QStringList({"Fail", "Done", "Fail"}));
  EXPECT_EQ(MessageTexts(), QStringList({Completed}));
  EXPECT_TRUE(QFileInfo(QDir(Out.path()).filePath("bad.mp4")).isDir());
  ExpectIPhoneOutput(QDir(Out.path()).filePath("good.mp4"), 1.0);
  ExpectInputsEnabled(form, true);
}

// A choice the encoder cannot take fails its row; the reason is there when the pointer rests
// on the row, and goes once the row converts.
TEST_F(TBatchTest, AFailedRowShowsItsReasonUntilItConverts) {
  TForm1& form = StartWithOutputFolder();
  form.ComboOutputFormat.setCurrentIndex(form.ComboOutputFormat.findText("MP3 - Mpeg Layer3 Audio (*.mp3)"));
  form.ComboSamplingRate.setCurrentIndex(form.ComboSamplingRate.findText("54000 Hz"));
  AddFiles({Input(AviClip(), "first.avi"), Input(AviClip(), "second.avi")});
  form.ListView1.SetChecked(1, false);
  const auto toolTip = [&](int row, int column) {
    return form.ListView1.model()->data(form.ListView1.model()->index(row, column), Qt::ToolTipRole).toString();
  };

  form.ButtonConvert.click();
  ASSERT_TRUE(WaitForBatchEnd());
  ASSERT_EQ(Column(SubItemProgress), QStringList({"Fail", ""}));
  EXPECT_TRUE(toolTip(0, 1 + SubItemProgress).endsWith("not 54000 Hz)")) << toolTip(0, 1 + SubItemProgress).toStdString();
  EXPECT_TRUE(toolTip(0, 0).startsWith(form.ListView1.Caption(0) + "\n"));
  EXPECT_TRUE(toolTip(1, 1 + SubItemProgress).isEmpty());
  EXPECT_TRUE(OutputFiles().isEmpty());

  form.ComboSamplingRate.setCurrentIndex(form.ComboSamplingRate.findText("48000 Hz"));
  form.ButtonConvert.click();
  ASSERT_TRUE(WaitForBatchEnd());
  EXPECT_EQ(Column(SubItemProgress), QStringList({"Done", ""}));
  EXPECT_TRUE(toolTip(0, 1 + SubItemProgress).isEmpty());
  EXPECT_EQ(toolTip(0, 0), form.ListView1.Caption(0));
}

// A row whose job cannot be assembled (a bit-rate caption that is no number) is told about,
// left unmarked, and its registered task is dropped; the batch goes on and ends once.
TEST_F(TBatchTest, APreparationErrorIsToldAndTheBatchGoesOn) {
  TForm1& form = StartWithOutputFolder();
  AddFiles({Q(ShortClip()), Q(AviClip())});
  form.ComboAudioBitrate.addItem("many Kbps");
  form.ComboAudioBitrate.setCurrentIndex(form.ComboAudioBitrate.count() - 1);

  form.ButtonConvert.click();
  ASSERT_TRUE(WaitForBatchEnd());

  EXPECT_EQ(MessageTexts(), QStringList({"Fail to add file to list!", "Fail to add file to list!", Completed}));
  EXPECT_EQ(Column(SubItemProgress), QStringList({"", ""}));
  EXPECT_TRUE(OutputFiles().isEmpty());
  ExpectInputsEnabled(form, true);
}

// Stop suspends the conversion while it asks. No: it goes on where it was. Yes: the row is
// marked "Abort", the rest of the batch is dropped and no completion message follows.
TEST_F(TBatchTest, StopAsksAndResumesOrAborts) {
  struct TCase {
    bool Answer;
    QStringList Progress;
    QStringList Messages;
  };
  const QString question = QStringLiteral("Stop all conversions?");
  const TCase cases[] = {
      {false, {"Done", "Done"}, {question, Completed}},
      {true, {"Abort", ""}, {question}},
  };
  const QString longClip = Q(LongClip());
  const QString shortClip = Q(ShortClip());
  TForm1& form = StartWithOutputFolder();
  form.Converter.SetProgressInterval(100);
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Answer ? "Yes" : "No");
    QTemporaryDir out;
    form.EditOutputFolder.setText(out.path());
    form.ListView1.Clear();
    AddFiles({longClip, shortClip});
    Prompt.Messages.clear();
    Prompt.ConfirmationAnswer = c.Answer;
    bool pausedWhileAsked = false, timerWhileAsked = true;
    Prompt.DuringConfirmation = [&] {
      const TFFmpeg* task = form.Converter.Tasks.Items(0);
      pausedWhileAsked = task && task->Paused();
      timerWhileAsked = form.TimerConvertAgain.isActive();
    };

    form.ButtonConvert.click();
    ASSERT_TRUE(QTest::qWaitFor([&] { return form.ListView1.SubItem(0, SubItemProgress).endsWith('%'); }, 60000))
        << "no progress report while converting";
    ASSERT_TRUE(form.Converting);
    form.ButtonStopSmall.click();

    EXPECT_TRUE(pausedWhileAsked);
    EXPECT_FALSE(timerWhileAsked) << "the batch goes on behind the question";
    ASSERT_FALSE(Prompt.Messages.empty());
    EXPECT_EQ(Prompt.Messages[0].Title, "Confirmation");
    if (c.Answer) {
      // At once: the window is back, the halted task finishes on its own thread.
      EXPECT_FALSE(form.Converting || form.TimerConvertAgain.isActive());
      ExpectInputsEnabled(form, true);
    } else {
      EXPECT_FALSE(form.Converter.Tasks.Items(0)->Paused());
      EXPECT_TRUE(form.Converting && form.TimerConvertAgain.isActive());
    }
    ASSERT_TRUE(WaitForBatchEnd());
    QTest::qWait(300);  // a completion message would come from the next timer ticks

    EXPECT_EQ(Column(SubItemProgress), c.Progress);
    EXPECT_EQ(MessageTexts(), c.Messages);
    const mftest::TProbe probe = mftest::Probe(QDir(out.path()).filePath("batch-long.mp4").toStdString());
    ASSERT_TRUE(probe.Ok) << "a stopped output is still closed properly";
    if (c.Answer)
      EXPECT_LT(probe.Duration(), 29.0);
    else
      EXPECT_NEAR(probe.Duration(), 30.0, 0.3);
    Prompt.DuringConfirmation = nullptr;
  }
}

// A stopped task reports its end later, from its own thread. When a new batch has started
// meanwhile, that late report belongs to no row of it: it must neither mark a row nor end the
// new batch's conversion.
TEST_F(TBatchTest, ReportsOfAStoppedBatchNeverReachTheNextOne) {
  TForm1& form = StartWithOutputFolder();
  form.Converter.SetProgressInterval(100);
  AddFiles({Q(LongClip()), Q(NtscClip())});
  Prompt.ConfirmationAnswer = true;
  form.ButtonConvert.click();
  ASSERT_TRUE(QTest::qWaitFor([&] { return form.ListView1.SubItem(0, SubItemProgress).endsWith('%'); }, 60000));
  form.ButtonStopConvert.click();
  // At once, before the stopped task's reports are delivered: only the second row.
  form.ListView1.SetChecked(0, false);
  form.ButtonConvert.click();

  ASSERT_TRUE(WaitForBatchEnd());
  EXPECT_EQ(Column(SubItemProgress), QStringList({"", "Done"}));
  EXPECT_EQ(MessageTexts(), QStringList({"Stop all conversions?", Completed}));
  ExpectIPhoneOutput(QDir(Out.path()).filePath("batch-c.mp4"), 2.0);
}

// Reports as a task's thread raises them; no conversion runs.
TEST_F(TBatchTest, ProgressReportsFillTheRowTheStatusBarAndTheBar) {
  struct TCase {
    const char* Name;
    int CurrentMs, TotalMs, Frame;
    int64_t Size;
    QString Cell, Frames;
    int BarMaximum, BarValue;  // a busy bar has maximum 0 and no value
  };
  const TCase cases[] = {
      {"a quarter", 250, 1000, 42, 1234, "25%", "42", 100, 25},
      {"cut toward zero", 999, 1000, 43, 5000, "99%", "43", 100, 99},
      {"past the total", 1500, 1000, -1, 9000, "100%", " ", 100, 100},
      {"no total", 65000, 0, 7, 10000, "0:01:05", "7", 0, 0},
      {"unknown total", 3723000, -1, 0, 20000, "1:02:03", "0", 0, 0},
      {"a total again", 500, 1000, 8, 30000, "50%", "8", 100, 50},
  };
  TForm1& form = StartWithOutputFolder();
  form.ListView1.AddRow("/media/a.avi");
  form.ListView1.AddRow("/media/b.avi");
  form.CurrentRow = 1;
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Name);
    std::thread task([&] { form.Converter.OnProgress(0, c.Frame, 25, c.CurrentMs, 2.0f, 800.0f, c.Size, c.TotalMs); });
    task.join();
    EXPECT_EQ(form.ListView1.SubItem(1, SubItemProgress), "") << "widgets written from the task's thread";
    QCoreApplication::processEvents();
    EXPECT_EQ(form.ListView1.SubItem(1, SubItemProgress), c.Cell);
    EXPECT_EQ(form.ListView1.SubItem(1, SubItemFrames), c.Frames);
    EXPECT_EQ(form.StatusPanelText(1), "File Size : " + QString::number(c.Size) + " Bytes");
    EXPECT_EQ(form.ProgressBar1.maximum(), c.BarMaximum);
    if (c.BarMaximum > 0) {
      EXPECT_EQ(form.ProgressBar1.value(), c.BarValue);
    }
    EXPECT_EQ(form.ListView1.SubItem(0, SubItemProgress), "");
    form.ListView1.SetSubItem(1, SubItemProgress, "");
  }
}

// The component raises its events under its Lock. The window's handlers return without the
// window's thread, which may be waiting for that Lock itself; the window then sees the
// reports in the order they were raised.
TEST_F(TBatchTest, ReportsNeverWaitForTheWindowAndArriveInOrder) {
  TForm1& form = StartWithOutputFolder();
  form.ListView1.AddRow("/media/a.avi");
  form.CurrentRow = 0;
  form.Converting = true;
  form.BatchDone = true;
  form.ProgressBar1.setValue(60);
  auto task = std::async(std::launch::async, [&] {
    std::lock_guard<std::recursive_mutex> lock(form.Converter.Lock);
    for (int ms = 0; ms <= 1000; ms += 10) form.Converter.OnProgress(0, ms / 40, 25, ms, 2.0f, 800.0f, ms * 10, 1000);
    form.Converter.OnTerminate(0, true, false, "");
    form.Converter.OnTerminate(-1, true, false, "");
  });
  // This thread handles no event until the task has finished raising.
  const bool raisedAlone = task.wait_for(10s) == std::future_status::ready;
  // Had a handler waited, it is let go now: the test fails instead of hanging.
  while (task.wait_for(10ms) != std::future_status::ready) QCoreApplication::processEvents();
  ASSERT_TRUE(raisedAlone) << "a handler waited for the window's thread";

  QCoreApplication::processEvents();
  EXPECT_EQ(form.ListView1.SubItem(0, SubItemProgress), "Done");
  EXPECT_EQ(form.ListView1.SubItem(0, SubItemFrames), "25");
  EXPECT_FALSE(form.Converting);
  EXPECT_EQ(form.ProgressBar1.value(), 0) << "the all-ended notice of the last row";
}

}  // namespace
}  // namespace mf::test
