#include "app/file_choosers.h"

#include <commdlg.h>
#include <shobjidl.h>

namespace {

// Releases a COM interface pointer at the end of its scope.
template <class T>
class ComPtr {
 public:
  ComPtr() = default;
  ~ComPtr() {
    if (pointer_) pointer_->Release();
  }
  ComPtr(const ComPtr&) = delete;
  ComPtr& operator=(const ComPtr&) = delete;
  T** Out() { return &pointer_; }
  T* operator->() const { return pointer_; }
  explicit operator bool() const { return pointer_ != nullptr; }

 private:
  T* pointer_ = nullptr;
};

constexpr DWORD kGroupOnlyCheck = 1;

std::vector<std::wstring> ChooseImportFiles(HWND owner) {
  // Room for many long names: the dialog fails rather than cutting a list short.
  std::wstring buffer(64 * 1024, L'\0');
  OPENFILENAMEW dialog{};
  dialog.lStructSize = sizeof dialog;
  dialog.hwndOwner = owner;
  dialog.lpstrFilter =
      L"vCard and CSV Files (*.vcf, *.csv)\0*.vcf;*.vcard;*.csv\0vCard Files (*.vcf)\0*.vcf;*.vcard\0"
      L"CSV Files (*.csv)\0*.csv\0All Files (*.*)\0*.*\0";
  dialog.lpstrFile = buffer.data();
  dialog.nMaxFile = static_cast<DWORD>(buffer.size());
  dialog.lpstrTitle = L"Import Contacts";
  dialog.Flags = OFN_ALLOWMULTISELECT | OFN_EXPLORER | OFN_FILEMUSTEXIST | OFN_PATHMUSTEXIST | OFN_HIDEREADONLY;
  if (!GetOpenFileNameW(&dialog)) return {};
  // One file: its full path. Several: the folder, then each name, each ended by a zero.
  std::vector<std::wstring> parts;
  for (const wchar_t* part = buffer.c_str(); *part; part += wcslen(part) + 1) parts.emplace_back(part);
  if (parts.size() <= 1) return parts;
  std::vector<std::wstring> paths;
  for (std::size_t i = 1; i < parts.size(); ++i) paths.push_back(parts[0] + L"\\" + parts[i]);
  return paths;
}

std::optional<ExportTarget> ChooseExportFile(HWND owner, const std::wstring& groupName) {
  ComPtr<IFileSaveDialog> dialog;
  if (FAILED(CoCreateInstance(CLSID_FileSaveDialog, nullptr, CLSCTX_INPROC_SERVER, IID_IFileSaveDialog,
                              reinterpret_cast<void**>(dialog.Out()))))
    return std::nullopt;
  const COMDLG_FILTERSPEC types[] = {{L"vCard 4.0 (*.vcf)", L"*.vcf"}, {L"CSV (*.csv)", L"*.csv"}};
  dialog->SetFileTypes(2, types);
  dialog->SetFileTypeIndex(1);
  dialog->SetDefaultExtension(L"vcf");
  dialog->SetFileName(L"Contacts");
  dialog->SetTitle(L"Export Contacts");
  dialog->SetOptions(FOS_OVERWRITEPROMPT | FOS_PATHMUSTEXIST | FOS_FORCEFILESYSTEM | FOS_STRICTFILETYPES);
  ComPtr<IFileDialogCustomize> customize;
  if (!groupName.empty() &&
      SUCCEEDED(dialog->QueryInterface(IID_IFileDialogCustomize, reinterpret_cast<void**>(customize.Out())))) {
    // Everyone unless asked: an export of one group taken for a full copy would lose people.
    const std::wstring text = L"Only the group \"" + groupName + L"\"";
    customize->AddCheckButton(kGroupOnlyCheck, text.c_str(), FALSE);
  }
  if (FAILED(dialog->Show(owner))) return std::nullopt;
  ComPtr<IShellItem> item;
  if (FAILED(dialog->GetResult(item.Out()))) return std::nullopt;
  wchar_t* path = nullptr;
  if (FAILED(item->GetDisplayName(SIGDN_FILESYSPATH, &path)) || !path) return std::nullopt;
  ExportTarget target;
  target.path = path;
  CoTaskMemFree(path);
  BOOL checked = FALSE;
  if (customize && SUCCEEDED(customize->GetCheckButtonState(kGroupOnlyCheck, &checked))) target.groupOnly = checked;
  return target;
}

FileChoosers& Current() {
  static FileChoosers choosers = SystemFileChoosers();
  return choosers;
}

}  // namespace

FileChoosers SystemFileChoosers() { return FileChoosers{ChooseImportFiles, ChooseExportFile}; }

const FileChoosers& CurrentFileChoosers() { return Current(); }

FileChoosers ReplaceFileChoosers(FileChoosers choosers) {
  FileChoosers previous = std::move(Current());
  Current() = std::move(choosers);
  return previous;
}
