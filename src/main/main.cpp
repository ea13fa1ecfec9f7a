// Keyloft starts with its splash window; everything after that is driven by window events.
#include "main/denyCoreDumps.h"
#include "main/frmSplash.h"
#include "main/ProgramWiring.h"
#include "platform/base/VersionRecord.h"
#include "platform/web/WebBrowser.h"

#include <QApplication>
#include <QFontDatabase>
#include <QThreadPool>

#include <cstdio>
#include <string_view>

int main(int argc, char* argv[]) {
  // Before anything is read or decrypted, so that no secret can end up in a core file.
  if (!denyCoreDumps()) std::fputs("keyloft: could not turn off core dumps\n", stderr);
  // Installers and launchers check a program by its version; it needs no display.
  if (argc == 2 && std::string_view(argv[1]) == "--version") {
    const platform::VersionRecord& record = platform::versionRecord();
    std::printf("%s %s\n", record.productName, record.productVersion);
    return std::fflush(stdout) == 0 ? 0 : 1;
  }
  // The web engine, loaded later at the first visit, draws through contexts shared with the
  // application's; that can only be asked for before the application exists.
  platform::WebBrowser::reserveSharedGraphicsContext();
  QApplication application(argc, argv);
  // The program ends only through endProgram: a moment without a visible window (between the
  // password dialog and the main window) must not end it.
  QApplication::setQuitOnLastWindowClosed(false);
  ProgramWiring::setDesktopIdentity();
  ProgramWiring::wireProgram();
  ProgramWiring::startLockTriggers();
  platform::forms::show<frmSplash>();
  // The first text drawn fills the font database (fontconfig's set-up). A worker does it while the
  // splash counts, so the main window and the password dialog after it find it ready.
  QThreadPool::globalInstance()->start([] { QFontDatabase::families(); });
  return QApplication::exec();
}
