#include "MainWindow.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QDir>
#include <QScreen>
#include <QShowEvent>
#include <QSignalBlocker>
#include <QStyle>
#include <QAbstractItemView>

#include <algorithm>
#include <mutex>

#include "AboutBox.h"
#include "AdditionalOptions.h"
#include "Catalogue.h"
#include "DesktopLinks.h"
#include "OptionSets.h"
#include "ProgramIcon.h"
#include "SettingsStore.h"
#include "SystemFont.h"

namespace mf {

namespace {

QString FromView(std::string_view text) {
  return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

// The client area the window is designed for; the menu bar sits above it.
constexpr int ClientWidth = 767;
constexpr int ClientHeight = 514;
constexpr int HintHidePauseMs = 30000;

}  // namespace

TForm1::TForm1(TPrompt& prompt, const QString& executableFolder, QWidget* parent)
    : QWidget(parent), Prompt(prompt) {
  setObjectName(QStringLiteral("Form1"));
  setLayout(&FormLayout);
  BuildMenus();
  BuildClientArea();
  NameControls();
  ConnectHandlers();

  ApplySystemFont(*this);

  OpenDialog1.Filter = FromView(OpenDialogFilter());
  OpenDialog1.HideReadOnly = true;
  OpenDialog1.FileMustExist = true;
  OpenDialog1.EnableSizing = true;
  BrowseForFolder1.Folder = QStringLiteral("Select Output Directory");
  BrowseForFolder1.Headline = QStringLiteral("Choose the required output directory below :");

  const QString libraryFolder = QDir(executableFolder).filePath(QStringLiteral("Common Files"));
  if (!Converter.LoadCodecLibraries(libraryFolder.toStdString(), true)) {
    Prompt.Information(this, QStringLiteral("Some files are missing. Please re-install this software"));
    Terminated = true;
    return;
  }

  setWindowTitle(QStringLiteral("Marrowfin"));
  setWindowIcon(ProgramIcon());
  for (QWidget* child : findChildren<QWidget*>())
    if (!child->toolTip().isEmpty()) child->setToolTipDuration(HintHidePauseMs);
  HelpFile = HelpFilePath(executableFolder);
  // A fixed single border: minimise and close, no maximise, no resizing.
  setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                 Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint);
  FitOptionBoxesToCaptions();
  // The designed size, unless the desktop's font needs more room.
  const QSize needed = minimumSizeHint();
  setFixedSize(std::max(ClientWidth, needed.width()),
               std::max(ClientHeight + MainMenu1.sizeHint().height(), needed.height()));
  if (const QScreen* display = screen())
    move(display->availableGeometry().center() - rect().center());

  {
    const QSignalBlocker silent(TrackBar1);
    TrackBar1.setValue(5);
  }
  TrackBar1Change();

  FillComboOutputFormat(*this);
  SetDropDownCount(TOptionBox::OutputFormat, DefaultDropDownCount);

  ClearBox(TOptionBox::AspectRatio);
  for (std::string_view caption : AspectRatioCaptions) AddCaption(TOptionBox::AspectRatio, caption);
  SelectIndex(TOptionBox::AspectRatio, 0);
  {
    const QSignalBlocker silent(ComboLetterBox);
    ComboLetterBox.clear();
    ComboLetterBox.addItems({QStringLiteral("None"), QStringLiteral("LetterBox")});
    ComboLetterBox.setCurrentIndex(0);
  }

  TimerConvertAgain.setInterval(100);
  TimerConvertAgain.stop();

  // Tasks run on the main thread start from this window's event loop, and never after it is gone.
  Converter.RunOnMainThreadLater = [this](int delayMs, std::function<void()> work) {
    QTimer::singleShot(delayMs, this, std::move(work));
  };
}

TForm1::~TForm1() = default;

void TForm1::ConnectHandlers() {
  connect(&ButtonAddFile, &QToolButton::clicked, this, &TForm1::ButtonAddFileClick);
  connect(&ButtonRemove, &QToolButton::clicked, this, &TForm1::ButtonRemoveClick);
  connect(&ButtonClear, &QToolButton::clicked, this, &TForm1::ButtonClearClick);
  connect(&ButtonStopConvert, &QToolButton::clicked, this, &TForm1::ButtonStopConvertClick);
  connect(&ButtonConvert, &QToolButton::clicked, this, &TForm1::ButtonConvertClick);
  connect(&ButtonStopSmall, &QPushButton::clicked, this, &TForm1::ButtonStopSmallClick);
  connect(&ButtonBrowseForFolder, &QToolButton::clicked, this, &TForm1::ButtonBrowseForFolderClick);
  connect(&ComboOutputFormat, &QComboBox::currentIndexChanged, this, &TForm1::ComboOutputFormatChange);
  ComboOutputFormat.OnDropDown = [this] { ComboOutputFormatDropDown(); };
  connect(&TrackBar1, &QSlider::valueChanged, this, &TForm1::TrackBar1Change);
  connect(&ListView1, &QWidget::customContextMenuRequested, this, &TForm1::ListView1ContextPopup);
  connect(&AddFiles1, &QAction::triggered, this, &TForm1::AddFiles1Click);
  connect(&Convert1, &QAction::triggered, this, &TForm1::Convert1Click);
  connect(&Exit1, &QAction::triggered, this, &TForm1::Exit1Click);
  connect(&SetAdditionalOptions1, &QAction::triggered, this, &TForm1::SetAdditionalOptions1Click);
  connect(&OpenHelpFile1, &QAction::triggered, this, &TForm1::OpenHelpFile1Click);
  connect(&VisitKestrovoWebsite1, &QAction::triggered, this, &TForm1::VisitKestrovoWebsite1Click);
  connect(&About1, &QAction::triggered, this, &TForm1::About1Click);
  connect(&CheckAllItems1, &QAction::triggered, this, &TForm1::CheckAllItems1Click);
  connect(&UncheckAllItems1, &QAction::triggered, this, &TForm1::UncheckAllItems1Click);
  connect(&RemoveSelectedItem1, &QAction::triggered, this, &TForm1::RemoveSelectedItem1Click);
  connect(&ClearAllItems1, &QAction::triggered, this, &TForm1::ClearAllItems1Click);
  ConnectConverterEvents();
}

// ---- The option boxes as the profiles see them ----

QComboBox& TForm1::Box(TOptionBox box) {
  return const_cast<QComboBox&>(static_cast<const TForm1&>(*this).Box(box));
}

const QComboBox& TForm1::Box(TOptionBox box) const {
  switch (box) {
    case TOptionBox::OutputFormat: return ComboOutputFormat;
    case TOptionBox::VideoCodec: return ComboVideoCodec;
    case TOptionBox::VideoSize: return ComboVideoSize;
    case TOptionBox::VideoBitrate: return ComboVideoBitrate;
    case TOptionBox::VideoFramerate: return ComboVideoFramerate;
    case TOptionBox::AudioCodec: return ComboAudioCodec;
    case TOptionBox::AudioBitrate: return ComboAudioBitrate;
    case TOptionBox::SamplingRate: return ComboSamplingRate;
    case TOptionBox::AudioChannels: return ComboAudioChannels;
    case TOptionBox::AspectRatio: return ComboAspectRatio;
  }
  return ComboOutputFormat;
}

// The profiles fill and select without raising change notices: only the user's own choice
// of an output format runs ComboOutputFormatChange.
void TForm1::ClearBox(TOptionBox box) {
  QComboBox& combo = Box(box);
  const QSignalBlocker silent(combo);
  combo.clear();
  combo.view()->setMinimumWidth(0);
}

void TForm1::AddCaption(TOptionBox box, std::string_view caption) {
  QComboBox& combo = Box(box);
  const QSignalBlocker silent(combo);
  const int selected = combo.currentIndex();
  const QString text = FromView(caption);
  combo.addItem(text);
  // A Qt combo box selects the first item added to it; an option box keeps its selection.
  if (combo.currentIndex() != selected) combo.setCurrentIndex(selected);
  // The boxes are narrow; their open list is as wide as its longest caption.
  const int needed = combo.fontMetrics().horizontalAdvance(text) + 2 * combo.style()->pixelMetric(QStyle::PM_ScrollBarExtent);
  if (combo.view()->minimumWidth() < needed) combo.view()->setMinimumWidth(needed);
}

void TForm1::SelectIndex(TOptionBox box, int index) {
  QComboBox& combo = Box(box);
  const QSignalBlocker silent(combo);
  combo.setCurrentIndex(index);
}

std::string TForm1::BoxText(TOptionBox box) const {
  const QComboBox& combo = Box(box);
  return combo.currentIndex() < 0 ? std::string() : combo.currentText().toStdString();
}

void TForm1::SetDropDownCount(TOptionBox box, int rows) { Box(box).setMaxVisibleItems(rows); }

std::string TForm1::OutputExtension() const { return Extension; }

void TForm1::SetOutputExtension(std::string_view extension) { Extension = extension; }

int TForm1::DropDownItemsSetting() const {
  return Form4 ? Form4->SpinEdit1.value() : DefaultDropDownCount;
}

QString TForm1::StatusPanelText(int panel) const {
  return panel >= 0 && panel < static_cast<int>(StatusPanels.size()) ? StatusPanels[panel].text()
                                                                     : QString();
}

void TForm1::SetStatusPanelText(int panel, const QString& text) {
  if (panel >= 0 && panel < static_cast<int>(StatusPanels.size())) StatusPanels[panel].setText(text);
}

// ---- Window events ----

void TForm1::showEvent(QShowEvent* event) {
  QWidget::showEvent(event);
  if (Shown || event->spontaneous()) return;
  Shown = true;
  FormShow();
}

void TForm1::FormShow() { ComboOutputFormatChange(); }

void TForm1::closeEvent(QCloseEvent* event) {
  // Between two rows of a batch nothing converts, but the timer would start the next row
  // behind a closed window.
  if (Converting || TimerConvertAgain.isActive()) {
    event->ignore();
    return;
  }
  {
    // Nothing may reach the window from a task while it goes away. A stopped task may still
    // be finishing on its thread; the component raises its events under Lock, so the
    // handlers are not swapped while one runs. (They only post, so this waits for nothing.)
    std::lock_guard<std::recursive_mutex> lock(Converter.Lock);
    Converter.OnBeforeHook = nullptr;
    Converter.OnCustomHook = nullptr;
    Converter.OnLog = nullptr;
    Converter.OnProgress = nullptr;
    Converter.OnTerminate = nullptr;
  }
  Converter.HaltAllTasks();
  if (Form4) SaveSettings(*this, *Form4);
  event->accept();
}

// ---- Commands ----

void TForm1::ButtonRemoveClick() {
  if (AddingFiles) return;
  const int row = ListView1.SelectedRow();
  if (row >= 0) ListView1.DeleteRow(row);
}

void TForm1::ButtonClearClick() {
  if (AddingFiles || Converting) return;
  DropConverterTasks();
  ListView1.Clear();
}

void TForm1::ButtonStopSmallClick() { ButtonStopConvertClick(); }

void TForm1::ButtonBrowseForFolderClick() {
  if (Converting) return;
  if (Prompt.BrowseForFolder(this, BrowseForFolder1)) EditOutputFolder.setText(BrowseForFolder1.Folder);
}

void TForm1::ComboOutputFormatChange() {
  if (IsSeparatorText(BoxText(TOptionBox::OutputFormat))) {
    SelectIndex(TOptionBox::OutputFormat, PreviousFormatIndex);
    return;
  }
  ApplyProfileControls(*this);
  const QString extension = QString::fromStdString(Extension);
  for (int row = 0; row < ListView1.RowCount(); ++row)
    ListView1.SetSubItem(row, SubItemOutput, extension);
  SetDropDownCount(TOptionBox::OutputFormat, DropDownItemsSetting());
  PreviousFormatIndex = ComboOutputFormat.currentIndex();
}

void TForm1::ComboOutputFormatDropDown() {
  SetDropDownCount(TOptionBox::OutputFormat, DropDownItemsSetting());
}

void TForm1::TrackBar1Change() {
  const int position =
      std::clamp(TrackBar1.value(), 0, static_cast<int>(VolumeSteps.size()) - 1);
  LabelVolume.setText(QString::fromLatin1(VolumeSteps[position].Label));
  VolumeLevel = VolumeSteps[position].Level;
}

void TForm1::ListView1ContextPopup(const QPoint& position) {
  if (!ListPopupEnabled) return;
  PopupListView1.popup(ListView1.viewport()->mapToGlobal(position));
}

void TForm1::AddFiles1Click() { ButtonAddFileClick(); }

void TForm1::Convert1Click() { ButtonConvertClick(); }

void TForm1::Exit1Click() {
  // Leaves the message loop directly: no close event, so nothing is halted or saved.
  QCoreApplication::exit(0);
}

void TForm1::SetAdditionalOptions1Click() {
  if (!Form4) return;
  Form4->show();
  Form4->raise();
  Form4->activateWindow();
}

void TForm1::OpenHelpFile1Click() { OpenHelpFile(HelpFile); }

void TForm1::VisitKestrovoWebsite1Click() { OpenKestrovoWebsite(); }

void TForm1::About1Click() {
  if (FormAbout) FormAbout->exec();
}

void TForm1::CheckAllItems1Click() { ListView1.SetAllChecked(true); }

void TForm1::UncheckAllItems1Click() { ListView1.SetAllChecked(false); }

void TForm1::RemoveSelectedItem1Click() { ButtonRemoveClick(); }

void TForm1::ClearAllItems1Click() { ButtonClearClick(); }

}  // namespace mf
