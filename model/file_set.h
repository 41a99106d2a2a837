#pragma once
// The data files replaced as one set. Every changed file is first complete in
// its temporary file (StageArchive). Then a small marker naming the set is
// written and forced to the disk, the files are put in place one after the
// other, and the marker is removed: a crash between two replacements leaves the
// marker, and the next start finishes the set before anything is read.
//
// A member may instead get bytes added at its end (the journal's records):
// they are staged in AppendPath(member), the marker names them with the
// offset they go to, and they are added before the replacements; the next
// start adds them again when the marker is still there, which changes nothing
// when they were added already.
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

// Puts `bytes` at `offset` of an existing file and forces them to the disk.
// Stale: the file does not end at offset, nor with the first part of these
// very bytes after it (what a save that stopped while adding them leaves);
// it is left alone.
enum class AppendResult { Done, Stale, Failed };
AppendResult AppendAt(const std::wstring& path, std::uint64_t offset, const std::string& bytes);
std::wstring AppendPath(const std::wstring& path);

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
  struct Append {
    std::wstring member;
    std::uint64_t offset = 0;
    std::string bytes;
  };
  bool Replace(const std::vector<std::wstring>& changed, std::wstring& reason, const Append* append = nullptr) const;

  // Whether a member's temporary file reads completely (for an append: its
  // staged file, AppendPath(member)).
  using CompleteCheck = std::function<bool(const std::wstring& temporary, const std::wstring& member)>;
  // At start: a marker left by a save that was cut off puts its temporary
  // files in place when every one of them is complete, and removes them when
  // one is not (or the marker itself is cut short: then nothing was replaced).
  void FinishInterrupted(const CompleteCheck& complete) const;

 private:
  bool WriteMarker(const std::vector<std::wstring>& changed, const Append* append, std::wstring& reason) const;
  // The members the marker names, and the append; false when it is not a whole marker.
  bool ReadMarker(std::vector<std::wstring>& named, Append& append) const;
  void Discard(const std::vector<std::wstring>& changed, const Append* append) const;

  std::vector<std::wstring> members_;
  std::wstring marker_;
};
