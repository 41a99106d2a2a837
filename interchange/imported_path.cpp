#include "interchange/imported_path.h"

#include "interchange/text_decoding.h"

namespace interchange {

namespace {

bool Separator(wchar_t c) { return c == L'\\' || c == L'/'; }
bool Letter(wchar_t c) { return (c >= L'a' && c <= L'z') || (c >= L'A' && c <= L'Z'); }
wchar_t Upper(wchar_t c) { return c >= L'a' && c <= L'z' ? static_cast<wchar_t>(c - 32) : c; }

bool StartsWithNoCase(std::wstring_view text, std::wstring_view start) {
  if (text.size() < start.size()) return false;
  for (std::size_t i = 0; i < start.size(); ++i)
    if (Upper(text[i]) != Upper(start[i])) return false;
  return true;
}

bool DriveAt(std::wstring_view path, std::size_t at) {
  return path.size() > at + 1 && Letter(path[at]) && path[at + 1] == L':';
}

// "scheme:" of two or more characters: one letter and a colon is a drive.
bool HasScheme(std::wstring_view path) {
  const auto schemeChar = [](wchar_t c) {
    return Letter(c) || (c >= L'0' && c <= L'9') || c == L'+' || c == L'-' || c == L'.';
  };
  std::size_t i = 0;
  while (i < path.size() && schemeChar(path[i])) ++i;
  return i >= 2 && Letter(path[0]) && i < path.size() && path[i] == L':';
}

// Windows opens these names as devices in any folder and with any extension
// ("C:\pics\nul.png"), so a component named so is no file.
bool DeviceName(std::wstring_view component) {
  const std::size_t stop = component.find_first_of(L".:");
  std::wstring_view base = component.substr(0, stop);
  while (!base.empty() && base.back() == L' ') base.remove_suffix(1);
  std::wstring upper;
  for (const wchar_t c : base) upper += Upper(c);
  for (const wchar_t* name : {L"CON", L"PRN", L"AUX", L"NUL", L"CONIN$", L"CONOUT$", L"CLOCK$"})
    if (upper == name) return true;
  if (upper.size() != 4 || (upper.compare(0, 3, L"COM") != 0 && upper.compare(0, 3, L"LPT") != 0)) return false;
  const wchar_t n = upper[3];
  return (n >= L'0' && n <= L'9') || n == 0xB9 || n == 0xB2 || n == 0xB3;  // also COM¹, COM², COM³
}

bool NamesDevice(std::wstring_view path) {
  std::size_t at = 0;
  while (at <= path.size()) {
    std::size_t end = at;
    while (end < path.size() && !Separator(path[end])) ++end;
    if (DeviceName(path.substr(at, end - at))) return true;
    at = end + 1;
  }
  return false;
}

int HexValue(wchar_t c) {
  if (c >= L'0' && c <= L'9') return c - L'0';
  if (c >= L'a' && c <= L'f') return c - L'a' + 10;
  if (c >= L'A' && c <= L'F') return c - L'A' + 10;
  return -1;
}

// "file:///C:/My%20Pictures/p.png" as "C:/My Pictures/p.png"; with a host
// other than localhost ("file://host/share/p.png") as "//host/share/p.png",
// which the rules below refuse.
std::wstring FileUriPath(std::wstring_view uri) {
  std::wstring_view rest = uri.substr(5);
  bool host = false;
  if (rest.size() >= 2 && rest[0] == L'/' && rest[1] == L'/') {
    rest.remove_prefix(2);
    const std::size_t slash = rest.find(L'/');
    const std::wstring_view name = rest.substr(0, slash);
    host = !name.empty() && !(name.size() == 9 && StartsWithNoCase(name, L"localhost"));
    if (!host) rest = slash == std::wstring_view::npos ? std::wstring_view() : rest.substr(slash);
  }
  // "/C:/p.png": that slash belongs to the address, not to the path.
  if (!host && rest.size() >= 3 && rest[0] == L'/' && DriveAt(rest, 1)) rest.remove_prefix(1);
  std::string bytes;
  for (std::size_t i = 0; i < rest.size(); ++i) {
    const int high = rest[i] == L'%' && i + 2 < rest.size() ? HexValue(rest[i + 1]) : -1;
    const int low = high >= 0 ? HexValue(rest[i + 2]) : -1;
    if (low >= 0) {
      bytes += static_cast<char>(high * 16 + low);
      i += 2;
    } else {
      bytes += EncodeUtf8(rest.substr(i, 1));
    }
  }
  return (host ? L"//" : L"") + DecodeLoose(bytes);
}

ImportedPath Classify(std::wstring_view path) {
  if (path.size() >= 2 && Separator(path[0]) && Separator(path[1])) {
    // "\\?\C:\p.png" is the long form of a drive path; every other "\\?\",
    // "\\.\" and "\\host\share" path leaves this computer's drives.
    const bool longForm = path.size() >= 4 && path[2] == L'?' && Separator(path[3]);
    return longForm && DriveAt(path, 4) && path.size() > 6 && Separator(path[6]) ? ImportedPath::Local
                                                                                 : ImportedPath::Elsewhere;
  }
  if (!path.empty() && Separator(path[0])) {
    // "\??\" names the system's object space, which holds devices and shares.
    const bool objects = path.size() >= 4 && path[1] == L'?' && path[2] == L'?' && Separator(path[3]);
    return objects ? ImportedPath::Elsewhere : ImportedPath::Local;
  }
  if (DriveAt(path, 0)) return ImportedPath::Local;
  if (HasScheme(path)) return ImportedPath::Elsewhere;
  return ImportedPath::Relative;
}

}  // namespace

ImportedPath ClassifyImportedPath(std::wstring_view path) {
  std::wstring named;
  if (StartsWithNoCase(path, L"file:")) {
    named = FileUriPath(path);
    path = named;
  }
  // A path cut short by a zero would open something else than it says.
  if (path.empty() || path.find(L'\0') != std::wstring_view::npos) return ImportedPath::Elsewhere;
  const ImportedPath kind = Classify(path);
  if (kind != ImportedPath::Elsewhere && NamesDevice(path)) return ImportedPath::Elsewhere;
  return kind;
}

bool ResolveImportedPath(std::wstring_view path, const std::wstring& fileFolder, std::wstring& resolved) {
  resolved.clear();
  const ImportedPath kind = ClassifyImportedPath(path);
  if (kind == ImportedPath::Elsewhere) return false;
  resolved = StartsWithNoCase(path, L"file:") ? FileUriPath(path) : std::wstring(path);
  if (kind == ImportedPath::Relative && !fileFolder.empty()) {
    const wchar_t separator = fileFolder.find(L'\\') != std::wstring::npos ? L'\\' : L'/';
    resolved = (Separator(fileFolder.back()) ? fileFolder : fileFolder + separator) + resolved;
  } else if (kind == ImportedPath::Local && Separator(resolved[0]) &&
             !(resolved.size() > 1 && Separator(resolved[1])) && DriveAt(fileFolder, 0)) {
    resolved = fileFolder.substr(0, 2) + resolved;  // "\p.png" on the imported file's drive
  }
  return true;
}

std::wstring PictureElsewhereMessage(const std::wstring& path) {
  return L"The picture is on another computer or device and is not read: " + path;
}

}  // namespace interchange
