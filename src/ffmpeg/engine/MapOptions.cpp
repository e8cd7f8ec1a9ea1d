#include "FFmpeg.h"
#include "MessageFormat.h"
#include "OptionParsing.h"

namespace mf {

// Numbers are read as strtol reads them (base 0); any single character separates them and a
// missing number reads 0.
void TCustomFFmpeg::AddStreamMap(const std::string& text) {
  RequireCodecLibraries();
  CheckStreamMapRoom();
  TStreamMap map;
  char* p = const_cast<char*>(text.c_str());
  map.FileIndex = StrtolInt32(p, &p);
  if (*p) map.StreamIndex = StrtolInt32(++p, &p);
  if (*p) {
    map.SyncFileIndex = StrtolInt32(++p, &p);
    if (*p) ++p;
    map.SyncStreamIndex = StrtolInt32(p, &p);
  } else {
    map.SyncFileIndex = map.FileIndex;
    map.SyncStreamIndex = map.StreamIndex;
  }
  StreamMaps[StreamMapCount++] = map;
}

void TCustomFFmpeg::AddMetaDataMap(const std::string& text) {
  RequireCodecLibraries();
  CheckMetaDataMapRoom();
  TMetaDataMap map;
  char* p = const_cast<char*>(text.c_str());
  map.OutFile = StrtolInt32(p, &p);
  if (*p) map.InFile = StrtolInt32(++p, &p);
  MetaDataMaps[MetaDataMapCount++] = map;
}

// Applies to the input that will be opened next.
void TCustomFFmpeg::SetInputTsScale(const std::string& text) {
  RequireCodecLibraries();
  char* p = const_cast<char*>(text.c_str());
  const long stream = ff::my_strtol(p, &p, 0);
  if (*p) ++p;
  const double scale = ff::my_strtod(p, &p);
  if (stream < 0 || stream >= MaxStreams)
    throw FFMpegException(FormatMessage("stream index over MAX_STREAMS(%d)", {MaxStreams}));
  CheckInputFileRoom();
  InputFileTsScales[InputFileCount][stream] = scale;
}

}  // namespace mf
