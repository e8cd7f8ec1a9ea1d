// ListView1, the check-box list of the files to convert: one row per file, the file's path
// as the row caption and six sub-items ("Video Size" ... "Frames"). The rows live in a plain
// table model, so the shell reads and writes cells by row and sub-item index.
#pragma once

#include <QAbstractTableModel>
#include <QString>
#include <QTableView>

#include <array>
#include <vector>

namespace mf {

// Sub-item indexes: column 0 is the caption, sub-item i is column i + 1.
enum TSubItem : int {
  SubItemVideoSize = 0,
  SubItemFrameRate = 1,
  SubItemDuration = 2,
  SubItemOutput = 3,
  SubItemProgress = 4,
  SubItemFrames = 5,
};
inline constexpr int SubItemCount = 6;

// One column of the list as designed: caption, width in pixels, centred or left, and the
// widest text it usually shows.
struct TListColumn {
  const char* Caption;
  int Width;
  bool Centred;
  const char* WidestText;
};
inline constexpr std::array<TListColumn, 1 + SubItemCount> ListColumns = {{
    {"Video File Name", 300, false, ""},
    {"Video Size", 90, true, "1920x1080"},
    {"FrameRate", 90, true, "29.97"},
    {"Duration", 60, true, "00:00:00"},
    {"Output", 65, true, "MP4"},
    {"Progress", 57, true, "Abort"},
    {"Frames", 60, true, "999999"},
}};

class TFileListModel final : public QAbstractTableModel {
 public:
  struct TRow {
    QString Caption;
    bool Checked = true;
    std::array<QString, SubItemCount> SubItems;
    // Why the row's last conversion failed; the tooltip of its cells, empty otherwise.
    QString FailureReason;
  };

  int rowCount(const QModelIndex& parent = {}) const override;
  int columnCount(const QModelIndex& parent = {}) const override;
  QVariant data(const QModelIndex& index, int role) const override;
  bool setData(const QModelIndex& index, const QVariant& value, int role) override;
  Qt::ItemFlags flags(const QModelIndex& index) const override;
  QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

  int AddRow(const QString& caption, bool checked);
  void DeleteRow(int row);
  void Clear();
  const TRow& Row(int row) const { return Rows.at(row); }
  void SetSubItem(int row, int subItem, const QString& text);
  void SetChecked(int row, bool checked);
  void SetFailureReason(int row, const QString& reason);

 private:
  std::vector<TRow> Rows;
};

class TFileListView final : public QTableView {
 public:
  explicit TFileListView(QWidget* parent = nullptr);

  int RowCount() const;
  // Appends a row with empty sub-items; returns its index.
  int AddRow(const QString& caption, bool checked = true);
  void DeleteRow(int row);
  void Clear();

  QString Caption(int row) const;
  QString SubItem(int row, int subItem) const;
  void SetSubItem(int row, int subItem, const QString& text);
  // Shown when the pointer rests on the row's cells; an empty reason takes it away.
  void SetFailureReason(int row, const QString& reason);
  bool Checked(int row) const;
  void SetChecked(int row, bool checked);
  void SetAllChecked(bool checked);

  // The selected row, or -1.
  int SelectedRow() const;
  void SelectRow(int row);
  // Scrolls so that the row is visible.
  void MakeVisible(int row);

 protected:
  void paintEvent(QPaintEvent* event) override;
  void changeEvent(QEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;

 private:
  void FitRowHeight();
  void FitColumns();

  TFileListModel Model;
};

}  // namespace mf
