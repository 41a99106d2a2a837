// The three files are saved as one set: a crash at any moment leaves the whole
// old set or the whole new set (once the next start has finished the save), and
// a save that fails part way replaces none of them.
#include <algorithm>
#include <gtest/gtest.h>

#include <cstdint>
#include <string>

#include "model/archive.h"
#include "model/engine.h"
#include "model/file_set.h"
#include "model/file_system.h"
#include "model/journal_records.h"
#include "model/save_writer.h"
#include "tests/common/archive_files.h"

#ifndef _WIN32
#include <fcntl.h>
#include <linux/fs.h>
#include <signal.h>
#include <sys/ioctl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <memory>
#include <mutex>
#include <random>
#include <vector>
#endif

using namespace testfiles;

namespace {

const wchar_t* const kMarker = L"saving.set";

// One generation of the whole set; every file tells which generation it holds.
void MakeGeneration(Engine& engine, int generation, int contacts) {
  engine.groups->items.clear();
  engine.contacts->items.clear();
  for (int i = 0; i < 20; ++i) engine.groups->Add(L"Group " + std::to_wstring(i), L"", Weeks, 2);
  for (int i = 0; i < contacts; ++i) {
    engine.contacts->Add(L"Contact number " + std::to_wstring(i), L"C:\\Pictures\\someone.png", Days, 10, 1700000000,
                         L"{\\rtf1 notes of generation " + std::to_wstring(generation) + L"}", 1 + i % 20);
  }
  engine.groups->lastId = generation;
  engine.contacts->lastId = 1000000 + generation;
  engine.options->warnDays = generation;
}

// The generation the folder holds, or -1 when the files are not one whole set.
int GenerationOnDisk(const std::wstring& folder, int contacts) {
  Engine engine(folder);
  const Engine::LoadReport report = engine.Load();
  if (report.groups != FileStatus::Ok || report.contacts != FileStatus::Ok || report.options != FileStatus::Ok)
    return -1;
  const int generation = engine.groups->lastId;
  if (engine.contacts->lastId != 1000000 + generation || engine.options->warnDays != generation) return -1;
  if (engine.contacts->items.size() != static_cast<std::size_t>(contacts)) return -1;
  return generation;
}

std::string Utf16(const std::wstring& text) {
  std::string bytes;
  for (const wchar_t unit : text) bytes += std::string(1, static_cast<char>(unit)) + '\0';
  return bytes;
}

}  // namespace

TEST(FileSet, TheNextStartFinishesOrUndoesASaveThatWasCutOff) {
  TempFolder folder;
  Engine old(folder.path());
  MakeGeneration(old, 1, 3);
  ASSERT_TRUE(old.Save());
  Engine next(folder.path());
  MakeGeneration(next, 2, 3);
  StagedFile staged[3];
  const auto stageAll = [&] {
    ASSERT_TRUE(StageArchive(next.groupsPath, *next.groups, staged[0]));
    ASSERT_TRUE(StageArchive(next.contactsPath, *next.contacts, staged[1]));
    ASSERT_TRUE(StageArchive(next.optionsPath, *next.options, staged[2]));
  };
  const std::string wholeMarker = Utf16(L"groups.dat\ncontacts.dat\noptions.dat\nend\n");

  // Stopped after the first replacement: the start puts the other two in place.
  stageAll();
  WriteBytes(folder.File(kMarker), wholeMarker);
  ASSERT_TRUE(files::ReplaceWith(TemporaryPath(next.groupsPath), next.groupsPath));
  EXPECT_EQ(GenerationOnDisk(folder.path(), 3), 2);
  EXPECT_FALSE(FileExists(folder.File(kMarker)));
  EXPECT_FALSE(FileExists(TemporaryPath(next.contactsPath)));

  // A temporary file that does not load completely: nothing of the set is used.
  MakeGeneration(next, 3, 3);
  stageAll();
  const std::string contactsTmp = ReadBytes(TemporaryPath(next.contactsPath));
  WriteBytes(TemporaryPath(next.contactsPath), contactsTmp.substr(0, contactsTmp.size() - 3));
  WriteBytes(folder.File(kMarker), wholeMarker);
  EXPECT_EQ(GenerationOnDisk(folder.path(), 3), 2);
  for (const std::wstring* path : {&next.groupsPath, &next.contactsPath, &next.optionsPath})
    EXPECT_FALSE(FileExists(TemporaryPath(*path)));
  EXPECT_FALSE(FileExists(folder.File(kMarker)));

  // A marker cut short was being written when the save stopped: nothing was replaced yet.
  stageAll();
  WriteBytes(folder.File(kMarker), wholeMarker.substr(0, wholeMarker.size() - 4));
  EXPECT_EQ(GenerationOnDisk(folder.path(), 3), 2);
  EXPECT_FALSE(FileExists(TemporaryPath(next.groupsPath)));

  // Temporary files without a marker are a save stopped before its set was
  // complete: they are not used, and they never stop the next save.
  stageAll();
  WriteBytes(TemporaryPath(next.contactsPath), "not a data file");
  EXPECT_EQ(GenerationOnDisk(folder.path(), 3), 2);
  ASSERT_TRUE(next.Save());
  EXPECT_EQ(GenerationOnDisk(folder.path(), 3), 3);
  EXPECT_FALSE(FileExists(folder.File(kMarker)));
  EXPECT_FALSE(FileExists(TemporaryPath(next.contactsPath)));
}

#ifndef _WIN32

// Files of a few thousand contacts: every stage of the save (writing, forcing
// to disk, the marker, the replace) is still hit, and the run stays well
// inside its time on a loaded machine.
TEST(FileSet, AWriterKilledAtAnyMomentLeavesTheOldOrTheNewSet) {
  constexpr int kContacts = 3000;
  constexpr int kKills = 220;
  TempFolder folder;
  Engine writer(folder.path());
  MakeGeneration(writer, 0, kContacts);
  const auto started = std::chrono::steady_clock::now();
  ASSERT_TRUE(writer.Save());
  const auto saveTime = std::chrono::steady_clock::now() - started;
  const long long saveNs = std::chrono::duration_cast<std::chrono::nanoseconds>(saveTime).count();

  const unsigned start = std::random_device{}();
  SCOPED_TRACE("random start " + std::to_string(start));
  std::mt19937 random(start);
  // Mostly inside the save, sometimes just after it. A forked save on a busy
  // machine can take far longer than the first one: the window follows what
  // the kills find, widening while they only find old sets and narrowing when
  // they find new ones, so both kinds of moment keep being hit.
  long long window = saveNs + saveNs / 4;
  int onDisk = 0;
  int oldSets = 0;
  int newSets = 0;
  int leftTemporary = 0;
  for (int round = 0; round < kKills; ++round) {
    writer.groups->lastId = onDisk + 1;
    writer.contacts->lastId = 1000000 + onDisk + 1;
    writer.options->warnDays = onDisk + 1;
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) _exit(writer.Save() ? 0 : 1);
    const long long wait = std::uniform_int_distribution<long long>(0, window)(random);
    const timespec pause{static_cast<time_t>(wait / 1000000000), static_cast<long>(wait % 1000000000)};
    nanosleep(&pause, nullptr);
    kill(child, SIGKILL);
    int status = 0;
    waitpid(child, &status, 0);

    const int found = GenerationOnDisk(folder.path(), kContacts);
    ASSERT_TRUE(found == onDisk || found == onDisk + 1)
        << "after kill " << round << ": generation " << found << ", expected " << onDisk << " or " << onDisk + 1;
    (found == onDisk ? oldSets : newSets) += 1;
    window = found == onDisk ? std::min(window + window / 8, saveNs * 40) : std::max(window - window / 16, saveNs / 2);
    onDisk = found;
    ASSERT_FALSE(FileExists(folder.File(kMarker)));
    ASSERT_FALSE(FileExists(writer.contactsPath + L".damaged"));
    if (FileExists(TemporaryPath(writer.contactsPath)) || FileExists(TemporaryPath(writer.groupsPath))) ++leftTemporary;
  }
  std::printf("[          ] %d kills of a %.0f ms save of %d contacts: %d old sets, %d new sets, %d left a .tmp\n",
              kKills, saveNs / 1e6, kContacts, oldSets, newSets, leftTemporary);
  EXPECT_GT(oldSets, 0);
  EXPECT_GT(newSets, 0);

  // Whatever temporary files are left, the next save goes through.
  WriteBytes(TemporaryPath(writer.groupsPath), "left over");
  writer.groups->lastId = writer.options->warnDays = onDisk + 1;
  writer.contacts->lastId = 1000000 + onDisk + 1;
  ASSERT_TRUE(writer.Save());
  EXPECT_EQ(GenerationOnDisk(folder.path(), kContacts), onDisk + 1);
}

// The same kills, now with the save made as the program makes it: the data
// copied on one thread and written by the writer thread, killed at any moment
// of its work.
TEST(FileSet, AWriterThreadKilledMidSaveLeavesTheOldOrTheNewSet) {
  constexpr int kContacts = 3000;
  constexpr int kKills = 60;
  TempFolder folder;
  Engine writer(folder.path());
  MakeGeneration(writer, 0, kContacts);
  const auto started = std::chrono::steady_clock::now();
  ASSERT_TRUE(writer.Save());
  const long long saveNs =
      std::chrono::duration_cast<std::chrono::nanoseconds>(std::chrono::steady_clock::now() - started).count();
  const unsigned start = std::random_device{}();
  SCOPED_TRACE("random start " + std::to_string(start));
  std::mt19937 random(start);
  long long window = saveNs * 2;
  int onDisk = 0;
  int oldSets = 0;
  int newSets = 0;
  for (int round = 0; round < kKills; ++round) {
    writer.groups->lastId = onDisk + 1;
    writer.contacts->lastId = 1000000 + onDisk + 1;
    writer.options->warnDays = onDisk + 1;
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
      SaveWriter thread;
      std::shared_ptr<Engine::Snapshot> snapshot(writer.TakeSnapshot());
      bool saved = false;
      thread.Submit([&] { saved = writer.Write(*snapshot).saved; });
      thread.Wait();
      _exit(saved ? 0 : 1);
    }
    const long long wait = std::uniform_int_distribution<long long>(0, window)(random);
    const timespec pause{static_cast<time_t>(wait / 1000000000), static_cast<long>(wait % 1000000000)};
    nanosleep(&pause, nullptr);
    kill(child, SIGKILL);
    int status = 0;
    waitpid(child, &status, 0);
    const int found = GenerationOnDisk(folder.path(), kContacts);
    ASSERT_TRUE(found == onDisk || found == onDisk + 1)
        << "after kill " << round << ": generation " << found << ", expected " << onDisk << " or " << onDisk + 1;
    (found == onDisk ? oldSets : newSets) += 1;
    window = found == onDisk ? std::min(window + window / 8, saveNs * 40) : std::max(window - window / 16, saveNs / 2);
    onDisk = found;
    ASSERT_FALSE(FileExists(folder.File(kMarker)));
  }
  std::printf("[          ] %d kills of the writer thread: %d old sets, %d new sets\n", kKills, oldSets, newSets);
  EXPECT_GT(oldSets, 0);
  EXPECT_GT(newSets, 0);
}

// The set as a tick makes it: contacts.dat replaced and a record added to
// journal.dat. Each round the writer starts from the files (as the program
// does), so nearly every save adds a record; a kill at any moment of one
// leaves the old set or the new, never a journal of one and contacts of the other.
TEST(FileSet, AKillWhileARecordIsAddedLeavesTheOldOrTheNewSet) {
  constexpr int kContacts = 3000;
  constexpr int kKills = 80;
  TempFolder folder;
  Engine writer(folder.path());
  MakeGeneration(writer, 0, kContacts);
  for (const auto& contact : *writer.contacts)
    for (int k = 0; k < 5; ++k) writer.journal->Record(contact->id, 1600000000 + k, L"lunch");
  ASSERT_TRUE(writer.Save());
  const std::int32_t ticked = writer.contacts->items.front()->id;
  const int first = static_cast<int>(writer.journal->Entries(ticked).size());
  // The generation the folder holds, or -1 when its journal is of another one.
  const auto generationOnDisk = [&] {
    const int found = GenerationOnDisk(folder.path(), kContacts);
    Journal journal;
    if (ReadArchive(writer.journalPath, journal) != FileStatus::Ok) return -2;
    const int entries = static_cast<int>(journal.Entries(ticked).size()) - first;
    return entries == found ? found : -1;
  };
  const auto started = std::chrono::steady_clock::now();
  ASSERT_TRUE(writer.Load().journal == FileStatus::Ok);
  writer.groups->lastId = writer.options->warnDays = 1;
  writer.contacts->lastId = 1000000 + 1;
  writer.journal->Record(ticked, 1700000000, L"tick");
  ASSERT_TRUE(writer.Save());
  ASSERT_EQ(writer.LastJournalWrite(), Engine::JournalWrite::Record);
  const long long saveNs =
      std::chrono::duration_cast<std::chrono::nanoseconds>(std::chrono::steady_clock::now() - started).count();
  int onDisk = 1;
  ASSERT_EQ(generationOnDisk(), onDisk);
  const unsigned start = std::random_device{}();
  SCOPED_TRACE("random start " + std::to_string(start));
  std::mt19937 random(start);
  long long window = saveNs * 2;
  int oldSets = 0;
  int newSets = 0;
  int leftStaged = 0;
  int finished = 0;  // by the next start
  for (int round = 0; round < kKills; ++round) {
    writer.Load();
    writer.groups->lastId = onDisk + 1;
    writer.contacts->lastId = 1000000 + onDisk + 1;
    writer.options->warnDays = onDisk + 1;
    writer.journal->Record(ticked, 1700000000 + onDisk, L"tick");
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) _exit(writer.Save() ? 0 : 1);
    const long long wait = std::uniform_int_distribution<long long>(0, window)(random);
    const timespec pause{static_cast<time_t>(wait / 1000000000), static_cast<long>(wait % 1000000000)};
    nanosleep(&pause, nullptr);
    kill(child, SIGKILL);
    int status = 0;
    waitpid(child, &status, 0);
    finished += FileExists(folder.File(kMarker)) ? 1 : 0;
    const int found = generationOnDisk();
    ASSERT_TRUE(found == onDisk || found == onDisk + 1)
        << "after kill " << round << ": generation " << found << ", expected " << onDisk << " or " << onDisk + 1;
    (found == onDisk ? oldSets : newSets) += 1;
    window = found == onDisk ? std::min(window + window / 8, saveNs * 40) : std::max(window - window / 16, saveNs / 2);
    onDisk = found;
    ASSERT_FALSE(FileExists(folder.File(kMarker)));
    ASSERT_FALSE(FileExists(writer.journalPath + L".damaged"));
    // A staged record without a marker is a save stopped before its set was complete, as a .tmp is.
    if (FileExists(AppendPath(writer.journalPath))) ++leftStaged;
  }
  JournalTail tail;
  Journal journal;
  ASSERT_EQ(ReadJournal(writer.journalPath, journal, &tail), FileStatus::Ok);
  std::printf(
      "[          ] %d kills of a tick's save: %d old sets, %d new sets (%d finished at start), %d left a staged "
      "record; "
      "%llu records\n",
      kKills, oldSets, newSets, finished, leftStaged, static_cast<unsigned long long>(tail.records));
  EXPECT_GT(oldSets, 0);
  EXPECT_GT(newSets, 0);
}

// Saves are written in order; one still waiting gives way to a newer one,
// and Wait returns only once the one running is done.
TEST(FileSet, TheWriterKeepsOrderAndANewerSnapshotReplacesOneNotStarted) {
  SaveWriter thread;
  std::mutex lock;
  std::condition_variable changed;
  bool firstRunning = false;
  bool release = false;
  std::vector<int> ran;
  thread.Submit([&] {
    std::unique_lock<std::mutex> hold(lock);
    firstRunning = true;
    changed.notify_all();
    changed.wait(hold, [&] { return release; });
    ran.push_back(1);
  });
  {
    std::unique_lock<std::mutex> hold(lock);
    changed.wait(hold, [&] { return firstRunning; });
  }
  thread.Submit([&] { ran.push_back(2); });
  thread.Submit([&] { ran.push_back(3); });
  EXPECT_TRUE(thread.Busy());
  {
    std::lock_guard<std::mutex> hold(lock);
    release = true;
  }
  changed.notify_all();
  thread.Wait();
  EXPECT_FALSE(thread.Busy());
  EXPECT_EQ(ran, (std::vector<int>{1, 3}));
  EXPECT_EQ(thread.Replaced(), 1u);
  EXPECT_EQ(thread.Finished(), 2u);
}

namespace {

struct Snapshot {
  std::string groups, contacts, options;
  explicit Snapshot(const Engine& engine)
      : groups(ReadBytes(engine.groupsPath)),
        contacts(ReadBytes(engine.contactsPath)),
        options(ReadBytes(engine.optionsPath)) {}
  bool operator==(const Snapshot& other) const {
    return groups == other.groups && contacts == other.contacts && options == other.options;
  }
};

// Saves in a child process set up by `prepare`; the reason comes back through a pipe.
bool SaveInChild(Engine& engine, void (*prepare)(), std::string& reason) {
  int pipeEnds[2];
  if (pipe(pipeEnds) != 0) return true;
  const pid_t child = fork();
  if (child == 0) {
    close(pipeEnds[0]);
    prepare();
    std::wstring why;
    const bool saved = engine.Save(&why);
    const std::string bytes(why.begin(), why.end());
    if (write(pipeEnds[1], bytes.data(), bytes.size()) < 0) _exit(2);
    _exit(saved ? 0 : 1);
  }
  close(pipeEnds[1]);
  char buffer[512];
  for (ssize_t got; (got = read(pipeEnds[0], buffer, sizeof buffer)) > 0;) reason.append(buffer, got);
  close(pipeEnds[0]);
  int status = 0;
  waitpid(child, &status, 0);
  return !(WIFEXITED(status) && WEXITSTATUS(status) == 1);
}

void NoteNoneLeft(const Engine& engine, const TempFolder& folder) {
  for (const std::wstring* path : {&engine.groupsPath, &engine.contactsPath, &engine.optionsPath})
    EXPECT_FALSE(FileExists(TemporaryPath(*path)));
  EXPECT_FALSE(FileExists(folder.File(kMarker)));
}

}  // namespace

TEST(FileSet, AFullDiskReplacesNoneOfTheFiles) {
  TempFolder folder;
  Engine engine(folder.path());
  MakeGeneration(engine, 1, 10);
  ASSERT_TRUE(engine.Save());
  const Snapshot before(engine);
  // The groups file still fits, the contacts file does not.
  MakeGeneration(engine, 2, 3000);
  std::string reason;
  EXPECT_FALSE(SaveInChild(
      engine,
      [] {
        signal(SIGXFSZ, SIG_IGN);
        const rlimit limit{64 * 1024, 64 * 1024};
        setrlimit(RLIMIT_FSIZE, &limit);
      },
      reason));
  EXPECT_NE(reason.find("contacts.dat"), std::string::npos) << reason;
  EXPECT_NE(reason.find("full"), std::string::npos) << reason;
  EXPECT_TRUE(Snapshot(engine) == before);
  NoteNoneLeft(engine, folder);
}

TEST(FileSet, AReadOnlyFolderReplacesNoneOfTheFiles) {
  TempFolder folder(L"settings");
  Engine engine(folder.path());
  MakeGeneration(engine, 1, 10);
  ASSERT_TRUE(engine.Save());
  const Snapshot before(engine);
  // As root a folder's mode stops nothing: make it immutable instead.
  const std::string native = files::PathOf(folder.path()).native();
  const int fd = open(native.c_str(), O_RDONLY | O_DIRECTORY);
  ASSERT_GE(fd, 0);
  int flags = 0;
  const bool immutable = ioctl(fd, FS_IOC_GETFLAGS, &flags) == 0 && [&] {
    int set = flags | FS_IMMUTABLE_FL;
    return ioctl(fd, FS_IOC_SETFLAGS, &set) == 0;
  }();
  if (!immutable) chmod(native.c_str(), 0555);
  const std::string probe = native + "/probe";
  const int written = open(probe.c_str(), O_WRONLY | O_CREAT, 0644);
  if (written >= 0) {
    close(written);
    unlink(probe.c_str());
    chmod(native.c_str(), 0755);
    close(fd);
    GTEST_SKIP() << "no way to make a folder read-only here (root without the immutable flag)";
  }
  MakeGeneration(engine, 2, 10);
  std::wstring why;
  EXPECT_FALSE(engine.Save(&why));
  const std::string reason(why.begin(), why.end());
  if (immutable) {
    ioctl(fd, FS_IOC_SETFLAGS, &flags);
  } else {
    chmod(native.c_str(), 0755);
  }
  close(fd);
  EXPECT_NE(reason.find("groups.dat.tmp"), std::string::npos) << reason;
  EXPECT_NE(reason.find(immutable ? "not permitted" : "denied"), std::string::npos) << reason;
  EXPECT_TRUE(Snapshot(engine) == before);
  NoteNoneLeft(engine, folder);
}

#endif
