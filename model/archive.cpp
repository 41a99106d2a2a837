#include "model/archive.h"

#include <cwchar>
#include <exception>
#include <istream>
#include <locale>
#include <ostream>

#include <boost/archive/basic_archive.hpp>
#include <boost/archive/text_woarchive.hpp>

#include "model/file_system.h"
#include "model/journal_records.h"
#include "model/journal_serialization.h"
#include "model/journal_text.h"
#include "model/serialization.h"
#include "model/wide_file_buf.h"
#include "model/wide_text_iarchive.h"

namespace {

// Written by hand so that the archive that follows (constructed with no_header)
// reads as library version 3, the form every other copy of these files uses. The
// trailing space is the separator the archive would have put before its first token.
void WriteHeader(std::wostream& stream) {
  const std::string signature = boost::archive::BOOST_ARCHIVE_SIGNATURE();
  stream << signature.size() << L' ' << std::wstring(signature.begin(), signature.end()) << L" 3 ";
}

// What follows the last record: exactly the closing line break the archive
// writes when it ends, then the end of the file.
Damage CheckEnding(WideInBuf& source) {
  using Traits = std::wistream::traits_type;
  const Traits::int_type first = source.sbumpc();
  if (Traits::eq_int_type(first, Traits::eof())) return Damage::Unclosed;
  if (!Traits::eq_int_type(first, Traits::to_int_type(L'\n'))) return Damage::AfterLastRecord;
  if (!Traits::eq_int_type(source.sbumpc(), Traits::eof()) || source.EndedInsideUnit()) return Damage::AfterLastRecord;
  return Damage::None;
}

// What follows the last record of the archive: for the journal, the records
// appended after its base.
template <class T>
Damage Ending(WideInBuf& source, T& /*object*/, JournalTail* /*tail*/) {
  const Damage found = CheckEnding(source);
  return found == Damage::None && source.EndedInsideUnit() ? Damage::AfterLastRecord : found;
}

Damage Ending(WideInBuf& source, Journal& journal, JournalTail* tail) {
  using Traits = std::wistream::traits_type;
  const Traits::int_type first = source.sbumpc();
  if (Traits::eq_int_type(first, Traits::eof())) return Damage::Unclosed;
  if (!Traits::eq_int_type(first, Traits::to_int_type(L'\n'))) return Damage::AfterLastRecord;
  JournalTail read;
  const Damage found = ReadRecords(source, journal, read);
  if (tail) *tail = read;
  return found;
}

template <class T>
FileStatus ReadFrom(WideInBuf& source, T& object, Damage* damage, JournalTail* tail = nullptr) {
  Damage found = Damage::None;
  using Traits = std::wistream::traits_type;
  if (Traits::eq_int_type(source.sgetc(), Traits::eof()) && !source.EndedInsideUnit()) {
    // A file of 0 bytes holds nothing to lose: it counts as no file at all.
    if (damage) *damage = found;
    return FileStatus::Missing;
  }
  std::wistream stream(&source);
  stream.imbue(std::locale::classic());
  try {
    WideTextInArchive archive(stream, source);
    archive >> object;
    found = Ending(source, object, tail);
  } catch (const std::exception&) {
    // The archive's own errors, and any other fault of reading (memory), end
    // this file's load; what was read before stays.
    found = Damage::Content;
  }
  if (damage) *damage = found;
  return found == Damage::None ? FileStatus::Ok : FileStatus::Damaged;
}

template <class T>
FileStatus ReadFile(const std::wstring& path, T& object, Damage* damage, JournalTail* tail = nullptr) {
  WideInBuf source;
  if (!source.Open(path)) {
    if (damage) *damage = Damage::None;
    return FileStatus::Missing;
  }
  return ReadFrom(source, object, damage, tail);
}

template <class T>
FileStatus ReadBytes(const void* data, std::size_t size, T& object, Damage* damage) {
  WideInBuf source;
  source.OpenMemory(data, size);
  return ReadFrom(source, object, damage);
}

template <class T>
LoadResult LoadFile(const std::wstring& path, T& object) {
  LoadResult result;
  result.status = ReadFile(path, object, &result.damage);
  if (result.status == FileStatus::Damaged) result.keptCopy = KeepDamagedCopy(path);
  return result;
}

SaveResult Failure(const std::wstring& what, const std::wstring& path, const std::wstring& why) {
  return {false, what + L" " + path + (why.empty() ? std::wstring(L".") : L": " + why)};
}

// Collects text in memory through a small put area, so that the archive's
// many short writes cost no more than they do into a file.
class TextBuf : public std::basic_streambuf<wchar_t> {
 public:
  explicit TextBuf(std::size_t expected) {
    text_.reserve(expected);
    setp(area_, area_ + kArea);
  }
  std::wstring Take() {
    Drain();
    return std::move(text_);
  }

 protected:
  int_type overflow(int_type unit) override {
    Drain();
    if (!traits_type::eq_int_type(unit, traits_type::eof())) {
      *pptr() = traits_type::to_char_type(unit);
      pbump(1);
    }
    return traits_type::not_eof(unit);
  }
  std::streamsize xsputn(const char_type* from, std::streamsize count) override {
    Drain();
    text_.append(from, static_cast<std::size_t>(count));
    return count;
  }
  int sync() override {
    Drain();
    return 0;
  }

 private:
  static constexpr std::ptrdiff_t kArea = 4096;
  void Drain() {
    text_.append(pbase(), static_cast<std::size_t>(pptr() - pbase()));
    setp(area_, area_ + kArea);
  }
  std::wstring text_;
  wchar_t area_[kArea];
};

// Writes the whole archive into the stream; false, with why, on a fault. The
// archive ends as the library ends it: its destructor writes the closing line
// break that every copy of these files carries.
template <class T>
bool WriteArchive(std::wostream& stream, const T& object, std::wstring& why) {
  stream.imbue(std::locale::classic());
  try {
    WriteHeader(stream);
    {
      boost::archive::text_woarchive archive(stream, boost::archive::no_header);
      archive << object;
    }
    return stream.good();
  } catch (const std::exception& error) {
    const std::string words = error.what();
    why.assign(words.begin(), words.end());
  }
  return false;
}

bool WriteText(std::wostream& stream, const std::wstring& text, std::wstring& why) {
  stream.write(text.data(), static_cast<std::streamsize>(text.size()));
  stream.flush();
  if (stream.good()) return true;
  why = L"the text could not be written";
  return false;
}

// The journal's characters are those of the archive (a host test compares
// them), written without the library's stream formatting.
bool WriteArchive(std::wostream& stream, const Journal& journal, std::wstring& why) {
  return WriteText(stream, JournalText(journal), why);
}
bool WriteArchive(std::wostream& stream, const JournalSnapshot& journal, std::wstring& why) {
  return WriteText(stream, JournalText(journal), why);
}

bool StillAsSaved(const std::wstring& path, const std::wstring& text, const SavedFile& memo) {
  if (!memo.known || memo.path != path || memo.text != text) return false;
  std::uintmax_t size = 0;
  std::int64_t written = 0;
  return files::StampOf(path, size, written) && size == memo.size && written == memo.written;
}

// With a memo the text is built in memory first, to be compared with the last
// save's; without one it streams straight into the file, which suits a large
// file that changes at nearly every save.
template <class T>
SaveResult StageFile(const std::wstring& path, const T& object, StagedFile& staged, const SavedFile* memo) {
  staged = StagedFile{};
  staged.path = path;
  if (path.empty()) return {false, L"There is no place to save the data."};
  std::wstring why;
  if (memo) {
    TextBuf buffer(memo->known ? memo->text.size() + memo->text.size() / 8 : 4096);
    std::wostream stream(&buffer);
    const bool built = WriteArchive(stream, object, why);
    staged.text = buffer.Take();
    if (!built) return Failure(L"Could not write", path, why);
    if (StillAsSaved(path, staged.text, *memo)) {
      staged.unchanged = true;
      return {true, {}};
    }
  }
  if (!files::EnsureFolderFor(path)) return Failure(L"Could not create the folder for", path, files::LastError());
  const std::wstring temporary = TemporaryPath(path);
  WideOutBuf target;
  if (!target.Open(temporary)) return Failure(L"Could not create", temporary, target.Error());
  bool written = false;
  if (memo) {
    const auto size = static_cast<std::streamsize>(staged.text.size());
    written = target.sputn(staged.text.data(), size) == size;
  } else {
    std::wostream stream(&target);
    written = WriteArchive(stream, object, why);
  }
  written = target.Close() && written;
  if (!written) {
    if (target.Failed()) why = target.Error();
    files::Remove(temporary);
    return Failure(L"Could not write", path, why);
  }
  return {true, {}};
}

template <class T>
SaveResult SaveFile(const std::wstring& path, const T& object, SavedFile* memo) {
  StagedFile staged;
  const SaveResult result = StageFile(path, object, staged, memo);
  if (!result || staged.unchanged) return result;
  if (memo) memo->known = false;
  if (!files::ReplaceWith(TemporaryPath(path), path)) {
    const std::wstring reason = files::LastError();
    files::Remove(TemporaryPath(path));
    return Failure(L"Could not replace", path, reason);
  }
  if (memo) RememberSaved(staged, *memo);
  return {true, {}};
}

void ApplyAutoStart(const LoadResult& result, Options& options) {
  if (result) options.SetAutoStart(options.autoStart);
}

}  // namespace

std::wstring KeepDamagedCopy(const std::wstring& path) {
  if (!files::Exists(path)) return {};
  WideInBuf probe;
  if (probe.Open(path) && probe.RemainingUnitsBound() == 0) return {};  // empty: nothing to keep
  for (int attempt = 1; attempt <= 1000; ++attempt) {
    const std::wstring copy = path + L".damaged" + (attempt == 1 ? std::wstring() : L"-" + std::to_wstring(attempt));
    bool existed = false;
    if (files::CopyNoOverwrite(path, copy, existed)) return copy;
    if (!existed) return {};
  }
  return {};
}

FileStamp StampNow(const std::wstring& path) {
  FileStamp stamp;
  stamp.exists = files::StampOf(path, stamp.size, stamp.written);
  return stamp;
}

std::wstring KeepConflictCopy(const std::wstring& path, Time now) {
  if (!files::Exists(path)) return {};
  const platform::LocalTime local = platform::ToLocalTime(now);
  wchar_t stamp[32] = {};
  std::swprintf(stamp, sizeof stamp / sizeof stamp[0], L"%04d%02d%02d-%02d%02d%02d", local.year, local.month, local.day,
                local.hour, local.minute, local.second);
  for (int attempt = 1; attempt <= 1000; ++attempt) {
    const std::wstring copy = path + L".conflict-" + stamp +
                              (attempt == 1 ? std::wstring() : L"-" + std::to_wstring(attempt));
    bool existed = false;
    if (files::CopyNoOverwrite(path, copy, existed)) return copy;
    if (!existed) return {};
  }
  return {};
}

FileStatus ReadArchive(const std::wstring& path, Groups& groups, Damage* damage) {
  return ReadFile(path, groups, damage);
}
FileStatus ReadArchive(const std::wstring& path, Contacts& contacts, Damage* damage) {
  return ReadFile(path, contacts, damage);
}
FileStatus ReadArchive(const std::wstring& path, Options& options, Damage* damage) {
  return ReadFile(path, options, damage);
}

FileStatus ReadArchiveBytes(const void* data, std::size_t size, Groups& groups, Damage* damage) {
  return ReadBytes(data, size, groups, damage);
}
FileStatus ReadArchiveBytes(const void* data, std::size_t size, Contacts& contacts, Damage* damage) {
  return ReadBytes(data, size, contacts, damage);
}
FileStatus ReadArchiveBytes(const void* data, std::size_t size, Options& options, Damage* damage) {
  return ReadBytes(data, size, options, damage);
}

LoadResult LoadArchive(const std::wstring& path, Groups& groups) { return LoadFile(path, groups); }
LoadResult LoadArchive(const std::wstring& path, Contacts& contacts) { return LoadFile(path, contacts); }

LoadResult LoadArchive(const std::wstring& path, Options& options) {
  const LoadResult result = LoadFile(path, options);
  ApplyAutoStart(result, options);
  return result;
}

SaveResult SaveArchive(const std::wstring& path, const Groups& groups, SavedFile* memo) {
  return SaveFile(path, groups, memo);
}
SaveResult SaveArchive(const std::wstring& path, const Contacts& contacts, SavedFile* memo) {
  return SaveFile(path, contacts, memo);
}
SaveResult SaveArchive(const std::wstring& path, const Options& options, SavedFile* memo) {
  return SaveFile(path, options, memo);
}

SaveResult StageArchive(const std::wstring& path, const Groups& groups, StagedFile& staged, const SavedFile* memo) {
  return StageFile(path, groups, staged, memo);
}
SaveResult StageArchive(const std::wstring& path, const Contacts& contacts, StagedFile& staged, const SavedFile* memo) {
  return StageFile(path, contacts, staged, memo);
}
SaveResult StageArchive(const std::wstring& path, const Options& options, StagedFile& staged, const SavedFile* memo) {
  return StageFile(path, options, staged, memo);
}

void RememberSaved(StagedFile& staged, SavedFile& memo) {
  memo.known = false;
  if (!files::StampOf(staged.path, memo.size, memo.written)) return;
  memo.path = staged.path;
  memo.text = std::move(staged.text);
  memo.known = true;
}

std::wstring TemporaryPath(const std::wstring& path) { return path + L".tmp"; }

FileStatus ReadArchive(const std::wstring& path, Journal& journal, Damage* damage) {
  return ReadFile(path, journal, damage);
}
FileStatus ReadArchiveBytes(const void* data, std::size_t size, Journal& journal, Damage* damage) {
  return ReadBytes(data, size, journal, damage);
}
LoadResult LoadArchive(const std::wstring& path, Journal& journal) { return LoadJournal(path, journal, nullptr); }
FileStatus ReadJournal(const std::wstring& path, Journal& journal, JournalTail* tail, Damage* damage) {
  return ReadFile(path, journal, damage, tail);
}
LoadResult LoadJournal(const std::wstring& path, Journal& journal, JournalTail* tail) {
  LoadResult result;
  result.status = ReadFile(path, journal, &result.damage, tail);
  if (result.status == FileStatus::Damaged) result.keptCopy = KeepDamagedCopy(path);
  return result;
}
SaveResult SaveArchive(const std::wstring& path, const Journal& journal, SavedFile* memo) {
  return SaveFile(path, journal, memo);
}
SaveResult StageArchive(const std::wstring& path, const Journal& journal, StagedFile& staged, const SavedFile* memo) {
  return StageFile(path, journal, staged, memo);
}
SaveResult StageArchive(const std::wstring& path, const JournalSnapshot& journal, StagedFile& staged,
                        const SavedFile* memo) {
  return StageFile(path, journal, staged, memo);
}
