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

std::wstring Count(std::int64_t count, const wchar_t* one, const wchar_t* many) {
  return std::to_wstring(count) + L" " + (count == 1 ? one : many);
}

// The people of each kind, in the order given: overdue, today, soon.
using Kinds = std::array<std::vector<const DuePerson*>, 3>;

// "A", "A and B", "A, B and C"; with more left over, "A, B and 2 more".
std::wstring NameList(const std::vector<const DuePerson*>& people, std::size_t named, std::size_t rest) {
  std::wstring list;
  const std::size_t parts = named + (rest > 0 ? 1 : 0);
  for (std::size_t i = 0; i < parts; ++i) {
    if (i > 0) list += i + 1 == parts ? L" and " : L", ";
    list += i < named ? people[i]->name : std::to_wstring(rest) + L" more";
  }
  return list;
}

// The text naming the first `named` people of all kinds and counting the rest.
std::wstring Compose(const Kinds& kinds, std::size_t named) {
  std::wstring text;
  const auto sentence = [&text](const std::wstring& words) {
    if (!text.empty()) text += L' ';
    text += words;
  };
  std::size_t left = named;
  for (std::size_t kind = 0; kind < kinds.size(); ++kind) {
    const std::vector<const DuePerson*>& people = kinds[kind];
    const std::size_t n = std::min(left, people.size());
    const std::size_t rest = people.size() - n;
    left -= n;
    if (people.empty()) continue;
    if (kind == 0) {
      // Each overdue person has a number of their own.
      for (std::size_t i = 0; i < n; ++i)
        sentence(people[i]->name + L" is " + Count(people[i]->days, L"day", L"days") + L" overdue.");
      if (rest > 0)
        sentence(
            (n > 0 ? std::to_wstring(rest) + L" more" : Count(static_cast<std::int64_t>(rest), L"person", L"people")) +
            (rest == 1 ? L" is overdue." : L" are overdue."));
      continue;
    }
    const wchar_t* when = kind == 1 ? L"due today." : L"due soon.";
    const std::wstring who = n > 0 ? NameList(people, n, rest)
                                   : Count(static_cast<std::int64_t>(rest), L"person", L"people");
    sentence(who + (people.size() == 1 ? L" is " : L" are ") + when);
  }
  return text;
}

}  // namespace

std::vector<DuePerson> PeopleDue(const Contacts& contacts, const Journal& journal, std::int32_t warnPercent,
                                 std::int32_t warnDays, Time now) {
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
    person.name = contact->name;
    due.push_back(std::move(person));
  }
  // Names are compared only among equals, and directly: asking for the
  // contacts' sort keys would make their notes' texts too, on the start-up path.
  std::sort(due.begin(), due.end(), [](const DuePerson& left, const DuePerson& right) {
    if (left.due != right.due) return Rank(left.due) < Rank(right.due);
    if (left.days != right.days) return left.due == Due::Overdue ? left.days > right.days : left.days < right.days;
    const int byName = platform::CompareNoCase(left.name, right.name);
    if (byName != 0) return byName < 0;
    return left.id < right.id;
  });
  return due;
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

std::wstring ReminderText(const std::vector<DuePerson>& due, std::size_t maxChars) {
  if (due.empty()) return {};
  Kinds kinds;
  for (const DuePerson& person : due) kinds[static_cast<std::size_t>(Rank(person.due))].push_back(&person);
  // Naming someone costs at least their name and a separator, which bounds
  // how many could fit before any text is made.
  std::size_t most = 0;
  std::size_t cost = 0;
  for (const auto& people : kinds) {
    for (const DuePerson* person : people) {
      cost += person->name.size() + 1;
      if (cost > maxChars + 1) break;
      ++most;
    }
    if (cost > maxChars + 1) break;
  }
  for (std::size_t named = most + 1; named-- > 0;) {
    std::wstring text = Compose(kinds, named);
    if (text.size() <= maxChars) return text;
  }
  std::wstring all = Count(static_cast<std::int64_t>(due.size()), L"person", L"people") +
                     (due.size() == 1 ? L" is due." : L" are due.");
  return all.size() <= maxChars ? all : std::wstring();
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
