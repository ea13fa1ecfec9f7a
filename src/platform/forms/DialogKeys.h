#pragma once
// What the small dialogs share: captioned command buttons placed in twips, and the keys of a
// dialog (Enter presses the button that has the focus, else the dialog's action; Escape cancels).
#include <QString>

class QPushButton;
class QWidget;

namespace platform {

// A command button named for screen readers by its caption.
QPushButton* commandButton(const QString& caption, QWidget* parent, int left, int top, int width, int height);

// Enter (either key) presses the enabled button that has the focus, or `action` from anywhere else
// in `window`; Escape presses `cancel`.
void wireDialogKeys(QWidget* window, QPushButton* action, QPushButton* cancel);

}  // namespace platform
