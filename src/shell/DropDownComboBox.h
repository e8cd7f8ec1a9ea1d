// A drop-down list that tells its window just before the list opens, so the window can set
// how many rows it shows at that moment.
#pragma once

#include <QComboBox>

#include <functional>

namespace mf {

class TDropDownComboBox final : public QComboBox {
 public:
  using QComboBox::QComboBox;

  std::function<void()> OnDropDown;

  void showPopup() override {
    if (OnDropDown) OnDropDown();
    QComboBox::showPopup();
  }
};

}  // namespace mf
