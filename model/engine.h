#pragma once
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include <boost/shared_ptr.hpp>
#include <boost/weak_ptr.hpp>

#include "model/archive.h"
#include "model/contacts.h"
#include "model/file_set.h"
#include "model/groups.h"
#include "model/journal.h"
#include "model/journal_snapshot.h"
#include "model/options.h"

class Engine {
 public:
  struct Paths {
    std::wstring groups;
    std::wstring contacts;
    std::wstring options;
    std::wstring journal;
  };

  // Data lives in the settings folder beside the executable.
  Engine();
  // Data lives in the given folder (the data tool and tests use this).
  explicit Engine(const std::wstring& settingsFolder);
  virtual ~Engine() = default;

  // The four file paths for an executable at exePath: empty when the path has
  // no folder separator.
  static Paths PathsBesideExecutable(const std::wstring& exePath, wchar_t separator);

  struct LoadReport {
    FileStatus groups = FileStatus::Missing;
    FileStatus contacts = FileStatus::Missing;
    FileStatus options = FileStatus::Missing;
    FileStatus journal = FileStatus::Missing;
    // Files that did not load completely, in load order, why, and the copies
    // kept of them before anything could overwrite them (empty where none was
    // made). A file of an earlier build, which lacks only the closing line
    // break, is among them (Damage::Unclosed) and is written complete at the
    // next save.
    std::vector<std::wstring> damagedFiles;
    std::vector<Damage> damages;
    std::vector<std::wstring> keptCopies;
    bool AnyDamaged() const { return !damagedFiles.empty(); }
  };

  // Finishes a save that was cut off (see FileSet), then reads groups, contacts,
  // options and the journal; a missing file leaves its defaults, a damaged one what was read
  // before the fault.
  LoadReport Load();
  // Writes the four files as one set: every changed file is written complete
  // first, and only then are they put in place. When one cannot be written,
  // none is replaced; reason gets the failure's words. The groups and options
  // files, small and mostly unchanged (a tick changes only the contacts), are
  // not part of the set when this engine saved them before, their text would
  // not change, and no one has touched them since.
  //
  // Before replacing a file, the save checks that it is still as this engine
  // last read or wrote it: one written by someone else in between is kept
  // beside it first (KeepConflictCopy), and the copy's path is added to
  // conflictCopies.
  bool Save(std::wstring* reason = nullptr, std::vector<std::wstring>* conflictCopies = nullptr);

  // Save in two halves, for a save made on another thread than the one that
  // changes the data. Snapshot, on the data's own thread, catches the journal
  // up and copies what the save writes (the journal only when it changed):
  // the records and histories that did not change since the last snapshot
  // are shared with it, never to be changed, so that a snapshot after a tick
  // copies one contact and its history;
  // Write, on any thread, writes the copies as Save does and returns what it
  // did. Writes run one at a time; the files' stamps they leave are this
  // engine's own at once, so that ChangedOutside never takes them for someone
  // else's.
  struct Snapshot {
    std::unique_ptr<Groups> groups;
    std::unique_ptr<Contacts> contacts;  // records shared with other snapshots
    std::unique_ptr<Options> options;
    std::shared_ptr<const JournalSnapshot> journal;  // null: unchanged since the last save
    std::uint64_t journalRevision = 0;
  };
  struct Written {
    bool saved = false;
    std::wstring reason;
    std::vector<std::wstring> conflictCopies;
  };
  std::unique_ptr<Snapshot> TakeSnapshot();
  Written Write(const Snapshot& snapshot);

  // The data files that someone else wrote since this engine last read or
  // wrote them (a file that is gone is not among them: the next save writes it).
  std::vector<std::wstring> ChangedOutside() const;

  // What ReadChanged found: fresh objects for the files that read completely
  // (null for the others), and the changed files that stopped part way.
  struct Reread {
    boost::shared_ptr<Groups> groups;
    boost::shared_ptr<Contacts> contacts;
    boost::shared_ptr<Options> options;
    boost::shared_ptr<Journal> journal;
    FileStamp stamps[4];
    std::vector<std::wstring> incomplete;
    bool Any() const { return groups || contacts || options || journal; }
  };
  // Reads every file changed outside, with no side effect: memory is untouched.
  Reread ReadChanged() const;
  // Puts the content Reread read into the engine's own objects (the same
  // objects: windows hold them), and takes those files as read. Their
  // notification targets stay; a new contact has none until it is given one.
  void Adopt(Reread& reread);
  // Takes the file as it is now as seen, without reading it (a damaged one
  // that memory stays ahead of: the next save writes over it).
  void AcceptAsSeen(const std::wstring& path);

  boost::shared_ptr<Groups> groups;
  boost::shared_ptr<Contacts> contacts;
  boost::shared_ptr<Options> options;
  // Loaded after the contacts and caught up with them; at every save it
  // forgets contacts that are gone and catches up again, and it is written as
  // part of the set when that changed it.
  boost::shared_ptr<Journal> journal;
  std::wstring groupsPath;
  std::wstring contactsPath;
  std::wstring optionsPath;
  std::wstring journalPath;
  // The four paths together (backups copy what exists of them).
  Paths FilePaths() const { return {groupsPath, contactsPath, optionsPath, journalPath}; }
  // False: saves leave journal.dat alone (the data tool given no journal).
  bool saveJournal = true;

  // A save that changes few contacts adds a record of them to journal.dat
  // (see journal_records.h) instead of writing it whole; it is written whole
  // again when its records would pass this share of its base or this size,
  // on the first save of another local day than the one its first record was
  // added on, and whenever this engine is not sure what the file holds.
  // False: every save writes journal.dat whole, as earlier builds did.
  bool addRecords = true;
  static constexpr std::uint64_t kRecordsShareOfBase = 4;  // a quarter
  static constexpr std::uint64_t kMaxRecordBytes = 8u << 20;
  // How the last save wrote journal.dat: whole, with a record added, or not at all.
  enum class JournalWrite { None, Whole, Record };
  JournalWrite LastJournalWrite() const;

 private:
  void UsePaths(const Paths& paths);
  std::unique_ptr<Contacts> ShareContacts();
  std::shared_ptr<const JournalSnapshot> ShareJournal();
  FileSet Set() const;
  // 0 groups, 1 contacts, 2 options, 3 journal; -1 for any other path.
  static constexpr int kFiles = 4;
  int IndexOf(const std::wstring& path) const;
  const std::wstring& PathAt(int index) const;

  // A copy of an engine (tests read saved data into one) gets locks of its own.
  struct Lock : std::mutex {
    Lock() = default;
    Lock(const Lock&) : std::mutex() {}
    Lock& operator=(const Lock&) { return *this; }
  };
  // What a write reads and leaves (the stamps, the memos, the journal's
  // revision) is guarded, as writes may run on another thread.
  mutable Lock writeState_;
  Lock writing_;
  SavedFile savedGroups_;
  SavedFile savedOptions_;
  // Each file as this engine last read or wrote it.
  FileStamp known_[kFiles];
  // Only an engine that read the files can tell someone else's writes from its own.
  bool watching_ = false;
  // The journal's revision as last loaded or saved; none: write it at the next save.
  std::uint64_t savedJournalRevision_ = 0;
  bool journalRevisionKnown_ = false;
  // What the last snapshot held, for the next one to share (the data's own
  // thread's, as TakeSnapshot): the journal's state as of shippedRevision_ of
  // the journal object shippedFrom_.
  std::vector<Contacts::Item> shippedContacts_;
  // For each shipped record, the live record's notes version it was compared or copied at.
  std::vector<std::uint64_t> shippedNotesVersions_;
  std::shared_ptr<const JournalSnapshot> shippedJournal_;
  boost::weak_ptr<Journal> shippedFrom_;
  std::uint64_t shippedRevision_ = 0;

 public:
  // What journal.dat holds as this engine last read or wrote it.
  struct JournalOnDisk {
    bool appendable = false;  // it ends where `size` says, after a base and records this engine knows
    std::uint64_t size = 0;
    std::uint64_t baseBytes = 0;
    std::uint64_t records = 0;
    Time baseTime = 0;
    std::shared_ptr<const JournalSnapshot> held;
  };

 private:
  bool PlanRecord(const JournalOnDisk& disk, const JournalSnapshot& now, const FileStamp& known,
                  FileSet::Append& append, bool& nothing, Time& baseTime) const;
  JournalOnDisk journalOnDisk_;
  JournalWrite lastJournalWrite_ = JournalWrite::None;
};
