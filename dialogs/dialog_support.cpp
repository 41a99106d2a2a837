#include "dialogs/dialog_support.h"

#include <ctime>
#include <cwctype>
#include <limits>

#include "model/paths.h"
#include "model/platform.h"

namespace dialogs {

namespace {

constexpr wchar_t kPictureFilter[] = L"Images (*.png;*.jpg;*.bmp;*.gif)\0*.png;*.jpg;*.bmp;*.gif\0";
constexpr DWORD kFileNameChars = 260;

}  // namespace

bool FileExists(const std::wstring& path) {
  if (path.empty()) return false;
  const DWORD attributes = GetFileAttributesW(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

PictureChooser SystemPictureChooser() {
  return [](OPENFILENAMEW& request) { return GetOpenFileNameW(&request) != FALSE; };
}

bool BrowseForPicture(HWND owner, const PictureChooser& chooser, std::wstring& chosen) {
  const std::wstring folder = paths::ImagesFolder();
  wchar_t file[kFileNameChars] = {};
  OPENFILENAMEW request{};
  request.lStructSize = sizeof request;
  request.hwndOwner = owner;
  request.lpstrFilter = kPictureFilter;
  request.nFilterIndex = 1;
  request.lpstrFile = file;
  request.nMaxFile = kFileNameChars;
  request.lpstrInitialDir = folder.c_str();
  // A typed name that does not exist is refused in the chooser itself, so the
  // dialogs never hold a picture path that shows nothing.
  request.Flags = OFN_EXPLORER | OFN_ENABLESIZING | OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT | OFN_FILEMUSTEXIST |
                  OFN_PATHMUSTEXIST;
  if (!chooser || !chooser(request)) return false;
  file[kFileNameChars - 1] = L'\0';
  if (file[0] == L'\0') return false;
  chosen = file;
  return true;
}

std::int32_t ReadNumber(const std::wstring& text) {
  size_t at = 0;
  while (at < text.size() && std::iswspace(text[at])) ++at;
  bool negative = false;
  if (at < text.size() && (text[at] == L'+' || text[at] == L'-')) negative = text[at++] == L'-';
  long long value = 0;
  constexpr long long kLimit = static_cast<long long>(std::numeric_limits<std::int32_t>::max()) + 1;
  for (; at < text.size() && text[at] >= L'0' && text[at] <= L'9'; ++at) {
    value = value * 10 + (text[at] - L'0');
    if (value > kLimit) value = kLimit;
  }
  if (negative) value = -value;
  if (value > std::numeric_limits<std::int32_t>::max()) value = std::numeric_limits<std::int32_t>::max();
  return static_cast<std::int32_t>(value);
}

void ShowInputError(HWND dialog, const wchar_t* text) { MessageBoxW(dialog, text, L"Error!", MB_OK | MB_ICONERROR); }

// The 64-bit forms throughout: the 32-bit build's time_t ends in 2038.
bool ToLocalSystemTime(Time time, SYSTEMTIME& out) {
  const __time64_t value = time;
  tm parts{};
  // A time the runtime cannot express in local time still shows its date.
  if (_localtime64_s(&parts, &value) != 0 && _gmtime64_s(&parts, &value) != 0) return false;
  out = SYSTEMTIME{};
  out.wYear = static_cast<WORD>(parts.tm_year + 1900);
  out.wMonth = static_cast<WORD>(parts.tm_mon + 1);
  out.wDayOfWeek = static_cast<WORD>(parts.tm_wday);
  out.wDay = static_cast<WORD>(parts.tm_mday);
  out.wHour = static_cast<WORD>(parts.tm_hour);
  out.wMinute = static_cast<WORD>(parts.tm_min);
  out.wSecond = static_cast<WORD>(parts.tm_sec);
  return true;
}

// The picker's local date and time; 0 for a year before 1900 and for a date
// the runtime cannot convert.
Time FromLocalSystemTime(const SYSTEMTIME& local) {
  if (local.wYear < 1900) return 0;
  tm parts{};
  parts.tm_year = local.wYear - 1900;
  parts.tm_mon = local.wMonth - 1;
  parts.tm_mday = local.wDay;
  parts.tm_hour = local.wHour;
  parts.tm_min = local.wMinute;
  parts.tm_sec = local.wSecond;
  parts.tm_isdst = -1;
  const __time64_t value = _mktime64(&parts);
  return value == -1 ? 0 : static_cast<Time>(value);
}

}  // namespace dialogs
