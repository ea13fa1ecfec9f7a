// Keyloft starts with its splash window; everything after that is driven by window events.
#include "app/ProgramWiring.h"
#include "app/frmSplash.h"

#include <QApplication>

int main(int argc, char* argv[]) {
  // The web engine, loaded later at the first visit, draws through contexts shared with the
  // application's; that can only be asked for before the application exists.
  QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
  QApplication application(argc, argv);
  // The program ends only through endProgram: a moment without a visible window (between the
  // password dialog and the main window) must not end it.
  QApplication::setQuitOnLastWindowClosed(false);
  ProgramWiring::setDesktopIdentity();
  ProgramWiring::wireProgram();
  platform::forms::show<frmSplash>();
  return QApplication::exec();
}
