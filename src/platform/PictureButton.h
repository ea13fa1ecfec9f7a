#pragma once
// A command button with its 32 x 32 picture above its caption, as graphical buttons show them.
#include <QPushButton>

namespace platform {

class PictureButton final : public QPushButton {
  Q_OBJECT

 public:
  PictureButton(const QString& caption, const QString& picture, QWidget* parent);

 protected:
  void paintEvent(QPaintEvent* event) override;
};

}  // namespace platform
