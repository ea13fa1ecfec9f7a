// Import of a CSV export into the vault (parse, check, append, one save) and export of the whole
// list to CSV (convert, durable write); hostile files measured in a child each, for their time
// and the process's peak memory. Measures only; what counts as fast enough is for the reader.
#include "platform/base/Files.h"
#include "platform/base/ListItems.h"
#include "transfer/Export.h"
#include "transfer/Import.h"
#include "vault/EntryChange.h"
#include "vault/modGlobals.h"

#include "BenchData.h"

#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <random>
#include <string>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

std::string g_folder;
platform::ListItems g_list;

struct BenchHost final : modGlobals::VaultHost {
  platform::ListItems* list() override { return &g_list; }
};
BenchHost g_host;

using bench_data::field;

// A Chromium export of n rows: UTF-8, the accents as two bytes, a quoted field now and then.
std::string chromeCsv(std::int64_t n) {
  std::mt19937 rng(7);
  auto utf8 = [](const std::string& cp) {
    std::string out;
    for (char c : cp) {
      const auto b = static_cast<unsigned char>(c);
      if (b < 0x80) {
        out.push_back(c);
      } else {
        out.push_back(static_cast<char>(0xC0 | (b >> 6)));
        out.push_back(static_cast<char>(0x80 | (b & 0x3F)));
      }
    }
    return out;
  };
  std::string csv = "name,url,username,password\r\n";
  for (std::int64_t i = 0; i < n; ++i) {
    const std::string site = utf8(field(rng, 12 + rng() % 8));
    csv += site + ".example.com,https://www." + site + ".example.com/login," + utf8(field(rng, 17 + rng() % 7)) +
           (i % 10 == 0 ? ",\"p,w\"\"" : ",") + utf8(field(rng, 14 + rng() % 5)) + (i % 10 == 0 ? "\"\r\n" : "\r\n");
  }
  return csv;
}

void fillList(std::int64_t n) { bench_data::fillList(g_list, n); }

// The whole of an import after the file is read: parse and check every row, append, save once.
void BM_Import(benchmark::State& state) {
  const std::string csv = chromeCsv(state.range(0));
  modGlobals::masterPassword = u"correct horse";
  for (auto _ : state) {
    state.PauseTiming();
    g_list.clear();
    state.ResumeTiming();
    auto plan = transfer::planImport(csv, g_list);
    if (!plan || !modGlobals::addEntries(plan->entries)) state.SkipWithError("import failed");
  }
  state.counters["entries"] = static_cast<double>(g_list.count());

  state.counters["MiB"] = static_cast<double>(csv.size()) / 1048576.0;
}
BENCHMARK(BM_Import)->Arg(100'000)->Unit(benchmark::kMillisecond)->MinTime(1.0);

void BM_Export(benchmark::State& state) {
  fillList(state.range(0));
  const std::string path = g_folder + "/keyloft-export.csv";
  for (auto _ : state)
    if (!transfer::writeExport(path, g_list)) state.SkipWithError("export failed");
  state.counters["MiB"] = static_cast<double>(std::filesystem::file_size(path)) / 1048576.0;
}
BENCHMARK(BM_Export)->Arg(1'000'000)->Unit(benchmark::kMillisecond)->MinTime(2.0);

// The hostile files, made in the child that reads them.
std::string hostile(const std::string& which) {
  constexpr std::size_t kHundredMB = 100'000'000;
  if (which == "rows") {  // 100 MB of distinct rows under a known header: all of them taken
    std::string csv = "name,url,username,password\n";
    for (std::size_t i = 0; csv.size() < kHundredMB; ++i) csv += ",s" + std::to_string(i) + ",u,p" + "\n";
    return csv;
  }
  if (which == "binary") {  // 100 MB of random bytes after a known header
    std::mt19937 rng(1);
    std::string bytes = "name,url,username,password\n";
    while (bytes.size() < kHundredMB) bytes.push_back(static_cast<char>(rng()));
    return bytes;
  }
  if (which == "field") return "name,url,username,password\na,b,c,\"" + std::string(50'000'000, 'x') + "\"\n";
  std::string columns = "name,url,username,password\n";  // a million columns
  columns.append(1'000'000, ',');
  return columns + "\n";
}

int hostileChild(const std::string& which) {
  const std::string bytes = hostile(which);
  const auto start = std::chrono::steady_clock::now();
  auto plan = transfer::planImport(bytes, {});
  const double ms = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
  rusage usage{};
  ::getrusage(RUSAGE_SELF, &usage);
  std::printf("%-8s %8.1f MB %10.1f ms %10.1f MiB   %s\n", which.c_str(), bytes.size() / 1e6, ms,
              usage.ru_maxrss / 1024.0,
              plan ? ("taken: " + std::to_string(plan->entries.count()) + " entries").c_str() : plan.why().c_str());
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc == 3 && std::string(argv[1]) == "--hostile") return hostileChild(argv[2]);
  char tmpl[] = "/tmp/keyloft-bench-XXXXXX";
  g_folder = ::mkdtemp(tmpl);
  platform::files::setProgramFolderForTests(g_folder);
  modGlobals::setVaultHost(&g_host);
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  g_list.clear();

  // Each in a child of its own, so that its peak memory (the input itself included) is its own.
  std::printf("\n%-8s %11s %13s %14s   %s\n", "hostile", "input", "import", "peak memory", "outcome");
  for (const char* which : {"rows", "binary", "field", "columns"}) {
    std::fflush(stdout);
    if (const pid_t child = ::fork(); child == 0) {
      ::execl("/proc/self/exe", argv[0], "--hostile", which, nullptr);
      ::_exit(127);
    } else if (child > 0) {
      int status = 0;
      ::waitpid(child, &status, 0);
    }
  }
  std::filesystem::remove_all(g_folder);
  return 0;
}
