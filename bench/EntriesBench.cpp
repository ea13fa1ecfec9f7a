// Entry commands against a big list in a shown main window: a column header click (sort and
// repaint), and Add, Edit and Delete each including the save of the whole vault.
#include "list/Form1.h"
#include "list/frmAdd.h"
#include "list/frmFind.h"
#include "list/modGlobals.h"
#include "platform/base/Files.h"
#include "platform/base/QtCodePage.h"
#include "platform/base/Settings.h"
#include "platform/forms/ListView.h"
#include "platform/forms/MessageBox.h"
#include "vault/modGlobals.h"
#include "vault/VaultFormat.h"

#include <QApplication>
#include <QCheckBox>
#include <QLineEdit>

#include "BenchData.h"

#include <QScrollBar>

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <random>
#include <string>

namespace {

std::string g_folder;

using bench_data::field;

// A vault of n realistic entries, loaded into a freshly loaded and shown main window.
Form1* openMain(std::int64_t n) {
  platform::forms::resetForTests();
  std::mt19937 rng(7);
  std::string image = "\xED\xE1\xF3\xF4\xE5\xF2\r\n";  // "master", shifted
  for (std::int64_t i = 0; i < n; ++i)
    vault::appendShiftedEntry(image, field(rng, 17 + rng() % 7), field(rng, 14 + rng() % 5),
                              "https://www." + field(rng, 20 + rng() % 10) + ".example.com/login");
  image.append("\r\n");
  (void)platform::files::writeFileAtomically(modGlobals::vaultPath(), image);
  auto* form = platform::forms::load<Form1>();
  modGlobals::masterPassword = modGlobals::storedMasterPassword;
  (void)modGlobals::loadVault();
  form->show();
  QCoreApplication::processEvents();
  return form;
}

void BM_HeaderClick(benchmark::State& state) {
  Form1* form = openMain(state.range(0));
  int click = 0;
  for (auto _ : state) {
    form->lstPass_ColumnClick(click++ % 3 + 1);
    QCoreApplication::processEvents();
  }
}

// The same clicks on the rows alone, without a view: how much of a click is the sort itself.
void BM_SortRowsOnly(benchmark::State& state) {
  Form1* form = openMain(state.range(0));
  platform::ListItems rows;
  std::vector<platform::ListRow> copy;
  const platform::ListItems& shown = form->lstPass->items();
  for (std::int64_t n = 1; n <= shown.count(); ++n) {
    const auto& r = shown.row(n);
    copy.push_back(rows.makeRow(r.text(), r.subItem(1), r.subItem(2)));
  }
  platform::forms::resetForTests();
  rows.appendRows(std::move(copy));
  int click = 0;
  for (auto _ : state) {
    rows.setSorted(false);
    rows.setSortKey(click++ % 3);
    rows.setSortOrder(rows.sortOrder() == platform::kSortAscending ? platform::kSortDescending
                                                                   : platform::kSortAscending);
    rows.setSorted(true);
  }
}

void BM_Add(benchmark::State& state) {
  Form1* form = openMain(state.range(0));
  int i = 0;
  for (auto _ : state) {
    form->cmdAdd_Click(0);
    frmAdd* editor = platform::forms::instance<frmAdd>();
    editor->txtUsername->setText(QStringLiteral("user") + QString::number(i++));
    editor->txtPassword->setText(QStringLiteral("secret"));
    editor->txtWebsite->setText(QStringLiteral("www.example.com"));
    editor->cmdAdd_Click(0);
    QCoreApplication::processEvents();
  }
}

void BM_Edit(benchmark::State& state) {
  Form1* form = openMain(state.range(0));
  int i = 0;
  for (auto _ : state) {
    form->lstPass->selectRow(state.range(0) / 2);
    form->cmdEdit_Click();
    frmAdd* editor = platform::forms::instance<frmAdd>();
    editor->txtPassword->setText(QStringLiteral("changed") + QString::number(i++));
    editor->cmdAdd_Click(0);
    QCoreApplication::processEvents();
  }
}

// Edit on an entry whose password has the given length, until the editor (or the refusal) has
// painted: at the editor's limit it opens with every character, far beyond it is refused.
void BM_EditLongField(benchmark::State& state) {
  Form1* form = openMain(1);
  form->lstPass->items().setRow(1, "u", std::string(static_cast<std::size_t>(state.range(0)), 'p'), "l");
  for (auto _ : state) {
    form->lstPass->selectRow(1);
    form->cmdEdit_Click();
    QCoreApplication::processEvents();
    state.PauseTiming();
    platform::forms::unload(frmAdd::name());
    state.ResumeTiming();
  }
}

void BM_Delete(benchmark::State& state) {
  Form1* form = openMain(state.range(0));
  for (auto _ : state) {
    form->lstPass->selectRow(form->lstPass->items().count() / 2);
    form->cmdDelete_Click();
    QCoreApplication::processEvents();
  }
}

// One page down the list and its repaint: what scrolling costs at a given row count.
void BM_ScrollPage(benchmark::State& state) {
  Form1* form = openMain(state.range(0));
  QScrollBar* bar = form->lstPass->verticalScrollBar();
  for (auto _ : state) {
    int next = bar->value() + bar->pageStep();
    bar->setValue(next > bar->maximum() ? 0 : next);
    form->lstPass->viewport()->repaint();
  }
}

// Find Next for a text that no entry holds: every column of every row is read, then the miss is
// said in the status bar. Argument: 1 with Match case, 0 without.
void BM_FindNextMiss(benchmark::State& state) {
  Form1* form = openMain(1'000'000);
  form->mnuFind_Click();
  frmFind* find = platform::forms::instance<frmFind>();
  find->txtFind->setText(QStringLiteral("n\u00F6where"));
  find->chkMatchCase->setChecked(state.range(0) != 0);
  for (auto _ : state) find->cmdFindNext_Click();
  platform::forms::unload(frmFind::name());
}

BENCHMARK(BM_HeaderClick)->Arg(100'000)->Unit(benchmark::kMillisecond)->MinTime(1.0);
BENCHMARK(BM_Add)->Arg(100'000)->Unit(benchmark::kMillisecond)->MinTime(1.0);
BENCHMARK(BM_Edit)->Arg(100'000)->Unit(benchmark::kMillisecond)->MinTime(1.0);
BENCHMARK(BM_EditLongField)
    ->Arg(10'000)
    ->Arg(kMaxEditableField)
    ->Arg(50'000'000)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(5);
BENCHMARK(BM_Delete)->Arg(100'000)->Unit(benchmark::kMillisecond)->MinTime(1.0);
BENCHMARK(BM_HeaderClick)->Arg(1'000'000)->Unit(benchmark::kMillisecond)->Iterations(9);
BENCHMARK(BM_ScrollPage)->Arg(100'000)->Arg(1'000'000)->Unit(benchmark::kMillisecond)->MinTime(0.5);
BENCHMARK(BM_FindNextMiss)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->Iterations(20);
BENCHMARK(BM_SortRowsOnly)->Arg(100'000)->Arg(1'000'000)->Unit(benchmark::kMillisecond)->Iterations(9);

// The main window's list and status bar.
struct MainWindowHost final : modGlobals::VaultHost {
  platform::ListItems* list() override { return &platform::forms::instance<Form1>()->lstPass->items(); }
  void showStatusMessage(const std::u16string& text) override {
    modGlobals::showStatusMessage(QString::fromStdU16String(text));
  }
};

}  // namespace

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  char tmpl[] = "/tmp/keyloft-bench-XXXXXX";
  g_folder = ::mkdtemp(tmpl);
  platform::files::setProgramFolderForTests(g_folder);
  platform::settings::setSettingsFolderForTests(QString::fromStdString(g_folder + "/settings"));
  platform::msgbox::setMessageBoxHookForTests([](QMessageBox&) { return platform::msgbox::vbOK; });
  platform::forms::registerForm(Form1::name(), [] { return new Form1; });
  registerEntryEditor();
  registerFindWindow();
  static MainWindowHost host;
  modGlobals::setVaultHost(&host);

  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  platform::forms::resetForTests();
  std::filesystem::remove_all(g_folder);
  return 0;
}
