#pragma once
// Reading and writing the data files (the three of the older program, and the journal).
#include <cstddef>
#include <cstdint>
#include <string>

#include "model/contacts.h"
#include "model/groups.h"
#include "model/journal.h"
#include "model/journal_snapshot.h"
#include "model/options.h"
#include "model/platform.h"

enum class FileStatus {
  Ok,       // read to the end
  Missing,  // could not be opened: the object was not touched
  Damaged,  // stopped part way: what was read before the fault stays
};

// Why a file counts as damaged.
enum class Damage {
  None,
  Content,          // a token could not be read: loading stopped part way
  Unclosed,         // every record was read, but the closing line break is missing: cut
                    // short (perhaps inside its last number), or written by an earlier build
  AfterLastRecord,  // something else than the closing line break follows the last record
                    // (a lowered record count, bytes added at the end)
};

struct LoadResult {
  FileStatus status = FileStatus::Missing;
  Damage damage = Damage::None;
  // Where the damaged file was kept before anything could overwrite it; empty
  // when it was not damaged, was empty, or the copy failed.
  std::wstring keptCopy;
  // True when the file could be opened.
  explicit operator bool() const { return status != FileStatus::Missing; }
};

struct SaveResult {
  bool ok = false;
  std::wstring reason;  // why not, in words the user can act on
  explicit operator bool() const { return ok; }
};

// Load: read the file into the object (a file of 0 bytes counts as missing), keep a copy of a damaged file beside it
// (name.damaged, name.damaged-2, ...), and for the options apply the auto-start
// setting whenever the file could be opened.
LoadResult LoadArchive(const std::wstring& path, Groups& groups);
LoadResult LoadArchive(const std::wstring& path, Contacts& contacts);
LoadResult LoadArchive(const std::wstring& path, Options& options);
LoadResult LoadArchive(const std::wstring& path, Journal& journal);

// What a save last wrote into a file. Given to the next save of the same file,
// it lets that save leave the file alone when the text would be the same and
// the file is still as that save left it (same size and write time).
struct SavedFile {
  std::wstring path;
  std::wstring text;
  std::uintmax_t size = 0;
  std::int64_t written = 0;
  bool known = false;
};

// Save: write name.tmp beside the file, force it to the disk, then replace the
// file in one step; a missing folder is created first. With `memo`, an
// unchanged file is not written again, and memo records what was written (it
// keeps the whole text: meant for the small files).
SaveResult SaveArchive(const std::wstring& path, const Groups& groups, SavedFile* memo = nullptr);
SaveResult SaveArchive(const std::wstring& path, const Contacts& contacts, SavedFile* memo = nullptr);
SaveResult SaveArchive(const std::wstring& path, const Options& options, SavedFile* memo = nullptr);
SaveResult SaveArchive(const std::wstring& path, const Journal& journal, SavedFile* memo = nullptr);

// The first half of a save, for saving several files as one set: the new file
// complete in TemporaryPath(path), forced to the disk, not yet in place.
struct StagedFile {
  std::wstring path;
  bool unchanged = false;  // the memo says the file holds this text already: nothing was written
  std::wstring text;       // with a memo: what was written, for the memo once the file is in place
};
SaveResult StageArchive(const std::wstring& path, const Groups& groups, StagedFile& staged,
                        const SavedFile* memo = nullptr);
SaveResult StageArchive(const std::wstring& path, const Contacts& contacts, StagedFile& staged,
                        const SavedFile* memo = nullptr);
SaveResult StageArchive(const std::wstring& path, const Options& options, StagedFile& staged,
                        const SavedFile* memo = nullptr);
SaveResult StageArchive(const std::wstring& path, const Journal& journal, StagedFile& staged,
                        const SavedFile* memo = nullptr);
// A snapshot's journal: the same text as the journal it was taken from.
SaveResult StageArchive(const std::wstring& path, const JournalSnapshot& journal, StagedFile& staged,
                        const SavedFile* memo = nullptr);
// Once a staged file is in place: memo describes it.
void RememberSaved(StagedFile& staged, SavedFile& memo);
std::wstring TemporaryPath(const std::wstring& path);

// Only the reading, with no side effect at all (the data tool and the fuzzers).
// A file counts as read completely only when exactly the closing line break
// follows its last record.
FileStatus ReadArchive(const std::wstring& path, Groups& groups, Damage* damage = nullptr);
FileStatus ReadArchive(const std::wstring& path, Contacts& contacts, Damage* damage = nullptr);
FileStatus ReadArchive(const std::wstring& path, Options& options, Damage* damage = nullptr);
FileStatus ReadArchive(const std::wstring& path, Journal& journal, Damage* damage = nullptr);
FileStatus ReadArchiveBytes(const void* data, std::size_t size, Groups& groups, Damage* damage = nullptr);
FileStatus ReadArchiveBytes(const void* data, std::size_t size, Contacts& contacts, Damage* damage = nullptr);
FileStatus ReadArchiveBytes(const void* data, std::size_t size, Options& options, Damage* damage = nullptr);
FileStatus ReadArchiveBytes(const void* data, std::size_t size, Journal& journal, Damage* damage = nullptr);

// The journal's base and the records appended to it (see journal_records.h);
// `tail`, when given, learns where they end.
struct JournalTail;
FileStatus ReadJournal(const std::wstring& path, Journal& journal, JournalTail* tail, Damage* damage = nullptr);
LoadResult LoadJournal(const std::wstring& path, Journal& journal, JournalTail* tail);

// A file's size and last write time, or that there is no such file. Compared
// with what this program last read or wrote, it tells whether someone else has
// written the file since.
struct FileStamp {
  bool exists = false;
  std::uintmax_t size = 0;
  std::int64_t written = 0;
  bool operator==(const FileStamp& other) const {
    return exists == other.exists && (!exists || (size == other.size && written == other.written));
  }
  bool operator!=(const FileStamp& other) const { return !(*this == other); }
};
FileStamp StampNow(const std::wstring& path);

// Copies a file that someone else wrote, before a save of ours replaces it, to
// name.conflict-YYYYMMDD-HHMMSS (local time of `now`; -2, -3... added, never
// over an earlier copy). Returns the copy's path, or empty.
std::wstring KeepConflictCopy(const std::wstring& path, Time now);

// Copies a damaged file to name.damaged, or name.damaged-2, -3... never over an
// earlier copy. Returns the copy's path, or empty.
std::wstring KeepDamagedCopy(const std::wstring& path);
