#include "interchange/import_plan.h"

#include <cstdio>
#include <map>
#include <set>

#include "interchange/imported_path.h"
#include "interchange/notes_text.h"
#include "interchange/person_fields.h"
#include "interchange/picture_file.h"
#include "interchange/same_person.h"
#include "model/file_system.h"

namespace interchange {

Plan PlanImport(std::vector<Person> people, const Groups& groups, const Contacts& contacts,
                const ImportOptions& options, const Journal* journal) {
  Plan plan;
  plan.options = options;
  std::map<std::wstring, const Group*, NoCaseLess> existingGroups;
  for (const Groups::Item& group : groups)
    if (group) existingGroups.emplace(group->name, group.get());
  std::set<std::wstring, NoCaseLess> names;
  std::set<std::wstring> reaches;
  std::vector<std::wstring> keys;
  for (const Contacts::Item& contact : contacts) {
    if (!contact) continue;
    names.insert(contact->name);
    if (!journal) continue;
    ReachKeys(journal->Details(contact->id), keys);
    reaches.insert(keys.begin(), keys.end());
  }
  std::set<std::wstring, NoCaseLess> newGroups;
  plan.people.reserve(people.size());
  for (Person& person : people) {
    PlannedPerson planned;
    planned.duplicate = !names.insert(person.name).second;
    ReachKeys(person.details, keys);
    for (std::wstring& key : keys)
      if (!reaches.insert(std::move(key)).second) planned.duplicate = true;
    planned.group = person.group.empty() ? options.groupForUngrouped : person.group;
    const auto existing = existingGroups.find(planned.group);
    const Group* group = existing == existingGroups.end() ? nullptr : existing->second;
    if (group) {
      planned.group = group->name;
    } else if (const auto created = newGroups.find(planned.group); created != newGroups.end()) {
      planned.group = *created;
    } else {
      newGroups.insert(planned.group);
      plan.groupsToCreate.push_back(planned.group);
    }
    if (person.unit && person.count) {
      planned.unit = *person.unit;
      planned.count = *person.count;
    } else if (group && group->count != 0) {
      planned.unit = group->unit;
      planned.count = group->count;
    } else {
      planned.unit = options.unit;
      planned.count = options.count;
    }
    planned.person = std::move(person);
    plan.people.push_back(std::move(planned));
  }
  return plan;
}

std::vector<bool> DefaultTicks(const Plan& plan) {
  std::vector<bool> ticks;
  for (const PlannedPerson& planned : plan.people) ticks.push_back(!planned.duplicate);
  return ticks;
}

ImportOutcome ApplyImport(const Plan& plan, const std::vector<bool>& ticked, Groups& groups, Contacts& contacts,
                          const std::wstring& imagesFolder, Time now, Journal* journal) {
  ImportOutcome outcome;
  std::map<std::wstring, std::int32_t, NoCaseLess> groupIds;
  for (const Groups::Item& group : groups)
    if (group) groupIds.emplace(group->name, group->id);
  std::set<std::int32_t> used;
  const std::wstring pictureFolder = imagesFolder + platform::PathSeparator() + L"contacts";
  for (std::size_t i = 0; i < plan.people.size(); ++i) {
    const PlannedPerson& planned = plan.people[i];
    const Person& person = planned.person;
    if (i >= ticked.size() || !ticked[i]) {
      ++outcome.skipped;
      if (planned.duplicate) ++outcome.duplicatesLeftOut;
      continue;
    }
    auto group = groupIds.find(planned.group);
    if (group == groupIds.end()) {
      Groups::Item added;
      if (!groups.AddAndGet(planned.group, plan.options.newGroupPicture, Days, 0, added) || !added) {
        outcome.problems.push_back(
            {person.file, person.line, L"The group \"" + planned.group + L"\" could not be made."});
        continue;
      }
      outcome.groupsCreated.push_back(added->name);
      group = groupIds.emplace(added->name, added->id).first;
    }
    std::string picture = person.picture;
    std::string type = person.pictureType;
    if (picture.empty() && ClassifyImportedPath(person.picturePath) != ImportedPath::Elsewhere)
      ReadPicture(person.picturePath, picture, type);
    std::wstring imagePath;
    if (!picture.empty() && !type.empty()) {
      imagePath = WritePictureFile(picture, type, pictureFolder, person.name);
      if (imagePath.empty())
        outcome.problems.push_back(
            {person.file, person.line, L"The picture could not be saved: " + files::LastError()});
    }
    const Time last = person.lastContacted.value_or(now);
    Contacts::Item contact(new Contact(0, person.name, imagePath, planned.unit, planned.count, last,
                                       NotesRtf(NotesWithExtras(person)), group->second));
    contact->previousContacted = person.previousContacted.value_or(last);
    contacts.Insert(contact);
    if (journal && !person.details.Empty()) journal->SetDetails(contact->id, person.details);
    used.insert(group->second);
    ++outcome.added;
  }
  outcome.groupsUsed = static_cast<int>(used.size());
  return outcome;
}

std::wstring ImportSummary(const ImportOutcome& outcome) {
  const auto people = [](int n) { return std::to_wstring(n) + (n == 1 ? L" person" : L" people"); };
  std::wstring text = L"Imported " + people(outcome.added) + L" into " + std::to_wstring(outcome.groupsUsed) +
                      (outcome.groupsUsed == 1 ? L" group." : L" groups.");
  if (outcome.duplicatesLeftOut > 0)
    text += L" " + people(outcome.duplicatesLeftOut) +
            (outcome.duplicatesLeftOut == 1 ? L" already here was left out." : L" already here were left out.");
  return text;
}

}  // namespace interchange
