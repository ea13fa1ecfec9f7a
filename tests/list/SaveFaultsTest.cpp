// Protects the vault through every save of the program: each system call of the save failing in
// turn, with each error a disk can give, leaves the file's old bytes, no temporary file, the reason
// in the status bar and a list that shows what the file holds; an interrupted call is retried.
#include "EntriesFixture.h"

#include <QDir>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <functional>

namespace entries_test {
namespace {

namespace files = platform::files;

const std::vector<Entry> kThree = {{"bob", "b1", "b.example"}, {"alice", "a1", "a.example"}, {"carl", "c1", ""}};
const int kErrors[] = {EIO, ENOSPC, EDQUOT, EROFS, EACCES, EINTR};

class SaveFaults : public EntriesFixture {
 public:
  // The operations below drive the program through these.
  using EntriesFixture::form;
  using EntriesFixture::open;
  using EntriesFixture::select;
  using EntriesFixture::typeAndSave;

 protected:
  int temporaries() const {
    return static_cast<int>(
        QDir(QString::fromStdString(vaultFolder())).entryList({QStringLiteral("data.enc.tmp-*")}, QDir::Files).size());
  }
  std::string vaultFolder() const { return vaultFile().substr(0, vaultFile().rfind('/')); }
};

// One save of the program: how it starts, the step that saves, what it shows once saved.
struct Operation {
  const char* name;
  std::function<void(SaveFaults&)> prepare;  // everything up to the step that saves
  std::function<void(SaveFaults&)> save;
  std::vector<Entry> shownAfter;  // the list after a successful save
  QString savedStatus;
  bool editorTyped = false;  // the texts typed into the editor must survive a failure
  bool reordered = false;    // the list was sorted before the save, so only its contents match the file
};

const Entry kTyped = {"dora", "d1", "d.example"};

const Operation kOperations[] = {
    {"add",
     [](SaveFaults& t) { t.open(kThree), t.form->cmdAdd_Click(0); },
     [](SaveFaults& t) { t.typeAndSave("dora", "d1", "d.example"); },
     {kThree[0], kThree[1], kThree[2], kTyped},
     QStringLiteral("Added new entry.  Data saved."),
     true},
    {"edit",
     [](SaveFaults& t) { t.open(kThree), t.select(2), t.form->cmdEdit_Click(); },
     [](SaveFaults& t) { t.typeAndSave("dora", "d1", "d.example"); },
     {kThree[0], kTyped, kThree[2]},
     QStringLiteral("Added new entry.  Data saved."),
     true},
    {"delete",
     [](SaveFaults& t) { t.open(kThree), t.select(1); },
     [](SaveFaults& t) { t.form->cmdDelete_Click(); },
     {kThree[1], kThree[2]},
     QStringLiteral("Entry deleted successfully, data saved.")},
    {"delete after a sort",
     [](SaveFaults& t) { t.open(kThree), t.form->lstPass_ColumnClick(1), t.select(3); },
     [](SaveFaults& t) { t.form->cmdDelete_Click(); },
     {kThree[2], kThree[0]},
     QStringLiteral("Entry deleted successfully, data saved."),
     false,
     true},
    // The sort stays on: the new row takes its place in the order.
    {"add after a sort",
     [](SaveFaults& t) { t.open(kThree), t.form->lstPass_ColumnClick(2), t.form->cmdAdd_Click(0); },
     [](SaveFaults& t) { t.typeAndSave("dora", "d1", "d.example"); },
     {kTyped, kThree[2], kThree[0], kThree[1]},
     QStringLiteral("Added new entry.  Data saved."),
     true,
     true},
};

std::vector<Entry> sorted(std::vector<Entry> e) {
  std::sort(e.begin(), e.end());
  return e;
}

// The calls a clean run of the operation makes, each with its occurrence.
std::vector<files::CallFault> callsOf(SaveFaults& t, const Operation& op) {
  op.prepare(t);
  files::setCallFaultsForTests({});
  op.save(t);
  const auto logged = files::loggedCallsForTests();
  files::clearCallFaultsForTests();
  std::vector<files::CallFault> calls;
  for (std::size_t i = 0; i < logged.size(); ++i)
    calls.push_back({logged[i], static_cast<int>(std::count(logged.begin(), logged.begin() + i + 1, logged[i]))});
  return calls;
}

bool afterTheRename(files::Call call) { return call == files::Call::OpenFolder || call == files::Call::SyncFolder; }

TEST_F(SaveFaults, eachCallOfEachSaveFailingInTurn) {
  int cases = 0;
  for (const Operation& op : kOperations) {
    const auto calls = callsOf(*this, op);
    ASSERT_GE(calls.size(), 7u) << op.name;
    ASSERT_EQ(fileBytes(), vaultImage(kMaster, op.shownAfter)) << op.name;  // the clean run is the reference
    for (auto fault : calls) {
      for (int err : kErrors) {
        op.prepare(*this);
        const std::string old = fileBytes();
        fault.error = err;
        files::setCallFaultsForTests({fault});
        op.save(*this);
        files::clearCallFaultsForTests();
        const std::string what = std::string(op.name) + ", " + files::callName(fault.call) + " #" +
                                 std::to_string(fault.occurrence) + ": " + std::strerror(err);
        ++cases;
        EXPECT_EQ(temporaries(), 0) << what;
        if (err == EINTR || afterTheRename(fault.call)) {
          EXPECT_EQ(status(), op.savedStatus) << what;
          EXPECT_EQ(allEntries(), op.shownAfter) << what;
          EXPECT_EQ(fileBytes(), vaultImage(kMaster, allEntries())) << what;
          EXPECT_EQ(editor(), nullptr) << what;
          continue;
        }
        EXPECT_EQ(status(), QStringLiteral("Could not save data.enc: ") + QString::fromUtf8(std::strerror(err)))
            << what;
        EXPECT_EQ(fileBytes(), old) << what;
        const auto shown = op.reordered ? sorted(allEntries()) : allEntries();
        EXPECT_EQ(shown, op.reordered ? sorted(kThree) : kThree) << what;
        if (op.editorTyped) {
          ASSERT_NE(editor(), nullptr) << what;
          EXPECT_EQ(editor()->txtUsername->text().toStdString(), kTyped[0]) << what;
          EXPECT_EQ(editor()->txtPassword->text().toStdString(), kTyped[1]) << what;
          EXPECT_EQ(editor()->txtWebsite->text().toStdString(), kTyped[2]) << what;
        }
      }
    }
  }
  RecordProperty("cases", cases);
  std::printf("[ program save faults ] %d cases\n", cases);
}

// Creating the master password rewrites a vault whose first line is empty; entry lines found under
// it stay in the file whatever happens, so they are shown whatever happens, and a later save keeps them.
TEST_F(SaveFaults, creatingTheMasterPasswordWithEachCallFailingInTurn) {
  const std::vector<Entry> kept = {{"old", "o1", "o.example"}};
  const std::string fresh = "\r\n" + testing_support::flip("old|||o1|||o.example") + "\r\n\r\n";
  std::vector<files::Call> calls;
  const auto create = [&](std::vector<files::CallFault> faults) {
    testing_support::writeBytes(vaultFile(), fresh);
    platform::forms::resetForTests();
    form = platform::forms::load<Form1>();
    modGlobals::masterPassword = u"new master";
    files::setCallFaultsForTests(std::move(faults));
    const auto outcome = modGlobals::createVault();
    const bool created = outcome && *outcome == modGlobals::Created::Written;
    calls = files::loggedCallsForTests();
    files::clearCallFaultsForTests();
    return created;
  };
  ASSERT_TRUE(create({}));
  const std::vector<files::Call> order = calls;
  ASSERT_EQ(std::count(order.begin(), order.end(), files::Call::Write), 1);
  for (files::Call call : order) {
    for (int err : kErrors) {
      const bool created = create({{call, 1, err}});
      const std::string what = std::string(files::callName(call)) + ": " + std::strerror(err);
      const bool mustCreate = err == EINTR || afterTheRename(call);
      EXPECT_EQ(created, mustCreate) << what;
      EXPECT_EQ(fileBytes(), mustCreate ? vaultImage("new master", kept) : fresh) << what;
      EXPECT_EQ(allEntries(), kept) << what;
      EXPECT_EQ(temporaries(), 0) << what;
      EXPECT_EQ(status(), mustCreate
                              ? QStringLiteral("Password created successfully")
                              : QStringLiteral("Could not save data.enc: ") + QString::fromUtf8(std::strerror(err)))
          << what;
      if (!mustCreate) {  // the next save, once the disk is back, writes the kept entries with the password
        select(1);
        form->cmdEdit_Click();
        typeAndSave("old", "o2", "o.example");
        EXPECT_EQ(fileBytes(), vaultImage("new master", {{"old", "o2", "o.example"}})) << what;
      }
    }
  }
}

}  // namespace
}  // namespace entries_test
