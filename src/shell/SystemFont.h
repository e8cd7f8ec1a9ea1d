// The system font rule: each of the program's three windows takes the user interface font
// that the desktop prefers, when the window's font is another family and that family is
// installed. Nothing else about the font changes.
#pragma once

class QWidget;

namespace mf {

void ApplySystemFont(QWidget& window);

}  // namespace mf
