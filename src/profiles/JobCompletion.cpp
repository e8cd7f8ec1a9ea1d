#include "JobCompletion.h"

#include <charconv>
#include <cmath>
#include <cctype>
#include <cstdio>
#include <filesystem>

#include "PlayerSettings.h"

namespace mf {

namespace {

constexpr int VolumeLevels[] = {1, 50, 100, 150, 200, 255, 300, 350, 400, 450, 600};

std::string_view Trim(std::string_view text) {
  while (!text.empty() && static_cast<unsigned char>(text.front()) <= ' ') text.remove_prefix(1);
  while (!text.empty() && static_cast<unsigned char>(text.back()) <= ' ') text.remove_suffix(1);
  return text;
}

bool ParseInt(std::string_view text, int& value) {
  text = Trim(text);
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  return error == std::errc() && end == text.data() + text.size();
}

// Shortest decimal text of value rounded to the given decimals, halves to even; "." whatever
// the locale (the window's locale is the user's).
std::string Decimals(double value, int decimals) {
  const double scale = std::pow(10.0, decimals);
  const double rounded = std::nearbyint(value * scale) / scale;
  char text[64];
  const auto [end, error] = std::to_chars(text, text + sizeof text, rounded, std::chars_format::fixed, decimals);
  if (error != std::errc()) return "";
  std::string result(text, end);
  if (result.find('.') != std::string::npos) {
    while (result.back() == '0') result.pop_back();
    if (result.back() == '.') result.pop_back();
  }
  return result;
}

std::string FourDecimals(double value) { return Decimals(value, 4); }

}  // namespace

std::string VolumeLabel(int position) {
  if (position < 0 || position > 10) return "";
  return std::to_string(position * 20) + "%";
}

int VolumeLevel(int position) { return position >= 0 && position <= 10 ? VolumeLevels[position] : 256; }

std::string AspectFromVideoSize(std::string_view videoSize) {
  const std::string_view text = Trim(videoSize).empty() ? std::string_view("640x480") : Trim(videoSize);
  int width = 0, height = 0;
  if (!ParseFrameSize(text, width, height)) return "1.3333";
  return FourDecimals(static_cast<double>(width) / height);
}

std::string FrameRateFromCaption(std::string_view caption) {
  caption = Trim(caption);
  if (caption.rfind("29.97", 0) == 0) return "30000/1001";
  if (caption.rfind("14.985", 0) == 0) return "15000/1001";
  if (caption.rfind("23.976", 0) == 0 || caption.rfind("23.975", 0) == 0) return "24000/1001";
  size_t end = 0;
  while (end < caption.size() && (std::isdigit(static_cast<unsigned char>(caption[end])) || caption[end] == '.')) ++end;
  if (end == 0) return "";
  return std::string(caption.substr(0, end));
}

bool ParseFrameSize(std::string_view text, int& width, int& height) {
  const size_t x = text.find('x');
  return x != std::string_view::npos && ParseInt(text.substr(0, x), width) && ParseInt(text.substr(x + 1), height) &&
         width > 0 && height > 0;
}

double FrameRateValue(std::string_view text) {
  const auto number = [](std::string_view part) {
    part = Trim(part);
    double value = 0;
    const auto [end, error] = std::from_chars(part.data(), part.data() + part.size(), value);
    return error == std::errc() && end == part.data() + part.size() && value > 0 ? value : 0.0;
  };
  const size_t slash = text.find('/');
  if (slash == std::string_view::npos) return number(text);
  const double den = number(text.substr(slash + 1));
  return den > 0 ? number(text.substr(0, slash)) / den : 0.0;
}

std::string FrameRateCellText(int num, int den) {
  if (num <= 0 || den <= 0) return "";
  return Decimals(static_cast<double>(num) / den, 2);
}

std::string DeviceFrameRate(std::string_view sourceRate) {
  const double rate = FrameRateValue(sourceRate);
  if (!(rate > HighestDeviceFrameRate + 0.5)) return "";
  // A hair of tolerance, so that a rate a rounding error above a multiple of the highest
  // (60.0001) is still halved, not divided by three.
  const double divisor = std::ceil(rate / HighestDeviceFrameRate - 0.001);
  const double target = rate / divisor;
  // The NTSC family (29.97 = 30000/1001) keeps its exact ratio; the list's text has lost it.
  const double ntsc = std::nearbyint(target * 1.001);
  if (std::abs(target * 1.001 - ntsc) < 0.01 && std::abs(target - std::nearbyint(target)) > 0.01)
    return std::to_string(static_cast<int>(ntsc) * 1000) + "/1001";
  return FourDecimals(target);
}

std::string ReplaceExtension(const std::string& name, const std::string& ext) {
  std::filesystem::path path(name);
  path.replace_extension(ext);
  return path.string();
}

std::string UniqueOutputName(const std::string& name, const std::string& ext) {
  const std::string stem = ReplaceExtension(name, "");
  std::error_code ec;
  if (!std::filesystem::exists(stem + ext, ec)) return stem + ext;
  for (int n = 1;; ++n) {
    const std::string candidate = stem + "-" + std::to_string(n) + ext;
    if (!std::filesystem::exists(candidate, ec)) return candidate;
  }
}

void CompleteJob(TOutputOptions& job, const TJobChoices& choices) {
  job.AudioVolume = choices.VolumeLevel;
  static const char* const fixedAspects[] = {nullptr, "4:3", "16:9"};
  const bool fixedAspect = choices.AspectIndex == 1 || choices.AspectIndex == 2;
  job.FrameAspectRatio = fixedAspect ? fixedAspects[choices.AspectIndex] : AspectFromVideoSize(choices.VideoSize);
  if (const std::string rate = FrameRateFromCaption(choices.FrameRateCaption); !rate.empty())
    job.FrameRate = rate;
  else if (IsDeviceProfile(choices.ProfileId))
    if (const std::string rate = DeviceFrameRate(choices.SourceFrameRate); !rate.empty()) job.FrameRate = rate;

  int frameWidth = 0, frameHeight = 0, sourceWidth = 0, sourceHeight = 0;
  const bool sourceSize = ParseFrameSize(Trim(choices.VideoSize), sourceWidth, sourceHeight);
  // A kept picture size is made even: 4:2:0 pictures have no odd sizes, and H.264 and Xvid
  // refuse them (a 321x241 camera file would fail). The line or column less is scaled away;
  // the display aspect stays the source's.
  if (job.FrameSize.empty() && sourceSize && (sourceWidth % 2 != 0 || sourceHeight % 2 != 0) && !job.DisableVideo &&
      job.VideoCodec != "copy") {
    job.FrameSize = std::to_string(std::max(2, sourceWidth / 2 * 2)) + "x" + std::to_string(std::max(2, sourceHeight / 2 * 2));
    return;
  }
  if (!choices.LetterBox || !ParseFrameSize(job.FrameSize, frameWidth, frameHeight) || !sourceSize) return;
  // The source's display shape: the chosen aspect, else its own pixels taken as square.
  const double sourceAspect = choices.AspectIndex == 1   ? 4.0 / 3.0
                              : choices.AspectIndex == 2 ? 16.0 / 9.0
                                                         : static_cast<double>(sourceWidth) / sourceHeight;
  const double frameAspect = static_cast<double>(frameWidth) / frameHeight;
  int innerWidth = frameWidth, innerHeight = frameHeight;
  if (sourceAspect > frameAspect)
    innerHeight = static_cast<int>(std::lround(frameWidth / sourceAspect / 2.0)) * 2;
  else
    innerWidth = static_cast<int>(std::lround(frameHeight * sourceAspect / 2.0)) * 2;
  innerWidth = std::max(2, std::min(innerWidth, frameWidth));
  innerHeight = std::max(2, std::min(innerHeight, frameHeight));
  const int padX = frameWidth - innerWidth, padY = frameHeight - innerHeight;
  job.FrameSize = std::to_string(innerWidth) + "x" + std::to_string(innerHeight);
  // Bars split evenly, each an even number of pixels.
  job.PadLeft = padX / 4 * 2;
  job.PadRight = padX - job.PadLeft;
  job.PadTop = padY / 4 * 2;
  job.PadBottom = padY - job.PadTop;
  job.FrameAspectRatio = FourDecimals(frameAspect);
}

}  // namespace mf
