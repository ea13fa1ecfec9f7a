#pragma once
// Message boxes as the design uses them: text, a style value (button set + icon + default
// button), and a title ("Keyloft Demo" when the caller gives none).
#include <QString>

#include <functional>

class QMessageBox;
class QWidget;

namespace platform::msgbox {

// Style values: button sets ...
inline constexpr int vbOKOnly = 0;
inline constexpr int vbOKCancel = 1;
inline constexpr int vbAbortRetryIgnore = 2;
inline constexpr int vbYesNoCancel = 3;
inline constexpr int vbYesNo = 4;
inline constexpr int vbRetryCancel = 5;
// ... icons ...
inline constexpr int vbCritical = 16;
inline constexpr int vbQuestion = 32;
inline constexpr int vbExclamation = 48;
inline constexpr int vbInformation = 64;
// ... default button.
inline constexpr int vbDefaultButton1 = 0;
inline constexpr int vbDefaultButton2 = 256;
inline constexpr int vbDefaultButton3 = 512;

// Answers.
inline constexpr int vbOK = 1;
inline constexpr int vbCancel = 2;
inline constexpr int vbAbort = 3;
inline constexpr int vbRetry = 4;
inline constexpr int vbIgnore = 5;
inline constexpr int vbYes = 6;
inline constexpr int vbNo = 7;

// The application's title, used when a box gives none.
QString applicationTitle();

// Builds a real QMessageBox and runs it; returns the answer. Closing the box without a button
// answers Cancel where the set has one, else the only button. The box belongs to `owner`'s window
// (the window that asks) and stands above it, top-most when that window is; without an owner it
// belongs to the active window, if any.
int msgBox(const QString& text, int style = vbOKOnly, const QString& title = {}, QWidget* owner = nullptr);

// Test seam: the hook receives the fully built box (text, buttons, icon, default, title) and
// returns the answer instead of the user. An empty function restores the real box.
void setMessageBoxHookForTests(std::function<int(QMessageBox&)> hook);

}  // namespace platform::msgbox
