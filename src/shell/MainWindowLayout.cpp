// The main window's look: menus, captions, hints, icons and the layout of the client area.
// Behaviour is in MainWindow.cpp.
#include <QIcon>
#include <QStyle>
#include <QStyleOptionComboBox>

#include <algorithm>
#include <map>

#include "Catalogue.h"
#include "MainWindow.h"
#include "OptionSets.h"

namespace mf {

namespace {

// Icon from the desktop's theme, or the style's own when the theme lacks it.
QIcon ToolIcon(const QWidget& window, const char* themeName, QStyle::StandardPixmap fallback) {
  return QIcon::fromTheme(QString::fromLatin1(themeName), window.style()->standardIcon(fallback));
}

void SetUpToolButton(QToolButton& button, const QString& caption, const QString& hint,
                     const QIcon& icon) {
  button.setText(caption);
  button.setToolTip(hint);
  button.setIcon(icon);
  button.setIconSize(QSize(24, 24));
  button.setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
  button.setAutoRaise(true);
  button.setCursor(Qt::PointingHandCursor);
}

void AddCaptions(QComboBox& box, std::initializer_list<const char*> captions) {
  for (const char* caption : captions) box.addItem(QString::fromLatin1(caption));
}

void AddFormRow(QFormLayout& layout, QLabel& label, const char* caption, QWidget& field) {
  // The layout spaces label and field; a caption's trailing blank would only widen the column.
  label.setText(QString::fromLatin1(caption).trimmed());
  label.setBuddy(&field);
  layout.addRow(&label, &field);
}

void SetUpGroup(QGroupBox& group, QFormLayout& layout, const char* title) {
  group.setTitle(QString::fromLatin1(title));
  group.setLayout(&layout);
  layout.setContentsMargins(7, 8, 7, 10);
  layout.setHorizontalSpacing(4);
  layout.setVerticalSpacing(6);
  layout.setLabelAlignment(Qt::AlignLeft | Qt::AlignVCenter);
  layout.setFieldGrowthPolicy(QFormLayout::AllNonFixedFieldsGrow);
  layout.setRowWrapPolicy(QFormLayout::DontWrapRows);
}

}  // namespace

void TForm1::BuildMenus() {
  File1.setTitle(QStringLiteral("&File"));
  AddFiles1.setText(QStringLiteral("Add Files"));
  Convert1.setText(QStringLiteral("Convert"));
  Exit1.setText(QStringLiteral("Exit"));
  AddFiles1.setIcon(ToolIcon(*this, "list-add", QStyle::SP_FileDialogNewFolder));
  Convert1.setIcon(ToolIcon(*this, "media-playback-start", QStyle::SP_MediaPlay));
  Exit1.setIcon(ToolIcon(*this, "application-exit", QStyle::SP_DialogCloseButton));
  File1.addAction(&AddFiles1);
  File1.addSeparator();
  File1.addAction(&Convert1);
  File1.addSeparator();
  File1.addAction(&Exit1);

  Options1.setTitle(QStringLiteral("&Options"));
  SetAdditionalOptions1.setText(QStringLiteral("Set Additional Options"));
  SetAdditionalOptions1.setIcon(ToolIcon(*this, "preferences-system", QStyle::SP_FileDialogDetailedView));
  Options1.addAction(&SetAdditionalOptions1);

  Help1.setTitle(QStringLiteral("&Help"));
  OpenHelpFile1.setText(QStringLiteral("Open Help File"));
  OpenHelpFile1.setIcon(ToolIcon(*this, "help-contents", QStyle::SP_DialogHelpButton));
  OpenHelpFile1.setShortcut(QKeySequence::HelpContents);
  VisitKestrovoWebsite1.setText(QStringLiteral("Visit Kestrovo Website"));
  About1.setText(QStringLiteral("About"));
  About1.setIcon(ToolIcon(*this, "help-about", QStyle::SP_MessageBoxInformation));
  Help1.addAction(&OpenHelpFile1);
  Help1.addSeparator();
  Help1.addAction(&VisitKestrovoWebsite1);
  Help1.addSeparator();
  Help1.addAction(&About1);
  // The help key works wherever the focus is in the window, not only in the open menu.
  addAction(&OpenHelpFile1);

  MainMenu1.addMenu(&File1);
  MainMenu1.addMenu(&Options1);
  MainMenu1.addMenu(&Help1);

  CheckAllItems1.setText(QStringLiteral("Check All Items"));
  UncheckAllItems1.setText(QStringLiteral("Uncheck All Items"));
  RemoveSelectedItem1.setText(QStringLiteral("Remove Selected Item"));
  ClearAllItems1.setText(QStringLiteral("Clear All Items"));
  PopupListView1.addAction(&CheckAllItems1);
  PopupListView1.addAction(&UncheckAllItems1);
  PopupListView1.addSeparator();
  PopupListView1.addAction(&RemoveSelectedItem1);
  PopupListView1.addAction(&ClearAllItems1);
}

void TForm1::BuildClientArea() {
  FormLayout.setContentsMargins(0, 0, 0, 0);
  FormLayout.setSpacing(0);
  FormLayout.setMenuBar(&MainMenu1);
  FormLayout.addLayout(&ClientLayout, 1);
  FormLayout.addWidget(&StatusBar1);
  ClientLayout.setContentsMargins(8, 6, 8, 8);
  ClientLayout.setSpacing(8);

  // Tool buttons: list commands on the left, conversion commands on the right.
  SetUpToolButton(ButtonAddFile, QStringLiteral("Add Files"), QStringLiteral("Add Files to Convert"),
                  ToolIcon(*this, "list-add", QStyle::SP_FileDialogNewFolder));
  SetUpToolButton(ButtonRemove, QStringLiteral("Remove"),
                  QStringLiteral("Remove A Single File From List"),
                  ToolIcon(*this, "list-remove", QStyle::SP_DialogDiscardButton));
  SetUpToolButton(ButtonClear, QStringLiteral("Clear All "), QStringLiteral("Clear All Files Listed"),
                  ToolIcon(*this, "edit-clear-all", QStyle::SP_DialogResetButton));
  SetUpToolButton(ButtonStopConvert, QStringLiteral("Stop Convert"), QStringLiteral("Stop Conversion"),
                  ToolIcon(*this, "media-playback-stop", QStyle::SP_MediaStop));
  SetUpToolButton(ButtonConvert, QStringLiteral("Convert Now !"), QStringLiteral("Start Conversion"),
                  ToolIcon(*this, "media-playback-start", QStyle::SP_MediaPlay));
  QFont strong = ButtonConvert.font();
  strong.setBold(true);
  ButtonConvert.setFont(strong);
  ToolLayout.setSpacing(4);
  ToolLayout.addWidget(&ButtonAddFile);
  ToolLayout.addWidget(&ButtonRemove);
  ToolLayout.addWidget(&ButtonClear);
  ToolLayout.addStretch(1);
  ToolLayout.addWidget(&ButtonStopConvert);
  ToolLayout.addWidget(&ButtonConvert);
  ClientLayout.addLayout(&ToolLayout);

  ListView1.setContextMenuPolicy(Qt::CustomContextMenu);
  ClientLayout.addWidget(&ListView1, 1);

  // Output format and folder on one line.
  LabelOutputFormat.setText(QStringLiteral("Output Format : "));
  LabelOutputFormat.setBuddy(&ComboOutputFormat);
  ComboOutputFormat.setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
  ComboOutputFormat.setMinimumContentsLength(28);
  LabelOutputFolder.setText(QStringLiteral("Output Folder : "));
  EditOutputFolder.setReadOnly(true);
  EditOutputFolder.setEnabled(false);
  EditOutputFolder.setPlaceholderText(QStringLiteral("No folder chosen yet"));
  ButtonBrowseForFolder.setToolTip(QStringLiteral("Browse For Folder"));
  ButtonBrowseForFolder.setIcon(ToolIcon(*this, "folder-open", QStyle::SP_DirOpenIcon));
  ButtonBrowseForFolder.setText(QStringLiteral("..."));
  ButtonBrowseForFolder.setCursor(Qt::PointingHandCursor);
  OutputLayout.setHorizontalSpacing(6);
  OutputLayout.addWidget(&LabelOutputFormat, 0, 0);
  OutputLayout.addWidget(&ComboOutputFormat, 0, 1);
  OutputLayout.setColumnMinimumWidth(2, 10);
  OutputLayout.addWidget(&LabelOutputFolder, 0, 3);
  OutputLayout.addWidget(&EditOutputFolder, 0, 4);
  OutputLayout.addWidget(&ButtonBrowseForFolder, 0, 5);
  OutputLayout.setColumnStretch(4, 1);
  ClientLayout.addLayout(&OutputLayout);

  // The three setting groups side by side, equally wide.
  SetUpGroup(GroupBoxVideo, VideoLayout, " Video Settings ");
  AddFormRow(VideoLayout, LabelVideoCodec, "Video Codec : ", ComboVideoCodec);
  AddFormRow(VideoLayout, LabelVideoSize, "Video Size : ", ComboVideoSize);
  AddFormRow(VideoLayout, LabelVideoBitrate, "Video Bitrate : ", ComboVideoBitrate);
  AddFormRow(VideoLayout, LabelVideoFramerate, "Video Framerate : ", ComboVideoFramerate);
  SetUpGroup(GroupBoxAudio, AudioLayout, " Audio Settings ");
  AddFormRow(AudioLayout, LabelAudioCodec, "Audio Codec : ", ComboAudioCodec);
  AddFormRow(AudioLayout, LabelAudioBitrate, "Audio Bitrate :", ComboAudioBitrate);
  AddFormRow(AudioLayout, LabelAudioChannels, "Audio Channels :", ComboAudioChannels);
  AddFormRow(AudioLayout, LabelSamplingRate, "Sampling Rate : ", ComboSamplingRate);
  SetUpGroup(GroupBoxGeneral, GeneralLayout, " General Settings ");
  AddFormRow(GeneralLayout, LabelLetterBox, "Video Zoom : ", ComboLetterBox);
  ComboLetterBox.setToolTip(QStringLiteral("Add a letterbox to keep video aspect ratio"));
  AddFormRow(GeneralLayout, LabelAspectRatio, "Aspect Ratio : ", ComboAspectRatio);
  TrackBar1.setOrientation(Qt::Horizontal);
  TrackBar1.setRange(0, static_cast<int>(VolumeSteps.size()) - 1);
  TrackBar1.setPageStep(1);
  TrackBar1.setTickPosition(QSlider::TicksBelow);
  TrackBar1.setTickInterval(1);
  LabelVolume.setMinimumWidth(LabelVolume.fontMetrics().horizontalAdvance(QStringLiteral("200%")) + 4);
  LabelVolume.setAlignment(Qt::AlignRight | Qt::AlignVCenter);
  VolumeLayout.setSpacing(6);
  VolumeLayout.addWidget(&TrackBar1, 1);
  VolumeLayout.addWidget(&LabelVolume);
  LabelVolumeCaption.setText(QStringLiteral("Volume :"));
  LabelVolumeCaption.setBuddy(&TrackBar1);
  GeneralLayout.addRow(&LabelVolumeCaption, &VolumeLayout);
  for (QComboBox* box : {&ComboVideoCodec, &ComboVideoSize, &ComboVideoBitrate, &ComboVideoFramerate,
                         &ComboAudioCodec, &ComboAudioBitrate, &ComboAudioChannels,
                         &ComboSamplingRate, &ComboLetterBox, &ComboAspectRatio}) {
    box->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    box->setMinimumContentsLength(6);
  }
  SettingsLayout.setSpacing(6);
  SettingsLayout.addWidget(&GroupBoxVideo, 1);
  SettingsLayout.addWidget(&GroupBoxAudio, 1);
  SettingsLayout.addWidget(&GroupBoxGeneral, 1);
  ClientLayout.addLayout(&SettingsLayout);

  // The designed items; the profile of the selected output format replaces them when the
  // window is first shown.
  AddCaptions(ComboVideoCodec, {"MPEG4", "XVid", "H264"});
  AddCaptions(ComboVideoSize, {"Original Video Size", "320 x 240 (VGA)", "640 x 480 (VGA)"});
  AddCaptions(ComboVideoBitrate, {"128 Kbps", "256 Kbps", "384 Kbps", "512 Kbps", "768 Kbps",
                                  "1000 Kbps", "1500 Kbps", "2000 Kbps", "2500 Kbps"});
  ComboVideoBitrate.setCurrentText(QStringLiteral("512 Kbps"));
  AddCaptions(ComboVideoFramerate, {" Auto", "10.0 fps", "14.985 fps", "15.0 fps", "23.976 fps",
                                    "25.0 fps", "29.97 fps", "30.0 fps"});
  AddCaptions(ComboAudioBitrate, {"32 Kbps", "64 Kbps", "96 Kbps", "128 Kbps", "160 Kbps", "192 Kbps"});
  ComboAudioBitrate.setCurrentText(QStringLiteral("128 Kbps"));
  AddCaptions(ComboAudioChannels, {"Stereo", "Mono"});
  AddCaptions(ComboSamplingRate, {"11025 Hz", "22050 Hz", "32000 Hz", "44100 Hz", "48000 Hz"});
  ComboSamplingRate.setCurrentText(QStringLiteral("44100 Hz"));

  // Progress of the running conversion, with its own stop button beside it.
  ProgressBar1.setRange(0, 100);
  ProgressBar1.setValue(0);
  ProgressBar1.setTextVisible(true);
  ButtonStopSmall.setText(QStringLiteral("Stop"));
  ButtonStopSmall.setIcon(ToolIcon(*this, "media-playback-stop", QStyle::SP_MediaStop));
  ButtonStopSmall.setToolTip(QStringLiteral("Stop Conversion"));
  ProgressLayout.setSpacing(8);
  ProgressLayout.addWidget(&ProgressBar1, 1);
  ProgressLayout.addWidget(&ButtonStopSmall);
  ClientLayout.addLayout(&ProgressLayout);

  constexpr std::array<int, 3> panelWidths = {150, 300, 50};
  for (std::size_t i = 0; i < StatusPanels.size(); ++i) {
    StatusPanels[i].setMinimumWidth(panelWidths[i]);
    StatusPanels[i].setContentsMargins(4, 0, 4, 0);
    StatusBar1.addWidget(&StatusPanels[i], i + 1 == StatusPanels.size() ? 1 : 0);
  }
  StatusBar1.setSizeGripEnabled(false);
  StatusPanels[0].setText(QStringLiteral("Ready"));
}

void TForm1::FitOptionBoxesToCaptions() {
  // Every caption any profile can put into a box, so that no choice is ever cut off.
  std::map<TOptionBox, QStringList> captions;
  const auto collect = [&captions](TOptionBox box, const TBoxContent& content) {
    for (std::string_view item : content.Items) captions[box] << QString::fromUtf8(item.data(), item.size());
    if (!content.Selected.empty())
      captions[box] << QString::fromUtf8(content.Selected.data(), content.Selected.size());
  };
  for (const TheAVCodec& entry : OutputFormatTable) {
    const TOptionSet* set = FindOptionSet(entry.ProfileId);
    if (!set) continue;
    collect(TOptionBox::VideoCodec, set->VideoCodec);
    collect(TOptionBox::VideoSize, set->VideoSize);
    collect(TOptionBox::VideoBitrate, set->VideoBitrate);
    collect(TOptionBox::VideoFramerate, set->VideoFramerate);
    collect(TOptionBox::AudioCodec, set->AudioCodec);
    collect(TOptionBox::AudioBitrate, set->AudioBitrate);
    collect(TOptionBox::SamplingRate, set->SamplingRate);
  }
  for (std::string_view item : AspectRatioCaptions)
    captions[TOptionBox::AspectRatio] << QString::fromUtf8(item.data(), item.size());

  const auto fit = [](QComboBox& combo, QStringList texts) {
    for (int i = 0; i < combo.count(); ++i) texts << combo.itemText(i);
    int textWidth = 0;
    for (const QString& text : texts) textWidth = std::max(textWidth, combo.fontMetrics().horizontalAdvance(text));
    QStyleOptionComboBox option;
    option.initFrom(&combo);
    const QSize contents(textWidth, combo.fontMetrics().height());
    combo.setMinimumWidth(
        combo.style()->sizeFromContents(QStyle::CT_ComboBox, &option, contents, &combo).width());
  };
  for (TOptionBox box : {TOptionBox::VideoCodec, TOptionBox::VideoSize, TOptionBox::VideoBitrate,
                         TOptionBox::VideoFramerate, TOptionBox::AudioCodec, TOptionBox::AudioBitrate,
                         TOptionBox::SamplingRate, TOptionBox::AudioChannels, TOptionBox::AspectRatio})
    fit(Box(box), captions[box]);
  fit(ComboLetterBox, {QStringLiteral("None"), QStringLiteral("LetterBox")});
}

void TForm1::NameControls() {
  // Object names are the designed names, so a control can be found by the name it has
  // everywhere else.
  const std::initializer_list<std::pair<QObject*, const char*>> names = {
      {&MainMenu1, "MainMenu1"},
      {&File1, "File1"},
      {&Options1, "Options1"},
      {&Help1, "Help1"},
      {&AddFiles1, "AddFiles1"},
      {&Convert1, "Convert1"},
      {&Exit1, "Exit1"},
      {&SetAdditionalOptions1, "SetAdditionalOptions1"},
      {&OpenHelpFile1, "OpenHelpFile1"},
      {&VisitKestrovoWebsite1, "VisitKestrovoWebsite1"},
      {&About1, "About1"},
      {&PopupListView1, "PopupListView1"},
      {&CheckAllItems1, "CheckAllItems1"},
      {&UncheckAllItems1, "UncheckAllItems1"},
      {&RemoveSelectedItem1, "RemoveSelectedItem1"},
      {&ClearAllItems1, "ClearAllItems1"},
      {&ButtonAddFile, "ButtonAddFile"},
      {&ButtonRemove, "ButtonRemove"},
      {&ButtonClear, "ButtonClear"},
      {&ButtonStopConvert, "ButtonStopConvert"},
      {&ButtonConvert, "ButtonConvert"},
      {&ListView1, "ListView1"},
      {&ComboOutputFormat, "ComboOutputFormat"},
      {&EditOutputFolder, "EditOutputFolder"},
      {&ButtonBrowseForFolder, "ButtonBrowseForFolder"},
      {&GroupBoxVideo, "GroupBoxVideo"},
      {&ComboVideoCodec, "ComboVideoCodec"},
      {&ComboVideoSize, "ComboVideoSize"},
      {&ComboVideoBitrate, "ComboVideoBitrate"},
      {&ComboVideoFramerate, "ComboVideoFramerate"},
      {&GroupBoxAudio, "GroupBoxAudio"},
      {&ComboAudioCodec, "ComboAudioCodec"},
      {&ComboAudioBitrate, "ComboAudioBitrate"},
      {&ComboAudioChannels, "ComboAudioChannels"},
      {&ComboSamplingRate, "ComboSamplingRate"},
      {&GroupBoxGeneral, "GroupBoxGeneral"},
      {&ComboLetterBox, "ComboLetterBox"},
      {&ComboAspectRatio, "ComboAspectRatio"},
      {&TrackBar1, "TrackBar1"},
      {&LabelVolume, "LabelVolume"},
      {&ProgressBar1, "ProgressBar1"},
      {&ButtonStopSmall, "ButtonStopSmall"},
      {&StatusBar1, "StatusBar1"},
      {&TimerConvertAgain, "TimerConvertAgain"},
  };
  for (const auto& [object, name] : names) object->setObjectName(QString::fromLatin1(name));
}

}  // namespace mf
