#pragma once
// Keeps a window above all others, or releases it.
class QWidget;

namespace modOnTop {

// The flag is a 16-bit boolean as the design passes it: exactly -1 means on top; any other value releases.
void setOnTop(QWidget* window, short onTop);

}  // namespace modOnTop
