// The batch conversion controller of TForm1: Convert and Stop, the preparation of each checked
// row, the converter's progress and end reports, and the timer that moves on to the next row.
//
// Threads. Everything here runs on the window's thread except the two lambdas installed in
// ConnectConverterEvents: the component raises OnProgress and OnTerminate on a task's thread
// while it holds its Lock. Those lambdas only copy the values into a queued call to this
// window and return; they never touch a widget or a batch field and never wait for this
// thread, which may itself be waiting for Lock (Stop suspends and halts under it). Posted
// calls to one object are delivered in the order they were posted, and the component posts
// under its Lock, so the window sees the reports in the order they were raised.
//
// The next row is prepared only by StartNextFile, whose first step drops the converter's
// tasks. Freeing a task joins its thread (and any thread reporting its end), and that thread
// ends only after the component's end processing (counting, the all-ended notice) has
// returned. So no row is registered or started while the previous task is still inside the
// component, however the timer and the queued reports interleave; the wait is never longer
// than the rest of that processing, which waits for nothing of ours.
#include "BatchController.h"

#include <QFileInfo>
#include <QMetaObject>

#include <algorithm>
#include <exception>
#include <filesystem>
#include <system_error>

#include "AdditionalOptions.h"
#include "JobAssembly.h"
#include "JobCompletion.h"
#include "MainWindow.h"

namespace mf {

namespace {

const QString AllConversionsCompleted = QStringLiteral("All Conversions Completed");

// h:mm:ss of a time in milliseconds.
QString ElapsedText(int ms) {
  const int seconds = std::max(ms, 0) / 1000;
  return QStringLiteral("%1:%2:%3")
      .arg(seconds / 3600)
      .arg(seconds / 60 % 60, 2, 10, QLatin1Char('0'))
      .arg(seconds % 60, 2, 10, QLatin1Char('0'));
}

// True when both names lead to one existing file.
bool SameFile(const std::string& a, const std::string& b) {
  std::error_code ec;
  return std::filesystem::equivalent(a, b, ec) && !ec;
}

}  // namespace

TProgressView ProgressView(int currentDurationMs, int totalOutputDurationMs) {
  if (totalOutputDurationMs <= 0) return {ElapsedText(currentDurationMs), -1};
  const int64_t percent = static_cast<int64_t>(currentDurationMs) * 100 / totalOutputDurationMs;
  const int shown = static_cast<int>(std::clamp<int64_t>(percent, 0, 100));
  return {QString::number(shown) + QLatin1Char('%'), shown};
}

QString FramesCellText(int frameNumber) {
  return frameNumber == -1 ? QStringLiteral(" ") : QString::number(frameNumber);
}

QString FileSizeText(int64_t bytes) {
  return QStringLiteral("File Size : ") + QString::number(bytes) + QStringLiteral(" Bytes");
}

QString OutputFolderMissingText(const QString& folder) {
  return QStringLiteral("The output folder \"") + folder +
         QStringLiteral("\"\n\rdoes not exist or has been deleted!\n\rPlease choose a new output folder.");
}

void TForm1::ConnectConverterEvents() {
  connect(&TimerConvertAgain, &QTimer::timeout, this, &TForm1::TimerConvertAgainTimer);
  // On a task's thread, under the component's Lock: copy, post, return.
  Converter.OnProgress = [this](int index, int frameNumber, int fps, int currentDuration, float quality,
                                float bitRate, int64_t currentSize, int totalOutputDuration) {
    const unsigned serial = RunSerial.load();
    QMetaObject::invokeMethod(
        this,
        [=, this] {
          if (serial == RunSerial.load())
            ConverterProgress(index, frameNumber, fps, currentDuration, quality, bitRate, currentSize,
                              totalOutputDuration);
        },
        Qt::QueuedConnection);
  };
  Converter.OnTerminate = [this](int index, bool finished, bool exception, const std::string& message) {
    const unsigned serial = RunSerial.load();
    const QString text = QString::fromStdString(message);
    QMetaObject::invokeMethod(
        this,
        [=, this] {
          if (serial == RunSerial.load()) ConverterTerminate(index, finished, exception, text);
        },
        Qt::QueuedConnection);
  };
}

void TForm1::DropConverterTasks() {
  // Joins the tasks' threads: whatever they posted is already queued, and is now stale.
  Converter.DropAllTasks();
  ++RunSerial;
}

void TForm1::ClearProgressCells() {
  for (int row = 0; row < ListView1.RowCount(); ++row) {
    ListView1.SetSubItem(row, SubItemProgress, QString());
    ListView1.SetSubItem(row, SubItemFrames, QString());
  }
}

void TForm1::ResetProgressBar() {
  ProgressBar1.setRange(0, 100);  // ends a busy indicator
  ProgressBar1.setValue(0);
}

bool TForm1::OverwriteSetting() const { return Form4 && Form4->CheckBoxOverWrite.isChecked(); }

void TForm1::SetControlsEnabled(bool enabled) {
  for (QWidget* control : std::initializer_list<QWidget*>{
           &ButtonAddFile, &ButtonClear, &ButtonRemove, &ButtonConvert, &ComboOutputFormat, &ComboVideoSize,
           &ComboVideoBitrate, &ComboVideoFramerate, &ComboAudioBitrate, &ComboAudioChannels, &ComboVideoCodec,
           &ComboSamplingRate, &ComboAudioCodec, &TrackBar1, &ComboAspectRatio, &ComboLetterBox})
    control->setEnabled(enabled);
  ListPopupEnabled = enabled;
  for (QMenu* menu : {&File1, &Options1, &Help1}) menu->menuAction()->setEnabled(enabled);
}

void TForm1::DisableControls() { SetControlsEnabled(false); }

void TForm1::EnableControls() { SetControlsEnabled(true); }

void TForm1::ButtonConvertClick() {
  if (AddingFiles) return;
  ClearProgressCells();
  if (ListView1.RowCount() == 0) {
    Prompt.Information(this, QStringLiteral("Please Add Files To Convert!"));
    return;
  }
  const QString folder = EditOutputFolder.text();
  if (folder.isEmpty()) {
    Prompt.Information(this, QStringLiteral("Please select an output folder!"));
    ButtonBrowseForFolderClick();
    return;
  }
  if (!QFileInfo(folder.trimmed()).isDir()) {
    Prompt.Information(this, OutputFolderMissingText(folder));
    ButtonBrowseForFolderClick();
    return;
  }
  Converting = true;
  TimerConvertAgain.start();
  Aborted = false;
  TickCount = 0;
  DisableControls();
  DropConverterTasks();
  CurrentRow = -1;
  StartNextFile();
}

void TForm1::StartNextFile() {
  DropConverterTasks();
  ResetProgressBar();
  LastRow = false;
  BatchDone = false;

  const int lastIndex = ListView1.RowCount() - 1;
  ++CurrentRow;
  while (CurrentRow < lastIndex && !ListView1.Checked(CurrentRow)) ++CurrentRow;
  // Past the end (rows removed during the batch) counts as an unchecked last row.
  LastRow = CurrentRow >= lastIndex;

  if (!ListView1.Checked(CurrentRow)) {
    Converting = false;
  } else if (!PrepareCurrentRow()) {
    return;
  }

  try {
    Converter.RunTasks(1);
  } catch (const std::exception&) {
    Converter.HaltAllTasks();
    EnableControls();
  }
  if (LastRow) BatchDone = true;
}

// Registers the current row's task and gives it its output. False when the row cannot be
// converted; the batch has then moved on (EndRowWithoutConversion).
bool TForm1::PrepareCurrentRow() {
  int index = -1;
  try {
    const std::string ext = "." + QString::fromStdString(OutputExtension()).toLower().toStdString();
    const QString input = ListView1.Caption(CurrentRow).trimmed();
    const std::string inputName = input.toStdString();
    // The folder as Convert checked it.
    const std::string target =
        (EditOutputFolder.text().trimmed() + QLatin1Char('/') + QFileInfo(input).fileName()).toStdString();
    std::string output = OverwriteSetting() ? ReplaceExtension(target, ext) : UniqueOutputName(target, ext);
    // Replacing a file of the same name never means the file being read: writing it would
    // destroy the input. It gets a free name instead.
    if (SameFile(output, inputName)) output = UniqueOutputName(target, ext);

    ListView1.SetFailureReason(CurrentRow, {});
    TInputOptions inputOptions;
    inputOptions.Reset();
    inputOptions.FileName = inputName;
    inputOptions.StartTime = 0;
    index = Converter.RegisterTask(inputName, &inputOptions);
    if (index < 0) {
      ListView1.SetSubItem(CurrentRow, SubItemProgress, QStringLiteral("Fail"));
      ListView1.SetFailureReason(CurrentRow, QString::fromStdString(Converter.LastError));
      EndRowWithoutConversion();
      return false;
    }

    JobOutputOptions.Reset();
    const TheAVCodec* profile = AssembleProfileJob(*this, JobOutputOptions);
    CompleteJob(JobOutputOptions, {VolumeLevel, ComboAspectRatio.currentIndex(),
                                   ListView1.SubItem(CurrentRow, SubItemVideoSize).toStdString(),
                                   BoxText(TOptionBox::VideoFramerate), ComboLetterBox.currentIndex() == 1,
                                   profile ? profile->ProfileId : -1,
                                   ListView1.SubItem(CurrentRow, SubItemFrameRate).toStdString()});
    if (!Converter.AssignTaskOutput(index, output, &JobOutputOptions)) {
      ListView1.SetSubItem(CurrentRow, SubItemProgress, QStringLiteral("Fail"));
      ListView1.SetFailureReason(CurrentRow, QString::fromStdString(Converter.LastError));
      Converter.DropTask(index);
      EndRowWithoutConversion();
      return false;
    }
    return true;
  } catch (const std::exception&) {
    Prompt.Information(this, QStringLiteral("Fail to add file to list!"));
    if (index >= 0) Converter.DropTask(index);
    EndRowWithoutConversion();
    return false;
  }
}

// A row that will not be converted: after the last row the batch ends here, otherwise the
// timer goes on with the next one.
void TForm1::EndRowWithoutConversion() {
  if (!LastRow) {
    TickCount = 0;
    Converting = false;
    return;
  }
  TimerConvertAgain.stop();
  Prompt.Information(this, AllConversionsCompleted);
  Converter.HaltAllTasks();
  ResetProgressBar();
  EnableControls();
  Converting = false;
  BatchDone = true;
}

void TForm1::ConverterProgress(int /*index*/, int frameNumber, int /*fps*/, int currentDuration, float /*quality*/,
                               float /*bitRate*/, int64_t currentSize, int totalOutputDuration) {
  // Only one task runs at a time: the report is always the current row's.
  ListView1.MakeVisible(CurrentRow);
  const TProgressView view = ProgressView(currentDuration, totalOutputDuration);
  ListView1.SetSubItem(CurrentRow, SubItemProgress, view.Cell);
  SetStatusPanelText(1, FileSizeText(currentSize));
  ListView1.SetSubItem(CurrentRow, SubItemFrames, FramesCellText(frameNumber));
  if (view.Percent < 0) {
    ProgressBar1.setRange(0, 0);
  } else {
    ProgressBar1.setRange(0, 100);
    ProgressBar1.setValue(view.Percent);
  }
}

void TForm1::ConverterTerminate(int index, bool /*finished*/, bool exception, const QString& message) {
  Converting = false;
  if (index >= 0) {
    ListView1.SetSubItem(CurrentRow, SubItemProgress,
                         exception ? QStringLiteral("Fail") : Aborted ? QStringLiteral("Abort") : QStringLiteral("Done"));
    // The cell has room for one word; the reason is there when the pointer rests on the row.
    if (exception) ListView1.SetFailureReason(CurrentRow, message);
  }
  if (BatchDone && index < 0) {
    DropConverterTasks();
    ResetProgressBar();
    Converting = false;
  }
}

void TForm1::TimerConvertAgainTimer() {
  if (Converting) return;
  if (BatchDone) {
    TimerConvertAgain.stop();
    DropConverterTasks();
    Prompt.Information(this, AllConversionsCompleted);
    ResetProgressBar();
    EnableControls();
    Converting = false;
    return;
  }
  if (++TickCount < 2) return;
  TickCount = 0;
  Converting = true;
  StartNextFile();
}

void TForm1::ButtonStopConvertClick() {
  if (Converting) {
    Converter.SuspendAllTasks();
    // The batch holds while the user is asked: no next row may start behind the question,
    // whose answer could be to stop.
    const bool timerWasRunning = TimerConvertAgain.isActive();
    TimerConvertAgain.stop();
    if (!Prompt.Confirmation(this, QStringLiteral("Confirmation"), QStringLiteral("Stop all conversions?"))) {
      if (timerWasRunning) TimerConvertAgain.start();
      Converter.ResumeAllTasks();
      return;
    }
    Aborted = true;
  }
  BatchDone = true;
  TimerConvertAgain.stop();
  Converter.HaltAllTasks();
  ResetProgressBar();
  EnableControls();
  Converting = false;
}

}  // namespace mf
