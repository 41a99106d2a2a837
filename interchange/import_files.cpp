#include "interchange/import_files.h"

#include <cstdio>

#include "interchange/csv_reader.h"
#include "interchange/csv_writer.h"
#include "interchange/imported_path.h"
#include "interchange/vcard_reader.h"
#include "interchange/vcard_writer.h"
#include "model/backups.h"
#include "model/file_system.h"

namespace interchange {

namespace {

bool EndsWithNoCase(const std::wstring& text, const std::wstring& ending) {
  return text.size() >= ending.size() && platform::CompareNoCase(text.substr(text.size() - ending.size()), ending) == 0;
}

std::wstring LeafName(const std::wstring& path) {
  const std::size_t slash = path.find_last_of(L"\\/");
  return slash == std::wstring::npos ? path : path.substr(slash + 1);
}

bool ReadWhole(const std::wstring& path, std::string& bytes, std::wstring& reason) {
  std::FILE* file = files::OpenBinary(path, false);
  if (!file) {
    reason = files::LastError();
    return false;
  }
  const long long size = files::SizeOf(file);
  bool read = size >= 0 && size <= kMaxFileBytes;
  if (size > kMaxFileBytes) reason = L"The file is larger than Amicord imports (512 MB).";
  if (read) {
    bytes.resize(static_cast<std::size_t>(size));
    read = std::fread(bytes.data(), 1, bytes.size(), file) == bytes.size();
    if (!read) reason = L"The file could not be read to its end.";
  } else if (size < 0) {
    reason = files::LastError();
  }
  std::fclose(file);
  return read;
}

// A picture the file names by path is taken only from this computer's drives
// or beside the file (interchange/imported_path.h); why not is said at once,
// in the preview, before anything is opened.
void CheckPicturePath(Person& person, const std::wstring& fileFolder, std::vector<Problem>& problems) {
  if (person.picturePath.empty() || !person.picture.empty()) return;
  std::wstring resolved;
  if (!ResolveImportedPath(person.picturePath, fileFolder, resolved)) {
    problems.push_back({person.file, person.line, PictureElsewhereMessage(person.picturePath)});
    resolved.clear();
  } else if (!files::Exists(resolved)) {
    problems.push_back({person.file, person.line, L"The picture file does not exist: " + person.picturePath});
    resolved.clear();
  }
  person.picturePath = resolved;
}

}  // namespace

bool IsImportFileName(const std::wstring& path) {
  return EndsWithNoCase(path, L".vcf") || EndsWithNoCase(path, L".vcard") || EndsWithNoCase(path, L".csv");
}

FilesRead ReadImportFiles(const std::vector<std::wstring>& paths) {
  FilesRead result;
  for (const std::wstring& path : paths) {
    const std::wstring name = LeafName(path);
    std::string bytes;
    std::wstring reason;
    if (!ReadWhole(path, bytes, reason)) {
      result.unreadable.push_back(name + L": " + reason);
      continue;
    }
    ReadResult read = EndsWithNoCase(path, L".csv") ? ReadCsv(bytes, name) : ReadVCards(bytes, name);
    if (!read.error.empty()) {
      result.unreadable.push_back(name + L": " + read.error);
      continue;
    }
    for (Problem& problem : read.problems) result.problems.push_back(std::move(problem));
    const std::wstring folder = path.substr(0, path.size() - name.size());
    for (Person& person : read.people) {
      CheckPicturePath(person, folder, result.problems);
      result.people.push_back(std::move(person));
    }
  }
  return result;
}

bool BackUpBeforeImport(const Engine::Paths& data, Time now, std::wstring& folder, std::wstring& reason) {
  folder = Backups(data).Make(L"before-import-" + Backups::DayName(now));
  if (!folder.empty()) return true;
  const bool anyData = files::Exists(data.groups) || files::Exists(data.contacts) || files::Exists(data.options);
  if (!anyData) return true;
  reason = L"No backup could be made before the import: " + files::LastError();
  return false;
}

ExportType ExportTypeFor(const std::wstring& path) {
  return EndsWithNoCase(path, L".csv") ? ExportType::Csv : ExportType::VCard;
}

bool WriteExportFile(const std::wstring& path, ExportType type, const Contacts& contacts, const Groups& groups,
                     const ExportOptions& options, std::wstring& reason) {
  const std::string bytes = type == ExportType::Csv ? WriteCsv(contacts, groups, options)
                                                    : WriteVCards(contacts, groups, options);
  // Written beside and put in place in one step, so a failure leaves any older
  // file of that name as it was.
  const std::wstring temporary = path + L".amicord-tmp";
  std::FILE* file = files::OpenBinary(temporary, true);
  if (!file) {
    reason = files::LastError();
    return false;
  }
  const bool written = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
  const bool closed = std::fclose(file) == 0;
  if (!written || !closed) {
    reason = files::LastError();
    files::Remove(temporary);
    return false;
  }
  if (!files::ReplaceWith(temporary, path)) {
    reason = files::LastError();
    files::Remove(temporary);
    return false;
  }
  return true;
}

}  // namespace interchange
