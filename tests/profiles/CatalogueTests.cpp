// The output format catalogue, its rows, the look-up and the dialog filter.
#include <gtest/gtest.h>

#include <string>

#include "BoxModel.h"
#include "Catalogue.h"

namespace mf::test {
namespace {

const std::string Separator = std::string(14, ' ') + std::string(41, '-');

struct TRow {
  int Row;
  const char* Caption;  // null for a separator
  const char* Extension;
  int ProfileId;
};

// The output-format list, row by row.
const TRow ExpectedRows[] = {
    {0, "iPhone (*.mp4)", "MP4", 18},
    {1, "iPhone Extra (640 x 480) (*.mp4)", "MP4", 19},
    {2, "iPhone Wide Screen (*.mp4)", "MP4", 20},
    {3, nullptr, "", 0},
    {4, "iPod (*.mp4)", "MP4", 3},
    {5, "iPod Extra (640 x 480) (*.mp4)", "MP4", 4},
    {6, "iPod Video For TV (*.mp4)", "MP4", 6},
    {7, nullptr, "", 0},
    {8, "iPod Touch (*.mp4)", "MP4", 13},
    {9, "iPod Touch Extra (640 x 480) (*.mp4)", "MP4", 14},
    {10, "iPod Touch Wide Screen (*.mp4)", "MP4", 15},
    {11, nullptr, "", 0},
    {12, "Apple TV (*.mp4)", "MP4", 10},
    {13, "Apple TV H264 (640 x 480) (*.mp4)", "MP4", 8},
    {14, nullptr, "", 0},
    {15, "M4A - Mpeg4 Audio File (*.m4a)", "M4A", 40},
    {16, "MP3 - Mpeg Layer3 Audio (*.mp3)", "MP3", 41},
    {17, "WAV - Waveform Audio (*.wav)", "WAV", 44},
    {18, "WMA - Windows Media Audio (*.wma)", "WMA", 45},
    {19, nullptr, "", 0},
    {20, "3GP - Mobile Video Format (*.3gp)", "3GP", 0},
    {21, "3G2 - Mobile Video Format (*.3g2)", "3G2", 1},
    {22, "AVI - Audio Video Interleave (*.avi)", "AVI", 22},
    {23, "AVI - DivX Video (*.avi)", "AVI", 23},
    {24, "AVI - XviD Video (*.avi)", "AVI", 24},
    {25, "MOV - QuickTime Video (*.mov)", "MOV", 26},
    {26, "MP4 - MPEG4 Video (*.mp4)", "MP4", 27},
    {27, "MPEG-1 Movie (*.mpg)", "MPG", 28},
    {28, "MPEG-2 Movie (*.mpg)", "MPG", 29},
    {29, "WMV - Windows Media Video (*.wmv)", "WMV", 31},
    {30, nullptr, "", 0},
    {31, "Archos AV500/GMini402 (*.avi)", "AVI", 63},
    {32, "Archos AV700 (*.avi)", "AVI", 64},
    {33, "BlackBerry MPEG-4 Video (*.mp4)", "MP4", 67},
    {34, "BlackBerry AVI Video (*.avi)", "AVI", 68},
    {35, "BlackBerry 3GP Video (*.3gp)", "3GP", 69},
    {36, "Creative Zen Vision (*.avi)", "AVI", 65},
    {37, "iRiver PMP100 (*.avi)", "AVI", 66},
    {38, "PSP Video (*.mp4)", "MP4", 53},
    {39, "PS3 Video (*.mp4)", "MP4", 58},
};

TEST(ProfilesCatalogue, FillShowsFortyRowsWithRowZeroSelected) {
  TBoxModel model;
  model.Boxes[TOptionBox::OutputFormat] = {{"stale"}, 0, 8};
  FillComboOutputFormat(model);
  const TBoxState& list = model.Boxes[TOptionBox::OutputFormat];
  ASSERT_EQ(list.Items.size(), 40u);
  EXPECT_EQ(list.Selected, 0);
  EXPECT_EQ(list.Text(), "iPhone (*.mp4)");
  EXPECT_EQ(list.DropDownCount, 40);
  for (const TRow& row : ExpectedRows)
    EXPECT_EQ(list.Items[row.Row], row.Caption ? std::string(row.Caption) : Separator) << "row " << row.Row;
}

TEST(ProfilesCatalogue, SeparatorRowsAreThreeSevenElevenFourteenNineteenThirty) {
  TBoxModel model;
  FillComboOutputFormat(model);
  const TBoxState& list = model.Boxes[TOptionBox::OutputFormat];
  std::vector<int> separators;
  for (int row = 0; row < int(list.Items.size()); ++row)
    if (IsSeparatorText(list.Items[row])) separators.push_back(row);
  EXPECT_EQ(separators, (std::vector<int>{3, 7, 11, 14, 19, 30}));
  EXPECT_EQ(Separator.size(), 55u);
  EXPECT_EQ(SeparatorCaption, Separator);
  for (int row : separators) {
    EXPECT_EQ(OutputFormatRowEntry(row), nullptr);
    EXPECT_EQ(FindProfileByCaption(list.Items[row]), nullptr);
  }
}

TEST(ProfilesCatalogue, EveryProfileRowHasItsExtensionAndId) {
  int profiles = 0;
  for (const TRow& row : ExpectedRows) {
    const TheAVCodec* entry = OutputFormatRowEntry(row.Row);
    if (row.Caption == nullptr) continue;
    ++profiles;
    ASSERT_NE(entry, nullptr) << "row " << row.Row;
    EXPECT_EQ(entry->Caption, row.Caption);
    EXPECT_EQ(entry->Extension, row.Extension) << row.Caption;
    EXPECT_EQ(entry->ProfileId, row.ProfileId) << row.Caption;
    EXPECT_EQ(FindProfileByCaption(row.Caption), entry);
  }
  EXPECT_EQ(profiles, 34);
  EXPECT_EQ(OutputFormatTable.size(), 34u);
  EXPECT_EQ(OutputFormatRowEntry(-1), nullptr);
  EXPECT_EQ(OutputFormatRowEntry(40), nullptr);
}

TEST(ProfilesCatalogue, BlackBerry3gpSharesTheExtensionButNotTheIdOf3gp) {
  const TheAVCodec* blackBerry = FindProfileByCaption("BlackBerry 3GP Video (*.3gp)");
  const TheAVCodec* generic = FindProfileByCaption("3GP - Mobile Video Format (*.3gp)");
  ASSERT_NE(blackBerry, nullptr);
  ASSERT_NE(generic, nullptr);
  EXPECT_EQ(blackBerry->Extension, "3GP");
  EXPECT_EQ(generic->Extension, "3GP");
  EXPECT_EQ(blackBerry->ProfileId, 69);
  EXPECT_EQ(generic->ProfileId, 0);
}

TEST(ProfilesCatalogue, LookUpIsExactAndCaseSensitive) {
  EXPECT_NE(FindProfileByCaption("MPEG-2 Movie (*.mpg)"), nullptr);
  EXPECT_EQ(FindProfileByCaption("mpeg-2 movie (*.mpg)"), nullptr);
  EXPECT_EQ(FindProfileByCaption("MPEG-2 Movie (*.mpg) "), nullptr);
  EXPECT_EQ(FindProfileByCaption("MPEG-2 Movie"), nullptr);
  EXPECT_EQ(FindProfileByCaption(""), nullptr);
}

TEST(ProfilesCatalogue, SeparatorTestLooksForFourteenBlanksAndFourHyphens) {
  EXPECT_TRUE(IsSeparatorText(Separator));
  EXPECT_TRUE(IsSeparatorText(std::string(14, ' ') + "----"));
  EXPECT_FALSE(IsSeparatorText(std::string(13, ' ') + "----"));
  EXPECT_FALSE(IsSeparatorText(std::string(14, ' ') + "---"));
  EXPECT_FALSE(IsSeparatorText("iPhone (*.mp4)"));
}

TEST(ProfilesCatalogue, OpenDialogFilterIsTheLiteral) {
  std::string_view filter = OpenDialogFilter();
  EXPECT_EQ(filter.size(), 1156u);
  EXPECT_TRUE(filter.starts_with("All Supported Files|"));
  EXPECT_TRUE(filter.ends_with("*.asx|"));
  EXPECT_TRUE(filter.starts_with(
      "All Supported Files|*.avi;*.mpeg;*.mpg;*.mpa;*.m1v;*.mv2;*.wma;*.wmv;*.asf;*.asx;*.mov; *.qt;"));
  EXPECT_NE(filter.find("|Windows Media Files(*.wma, *.wmv, *.asf, *.asx)|*.wma;*.wmv;*.asf;*.asx|"),
            std::string_view::npos);
  EXPECT_NE(filter.find("|RealMedia Files (*.rm, *.rmvb, *.ram, *.ra)|*.rm; *.rmvb; *.ram; *.ra|"),
            std::string_view::npos);
  EXPECT_NE(filter.find("*.ac3; *.gif; *.swf; *.flv|3GPP Files (*.3gp)|*.3gp|"), std::string_view::npos);
  EXPECT_EQ(std::count(filter.begin(), filter.end(), '|'), 48);
}

}  // namespace
}  // namespace mf::test
