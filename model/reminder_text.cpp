// The once-a-day notification's words.
#include <algorithm>
#include <array>
#include <unordered_map>

#include "model/reminders.h"

namespace {

int Rank(Due due) { return due == Due::Overdue ? 0 : (due == Due::Today ? 1 : 2); }

std::wstring Count(std::int64_t count, const wchar_t* one, const wchar_t* many) {
  return std::to_wstring(count) + L" " + (count == 1 ? one : many);
}

// The people of each kind, in the order given: overdue, today, soon.
using Kinds = std::array<std::vector<const DuePerson*>, 3>;
// The dates of the people named with them, by contact id.
using DatesOf = std::unordered_map<std::int32_t, std::vector<const UpcomingDate*>>;

struct Parts {
  Kinds kinds;
  DatesOf withPeople;
  std::vector<const UpcomingDate*> alone;  // dates of people not due
};

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

std::wstring YearsInBrackets(const UpcomingDate& date) {
  const std::wstring years = YearsText(date);
  return years.empty() ? years : L" (" + years + L")";
}

// "; birthday tomorrow (turns 47), name day in 3 days"; "" without dates.
std::wstring DatesClause(const DatesOf& withPeople, std::int32_t id) {
  const auto found = withPeople.find(id);
  if (found == withPeople.end()) return {};
  std::wstring clause;
  for (const UpcomingDate* date : found->second)
    clause += (clause.empty() ? L"; " : L", ") + date->date.label + L" " + WhenText(date->days) +
              YearsInBrackets(*date);
  return clause;
}

// The text naming the first `named` people of all kinds and then dates, and
// counting the rest.
std::wstring Compose(const Parts& parts, std::size_t named) {
  std::wstring text;
  const auto sentence = [&text](const std::wstring& words) {
    if (!text.empty()) text += L' ';
    text += words;
  };
  std::size_t left = named;
  for (std::size_t kind = 0; kind < parts.kinds.size(); ++kind) {
    const std::vector<const DuePerson*>& people = parts.kinds[kind];
    const std::size_t n = std::min(left, people.size());
    const std::size_t rest = people.size() - n;
    left -= n;
    if (people.empty()) continue;
    if (kind == 0) {
      // Each overdue person has a number of their own.
      for (std::size_t i = 0; i < n; ++i)
        sentence(people[i]->name + L" is " + Count(people[i]->days, L"day", L"days") + L" overdue" +
                 DatesClause(parts.withPeople, people[i]->id) + L".");
      if (rest > 0)
        sentence(
            (n > 0 ? std::to_wstring(rest) + L" more" : Count(static_cast<std::int64_t>(rest), L"person", L"people")) +
            (rest == 1 ? L" is overdue." : L" are overdue."));
      continue;
    }
    const wchar_t* when = kind == 1 ? L"due today" : L"due soon";
    // Someone with a date has a sentence of their own; the others share one.
    std::vector<const DuePerson*> listed;
    for (std::size_t i = 0; i < n; ++i) {
      const std::wstring dates = DatesClause(parts.withPeople, people[i]->id);
      if (dates.empty())
        listed.push_back(people[i]);
      else
        sentence(people[i]->name + L" is " + when + dates + L".");
    }
    const std::size_t sharing = listed.size() + rest;
    if (sharing == 0) continue;
    const std::wstring who = !listed.empty() ? NameList(listed, listed.size(), rest)
                                             : Count(static_cast<std::int64_t>(rest), L"person", L"people");
    sentence(who + (sharing == 1 ? L" is " : L" are ") + when + L".");
  }
  const std::size_t n = std::min(left, parts.alone.size());
  for (std::size_t i = 0; i < n; ++i) {
    const UpcomingDate& date = *parts.alone[i];
    sentence(date.name + L"'s " + date.date.label + L" is " + WhenText(date.days) + YearsInBrackets(date) + L".");
  }
  const std::size_t rest = parts.alone.size() - n;
  if (rest > 0)
    sentence((n > 0 ? std::to_wstring(rest) + L" more " + (rest == 1 ? L"date" : L"dates")
                    : Count(static_cast<std::int64_t>(rest), L"date", L"dates")) +
             (rest == 1 ? L" is coming up." : L" are coming up."));
  return text;
}

std::wstring Fits(std::wstring text, std::size_t maxChars) { return text.size() <= maxChars ? text : std::wstring(); }

}  // namespace

std::wstring ReminderText(const std::vector<DuePerson>& due, std::size_t maxChars) {
  return ReminderText(due, {}, maxChars);
}

std::wstring ReminderText(const std::vector<DuePerson>& due, const std::vector<UpcomingDate>& dates,
                          std::size_t maxChars) {
  if (due.empty() && dates.empty()) return {};
  Parts parts;
  for (const DuePerson& person : due) parts.kinds[static_cast<std::size_t>(Rank(person.due))].push_back(&person);
  if (!dates.empty()) {
    std::unordered_map<std::int32_t, bool> isDue;
    for (const DuePerson& person : due) isDue[person.id] = true;
    for (const UpcomingDate& date : dates) {
      if (isDue.count(date.id) != 0)
        parts.withPeople[date.id].push_back(&date);
      else
        parts.alone.push_back(&date);
    }
  }
  // Naming someone costs at least their name and a separator, which bounds
  // how many could fit before any text is made.
  std::size_t most = 0;
  std::size_t cost = 0;
  const auto afford = [&](const std::wstring& name) {
    cost += name.size() + 1;
    if (cost > maxChars + 1) return false;
    ++most;
    return true;
  };
  bool room = true;
  for (const auto& people : parts.kinds)
    for (const DuePerson* person : people)
      if (room) room = afford(person->name);
  for (const UpcomingDate* date : parts.alone)
    if (room) room = afford(date->name);
  for (std::size_t named = most + 1; named-- > 0;) {
    std::wstring text = Compose(parts, named);
    if (text.size() <= maxChars) return text;
  }
  const std::wstring people = due.empty() ? std::wstring()
                                          : Count(static_cast<std::int64_t>(due.size()), L"person", L"people") +
                                                (due.size() == 1 ? L" is due." : L" are due.");
  const std::wstring alone = parts.alone.empty() ? std::wstring() : Compose(Parts{{}, {}, parts.alone}, 0);
  if (!people.empty() && !alone.empty()) {
    std::wstring both = Fits(people + L" " + alone, maxChars);
    if (!both.empty()) return both;
  }
  std::wstring text = Fits(people, maxChars);
  return text.empty() ? Fits(alone, maxChars) : text;
}
