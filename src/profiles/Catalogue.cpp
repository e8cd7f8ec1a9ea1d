#include "Catalogue.h"

#include <algorithm>

namespace mf {

namespace {

// The 40 rows: each catalogue entry in order, with the separators at their rows.
constexpr std::array<const TheAVCodec*, OutputFormatRowCount> BuildRows() {
  std::array<const TheAVCodec*, OutputFormatRowCount> rows{};
  std::size_t entry = 0;
  std::size_t separator = 0;
  for (int row = 0; row < OutputFormatRowCount; ++row) {
    if (separator < OutputFormatSeparatorRows.size() && OutputFormatSeparatorRows[separator] == row) {
      rows[row] = nullptr;
      ++separator;
    } else {
      rows[row] = &OutputFormatTable[entry++];
    }
  }
  return rows;
}

constexpr std::array<const TheAVCodec*, OutputFormatRowCount> OutputFormatRows = BuildRows();

constexpr bool CaptionsUnique() {
  for (std::size_t i = 0; i < OutputFormatTable.size(); ++i)
    for (std::size_t j = i + 1; j < OutputFormatTable.size(); ++j)
      if (OutputFormatTable[i].Caption == OutputFormatTable[j].Caption) return false;
  return true;
}

static_assert(OutputFormatRowCount == 40);
static_assert(SeparatorCaption.size() == 55);
static_assert(CaptionsUnique(), "captions are the look-up key");

// 24 description and pattern pairs, each followed by "|". The blanks after some semicolons
// and the missing blank in "Windows Media Files(" belong to the stored text: keep them.
constexpr std::string_view Filter =
    "All Supported Files|*.avi;*.mpeg;*.mpg;*.mpa;*.m1v;*.mv2;*.wma;*.wmv;*.asf;*.asx;*.mov; *.qt;*.3gp;*.3g2;*.mp3;*.mp2;*.ogg;*.aac;*.mp4;*.m4a;*.rm;*.rmvb;*.ram;*.ra;*.vob; *.dat;*.cda;*.dv; *.dif;*.wav; *.au; *.aiff;*.mjpg; *.mjpeg;*.ac3; *.gif; *.swf; *.flv|"
    "3GPP Files (*.3gp)|*.3gp|"
    "3GPP2 Files (*.3g2)|*.3g2|"
    "AAC Files (*.aac)|*.aac|"
    "AC3 Files (*.ac3)|*.ac3|"
    "Audio CD Files (*.cda)|*.cda|"
    "AVI Files (*.avi)|*.avi|"
    "DV Video Files (*.dv, *.dif)|*.dv;*.dif|"
    "DVD VOB Files (*.vob)|*.vob|"
    "GIF Animated Files (*.gif)|*.gif|"
    "Macromedia Flash Files (*.flv, *.swf)|*.flv; *.swf|"
    "Monkey Audio Files (*.ape, *.cue)|*.ape;*.cue|"
    "MJpeg Video Files (*.mjpg, *.mjpeg)|*.mjpg; *.mjpeg|"
    "MP2 Files (*.mp2)|*.mp2|"
    "MP3 Files (*.mp3)|*.mp3|"
    "MPEG Files (*.mpeg, *.mpg, *.mpa, *.m1v, *.mv2)|*.mpeg;*.mpg;*.mpa;*.m1v;*.mv2|"
    "MPEG-4 Files (*.mp4)|*.mp4|"
    "MPEG-4 Audio Files (*.m4a, *.mp4)|*.m4a; *.mp4|"
    "Ogg Vorbis Files (*.ogg)|*.ogg|"
    "RealMedia Files (*.rm, *.rmvb, *.ram, *.ra)|*.rm; *.rmvb; *.ram; *.ra|"
    "QuickTime Files (*.mov, *.qt)|*.mov; *.qt|"
    "VCD DAT Files (*.dat)|*.dat|"
    "WAV Files (*.wav, *.au, *.aiff)|*.wav; *.au; *.aiff|"
    "Windows Media Files(*.wma, *.wmv, *.asf, *.asx)|*.wma;*.wmv;*.asf;*.asx|";

static_assert(Filter.size() == 1156);

}  // namespace

const TheAVCodec* OutputFormatRowEntry(int row) {
  if (row < 0 || row >= OutputFormatRowCount) return nullptr;
  return OutputFormatRows[row];
}

std::string_view OutputFormatRowCaption(int row) {
  const TheAVCodec* entry = OutputFormatRowEntry(row);
  return entry ? entry->Caption : SeparatorCaption;
}

bool IsSeparatorText(std::string_view text) {
  return text.find("              ----") != std::string_view::npos;
}

const TheAVCodec* FindProfileByCaption(std::string_view caption) {
  auto found = std::find_if(OutputFormatTable.begin(), OutputFormatTable.end(),
                            [caption](const TheAVCodec& entry) { return entry.Caption == caption; });
  return found == OutputFormatTable.end() ? nullptr : &*found;
}

void FillComboOutputFormat(TProfileControls& controls) {
  controls.ClearBox(TOptionBox::OutputFormat);
  for (int row = 0; row < OutputFormatRowCount; ++row)
    controls.AddCaption(TOptionBox::OutputFormat, OutputFormatRowCaption(row));
  controls.SetDropDownCount(TOptionBox::OutputFormat, OutputFormatRowCount);
  controls.SelectIndex(TOptionBox::OutputFormat, 0);
}

std::string_view OpenDialogFilter() { return Filter; }

}  // namespace mf
