#include "EncoderLimits.h"

#include <algorithm>
#include <vector>

namespace mf {

namespace {

// "a, b or c"
std::string Choices(std::vector<std::string> items) {
  std::string text;
  for (size_t i = 0; i < items.size(); ++i) {
    if (i > 0) text += i + 1 == items.size() ? " or " : ", ";
    text += items[i];
  }
  return text;
}

std::string NumberChoices(std::vector<int> values) {
  std::sort(values.begin(), values.end());
  values.erase(std::unique(values.begin(), values.end()), values.end());
  std::vector<std::string> items;
  for (const int value : values) items.push_back(std::to_string(value));
  return Choices(items);
}

// The codec's name as users meet it: "MP2 (MPEG audio layer 2)"; of a family named in one
// breath ("H.263 / H.263-1996, H.263+ / ...") the first member.
std::string CodecTitle(const AVCodec& codec, AVCodecID id) {
  const AVCodecDescriptor* descriptor = ff::avcodec_descriptor_get(id);
  std::string title = descriptor && descriptor->long_name ? descriptor->long_name
                      : codec.long_name                   ? codec.long_name
                                                          : codec.name;
  return title.substr(0, std::min(title.find(" / "), title.find(", ")));
}

// Layer II knows fixed bit rates, one table for MPEG-1 sample rates and one for the half rates
// of MPEG-2; the encoder takes nothing in between.
constexpr int Mp2MpegOneKbps[] = {32, 48, 56, 64, 80, 96, 112, 128, 160, 192, 224, 256, 320, 384};
constexpr int Mp2HalfRateKbps[] = {8, 16, 24, 32, 40, 48, 56, 64, 80, 96, 112, 128, 144, 160};

// Windows Media Audio's highest rate.
constexpr int WmaHighestRate = 48000;

// The five picture formats of baseline H.263 (sub-QCIF to 16CIF).
constexpr struct {
  int Width, Height;
} H263Sizes[] = {{128, 96}, {176, 144}, {352, 288}, {704, 576}, {1408, 1152}};

std::string AudioRefusal(const AVCodec& codec, const AVCodecContext& enc, const std::string& title) {
  const int rate = enc.sample_rate;
  if (codec.supported_samplerates) {
    std::vector<int> rates;
    for (const int* r = codec.supported_samplerates; *r != 0; ++r) rates.push_back(*r);
    if (std::find(rates.begin(), rates.end(), rate) == rates.end())
      return title + " takes the sample rates " + NumberChoices(rates) + " Hz only, not " + std::to_string(rate) + " Hz";
  }
  if ((enc.codec_id == AV_CODEC_ID_WMAV1 || enc.codec_id == AV_CODEC_ID_WMAV2) && rate > WmaHighestRate)
    return title + " takes sample rates up to " + std::to_string(WmaHighestRate) + " Hz only, not " + std::to_string(rate) +
           " Hz";
  if (enc.codec_id == AV_CODEC_ID_MP2 && enc.bit_rate > 0) {
    const bool halfRate = rate < 32000;
    const std::vector<int> table = halfRate ? std::vector<int>(std::begin(Mp2HalfRateKbps), std::end(Mp2HalfRateKbps))
                                            : std::vector<int>(std::begin(Mp2MpegOneKbps), std::end(Mp2MpegOneKbps));
    const int kbps = static_cast<int>(enc.bit_rate / 1000);
    if (std::find(table.begin(), table.end(), kbps) == table.end())
      return title + " at " + std::to_string(rate) + " Hz takes the bit rates " + NumberChoices(table) + " Kbps only, not " +
             std::to_string(kbps) + " Kbps";
  }
  if (codec.ch_layouts) {
    std::vector<int> counts;
    for (const AVChannelLayout* layout = codec.ch_layouts; layout->nb_channels != 0; ++layout)
      counts.push_back(layout->nb_channels);
    const int channels = enc.ch_layout.nb_channels;
    if (!counts.empty() && std::find(counts.begin(), counts.end(), channels) == counts.end())
      return title + " takes " + NumberChoices(counts) + " channels only, not " + std::to_string(channels);
  }
  return "";
}

std::string VideoRefusal(const AVCodecContext& enc, const std::string& title) {
  if (enc.codec_id == AV_CODEC_ID_H263) {
    std::vector<std::string> sizes;
    bool known = false;
    for (const auto& size : H263Sizes) {
      sizes.push_back(std::to_string(size.Width) + "x" + std::to_string(size.Height));
      known = known || (size.Width == enc.width && size.Height == enc.height);
    }
    if (!known)
      return title + " takes the frame sizes " + Choices(sizes) + " only, not " + std::to_string(enc.width) + "x" +
             std::to_string(enc.height);
  }
  return "";
}

}  // namespace

std::string EncoderRefusal(const AVCodec& codec, const AVCodecContext& enc) {
  const std::string title = CodecTitle(codec, enc.codec_id);
  if (enc.codec_type == AVMEDIA_TYPE_AUDIO) return AudioRefusal(codec, enc, title);
  if (enc.codec_type == AVMEDIA_TYPE_VIDEO) return VideoRefusal(enc, title);
  return "";
}

}  // namespace mf
