// How long the start takes: from the application's creation to the password dialog on screen
// (the splash's 75 real ticks included), and from Enter on the right password to the main window
// painted with 100,000 entries. Measured and printed, never asserted.
#include "app/endProgram.h"
#include "app/modLivery.h"
#include "app/RunState.h"
#include "gate/frmPass.h"
#include "help/Form8.h"
#include "list/Form1.h"
#include "main/frmSplash.h"
#include "main/ProgramWiring.h"
#include "platform/base/Files.h"
#include "platform/base/Settings.h"
#include "platform/forms/ListView.h"
#include "platform/forms/MessageBox.h"
#include "platform/richtext/RichTextBox.h"
#include "vault/modGlobals.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMessageBox>
#include <QStandardPaths>

#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <unistd.h>

namespace forms = platform::forms;

namespace {

char programName[] = "keyloft-bench";
char* arguments[] = {programName, nullptr};
int argumentCount = 1;

// A program folder of its own with a vault of `entries` entries under the master password "abcd".
class BenchFolder {
 public:
  explicit BenchFolder(int entries) {
    path_ = std::filesystem::temp_directory_path() / ("keyloft-bench-" + std::to_string(::getpid()));
    std::filesystem::create_directories(path_);
    std::string image = flip("abcd") + "\r\n";
    for (int i = 0; i < entries; ++i) {
      const std::string n = std::to_string(i);
      image += flip("user" + n + "|||pass" + n + "|||www.site" + n + ".example") + "\r\n";
    }
    image += "\r\n";
    std::ofstream(path_ / "data.enc", std::ios::binary) << image;
    platform::files::setProgramFolderForTests(path_.string());
    platform::settings::setSettingsFolderForTests(QString::fromStdString((path_ / "settings").string()));
  }
  ~BenchFolder() {
    platform::files::setProgramFolderForTests({});
    platform::settings::setSettingsFolderForTests({});
    std::error_code ec;
    std::filesystem::remove_all(path_, ec);
  }

 private:
  static std::string flip(std::string s) {
    for (char& c : s) c = static_cast<char>(c ^ 0x80);
    return s;
  }
  std::filesystem::path path_;
};

// Nothing may end the process or wait for a person while measuring.
void takeOverSeams() {
  QStandardPaths::setTestModeEnabled(true);
  setProgramTerminatorForTests([] {});
  platform::msgbox::setMessageBoxHookForTests([](QMessageBox&) { return platform::msgbox::vbOK; });
}

void resetRun() {
  forms::resetForTests();
  modGlobals::resetVaultForTests();
  app::resetForTests();
  setProgramTerminatorForTests([] {});  // the reset gave back the real end
}

bool gateShown() {
  const frmPass* gate = forms::instance<frmPass>();
  return gate && gate->isVisible();
}

void BM_StartToGate(benchmark::State& state) {
  takeOverSeams();
  BenchFolder folder(0);
  double worst = 0;
  for (auto _ : state) {
    const auto start = std::chrono::steady_clock::now();
    auto application = std::make_unique<QApplication>(argumentCount, arguments);
    ProgramWiring::wireProgram();
    forms::show<frmSplash>();
    while (!gateShown()) QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 5);
    const std::chrono::duration<double> took = std::chrono::steady_clock::now() - start;
    state.SetIterationTime(took.count());
    worst = std::max(worst, took.count());
    resetRun();
    application.reset();
  }
  state.counters["worst_ms"] = worst * 1000;
  std::printf("start to gate: worst %.1f ms (target 350 ms)\n", worst * 1000);
}
BENCHMARK(BM_StartToGate)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(10);

// Counts the list's paints, so that "shown" means drawn, not only flagged visible.
class PaintWatch final : public QObject {
 public:
  bool painted = false;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (event->type() == QEvent::Paint) painted = true;
    return QObject::eventFilter(watched, event);
  }
};

void BM_EnterToListShown(benchmark::State& state) {
  takeOverSeams();
  const int entries = static_cast<int>(state.range(0));
  BenchFolder folder(entries);
  QApplication application(argumentCount, arguments);
  double worst = 0;
  for (auto _ : state) {
    ProgramWiring::wireProgram();
    frmSplash* splash = forms::show<frmSplash>();
    while (splash->intTemp < 150) splash->Timer2_Timer();
    frmPass* gate = forms::instance<frmPass>();
    gate->txtPass->setText(QStringLiteral("abcd"));
    QCoreApplication::processEvents();
    PaintWatch watch;
    forms::instance<Form1>()->lstPass->viewport()->installEventFilter(&watch);

    const auto start = std::chrono::steady_clock::now();
    QKeyEvent enter(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier, QStringLiteral("\r"));
    QCoreApplication::sendEvent(gate->txtPass, &enter);
    while (!watch.painted) QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 5);
    const std::chrono::duration<double> took = std::chrono::steady_clock::now() - start;

    state.SetIterationTime(took.count());
    worst = std::max(worst, took.count());
    if (forms::instance<Form1>()->lstPass->items().count() != entries) state.SkipWithError("entries not loaded");
    resetRun();
  }
  state.counters["worst_ms"] = worst * 1000;
  std::printf("Enter to list shown with %d entries: worst %.1f ms (target 100 ms)\n", entries, worst * 1000);
}
BENCHMARK(BM_EnterToListShown)->Arg(100000)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(10);

// Help > View Help with the shipped help file, to the help text painted.
void BM_ViewHelpToShown(benchmark::State& state) {
  takeOverSeams();
  BenchFolder folder(0);
  std::filesystem::copy_file(KEYLOFT_HELP_RTF, platform::files::programFolder() + "/Help.rtf");
  platform::settings::saveSetting(QStringLiteral("Keyloft"), QStringLiteral("Settings"), QStringLiteral("showHelp"),
                                  QStringLiteral("0"));
  QApplication application(argumentCount, arguments);
  ProgramWiring::wireProgram();
  frmSplash* splash = forms::show<frmSplash>();
  while (splash->intTemp < 150) splash->Timer2_Timer();
  forms::instance<frmPass>()->txtPass->setText(QStringLiteral("abcd"));
  forms::instance<frmPass>()->cmdOK_Click();
  Form1* main = forms::instance<Form1>();
  double worst = 0;
  for (auto _ : state) {
    const auto start = std::chrono::steady_clock::now();
    main->mnuHelpItem_Click(0);
    Form8* help = forms::instance<Form8>();
    if (!help) {
      state.SkipWithError("no help viewer");
      break;
    }
    PaintWatch watch;
    help->rtf1->viewport()->installEventFilter(&watch);
    while (!watch.painted) QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 5);
    const std::chrono::duration<double> took = std::chrono::steady_clock::now() - start;
    state.SetIterationTime(took.count());
    worst = std::max(worst, took.count());
    forms::unload<Form8>();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  }
  resetRun();
  state.counters["worst_ms"] = worst * 1000;
  std::printf("View Help to help shown: worst %.1f ms (target 100 ms)\n", worst * 1000);
}
BENCHMARK(BM_ViewHelpToShown)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(10);

}  // namespace

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
