#include "app/file_drop.h"

#include <string>
#include <vector>

#include "app/commands.h"
#include "app/message_caption.h"
#include "interchange/import_files.h"

void FileDrop::Accept() { ::DragAcceptFiles(window_.m_hWnd, TRUE); }

void FileDrop::OnDropFiles(HDROP drop) {
  std::vector<std::wstring> paths;
  const UINT count = DragQueryFileW(drop, 0xFFFFFFFF, nullptr, 0);
  for (UINT i = 0; i < count; ++i) {
    std::wstring path(DragQueryFileW(drop, i, nullptr, 0), L'\0');
    DragQueryFileW(drop, i, path.data(), static_cast<UINT>(path.size() + 1));
    if (interchange::IsImportFileName(path)) paths.push_back(path);
  }
  DragFinish(drop);
  if (!paths.empty())
    commands_.ImportFiles(paths);
  else if (count > 0)
    ::MessageBoxW(window_.m_hWnd, L"Amicord imports contacts from vCard (.vcf) and CSV (.csv) files.", kMessageCaption,
                  MB_OK | MB_ICONINFORMATION);
}
