#include "FileIntake.h"

#include <QCoreApplication>

#include <exception>

#include "JobCompletion.h"
#include "MainWindow.h"

namespace mf {

namespace {

// Two digits at least; the sign stays in front of the padding ("-05").
QString TwoDigits(int64_t value) {
  const QString digits = QString::number(value < 0 ? -value : value).rightJustified(2, QLatin1Char('0'));
  return value < 0 ? QLatin1Char('-') + digits : digits;
}

const QString Blank = QStringLiteral(" ");

}  // namespace

QString VideoSizeText(int width, int height) {
  return QString::number(width) + QLatin1Char('x') + QString::number(height);
}

QString FrameRateText(int num, int den) {
  const std::string text = FrameRateCellText(num, den);
  return text.empty() ? Blank : QString::fromStdString(text);
}

QString DurationText(int64_t seconds) {
  const int64_t minutes = seconds / 60;
  return TwoDigits(minutes / 60) + QLatin1Char(':') + TwoDigits(minutes % 60) + QLatin1Char(':') +
         TwoDigits(seconds - 60 * minutes);
}

QString DurationCellText(int64_t durationUs) {
  // Between -1 s and 0 the whole seconds would be 0, which a negative duration is not.
  if (durationUs < 0) return QStringLiteral("Unknown");
  const QString text = DurationText(durationUs / 1000000);
  return text.contains(QLatin1Char('-')) ? QStringLiteral("Unknown") : text;
}

void TForm1::ButtonAddFileClick() {
  if (Converting) return;
  DropConverterTasks();
  ClearProgressCells();
  // A second Add Files while an intake lets the event loop run between files starts no
  // second intake, and leaves AddingFiles to the running one: clearing it here would let
  // Remove, Clear All and Convert in while rows are still being added.
  if (IntakeRunning) return;
  AddingFiles = true;
  IntakeRunning = true;
  try {
    RunFileIntake();
  } catch (...) {
    // A failed intake keeps the rows it added; nothing is reported.
  }
  IntakeRunning = false;
  AddingFiles = false;
}

void TForm1::RunFileIntake() {
  OpenDialog1.HideReadOnly = true;
  OpenDialog1.AllowMultiSelect = true;
  OpenDialog1.FileMustExist = true;
  OpenDialog1.EnableSizing = true;
  const QStringList files = Prompt.OpenFiles(this, OpenDialog1);
  TAVProbe& probe = Converter.Probe;
  try {
    for (const QString& file : files) {
      int row;
      if (probe.Open(file.toStdString())) {
        TAVFileInfo fileInfo;
        probe.GetFileInfo(fileInfo);
        QString size = Blank, rate = Blank;
        if (probe.VideoStreamCount > 0) {
          TAVVideoInfo video;
          probe.GetVideoInfo(-1, video);
          size = VideoSizeText(video.Width, video.Height);
          rate = FrameRateText(video.FrameRateNum, video.FrameRateDen);
        }
        // The file is not kept open behind the list.
        probe.Close();
        row = ListView1.AddRow(file, true);
        ListView1.SetSubItem(row, SubItemVideoSize, size);
        ListView1.SetSubItem(row, SubItemFrameRate, rate);
        ListView1.SetSubItem(row, SubItemDuration, DurationCellText(fileInfo.Duration));
        // The format chosen now: the user may change it between two files.
        ListView1.SetSubItem(row, SubItemOutput, QString::fromStdString(OutputExtension()));
      } else {
        row = ListView1.AddRow(file, true);
        ListView1.SetSubItem(row, SubItemProgress, QStringLiteral("Error"));
      }
      ListView1.MakeVisible(row);
      // The window repaints and answers between files; the commands that would disturb the
      // intake are refused while AddingFiles is set.
      QCoreApplication::processEvents();
    }
  } catch (const std::exception&) {
    // The remaining files are skipped; the rows already added stay.
    probe.Close();
  }
}

}  // namespace mf
