#include "SystemFont.h"

#include <QFontDatabase>
#include <QWidget>

namespace mf {

void ApplySystemFont(QWidget& window) {
  const QFont preferred = QFontDatabase::systemFont(QFontDatabase::GeneralFont);
  if (window.font().family().compare(preferred.family(), Qt::CaseInsensitive) == 0) return;
  if (!QFontDatabase::families().contains(preferred.family(), Qt::CaseInsensitive)) return;
  window.setFont(preferred);
}

}  // namespace mf
