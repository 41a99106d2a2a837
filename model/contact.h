#pragma once
#include <cstdint>
#include <memory>
#include <string>

#include "model/contact_texts.h"
#include "model/platform.h"

// Stored as a 32-bit integer; values outside the three named ones are kept as
// they are and count as a zero-day interval.
enum IntervalUnit : std::int32_t {
  Days = 0,
  Weeks = 1,
  Months = 2,
};

// a - b as the status arithmetic takes it: on 32-bit two's complement
// numbers, wrapping, without undefined behaviour.
std::int32_t WrapSub(std::int32_t a, std::int32_t b);

class Contact {
 public:
  Contact();
  Contact(std::int32_t id, std::wstring name, std::wstring imagePath, IntervalUnit unit, std::int32_t count,
          Time lastContacted, std::wstring notes, std::int32_t groupId);
  virtual ~Contact() = default;

  Contact(const Contact&) = delete;
  Contact& operator=(const Contact&) = delete;

  // Status arithmetic, against one reading of the clock passed by the caller so
  // that a whole list can be painted or sorted against the same moment.
  std::int32_t IntervalDays() const;
  std::int32_t DaysSinceContact(Time now) const;
  std::int32_t DaysLeft(Time now) const;
  bool IsExpired(Time now) const;
  bool IsWarning(int warnPercent, int warnDays, Time now) const;

  std::int32_t DaysSinceContact() const { return DaysSinceContact(platform::Now()); }
  std::int32_t DaysLeft() const { return DaysLeft(platform::Now()); }
  bool IsExpired() const { return IsExpired(platform::Now()); }
  bool IsWarning(int warnPercent, int warnDays) const { return IsWarning(warnPercent, warnDays, platform::Now()); }

  bool MarkContacted(Time now);
  bool MarkContacted() { return MarkContacted(platform::Now()); }
  void UndoContacted();
  // True when the group did not change; otherwise the contact was announced as
  // removed (from its old group) and then added (to the new one).
  bool Update(std::wstring name, std::wstring imagePath, IntervalUnit unit, std::int32_t count, Time lastContacted,
              std::wstring notes, std::int32_t groupId);

  // The name and notes as finding and sorting read them: made at the first
  // request after the contact was made, loaded or updated. Not for two
  // threads at once; a sort asks for them before it shares out its rows.
  const ContactTexts& Texts() const;
  // Another value after every Update, and never the same for two records: a
  // save compares the notes of a record it already holds a copy of only when
  // this changed (or their length did). The notes are most of the data, and
  // comparing them all at every tick was most of the tick's time. So, as for
  // Texts, the notes change through Update.
  std::uint64_t NotesVersion() const { return notesVersion_; }

  std::int32_t id = -1;
  std::wstring name;
  std::wstring imagePath;
  IntervalUnit unit = Days;
  std::int32_t count = 0;
  Time lastContacted;
  Time previousContacted;
  std::wstring notes;
  std::int32_t groupId = -1;
  WindowHandle notifyWindow{};  // not persisted

 private:
  std::uint64_t notesVersion_;                         // not persisted
  mutable std::unique_ptr<const ContactTexts> texts_;  // not persisted
};
