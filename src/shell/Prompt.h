// Every question the shell puts to the user goes through TPrompt: message boxes, the
// add-files dialog and the folder picker. The program answers with real dialogs
// (TDialogPrompt); the window tests answer with a scripted object.
#pragma once

#include <QString>
#include <QStringList>

class QWidget;

namespace mf {

// The add-files dialog as the main window configures it.
struct TOpenDialogSettings {
  QString Filter;  // "description|patterns|" pairs, patterns separated by ";"
  bool HideReadOnly = false;
  bool AllowMultiSelect = false;
  bool FileMustExist = false;
  bool EnableSizing = false;
};

// The folder picker. Folder is where it starts and, after OK, what was chosen, so the picker
// starts the next time where the user left it.
struct TFolderPickerSettings {
  QString Folder;
  QString Headline;
  bool DirectoriesOnly = true;
  bool NewDialogStyle = true;
};

class TPrompt {
 public:
  virtual ~TPrompt() = default;

  // A box titled "Information" with the information icon and an OK button.
  virtual void Information(QWidget* owner, const QString& text) = 0;
  // A box with the question icon and Yes and No buttons; true for Yes.
  virtual bool Confirmation(QWidget* owner, const QString& title, const QString& text) = 0;
  // The add-files dialog; the chosen files in the dialog's order, empty when cancelled.
  virtual QStringList OpenFiles(QWidget* owner, const TOpenDialogSettings& dialog) = 0;
  // The folder picker; true on OK with picker.Folder set to the folder chosen.
  virtual bool BrowseForFolder(QWidget* owner, TFolderPickerSettings& picker) = 0;
};

}  // namespace mf
