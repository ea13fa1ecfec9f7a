#include "Shell.h"
#include "RunState.h"

#include <QProcess>

#include <utility>

namespace platform::shell {
namespace {

bool startDetached(const QString& program, const QStringList& arguments, QString* error) {
  QProcess process;
  process.setProgram(program);
  process.setArguments(arguments);
  process.setStandardInputFile(QProcess::nullDevice());
  if (process.startDetached()) return true;
  if (error) *error = QStringLiteral("Could not start ") + program + QStringLiteral(": ") + process.errorString();
  return false;
}

}  // namespace

// The window state has no meaning for the system opener, which picks its own window.
bool startCommandLine(const QString& commandLine, int windowState, QString* error) {
  (void)windowState;
  const qsizetype space = commandLine.indexOf(QLatin1Char(' '));
  QString program = space < 0 ? commandLine : commandLine.left(space);
  const QString rest = space < 0 ? QString() : commandLine.mid(space + 1);
  if (program.isEmpty()) {
    if (error) *error = QStringLiteral("No program named in the command line");
    return false;
  }
  if (program.compare(QLatin1String("explorer"), Qt::CaseInsensitive) == 0) program = QStringLiteral("xdg-open");
  // No shell and no splitting: the rest reaches the program as one argument, byte for byte.
  QStringList arguments;
  if (!rest.isEmpty()) arguments.append(rest);
  return baseRunState().launcher ? baseRunState().launcher(program, arguments, error)
                                 : startDetached(program, arguments, error);
}

void setLauncherForTests(Launcher launcher) { baseRunState().launcher = std::move(launcher); }

}  // namespace platform::shell
