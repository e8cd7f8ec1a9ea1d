#include "FFmpeg.h"
#include "MessageFormat.h"

namespace mf {

namespace {

// "pgmyuv" is an old alias of the image sequence format, kept with a compatibility flag.
std::string FormatAlias(TCustomFFmpeg& engine, const std::string& name) {
  if (name != "pgmyuv") return name;
  engine.PgmyuvCompatibility = 1;
  engine.Log(1, "pgmyuv format is deprecated, use image2");
  return "image2";
}

}  // namespace

void TCustomFFmpeg::SetFormat(const std::string& name) {
  if (name.empty()) return;
  RequireCodecLibraries();
  const std::string format = FormatAlias(*this, name);
  const AVInputFormat* input = ff::av_find_input_format(format.c_str());
  const AVOutputFormat* output = ff::av_guess_format(format.c_str(), nullptr, nullptr);
  if (!input && !output) throw FFMpegException(FormatMessage("Unknown input or output format: %s", {format}));
  InputFormat = input;
  OutputFormat = output;
}

void TCustomFFmpeg::SetInputFormat(const std::string& name) {
  if (name.empty()) return;
  RequireCodecLibraries();
  const std::string format = FormatAlias(*this, name);
  const AVInputFormat* input = ff::av_find_input_format(format.c_str());
  if (!input) throw FFMpegException(FormatMessage("Unknown input format: %s", {format}));
  InputFormat = input;
}

void TCustomFFmpeg::SetOutputFormat(const std::string& name) {
  if (name.empty()) return;
  RequireCodecLibraries();
  const std::string format = FormatAlias(*this, name);
  const AVOutputFormat* output = ff::av_guess_format(format.c_str(), nullptr, nullptr);
  if (!output) throw FFMpegException(FormatMessage("Unknown output format: %s", {format}));
  OutputFormat = output;
}

}  // namespace mf
