#pragma once
// The steps the program's import and export and the data tool share: reading
// whole files by their type, the backup an import takes first, and writing an
// export file.
#include <string>
#include <vector>

#include "interchange/export_options.h"
#include "interchange/person.h"
#include "model/contacts.h"
#include "model/engine.h"
#include "model/groups.h"

namespace interchange {

// Files larger than this are refused whole rather than read into memory.
inline constexpr long long kMaxFileBytes = 512ll << 20;

struct FilesRead {
  std::vector<Person> people;
  std::vector<Problem> problems;
  // One line per file that could not be read at all: "name: why".
  std::vector<std::wstring> unreadable;
};

// Reads each file as CSV when its name ends in ".csv" (any letter case), as
// vCard otherwise.
FilesRead ReadImportFiles(const std::vector<std::wstring>& paths);

// True for the names the import takes: ".vcf", ".vcard" and ".csv".
bool IsImportFileName(const std::wstring& path);

// Copies the data files into a backup named "before-import-<day>" before an
// import changes them. True when the copy was made, or when there is no data
// file yet and so nothing to lose; false with reason otherwise.
bool BackUpBeforeImport(const Engine::Paths& data, Time now, std::wstring& folder, std::wstring& reason);

enum class ExportType { VCard, Csv };

// CSV for a name ending in ".csv", vCard otherwise.
ExportType ExportTypeFor(const std::wstring& path);

// Writes the contacts to path in the given type; false with reason when the
// file could not be written (a file already there is replaced whole or kept).
bool WriteExportFile(const std::wstring& path, ExportType type, const Contacts& contacts, const Groups& groups,
                     const ExportOptions& options, std::wstring& reason);

}  // namespace interchange
