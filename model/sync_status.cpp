#include "model/sync_status.h"

#include "model/text_cut.h"

namespace {

constexpr Time kMinute = 60;
constexpr Time kHour = 60 * kMinute;
constexpr Time kDay = 24 * kHour;
constexpr std::size_t kSkippedNamed = 3;

std::wstring Ago(Time lastSync, Time now) {
  const Time elapsed = now > lastSync ? now - lastSync : 0;
  if (elapsed < kMinute) return L"Synced just now.";
  if (elapsed < kHour) return L"Synced " + std::to_wstring(elapsed / kMinute) + L" min ago.";
  if (elapsed < kDay) return L"Synced " + std::to_wstring(elapsed / kHour) + L" h ago.";
  return L"Synced on " + platform::LocalDateText(lastSync) + L".";
}

}  // namespace

std::wstring SyncStatusLine(const SyncStatus& status, Time now) {
  switch (status.failure) {
    case SyncFailure::None:
      return Ago(status.lastSync, now);
    case SyncFailure::NotYet:
      return status.lastSync != 0 ? Ago(status.lastSync, now) : L"Not synced yet.";
    case SyncFailure::Network:
      return L"Not synced: no connection to the server.";
    case SyncFailure::Password:
      return L"Not synced: the server did not accept the user name and password.";
    case SyncFailure::Certificate:
      return L"Not synced: the server's certificate was not accepted.";
    case SyncFailure::Other:
      break;
  }
  return L"Not synced: the server's answer could not be used.";
}

std::wstring SyncStatusText(const SyncStatus& status, Time now) {
  std::wstring text = SyncStatusLine(status, now);
  if (status.failure == SyncFailure::Other && !status.why.empty()) {
    text += L" " + status.why;
    if (text.back() != L'.') text += L".";
  }
  if (status.skipped.empty()) return text;
  const std::size_t count = status.skipped.size();
  text += count == 1 ? L" 1 card was skipped: " : L" " + std::to_wstring(count) + L" cards were skipped: ";
  for (std::size_t i = 0; i < count && i < kSkippedNamed; ++i) text += (i ? L"; " : L"") + status.skipped[i];
  if (count > kSkippedNamed) text += L"; and " + std::to_wstring(count - kSkippedNamed) + L" more";
  return text + L".";
}

std::wstring TipWithLine(const std::wstring& tip, const std::wstring& line, std::size_t room) {
  if (line.empty()) return text::CutText(tip, room);
  if (line.size() >= room) return text::CutText(line, room);
  if (tip.empty()) return line;
  const std::size_t left = room - line.size() - 1;
  if (tip.size() <= left) return tip + L"\n" + line;
  static const std::wstring kEllipsis = L"\u2026";
  if (left <= kEllipsis.size()) return line;
  std::wstring cut = text::CutText(tip, left - kEllipsis.size());
  const std::size_t space = cut.find_last_of(L" ,");
  if (space != std::wstring::npos && space > 0) cut.erase(space);
  while (!cut.empty() && (cut.back() == L',' || cut.back() == L' ' || cut.back() == L':')) cut.pop_back();
  return cut + kEllipsis + L"\n" + line;
}
