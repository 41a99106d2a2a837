#pragma once
// The shell's file dialogs for import and export, behind a seam: tests put
// their own answers in their place (the shell's dialogs cannot be driven
// reliably from inside a test).
#include "base/windows_api.h"

#include <functional>
#include <optional>
#include <string>
#include <vector>

struct ExportTarget {
  std::wstring path;
  bool groupOnly = false;  // only the group offered, not everyone
};

struct FileChoosers {
  // The files chosen to import; empty when the user cancelled.
  std::function<std::vector<std::wstring>(HWND owner)> chooseImportFiles;
  // The file to export to; groupName, when not empty, is offered as the
  // choice of that group only. Nothing when the user cancelled.
  std::function<std::optional<ExportTarget>(HWND owner, const std::wstring& groupName)> chooseExportFile;
};

// The shell's open dialog (several files; vCard, CSV, all) and its save dialog
// (vCard 4.0 or CSV, with a check box for the group).
FileChoosers SystemFileChoosers();
const FileChoosers& CurrentFileChoosers();
// Puts choosers in place and returns those they replace (tests put them back).
FileChoosers ReplaceFileChoosers(FileChoosers choosers);
