#include <algorithm>
#include <ctime>
#include <filesystem>

#include "FFmpeg.h"
#include "MessageFormat.h"
#include "OptionParsing.h"

namespace mf {

namespace {

// The running program's folder with its trailing separator.
std::string ExecutableFolder() {
  std::error_code ec;
  const std::filesystem::path exe = std::filesystem::read_symlink("/proc/self/exe", ec);
  if (ec) return "";
  std::string folder = exe.parent_path().string();
  if (folder.empty() || folder.back() != '/') folder += '/';
  return folder;
}

}  // namespace

void TCustomFFmpeg::SetPass(int n) {
  if (n != 1 && n != 2) throw FFMpegException("pass number can be only 1 or 2");
  Pass = n;
}

void TCustomFFmpeg::EnableVstats() {
  RequireCodecLibraries();
  const std::time_t now = std::time(nullptr);
  std::tm local{};
  localtime_r(&now, &local);
  char clock[16];
  std::strftime(clock, sizeof clock, "%H%M%S", &local);
  VstatsFileName = DupText(FormatMessage("%svstats_%s.log", {ExecutableFolder(), clock}));
}

void TCustomFFmpeg::SetVstatsFileName(const std::string& text) {
  RequireCodecLibraries();
  VstatsFileName = DupText(text);
}

// One level for the whole process: the library's filter follows the task's verbosity.
void TCustomFFmpeg::SetVerbosity(int n) {
  Verbosity = n;
  if (CodecLibrariesBound()) ff::av_log_set_level(AvLevelFromLibrary(n));
  LibraryLogLevel = n;
}

void TCustomFFmpeg::SetProgramId(int n) {
  if (n >= 0) ProgramId = n;
}

void TCustomFFmpeg::SetAudioVolume(int n) {
  if (n >= 0) AudioVolume = n;
}

void TCustomFFmpeg::SetAudioSyncMethod(int n) { AudioSyncMethod = n; }
void TCustomFFmpeg::SetVideoSyncMethod(int n) { VideoSyncMethod = n; }

void TCustomFFmpeg::SetMuxMaxDelay(double seconds) {
  if (seconds > 0) MuxMaxDelay = static_cast<float>(seconds);
}

void TCustomFFmpeg::SetMuxPreload(double seconds) {
  if (seconds > 0) MuxPreload = static_cast<float>(seconds);
}

void TCustomFFmpeg::SetTitle(const std::string& text) {
  if (!text.empty()) Title = text;
}
void TCustomFFmpeg::SetAuthor(const std::string& text) {
  if (!text.empty()) Author = text;
}
void TCustomFFmpeg::SetCopyright(const std::string& text) {
  if (!text.empty()) Copyright = text;
}
void TCustomFFmpeg::SetComment(const std::string& text) {
  if (!text.empty()) Comment = text;
}
void TCustomFFmpeg::SetGenre(const std::string& text) {
  if (!text.empty()) Genre = text;
}
void TCustomFFmpeg::SetAlbum(const std::string& text) {
  if (!text.empty()) Album = text;
}

void TCustomFFmpeg::SetYear(int n) {
  if (n > 0) Year = n;
}

void TCustomFFmpeg::SetTrack(int n) {
  if (n > 0) Track = n;
}

// The pre-processing walks the ranges forward with a cursor, so they are kept by end time.
void TCustomFFmpeg::SetHookTimeRanges(const std::vector<THookTimeRange>& ranges) {
  HookTimeRanges = ranges;
  std::stable_sort(HookTimeRanges.begin(), HookTimeRanges.end(),
                   [](const THookTimeRange& a, const THookTimeRange& b) { return a.End < b.End; });
  HookRangeCount = static_cast<int>(HookTimeRanges.size());
  HookRangeCursor = 0;
}

// "pal-dvd", "ntsc-vcd", "film-svcd" name the norm; a bare target lets the preset detect it.
void TCustomFFmpeg::SetTarget(const std::string& text) {
  const std::string target = TrimBlanks(text);
  for (const char* norm : {"pal", "ntsc", "film"}) {
    const std::string prefix = std::string(norm) + "-";
    if (target.rfind(prefix, 0) == 0) {
      ApplyTargetPreset(target.substr(prefix.size()), norm, "ntsc");
      return;
    }
  }
  ApplyTargetPreset(target, "auto", "ntsc");
}

void TCustomFFmpeg::AppendVideoStream() {
  if (OutputFileCount <= 0) throw FFMpegException("At least one output file must be specified");
  NewVideoStream(OutputFiles[OutputFileCount - 1].get());
}

void TCustomFFmpeg::AppendAudioStream() {
  if (OutputFileCount <= 0) throw FFMpegException("At least one output file must be specified");
  NewAudioStream(OutputFiles[OutputFileCount - 1].get());
}

void TCustomFFmpeg::AppendSubtitleStream() {
  if (OutputFileCount <= 0) throw FFMpegException("At least one output file must be specified");
  NewSubtitleStream(OutputFiles[OutputFileCount - 1].get());
}

}  // namespace mf
