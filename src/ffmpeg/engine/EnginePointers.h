// Owners of the library objects the engine holds: each pointer frees its object through the
// bound free function of the library that allocated it.
#pragma once

#include <cstdio>
#include <memory>
#include <string_view>

#include "CodecLibraries.h"

namespace mf {

// Anything from av_malloc, av_mallocz or av_strdup.
struct TAvFreeDeleter {
  void operator()(void* p) const { ff::av_free(p); }
};
template <typename T>
using TAvPtr = std::unique_ptr<T, TAvFreeDeleter>;

// A zero-terminated text allocated by the library; null means "not given".
using TAvText = TAvPtr<char>;

// A library-allocated copy of text. Throws std::bad_alloc when the library has no memory.
TAvText DupText(std::string_view text);

struct TCodecContextDeleter {
  void operator()(AVCodecContext* c) const { ff::avcodec_free_context(&c); }
};
using TCodecContextPtr = std::unique_ptr<AVCodecContext, TCodecContextDeleter>;

// A format context that was never opened as an input or given a file.
struct TFormatContextDeleter {
  void operator()(AVFormatContext* c) const { ff::avformat_free_context(c); }
};
using TFormatContextPtr = std::unique_ptr<AVFormatContext, TFormatContextDeleter>;

struct TInputFormatContextDeleter {
  void operator()(AVFormatContext* c) const { ff::avformat_close_input(&c); }
};
using TInputFormatContextPtr = std::unique_ptr<AVFormatContext, TInputFormatContextDeleter>;

// An output closes its file (when its format writes one) before the context goes.
struct TOutputFormatContextDeleter {
  void operator()(AVFormatContext* c) const {
    if (c->oformat && !(c->oformat->flags & AVFMT_NOFILE) && c->pb) ff::avio_closep(&c->pb);
    ff::avformat_free_context(c);
  }
};
using TOutputFormatContextPtr = std::unique_ptr<AVFormatContext, TOutputFormatContextDeleter>;

struct TSwsContextDeleter {
  void operator()(SwsContext* c) const { ff::sws_freeContext(c); }
};
using TSwsContextPtr = std::unique_ptr<SwsContext, TSwsContextDeleter>;

struct TBsfContextDeleter {
  void operator()(AVBSFContext* c) const { ff::av_bsf_free(&c); }
};
using TBsfContextPtr = std::unique_ptr<AVBSFContext, TBsfContextDeleter>;

// A file opened with the support library's my_fopen.
struct TMyFileCloser {
  void operator()(FILE* f) const { ff::my_fclose(f); }
};
using TMyFilePtr = std::unique_ptr<FILE, TMyFileCloser>;

}  // namespace mf
