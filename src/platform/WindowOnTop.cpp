#include "WindowOnTop.h"

#include <QWidget>

namespace platform {

void setWindowOnTop(QWidget* window, bool onTop) {
  if (window->testAttribute(Qt::WA_WState_Created) && window->windowFlags().testFlag(Qt::WindowStaysOnTopHint) == onTop)
    return;
  // Changing a window flag re-creates the native window and hides it; put it back as it was.
  const bool visible = window->isVisible();
  const QRect geometry = window->geometry();
  window->setWindowFlag(Qt::WindowStaysOnTopHint, onTop);
  if (visible) {
    window->setGeometry(geometry);
    window->show();
  }
}

}  // namespace platform
