#include "DialogPrompt.h"

#include <QDir>
#include <QFileDialog>
#include <QMessageBox>

namespace mf {

void TDialogPrompt::Information(QWidget* owner, const QString& text) {
  QMessageBox box(QMessageBox::Information, QStringLiteral("Information"), text, QMessageBox::Ok,
                  owner);
  box.exec();
}

bool TDialogPrompt::Confirmation(QWidget* owner, const QString& title, const QString& text) {
  QMessageBox box(QMessageBox::Question, title, text, QMessageBox::Yes | QMessageBox::No, owner);
  box.setDefaultButton(QMessageBox::Yes);
  return box.exec() == QMessageBox::Yes;
}

QStringList TDialogPrompt::OpenFiles(QWidget* owner, const TOpenDialogSettings& dialog) {
  QFileDialog fileDialog(owner);
  fileDialog.setAcceptMode(QFileDialog::AcceptOpen);
  // Qt's dialogs only ever open files that exist, and are always resizable; a read-only
  // check box, which HideReadOnly would hide, does not exist here.
  fileDialog.setFileMode(dialog.AllowMultiSelect ? QFileDialog::ExistingFiles
                                                 : QFileDialog::ExistingFile);
  fileDialog.setOption(QFileDialog::HideNameFilterDetails);
  fileDialog.setNameFilters(NameFiltersFromDialogFilter(dialog.Filter));
  if (fileDialog.exec() != QDialog::Accepted) return {};
  return fileDialog.selectedFiles();
}

bool TDialogPrompt::BrowseForFolder(QWidget* owner, TFolderPickerSettings& picker) {
  // Until the user has chosen a folder, Folder holds a prompt text rather than a path.
  const QString start = QDir(picker.Folder).exists() ? picker.Folder : QDir::homePath();
  QFileDialog::Options options = QFileDialog::DontResolveSymlinks;
  if (picker.DirectoriesOnly) options |= QFileDialog::ShowDirsOnly;
  const QString chosen = QFileDialog::getExistingDirectory(owner, picker.Headline, start, options);
  if (chosen.isEmpty()) return false;
  picker.Folder = QDir::toNativeSeparators(chosen);
  return true;
}

QStringList NameFiltersFromDialogFilter(const QString& filter) {
  const QStringList parts = filter.split(QLatin1Char('|'));
  QStringList filters;
  for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
    QString description = parts[i].trimmed();
    const qsizetype open = description.indexOf(QLatin1Char('('));
    if (open >= 0) description = description.left(open).trimmed();
    QStringList patterns;
    for (const QString& pattern : parts[i + 1].split(QLatin1Char(';'), Qt::SkipEmptyParts))
      if (!pattern.trimmed().isEmpty()) patterns << pattern.trimmed();
    if (description.isEmpty() || patterns.isEmpty()) continue;
    filters << description + QStringLiteral(" (") + patterns.join(QLatin1Char(' ')) +
                   QLatin1Char(')');
  }
  return filters;
}

}  // namespace mf
