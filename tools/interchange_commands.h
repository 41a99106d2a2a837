#pragma once
// amicord-data's import and export: the program's own steps, without windows.
#include <optional>
#include <string>
#include <vector>

namespace datatool {

// Adds the people of the files to the data in folder with the preview's
// starting ticks (everyone not already here), people without a group going to
// group (default "Imported"); the backup first. Prints the JSON summary.
// Returns the tool's exit code.
int Import(const std::wstring& folder, const std::vector<std::wstring>& paths,
           const std::optional<std::wstring>& group);

// Writes everyone, or the contacts of group, to path (.csv as CSV, else vCard).
int Export(const std::wstring& folder, const std::wstring& path, const std::optional<std::wstring>& group);

}  // namespace datatool
