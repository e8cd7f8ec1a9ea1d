// TPrompt answered by the user through Qt's message boxes and file dialogs.
#pragma once

#include "Prompt.h"

namespace mf {

class TDialogPrompt final : public TPrompt {
 public:
  void Information(QWidget* owner, const QString& text) override;
  bool Confirmation(QWidget* owner, const QString& title, const QString& text) override;
  QStringList OpenFiles(QWidget* owner, const TOpenDialogSettings& dialog) override;
  bool BrowseForFolder(QWidget* owner, TFolderPickerSettings& picker) override;
};

// The file dialog's name filters for a "description|patterns|" filter text: one entry per
// pair, "description (pattern pattern ...)". The patterns a description quotes in parentheses
// are replaced by the pair's own patterns, since those are the ones the dialog must match.
QStringList NameFiltersFromDialogFilter(const QString& filter);

}  // namespace mf
