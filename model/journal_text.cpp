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

// ProgramState's fields after the day last reminded (class version 3).
std::size_t DateStateRoom(const ReminderSettings& reminders) {
  std::size_t room = Width(reminders.dateLeadDays) + Width(static_cast<std::int64_t>(reminders.datesNamed.size()));
  for (const std::wstring& key : reminders.datesNamed) room += TextWidth(key);
  return room;
}

void WriteDateState(Tokens& tokens, const ReminderSettings& reminders) {
  tokens.Number(reminders.dateLeadDays);
  tokens.Number(static_cast<std::int64_t>(reminders.datesNamed.size()));
  for (const std::wstring& key : reminders.datesNamed) tokens.Text(key);
}

// ContactHistory's fields after the entries (class version 2).
std::size_t DetailsRoom(const ContactDetails& details) {
  std::size_t room = Width(static_cast<std::int64_t>(details.phones.size())) +
                     Width(static_cast<std::int64_t>(details.emails.size())) +
                     Width(static_cast<std::int64_t>(details.dates.size())) +
                     Width(static_cast<std::int64_t>(details.kept.size()));
  for (const Phone& phone : details.phones) room += TextWidth(phone.label) + TextWidth(phone.number);
  for (const EmailAddress& email : details.emails) room += TextWidth(email.label) + TextWidth(email.address);
  for (const ImportantDate& date : details.dates)
    room += TextWidth(date.label) + Width(date.month) + Width(date.day) + Width(date.year);
  for (const KeptProperty& kept : details.kept) room += TextWidth(kept.column) + TextWidth(kept.text);
  return room;
}

void WriteDetails(Tokens& tokens, const ContactDetails& details) {
  tokens.Number(static_cast<std::int64_t>(details.phones.size()));
  for (const Phone& phone : details.phones) {
    tokens.Text(phone.label);
    tokens.Text(phone.number);
  }
  tokens.Number(static_cast<std::int64_t>(details.emails.size()));
  for (const EmailAddress& email : details.emails) {
    tokens.Text(email.label);
    tokens.Text(email.address);
  }
  tokens.Number(static_cast<std::int64_t>(details.dates.size()));
  for (const ImportantDate& date : details.dates) {
    tokens.Text(date.label);
    tokens.Number(date.month);
    tokens.Number(date.day);
    tokens.Number(date.year);
  }
  tokens.Number(static_cast<std::int64_t>(details.kept.size()));
  for (const KeptProperty& kept : details.kept) {
    tokens.Text(kept.column);
    tokens.Text(kept.text);
  }
}

// The sync state: a card link, and the account after the dates' state
// (ContactHistory version 3, ProgramState version 4) with the groups that
// sync (ProgramState version 5).
std::size_t LinkWidth(const CardLink& link) {
  return TextWidth(link.uid) + TextWidth(link.href) + TextWidth(link.etag) + TextWidth(link.synced);
}

void WriteLink(Tokens& tokens, const CardLink& link) {
  tokens.Text(link.uid);
  tokens.Text(link.href);
  tokens.Text(link.etag);
  tokens.Text(link.synced);
}

std::size_t AccountWidth(const SyncAccount& sync) {
  std::size_t room = TextWidth(sync.server) + TextWidth(sync.user) + TextWidth(sync.book) + TextWidth(sync.syncToken) +
                     Width(sync.lastSync) + Width(static_cast<std::int64_t>(sync.removedHere.size()));
  for (const CardLink& link : sync.removedHere) room += LinkWidth(link);
  room += Width(static_cast<std::int64_t>(sync.groups.size()));
  for (const std::int32_t id : sync.groups) room += Width(id);
  return room;
}

void WriteAccount(Tokens& tokens, const SyncAccount& sync) {
  tokens.Text(sync.server);
  tokens.Text(sync.user);
  tokens.Text(sync.book);
  tokens.Text(sync.syncToken);
  tokens.Number(sync.lastSync);
  tokens.Number(static_cast<std::int64_t>(sync.removedHere.size()));
  for (const CardLink& link : sync.removedHere) WriteLink(tokens, link);
  tokens.Number(static_cast<std::int64_t>(sync.groups.size()));
  for (const std::int32_t id : sync.groups) tokens.Number(id);
}

// The same text from a journal's state and its histories in ascending order of
// ids, whichever way they are held.
template <class Histories, class HistoryOf>
std::wstring TextOf(const ProgramState& state, const Histories& histories, HistoryOf historyOf) {
  static const std::wstring header = L"22 serialization::archive 3 ";
  // Exactly what is written, give or take the class information.
  const ReminderSettings& reminders = state.reminders;
  std::size_t room = header.size() + 16 + Width(static_cast<std::int64_t>(histories.size())) + 1 + 2 +
                     Width(reminders.at) + Width(static_cast<std::int64_t>(reminders.lastRemindedDay.size())) + 1 +
                     reminders.lastRemindedDay.size() + DateStateRoom(reminders) + AccountWidth(state.sync);
  for (const auto& [id, held] : histories) {
    const ContactHistory& history = historyOf(held);
    room += 4 + Width(id) + Width(history.snoozedUntil) + 2 + Width(history.knownLastContacted) +
            Width(static_cast<std::int64_t>(history.entries.size())) + DetailsRoom(history.details) +
            LinkWidth(history.card) + Width(1) + TextWidth(history.card.picture);
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
  tokens.FirstOfClass(stateClass, 5);
  tokens.Number(reminders.enabled ? 1 : 0);
  tokens.Number(reminders.at);
  tokens.Text(reminders.lastRemindedDay);
  WriteDateState(tokens, reminders);
  WriteAccount(tokens, state.sync);
  tokens.Number(static_cast<std::int64_t>(histories.size()));
  for (const auto& [id, held] : histories) {
    const ContactHistory& history = historyOf(held);
    tokens.Number(id);
    tokens.FirstOfClass(historyClass, 4);
    tokens.Number(history.snoozedUntil);
    tokens.Number(history.known ? 1 : 0);
    tokens.Number(history.knownLastContacted);
    tokens.Number(static_cast<std::int64_t>(history.entries.size()));
    for (const JournalEntry& entry : history.entries) {
      tokens.FirstOfClass(entryClass, 1);
      tokens.Number(entry.time);
      tokens.Text(entry.text);
    }
    WriteDetails(tokens, history.details);
    WriteLink(tokens, history.card);
    // Which picture file the card's matches (ContactHistory version 4).
    tokens.Number(history.card.pictureKnown ? 1 : 0);
    tokens.Text(history.card.picture);
  }
  wchar_t* end = tokens.End();
  *end++ = L'\n';
  out.resize(static_cast<std::size_t>(end - begin));
  return out;
}

}  // namespace

std::wstring JournalText(const Journal& journal) {
  return TextOf(journal.state, journal.contacts,
                [](const ContactHistory& history) -> const ContactHistory& { return history; });
}

std::wstring JournalText(const JournalSnapshot& journal) {
  return TextOf(journal.state, journal.contacts,
                [](const JournalSnapshot::History& history) -> const ContactHistory& { return *history; });
}
