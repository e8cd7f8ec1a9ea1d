// The program's icon, drawn rather than shipped as an image file, so the windows and the
// About box look the same on every desktop.
#pragma once

#include <QIcon>
#include <QPixmap>

namespace mf {

QPixmap ProgramPixmap(int size);
QIcon ProgramIcon();

}  // namespace mf
