#pragma once
// Starting a command line without waiting for it, without any shell in between.
#include <QString>
#include <QStringList>

#include <functional>

namespace platform::shell {

// Window states as the design passes them.
inline constexpr int vbHide = 0;
inline constexpr int vbNormalFocus = 1;
inline constexpr int vbMinimizedFocus = 2;

// The first word of the command line names the program ("explorer" stands for the system's
// opener, xdg-open); the rest of the line after that word and one space goes to it as one
// argument, untouched. Returns false with the reason when the program could not be started.
bool startCommandLine(const QString& commandLine, int windowState, QString* error = nullptr);

// Test seam: receives the program and its arguments instead of starting anything.
using Launcher = std::function<bool(const QString& program, const QStringList& arguments, QString* error)>;
void setLauncherForTests(Launcher launcher);

}  // namespace platform::shell
