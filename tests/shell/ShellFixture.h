// What the window tests share: a prompt that answers from a script, a recorder for what the
// windows hand to the desktop, and a fixture that starts the windows as the program does,
// with the settings in a temporary folder.
#pragma once

#include <gtest/gtest.h>

#include <QDesktopServices>
#include <QDir>
#include <QFile>
#include <QObject>
#include <QSettings>
#include <QTemporaryDir>
#include <QUrl>

#include <deque>
#include <functional>
#include <memory>
#include <vector>

#include "ShellWindows.h"

// Readable texts in the test reports.
inline void PrintTo(const QString& text, std::ostream* out) { *out << '"' << text.toStdString() << '"'; }

namespace mf::test {

class TScriptedPrompt final : public TPrompt {
 public:
  struct TMessage {
    QString Title;
    QString Text;
  };

  void Information(QWidget*, const QString& text) override {
    Messages.push_back({QStringLiteral("Information"), text});
  }
  bool Confirmation(QWidget*, const QString& title, const QString& text) override {
    Messages.push_back({title, text});
    if (DuringConfirmation) DuringConfirmation();
    return ConfirmationAnswer;
  }
  QStringList OpenFiles(QWidget*, const TOpenDialogSettings& dialog) override {
    OpenDialogs.push_back(dialog);
    return FilesToOpen;
  }
  // Each answer is a folder, or empty for Cancel; no answer left is Cancel too.
  bool BrowseForFolder(QWidget*, TFolderPickerSettings& picker) override {
    PickerStarts.push_back(picker);
    if (FolderAnswers.empty()) return false;
    const QString answer = FolderAnswers.front();
    FolderAnswers.pop_front();
    if (answer.isEmpty()) return false;
    picker.Folder = answer;
    return true;
  }

  std::vector<TMessage> Messages;
  bool ConfirmationAnswer = false;
  // Runs while a question is open, before it is answered: what the window does meanwhile.
  std::function<void()> DuringConfirmation;
  QStringList FilesToOpen;
  std::vector<TOpenDialogSettings> OpenDialogs;
  std::deque<QString> FolderAnswers;
  std::vector<TFolderPickerSettings> PickerStarts;
};

// Takes the addresses the windows open, in place of the browser, mail program and viewer.
class TUrlRecorder final : public QObject {
  Q_OBJECT

 public:
  TUrlRecorder() {
    for (const char* scheme : Schemes) QDesktopServices::setUrlHandler(QString::fromLatin1(scheme), this, "Open");
  }
  ~TUrlRecorder() override {
    for (const char* scheme : Schemes) QDesktopServices::unsetUrlHandler(QString::fromLatin1(scheme));
  }

  QList<QUrl> Urls;

 public slots:
  void Open(const QUrl& url) { Urls << url; }

 private:
  static constexpr const char* Schemes[] = {"http", "https", "mailto", "file"};
};

class TShellTest : public testing::Test {
 protected:
  void SetUp() override { NewSettingsFolder(); }

  // An empty settings folder, as on a machine where the program never ran.
  void NewSettingsFolder() {
    ConfigDir = std::make_unique<QTemporaryDir>();
    ASSERT_TRUE(ConfigDir->isValid());
    QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, ConfigDir->path());
  }

  QString SettingsFile() const { return ConfigDir->filePath(QStringLiteral("Kestrovo/Marrowfin.ini")); }

  // Leaves settings as an earlier run (or a hand edit) would have: lines of the INI file.
  void StoreSettings(const QByteArray& lines) {
    ASSERT_TRUE(QDir().mkpath(QFileInfo(SettingsFile()).path()));
    QFile file(SettingsFile());
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("[General]\n" + lines);
  }

  QByteArray SettingsBytes() const {
    QFile file(SettingsFile());
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
  }

  // A stored value as text, or a null variant when there is none.
  QVariant StoredValue(const char* name) const {
    QSettings stored(SettingsFile(), QSettings::IniFormat);
    return stored.value(QString::fromLatin1(name));
  }

  // Starts the windows as the program does, from the build's executable folder, and shows
  // the main window.
  TShellWindows& Start() {
    Windows = std::make_unique<TShellWindows>(Prompt, QStringLiteral(MF_BIN_DIR));
    if (Windows->StartupFailed())
      ADD_FAILURE() << "the start-up ended early: " << Windows->Form1().Converter.LastError;
    Windows->Form1().show();
    return *Windows;
  }
  TForm1& Form() { return Windows->Form1(); }
  TForm4& Options() { return Windows->Form4(); }

  std::unique_ptr<QTemporaryDir> ConfigDir;
  TScriptedPrompt Prompt;
  std::unique_ptr<TShellWindows> Windows;
};

}  // namespace mf::test
