// The file intake: what "Add Files" writes into a new row, from what the media probe says of
// the file. The intake itself is TForm1::ButtonAddFileClick / RunFileIntake (FileIntake.cpp).
#pragma once

#include <QString>

#include <cstdint>

namespace mf {

// "Video Size": width "x" height without blanks, e.g. "640x480".
QString VideoSizeText(int width, int height);

// "FrameRate": num/den rounded to two decimals (halves to even), shortest text: "29.97",
// "25", "23.98". A rate the file does not tell (a zero or negative part) is one blank, as for
// a file without video.
QString FrameRateText(int num, int den);

// Seconds as hours ":" minutes ":" seconds, each at least two digits: 3725 -> "01:02:05",
// 360000 -> "100:00:00". A negative number keeps its minus sign.
QString DurationText(int64_t seconds);

// "Duration" of a file from the probe's duration in microseconds (whole seconds, truncated);
// "Unknown" for the library's no-timestamp value and any other negative duration.
QString DurationCellText(int64_t durationUs);

}  // namespace mf
