#pragma once
// Tells the window manager that a window can be neither resized nor maximised.
class QWidget;

namespace platform {

// On X11 rewrites the window's Motif hints to move and close only (plus minimise when the window
// has that button), with a border and caption but no resize handles. Qt's own hints always allow
// resizing, and some window managers draw a maximise button for any resizable window, even when
// its minimum and maximum sizes are equal. Needs the native window; elsewhere it does nothing.
void askForFixedFrame(QWidget* window);

// Asks again for a window that asked before: changing a window's flags (staying on top) makes
// Qt write its own hints over ours.
void renewFixedFrame(QWidget* window);

}  // namespace platform
