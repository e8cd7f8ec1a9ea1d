// marrowfin-cli: the window's profiles and conversions from a command line, several files at
// once. Converting is entirely the component's; this program only reads the arguments, fills
// the profile's option boxes as the window would, and reports.
#include <algorithm>
#include <atomic>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <filesystem>
#include <iostream>
#include <map>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "Catalogue.h"
#include "JobAssembly.h"
#include "JobCompletion.h"
#include "MediaConverter.h"
#include "OptionSets.h"
#include "PlainControls.h"

namespace fs = std::filesystem;

namespace {

constexpr const char* Usage =
    "Usage: marrowfin-cli --list-profiles\n"
    "       marrowfin-cli --profile CAPTION -o OUTDIR [options] FILE...\n"
    "\n"
    "Converts each FILE with an output profile, as the window does. Options take the same\n"
    "captions the window's boxes show:\n"
    "  --video-codec CAPTION    e.g. \"H264\"\n"
    "  --size CAPTION           e.g. \"640 x 480\"\n"
    "  --video-bitrate CAPTION  e.g. \"1500 Kbps\"\n"
    "  --frame-rate CAPTION     e.g. \"29.97 fps\"\n"
    "  --audio-codec CAPTION\n"
    "  --audio-bitrate CAPTION  e.g. \"128 Kbps\"\n"
    "  --sample-rate CAPTION    e.g. \"44100\"\n"
    "  --channels CAPTION       \"Stereo\" or \"Mono\"\n"
    "  --aspect CAPTION         \"Original\", \"4:3\" or \"16:9\"\n"
    "  --letterbox              keep the picture's shape inside the frame (black bars)\n"
    "  --volume 0..10           the volume slider: 5 is 100%, 10 is 200%\n"
    "  --overwrite              replace existing outputs instead of naming them name-1, name-2, ...\n"
    "  --jobs N                 convert N files at once (default 1)\n"
    "  --help, --version\n"
    "\n"
    "Exit status: 0 when every file is done, 1 when any failed or was stopped, 2 for a usage error.\n";

std::atomic<bool> Interrupted{false};
void OnInterrupt(int) { Interrupted = true; }

struct TUsageError : std::runtime_error {
  using std::runtime_error::runtime_error;
};

std::string Join(const std::vector<std::string>& items) {
  std::string text;
  for (const std::string& item : items) text += (text.empty() ? "\"" : ", \"") + item + "\"";
  return text;
}

std::string Clock(int64_t ms) {
  if (ms < 0) ms = 0;
  const int64_t seconds = ms / 1000;
  char text[32];
  std::snprintf(text, sizeof text, "%d:%02d:%02d", static_cast<int>(seconds / 3600), static_cast<int>(seconds / 60 % 60),
                static_cast<int>(seconds % 60));
  return text;
}

struct TFileState {
  std::string Input, Output;
  std::chrono::steady_clock::time_point Started;
  bool Started_ = false;
  std::string Result;  // "Done", "Fail: reason", "Abort"
};

}  // namespace

int main(int argc, char* argv[]) {
  std::vector<std::string> args(argv + 1, argv + argc);
  std::string profileCaption, outputFolder;
  std::map<mf::TOptionBox, std::string> overrides;
  std::string aspect;
  bool letterBox = false, overwrite = false, listProfiles = false;
  int volume = 5, jobs = 1;
  std::vector<std::string> files;

  const std::map<std::string, mf::TOptionBox> boxOptions = {
      {"--video-codec", mf::TOptionBox::VideoCodec},     {"--size", mf::TOptionBox::VideoSize},
      {"--video-bitrate", mf::TOptionBox::VideoBitrate}, {"--frame-rate", mf::TOptionBox::VideoFramerate},
      {"--audio-codec", mf::TOptionBox::AudioCodec},     {"--audio-bitrate", mf::TOptionBox::AudioBitrate},
      {"--sample-rate", mf::TOptionBox::SamplingRate},   {"--channels", mf::TOptionBox::AudioChannels},
  };
  try {
    for (size_t i = 0; i < args.size(); ++i) {
      const std::string& arg = args[i];
      auto value = [&]() -> std::string {
        if (i + 1 >= args.size()) throw TUsageError(arg + " needs a value");
        return args[++i];
      };
      if (arg == "--help" || arg == "-h") {
        std::cout << Usage;
        return 0;
      } else if (arg == "--version") {
        std::cout << "marrowfin-cli " << MF_VERSION << " (conversion component " << mf::TMediaConverter::Version << ")\n";
        return 0;
      } else if (arg == "--list-profiles") {
        listProfiles = true;
      } else if (arg == "--profile") {
        profileCaption = value();
      } else if (arg == "-o" || arg == "--output") {
        outputFolder = value();
      } else if (boxOptions.count(arg)) {
        overrides[boxOptions.at(arg)] = value();
      } else if (arg == "--aspect") {
        aspect = value();
      } else if (arg == "--letterbox") {
        letterBox = true;
      } else if (arg == "--overwrite") {
        overwrite = true;
      } else if (arg == "--volume") {
        const std::string text = value();
        size_t used = 0;
        try {
          volume = std::stoi(text, &used);
        } catch (...) {
          used = 0;
        }
        if (used != text.size() || volume < 0 || volume > 10) throw TUsageError("--volume takes 0 to 10, not \"" + text + "\"");
      } else if (arg == "--jobs" || arg == "-j") {
        const std::string text = value();
        size_t used = 0;
        try {
          jobs = std::stoi(text, &used);
        } catch (...) {
          used = 0;
        }
        if (used != text.size() || jobs < 1) throw TUsageError("--jobs takes a number of 1 or more, not \"" + text + "\"");
      } else if (!arg.empty() && arg[0] == '-' && arg != "-") {
        throw TUsageError("unknown option " + arg);
      } else {
        files.push_back(arg);
      }
    }
    if (listProfiles) {
      for (const mf::TheAVCodec& entry : mf::OutputFormatTable)
        std::cout << entry.Caption << "\t" << entry.Extension << "\n";
      return 0;
    }
    if (profileCaption.empty()) throw TUsageError("no --profile given (see --list-profiles)");
    if (outputFolder.empty()) throw TUsageError("no output folder given (-o OUTDIR)");
    if (files.empty()) throw TUsageError("no input files given");
  } catch (const TUsageError& e) {
    std::cerr << "marrowfin-cli: " << e.what() << "\n\n" << Usage;
    return 2;
  }

  // The option boxes as the window fills them for the profile, then the caller's choices.
  mf::TPlainProfileControls controls;
  mf::FillComboOutputFormat(controls);
  const mf::TheAVCodec* profile = mf::FindProfileByCaption(profileCaption);
  if (!profile || !controls.Choose(mf::TOptionBox::OutputFormat, profileCaption)) {
    std::vector<std::string> captions;
    for (const mf::TheAVCodec& entry : mf::OutputFormatTable) captions.emplace_back(entry.Caption);
    std::cerr << "marrowfin-cli: unknown profile \"" << profileCaption << "\"; accepted: " << Join(captions) << "\n";
    return 2;
  }
  mf::ApplyProfileControls(controls);
  static const std::map<mf::TOptionBox, const char*> boxNames = {
      {mf::TOptionBox::VideoCodec, "--video-codec"},     {mf::TOptionBox::VideoSize, "--size"},
      {mf::TOptionBox::VideoBitrate, "--video-bitrate"}, {mf::TOptionBox::VideoFramerate, "--frame-rate"},
      {mf::TOptionBox::AudioCodec, "--audio-codec"},     {mf::TOptionBox::AudioBitrate, "--audio-bitrate"},
      {mf::TOptionBox::SamplingRate, "--sample-rate"},   {mf::TOptionBox::AudioChannels, "--channels"},
      {mf::TOptionBox::AspectRatio, "--aspect"}};
  if (!aspect.empty()) overrides[mf::TOptionBox::AspectRatio] = aspect;
  for (const auto& [box, caption] : overrides) {
    if (controls.Choose(box, caption)) continue;
    const auto& items = controls.Items(box);
    if (items.empty())
      std::cerr << "marrowfin-cli: " << boxNames.at(box) << " is not offered by \"" << profileCaption << "\"\n";
    else
      std::cerr << "marrowfin-cli: " << boxNames.at(box) << " \"" << caption << "\" is not offered by \"" << profileCaption
                << "\"; accepted: " << Join(items) << "\n";
    return 2;
  }
  std::error_code ec;
  if (!fs::is_directory(outputFolder, ec)) {
    std::cerr << "marrowfin-cli: the output folder \"" << outputFolder << "\" does not exist\n";
    return 2;
  }

  mf::TMediaConverter converter;
  const fs::path exe = fs::canonical("/proc/self/exe", ec).parent_path();
  if (!converter.LoadCodecLibraries((exe / "Common Files").string(), true)) {
    std::cerr << "marrowfin-cli: " << converter.LastError << "\n";
    return 1;
  }
  // Error lines only: the library's own reason for a refusal is added to the file's summary.
  converter.SetLogLevel(mf::llError);
  converter.ThreadPriority = mf::tpNormal;

  std::mutex outputLock;
  std::vector<TFileState> states;
  std::map<int, size_t> taskFile;  // task index -> file
  const std::string ext = "." + [&] {
    std::string lower(controls.OutputExtension());
    for (char& c : lower) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return lower;
  }();
  const int aspectIndex = controls.Selected(mf::TOptionBox::AspectRatio);
  std::vector<std::string> namesOfThisRun;
  for (const std::string& file : files) {
    TFileState state;
    state.Input = file;
    const std::string base = (fs::path(outputFolder) / fs::path(file).filename()).string();
    state.Output = overwrite ? mf::ReplaceExtension(base, ext) : mf::UniqueOutputName(base, ext);
    // Two inputs of one run never write one file (they may run at the same time), whatever
    // --overwrite says of files that were there before.
    for (int n = 1; std::find(namesOfThisRun.begin(), namesOfThisRun.end(), state.Output) != namesOfThisRun.end(); ++n)
      state.Output = mf::ReplaceExtension(base, "") + "-" + std::to_string(n) + ext;
    namesOfThisRun.push_back(state.Output);
    // The source's picture size and rate, as the window's list shows them.
    std::string videoSize, frameRate;
    try {
      if (converter.Probe.Open(file)) {
        mf::TAVVideoInfo video;
        if (converter.Probe.VideoStreamCount > 0) {
          converter.Probe.GetVideoInfo(-1, video);
          videoSize = std::to_string(video.Width) + "x" + std::to_string(video.Height);
          frameRate = mf::FrameRateCellText(video.FrameRateNum, video.FrameRateDen);
        }
        converter.Probe.Close();
      }
    } catch (const std::exception&) {
    }
    mf::TInputOptions input;
    input.Reset();
    input.StartTime = 0;
    const int index = converter.RegisterTask(file, &input);
    if (index < 0) {
      state.Result = "Fail: " + converter.LastError;
      states.push_back(state);
      continue;
    }
    mf::TOutputOptions job;
    job.Reset();
    try {
      const mf::TheAVCodec* profile = mf::AssembleProfileJob(controls, job);
      mf::CompleteJob(job, {mf::VolumeLevel(volume), aspectIndex, videoSize, controls.BoxText(mf::TOptionBox::VideoFramerate),
                            letterBox, profile ? profile->ProfileId : -1, frameRate});
    } catch (const std::exception& e) {
      state.Result = std::string("Fail: ") + e.what();
      converter.DropTask(index);
      states.push_back(state);
      continue;
    }
    if (!converter.AssignTaskOutput(index, state.Output, &job)) {
      state.Result = "Fail: " + converter.LastError;
      converter.DropTask(index);
      states.push_back(state);
      continue;
    }
    taskFile[index] = states.size();
    states.push_back(state);
  }

  std::atomic<bool> allEnded{converter.Tasks.Count() == 0};
  std::map<int, std::string> lastErrors;  // task index -> its last library error line
  converter.OnLog = [&](int index, mf::TLogLevel level, const std::string& text) {
    if (index < 0 || level != mf::llError) return;
    std::string reason = text;
    if (!reason.empty() && reason[0] == '[' && reason.find(']') != std::string::npos) reason.erase(0, reason.find(']') + 1);
    while (!reason.empty() && static_cast<unsigned char>(reason.front()) <= ' ') reason.erase(0, 1);
    std::lock_guard<std::mutex> lock(outputLock);
    if (!reason.empty()) lastErrors[index] = reason;
  };
  converter.OnProgress = [&](int index, int frame, int fps, int duration, float, float, int64_t size, int total) {
    std::lock_guard<std::mutex> lock(outputLock);
    TFileState& state = states[taskFile[index]];
    const auto now = std::chrono::steady_clock::now();
    if (!state.Started_) {
      state.Started = now;
      state.Started_ = true;
    }
    const int64_t elapsedMs = std::chrono::duration_cast<std::chrono::milliseconds>(now - state.Started).count();
    std::string line = fs::path(state.Input).filename().string() + ": ";
    if (total > 0) {
      const int percent = std::min(100, static_cast<int>(static_cast<int64_t>(duration) * 100 / total));
      line += std::to_string(percent) + "%";
      if (percent > 0 && percent < 100) line += "  left " + Clock(elapsedMs * (100 - percent) / percent);
    } else {
      line += Clock(duration);
    }
    if (frame >= 0) line += "  " + std::to_string(fps) + " fps";
    line += "  " + std::to_string(size / 1024) + " kB";
    std::cerr << line << "\n";
  };
  converter.OnTerminate = [&](int index, bool, bool exception, const std::string& message) {
    std::lock_guard<std::mutex> lock(outputLock);
    if (index < 0) {
      allEnded = true;
      return;
    }
    TFileState& state = states[taskFile[index]];
    const auto reason = lastErrors.find(index);
    // The engine names the reason of an encoder's refusal itself; other failures get the
    // library's last word.
    const bool addReason = reason != lastErrors.end() && message.find(reason->second) == std::string::npos;
    state.Result = exception ? "Fail: " + message + (addReason ? " (" + reason->second + ")" : "")
                   : Interrupted ? "Abort"
                                 : "Done";
  };

  std::signal(SIGINT, OnInterrupt);
  std::signal(SIGTERM, OnInterrupt);
  converter.RunTasks(jobs);
  bool halted = false;
  while (!allEnded) {
    if (Interrupted && !halted) {
      converter.HaltAllTasks();
      halted = true;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }

  int failures = 0;
  for (const TFileState& state : states) {
    const std::string result = state.Result.empty() ? "Abort" : state.Result;
    if (result != "Done") ++failures;
    std::cout << result << "\t" << state.Input << (result == "Done" ? "\t" + state.Output : "") << "\n";
  }
  return failures == 0 ? 0 : 1;
}
