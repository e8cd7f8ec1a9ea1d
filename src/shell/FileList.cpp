#include "FileList.h"

#include <QEvent>
#include <QHeaderView>
#include <QPainter>
#include <QStyle>

#include <algorithm>

namespace mf {

namespace {

bool ValidSubItem(int subItem) { return subItem >= 0 && subItem < SubItemCount; }

Qt::Alignment ColumnAlignment(int column) {
  return (ListColumns[column].Centred ? Qt::AlignHCenter : Qt::AlignLeft) | Qt::AlignVCenter;
}

}  // namespace

int TFileListModel::rowCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : static_cast<int>(Rows.size());
}

int TFileListModel::columnCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : static_cast<int>(ListColumns.size());
}

QVariant TFileListModel::data(const QModelIndex& index, int role) const {
  if (!index.isValid() || index.row() >= rowCount()) return {};
  const TRow& row = Rows[index.row()];
  const int column = index.column();
  switch (role) {
    case Qt::DisplayRole:
      return column == 0 ? row.Caption : row.SubItems[column - 1];
    case Qt::ToolTipRole:
      if (!row.FailureReason.isEmpty()) return column == 0 ? row.Caption + "\n" + row.FailureReason : row.FailureReason;
      return column == 0 ? QVariant(row.Caption) : QVariant();
    case Qt::CheckStateRole:
      return column == 0 ? QVariant(row.Checked ? Qt::Checked : Qt::Unchecked) : QVariant();
    case Qt::TextAlignmentRole:
      return QVariant(ColumnAlignment(column));
    default:
      return {};
  }
}

bool TFileListModel::setData(const QModelIndex& index, const QVariant& value, int role) {
  if (!index.isValid() || index.column() != 0 || role != Qt::CheckStateRole) return false;
  SetChecked(index.row(), value.value<Qt::CheckState>() == Qt::Checked);
  return true;
}

Qt::ItemFlags TFileListModel::flags(const QModelIndex& index) const {
  if (!index.isValid()) return Qt::NoItemFlags;
  Qt::ItemFlags flags = Qt::ItemIsEnabled | Qt::ItemIsSelectable;
  if (index.column() == 0) flags |= Qt::ItemIsUserCheckable;
  return flags;
}

QVariant TFileListModel::headerData(int section, Qt::Orientation orientation, int role) const {
  if (orientation != Qt::Horizontal || section < 0 || section >= columnCount()) return {};
  if (role == Qt::DisplayRole) return QString::fromLatin1(ListColumns[section].Caption);
  if (role == Qt::TextAlignmentRole) return QVariant(ColumnAlignment(section));
  return {};
}

int TFileListModel::AddRow(const QString& caption, bool checked) {
  const int row = rowCount();
  beginInsertRows({}, row, row);
  Rows.push_back({caption, checked, {}});
  endInsertRows();
  return row;
}

void TFileListModel::DeleteRow(int row) {
  if (row < 0 || row >= rowCount()) return;
  beginRemoveRows({}, row, row);
  Rows.erase(Rows.begin() + row);
  endRemoveRows();
}

void TFileListModel::Clear() {
  beginResetModel();
  Rows.clear();
  endResetModel();
}

void TFileListModel::SetSubItem(int row, int subItem, const QString& text) {
  if (row < 0 || row >= rowCount() || !ValidSubItem(subItem)) return;
  Rows[row].SubItems[subItem] = text;
  const QModelIndex cell = index(row, subItem + 1);
  emit dataChanged(cell, cell, {Qt::DisplayRole});
}

void TFileListModel::SetFailureReason(int row, const QString& reason) {
  if (row < 0 || row >= rowCount() || Rows[row].FailureReason == reason) return;
  Rows[row].FailureReason = reason;
  emit dataChanged(index(row, 0), index(row, SubItemCount), {Qt::ToolTipRole});
}

void TFileListModel::SetChecked(int row, bool checked) {
  if (row < 0 || row >= rowCount() || Rows[row].Checked == checked) return;
  Rows[row].Checked = checked;
  const QModelIndex cell = index(row, 0);
  emit dataChanged(cell, cell, {Qt::CheckStateRole});
}

TFileListView::TFileListView(QWidget* parent) : QTableView(parent) {
  setModel(&Model);
  setSelectionBehavior(QAbstractItemView::SelectRows);
  setSelectionMode(QAbstractItemView::SingleSelection);
  setEditTriggers(QAbstractItemView::NoEditTriggers);
  setShowGrid(true);
  setAlternatingRowColors(true);
  setWordWrap(false);
  // Paths are long; their beginning and the file name matter more than the middle.
  setTextElideMode(Qt::ElideMiddle);
  setHorizontalScrollMode(QAbstractItemView::ScrollPerPixel);
  verticalHeader()->hide();
  FitRowHeight();
  QHeaderView* header = horizontalHeader();
  header->setHighlightSections(false);
  header->setStretchLastSection(false);
  FitColumns();
}

int TFileListView::RowCount() const { return Model.rowCount(); }

int TFileListView::AddRow(const QString& caption, bool checked) {
  return Model.AddRow(caption, checked);
}

void TFileListView::DeleteRow(int row) { Model.DeleteRow(row); }

void TFileListView::Clear() { Model.Clear(); }

QString TFileListView::Caption(int row) const {
  return row >= 0 && row < RowCount() ? Model.Row(row).Caption : QString();
}

QString TFileListView::SubItem(int row, int subItem) const {
  if (row < 0 || row >= RowCount() || !ValidSubItem(subItem)) return {};
  return Model.Row(row).SubItems[subItem];
}

void TFileListView::SetSubItem(int row, int subItem, const QString& text) {
  Model.SetSubItem(row, subItem, text);
}

void TFileListView::SetFailureReason(int row, const QString& reason) { Model.SetFailureReason(row, reason); }

bool TFileListView::Checked(int row) const {
  return row >= 0 && row < RowCount() && Model.Row(row).Checked;
}

void TFileListView::SetChecked(int row, bool checked) { Model.SetChecked(row, checked); }

void TFileListView::SetAllChecked(bool checked) {
  for (int row = 0; row < RowCount(); ++row) Model.SetChecked(row, checked);
}

int TFileListView::SelectedRow() const {
  const QModelIndexList rows = selectionModel()->selectedRows();
  return rows.isEmpty() ? -1 : rows.first().row();
}

void TFileListView::SelectRow(int row) {
  if (row < 0 || row >= RowCount())
    clearSelection();
  else
    selectRow(row);
}

void TFileListView::MakeVisible(int row) {
  if (row >= 0 && row < RowCount()) scrollTo(Model.index(row, 0));
}

void TFileListView::changeEvent(QEvent* event) {
  QTableView::changeEvent(event);
  if (event->type() == QEvent::FontChange) FitRowHeight();
}

void TFileListView::FitRowHeight() {
  verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 8);
}

void TFileListView::resizeEvent(QResizeEvent* event) {
  QTableView::resizeEvent(event);
  FitColumns();
}

// The designed widths suit a small font. A column is widened when its caption or its usual
// text would not fit, and the file name column gives that room back, so the list needs no
// horizontal scrolling.
void TFileListView::FitColumns() {
  const QFontMetrics metrics(font());
  const int cellPadding = 2 * style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, this) + 10;
  const int headerPadding = 2 * style()->pixelMetric(QStyle::PM_HeaderMargin, nullptr, this) + 6;
  std::array<int, ListColumns.size()> widths{};
  int total = 0;
  for (std::size_t column = 0; column < ListColumns.size(); ++column) {
    const TListColumn& designed = ListColumns[column];
    widths[column] = std::max({designed.Width,
                               metrics.horizontalAdvance(QString::fromLatin1(designed.Caption)) + headerPadding,
                               metrics.horizontalAdvance(QString::fromLatin1(designed.WidestText)) + cellPadding});
    total += widths[column];
  }
  // Room for the vertical scroll bar is kept, so rows arriving later change nothing here.
  const int available = width() - 2 * frameWidth() - style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, this);
  constexpr int MinFileNameWidth = 160;
  if (total > available) widths[0] = std::max(MinFileNameWidth, widths[0] - (total - available));
  for (std::size_t column = 0; column < widths.size(); ++column)
    setColumnWidth(static_cast<int>(column), widths[column]);
}

void TFileListView::paintEvent(QPaintEvent* event) {
  QTableView::paintEvent(event);
  if (RowCount() > 0) return;
  // An empty list says what to do first.
  QPainter painter(viewport());
  QColor hint = palette().color(QPalette::PlaceholderText);
  painter.setPen(hint);
  painter.drawText(viewport()->rect(), Qt::AlignCenter,
                   QStringLiteral("Add Files to Convert"));
}

}  // namespace mf
