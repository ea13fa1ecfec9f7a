#pragma once
// A window's stays-on-top state.
class QWidget;

namespace platform {

// Sets or clears the window's stays-on-top state; the window keeps its place and size.
void setWindowOnTop(QWidget* window, bool onTop);

}  // namespace platform
