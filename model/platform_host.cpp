#include <locale.h>
#include <wctype.h>

#include <algorithm>
#include <cstdint>
#include <ctime>
#include <filesystem>
#include <set>
#include <system_error>

#include "model/platform.h"

struct HostWindow {
  platform::HostReceiver receiver;
};

namespace platform {

namespace {

std::set<WindowHandle>& LiveWindows() {
  static std::set<WindowHandle> windows;
  return windows;
}

bool autoStartEntry = false;

locale_t CaseLocale() {
  // Full Unicode case mapping, whatever locale the process runs in.
  static const locale_t locale = [] {
    locale_t made = newlocale(LC_CTYPE_MASK, "C.UTF-8", static_cast<locale_t>(nullptr));
    return made ? made : newlocale(LC_CTYPE_MASK, "C", static_cast<locale_t>(nullptr));
  }();
  return locale;
}

}  // namespace

Time SystemNow() { return static_cast<Time>(std::time(nullptr)); }

bool ToLocalParts(Time time, std::tm& local) {
  const std::time_t seconds = static_cast<std::time_t>(time);
  return localtime_r(&seconds, &local) != nullptr;
}

bool IsWindowAlive(WindowHandle target) { return target != nullptr && LiveWindows().count(target) != 0; }

void Send(WindowHandle target, MessageId message, MessageParam wParam) {
  if (!IsWindowAlive(target)) return;
  // Copy first: the receiver may destroy its own window while it runs.
  const HostReceiver receiver = target->receiver;
  if (receiver) receiver(message, wParam);
}

int CompareNoCase(const std::wstring& a, const std::wstring& b) {
  const locale_t locale = CaseLocale();
  const std::size_t common = std::min(a.size(), b.size());
  for (std::size_t i = 0; i < common; ++i) {
    const wint_t x = towlower_l(static_cast<wint_t>(a[i]), locale);
    const wint_t y = towlower_l(static_cast<wint_t>(b[i]), locale);
    if (x != y) return x < y ? -1 : 1;
  }
  if (a.size() == b.size()) return 0;
  return a.size() < b.size() ? -1 : 1;
}

std::string SortKeyNoCase(const std::wstring& text) {
  // Three bytes a lowered character, most significant first: byte order is
  // the order of CompareNoCase, a shorter text first on a common start.
  const locale_t locale = CaseLocale();
  std::string key;
  key.reserve(text.size() * 3);
  for (wchar_t c : text) {
    const auto lowered = static_cast<std::uint32_t>(towlower_l(static_cast<wint_t>(c), locale));
    key.push_back(static_cast<char>((lowered >> 16) & 0xFF));
    key.push_back(static_cast<char>((lowered >> 8) & 0xFF));
    key.push_back(static_cast<char>(lowered & 0xFF));
  }
  return key;
}

namespace {

// The letters of Latin-1 and Latin Extended-A without their accents, from
// U+00E0 (after lowering); '.' keeps the letter as it is.
constexpr char kLatinBases[] =
    "aaaaaa.ceeeeiiii.nooooo..uuuuy.y"
    "aaaaaaccccccccdd"
    "ddeeeeeeeeeegggg"
    "gggghhhhiiiiiiii"
    "ii..jjkkklllllll"
    "lllnnnnnnn..oooo"
    "oo..rrrrrrssssss"
    "sstttttttuuuuuuu"
    "uuuuwwyyyzzzzzzs";

}  // namespace

std::wstring FoldForFinding(const std::wstring& text) {
  const locale_t locale = CaseLocale();
  std::wstring folded;
  folded.reserve(text.size());
  for (wchar_t c : text) {
    const auto lowered = static_cast<wchar_t>(towlower_l(static_cast<wint_t>(c), locale));
    if (lowered >= 0x0300 && lowered <= 0x036F) continue;  // a combining accent
    if (lowered >= 0xE0 && lowered <= 0x17F && kLatinBases[lowered - 0xE0] != '.')
      folded.push_back(static_cast<wchar_t>(kLatinBases[lowered - 0xE0]));
    else
      folded.push_back(lowered);
  }
  return folded;
}

std::wstring ExecutablePath() {
  std::error_code error;
  const std::filesystem::path path = std::filesystem::read_symlink("/proc/self/exe", error);
  return error ? std::wstring() : path.wstring();
}

wchar_t PathSeparator() { return L'/'; }

void SetAutoStartEntry(bool enable) { autoStartEntry = enable; }

bool AutoStartEntryPresent() { return autoStartEntry; }

WindowHandle CreateHostWindow(HostReceiver receiver) {
  WindowHandle window = new HostWindow{std::move(receiver)};
  LiveWindows().insert(window);
  return window;
}

void DestroyHostWindow(WindowHandle window) {
  if (LiveWindows().erase(window)) delete window;
}

}  // namespace platform
