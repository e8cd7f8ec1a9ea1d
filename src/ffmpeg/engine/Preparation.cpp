// The first half of a transcode: the tables, the choice of a source for every output stream,
// the parameters of copied and encoded streams, the codecs and the headers.
#include <algorithm>
#include <cstring>

#include "EncoderLimits.h"
#include "FFmpeg.h"
#include "LibraryErrors.h"
#include "MessageFormat.h"
#include "OpenErrors.h"

namespace mf {

namespace {

// Returns the tag the copied stream keeps: the source's, unless the container has a table that
// knows the codec under other tags only. A tag the table gives to another codec is dropped too:
// this library's muxers refuse a stream whose tag names another codec than its own (an MPEG-TS
// stream type of 3 is IEEE float to the Matroska muxer).
uint32_t CopiedCodecTag(const AVOutputFormat* format, const AVCodecParameters* source) {
  if (!format->codec_tag) return source->codec_tag;
  if (ff::av_codec_get_id(format->codec_tag, source->codec_tag) == source->codec_id) return source->codec_tag;
  if (ff::av_codec_get_tag(format->codec_tag, source->codec_id) == 0) return source->codec_tag;
  return 0;
}

// The decoder's unit of time: one frame of video, one sample of audio. The decoder contexts of
// this library generation carry no time base of their own, so the stream's rates stand in.
AVRational DecoderTimeBase(const AVCodecContext* decoder, const AVStream* stream) {
  if (decoder && decoder->time_base.num > 0 && decoder->time_base.den > 0) return decoder->time_base;
  const AVCodecParameters* par = stream->codecpar;
  if (par->codec_type == AVMEDIA_TYPE_VIDEO) {
    AVRational rate = stream->r_frame_rate;
    if (rate.num <= 0 || rate.den <= 0) rate = stream->avg_frame_rate;
    if (rate.num > 0 && rate.den > 0) return av_inv_q(rate);
  } else if (par->codec_type == AVMEDIA_TYPE_AUDIO && par->sample_rate > 0) {
    return AVRational{1, par->sample_rate};
  }
  return AVRational{0, 1};
}

// A copied stream keeps the input stream's time base, unless that is a fine clock (below a
// millisecond) and the decoder's unit is coarser: containers that count frames (AVI) would
// otherwise fill every tick between two frames with an empty one.
AVRational CopiedTimeBase(const AVCodecContext* decoder, const AVStream* stream) {
  const AVRational decoderBase = DecoderTimeBase(decoder, stream);
  const AVRational streamBase = stream->time_base;
  if (decoderBase.num > 0 && av_cmp_q(decoderBase, streamBase) > 0 && av_q2d(streamBase) < 0.001) return decoderBase;
  return streamBase;
}

}  // namespace

void TCustomFFmpeg::FailPreparation(const std::string& message) {
  CloseOpenCodecs();
  ReleaseTranscodeState();
  throw FFMpegException(message);
}

int TCustomFFmpeg::FindProgramStream(AVMediaType type) {
  for (int file = 0; file < InputFileCount; ++file) {
    const AVFormatContext* input = InputFiles[file].get();
    for (unsigned p = 0; p < input->nb_programs; ++p) {
      const AVProgram* program = input->programs[p];
      if (program->id != ProgramId) continue;
      for (unsigned k = 0; k < program->nb_stream_indexes; ++k) {
        const int index = InputFileStates[file].FirstStream + static_cast<int>(program->stream_index[k]);
        if (index >= static_cast<int>(InputStreams.size())) continue;
        const TInputStreamState& ist = *InputStreams[index];
        if (ist.Discard && ist.Stream->codecpar->codec_type == type) return index;
      }
    }
  }
  return -1;
}

void TCustomFFmpeg::PrepareTranscode() {
  // Whatever an earlier run left is closed and released before its tables are replaced.
  ReleaseTranscodeState();

  // Input tables.
  InputFileStates.assign(static_cast<size_t>(InputFileCount), TInputFileState{});
  InputStreams.clear();
  for (int file = 0; file < InputFileCount; ++file) {
    AVFormatContext* input = InputFiles[file].get();
    InputFileStates[file].FirstStream = static_cast<int>(InputStreams.size());
    InputFileStates[file].StreamCount = static_cast<int>(input->nb_streams);
    for (unsigned s = 0; s < input->nb_streams; ++s) {
      auto ist = std::make_unique<TInputStreamState>();
      ist->FileIndex = file;
      ist->StreamIndex = static_cast<int>(s);
      ist->Stream = input->streams[s];
      ist->Decoder = s < InputDecoders[file].size() ? InputDecoders[file][s].get() : nullptr;
      if (InputRateEmulation[file]) ist->RateStart = ff::av_gettime_relative();
      InputStreams.push_back(std::move(ist));
    }
  }

  // Output stream count.
  int total = 0;
  for (int file = 0; file < OutputFileCount; ++file) {
    const int count = static_cast<int>(OutputFiles[file]->nb_streams);
    if (count == 0) FailPreparation("Output file does not contain any stream");
    total += count;
  }
  if (StreamMapCount > 0 && StreamMapCount != total)
    FailPreparation("Number of stream maps must match number of output streams");

  // Stream maps must name existing streams.
  for (int m = 0; m < StreamMapCount; ++m) {
    const TStreamMap& map = StreamMaps[m];
    auto exists = [&](int file, int stream) {
      return file >= 0 && file < InputFileCount && stream >= 0 && stream < InputFileStates[file].StreamCount;
    };
    if (!exists(map.FileIndex, map.StreamIndex))
      FailPreparation(FormatMessage("Could not find input stream #%d.%d", {map.FileIndex, map.StreamIndex}));
    if (!exists(map.SyncFileIndex, map.SyncStreamIndex))
      FailPreparation(FormatMessage("Could not find sync stream #%d.%d", {map.SyncFileIndex, map.SyncStreamIndex}));
  }

  // Output stream table and the source of every output stream.
  OutputStreams.clear();
  for (int file = 0; file < OutputFileCount; ++file) {
    AVFormatContext* output = OutputFiles[file].get();
    for (unsigned s = 0; s < output->nb_streams; ++s) {
      auto ost = std::make_unique<TOutputStreamState>();
      ost->FileIndex = file;
      ost->StreamIndex = static_cast<int>(s);
      ost->Stream = output->streams[s];
      if (s < OutputStreamSetups[file].size()) {
        TOutputStreamSetup& setup = OutputStreamSetups[file][s];
        ost->Encoder = setup.Encoder.get();
        ost->StreamCopy = setup.StreamCopy;
      }
      if (!ost->Encoder) FailPreparation("invalid codec_type of output stream");
      const AVMediaType type = ost->Encoder->codec_type;
      const int globalIndex = static_cast<int>(OutputStreams.size());
      int source = -1;
      if (StreamMapCount > 0) {
        const TStreamMap& map = StreamMaps[globalIndex];
        source = InputFileStates[map.FileIndex].FirstStream + map.StreamIndex;
        if (InputStreams[source]->Stream->codecpar->codec_type != type)
          FailPreparation(FormatMessage("Codec type mismatch for mapping #%d.%d -> #%d.%d",
                                        {map.FileIndex, map.StreamIndex, file, static_cast<int>(s)}));
      } else if (ProgramId != 0) {
        source = FindProgramStream(type);
      } else {
        for (size_t i = 0; i < InputStreams.size() && source < 0; ++i)
          if (InputStreams[i]->Discard && InputStreams[i]->Stream->codecpar->codec_type == type) source = static_cast<int>(i);
        // One input stream may feed several outputs: fall back to the last one of the type.
        for (size_t i = InputStreams.size(); i-- > 0 && source < 0;)
          if (InputStreams[i]->Stream->codecpar->codec_type == type) source = static_cast<int>(i);
      }
      if (source < 0) {
        ff::av_dump_format(output, file, output->url, 1);
        FailPreparation(FormatMessage("Could not find input stream matching output stream #%d.%d", {file, static_cast<int>(s)}));
      }
      ost->SourceIndex = source;
      InputStreams[source]->Discard = false;
      if (StreamMapCount > 0) {
        const TStreamMap& map = StreamMaps[globalIndex];
        ost->SyncSource = InputStreams[InputFileStates[map.SyncFileIndex].FirstStream + map.SyncStreamIndex].get();
      } else {
        ost->SyncSource = InputStreams[source].get();
      }
      OutputStreams.push_back(std::move(ost));
    }
  }

  // Parameters of every output stream.
  for (size_t index = 0; index < OutputStreams.size(); ++index) {
    TOutputStreamState& ost = *OutputStreams[index];
    TInputStreamState& ist = *InputStreams[ost.SourceIndex];
    AVCodecContext* enc = ost.Encoder;
    const AVCodecParameters* dec = ist.Stream->codecpar;
    const AVOutputFormat* format = OutputFiles[ost.FileIndex]->oformat;

    if (!ff::av_dict_get(ost.Stream->metadata, "language", nullptr, 0)) {
      const AVDictionaryEntry* language = ff::av_dict_get(ist.Stream->metadata, "language", nullptr, 0);
      if (language) ff::av_dict_set(&ost.Stream->metadata, "language", language->value, 0);
    }
    ost.Stream->disposition = ist.Stream->disposition;

    if (ost.StreamCopy) {
      const uint32_t forcedTag = enc->codec_tag;
      if (ff::avcodec_parameters_copy(ost.Stream->codecpar, dec) < 0) FailPreparation("av_mallocz fail");
      ost.Stream->codecpar->codec_tag = forcedTag ? forcedTag : CopiedCodecTag(format, dec);
      ost.Stream->time_base = CopiedTimeBase(ist.Decoder, ist.Stream);
      switch (dec->codec_type) {
        case AVMEDIA_TYPE_AUDIO:
          if (AudioVolume != 256) FailPreparation("-acodec copy and -vol are incompatible (frames are not decoded)");
          if ((ost.Stream->codecpar->block_align == 1 && dec->codec_id == AV_CODEC_ID_MP3) ||
              dec->codec_id == AV_CODEC_ID_AC3)
            ost.Stream->codecpar->block_align = 0;
          break;
        case AVMEDIA_TYPE_VIDEO:
          if (CustomHookHandler)
            FailPreparation("-vcodec copy and CustomHook are incompatible (frames are not decoded)");
          if (UsingVideoHooks) FailPreparation("-vcodec copy and -vhook are incompatible (frames are not decoded)");
          break;
        case AVMEDIA_TYPE_SUBTITLE: break;
        default: FailPreparation("invalid codec_type of output stream");
      }
    } else {
      switch (enc->codec_type) {
        case AVMEDIA_TYPE_AUDIO:
          ost.SampleFifo.reset(ff::av_fifo_alloc2(1024, 1, AV_FIFO_FLAG_AUTO_GROW));
          if (!ost.SampleFifo) FailPreparation("av_fifo_init fail");
          ost.AudioResample = enc->sample_rate != ist.Decoder->sample_rate || AudioSyncMethod > 1;
          break;
        case AVMEDIA_TYPE_VIDEO: PrepareVideoGeometry(ost, ist); break;
        case AVMEDIA_TYPE_SUBTITLE: break;
        default: FailPreparation("invalid codec_type of output stream");
      }
      ost.EncodingNeeded = true;
      ist.DecodingNeeded = true;
      if (enc->flags & (AV_CODEC_FLAG_PASS1 | AV_CODEC_FLAG_PASS2)) PreparePassLogFile(ost, static_cast<int>(index));
    }
  }

  // The outputs' descriptions.
  for (int file = 0; file < OutputFileCount; ++file)
    ff::av_dump_format(OutputFiles[file].get(), file, OutputFiles[file]->url, 1);

  // Which input stream feeds which output stream.
  if (Verbosity >= 0 && LogHandler) {
    Log(1, "Stream mapping:");
    for (const auto& ost : OutputStreams) {
      const TInputStreamState& source = *InputStreams[ost->SourceIndex];
      Log(1, FormatMessage("  Stream #%d.%d -> #%d.%d", {source.FileIndex, source.StreamIndex, ost->FileIndex, ost->StreamIndex}));
      if (ost->SyncSource != &source)
        Log(1, FormatMessage(" [sync #%d.%d]", {ost->SyncSource->FileIndex, ost->SyncSource->StreamIndex}));
    }
  }

  // Opens the decoder of an input stream once.
  auto openDecoder = [this](TInputStreamState& ist) {
    if (std::find(OpenDecoders.begin(), OpenDecoders.end(), &ist) != OpenDecoders.end()) return;
    const AVCodec* decoder = ist.Decoder ? ff::avcodec_find_decoder(ist.Decoder->codec_id) : nullptr;
    if (!decoder)
      FailPreparation(FormatMessage("Unsupported codec (id=%d) for input stream #%d.%d",
                                    {static_cast<int>(ist.Stream->codecpar->codec_id), ist.FileIndex, ist.StreamIndex}));
    ist.Decoder->pkt_timebase = ist.Stream->time_base;
    int result;
    {
      std::lock_guard<std::recursive_mutex> lock(CodecLock());
      result = ff::avcodec_open2(ist.Decoder, decoder, nullptr);
      if (result >= 0) OpenDecoders.push_back(&ist);
    }
    if (result < 0)
      FailPreparation(FormatMessage("Error while opening codec for input stream #%d.%d", {ist.FileIndex, ist.StreamIndex}));
  };

  // Encoders.
  for (const auto& ostPtr : OutputStreams) {
    TOutputStreamState& ost = *ostPtr;
    if (!ost.EncodingNeeded) continue;
    // Text subtitle encoders refuse to open without the style header that their source's
    // decoder makes when it opens: that decoder opens first and lends them a copy.
    AVCodecContext* enc = ost.Encoder;
    if (enc->codec_type == AVMEDIA_TYPE_SUBTITLE && !enc->subtitle_header) {
      TInputStreamState& source = *InputStreams[ost.SourceIndex];
      openDecoder(source);
      const AVCodecContext* dec = source.Decoder;
      if (dec->subtitle_header && dec->subtitle_header_size > 0) {
        // Freed by the encoder context.
        enc->subtitle_header = static_cast<uint8_t*>(ff::av_mallocz(static_cast<size_t>(dec->subtitle_header_size) + 1));
        if (!enc->subtitle_header) FailPreparation("av_mallocz fail");
        std::memcpy(enc->subtitle_header, dec->subtitle_header, static_cast<size_t>(dec->subtitle_header_size));
        enc->subtitle_header_size = dec->subtitle_header_size;
      }
    }
    OpenEncoder(ost);
  }

  // Decoders.
  for (const auto& istPtr : InputStreams)
    if (istPtr->DecodingNeeded) openDecoder(*istPtr);

  // Stream clocks.
  for (const auto& ist : InputStreams) {
    ist->Pts = 0;
    ist->NextPts = AV_NOPTS_VALUE;
    ist->IsStart = true;
  }

  // Metadata maps.
  for (int m = 0; m < MetaDataMapCount; ++m) {
    const TMetaDataMap& map = MetaDataMaps[m];
    if (map.OutFile < 0 || map.OutFile >= OutputFileCount)
      FailPreparation(FormatMessage("Invalid output file index %d map_meta_data(%d,%d)", {map.OutFile, map.OutFile, map.InFile}));
    if (map.InFile < 0 || map.InFile >= InputFileCount)
      FailPreparation(FormatMessage("Invalid input file index %d map_meta_data(%d,%d)", {map.InFile, map.OutFile, map.InFile}));
    // The texts keep the lengths the tags have always had room for.
    static const struct {
      const char* Key;
      size_t Limit;
    } tags[] = {{"title", 511},   {"artist", 511}, {"author", 511}, {"copyright", 511}, {"comment", 511},
                {"album", 511},   {"date", 511},   {"track", 511},  {"genre", 31}};
    for (const auto& tag : tags) {
      const AVDictionaryEntry* entry = ff::av_dict_get(InputFiles[map.InFile]->metadata, tag.Key, nullptr, 0);
      if (entry)
        ff::av_dict_set(&OutputFiles[map.OutFile]->metadata, tag.Key, std::string(entry->value).substr(0, tag.Limit).c_str(), 0);
    }
  }

  // Headers.
  bool allRtp = OutputFileCount > 0;
  for (int file = 0; file < OutputFileCount; ++file) {
    AVFormatContext* output = OutputFiles[file].get();
    TLibraryErrorCollector libraryReason;
    const int result = ff::avformat_write_header(output, nullptr);
    if (result < 0)
      FailPreparation(libraryReason.Explained(
          FormatMessage("Could not write header for output file #%d (incorrect codec parameters ?)", {file})));
    if (std::strcmp(output->oformat->name, "rtp") != 0) allRtp = false;
  }

  // Session description of rtp outputs.
  if (allRtp && LogHandler) {
    std::vector<AVFormatContext*> outputs;
    for (int file = 0; file < OutputFileCount; ++file) outputs.push_back(OutputFiles[file].get());
    char sdp[2048] = {};
    ff::av_sdp_create(outputs.data(), static_cast<int>(outputs.size()), sdp, sizeof sdp);
    std::string text = sdp;
    while (!text.empty() && static_cast<unsigned char>(text.back()) <= ' ') text.pop_back();
    size_t start = 0;
    while (start < text.size() && static_cast<unsigned char>(text[start]) <= ' ') ++start;
    Log(1, "SDP: " + text.substr(start));
  }

  // The main loop's first progress report counts from here.
  TranscodeStartTime = ff::av_gettime_relative();
}

void TCustomFFmpeg::OpenEncoder(TOutputStreamState& ost) {
  AVCodecContext* enc = ost.Encoder;
  const TOutputStreamSetup& setup = OutputStreamSetups[ost.FileIndex][ost.StreamIndex];
  const std::string openFailure =
      FormatMessage("Error while opening codec for output stream #%d.%d - maybe incorrect parameters such as bit_rate, rate, width or height",
                    {ost.FileIndex, ost.StreamIndex});
  if (setup.EngineAmrNb) {
    // The engine's own encoder takes narrow-band speech only, as the library's did.
    if (enc->sample_rate != TAmrNbEncoder::SampleRate || enc->ch_layout.nb_channels != 1)
      FailPreparation(openFailure + " (AMR-NB takes " + std::to_string(TAmrNbEncoder::SampleRate) + " Hz mono sound only, not " +
                      std::to_string(enc->sample_rate) + " Hz with " + std::to_string(enc->ch_layout.nb_channels) +
                      " channels)");
    ost.AmrNb = std::make_unique<TAmrNbEncoder>();
    if (!ost.AmrNb->Open(enc->bit_rate)) FailPreparation(openFailure);
    enc->frame_size = TAmrNbEncoder::FrameSamples;
    enc->bit_rate = ost.AmrNb->BitRate();
    enc->time_base = AVRational{1, TAmrNbEncoder::SampleRate};
    AVCodecParameters* par = ost.Stream->codecpar;
    par->codec_type = AVMEDIA_TYPE_AUDIO;
    par->codec_id = AV_CODEC_ID_AMR_NB;
    par->sample_rate = TAmrNbEncoder::SampleRate;
    ff::av_channel_layout_default(&par->ch_layout, 1);
    par->frame_size = TAmrNbEncoder::FrameSamples;
    par->bit_rate = enc->bit_rate;
    par->format = AV_SAMPLE_FMT_S16;
    ost.Stream->time_base = enc->time_base;
    return;
  }
  const AVCodec* codec = enc->codec ? enc->codec : ff::avcodec_find_encoder(enc->codec_id);
  if (!codec)
    FailPreparation(FormatMessage("Unsupported codec for output stream #%d.%d", {ost.FileIndex, ost.StreamIndex}));
  // The long message stays the first words of every refusal; the reason follows in brackets,
  // ours when we know the encoder's limits, else the library's own when it logged one.
  if (const std::string reason = EncoderRefusal(*codec, *enc); !reason.empty())
    FailPreparation(openFailure + " (" + reason + ")");
  int result;
  TLibraryErrorCollector libraryReason;
  {
    std::lock_guard<std::recursive_mutex> lock(CodecLock());
    result = ff::avcodec_open2(enc, codec, nullptr);
    if (result >= 0) OpenEncoders.push_back(&ost);
  }
  if (result < 0) FailPreparation(libraryReason.Explained(openFailure));
  HeaderBytes += enc->extradata_size;
  if (ff::avcodec_parameters_from_context(ost.Stream->codecpar, enc) < 0) FailPreparation("av_mallocz fail");
  ost.Stream->time_base = enc->time_base;
}

void TCustomFFmpeg::PrepareVideoGeometry(TOutputStreamState& ost, const TInputStreamState& ist) {
  const AVCodecContext* enc = ost.Encoder;
  const AVCodecParameters* dec = ist.Stream->codecpar;
  ost.VideoCrop = CropTop + CropBottom + CropLeft + CropRight != 0;
  ost.VideoPad = PadTop + PadBottom + PadLeft + PadRight != 0;
  ost.VideoResample = enc->width + CropLeft + CropRight != dec->width + PadLeft + PadRight ||
                      enc->height + CropTop + CropBottom != dec->height + PadTop + PadBottom ||
                      enc->pix_fmt != static_cast<AVPixelFormat>(dec->format);
  if (ost.VideoCrop) {
    ost.BandTop = CropTop;
    ost.BandLeft = CropLeft;
  }
  // What the pictures are expected to look like once cropped; the video path rebuilds the
  // scaler when they arrive otherwise.
  ost.ScaleWidth = dec->width - CropLeft - CropRight;
  ost.ScaleHeight = dec->height - CropTop - CropBottom;
  ost.ScaleFormat = dec->format;
  if (ost.VideoPad) {
    ost.PaddingTop = PadTop;
    ost.PaddingBottom = PadBottom;
    ost.PaddingLeft = PadLeft;
    ost.PaddingRight = PadRight;
  }
  if (ost.VideoPad || ost.VideoResample) {
    ost.TempPicture.reset(ff::av_frame_alloc());
    bool allocated = false;
    if (ost.TempPicture) {
      ost.TempPicture->format = enc->pix_fmt;
      ost.TempPicture->width = enc->width;
      ost.TempPicture->height = enc->height;
      allocated = ff::av_frame_get_buffer(ost.TempPicture.get(), 0) >= 0;
    }
    if (!allocated) FailPreparation(ost.VideoResample ? "Cannot allocate temp picture, check pix fmt" : "avpicture_alloc fail");
  }
  if (ost.VideoResample) {
    int64_t flags = SwsFlags;
    if (ScalerOptionContext) ff::av_opt_get_int(ScalerOptionContext.get(), "sws_flags", 0, &flags);
    ost.ScaleContext.reset(ff::sws_getContext(
        dec->width - CropLeft - CropRight, dec->height - CropTop - CropBottom, static_cast<AVPixelFormat>(dec->format),
        enc->width - PadLeft - PadRight, enc->height - PadTop - PadBottom, enc->pix_fmt, static_cast<int>(flags), nullptr,
        nullptr, nullptr));
    if (!ost.ScaleContext) FailPreparation("Cannot get resampling context");
    ost.ResampleHeight = dec->height - CropTop - CropBottom;
  }
}

void TCustomFFmpeg::PreparePassLogFile(TOutputStreamState& ost, int globalIndex) {
  std::string name = (PassLogFileName.empty() ? std::string("ffmpeg2pass") : PassLogFileName) + "-" +
                     std::to_string(globalIndex) + ".log";
  if (name.size() >= 1024) name.resize(1023);
  AVCodecContext* enc = ost.Encoder;
  // Encoders that keep their statistics in a file of their own (libx264) are given the same
  // name, so both passes find them where the engine's own text would be.
  if (enc->priv_data) ff::av_opt_set(enc->priv_data, "stats", name.c_str(), 0);
  if (enc->flags & AV_CODEC_FLAG_PASS1) {
    ost.PassLogFile.reset(ff::my_fopen(name.c_str(), "w"));
    if (!ost.PassLogFile) FailPreparation("creat file fail: " + name);
    return;
  }
  TMyFilePtr file(ff::my_fopen(name.c_str(), "r"));
  if (!file) FailPreparation("creat open fail: " + name);
  ff::my_fseek(file.get(), 0, SEEK_END);
  const long size = ff::my_ftell(file.get());
  ff::my_fseek(file.get(), 0, SEEK_SET);
  ost.Pass2Stats.reset(static_cast<char*>(ff::av_malloc(static_cast<size_t>(size < 0 ? 0 : size) + 1)));
  if (!ost.Pass2Stats) FailPreparation("Could not allocate log buffer");
  const size_t read = size > 0 ? ff::my_fread(ost.Pass2Stats.get(), 1, static_cast<size_t>(size), file.get()) : 0;
  ost.Pass2Stats.get()[read] = '\0';
  // The encoder borrows the text; it is taken back before the buffer goes.
  enc->stats_in = ost.Pass2Stats.get();
}

void TCustomFFmpeg::CloseOpenCodecs() {
  std::lock_guard<std::recursive_mutex> lock(CodecLock());
  for (TOutputStreamState* ost : OpenEncoders) {
    ost->Encoder->stats_in = nullptr;
    ost->Pass2Stats.reset();
    ff::avcodec_close(ost->Encoder);
  }
  OpenEncoders.clear();
  for (TInputStreamState* ist : OpenDecoders) ff::avcodec_close(ist->Decoder);
  OpenDecoders.clear();
}

void TCustomFFmpeg::ReleaseTranscodeState() {
  // The lists of open codecs point into the tables, and open encoders borrow the tables'
  // pass-2 texts: whatever is still open is closed before the tables go.
  CloseOpenCodecs();
  OutputStreams.clear();
  InputStreams.clear();
  InputFileStates.clear();
}

void TCustomFFmpeg::WritePacket(TOutputStreamState& ost, AVPacket* packet) {
  AVFormatContext* output = OutputFiles[ost.FileIndex].get();
  packet->stream_index = ost.StreamIndex;
  if (packet->pts != AV_NOPTS_VALUE) {
    const int64_t end = packet->pts + (packet->duration > 0 ? packet->duration : 0);
    if (end > ost.CurrentPts) ost.CurrentPts = end;
  } else if (packet->dts != AV_NOPTS_VALUE && packet->dts > ost.CurrentPts) {
    ost.CurrentPts = packet->dts;
  }
  // The muxer takes the packet's reference, whatever the result.
  const int result = ff::av_interleaved_write_frame(output, packet);
  if (result < 0) throw FFMpegException(OpenErrorText("av_interleaved_write_frame()", OpenErrorCode(result, true)));
}

}  // namespace mf
