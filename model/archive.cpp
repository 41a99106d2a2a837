#include "model/archive.h"

#include <exception>
#include <istream>
#include <locale>
#include <ostream>

#include <boost/archive/basic_archive.hpp>
#include <boost/archive/text_woarchive.hpp>

#include "model/file_system.h"
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

template <class T>
FileStatus ReadFrom(WideInBuf& source, T& object) {
  std::wistream stream(&source);
  stream.imbue(std::locale::classic());
  try {
    WideTextInArchive archive(stream, source);
    archive >> object;
  } catch (const std::exception&) {
    // The archive's own errors, and any other fault of reading (memory), end
    // this file's load; what was read before stays.
    return FileStatus::Damaged;
  }
  return source.EndedInsideUnit() ? FileStatus::Damaged : FileStatus::Ok;
}

template <class T>
FileStatus ReadFile(const std::wstring& path, T& object) {
  WideInBuf source;
  if (!source.Open(path)) return FileStatus::Missing;
  return ReadFrom(source, object);
}

template <class T>
FileStatus ReadBytes(const void* data, std::size_t size, T& object) {
  WideInBuf source;
  source.OpenMemory(data, size);
  return ReadFrom(source, object);
}

template <class T>
LoadResult LoadFile(const std::wstring& path, T& object) {
  LoadResult result;
  result.status = ReadFile(path, object);
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

// Writes the whole archive into the stream; false, with why, on a fault.
// `finish` ends the output inside the archive's lifetime: its closing line
// break is not part of the files this program has always written.
template <class T, class Finish>
bool WriteArchive(std::wostream& stream, const T& object, Finish finish, std::wstring& why) {
  stream.imbue(std::locale::classic());
  try {
    WriteHeader(stream);
    boost::archive::text_woarchive archive(stream, boost::archive::no_header);
    archive << object;
    return finish(stream.good());
  } catch (const std::exception& error) {
    const std::string words = error.what();
    why.assign(words.begin(), words.end());
  }
  return false;
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
SaveResult SaveFile(const std::wstring& path, const T& object, SavedFile* memo) {
  if (path.empty()) return {false, L"There is no place to save the data."};
  std::wstring text;
  std::wstring why;
  if (memo) {
    TextBuf buffer(memo->known ? memo->text.size() + memo->text.size() / 8 : 4096);
    std::wostream stream(&buffer);
    const auto take = [&buffer, &text](bool good) {
      text = buffer.Take();
      return good;
    };
    if (!WriteArchive(stream, object, take, why)) return Failure(L"Could not write", path, why);
    if (StillAsSaved(path, text, *memo)) return {true, {}};
    memo->known = false;
  }
  if (!files::EnsureFolderFor(path)) return Failure(L"Could not create the folder for", path, files::LastError());
  const std::wstring temporary = path + L".tmp";
  WideOutBuf target;  // outlives the archive: see WriteArchive
  if (!target.Open(temporary)) return Failure(L"Could not create", temporary, target.Error());
  bool written = false;
  {
    const auto close = [&target](bool good) {
      const bool ok = good && !target.Failed();
      return target.Close() && ok;
    };
    if (memo) {
      const auto size = static_cast<std::streamsize>(text.size());
      written = close(target.sputn(text.data(), size) == size);
    } else {
      std::wostream stream(&target);
      written = WriteArchive(stream, object, close, why);
    }
    if (!written) {
      target.Close();
      if (target.Failed()) why = target.Error();
    }
  }
  if (!written) {
    files::Remove(temporary);
    return Failure(L"Could not write", path, why);
  }
  if (!files::ReplaceWith(temporary, path)) {
    const std::wstring reason = files::LastError();
    files::Remove(temporary);
    return Failure(L"Could not replace", path, reason);
  }
  if (memo && files::StampOf(path, memo->size, memo->written)) {
    memo->path = path;
    memo->text = std::move(text);
    memo->known = true;
  }
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

FileStatus ReadArchive(const std::wstring& path, Groups& groups) { return ReadFile(path, groups); }
FileStatus ReadArchive(const std::wstring& path, Contacts& contacts) { return ReadFile(path, contacts); }
FileStatus ReadArchive(const std::wstring& path, Options& options) { return ReadFile(path, options); }

FileStatus ReadArchiveBytes(const void* data, std::size_t size, Groups& groups) {
  return ReadBytes(data, size, groups);
}
FileStatus ReadArchiveBytes(const void* data, std::size_t size, Contacts& contacts) {
  return ReadBytes(data, size, contacts);
}
FileStatus ReadArchiveBytes(const void* data, std::size_t size, Options& options) {
  return ReadBytes(data, size, options);
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
