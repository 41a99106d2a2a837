#include "model/reminders.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <ctime>
#include <utility>

#include "model/snooze.h"

namespace {

// Overdue first, then today, then soon.
int Rank(Due due) { return due == Due::Overdue ? 0 : (due == Due::Today ? 1 : 2); }

}  // namespace

std::vector<DuePerson> PeopleDue(const Contacts& contacts, const Journal& journal, std::int32_t warnPercent,
                                 std::int32_t warnDays, Time now, DueOrder order) {
  std::vector<DuePerson> due;
  for (const Contacts::Item& contact : contacts) {
    if (!contact) continue;
    // A snooze that counts shows the contact as snoozed, never as due; one
    // that does not leaves the clock as it is (SeenNow), so `now` is what the
    // row's status reads for everyone else.
    if (IsSnoozeActive(*contact, journal.SnoozedUntil(contact->id), now)) continue;
    DuePerson person;
    person.id = contact->id;
    // The row painter's test for red, and the status text's count of days.
    if (contact->IsExpired(now)) {
      person.due = Due::Overdue;
      person.days = WrapSub(contact->DaysSinceContact(now), contact->IntervalDays());
    } else if (contact->DaysLeft(now) == 0) {
      person.due = Due::Today;
    } else if (contact->IsWarning(warnPercent, warnDays, now)) {
      person.due = Due::Soon;
      person.days = contact->DaysLeft(now);
    } else {
      continue;
    }
    if (order == DueOrder::ByUrgency) person.name = contact->name;
    due.push_back(std::move(person));
  }
  if (order == DueOrder::Counted) return due;
  // Names are compared only among equals, by keys made once per person: the
  // locale's comparison, called for every pair a sort looks at, took a tenth
  // of a second for thousands of people due. Asking for the contacts' own
  // sort keys would make their notes' texts too, on the start-up path.
  std::vector<std::string> keys;
  keys.reserve(due.size());
  for (const DuePerson& person : due) keys.push_back(platform::SortKeyNoCase(person.name));
  std::vector<std::size_t> places(due.size());
  for (std::size_t i = 0; i < places.size(); ++i) places[i] = i;
  std::sort(places.begin(), places.end(), [&](std::size_t a, std::size_t b) {
    const DuePerson& left = due[a];
    const DuePerson& right = due[b];
    if (left.due != right.due) return Rank(left.due) < Rank(right.due);
    if (left.days != right.days) return left.due == Due::Overdue ? left.days > right.days : left.days < right.days;
    const int byName = keys[a].compare(keys[b]);
    if (byName != 0) return byName < 0;
    return left.id < right.id;
  });
  std::vector<DuePerson> ordered;
  ordered.reserve(due.size());
  for (std::size_t place : places) ordered.push_back(std::move(due[place]));
  return ordered;
}

TrayLook LookOf(const std::vector<DuePerson>& due) {
  if (due.empty()) return TrayLook::Nobody;
  const bool urgent = std::any_of(due.begin(), due.end(),
                                  [](const DuePerson& person) { return person.due != Due::Soon; });
  return urgent ? TrayLook::Urgent : TrayLook::Soon;
}

std::wstring TrayTipText(const std::vector<DuePerson>& due) {
  std::array<std::size_t, 3> counts{};
  for (const DuePerson& person : due) ++counts[static_cast<std::size_t>(Rank(person.due))];
  static const wchar_t* const kWords[3] = {L" overdue", L" due today", L" due soon"};
  std::wstring parts;
  for (std::size_t kind = 0; kind < counts.size(); ++kind) {
    if (counts[kind] == 0) continue;
    if (!parts.empty()) parts += L", ";
    parts += std::to_wstring(counts[kind]) + kWords[kind];
  }
  return L"Amicord: " + (parts.empty() ? std::wstring(L"nobody due") : parts);
}

std::vector<DuePerson> ReminderDiary::ToTell(const std::vector<DuePerson>& due, ReminderSettings& settings, Time now) {
  std::tm local{};
  if (!platform::ToLocalParts(now, local)) return {};
  const std::wstring today = LocalDay(now);
  if (today != day_) {
    const bool restartedOnRemindedDay = day_.empty() && settings.lastRemindedDay == today;
    day_ = today;
    namedToday_.clear();
    if (restartedOnRemindedDay) {
      for (const DuePerson& person : due) namedToday_.insert(person.id);
      return {};
    }
  }
  if (!settings.enabled) return {};
  if (local.tm_hour * 60 + local.tm_min < settings.at) return {};
  std::vector<DuePerson> tell;
  for (const DuePerson& person : due)
    if (namedToday_.count(person.id) == 0) tell.push_back(person);
  if (tell.empty()) return {};
  for (const DuePerson& person : tell) namedToday_.insert(person.id);
  settings.lastRemindedDay = today;
  return tell;
}

std::wstring LocalDay(Time now) {
  std::tm local{};
  if (!platform::ToLocalParts(now, local)) return {};
  wchar_t day[32];
  std::swprintf(day, sizeof day / sizeof day[0], L"%04d-%02d-%02d", local.tm_year + 1900, local.tm_mon + 1,
                local.tm_mday);
  return day;
}
