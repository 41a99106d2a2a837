#pragma once
// What an import will do, shown before it is done, and doing it. The preview
// lists plan.people with their ticks; ApplyImport adds the ticked ones.
#include <cstdint>
#include <string>
#include <vector>

#include "interchange/person.h"
#include "model/contacts.h"
#include "model/groups.h"
#include "model/journal.h"

namespace interchange {

struct ImportOptions {
  // The group for people whose file names none: an existing group or a new one.
  std::wstring groupForUngrouped = L"Imported";
  // The interval for new contacts that bring none and whose group has no default.
  IntervalUnit unit = Weeks;
  std::int32_t count = 4;
  // The picture groups created by the import start with (may be empty).
  std::wstring newGroupPicture;
};

struct PlannedPerson {
  Person person;
  std::wstring group;  // the group they will go into, as it is or will be named
  IntervalUnit unit = Days;
  std::int32_t count = 0;
  // Same name, ignoring letter case, an e-mail address (ignoring case) or a
  // phone number's digits as a contact already here or as someone earlier in
  // the files; such people start unticked.
  bool duplicate = false;
};

struct Plan {
  std::vector<PlannedPerson> people;
  std::vector<std::wstring> groupsToCreate;  // in the order they are first needed
  ImportOptions options;
};

// The journal, when given, holds the addresses and numbers of the contacts already here.
Plan PlanImport(std::vector<Person> people, const Groups& groups, const Contacts& contacts,
                const ImportOptions& options, const Journal* journal = nullptr);

// The preview's starting ticks: everyone but the duplicates.
std::vector<bool> DefaultTicks(const Plan& plan);

struct ImportOutcome {
  int added = 0;
  int skipped = 0;            // unticked
  int duplicatesLeftOut = 0;  // unticked and marked as already here
  int groupsUsed = 0;         // groups the added people went into
  std::vector<std::wstring> groupsCreated;
  std::vector<Problem> problems;  // pictures that could not be written
};

// Creates the groups the ticked people need and adds them as contacts (a person
// with no known last contact counts as contacted at now). Pictures are written
// as files of their own type into imagesFolder/contacts, under names of their
// own; a picture that cannot be written leaves the contact without one. The
// people's phones, addresses, dates and kept properties go into journal when
// one is given.
ImportOutcome ApplyImport(const Plan& plan, const std::vector<bool>& ticked, Groups& groups, Contacts& contacts,
                          const std::wstring& imagesFolder, Time now, Journal* journal = nullptr);

// "Imported 42 people into 3 groups. 5 people already here were left out."
std::wstring ImportSummary(const ImportOutcome& outcome);

}  // namespace interchange
