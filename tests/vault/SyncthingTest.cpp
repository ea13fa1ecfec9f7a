// Proves the synced vault with a real sync engine: two Syncthing instances on 127.0.0.1 only
// (discovery, relays, NAT traversal and usage reports off) share a folder each, and data.enc of
// two program folders links into them. Machine A works in child processes, machine B stays open
// in this one; changes on both sides, with syncs in between and across a conflict, all survive.
#include "VaultFixture.h"

#include "vault/EntryChange.h"

#include <arpa/inet.h>
#include <csignal>
#include <fcntl.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <functional>
#include <thread>

using namespace modGlobals;
using namespace std::chrono_literals;
namespace fs = std::filesystem;

namespace {

bool eventually(const std::function<bool()>& done, std::chrono::seconds limit = 30s) {
  for (auto end = std::chrono::steady_clock::now() + limit; std::chrono::steady_clock::now() < end;
       std::this_thread::sleep_for(100ms))
    if (done()) return true;
  return false;
}

// A port nobody listens on now, and not one given before in this run.
int freePort() {
  static std::vector<int> given;
  for (;;) {
    const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t size = sizeof a;
    ::bind(fd, reinterpret_cast<sockaddr*>(&a), size);
    ::getsockname(fd, reinterpret_cast<sockaddr*>(&a), &size);
    ::close(fd);
    const int port = ntohs(a.sin_port);
    if (std::find(given.begin(), given.end(), port) == given.end()) {
      given.push_back(port);
      return port;
    }
  }
}

// One instance: its own home, its listening and GUI ports on the loopback address, its REST key.
struct Syncthing {
  std::string home, folder, id, key = "keyloft-test-key";
  int listen = freePort(), gui = freePort();
  pid_t pid = -1;

  ~Syncthing() { stop(); }
  void stop() {
    if (pid <= 0) return;
    ::kill(pid, SIGTERM);
    ::waitpid(pid, nullptr, 0);
    pid = -1;
  }
  std::string rest(const std::string& request) const {
    const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_port = htons(static_cast<std::uint16_t>(gui));
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    std::string reply;
    if (::connect(fd, reinterpret_cast<sockaddr*>(&a), sizeof a) == 0) {
      const std::string http = request + " HTTP/1.0\r\nHost: 127.0.0.1\r\nX-API-Key: " + key +
                               "\r\nContent-Length: 0\r\n\r\n";
      if (::write(fd, http.data(), http.size()) == static_cast<ssize_t>(http.size())) {
        char buf[4096];
        for (ssize_t n; (n = ::read(fd, buf, sizeof buf)) > 0;) reply.append(buf, static_cast<std::size_t>(n));
      }
    }
    ::close(fd);
    return reply;
  }
  bool scan() const { return rest("POST /rest/db/scan?folder=vault").find(" 200 ") != std::string::npos; }
};

long copiesIn(const std::string& folder) {
  return std::count_if(fs::directory_iterator(folder), fs::directory_iterator(), [](const fs::directory_entry& e) {
    return isConflictingCopyName(e.path().filename().string());
  });
}

std::string output(const std::string& command) {
  std::string out;
  if (FILE* p = ::popen(command.c_str(), "r")) {
    char buf[256];
    while (std::fgets(buf, sizeof buf, p)) out += buf;
    ::pclose(p);
  }
  return out.substr(0, out.find('\n'));
}

void writeConfig(const Syncthing& self, const Syncthing& other) {
  const auto device = [](const Syncthing& s) {
    return "<device id=\"" + s.id + "\"><address>tcp://127.0.0.1:" + std::to_string(s.listen) + "</address></device>";
  };
  std::ofstream(self.home + "/config.xml")
      << "<configuration version=\"36\"><folder id=\"vault\" path=\"" << self.folder
      << "\" type=\"sendreceive\" rescanIntervalS=\"3600\" fsWatcherEnabled=\"false\"><device id=\"" << self.id
      << "\"></device><device id=\"" << other.id
      << "\"></device><minDiskFree unit=\"%\">0</minDiskFree><maxConflicts>10</maxConflicts></folder>" << device(self)
      << device(other) << "<gui enabled=\"true\" tls=\"false\"><address>127.0.0.1:" << self.gui << "</address><apikey>"
      << self.key << "</apikey></gui><options><listenAddress>tcp://127.0.0.1:" << self.listen
      << "</listenAddress><globalAnnounceEnabled>false</globalAnnounceEnabled><localAnnounceEnabled>false"
      << "</localAnnounceEnabled><relaysEnabled>false</relaysEnabled><natEnabled>false</natEnabled><urAccepted>-1"
      << "</urAccepted><startBrowser>false</startBrowser><autoUpgradeIntervalH>0</autoUpgradeIntervalH>"
      << "<crashReportingEnabled>false</crashReportingEnabled><reconnectionIntervalS>1</reconnectionIntervalS>"
      << "<minHomeDiskFree unit=\"%\">0</minHomeDiskFree></options></configuration>";
}

}  // namespace

class SyncthingTest : public VaultTest {
 protected:
  void prepare(Syncthing& s, const std::string& name) {
    s.home = dir.file(name + "-home");
    s.folder = dir.file(name + "-synced");
    fs::create_directories(s.folder + "/.stfolder");
    fs::create_directories(dir.file(name + "-program"));
    fs::create_symlink(s.folder + "/data.enc", dir.file(name + "-program/data.enc"));
    output("syncthing generate --no-default-folder --home=" + s.home + " 2>&1");
    s.id = output("syncthing serve --device-id --home=" + s.home);
  }
  void start(Syncthing& s) {
    s.pid = ::fork();
    if (s.pid == 0) {
      const int null = ::open("/dev/null", O_WRONLY);
      ::dup2(null, 1);
      ::dup2(null, 2);
      const std::string home = "--home=" + s.home, log = "--logfile=" + s.home + "/log";
      ::execlp("syncthing", "syncthing", "serve", home.c_str(), log.c_str(), "--no-browser", "--no-restart",
               "--no-upgrade", static_cast<char*>(nullptr));
      ::_exit(127);
    }
  }
  // Opens the vault of a program folder as a start with the right password does.
  bool openAs(const std::string& name) {
    resetVaultForTests();
    list.clear();
    platform::files::setProgramFolderForTests(dir.file(name + "-program"));
    openVault();
    masterPassword = u"pw";
    const auto check = checkMasterPassword(masterPassword);
    return check && *check == PasswordCheck::Right && loadVault().ok();
  }
  // One session of machine A: opened, one change, ended.
  int onA(const std::function<bool()>& change) {
    return testing_support::runInChild([&] { return openAs("a") && change() ? 0 : 1; });
  }
  std::string file(const Syncthing& s) const { return testing_support::readBytes(s.folder + "/data.enc"); }
  // Scans both folders until they hold the same data.enc and no conflicting copy is left unseen.
  bool synced(const std::function<bool()>& also = [] { return true; }) {
    return eventually([&] { return a.scan() && b.scan() && file(a) == file(b) && also(); });
  }
  std::vector<std::string> users() const {
    std::vector<std::string> all;
    for (std::int64_t n = 1; n <= list.count(); ++n) all.emplace_back(list.row(n).column(0));
    return all;
  }

  Syncthing a, b;
};

TEST_F(SyncthingTest, changesOnTwoMachinesAllSurviveARealSync) {
  if (output("command -v syncthing").empty()) GTEST_SKIP() << "syncthing is not installed";
  prepare(a, "a");
  prepare(b, "b");
  writeConfig(a, b);
  writeConfig(b, a);
  testing_support::writeBytes(a.folder + "/data.enc", testing_support::vaultImage("pw", {{"alice", "a1", ""}}));
  ASSERT_EQ(onA([] { return encryptVault().ok(); }), 0);
  start(a);
  start(b);
  ASSERT_TRUE(synced()) << "Syncthing's logs are in " << a.home << " and " << b.home;

  ASSERT_TRUE(openAs("b"));  // B stays open from here on
  ASSERT_EQ(onA([] { return addEntry({"bob", "b2", ""}).ok(); }), 0);
  ASSERT_TRUE(synced());
  ASSERT_TRUE(addEntry({"cy", "c3", ""}));  // B's save keeps A's bob
  ASSERT_TRUE(synced());
  ASSERT_EQ(onA([] { return replaceEntry(1, {"alice", "a1", ""}, {"alice", "A1", ""}).ok(); }), 0);
  ASSERT_TRUE(synced());
  ASSERT_TRUE(removeEntry(2, {"bob", "b2", ""}));
  ASSERT_TRUE(synced());
  EXPECT_EQ(users(), (std::vector<std::string>{"alice", "cy"}));

  // Both change before a sync: one version wins, the other is left as a conflicting copy.
  ASSERT_EQ(onA([] { return addEntry({"dan", "d4", ""}).ok(); }), 0);
  ASSERT_TRUE(addEntry({"eve", "e5", ""}));
  ASSERT_TRUE(synced([] { return !conflictingCopies().empty(); }));
  vaultFolderChanged();  // answered Yes
  EXPECT_TRUE(lastStatus().starts_with(u"Merged 1 entries from data.sync-conflict-"));
  ASSERT_TRUE(synced([&] { return conflictingCopies().empty() && copiesIn(a.folder) == 0; }));
  list.clear();
  ASSERT_TRUE(reloadVault());
  std::vector<std::string> all = users();
  std::sort(all.begin(), all.end());
  EXPECT_EQ(all, (std::vector<std::string>{"alice", "cy", "dan", "eve"}));
  a.stop();
  b.stop();
}
