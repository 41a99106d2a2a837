#include "interchange/picture_file.h"

#include <cstdio>

#include "interchange/person.h"
#include "interchange/person_fields.h"
#include "model/file_system.h"
#include "model/platform.h"
#include "model/text_cut.h"

namespace interchange {

namespace {

std::wstring FileNameFor(const std::wstring& name) {
  std::wstring base;
  for (const wchar_t c : text::CutText(name, 60)) {
    const bool forbidden = c < 0x20 || std::wstring_view(L"<>:\"/\\|?*").find(c) != std::wstring_view::npos;
    base += forbidden ? L'_' : c;
  }
  while (!base.empty() && (base.back() == L'.' || base.back() == L' ')) base.pop_back();
  if (base.empty()) return L"contact";
  // Windows keeps these names for devices, whatever the extension.
  std::wstring upper;
  for (const wchar_t c : base) upper += (c >= L'a' && c <= L'z') ? static_cast<wchar_t>(c - 32) : c;
  static const wchar_t* const kDevices[] = {L"CON", L"PRN", L"AUX", L"NUL"};
  bool device = upper.size() == 4 && (upper.compare(0, 3, L"COM") == 0 || upper.compare(0, 3, L"LPT") == 0) &&
                upper[3] >= L'1' && upper[3] <= L'9';
  for (const wchar_t* name : kDevices) device = device || upper == name;
  return device ? base + L"_" : base;
}

}  // namespace

std::wstring WritePictureFile(const std::string& bytes, const std::string& type, const std::wstring& folder,
                              const std::wstring& name) {
  const std::wstring base = folder + platform::PathSeparator() + FileNameFor(name);
  const std::wstring extension = L"." + std::wstring(type.begin(), type.end());
  std::wstring path = base + extension;
  for (int n = 2; files::Exists(path); ++n) {
    if (n > 100000) return {};
    path = base + L" (" + std::to_wstring(n) + L")" + extension;
  }
  if (!files::EnsureFolderFor(path)) return {};
  std::FILE* file = files::OpenBinary(path, true);
  if (!file) return {};
  const bool written = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
  const bool closed = std::fclose(file) == 0;
  if (written && closed) return path;
  files::Remove(path);
  return {};
}

bool ReadPicture(const std::wstring& path, std::string& bytes, std::string& type) {
  bytes.clear();
  type.clear();
  if (path.empty()) return false;
  std::FILE* file = files::OpenBinary(path, false);
  if (!file) return false;
  const long long size = files::SizeOf(file);
  bool ok = size > 0 && static_cast<unsigned long long>(size) <= kMaxPictureBytes;
  if (ok) {
    bytes.resize(static_cast<std::size_t>(size));
    ok = std::fread(&bytes[0], 1, bytes.size(), file) == bytes.size();
  }
  std::fclose(file);
  if (ok) type = PictureType(bytes);
  if (!ok || type.empty()) bytes.clear();
  return ok && !type.empty();
}

}  // namespace interchange
