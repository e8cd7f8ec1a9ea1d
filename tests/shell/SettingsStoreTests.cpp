// The settings store and the "Additional Options" window: the first run, the load order
// with its guard, saving on close and not on "Exit".
#include <gtest/gtest.h>

#include <QApplication>
#include <QTimer>

#include <map>
#include <optional>

#include "SettingsStore.h"
#include "ShellFixture.h"

namespace mf::test {
namespace {

constexpr const char* ValueNames[] = {SettingNames::OutputFolder, SettingNames::ComboOutputFormat,
                                      SettingNames::Overwrite, SettingNames::DropDownItems,
                                      SettingNames::LetterBox};

using TStored = std::map<std::string, QString>;

// The five values on disk as text; a missing value reads "<none>".
TStored StoredValues(const QString& file) {
  QSettings stored(file, QSettings::IniFormat);
  TStored values;
  for (const char* name : ValueNames) {
    const QVariant value = stored.value(QString::fromLatin1(name));
    values[name] = value.isValid() ? value.toString() : QStringLiteral("<none>");
  }
  return values;
}

TEST_F(TShellTest, FirstRunWritesTheFiveValuesWithTheStartState) {
  ASSERT_FALSE(QFile::exists(SettingsFile()));
  Start();
  const TStored expected = {{"Output Folder", ""}, {"ComboOutputFormat", "0"}, {"Overwrite", "0"},
                            {"DropDownItems", "27"}, {"LetterBox", "0"}};
  EXPECT_EQ(StoredValues(SettingsFile()), expected);
}

TEST_F(TShellTest, LoadAppliesValuesInOrderAndSavesTheStateAtTheFirstFailedRead) {
  struct TCase {
    const char* Name;
    QByteArray Stored;
    // The windows after loading.
    const char* Folder;
    int FormatRow;
    bool Overwrite;
    int DropDownItems;
    int LetterBox;
    // The file after loading: null when it must be left as it was.
    std::optional<TStored> Rewritten;
  };
  const QByteArray valid =
      "Output%20Folder=/videos/out\nComboOutputFormat=22\nOverwrite=1\nDropDownItems=30\nLetterBox=1\n";
  const TCase cases[] = {
      {"all five valid", valid, "/videos/out", 22, true, 30, 1, std::nullopt},
      {"drop-down rows above the range", "Output%20Folder=/v\nComboOutputFormat=4\nOverwrite=0\nDropDownItems=100\nLetterBox=0\n",
       "/v", 4, false, 47, 0, std::nullopt},
      {"output format -1", "Output%20Folder=/v\nComboOutputFormat=-1\nOverwrite=5\nDropDownItems=28\nLetterBox=1\n",
       "/v", 0, true, 28, 1, std::nullopt},
      {"letterbox past its items", "Output%20Folder=/v\nComboOutputFormat=2\nOverwrite=0\nDropDownItems=28\nLetterBox=7\n",
       "/v", 2, false, 28, 0, std::nullopt},
      {"overwrite of the wrong type",
       "Output%20Folder=/v\nComboOutputFormat=22\nOverwrite=yes\nDropDownItems=30\nLetterBox=1\n", "/v", 22,
       false, 27, 0,
       TStored{{"Output Folder", "/v"}, {"ComboOutputFormat", "22"}, {"Overwrite", "0"},
               {"DropDownItems", "27"}, {"LetterBox", "0"}}},
      {"drop-down rows missing", "Output%20Folder=/v\nComboOutputFormat=22\nOverwrite=1\nLetterBox=1\n", "/v",
       22, true, 27, 0,
       TStored{{"Output Folder", "/v"}, {"ComboOutputFormat", "22"}, {"Overwrite", "1"},
               {"DropDownItems", "27"}, {"LetterBox", "0"}}},
      {"number wider than 32 bits",
       "Output%20Folder=/v\nComboOutputFormat=4294967318\nOverwrite=1\nDropDownItems=30\nLetterBox=1\n", "/v",
       0, false, 27, 0,
       TStored{{"Output Folder", "/v"}, {"ComboOutputFormat", "0"}, {"Overwrite", "0"},
               {"DropDownItems", "27"}, {"LetterBox", "0"}}},
      {"folder that is not a text",
       "Output%20Folder=/a, /b\nComboOutputFormat=22\nOverwrite=1\nDropDownItems=30\nLetterBox=1\n", "", 0,
       false, 27, 0,
       TStored{{"Output Folder", ""}, {"ComboOutputFormat", "0"}, {"Overwrite", "0"},
               {"DropDownItems", "27"}, {"LetterBox", "0"}}},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Name);
    NewSettingsFolder();
    StoreSettings(c.Stored);
    const TStored before = StoredValues(SettingsFile());
    Start();
    EXPECT_EQ(Form().EditOutputFolder.text(), c.Folder);
    EXPECT_EQ(Form().ComboOutputFormat.currentIndex(), c.FormatRow);
    EXPECT_EQ(Options().CheckBoxOverWrite.isChecked(), c.Overwrite);
    EXPECT_EQ(Options().SpinEdit1.value(), c.DropDownItems);
    EXPECT_EQ(Form().ComboLetterBox.currentIndex(), c.LetterBox);
    EXPECT_EQ(StoredValues(SettingsFile()), c.Rewritten.value_or(before));
    Windows.reset();
  }
}

TEST_F(TShellTest, StoredDropDownRowsOf100LoadAndSaveAs47) {
  StoreSettings("Output%20Folder=\nComboOutputFormat=0\nOverwrite=0\nDropDownItems=100\nLetterBox=0\n");
  Start();
  EXPECT_EQ(Options().SpinEdit1.value(), 47);
  EXPECT_EQ(Form().ComboOutputFormat.maxVisibleItems(), 47);
  ASSERT_TRUE(Form().close());
  EXPECT_EQ(StoredValue(SettingNames::DropDownItems).toString(), "47");
}

TEST_F(TShellTest, ClosingSavesTheSettingsAndExitDoesNot) {
  Start();
  TForm1& form = Form();
  Prompt.FolderAnswers = {"/data/out"};
  form.ButtonBrowseForFolder.click();
  form.ComboOutputFormat.setCurrentIndex(22);
  Options().CheckBoxOverWrite.setChecked(true);
  Options().SpinEdit1.setValue(35);
  form.ComboLetterBox.setCurrentIndex(1);
  const QByteArray firstRun = SettingsBytes();
  ASSERT_FALSE(firstRun.isEmpty());

  // "Exit" ends the message loop at once: no close, nothing saved.
  QTimer::singleShot(0, &form, [&form] { form.Exit1.trigger(); });
  QTimer::singleShot(5000, qApp, [] { QCoreApplication::exit(99); });  // should Exit not end it
  EXPECT_EQ(QApplication::exec(), 0);
  EXPECT_EQ(SettingsBytes(), firstRun);
  EXPECT_TRUE(form.isVisible());

  ASSERT_TRUE(form.close());
  const TStored expected = {{"Output Folder", "/data/out"}, {"ComboOutputFormat", "22"}, {"Overwrite", "1"},
                            {"DropDownItems", "35"}, {"LetterBox", "1"}};
  EXPECT_EQ(StoredValues(SettingsFile()), expected);
}

TEST_F(TShellTest, AdditionalOptionsWindowHasItsDesignedContents) {
  Start();
  TForm4& options = Options();
  EXPECT_EQ(options.windowTitle(), "Additional Options");
  EXPECT_TRUE(options.windowFlags() & Qt::WindowStaysOnTopHint);
  EXPECT_EQ(options.GroupBox1.title(), " Additional Options ");
  EXPECT_EQ(options.CheckBoxOverWrite.text(), "Overwrite Existing File With The Same Name");
  EXPECT_EQ(options.Label1.text(), " Drop Down Items in Output Format List");
  EXPECT_EQ(options.SpinEdit1.minimum(), 26);
  EXPECT_EQ(options.SpinEdit1.maximum(), 47);
  EXPECT_EQ(options.Button1.text(), "Done");
  EXPECT_EQ(options.parentWidget(), &Form()) << "centred on the main window";
}

}  // namespace
}  // namespace mf::test
