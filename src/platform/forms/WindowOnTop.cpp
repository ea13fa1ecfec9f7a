#include "WindowOnTop.h"

#include "FixedFrame.h"

#include <QWidget>
#include <QWindow>

namespace platform {

void setWindowOnTop(QWidget* window, bool onTop) {
  const Qt::WindowFlags now = window->windowFlags();
  const Qt::WindowFlags wanted = onTop ? now | Qt::WindowStaysOnTopHint : now & ~Qt::WindowStaysOnTopHint;
  QWindow* native = window->windowHandle();
  if (!native) {
    // No native window yet: nothing to re-create.
    if (wanted != now) window->setWindowFlags(wanted);
    return;
  }
  if (wanted == now && native->flags() == wanted) return;
  // QWidget::setWindowFlags would re-create the native window: it flickers, hides for a moment
  // and drops the keyboard focus. The native window takes the changed hint as it is.
  window->overrideWindowFlags(wanted);
  native->setFlags(wanted);
  renewFixedFrame(window);
}

}  // namespace platform
