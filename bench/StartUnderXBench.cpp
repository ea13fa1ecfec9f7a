// How long the real program takes under an X server (its own Xvfb, no window manager): from the
// process's start to the splash window mapped, and to the password dialog mapped. Each start runs
// in a fresh program folder holding a vault, with a home of its own. Measured and printed (the
// median of the starts), never asserted.
#include <benchmark/benchmark.h>
#include <xcb/xcb.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <optional>
#include <string>
#include <vector>

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

namespace {

constexpr int kStarts = 8;
constexpr auto kGiveUp = std::chrono::seconds(20);

pid_t spawn(const std::vector<std::string>& argv, int keepFd = -1) {
  const pid_t pid = ::fork();
  if (pid != 0) return pid;
  if (keepFd < 0) {
    const int null = ::open("/dev/null", O_WRONLY);
    ::dup2(null, STDOUT_FILENO);
    ::dup2(null, STDERR_FILENO);
  }
  std::vector<char*> args;
  for (const std::string& a : argv) args.push_back(const_cast<char*>(a.c_str()));
  args.push_back(nullptr);
  ::execvp(args[0], args.data());
  ::_exit(127);
}

void stop(pid_t pid) {
  ::kill(pid, SIGKILL);
  ::waitpid(pid, nullptr, 0);
}

// An Xvfb of our own on a free display; it tells the display's number through a pipe.
class OwnXServer {
 public:
  OwnXServer() {
    int fds[2];
    if (::pipe(fds) != 0) return;
    pid_ = spawn({"Xvfb", "-displayfd", std::to_string(fds[1]), "-nolisten", "tcp", "-screen", "0", "1600x1200x24"},
                 fds[1]);
    ::close(fds[1]);
    std::string number;
    char c;
    pollfd wait{fds[0], POLLIN, 0};
    while (::poll(&wait, 1, 10000) == 1 && ::read(fds[0], &c, 1) == 1 && c != '\n') number += c;
    ::close(fds[0]);
    if (!number.empty()) display_ = ":" + number;
  }
  ~OwnXServer() {
    if (pid_ > 0) stop(pid_);
  }
  const std::string& display() const { return display_; }

 private:
  pid_t pid_ = -1;
  std::string display_;
};

// The built program's folder; KEYLOFT_BENCH_PROGRAM_DIR names another build's, to compare two.
fs::path builtProgramFolder() {
  const char* other = std::getenv("KEYLOFT_BENCH_PROGRAM_DIR");
  return other && *other ? fs::path(other) : fs::path(KEYLOFT_PROGRAM_DIR);
}

// A program folder with the built program and a vault (master password "abcd"), and a home.
class ProgramFolder {
 public:
  ProgramFolder() {
    char pattern[] = "/tmp/keyloft-bench-x-XXXXXX";
    root_ = ::mkdtemp(pattern);
    fs::create_directories(root_ / "program");
    fs::create_directories(root_ / "home" / ".config");
    for (const char* file : {"keyloft", "keyloft-webengine.so", "Help.rtf"})
      fs::copy_file(builtProgramFolder() / file, root_ / "program" / file);
    // The vault's bytes: the top bit of each flipped, CR LF line ends, an empty line at the end.
    std::string image = "abcd\r\nalice|||secret|||www.example.org\r\n\r\n";
    for (char& c : image)
      if (c != '\r' && c != '\n') c = static_cast<char>(c ^ 0x80);
    std::ofstream(root_ / "program" / "data.enc", std::ios::binary) << image;
    fs::permissions(root_ / "program" / "data.enc", fs::perms::owner_read | fs::perms::owner_write);
  }
  ~ProgramFolder() {
    std::error_code ec;
    fs::remove_all(root_, ec);
  }
  std::string program() const { return (root_ / "program" / "keyloft").string(); }
  std::string home() const { return (root_ / "home").string(); }

 private:
  fs::path root_;
};

// Watches the root window for top-level windows being mapped (without a window manager they are
// its children) and tells their titles.
class MapWatch {
 public:
  explicit MapWatch(const std::string& display) {
    c_ = xcb_connect(display.c_str(), nullptr);
    if (xcb_connection_has_error(c_)) return;
    root_ = xcb_setup_roots_iterator(xcb_get_setup(c_)).data->root;
    const std::uint32_t mask = XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY;
    xcb_change_window_attributes(c_, root_, XCB_CW_EVENT_MASK, &mask);
    xcb_flush(c_);
    ok_ = true;
  }
  ~MapWatch() { xcb_disconnect(c_); }
  bool ok() const { return ok_; }

  // The title of the next window mapped, or nothing when none is mapped before `deadline`.
  std::optional<std::string> nextMapped(Clock::time_point deadline) {
    while (Clock::now() < deadline) {
      while (xcb_generic_event_t* event = xcb_poll_for_event(c_)) {
        std::optional<std::string> title;
        if ((event->response_type & 0x7f) == XCB_MAP_NOTIFY)
          title = titleOf(reinterpret_cast<xcb_map_notify_event_t*>(event)->window);
        std::free(event);
        if (title) return title;
      }
      const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
      pollfd wait{xcb_get_file_descriptor(c_), POLLIN, 0};
      ::poll(&wait, 1, static_cast<int>(std::max<long>(1, left.count())));
    }
    return std::nullopt;
  }

 private:
  std::string titleOf(xcb_window_t window) {
    xcb_get_property_reply_t* reply = xcb_get_property_reply(
        c_, xcb_get_property(c_, 0, window, XCB_ATOM_WM_NAME, XCB_GET_PROPERTY_TYPE_ANY, 0, 256), nullptr);
    std::string title;
    if (reply) {
      title.assign(static_cast<const char*>(xcb_get_property_value(reply)),
                   static_cast<std::size_t>(xcb_get_property_value_length(reply)));
      std::free(reply);
    }
    return title;
  }

  xcb_connection_t* c_ = nullptr;
  xcb_window_t root_ = 0;
  bool ok_ = false;
};

double median(std::vector<double> v) {
  std::sort(v.begin(), v.end());
  return v.size() % 2 ? v[v.size() / 2] : (v[v.size() / 2 - 1] + v[v.size() / 2]) / 2;
}

void BM_StartToGateUnderX(benchmark::State& state) {
  OwnXServer server;
  if (server.display().empty()) {
    state.SkipWithError("could not start Xvfb");
    return;
  }
  ::setenv("DISPLAY", server.display().c_str(), 1);
  ::setenv("QT_QPA_PLATFORM", "xcb", 1);
  ::unsetenv("WAYLAND_DISPLAY");
  std::vector<double> toSplash, toGate;
  // One start before the measured ones, so that every measured start finds the files cached.
  for (int start = -1; start < kStarts; ++start) {
    ProgramFolder folder;
    ::setenv("HOME", folder.home().c_str(), 1);
    ::setenv("XDG_CONFIG_HOME", (folder.home() + "/.config").c_str(), 1);
    MapWatch watch(server.display());
    if (!watch.ok()) {
      state.SkipWithError("could not watch the X server");
      return;
    }
    const Clock::time_point began = Clock::now();
    const pid_t program = spawn({folder.program()});
    std::optional<double> splashAt, gateAt;
    const Clock::time_point deadline = began + kGiveUp;
    while (!gateAt) {
      const std::optional<std::string> title = watch.nextMapped(deadline);
      if (!title) break;
      const double at = std::chrono::duration<double>(Clock::now() - began).count();
      if (!splashAt) splashAt = at;
      if (*title == "Password Required") gateAt = at;
    }
    stop(program);
    if (!gateAt) {
      state.SkipWithError("no \"Password Required\" window within 20 seconds");
      return;
    }
    if (start < 0) continue;
    toSplash.push_back(*splashAt);
    toGate.push_back(*gateAt);
  }
  for (auto _ : state) state.SetIterationTime(median(toGate));
  state.counters["splash_ms"] = median(toSplash) * 1000;
  state.counters["gate_ms"] = median(toGate) * 1000;
  std::printf("start to splash mapped: median %.1f ms; start to gate mapped: median %.1f ms (%d starts)\n",
              median(toSplash) * 1000, median(toGate) * 1000, kStarts);
}
BENCHMARK(BM_StartToGateUnderX)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(1);

}  // namespace

BENCHMARK_MAIN();
