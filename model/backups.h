#pragma once
// Copies of the data files kept in settings\backups\, one folder each: the
// first save of a day makes one (named by the date), so does a restore before
// it puts older files back, and an import names its own. The newest 30 stay.
#include <cstddef>
#include <string>
#include <vector>

#include "model/engine.h"
#include "model/platform.h"

struct BackupInfo {
  std::wstring folder;  // full path, ending without a separator
  std::wstring name;    // the folder's own name
  Time made = 0;
  // Every data file in it reads completely (and there is at least one); the
  // counts are only meaningful then.
  bool readable = false;
  std::size_t groups = 0;
  std::size_t contacts = 0;
};

class Backups {
 public:
  static constexpr std::size_t kKept = 30;

  // The data files whose copies are kept; backups go beside them in "backups".
  explicit Backups(const Engine::Paths& files);

  const std::wstring& Folder() const { return folder_; }

  // At a save: the first of each local day copies the files as they are
  // before the save replaces them. Returns the backup made, or empty (one was
  // made today already, or there is nothing to copy yet).
  std::wstring MakeDailyIfDue();
  // Copies the data files as they are into backups\baseName (baseName-2, -3...
  // when taken), then removes the oldest beyond kKept, never the only one.
  // Returns the new folder, or empty when there was no file to copy or a copy failed.
  std::wstring Make(const std::wstring& baseName);
  // Newest first, each one's files read to count what it holds.
  std::vector<BackupInfo> List() const;
  // Backs the current files up first, then puts the backup's files in place
  // with the same all-or-nothing replace as a save. False, with reason, when
  // the backup does not read completely or a file could not be written.
  bool Restore(const BackupInfo& backup, std::wstring& reason);

  // "YYYY-MM-DD" for a time, in local time: the name of that day's backup.
  static std::wstring DayName(Time time);

 private:
  std::wstring Copy(const std::wstring& baseName) const;
  // Names and times only, newest first: what a save needs, without reading
  // every backup's files.
  std::vector<BackupInfo> Folders() const;
  void RemoveOldest() const;
  std::vector<std::wstring> Members() const;

  Engine::Paths files_;
  std::wstring folder_;
};
