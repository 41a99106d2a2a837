#include "model/journal_text.h"

#include <cstdint>

namespace {

class Tokens {
 public:
  explicit Tokens(std::wstring& out) : out_(out) {}

  // Every token after the first follows one space, as the archive separates them.
  void Number(std::int64_t value) {
    if (started_) out_ += L' ';
    started_ = true;
    wchar_t digits[24];
    int length = 0;
    // Through the unsigned magnitude: the smallest value has no positive counterpart.
    std::uint64_t magnitude = value < 0 ? 0 - static_cast<std::uint64_t>(value) : static_cast<std::uint64_t>(value);
    do {
      digits[length++] = static_cast<wchar_t>(L'0' + magnitude % 10);
      magnitude /= 10;
    } while (magnitude != 0);
    if (value < 0) out_ += L'-';
    while (length > 0) out_ += digits[--length];
  }
  // A string: its length, one space, its characters.
  void Text(const std::wstring& text) {
    Number(static_cast<std::int64_t>(text.size()));
    out_ += L' ';
    out_ += text;
  }
  // The class information the archive writes at a class's first object: tracking 0, the class version.
  void FirstOfClass(bool& written, int version) {
    if (written) return;
    written = true;
    Number(0);
    Number(version);
  }

 private:
  std::wstring& out_;
  bool started_ = false;
};

}  // namespace

std::wstring JournalText(const Journal& journal) {
  std::wstring out;
  std::size_t expected = 64;
  for (const auto& [id, history] : journal.contacts) {
    expected += 48;
    for (const JournalEntry& entry : history.entries) expected += 16 + entry.text.size();
  }
  out.reserve(expected);
  out += L"22 serialization::archive 3 ";
  Tokens tokens(out);
  bool journalClass = false;
  bool stateClass = false;
  bool historyClass = false;
  bool entryClass = false;
  tokens.FirstOfClass(journalClass, 1);
  tokens.FirstOfClass(stateClass, 1);
  tokens.Number(static_cast<std::int64_t>(journal.contacts.size()));
  for (const auto& [id, history] : journal.contacts) {
    tokens.Number(id);
    tokens.FirstOfClass(historyClass, 1);
    tokens.Number(history.snoozedUntil);
    tokens.Number(history.known ? 1 : 0);
    tokens.Number(history.knownLastContacted);
    tokens.Number(static_cast<std::int64_t>(history.entries.size()));
    for (const JournalEntry& entry : history.entries) {
      tokens.FirstOfClass(entryClass, 1);
      tokens.Number(entry.time);
      tokens.Text(entry.text);
    }
  }
  out += L'\n';
  return out;
}
