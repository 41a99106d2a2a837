#pragma once
// The data files replaced as one set. Every changed file is first complete in
// its temporary file (StageArchive). Then a small marker naming the set is
// written and forced to the disk, the files are put in place one after the
// other, and the marker is removed: a crash between two replacements leaves the
// marker, and the next start finishes the set before anything is read.
#include <functional>
#include <string>
#include <vector>

class FileSet {
 public:
  // `members`: every file the set may hold, all in one folder; the marker lives
  // beside them.
  explicit FileSet(std::vector<std::wstring> members);

  const std::wstring& MarkerPath() const { return marker_; }

  // Puts the temporary files of `changed` (members, each complete and on the
  // disk) in place. When the marker cannot be written nothing is replaced and
  // the temporary files are removed; a replacement that fails leaves the marker
  // and the rest for the next start. False, with reason, on either.
  bool Replace(const std::vector<std::wstring>& changed, std::wstring& reason) const;

  // Whether a member's temporary file reads completely.
  using CompleteCheck = std::function<bool(const std::wstring& temporary, const std::wstring& member)>;
  // At start: a marker left by a save that was cut off puts its temporary
  // files in place when every one of them is complete, and removes them when
  // one is not (or the marker itself is cut short: then nothing was replaced).
  void FinishInterrupted(const CompleteCheck& complete) const;

 private:
  bool WriteMarker(const std::vector<std::wstring>& changed, std::wstring& reason) const;
  // The members the marker names; false when it is not a whole marker.
  bool ReadMarker(std::vector<std::wstring>& named) const;

  std::vector<std::wstring> members_;
  std::wstring marker_;
};
