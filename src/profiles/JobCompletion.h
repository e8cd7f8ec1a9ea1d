// What the window (and the command line) add to a profile's job for one file: the volume,
// the aspect ratio, the frame rate and the letterbox, and the output file's name.
#pragma once

#include <string>
#include <string_view>

#include "TaskOptions.h"

namespace mf {

// The volume slider's positions 0..10: the label shown and the engine's volume factor.
std::string VolumeLabel(int position);
int VolumeLevel(int position);

// "Original" aspect from a row's "Video Size" text ("720x576" -> "1.25"); "1.3333" when the
// text says nothing usable; an empty text counts as 640x480.
std::string AspectFromVideoSize(std::string_view videoSize);

// A frame-rate caption as the engine's rate text: "29.97 fps" -> "30000/1001"; empty for
// "Auto" or a caption that names no rate.
std::string FrameRateFromCaption(std::string_view caption);

// The output name for stem (a path without extension is taken as is) with ext (".mp4"):
// stem + ext when free, else stem + "-1" + ext, "-2", ... the first that does not exist.
std::string UniqueOutputName(const std::string& name, const std::string& ext);
// name's extension replaced by ext (appended when it has none).
std::string ReplaceExtension(const std::string& name, const std::string& ext);

struct TJobChoices {
  int VolumeLevel = 255;
  int AspectIndex = 0;          // 0 "Original", 1 "4:3", 2 "16:9"
  std::string VideoSize;        // the row's "Video Size" text, e.g. "720x576"
  std::string FrameRateCaption; // the frame-rate box's text
  bool LetterBox = false;       // "Video Zoom": keep the picture's shape inside the frame
  int ProfileId = -1;           // the profile that filled the job
  std::string SourceFrameRate;  // the row's "FrameRate" text, e.g. "59.94"
};

// "640x480" -> 640, 480; false unless both are whole numbers above 0 (blanks around each are
// allowed).
bool ParseFrameSize(std::string_view text, int& width, int& height);

// Pictures a second of a rate text: "30000/1001", "25", "29.97" ("." whatever the locale); 0
// when the text names no rate.
double FrameRateValue(std::string_view text);

// A source's picture rate as the list shows it: two decimals at most ("29.97", "25"); empty
// when the rate is unknown.
std::string FrameRateCellText(int num, int den);

// The rate a device profile's "Auto" gives a source of sourceRate ("59.94"): the source's
// own rate divided by the smallest whole number that brings it to the devices' highest, so
// that whole pictures are dropped evenly ("30000/1001" for 59.94, "25" for 50); empty when the
// source's rate is unknown or already low enough.
std::string DeviceFrameRate(std::string_view sourceRate);

// Adds the choices to a job the profile has filled. With LetterBox and a fixed frame size the
// picture is scaled to keep its display aspect and centred between black bars (even sizes);
// without it the picture is stretched to the frame. "Auto" on a device profile keeps the
// source's rate only up to what the device shows.
void CompleteJob(TOutputOptions& job, const TJobChoices& choices);

}  // namespace mf
