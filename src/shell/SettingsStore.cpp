#include "SettingsStore.h"

#include <QSettings>
#include <QVariant>

#include <limits>

#include "AdditionalOptions.h"
#include "Catalogue.h"
#include "MainWindow.h"

namespace mf {

namespace {

class TSettingsKey {
 public:
  TSettingsKey()
      : Store(QSettings::IniFormat, QSettings::UserScope, QStringLiteral("Kestrovo"),
              QStringLiteral("Marrowfin")) {
    // Only the user's own values count, not a system-wide file of the same name.
    Store.setFallbacksEnabled(false);
  }

  bool Readable() const { return Store.status() == QSettings::NoError; }

  // A missing text reads as empty; a value that is not a text fails.
  bool ReadString(const char* name, QString& text) const {
    const QVariant value = Store.value(QString::fromLatin1(name));
    if (!value.isValid()) {
      text.clear();
      return true;
    }
    if (value.typeId() != QMetaType::QString) return false;
    text = value.toString();
    return true;
  }

  // A missing value fails, and so does one that is not a 32-bit integer.
  bool ReadInteger(const char* name, int& number) const {
    const QVariant value = Store.value(QString::fromLatin1(name));
    bool ok = false;
    qlonglong wide = 0;
    switch (value.typeId()) {
      case QMetaType::QString:
        wide = value.toString().toLongLong(&ok, 10);
        break;
      case QMetaType::Int:
      case QMetaType::UInt:
      case QMetaType::LongLong:
      case QMetaType::ULongLong:
        wide = value.toLongLong(&ok);
        break;
      default:
        return false;
    }
    if (!ok || wide < std::numeric_limits<int>::min() || wide > std::numeric_limits<int>::max())
      return false;
    number = static_cast<int>(wide);
    return true;
  }

  void WriteString(const char* name, const QString& text) { Store.setValue(QString::fromLatin1(name), text); }
  void WriteInteger(const char* name, int number) { Store.setValue(QString::fromLatin1(name), number); }
  void Close() { Store.sync(); }

 private:
  QSettings Store;
};

void WriteAll(TSettingsKey& key, const TForm1& form1, const TForm4& form4) {
  key.WriteString(SettingNames::OutputFolder, form1.EditOutputFolder.text());
  key.WriteInteger(SettingNames::ComboOutputFormat, form1.ComboOutputFormat.currentIndex());
  key.WriteInteger(SettingNames::Overwrite, form4.CheckBoxOverWrite.isChecked() ? 1 : 0);
  key.WriteInteger(SettingNames::DropDownItems, form4.SpinEdit1.value());
  key.WriteInteger(SettingNames::LetterBox, form1.ComboLetterBox.currentIndex());
  key.Close();
}

// False at the first value that cannot be read; what was applied before stays.
bool ApplyStored(const TSettingsKey& key, TForm1& form1, TForm4& form4) {
  if (!key.Readable()) return false;
  QString folder;
  if (!key.ReadString(SettingNames::OutputFolder, folder)) return false;
  form1.EditOutputFolder.setText(folder);

  int number = 0;
  if (!key.ReadInteger(SettingNames::ComboOutputFormat, number)) return false;
  // Only a row that holds a profile: a separator or a row past the list would leave the
  // window without an output format.
  if (number >= 0 && OutputFormatRowEntry(number)) form1.SelectIndex(TOptionBox::OutputFormat, number);

  if (!key.ReadInteger(SettingNames::Overwrite, number)) return false;
  form4.CheckBoxOverWrite.setChecked(number != 0);

  if (!key.ReadInteger(SettingNames::DropDownItems, number)) return false;
  if (number >= 0) form4.SpinEdit1.setValue(number);  // the spin box keeps it within its range

  if (!key.ReadInteger(SettingNames::LetterBox, number)) return false;
  if (number >= 0 && number < form1.ComboLetterBox.count()) form1.ComboLetterBox.setCurrentIndex(number);
  return true;
}

}  // namespace

void LoadSettings(TForm1& form1, TForm4& form4) {
  TSettingsKey key;
  if (!ApplyStored(key, form1, form4)) WriteAll(key, form1, form4);
}

void SaveSettings(const TForm1& form1, const TForm4& form4) {
  TSettingsKey key;
  WriteAll(key, form1, form4);
}

}  // namespace mf
