// The batch conversion controller: the checked rows of the list converted one after another.
// It is part of TForm1 (BatchController.cpp); this header holds the texts it shows.
#pragma once

#include <QString>

#include <cstdint>

namespace mf {

// What a progress report shows in the "Progress" cell and the bar. With a known total: the
// percentage written, cut toward zero and kept within 0..100. Without one (an input of unknown
// or zero length): the output time written so far as h:mm:ss, and Percent -1, which runs the
// bar as a busy indicator.
struct TProgressView {
  QString Cell;
  int Percent;
};
TProgressView ProgressView(int currentDurationMs, int totalOutputDurationMs);

// The "Frames" cell: one blank when the report has no frame count (-1).
QString FramesCellText(int frameNumber);

// The second status-bar panel during a conversion.
QString FileSizeText(int64_t bytes);

// The message for an output folder that is not there; the folder text as typed, the line
// breaks as line feed then carriage return.
QString OutputFolderMissingText(const QString& folder);

}  // namespace mf
