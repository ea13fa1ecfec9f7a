// How long a visit takes: from the click on Visit to the first page shown in the browser window,
// on a page served from the loopback address. The first visit of a process loads and starts the
// web engine; later ones find it running. Measured and printed, never asserted.
#include "app/endProgram.h"
#include "app/modLivery.h"
#include "browser/frmWebsite.h"
#include "gate/frmPass.h"
#include "list/Form1.h"
#include "main/frmSplash.h"
#include "main/ProgramWiring.h"
#include "platform/base/Files.h"
#include "platform/base/Settings.h"
#include "platform/forms/MessageBox.h"
#include "platform/web/WebBrowser.h"
#include "vault/modGlobals.h"

#include <QApplication>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QStandardPaths>
#include <QTcpServer>
#include <QTcpSocket>

#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <unistd.h>

namespace forms = platform::forms;

namespace {

char programName[] = "keyloft-bench";
char* arguments[] = {programName, nullptr};
int argumentCount = 1;

// One small page, served to every request.
class PageServer final : public QObject {
 public:
  PageServer() {
    server_.listen(QHostAddress::LocalHost, 0);
    connect(&server_, &QTcpServer::newConnection, this, [this] {
      while (QTcpSocket* socket = server_.nextPendingConnection()) {
        connect(socket, &QTcpSocket::readyRead, socket, [socket] {
          if (!socket->readAll().contains("\r\n\r\n")) return;
          const QByteArray page = "<html><head><title>Bench Page</title></head><body>bench</body></html>";
          socket->write("HTTP/1.1 200 OK\r\nContent-Type: text/html\r\nConnection: close\r\nContent-Length: " +
                        QByteArray::number(page.size()) + "\r\n\r\n" + page);
          socket->disconnectFromHost();
        });
        connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
      }
    });
  }
  QString address() const { return QStringLiteral("http://127.0.0.1:") + QString::number(server_.serverPort()) + u'/'; }

 private:
  QTcpServer server_;
};

void BM_VisitToFirstPage(benchmark::State& state) {
  QStandardPaths::setTestModeEnabled(true);
  setProgramTerminatorForTests([] {});
  platform::msgbox::setMessageBoxHookForTests([](QMessageBox&) { return platform::msgbox::vbOK; });
  const auto folder = std::filesystem::temp_directory_path() / ("keyloft-bench-" + std::to_string(::getpid()));
  std::filesystem::create_directories(folder);
  std::string image = "\xe1\xe2\xe3\xe4\r\n\r\n";  // master password "abcd", no entries
  std::ofstream(folder / "data.enc", std::ios::binary) << image;
  platform::files::setProgramFolderForTests(folder.string());
  platform::settings::setSettingsFolderForTests(QString::fromStdString((folder / "settings").string()));
  platform::settings::saveSetting(QStringLiteral("Keyloft"), QStringLiteral("Settings"), QStringLiteral("showHelp"),
                                  QStringLiteral("0"));

  PageServer server;
  // The product's address is not fetched: every visit goes to the bench's page.
  platform::WebBrowser::setAddressRewriteForTests([&server](const QString&) { return server.address(); });
  ProgramWiring::wireProgram();
  frmSplash* splash = forms::show<frmSplash>();
  while (splash->intTemp < 150) splash->Timer2_Timer();
  forms::instance<frmPass>()->txtPass->setText(QStringLiteral("abcd"));
  forms::instance<frmPass>()->cmdOK->click();

  double first = 0, worst = 0;
  bool cold = true;
  for (auto _ : state) {
    const auto start = std::chrono::steady_clock::now();
    forms::instance<Form1>()->cmdWebsite[0]->click();
    const frmWebsite* browser = forms::instance<frmWebsite>();
    while (!browser || browser->caption() != QStringLiteral("Bench Page"))
      QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 5);
    const std::chrono::duration<double> took = std::chrono::steady_clock::now() - start;
    state.SetIterationTime(took.count());
    (cold ? first : worst) = cold ? took.count() : std::max(worst, took.count());
    cold = false;
    forms::unload<frmWebsite>();
  }
  state.counters["first_ms"] = first * 1000;
  state.counters["later_worst_ms"] = worst * 1000;
  std::printf("Visit to first page: first visit %.1f ms, later visits worst %.1f ms\n", first * 1000, worst * 1000);
  platform::WebBrowser::setAddressRewriteForTests({});
  forms::resetForTests();
  platform::files::setProgramFolderForTests({});
  platform::settings::setSettingsFolderForTests({});
  std::error_code ignored;
  std::filesystem::remove_all(folder, ignored);
}
BENCHMARK(BM_VisitToFirstPage)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(6);

}  // namespace

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  benchmark::Initialize(&argc, argv);
  platform::WebBrowser::setEngineModuleForTests(QStringLiteral(KEYLOFT_WEBENGINE_MODULE));
  QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
  QApplication application(argumentCount, arguments);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
