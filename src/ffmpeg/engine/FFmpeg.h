// The transcoding engine: one object per conversion task. The class is large on purpose; its
// implementation is split into one file per concern (options, option table, hooks, input,
// output, ...), and this header is organised in the same sections.
#pragma once

#include <array>
#include <atomic>
#include <condition_variable>
#include <mutex>
#include <climits>
#include <cstdint>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "CodecLibraries.h"
#include "EnginePointers.h"
#include "FFMpegException.h"
#include "FrameHook.h"
#include "HookBitmap.h"
#include "StreamSetup.h"
#include "TaskThreads.h"
#include "TranscodeState.h"

namespace mf {

// Fixed capacities of a task: files per direction, streams per file, maps.
inline constexpr int MaxFiles = 20;
inline constexpr int MaxStreams = 20;
inline constexpr int MaxStreamMaps = 20;
inline constexpr int MaxMetaDataMaps = 20;

// Codec option contexts and per-type tables are indexed by the library's media type:
// video 0, audio 1, data 2, subtitle 3, attachment 4.
inline constexpr int CodecOptionContextCount = 5;

struct TStreamMap {
  int FileIndex = 0;
  int StreamIndex = 0;
  int SyncFileIndex = 0;
  int SyncStreamIndex = 0;
};

struct TMetaDataMap {
  int OutFile = 0;
  int InFile = 0;
};

// Microseconds of the input's presentation time.
struct THookTimeRange {
  int64_t Start = 0;
  int64_t End = 0;
};

// ---------------------------------------------------------------------------------------
// Option state: the task's whole configuration. Every member's initializer is its default,
// so restoring the defaults is assigning a fresh value, which also releases what the old
// one owned.
// ---------------------------------------------------------------------------------------
struct TEngineOptionState {
  std::array<TInputFormatContextPtr, MaxFiles> InputFiles;
  std::array<int64_t, MaxFiles> InputFileTsOffsets{};
  // Factor per input and stream applied to packet timestamps; 0 leaves them unchanged.
  std::array<std::array<double, MaxStreams>, MaxFiles> InputFileTsScales{};
  int InputFileCount = 0;
  std::array<TOutputFormatContextPtr, MaxFiles> OutputFiles;
  int OutputFileCount = 0;
  std::array<TStreamMap, MaxStreamMaps> StreamMaps{};
  int StreamMapCount = 0;
  std::array<TMetaDataMap, MaxMetaDataMaps> MetaDataMaps{};
  int MetaDataMapCount = 0;

  // Per file: cleared once the next file is opened or created.
  const AVInputFormat* InputFormat = nullptr;
  const AVOutputFormat* OutputFormat = nullptr;

  int FrameWidth = 0;  // 0: the input's; the crop setters subtract from these
  int FrameHeight = 0;
  float FrameAspectRatio = 0.0f;  // 0: the input's
  int FramePixelFormat = -1;
  int PadTop = 0, PadBottom = 0, PadLeft = 0, PadRight = 0;
  std::array<int, 3> PadColor{16, 128, 128};  // Y, Cb, Cr
  int CropTop = 0, CropBottom = 0, CropLeft = 0, CropRight = 0;
  // Frames per output stream of each type: video, audio, data, subtitle.
  std::array<int, 4> MaxFrames{INT_MAX, INT_MAX, INT_MAX, INT_MAX};
  AVRational FrameRate{0, 0};
  float VideoQScale = 0.0f;
  // 64 coefficients each. The engine owns them; a codec context that frees its matrices
  // itself must be given a copy.
  TAvPtr<uint16_t> IntraMatrix;
  TAvPtr<uint16_t> InterMatrix;
  TAvText VideoRcOverride;
  int VideoDisable = 0;
  int VideoDiscard = 0;
  TAvText VideoCodecName;
  uint32_t VideoCodecTag = 0;  // first character in the low byte
  int SameQuality = 0;
  int Deinterlace = 0;
  int TopFieldFirst = -1;
  int MeThreshold = 0;
  int IntraDcPrecision = 8;
  int LoopInput = 0;
  int LoopOutput = -1;
  int QpHistogram = 0;
  int IntraOnly = 0;
  int AudioSampleRate = 44100;
  float AudioQScale = -99999.0f;
  int AudioDisable = 0;
  int AudioChannels = 2;
  TAvText AudioCodecName;
  uint32_t AudioCodecTag = 0;
  std::string AudioLanguage;
  int SubtitleDisable = 0;
  TAvText SubtitleCodecName;
  std::string SubtitleLanguage;
  float MuxPreload = 0.5f;   // seconds
  float MuxMaxDelay = 0.7f;  // seconds
  int64_t RecordingTime = INT64_MAX;  // microseconds; INT64_MAX: no limit
  int64_t StartTime = 0;              // microseconds
  int64_t RecordTimestamp = 0;        // seconds since 1970-01-01
  int64_t InputTsOffset = 0;          // microseconds
  std::string Title, Author, Copyright, Comment, Genre, Album;
  int Year = 0;
  int Track = 0;
  int HexDump = 0;
  int PacketDump = 0;
  int Psnr = 0;
  int Pass = 0;
  std::string PassLogFileName;
  int AudioStreamCopy = 0;
  int VideoStreamCopy = 0;
  int SubtitleStreamCopy = 0;
  int VideoSyncMethod = -1;
  int AudioSyncMethod = 0;
  float AudioDriftThreshold = 0.1f;  // seconds
  bool CopyTimestamps = false;
  int Shortest = 0;
  int VideoGlobalHeader = 0;  // bit 0: global header; bit 1: also repeat headers in the stream
  TAvText VstatsFileName;
  TMyFilePtr VstatsFile;
  int ProgramId = 0;
  int RateEmulation = 0;
  int VideoChannel = 0;
  TAvText VideoStandard;
  int AudioVolume = 256;
  bool UsingVideoHooks = false;
  int Verbosity = 1;
  int ThreadCount = 1;
  int InputSync = 0;
  int64_t LimitFileSize = 0;  // bytes; 0: none
  int PgmyuvCompatibility = 0;
  float DtsDeltaThreshold = 10.0f;  // seconds
  int SwsFlags = 4;                 // bicubic
  // Library options set so far by name, in order; ApplyStoredOptions replays them.
  std::vector<std::string> OptionNames;
  // Name and value of settings that only a particular encoder or muxer knows (the option
  // contexts cannot hold them); each created encoder and muxer takes those it has.
  std::vector<std::pair<std::string, std::string>> PrivateOptions;
  std::array<TCodecContextPtr, CodecOptionContextCount> CodecOptionContexts;
  TFormatContextPtr FormatOptionContext;
  TSwsContextPtr ScalerOptionContext;
  // Per output file and stream; always empty (options that would name filters are refused).
  std::array<std::array<TBsfContextPtr, MaxStreams>, MaxFiles> BitstreamFilters;
  // The hook option texts, cut into arguments; instances may keep pointers into them, so
  // they are declared before the hooks and so outlive them.
  std::vector<TAvText> HookArguments;
  TFrameHookChain FirstHook;
  std::vector<THookTimeRange> HookTimeRanges;  // sorted ascending by End
  int HookRangeCount = 0;
  int HookRangeCursor = 0;
  int TotalOutputDurationMs = -1;
  std::string ErrorMessage;

  // What opening the inputs and creating the outputs leave for the transcode.
  std::array<TInputDecoders, MaxFiles> InputDecoders;
  std::array<bool, MaxFiles> InputRateEmulation{};
  std::array<std::vector<TOutputStreamSetup>, MaxFiles> OutputStreamSetups;
};

class TCustomFFmpeg;

// Called with the engine as sender. Levels are the libraries' numbering: -1 quiet, 0 error,
// 1 information, 2 debug, 3 all.
using TLogHandler = std::function<void(TCustomFFmpeg* sender, int level, const std::string& text)>;
// Frame number, fps, current duration (ms), quality, bit rate (kbit/s), current size (bytes),
// total output duration (ms); -1 for what an output does not have.
using TProgressHandler = std::function<void(TCustomFFmpeg* sender, int frameNumber, int fps, int currentDurationMs,
                                            float quality, float bitRate, int64_t currentSize, int totalOutputDurationMs)>;

enum THookAction { haContinue, haIgnore, haStop };
using TBeforeHookHandler = std::function<void(TCustomFFmpeg* sender, int64_t pts, THookAction& action)>;
using TCustomHookHandler = std::function<void(TCustomFFmpeg* sender, THookBitmap& bitmap, int frameNumber, int64_t pts,
                                              bool& update, bool& stopHook)>;

class TCustomFFmpeg : public TEngineOptionState {
 public:
  TCustomFFmpeg();
  // Stops the task and waits for its thread to end before anything is released.
  virtual ~TCustomFFmpeg();
  TCustomFFmpeg(const TCustomFFmpeg&) = delete;
  TCustomFFmpeg& operator=(const TCustomFFmpeg&) = delete;

  // ---- Callbacks -----------------------------------------------------------------------
  TLogHandler LogHandler;
  TProgressHandler ProgressHandler;
  TBeforeHookHandler BeforeHookHandler;
  TCustomHookHandler CustomHookHandler;

  // Passes text to the log handler when one is assigned. Callers apply their own Verbosity
  // conditions: each message has its own.
  void Log(int level, const std::string& text);

  // ---- Option state (Options.cpp) --------------------------------------------------------
  // Releases what the configuration holds, restores every default and allocates the option
  // contexts. Does nothing while the codec libraries are not bound.
  void ResetOptions();

  // What goes back to its default once a file or a stream has used it.
  void ResetInputFileOptions();
  void ResetOutputFileOptions();
  void ResetVideoStreamOptions();
  void ResetAudioStreamOptions();
  void ResetSubtitleStreamOptions();

  // Table bounds: each raises FFMpegException when the table is full.
  void CheckStreamMapRoom() const;
  void CheckMetaDataMapRoom() const;
  void CheckInputFileRoom() const;
  void CheckOutputFileRoom() const;

  // ---- Library options by name (LibraryOptions.cpp) --------------------------------------
  bool SetLibraryOption(const std::string& name, const std::string& value);
  bool SetLibraryOptionInt(const std::string& name, int value);
  // Copies the stored options whose flags contain all bits of flags from source to target
  // (objects with an AVClass: codec or format contexts).
  void ApplyStoredOptions(void* target, void* source, int flags);
  // Null name: id 0 and true. Otherwise false with ErrorMessage naming the name given.
  bool CheckCodecName(const char* name, AVMediaType mediaType, bool encoder, AVCodecID& id);

  // ---- The option table (OptionTable.cpp) ------------------------------------------------
  // Applies one named option; names the table does not know go to SetLibraryOption.
  void SetOption(const std::string& name, const std::string& value);

  // ---- Formats and times (FormatOptions.cpp, TimeOptions.cpp) ----------------------------
  void SetFormat(const std::string& name);
  void SetInputFormat(const std::string& name);
  void SetOutputFormat(const std::string& name);
  void SetRecordingTime(const std::string& text);
  void SetRecordingTimeMs(int ms);
  void SetStartTimeUs(int64_t us);
  // The library's time parsing in microseconds; raises InvalidTimeMessage naming the option.
  int64_t ParseTimeOption(const std::string& optionName, const std::string& text, bool isDuration);

  // ---- Picture (PictureOptions.cpp) ------------------------------------------------------
  void SetFrameSize(const std::string& text);
  void SetCropTop(int n);
  void SetCropBottom(int n);
  void SetCropLeft(int n);
  void SetCropRight(int n);
  void SetPadTop(int n);
  void SetPadBottom(int n);
  void SetPadLeft(int n);
  void SetPadRight(int n);
  void SetPadColor(int rgb);  // red in the low byte
  void SetAspectRatio(const std::string& text);
  void SetPixelFormat(const std::string& name);
  void SetFrameRate(const std::string& text);
  void SetVideoQScale(double q);
  void SetIntraMatrix(const std::string& text);
  void SetInterMatrix(const std::string& text);

  // ---- Codecs, tags, bit rates, audio (CodecOptions.cpp) ---------------------------------
  void SetVideoCodec(const std::string& name);
  void SetAudioCodec(const std::string& name);
  void SetSubtitleCodec(const std::string& name);
  void SetVideoTag(const std::string& text);
  void SetAudioTag(const std::string& text);
  void SetBitRate(const std::string& name, const std::string& value);
  void SetAudioSampleRate(int n);
  void SetAudioChannels(int n);

  // ---- Maps and timestamp scales (MapOptions.cpp) ----------------------------------------
  void AddStreamMap(const std::string& text);
  void AddMetaDataMap(const std::string& text);
  void SetInputTsScale(const std::string& text);

  // ---- Everything else the table and the component set (GeneralOptions.cpp) -------------
  void SetPass(int n);
  void EnableVstats();
  void SetVstatsFileName(const std::string& text);
  void SetVerbosity(int n);
  void SetProgramId(int n);
  void SetAudioVolume(int n);
  void SetAudioSyncMethod(int n);
  void SetVideoSyncMethod(int n);
  void SetMuxMaxDelay(double seconds);
  void SetMuxPreload(double seconds);
  void SetTitle(const std::string& text);
  void SetAuthor(const std::string& text);
  void SetCopyright(const std::string& text);
  void SetComment(const std::string& text);
  void SetGenre(const std::string& text);
  void SetAlbum(const std::string& text);
  void SetYear(int n);
  void SetTrack(int n);
  void SetHookTimeRanges(const std::vector<THookTimeRange>& ranges);
  void SetTarget(const std::string& text);
  void AppendVideoStream();
  void AppendAudioStream();
  void AppendSubtitleStream();

  // ---- Video hook modules (VideoHooks.cpp) -----------------------------------------------
  void AddVideoHook(const std::string& text);

  // ---- Input opening (Input.cpp) ---------------------------------------------------------
  // False with ErrorMessage set when the file cannot be opened or analysed; nothing is
  // registered then. The per-file settings are reset whatever the result.
  bool OpenInputFile(const std::string& fileName);

  // ---- Output creation (Output.cpp) ------------------------------------------------------
  // False with ErrorMessage set when the output cannot be created; the outputs registered
  // before stay as they were.
  bool OpenOutputFile(const std::string& fileName);
  void CheckAudioVideoSubInputs(bool& hasVideo, bool& hasAudio, bool& hasSubtitle);
  // Applies a disc preset ("vcd", "svcd", "dvd", "dv", "dv50") for a norm ("pal", "ntsc",
  // "film", anything else: detect) with a fallback norm.
  virtual void ApplyTargetPreset(const std::string& target, const std::string& norm, const std::string& fallbackNorm);
  // Each adds one stream to output (the one being created, or a registered one) with its
  // encoder context; raises FFMpegException on failure.
  void NewVideoStream(AVFormatContext* output);
  void NewAudioStream(AVFormatContext* output);
  void NewSubtitleStream(AVFormatContext* output);
  // Stores (or replaces) a setting of PrivateOptions.
  void SetPrivateOption(const std::string& name, const std::string& value);

  // ---- Transcode (Preparation.cpp, Decoding.cpp, AudioOut.cpp, VideoOut.cpp, Progress.cpp,
  //      Loop.cpp) ---------------------------------------------------------------------------
  // Runs the whole conversion of the opened inputs into the created outputs; raises
  // FFMpegException on failure, leaving only what CloseOpenCodecs still has to close.
  void Transcode();
  // The first half of Transcode: the tables, the codecs and the headers. Public so that the
  // stages of a run can be driven one at a time.
  void PrepareTranscode();
  void CloseOpenCodecs();
  void ReleaseTranscodeState();
  int FindProgramStream(AVMediaType type);
  // The only way from any output path to the muxer; packet times are in the stream's time base.
  void WritePacket(TOutputStreamState& ost, AVPacket* packet);
  void ReportProgress(bool last);
  void WriteVideoStats(TOutputStreamState& ost, int frameSize);
  // Returns 0, or -1 when decoding failed or the stream's type cannot be decoded.
  int ProcessPacket(TInputStreamState& ist, int istIndex, const AVPacket* packet);
  void OutputAudio(TOutputStreamState& ost, TInputStreamState& ist, const uint8_t* samples, int bytes, int decRate,
                   int decChannels);
  // Returns the size of the last encoded frame written (0 when none).
  // planesReplaced: the picture's planes point into the engine's working copy, not the
  // decoder's buffer.
  int OutputVideo(TOutputStreamState& ost, TInputStreamState& ist, AVFrame* picture, bool planesReplaced);
  // Deinterlacing and hooks; true when the picture's planes now point into the working copy.
  bool PreprocessVideoFrame(TInputStreamState& ist, AVFrame* picture);
  void OutputSubtitle(TOutputStreamState& ost, TInputStreamState& ist, const AVSubtitle& subtitle, int64_t pts);

  // ---- Life cycle (Lifecycle.cpp) ---------------------------------------------------------
  // Refuses a running or terminated task (none). Without files the task ends at once with
  // the reason reported. onThread false runs the conversion in the caller's thread;
  // otherwise the returned thread is still suspended and the caller resumes it.
  TFFmpegThread* Start(bool onThread, TConvertPriority priority);
  void Run();
  // Reports the end exactly once; nothing of the engine is touched after the handler.
  void DoTerminate();
  void Stop();
  // Stops the task and waits for its threads to end. A class derived from this one calls it
  // first in its own destructor, so the thread never reports through a half-destroyed task.
  void StopAndWait();
  // Stops a running task; a task that never ran is reported ended from a thread of its own.
  void Halt();
  // Releases everything the engine holds; an output file left empty is deleted.
  void Cleanup();

  std::function<void(TCustomFFmpeg* sender)> TerminateHandler;
  TFFmpegThread* WorkerThread = nullptr;  // cleared by DoTerminate
  std::atomic<bool> Running{false};
  std::atomic<bool> Terminated{false};
  bool ExceptionRaised = false;
  std::string ExceptionMessage;

  // Pausing takes effect between packets (and between repeated pictures), never inside a lock.
  void Pause();
  void Resume();
  bool Paused() const { return PauseRequested.load(); }

  // Transcode state: the tables of one run and the counters the report reads.
  std::vector<TInputFileState> InputFileStates;
  std::vector<std::unique_ptr<TInputStreamState>> InputStreams;
  std::vector<std::unique_ptr<TOutputStreamState>> OutputStreams;
  int64_t VideoBytes = 0;
  int64_t AudioBytes = 0;
  int64_t HeaderBytes = 0;
  int DuplicatedFrames = 0;
  int DroppedFrames = 0;
  int64_t TranscodeStartTime = 0;  // microseconds, monotonic clock
  int64_t ReportInterval = 500000;  // microseconds
  std::atomic<bool> StopRequested{false};
  bool FinishedNormally = false;
  std::vector<TOutputStreamState*> OpenEncoders;
  std::vector<TInputStreamState*> OpenDecoders;
  std::array<int, 52> QpCounts{};

  // Pre-processing state, kept from picture to picture.
  int HookFrameCounter = 0;
  THookAction HookAction = haContinue;

 protected:
  // Raises when an operation needs the codec libraries and they are not bound.
  static void RequireCodecLibraries();

 private:
  std::vector<TOutputStreamSetup>& SetupsOf(AVFormatContext* output);
  // Adds the stream and its setup together; raises "Could not alloc stream" having added neither.
  static AVStream* AddStream(AVFormatContext* output, std::vector<TOutputStreamSetup>& setups, TOutputStreamSetup&& setup);
  static void ParseRcOverride(AVCodecContext* enc, const char* text);
  void ApplyPrivateOptions(void* privateData) const;
  // The output being created and its streams' setups, until it is registered.
  AVFormatContext* PendingOutput = nullptr;
  std::vector<TOutputStreamSetup> PendingSetups;

  [[noreturn]] void FailPreparation(const std::string& message);
  // The main loop, the drain, the trailers and the last report.
  void RunTranscodeLoop();
  void PrepareVideoGeometry(TOutputStreamState& ost, const TInputStreamState& ist);
  void PreparePassLogFile(TOutputStreamState& ost, int globalIndex);
  void OpenEncoder(TOutputStreamState& ost);
  int64_t OutputFileSize(int file) const;
  void ApplyVolume(uint8_t* data, int bytes) const;
  int ConvertAudioToS16(TInputStreamState& ist, const AVFrame* frame);
  void EmulateRate(TInputStreamState& ist);
  void DispatchAudio(TInputStreamState& ist, int istIndex, const AVFrame* frame);
  void DispatchVideo(TInputStreamState& ist, int istIndex, AVFrame* frame);
  void CopyPacket(TInputStreamState& ist, int istIndex, const AVPacket& packet);
  void DrainEncoders(int istIndex);
  void FlushEncoder(TOutputStreamState& ost);
  int ReceivePackets(TOutputStreamState& ost);
  // 16-bit samples at the encoder's rate and channels: whole frames through the fifo, or the
  // whole block for encoders that take any number of samples.
  void EncodeAudioBlock(TOutputStreamState& ost, const uint8_t* samples, int bytes);
  // What the resampler still holds at the end of the input goes to the encoder too.
  void FlushResampler(TOutputStreamState& ost);
  void EncodeAudioFrame(TOutputStreamState& ost, const uint8_t* samples, int count);
  void EncodeAudioFrame(TOutputStreamState& ost, const uint8_t* samples, int count, int64_t pts);
  void WaitWhilePaused();
  bool MatchScaleSource(TOutputStreamState& ost, const TInputStreamState& ist, const AVFrame* picture);
  void RunCustomHook(uint8_t* const work[4], const int workLinesize[4], AVPixelFormat fmt, int w, int h, int64_t pts);

  // Buffers of the run, grown on demand and kept, so steady-state work allocates nothing.
  std::vector<uint8_t> DecodedAudioBuffer;
  std::vector<uint8_t> ResampledAudioBuffer;
  std::vector<uint8_t> FrameAudioBuffer;
  std::vector<uint8_t> SilenceBuffer;
  std::vector<uint8_t> SubtitleBuffer;
  std::vector<uint8_t> HookBuffer;
  std::vector<uint8_t> RgbBuffer;
  std::unique_ptr<THookBitmap> HookBitmap;
  TSwsContextPtr ToRgbContext;
  TSwsContextPtr FromRgbContext;
  TFramePtr DecodedFrame;
  TFramePtr EncoderInput;
  TPacketPtr EncodedPacket;

  std::unique_ptr<TFFmpegThread> WorkerThreadOwner;
  std::vector<std::unique_ptr<TDoTerminateThread>> Reporters;
  std::atomic<bool> TerminateReported{false};
  std::atomic<bool> PauseRequested{false};
  std::mutex PauseLock;
  std::condition_variable PauseChanged;

  void AllocateOptionContexts();
  void SetCrop(int n, int& crop, int& size, const char* side, bool vertical);
  void SetPad(int n, int& pad, const char* side);
  void SetMatrix(const std::string& text, TAvPtr<uint16_t>& matrix);
  void SetCodecName(const std::string& name, TAvText& codecName, int& streamCopy);
  uint32_t ParseTag(const std::string& text, const char* kind);
};

}  // namespace mf
