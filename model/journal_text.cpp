#include "model/journal_text.h"

#include <algorithm>
#include <cstdint>

namespace {

// Writes into a buffer sized beforehand for the longest form of every token:
// appending character by character to a string costs more than the rest of
// the save.
class Tokens {
 public:
  explicit Tokens(wchar_t* at) : at_(at) {}

  // Every token after the first follows one space, as the archive separates them.
  void Number(std::int64_t value) {
    if (started_) *at_++ = L' ';
    started_ = true;
    wchar_t digits[24];
    int length = 0;
    // Through the unsigned magnitude: the smallest value has no positive counterpart.
    std::uint64_t magnitude = value < 0 ? 0 - static_cast<std::uint64_t>(value) : static_cast<std::uint64_t>(value);
    do {
      digits[length++] = static_cast<wchar_t>(L'0' + magnitude % 10);
      magnitude /= 10;
    } while (magnitude != 0);
    if (value < 0) *at_++ = L'-';
    while (length > 0) *at_++ = digits[--length];
  }
  // A string: its length, one space, its characters.
  void Text(const std::wstring& text) {
    Number(static_cast<std::int64_t>(text.size()));
    *at_++ = L' ';
    at_ = std::copy(text.begin(), text.end(), at_);
  }
  // The class information the archive writes at a class's first object: tracking 0, the class version.
  void FirstOfClass(bool& written, int version) {
    if (written) return;
    written = true;
    Number(0);
    Number(version);
  }
  wchar_t* End() const { return at_; }

 private:
  wchar_t* at_;
  bool started_ = false;
};

// A number token's characters with the space before it.
std::size_t Width(std::int64_t value) {
  std::size_t width = value < 0 ? 2 : 1;
  std::uint64_t magnitude = value < 0 ? 0 - static_cast<std::uint64_t>(value) : static_cast<std::uint64_t>(value);
  do {
    ++width;
    magnitude /= 10;
  } while (magnitude != 0);
  return width;
}

std::size_t TextWidth(const std::wstring& text) {
  return Width(static_cast<std::int64_t>(text.size())) + 1 + text.size();
}

std::size_t LinkWidth(const CardLink& link) {
  return TextWidth(link.uid) + TextWidth(link.href) + TextWidth(link.etag) + TextWidth(link.synced);
}

void WriteLink(Tokens& tokens, const CardLink& link) {
  tokens.Text(link.uid);
  tokens.Text(link.href);
  tokens.Text(link.etag);
  tokens.Text(link.synced);
}

}  // namespace

std::wstring JournalText(const Journal& journal) {
  static const std::wstring header = L"22 serialization::archive 3 ";
  // Exactly what is written, give or take the class information.
  const ReminderSettings& reminders = journal.state.reminders;
  std::size_t room = header.size() + 16 + Width(static_cast<std::int64_t>(journal.contacts.size())) + 1 + 2 +
                     Width(reminders.at) + Width(static_cast<std::int64_t>(reminders.lastRemindedDay.size())) + 1 +
                     reminders.lastRemindedDay.size();
  const SyncAccount& sync = journal.state.sync;
  room += TextWidth(sync.server) + TextWidth(sync.user) + TextWidth(sync.book) + TextWidth(sync.syncToken) +
          Width(sync.lastSync) + Width(static_cast<std::int64_t>(sync.removedHere.size()));
  for (const CardLink& link : sync.removedHere) room += LinkWidth(link);
  for (const auto& [id, history] : journal.contacts) {
    room += 4 + Width(id) + Width(history.snoozedUntil) + 2 + Width(history.knownLastContacted) +
            Width(static_cast<std::int64_t>(history.entries.size())) + LinkWidth(history.card);
    for (const JournalEntry& entry : history.entries)
      room += 4 + Width(entry.time) + Width(static_cast<std::int64_t>(entry.text.size())) + 1 + entry.text.size();
  }
  std::wstring out(room, L'\0');
  wchar_t* const begin = &out[0];
  Tokens tokens(std::copy(header.begin(), header.end(), begin));
  bool journalClass = false;
  bool stateClass = false;
  bool historyClass = false;
  bool entryClass = false;
  tokens.FirstOfClass(journalClass, 1);
  tokens.FirstOfClass(stateClass, 4);
  tokens.Number(reminders.enabled ? 1 : 0);
  tokens.Number(reminders.at);
  tokens.Text(reminders.lastRemindedDay);
  tokens.Text(sync.server);
  tokens.Text(sync.user);
  tokens.Text(sync.book);
  tokens.Text(sync.syncToken);
  tokens.Number(sync.lastSync);
  tokens.Number(static_cast<std::int64_t>(sync.removedHere.size()));
  for (const CardLink& link : sync.removedHere) WriteLink(tokens, link);
  tokens.Number(static_cast<std::int64_t>(journal.contacts.size()));
  for (const auto& [id, history] : journal.contacts) {
    tokens.Number(id);
    tokens.FirstOfClass(historyClass, 3);
    tokens.Number(history.snoozedUntil);
    tokens.Number(history.known ? 1 : 0);
    tokens.Number(history.knownLastContacted);
    tokens.Number(static_cast<std::int64_t>(history.entries.size()));
    for (const JournalEntry& entry : history.entries) {
      tokens.FirstOfClass(entryClass, 1);
      tokens.Number(entry.time);
      tokens.Text(entry.text);
    }
    WriteLink(tokens, history.card);
  }
  wchar_t* end = tokens.End();
  *end++ = L'\n';
  out.resize(static_cast<std::size_t>(end - begin));
  return out;
}
