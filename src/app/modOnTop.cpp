#include "modOnTop.h"

#include "platform/forms/WindowOnTop.h"

namespace modOnTop {

void setOnTop(QWidget* window, short onTop) {
  if (!window) return;
  platform::setWindowOnTop(window, onTop == -1);
}

}  // namespace modOnTop
