// Vault load (file to rows) and save (rows to file, fsync and rename) against the raw work of
// reading and flipping the same bytes, and of writing them safely; the sealed vault's key
// derivation, and its sealing and opening of the same image beside the plain load and save.
#include "platform/base/Files.h"
#include "platform/base/ListItems.h"
#include "platform/base/Settings.h"
#include "vault/EntryChange.h"
#include "vault/modGlobals.h"
#include "vault/SealedVault.h"
#include "vault/shiftText.h"
#include "vault/VaultFormat.h"

#include "BenchData.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <map>
#include <random>
#include <string>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

std::string g_folder;
platform::ListItems g_list;

// The bench's rows are the vault's list.
struct BenchHost final : modGlobals::VaultHost {
  platform::ListItems* list() override { return &g_list; }
};
BenchHost g_host;

using bench_data::field;
namespace sealed = vault::sealed;

void fillList(std::int64_t n) { bench_data::fillList(g_list, n); }

void setUpVault(std::int64_t n) {
  modGlobals::masterPassword = u"correct horse";
  fillList(n);
  (void)modGlobals::saveVault();
}

void BM_Load(benchmark::State& state) {
  setUpVault(state.range(0));
  for (auto _ : state) {
    state.PauseTiming();
    g_list.clear();
    state.ResumeTiming();
    (void)modGlobals::loadVault();
    benchmark::DoNotOptimize(g_list.count());
  }
  state.counters["entries"] = static_cast<double>(g_list.count());
}

void BM_RawRead(benchmark::State& state) {
  setUpVault(state.range(0));
  for (auto _ : state) {
    platform::SecretBytes bytes;
    platform::files::readFile(modGlobals::vaultPath(), bytes);
    shiftBytes(bytes.data(), bytes.size());
    benchmark::DoNotOptimize(bytes.data());
  }
}

void BM_Save(benchmark::State& state) {
  setUpVault(state.range(0));
  for (auto _ : state) (void)modGlobals::saveVault();
}

void BM_RawWrite(benchmark::State& state) {
  setUpVault(state.range(0));
  platform::SecretBytes image;
  platform::files::readFile(modGlobals::vaultPath(), image);
  for (auto _ : state) {
    std::string bytes(image);  // build the same bytes
    shiftText(bytes);
    shiftText(bytes);
    (void)platform::files::writeFileAtomically(g_folder + "/raw.bin", bytes);
  }
}

// The image a plain save writes for n entries: what a sealed save seals.
platform::SecretBytes plainImage(std::int64_t n) {
  setUpVault(n);
  platform::SecretBytes image;
  platform::files::readFile(modGlobals::vaultPath(), image);
  return image;
}

// Sealing and opening cost no derivation: the key is made once, cheaply.
const sealed::Sealing& quickSealing() {
  static const sealed::Sealing sealing = *sealed::newSealing("correct horse", {1, 8ULL << 20});
  return sealing;
}

// What opening a sealed vault waits for: unlock() with the parameters this machine would choose.
void BM_Derive(benchmark::State& state) {
  static const sealed::KdfParams params = sealed::chooseParams();
  const std::string file = *sealed::seal("", *sealed::newSealing("correct horse", params));
  for (auto _ : state) benchmark::DoNotOptimize(sealed::unlock(file, "correct horse"));
  state.counters["memMiB"] = static_cast<double>(params.memLimit >> 20);
  state.counters["opsLimit"] = static_cast<double>(params.opsLimit);
}

void BM_Seal(benchmark::State& state) {
  const platform::SecretBytes image = plainImage(state.range(0));
  for (auto _ : state) benchmark::DoNotOptimize(sealed::seal(image, quickSealing())->data());
  state.counters["MiB"] = static_cast<double>(image.size()) / 1048576.0;
}

void BM_Open(benchmark::State& state) {
  const std::string file = *sealed::seal(plainImage(state.range(0)), quickSealing());
  for (auto _ : state) {
    auto plain = sealed::open(file, quickSealing());
    if (!plain)
      state.SkipWithError(plain.why().c_str());
    else
      benchmark::DoNotOptimize(plain->data());
  }
}

// An encrypted vault of n entries, in the list and on disk, with a cheap key: the derivation is
// measured on its own (BM_Derive) and adds to each of these once.
void setUpSealedVault(std::int64_t n) {
  setUpVault(n);
  (void)modGlobals::encryptVault();
}

// Leaves the vault plain again for the benchmarks that follow.
void backToPlain() {
  if (modGlobals::vaultSealed()) (void)modGlobals::removeEncryption();
}

void BM_SaveSealed(benchmark::State& state) {
  setUpSealedVault(state.range(0));
  for (auto _ : state) (void)modGlobals::saveVault();
  backToPlain();
}

// From the file to the listed entries, as the start does after the password: read, unlock with the
// cheap key, open, list.
void BM_LoadSealed(benchmark::State& state) {
  setUpSealedVault(state.range(0));
  for (auto _ : state) {
    state.PauseTiming();
    g_list.clear();
    modGlobals::resetVaultForTests();
    state.ResumeTiming();
    modGlobals::openVault();
    (void)modGlobals::checkMasterPassword(u"correct horse");
    (void)modGlobals::loadVault();
  }
  modGlobals::masterPassword = u"correct horse";
  backToPlain();
}

// The File menu's three rewrites of a whole vault.
void BM_Encrypt(benchmark::State& state) {
  setUpVault(state.range(0));
  for (auto _ : state) {
    (void)modGlobals::encryptVault();
    state.PauseTiming();
    backToPlain();
    state.ResumeTiming();
  }
}

void BM_RemoveEncryption(benchmark::State& state) {
  setUpSealedVault(state.range(0));
  for (auto _ : state) {
    (void)modGlobals::removeEncryption();
    state.PauseTiming();
    (void)modGlobals::encryptVault();
    state.ResumeTiming();
  }
  backToPlain();
}

void BM_ChangeMasterPassword(benchmark::State& state) {
  setUpSealedVault(state.range(0));
  int i = 0;
  for (auto _ : state) (void)modGlobals::changeMasterPassword(i++ % 2 ? u"correct horse" : u"battery staple");
  (void)modGlobals::changeMasterPassword(u"correct horse");
  backToPlain();
}

// A synced vault: another machine's save (the same bytes, a new file) lands before each step.
void otherMachineSaves(const platform::SecretBytes& image) {
  (void)platform::files::writeFileAtomically(modGlobals::vaultPath(), image.view());
}

void BM_ReloadOnChange(benchmark::State& state) {
  const platform::SecretBytes image = plainImage(state.range(0));
  for (auto _ : state) {
    state.PauseTiming();
    otherMachineSaves(image);
    state.ResumeTiming();
    benchmark::DoNotOptimize(modGlobals::reloadVault());
  }
}

// An add that finds data.enc changed: read again, listed, the entry added, saved.
void BM_SaveAfterChangeOnDisk(benchmark::State& state) {
  const platform::SecretBytes image = plainImage(state.range(0));
  for (auto _ : state) {
    state.PauseTiming();
    otherMachineSaves(image);
    state.ResumeTiming();
    benchmark::DoNotOptimize(modGlobals::addEntry({"new user", "new password", "https://new.example.com"}));
  }
}

// The look at the file before every save.
void BM_CheckBeforeSave(benchmark::State& state) {
  setUpVault(1);
  for (auto _ : state) benchmark::DoNotOptimize(modGlobals::vaultChangedOnDisk());
}

#define SIZES ->Arg(10'000)->Arg(100'000)->Arg(1'000'000)->Unit(benchmark::kMillisecond)->MinTime(0.5)
BENCHMARK(BM_Load) SIZES;
BENCHMARK(BM_RawRead) SIZES;
BENCHMARK(BM_Save) SIZES;
BENCHMARK(BM_RawWrite) SIZES;
BENCHMARK(BM_ReloadOnChange)->Arg(1'000'000)->Unit(benchmark::kMillisecond)->MinTime(0.5);
BENCHMARK(BM_SaveAfterChangeOnDisk)->Arg(1'000'000)->Unit(benchmark::kMillisecond)->MinTime(0.5);
BENCHMARK(BM_CheckBeforeSave)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_Derive)->Unit(benchmark::kMillisecond)->Iterations(5);
#define SEALED_SIZES ->Arg(100'000)->Arg(1'000'000)->Unit(benchmark::kMillisecond)->MinTime(0.5)
BENCHMARK(BM_Seal) SEALED_SIZES;
BENCHMARK(BM_Open) SEALED_SIZES;
BENCHMARK(BM_SaveSealed) SEALED_SIZES;
BENCHMARK(BM_LoadSealed) SEALED_SIZES;
BENCHMARK(BM_Encrypt)->Arg(1'000'000)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_RemoveEncryption)->Arg(1'000'000)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_ChangeMasterPassword)->Arg(1'000'000)->Unit(benchmark::kMillisecond)->Iterations(3);

// Collects each run's time per iteration for the ratio table.
class Collector : public benchmark::ConsoleReporter {
 public:
  std::map<std::string, double> ms;
  void ReportRuns(const std::vector<Run>& runs) override {
    for (const auto& r : runs) ms[r.benchmark_name()] = r.GetAdjustedRealTime();
    ConsoleReporter::ReportRuns(runs);
  }
};

// Peak memory (KiB) of a fresh process that loads a vault of n entries, plain or encrypted.
long peakLoadKiB(std::int64_t n, bool encrypted, std::size_t& fileBytes) {
  encrypted ? setUpSealedVault(n) : setUpVault(n);
  fileBytes = std::filesystem::file_size(modGlobals::vaultPath());
  platform::files::releaseLocksForTests();  // the child takes the vault's lock
  std::string command = "/proc/" + std::to_string(::getpid()) + "/exe --peak-load " + g_folder;
  if (encrypted) command += " encrypted";
  FILE* child = ::popen(command.c_str(), "r");
  long kib = -1;
  if (child) {
    if (std::fscanf(child, "%ld", &kib) != 1) kib = -1;
    ::pclose(child);
  }
  if (encrypted) backToPlain();
  return kib;
}

// The child's side: load as the start does and report the high-water mark.
int peakLoadChild(const char* folder, bool encrypted) {
  platform::files::setProgramFolderForTests(folder);
  modGlobals::setVaultHost(&g_host);
  if (encrypted) {
    modGlobals::openVault();
    (void)modGlobals::checkMasterPassword(u"correct horse");
  }
  (void)modGlobals::loadVault();
  rusage usage{};
  ::getrusage(RUSAGE_SELF, &usage);
  std::printf("%ld\n", usage.ru_maxrss);
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc >= 3 && std::string(argv[1]) == "--peak-load") return peakLoadChild(argv[2], argc == 4);
  char tmpl[] = "/tmp/keyloft-bench-XXXXXX";
  g_folder = ::mkdtemp(tmpl);
  platform::files::setProgramFolderForTests(g_folder);
  // An encrypted save is remembered in the settings: the bench keeps its own.
  platform::settings::setSettingsFolderForTests(QString::fromStdString(g_folder + "/settings"));
  modGlobals::setVaultHost(&g_host);

  benchmark::Initialize(&argc, argv);
  Collector collector;
  benchmark::RunSpecifiedBenchmarks(&collector);

  std::printf("\n%-10s %10s %10s %7s %10s %10s %7s\n", "entries", "load ms", "raw ms", "ratio", "save ms", "raw ms",
              "ratio");
  for (const char* n : {"10000", "100000", "1000000"}) {
    auto get = [&](const char* name) { return collector.ms[std::string(name) + "/" + n + "/min_time:0.500"]; };
    double load = get("BM_Load"), rawRead = get("BM_RawRead"), save = get("BM_Save"), rawWrite = get("BM_RawWrite");
    if (load == 0 || rawRead == 0) continue;  // filtered out
    std::printf("%-10s %10.2f %10.2f %7.2f %10.2f %10.2f %7.2f\n", n, load, rawRead, load / rawRead, save, rawWrite,
                save / rawWrite);
  }
  std::printf("\n%-10s %10s %10s %7s %10s %10s %7s\n", "entries", "seal ms", "save ms", "ratio", "open ms", "load ms",
              "ratio");
  for (const char* n : {"100000", "1000000"}) {
    auto get = [&](const char* name) { return collector.ms[std::string(name) + "/" + n + "/min_time:0.500"]; };
    double sealMs = get("BM_Seal"), save = get("BM_Save"), openMs = get("BM_Open"), load = get("BM_Load");
    if (sealMs == 0 || save == 0) continue;
    std::printf("%-10s %10.2f %10.2f %7.2f %10.2f %10.2f %7.2f\n", n, sealMs, save, sealMs / save, openMs, load,
                openMs / load);
  }
  {
    const auto get = [&](const char* name) { return collector.ms[std::string(name) + "/1000000/min_time:0.500"]; };
    const double load = get("BM_Load"), save = get("BM_Save"), reload = get("BM_ReloadOnChange"),
                 saveAfter = get("BM_SaveAfterChangeOnDisk");
    if (load > 0 && reload > 0)
      std::printf(
          "\n1,000,000 entries: reload on change %.2f ms = %.2f x a load; save after a change on disk %.2f ms "
          "= %.2f x a load plus a save\n",
          reload, reload / load, saveAfter, saveAfter / (load + save));
  }
  // The baseline is the same process loading an empty vault of the same form.
  for (const bool encrypted : {false, true}) {
    std::size_t emptyBytes = 0, fileBytes = 0;
    long base = peakLoadKiB(0, encrypted, emptyBytes);
    long peak = peakLoadKiB(1'000'000, encrypted, fileBytes);
    std::printf("%s1,000,000 entries%s: file %.1f MiB, load peak %.1f MiB above baseline (%.2f x the file)\n",
                encrypted ? "" : "\n", encrypted ? ", encrypted" : "", fileBytes / 1048576.0, (peak - base) / 1024.0,
                (peak - base) * 1024.0 / static_cast<double>(fileBytes));
  }
  std::filesystem::remove_all(g_folder);
  return 0;
}
