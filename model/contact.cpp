#include "model/contact.h"

#include <atomic>

#include "model/messages.h"

namespace {

// Shared by every record of every thread (loads and copies are made off the
// window's thread too), so that no two records ever hold the same version.
std::uint64_t NextNotesVersion() {
  static std::atomic<std::uint64_t> last{0};
  return ++last;
}

// The status arithmetic is defined on 32-bit two's complement integers; doing it
// in unsigned arithmetic gives the same wrapped results without undefined behaviour.
std::int32_t Wrap(std::uint32_t value) { return static_cast<std::int32_t>(value); }
std::int32_t WrapMul(std::int32_t a, std::int32_t b) {
  return Wrap(static_cast<std::uint32_t>(a) * static_cast<std::uint32_t>(b));
}

constexpr std::int32_t kSecondsPerDay = 86400;

}  // namespace

std::int32_t WrapSub(std::int32_t a, std::int32_t b) {
  return Wrap(static_cast<std::uint32_t>(a) - static_cast<std::uint32_t>(b));
}

Contact::Contact()
    : lastContacted(platform::Now()), previousContacted(lastContacted), notesVersion_(NextNotesVersion()) {}

Contact::Contact(std::int32_t id, std::wstring name, std::wstring imagePath, IntervalUnit unit, std::int32_t count,
                 Time lastContacted, std::wstring notes, std::int32_t groupId)
    : id(id),
      name(std::move(name)),
      imagePath(std::move(imagePath)),
      unit(unit),
      count(count),
      lastContacted(lastContacted),
      previousContacted(lastContacted),
      notes(std::move(notes)),
      groupId(groupId),
      notesVersion_(NextNotesVersion()) {}

std::int32_t Contact::IntervalDays() const {
  switch (unit) {
    case Days:
      return count;
    case Weeks:
      return WrapMul(count, 7);
    case Months:
      return WrapMul(count, 30);
  }
  return 0;
}

std::int32_t Contact::DaysSinceContact(Time now) const {
  // Only the low 32 bits of each time take part, exactly as the original status
  // rule: the elapsed seconds wrap after about 68 years.
  const std::int32_t elapsed = Wrap(static_cast<std::uint32_t>(now) - static_cast<std::uint32_t>(lastContacted));
  return elapsed / kSecondsPerDay;
}

std::int32_t Contact::DaysLeft(Time now) const { return WrapSub(IntervalDays(), DaysSinceContact(now)); }

// The two numbers compared as they are: their difference, which DaysLeft
// wraps, would turn a hand-edited count's far future into the past.
bool Contact::IsExpired(Time now) const { return DaysSinceContact(now) > IntervalDays(); }

bool Contact::IsWarning(int warnPercent, int warnDays, Time now) const {
  const std::int32_t days = DaysSinceContact(now);
  const std::int32_t interval = IntervalDays();
  if (WrapSub(interval, days) < warnDays) return true;
  // A zero interval gives +inf, NaN or -inf here, never a trap.
  const double elapsedPercent = static_cast<double>(days) / static_cast<double>(interval) * 100.0;
  return warnPercent < elapsedPercent;
}

bool Contact::MarkContacted(Time now) {
  previousContacted = lastContacted;
  lastContacted = now;
  if (platform::IsWindowAlive(notifyWindow))
    platform::Send(notifyWindow, WM_CONTACT_UPDATED, reinterpret_cast<MessageParam>(this));
  return true;
}

void Contact::UndoContacted() {
  lastContacted = previousContacted;
  if (platform::IsWindowAlive(notifyWindow))
    platform::Send(notifyWindow, WM_CONTACT_REVERTED, reinterpret_cast<MessageParam>(this));
}

bool Contact::Update(std::wstring newName, std::wstring newImagePath, IntervalUnit newUnit, std::int32_t newCount,
                     Time newLastContacted, std::wstring newNotes, std::int32_t newGroupId) {
  name = std::move(newName);
  imagePath = std::move(newImagePath);
  unit = newUnit;
  count = newCount;
  lastContacted = newLastContacted;
  notes = std::move(newNotes);
  texts_.reset();
  notesVersion_ = NextNotesVersion();
  if (newGroupId == groupId) return true;
  // Announced while groupId still names the old group, so that group's list drops it.
  platform::Send(notifyWindow, WM_CONTACT_REMOVED, reinterpret_cast<MessageParam>(this));
  groupId = newGroupId;
  platform::Send(notifyWindow, WM_CONTACT_ADDED, reinterpret_cast<MessageParam>(this));
  return false;
}

const ContactTexts& Contact::Texts() const {
  if (!texts_) texts_ = std::make_unique<const ContactTexts>(MakeContactTexts(name, notes));
  return *texts_;
}
