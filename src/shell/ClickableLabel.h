// A label that acts as a link: hand cursor, link colour, and a click handler.
#pragma once

#include <QLabel>
#include <QMouseEvent>

#include <functional>

namespace mf {

class TClickableLabel final : public QLabel {
 public:
  explicit TClickableLabel(QWidget* parent = nullptr) : QLabel(parent) {
    setCursor(Qt::PointingHandCursor);
    QPalette colours = palette();
    colours.setColor(QPalette::WindowText, colours.color(QPalette::Link));
    setPalette(colours);
  }

  std::function<void()> OnClick;

 protected:
  void mouseReleaseEvent(QMouseEvent* event) override {
    QLabel::mouseReleaseEvent(event);
    // Like a button: the click counts when the mouse is released over the label.
    if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint()) && OnClick)
      OnClick();
  }
  void enterEvent(QEnterEvent* event) override {
    QLabel::enterEvent(event);
    SetUnderline(true);
  }
  void leaveEvent(QEvent* event) override {
    QLabel::leaveEvent(event);
    SetUnderline(false);
  }

 private:
  void SetUnderline(bool on) {
    QFont underlined = font();
    underlined.setUnderline(on);
    setFont(underlined);
  }
};

}  // namespace mf
