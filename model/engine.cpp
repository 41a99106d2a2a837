#include "model/engine.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <exception>
#include <future>
#include <unordered_map>

#include "model/file_system.h"
#include "model/journal_records.h"
#include "model/paths.h"

namespace {

Engine::Paths PathsIn(const std::wstring& folder) {
  return {folder + L"groups.dat", folder + L"contacts.dat", folder + L"options.dat", folder + L"journal.dat"};
}

}  // namespace

Engine::Engine() : groups(new Groups), contacts(new Contacts), options(new Options), journal(new Journal) {
  UsePaths(PathsBesideExecutable(platform::ExecutablePath(), platform::PathSeparator()));
}

Engine::Engine(const std::wstring& settingsFolder)
    : groups(new Groups), contacts(new Contacts), options(new Options), journal(new Journal) {
  std::wstring folder = settingsFolder;
  const wchar_t separator = platform::PathSeparator();
  if (!folder.empty() && folder.back() != separator && folder.back() != L'/') folder += separator;
  UsePaths(PathsIn(folder));
}

Engine::Paths Engine::PathsBesideExecutable(const std::wstring& exePath, wchar_t separator) {
  const std::wstring folder = paths::SettingsFolderOf(exePath, separator);
  return folder.empty() ? Paths{} : PathsIn(folder);
}

void Engine::UsePaths(const Paths& paths) {
  groupsPath = paths.groups;
  contactsPath = paths.contacts;
  optionsPath = paths.options;
  journalPath = paths.journal;
}

FileSet Engine::Set() const { return FileSet({groupsPath, contactsPath, optionsPath, journalPath}); }

Engine::LoadReport Engine::Load() {
  Set().FinishInterrupted([this](const std::wstring& temporary, const std::wstring& member) {
    if (member == groupsPath) {
      Groups probe;
      return ReadArchive(temporary, probe) == FileStatus::Ok;
    }
    if (member == contactsPath) {
      Contacts probe;
      return ReadArchive(temporary, probe) == FileStatus::Ok;
    }
    if (temporary == AppendPath(journalPath)) return HoldsOneRecord(temporary);
    if (member == journalPath) {
      Journal probe;
      return ReadArchive(temporary, probe) == FileStatus::Ok;
    }
    Options probe;
    return ReadArchive(temporary, probe) == FileStatus::Ok;
  });
  LoadReport report;
  const auto note = [&report](const std::wstring& path, const LoadResult& result) {
    if (result.status != FileStatus::Damaged) return;
    report.damagedFiles.push_back(path);
    report.damages.push_back(result.damage);
    report.keptCopies.push_back(result.keptCopy);
  };
  // Taken before reading: a write that comes during the read shows as a change.
  std::unique_lock<std::mutex> hold(writeState_);
  for (int i = 0; i < kFiles; ++i) known_[i] = StampNow(PathAt(i));
  watching_ = true;
  hold.unlock();
  // The journal, most of the data, is read on a thread of its own while the
  // other three are read here: the start waits for the longer of the two
  // rather than for both. Without a thread to spare it is read here after them.
  // A damaged journal keeps what was read before the fault, like the other
  // files; a missing one starts empty. Either way the contacts fill it in.
  JournalTail tail;
  std::future<LoadResult> journalRead = std::async(std::launch::async | std::launch::deferred,
                                                   [this, &tail] { return LoadJournal(journalPath, *journal, &tail); });
  const LoadResult groupsResult = LoadArchive(groupsPath, *groups);
  note(groupsPath, groupsResult);
  const LoadResult contactsResult = LoadArchive(contactsPath, *contacts);
  note(contactsPath, contactsResult);
  const LoadResult optionsResult = LoadArchive(optionsPath, *options);
  note(optionsPath, optionsResult);
  const LoadResult journalResult = journalRead.get();
  // Read in through its members: what the last snapshot holds is not what it holds now.
  journal->Touch();
  note(journalPath, journalResult);
  // What the file holds, for the snapshots that follow to share and a save
  // to tell what changed since.
  std::shared_ptr<const JournalSnapshot> held = ShareJournal();
  journal->CatchUp(*contacts);
  hold.lock();
  journalOnDisk_ = JournalOnDisk{};
  journalOnDisk_.appendable = journalResult.status == FileStatus::Ok && tail.clean && known_[3].exists &&
                              known_[3].size == tail.size;
  journalOnDisk_.size = tail.size;
  journalOnDisk_.baseBytes = tail.baseBytes;
  journalOnDisk_.records = tail.records;
  journalOnDisk_.baseTime = tail.baseTime;
  journalOnDisk_.held = std::move(held);
  savedJournalRevision_ = journal->Revision();
  journalRevisionKnown_ = journalResult.status == FileStatus::Ok;
  hold.unlock();
  report.journal = journalResult.status;
  report.groups = groupsResult.status;
  report.contacts = contactsResult.status;
  report.options = optionsResult.status;
  return report;
}

int Engine::IndexOf(const std::wstring& path) const {
  if (path == groupsPath) return 0;
  if (path == contactsPath) return 1;
  if (path == optionsPath) return 2;
  if (path == journalPath) return 3;
  return -1;
}

const std::wstring& Engine::PathAt(int index) const {
  switch (index) {
    case 0:
      return groupsPath;
    case 1:
      return contactsPath;
    case 2:
      return optionsPath;
    default:
      return journalPath;
  }
}

std::vector<std::wstring> Engine::ChangedOutside() const {
  std::vector<std::wstring> changed;
  std::lock_guard<std::mutex> hold(writeState_);
  if (!watching_) return changed;
  for (int i = 0; i < kFiles; ++i) {
    const FileStamp now = StampNow(PathAt(i));
    if (now.exists && now != known_[i]) changed.push_back(PathAt(i));
  }
  return changed;
}

namespace {

template <class T>
boost::shared_ptr<T> ReadWhole(const std::wstring& path, std::vector<std::wstring>& incomplete) {
  boost::shared_ptr<T> fresh(new T);
  if (ReadArchive(path, *fresh) == FileStatus::Ok) return fresh;
  incomplete.push_back(path);
  return {};
}

// Whether two files hold the same bytes: a file rewritten with what we are
// about to write loses nothing when it is replaced.
bool SameBytes(const std::wstring& a, const std::wstring& b) {
  std::FILE* first = files::OpenBinary(a, false);
  std::FILE* second = files::OpenBinary(b, false);
  bool same = first && second && files::SizeOf(first) == files::SizeOf(second);
  char left[65536];
  char right[sizeof left];
  while (same) {
    const std::size_t read = std::fread(left, 1, sizeof left, first);
    same = std::fread(right, 1, sizeof right, second) == read && std::memcmp(left, right, read) == 0;
    if (read == 0) break;
  }
  if (first) std::fclose(first);
  if (second) std::fclose(second);
  return same;
}

}  // namespace

Engine::Reread Engine::ReadChanged() const {
  Reread reread;
  for (const std::wstring& path : ChangedOutside()) {
    const int index = IndexOf(path);
    reread.stamps[index] = StampNow(path);
    if (index == 0) reread.groups = ReadWhole<Groups>(path, reread.incomplete);
    if (index == 1) reread.contacts = ReadWhole<Contacts>(path, reread.incomplete);
    if (index == 2) reread.options = ReadWhole<Options>(path, reread.incomplete);
    if (index == 3) {
      // Someone else's journal that ends inside a record may still be being
      // written: it waits, as a file cut short does.
      boost::shared_ptr<Journal> fresh(new Journal);
      JournalTail tail;
      if (ReadJournal(path, *fresh, &tail) == FileStatus::Ok && !tail.torn)
        reread.journal = fresh;
      else
        reread.incomplete.push_back(path);
    }
  }
  return reread;
}

void Engine::Adopt(Reread& reread) {
  std::lock_guard<std::mutex> hold(writeState_);
  if (reread.groups) {
    groups->items = std::move(reread.groups->items);
    groups->lastId = reread.groups->lastId;
    known_[0] = reread.stamps[0];
    savedGroups_.known = false;
  }
  if (reread.contacts) {
    contacts->items = std::move(reread.contacts->items);
    contacts->lastId = reread.contacts->lastId;
    known_[1] = reread.stamps[1];
  }
  if (reread.options) {
    *options = *reread.options;
    options->SetAutoStart(options->autoStart);
    known_[2] = reread.stamps[2];
    savedOptions_.known = false;
  }
  if (reread.journal) {
    journal->contacts = std::move(reread.journal->contacts);
    journal->state = reread.journal->state;
    journal->Touch();
    known_[3] = reread.stamps[3];
    // Written by someone else: the next save writes it whole.
    journalOnDisk_ = JournalOnDisk{};
  }
  // Entries for contacts that came in, or went, with the files just read.
  if (reread.contacts || reread.journal) journal->CatchUp(*contacts);
  if (reread.journal) {
    savedJournalRevision_ = journal->Revision();
    journalRevisionKnown_ = true;
  }
}

void Engine::AcceptAsSeen(const std::wstring& path) {
  const int index = IndexOf(path);
  std::lock_guard<std::mutex> hold(writeState_);
  if (index >= 0) known_[index] = StampNow(path);
}

bool Engine::Save(std::wstring* reason, std::vector<std::wstring>* conflictCopies) {
  const std::unique_ptr<Snapshot> snapshot = TakeSnapshot();
  Written written = Write(*snapshot);
  if (reason && !written.saved) *reason = written.reason;
  if (conflictCopies)
    conflictCopies->insert(conflictCopies->end(), written.conflictCopies.begin(), written.conflictCopies.end());
  return written.saved;
}

namespace {

std::unique_ptr<Groups> CopyOf(const Groups& groups) {
  std::unique_ptr<Groups> copy(new Groups);
  copy->lastId = groups.lastId;
  copy->items.reserve(groups.items.size());
  for (const Groups::Item& group : groups.items) {
    if (!group) continue;
    copy->items.emplace_back(new Group(group->id, group->name, group->imagePath, group->unit, group->count));
  }
  return copy;
}

Contacts::Item CopyOf(const Contact& contact) {
  Contacts::Item record(new Contact(contact.id, contact.name, contact.imagePath, contact.unit, contact.count,
                                    contact.lastContacted, contact.notes, contact.groupId));
  record->previousContacted = contact.previousContacted;
  return record;
}

// Every field a save writes; the notes, most of the bytes, only when the live
// record's notes may have changed since the copy was made of them.
bool SameRecord(const Contact& copy, const Contact& live, std::uint64_t copiedNotesVersion) {
  return copy.id == live.id && copy.unit == live.unit && copy.count == live.count &&
         copy.lastContacted == live.lastContacted && copy.previousContacted == live.previousContacted &&
         copy.groupId == live.groupId && copy.name == live.name && copy.imagePath == live.imagePath &&
         copy.notes.size() == live.notes.size() &&
         (copiedNotesVersion == live.NotesVersion() || copy.notes == live.notes);
}

}  // namespace

// Comparing costs less than copying, and a tick changes one contact.
std::unique_ptr<Contacts> Engine::ShareContacts() {
  std::unique_ptr<Contacts> copy(new Contacts);
  copy->lastId = contacts->lastId;
  copy->items.reserve(contacts->items.size());
  std::vector<std::uint64_t> notesVersions;
  notesVersions.reserve(contacts->items.size());
  // Mostly the order stays; where it does not, the shipped records by id.
  std::unordered_map<std::int32_t, std::size_t> byId;
  for (const Contacts::Item& contact : contacts->items) {
    if (!contact) continue;
    std::size_t shipped = shippedContacts_.size();
    const std::size_t at = copy->items.size();
    if (at < shippedContacts_.size() && shippedContacts_[at]->id == contact->id) {
      shipped = at;
    } else {
      if (byId.empty())
        for (std::size_t i = 0; i < shippedContacts_.size(); ++i) byId.emplace(shippedContacts_[i]->id, i);
      const auto found = byId.find(contact->id);
      if (found != byId.end()) shipped = found->second;
    }
    const bool same = shipped < shippedContacts_.size() &&
                      SameRecord(*shippedContacts_[shipped], *contact, shippedNotesVersions_[shipped]);
    copy->items.push_back(same ? shippedContacts_[shipped] : CopyOf(*contact));
    notesVersions.push_back(contact->NotesVersion());
  }
  shippedContacts_ = copy->items;
  shippedNotesVersions_ = std::move(notesVersions);
  return copy;
}

std::shared_ptr<const JournalSnapshot> Engine::ShareJournal() {
  JournalChanges changes = journal->TakeChanges();
  // Changes taken by someone else, or another journal object: nothing to share.
  if (shippedFrom_.lock() != journal || changes.since != shippedRevision_) changes.all = true;
  if (changes.all || !changes.ids.empty() || journal->Revision() != shippedRevision_ || !shippedJournal_)
    shippedJournal_ = SnapshotOf(*journal, changes, shippedJournal_);
  shippedFrom_ = journal;
  shippedRevision_ = journal->Revision();
  return shippedJournal_;
}

std::unique_ptr<Engine::Snapshot> Engine::TakeSnapshot() {
  journal->DropMissing(*contacts);
  journal->CatchUp(*contacts);
  std::unique_ptr<Snapshot> snapshot(new Snapshot);
  snapshot->groups = CopyOf(*groups);
  snapshot->contacts = ShareContacts();
  snapshot->options.reset(new Options(*options));
  snapshot->journalRevision = journal->Revision();
  bool journalChanged = false;
  {
    std::lock_guard<std::mutex> hold(writeState_);
    journalChanged = saveJournal && (!journalRevisionKnown_ || journal->Revision() != savedJournalRevision_);
  }
  // Taken at every snapshot, so that the next one shares from this one.
  std::shared_ptr<const JournalSnapshot> shared = ShareJournal();
  if (journalChanged) snapshot->journal = std::move(shared);
  return snapshot;
}

Engine::Written Engine::Write(const Snapshot& snapshot) {
  // One write at a time; the state it starts from is the last write's.
  std::lock_guard<std::mutex> writing(writing_);
  Written written;
  SavedFile groupsMemo, optionsMemo;
  FileStamp known[kFiles];
  bool watching = false;
  JournalOnDisk disk;
  {
    std::lock_guard<std::mutex> hold(writeState_);
    disk = journalOnDisk_;
    groupsMemo = savedGroups_;
    optionsMemo = savedOptions_;
    for (int i = 0; i < kFiles; ++i) known[i] = known_[i];
    watching = watching_;
  }
  StagedFile staged[kFiles];
  std::size_t failed = 0;
  SaveResult result = StageArchive(groupsPath, *snapshot.groups, staged[0], &groupsMemo);
  if (result) {
    failed = 1;
    result = StageArchive(contactsPath, *snapshot.contacts, staged[1]);
  }
  if (result) {
    failed = 2;
    result = StageArchive(optionsPath, *snapshot.options, staged[2], &optionsMemo);
  }
  FileSet::Append append;
  bool appending = false;
  Time baseTime = 0;
  if (result) {
    failed = 3;
    bool nothing = false;
    if (snapshot.journal && PlanRecord(disk, *snapshot.journal, known[3], append, nothing, baseTime)) {
      appending = !nothing;
      staged[3].unchanged = true;
    } else if (snapshot.journal) {
      result = StageArchive(journalPath, *snapshot.journal, staged[3]);
    } else {
      staged[3].unchanged = true;
    }
  }
  if (!result) {
    // The one that failed cleaned up after itself (a folder in the place of
    // its temporary file is not ours to remove); the ones before it are undone.
    for (std::size_t i = 0; i < failed; ++i) {
      if (!staged[i].unchanged) files::Remove(TemporaryPath(staged[i].path));
    }
    written.reason = result.reason;
    return written;
  }
  std::vector<std::wstring> changed;
  SavedFile* const memos[] = {&groupsMemo, nullptr, &optionsMemo, nullptr};
  for (std::size_t i = 0; i < kFiles; ++i) {
    if (staged[i].unchanged) continue;
    changed.push_back(staged[i].path);
    if (memos[i]) memos[i]->known = false;
  }
  for (const std::wstring& path : changed) {
    const int index = IndexOf(path);
    if (!watching || StampNow(path) == known[index] || !files::Exists(path)) continue;
    if (SameBytes(path, TemporaryPath(path))) continue;
    const std::wstring copy = KeepConflictCopy(path, platform::Now());
    if (!copy.empty()) written.conflictCopies.push_back(copy);
  }
  std::wstring why;
  const bool replaced = Set().Replace(changed, why, appending ? &append : nullptr);
  std::lock_guard<std::mutex> hold(writeState_);
  savedGroups_.known = groupsMemo.known && savedGroups_.known;
  savedOptions_.known = optionsMemo.known && savedOptions_.known;
  lastJournalWrite_ = JournalWrite::None;
  if (!replaced) {
    // What the journal ends with now is not known for sure: the next save writes it whole.
    if (snapshot.journal) journalOnDisk_.appendable = false;
    written.reason = why;
    return written;
  }
  if (appending) {
    journalOnDisk_.size = append.offset + append.bytes.size();
    ++journalOnDisk_.records;
    journalOnDisk_.baseTime = baseTime;
    journalOnDisk_.held = snapshot.journal;
    known_[3] = StampNow(journalPath);
    lastJournalWrite_ = JournalWrite::Record;
  } else if (snapshot.journal && !staged[3].unchanged) {
    journalOnDisk_ = JournalOnDisk{};
    journalOnDisk_.held = snapshot.journal;
    lastJournalWrite_ = JournalWrite::Whole;
  } else if (snapshot.journal) {
    journalOnDisk_.held = snapshot.journal;
  }
  for (std::size_t i = 0; i < kFiles; ++i) {
    if (staged[i].unchanged) continue;
    if (memos[i]) {
      RememberSaved(staged[i], *memos[i]);
      *(i == 0 ? &savedGroups_ : &savedOptions_) = *memos[i];
    }
    known_[i] = StampNow(staged[i].path);
  }
  if (lastJournalWrite_ == JournalWrite::Whole) {
    journalOnDisk_.appendable = known_[3].exists;
    journalOnDisk_.size = journalOnDisk_.baseBytes = known_[3].size;
  }
  if (snapshot.journal) {
    savedJournalRevision_ = snapshot.journalRevision;
    journalRevisionKnown_ = true;
  }
  written.saved = true;
  return written;
}

Engine::JournalWrite Engine::LastJournalWrite() const {
  std::lock_guard<std::mutex> hold(writeState_);
  return lastJournalWrite_;
}

namespace {

bool SameLocalDay(Time a, Time b) {
  const platform::LocalTime first = platform::ToLocalTime(a);
  const platform::LocalTime second = platform::ToLocalTime(b);
  return first.year == second.year && first.month == second.month && first.day == second.day;
}

}  // namespace

// Only onto a file that is still exactly as this engine left it: anything
// else (someone else's write, a record cut off, a damaged file) is written whole.
bool Engine::PlanRecord(const JournalOnDisk& disk, const JournalSnapshot& now, const FileStamp& known,
                        FileSet::Append& append, bool& nothing, Time& baseTime) const {
  nothing = false;
  if (!addRecords || !disk.appendable || !disk.held || !known.exists || known.size != disk.size) return false;
  const Time today = platform::Now();
  if (disk.records > 0 && !SameLocalDay(disk.baseTime, today)) return false;
  if (StampNow(journalPath) != known) return false;
  JournalRecord record = RecordBetween(*disk.held, now);
  if (record.Empty()) {
    nothing = true;
    return true;
  }
  record.sequence = disk.records + 1;
  record.offset = disk.size;
  record.baseTime = baseTime = disk.records > 0 ? disk.baseTime : today;
  try {
    const std::wstring text = RecordText(record);
    if (!WideOutBuf::EncodeUnits(text.data(), text.size(), append.bytes)) return false;
  } catch (const std::exception&) {
    return false;  // written whole, which says why
  }
  const std::uint64_t limit = std::min<std::uint64_t>(disk.baseBytes / kRecordsShareOfBase, kMaxRecordBytes);
  if (disk.size - disk.baseBytes + append.bytes.size() > limit) return false;
  append.member = journalPath;
  append.offset = disk.size;
  return true;
}
