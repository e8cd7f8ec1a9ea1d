// TForm1, the main window: the list of files to convert, the output format and its option
// boxes, the output folder, progress and status. It owns the conversion component
// (Converter) and implements the option-box interface of the profiles with its combo boxes.
//
// Controls are members under their designed names. Each is declared after the container it
// sits in: members are destroyed in reverse order, so every control is gone before its Qt
// parent would delete it, and no control has two owners.
#pragma once

#include <QAction>
#include <QComboBox>
#include <QFormLayout>
#include <QFrame>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QProgressBar>
#include <QPushButton>
#include <QSlider>
#include <QStatusBar>
#include <QTimer>
#include <QToolButton>
#include <QVBoxLayout>
#include <QWidget>

#include <array>
#include <atomic>
#include <cstdint>
#include <string>

#include "DropDownComboBox.h"
#include "FileList.h"
#include "MediaConverter.h"
#include "ProfileControls.h"
#include "Prompt.h"

namespace mf {

class TForm4;
class TFormAbout;

// The volume slider's positions: the label shown and the engine's volume factor, on which
// 256 means unchanged.
struct TVolumeStep {
  const char* Label;
  int Level;
};
inline constexpr std::array<TVolumeStep, 11> VolumeSteps = {{
    {"0%", 1},
    {"20%", 50},
    {"40%", 100},
    {"60%", 150},
    {"80%", 200},
    {"100%", 255},
    {"120%", 300},
    {"140%", 350},
    {"160%", 400},
    {"180%", 450},
    {"200%", 600},
}};

// Rows the output-format list shows when the "Additional Options" window cannot say.
inline constexpr int DefaultDropDownCount = 25;

class TForm1 final : public QWidget, public TProfileControls {
  Q_OBJECT

 public:
  // Creates the window in its start-up order. When the codec libraries cannot be loaded from
  // "Common Files" in ExecutableFolder the user is told, and StartupFailed() is true: the
  // program must end without using the window.
  TForm1(TPrompt& prompt, const QString& executableFolder, QWidget* parent = nullptr);
  ~TForm1() override;

  bool StartupFailed() const { return Terminated; }

  // The two windows created after this one; they live as long as it does.
  void AttachAboutBox(TFormAbout* aboutBox) { FormAbout = aboutBox; }
  void AttachAdditionalOptions(TForm4* optionsWindow) { Form4 = optionsWindow; }
  TForm4* AdditionalOptions() const { return Form4; }

  // TProfileControls: the option boxes as the profiles see them.
  void ClearBox(TOptionBox box) override;
  void AddCaption(TOptionBox box, std::string_view caption) override;
  void SelectIndex(TOptionBox box, int index) override;
  std::string BoxText(TOptionBox box) const override;
  void SetDropDownCount(TOptionBox box, int rows) override;
  std::string OutputExtension() const override;
  void SetOutputExtension(std::string_view extension) override;

  // The number of rows the output-format list shows: the "Additional Options" spin box, or
  // DefaultDropDownCount while that window does not exist.
  int DropDownItemsSetting() const;

  QString StatusPanelText(int panel) const;
  void SetStatusPanelText(int panel, const QString& text);

  // Handlers, named after their control and event.
  void FormShow();
  void ButtonAddFileClick();
  void ButtonRemoveClick();
  void ButtonClearClick();
  void ButtonStopConvertClick();
  void ButtonStopSmallClick();
  void ButtonConvertClick();
  void ButtonBrowseForFolderClick();
  void ComboOutputFormatChange();
  void ComboOutputFormatDropDown();
  void TrackBar1Change();
  void ListView1ContextPopup(const QPoint& position);
  void AddFiles1Click();
  void Convert1Click();
  void Exit1Click();
  void SetAdditionalOptions1Click();
  void OpenHelpFile1Click();
  void VisitKestrovoWebsite1Click();
  void About1Click();
  void CheckAllItems1Click();
  void UncheckAllItems1Click();
  void RemoveSelectedItem1Click();
  void ClearAllItems1Click();

  // File intake (FileIntake.cpp): the add-files dialog, then one probed row per file.
  void RunFileIntake();

  // Batch conversion (BatchController.cpp). The two converter handlers run on this window's
  // thread: the component's events reach them as queued calls.
  void StartNextFile();
  void TimerConvertAgainTimer();
  void ConverterProgress(int index, int frameNumber, int fps, int currentDuration, float quality,
                         float bitRate, int64_t currentSize, int totalOutputDuration);
  void ConverterTerminate(int index, bool finished, bool exception, const QString& message);
  void DisableControls();
  void EnableControls();

  // Window state shared by the shell.
  bool AddingFiles = false;
  bool Converting = false;
  int PreviousFormatIndex = 0;
  int VolumeLevel = 0;
  QString HelpFile;
  // Whether a right click in the list opens PopupListView1; off while converting.
  bool ListPopupEnabled = true;

  // Batch state.
  int CurrentRow = -1;
  bool LastRow = false;
  bool BatchDone = false;
  bool Aborted = false;
  int TickCount = 0;
  TOutputOptions JobOutputOptions;

  TOpenDialogSettings OpenDialog1;
  TFolderPickerSettings BrowseForFolder1;

  // Menus.
  QMenuBar MainMenu1;
  QMenu File1;
  QMenu Options1;
  QMenu Help1;
  QAction AddFiles1;
  QAction Convert1;
  QAction Exit1;
  QAction SetAdditionalOptions1;
  QAction OpenHelpFile1;
  QAction VisitKestrovoWebsite1;
  QAction About1;
  QMenu PopupListView1;
  QAction CheckAllItems1;
  QAction UncheckAllItems1;
  QAction RemoveSelectedItem1;
  QAction ClearAllItems1;

  // Layout of the client area, top to bottom.
  QVBoxLayout FormLayout;
  QVBoxLayout ClientLayout;

  QHBoxLayout ToolLayout;
  QToolButton ButtonAddFile;
  QToolButton ButtonRemove;
  QToolButton ButtonClear;
  QToolButton ButtonStopConvert;
  QToolButton ButtonConvert;

  TFileListView ListView1;

  QGridLayout OutputLayout;
  QLabel LabelOutputFormat;
  TDropDownComboBox ComboOutputFormat;
  QLabel LabelOutputFolder;
  QLineEdit EditOutputFolder;
  QToolButton ButtonBrowseForFolder;

  QHBoxLayout SettingsLayout;
  QGroupBox GroupBoxVideo;
  QFormLayout VideoLayout;
  QLabel LabelVideoCodec;
  QComboBox ComboVideoCodec;
  QLabel LabelVideoSize;
  QComboBox ComboVideoSize;
  QLabel LabelVideoBitrate;
  QComboBox ComboVideoBitrate;
  QLabel LabelVideoFramerate;
  QComboBox ComboVideoFramerate;

  QGroupBox GroupBoxAudio;
  QFormLayout AudioLayout;
  QLabel LabelAudioCodec;
  QComboBox ComboAudioCodec;
  QLabel LabelAudioBitrate;
  QComboBox ComboAudioBitrate;
  QLabel LabelAudioChannels;
  QComboBox ComboAudioChannels;
  QLabel LabelSamplingRate;
  QComboBox ComboSamplingRate;

  QGroupBox GroupBoxGeneral;
  QFormLayout GeneralLayout;
  QLabel LabelLetterBox;
  QComboBox ComboLetterBox;
  QLabel LabelAspectRatio;
  QComboBox ComboAspectRatio;
  QLabel LabelVolumeCaption;
  QHBoxLayout VolumeLayout;
  QSlider TrackBar1;
  QLabel LabelVolume;

  QHBoxLayout ProgressLayout;
  QProgressBar ProgressBar1;
  QPushButton ButtonStopSmall;

  QStatusBar StatusBar1;
  std::array<QLabel, 3> StatusPanels;

  QTimer TimerConvertAgain;
  TMediaConverter Converter;

 protected:
  void showEvent(QShowEvent* event) override;
  void closeEvent(QCloseEvent* event) override;

 private:
  void BuildMenus();
  void BuildClientArea();
  void NameControls();
  void FitOptionBoxesToCaptions();
  void ConnectHandlers();
  QComboBox& Box(TOptionBox box);
  const QComboBox& Box(TOptionBox box) const;

  // Batch conversion helpers (BatchController.cpp).
  void ConnectConverterEvents();
  void DropConverterTasks();
  void ClearProgressCells();
  void ResetProgressBar();
  void SetControlsEnabled(bool enabled);
  bool PrepareCurrentRow();
  void EndRowWithoutConversion();
  bool OverwriteSetting() const;

  TPrompt& Prompt;
  TFormAbout* FormAbout = nullptr;
  TForm4* Form4 = nullptr;
  std::string Extension;
  bool Terminated = false;
  bool Shown = false;
  // True while RunFileIntake runs: the intake lets the event loop run between files, and a
  // second Add Files meanwhile must not start a second intake.
  bool IntakeRunning = false;
  // Counts the converter's task lists: each drop of the tasks from this thread starts a new
  // one. A queued event carries the count of the list it came from and is ignored once that
  // list is gone, so a late report of a dropped task never lands in a later row. Written on
  // this thread only; read by the tasks' threads when they post.
  std::atomic<unsigned> RunSerial{0};
};

}  // namespace mf
