// The import plan and its application, the notes' RTF both ways, and the round
// trip: everyone exported, then imported into empty collections.
#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <string>

#include "interchange/csv_reader.h"
#include "interchange/csv_writer.h"
#include "interchange/import_plan.h"
#include "interchange/iso_time.h"
#include "interchange/notes_text.h"
#include "interchange/vcard_reader.h"
#include "interchange/vcard_writer.h"
#include "model/messages.h"
#include "model/platform.h"
#include "tests/common/archive_files.h"
#include "tests/common/message_recorder.h"

namespace interchange {
namespace {

constexpr Time kNow = 1750000000;
const std::string kPng = std::string("\x89PNG\r\n\x1a\n\0\0\0\rIHDR", 16) + std::string(300, '\x42');
const std::string kGif = "GIF89a" + std::string(50, '\x07');

Person Named(const std::wstring& name, const std::wstring& group = L"") {
  Person person;
  person.name = name;
  person.group = group;
  person.file = L"in.vcf";
  person.line = 7;
  return person;
}

TEST(ImportPlan, MarksDuplicatesAndChoosesGroupsAndIntervals) {
  Groups groups;
  groups.Add(L"Friends", L"", Months, 3);
  groups.Add(L"Work", L"", Days, 0);
  Contacts contacts;
  contacts.Add(L"Ann Lee", L"", Days, 1, kNow, L"", 1);
  std::vector<Person> people = {Named(L"ANN LEE", L"friends"), Named(L"Bob"), Named(L"bob", L"Work"),
                                Named(L"Cy", L"Climbing"), Named(L"Di", L"climbing")};
  people[1].unit = Days;
  people[1].count = 9;
  ImportOptions options;
  options.groupForUngrouped = L"Imported";
  options.unit = Weeks;
  options.count = 2;
  const Plan plan = PlanImport(people, groups, contacts, options);
  ASSERT_EQ(plan.people.size(), 5u);
  EXPECT_TRUE(plan.people[0].duplicate);  // already here, letter case aside
  EXPECT_FALSE(plan.people[1].duplicate);
  EXPECT_TRUE(plan.people[2].duplicate);        // the same as someone earlier in the files
  EXPECT_EQ(plan.people[0].group, L"Friends");  // the existing group's own spelling
  EXPECT_EQ(plan.people[1].group, L"Imported");
  EXPECT_EQ(plan.people[4].group, L"Climbing");
  EXPECT_EQ(plan.groupsToCreate, (std::vector<std::wstring>{L"Imported", L"Climbing"}));
  // The person's own interval, else the group's default, else the chosen one.
  EXPECT_EQ(plan.people[1].unit, Days);
  EXPECT_EQ(plan.people[1].count, 9);
  EXPECT_EQ(plan.people[0].unit, Months);
  EXPECT_EQ(plan.people[0].count, 3);
  EXPECT_EQ(plan.people[2].unit, Weeks);
  EXPECT_EQ(plan.people[2].count, 2);
  EXPECT_EQ(DefaultTicks(plan), (std::vector<bool>{false, true, false, true, true}));
}

TEST(ImportPlan, ApplyAddsTickedPeopleWithGroupsPicturesAndNotes) {
  testfiles::TempFolder folder;
  Groups groups;
  groups.Add(L"Friends", L"", Days, 0);
  Contacts contacts;
  std::vector<Person> people = {Named(L"Ann/Lee?", L"Friends"), Named(L"Ann/Lee?", L"Climbing"), Named(L"Cy", L"Chess"),
                                Named(L"con")};
  people[0].picture = kPng;
  people[0].pictureType = "png";
  people[0].notes = L"Caf\u00E9 {weekly}";
  people[0].extras = {L"Phone: +1 555", L"Birthday: 12 May 1980"};
  people[1].picture = kGif;
  people[1].pictureType = "gif";
  people[1].lastContacted = kNow - 100;
  people[1].previousContacted = kNow - 900;
  people[3].picture = kPng;
  people[3].pictureType = "png";
  ImportOptions options;
  options.newGroupPicture = L"default.png";
  const Plan plan = PlanImport(people, groups, contacts, options);
  std::vector<bool> ticks = DefaultTicks(plan);
  ticks[1] = true;  // the user keeps the second Ann after all
  ticks[2] = false;
  const ImportOutcome outcome = ApplyImport(plan, ticks, groups, contacts, folder.path(), kNow);
  EXPECT_EQ(outcome.added, 3);
  EXPECT_EQ(outcome.skipped, 1);
  EXPECT_EQ(outcome.groupsUsed, 3);
  EXPECT_EQ(outcome.groupsCreated,
            (std::vector<std::wstring>{L"Climbing", L"Imported"}));  // not Chess: nobody went there
  EXPECT_TRUE(outcome.problems.empty());
  ASSERT_EQ(groups.items.size(), 3u);
  EXPECT_EQ(groups.items[1]->imagePath, L"default.png");
  ASSERT_EQ(contacts.items.size(), 3u);
  const Contact& ann = *contacts.items[0];
  EXPECT_EQ(ann.groupId, groups.items[0]->id);
  EXPECT_EQ(ann.lastContacted, kNow);  // unknown: contacted now, so never overdue
  EXPECT_EQ(ann.previousContacted, kNow);
  EXPECT_FALSE(ann.IsExpired(kNow));
  EXPECT_NE(ann.notes.find(L"Caf\\u233?"), std::wstring::npos);
  EXPECT_NE(ann.notes.find(L"\\{weekly\\}"), std::wstring::npos);
  EXPECT_EQ(NotesPlainText(ann.notes), L"Caf\u00E9 {weekly}\n\nPhone: +1 555\nBirthday: 12 May 1980");
  const Contact& second = *contacts.items[1];
  EXPECT_EQ(second.lastContacted, kNow - 100);
  EXPECT_EQ(second.previousContacted, kNow - 900);
  // Each picture a file of its own type and name, inside images/contacts.
  const std::wstring pictures = folder.path() + platform::PathSeparator() + L"contacts" + platform::PathSeparator();
  EXPECT_EQ(ann.imagePath, pictures + L"Ann_Lee_.png");
  EXPECT_EQ(second.imagePath, pictures + L"Ann_Lee_.gif");
  EXPECT_EQ(testfiles::ReadBytes(ann.imagePath), kPng);
  EXPECT_EQ(testfiles::ReadBytes(second.imagePath), kGif);
  EXPECT_EQ(contacts.items[2]->imagePath, pictures + L"con_.png");  // not the console device on Windows

  // The same names again get names of their own, and the summary tells it all.
  const ImportOutcome again = ApplyImport(plan, std::vector<bool>(4, true), groups, contacts, folder.path(), kNow);
  EXPECT_EQ(contacts.items[3]->imagePath, pictures + L"Ann_Lee_ (2).png");
  EXPECT_EQ(testfiles::ReadBytes(contacts.items[3]->imagePath), kPng);
  EXPECT_TRUE(again.groupsCreated.size() == 1u && again.groupsCreated[0] == L"Chess");
  EXPECT_EQ(ImportSummary(outcome), L"Imported 3 people into 3 groups.");
  ImportOutcome left = outcome;
  left.duplicatesLeftOut = 5;
  EXPECT_EQ(ImportSummary(left), L"Imported 3 people into 3 groups. 5 people already here were left out.");
}

TEST(ImportPlan, EveryFieldIsSetBeforeTheContactIsAnnounced) {
  testfiles::TempFolder folder;
  Groups groups;
  groups.Add(L"Friends", L"", Days, 0);
  Contacts contacts;
  MessageRecorder recorder;
  contacts.notifyWindow = recorder.window();
  std::vector<Time> announced;
  // The receiver adds someone of its own inside the first announcement, so the
  // imported contact is no longer the last one listed.
  recorder.OnMessage([&](MessageId message, MessageParam wParam) {
    if (message != WM_CONTACT_ADDED) return;
    announced.push_back(reinterpret_cast<const Contact*>(wParam)->previousContacted);
    if (contacts.items.size() == 1) contacts.Add(L"Echo", L"", Days, 1, kNow, L"", 1);
  });
  std::vector<Person> people = {Named(L"Ann", L"Friends")};
  people[0].lastContacted = kNow - 100;
  people[0].previousContacted = kNow - 900;
  const Plan plan = PlanImport(people, groups, contacts, ImportOptions{});
  ApplyImport(plan, DefaultTicks(plan), groups, contacts, folder.path(), kNow);
  ASSERT_EQ(contacts.items.size(), 2u);
  EXPECT_EQ(announced, (std::vector<Time>{kNow - 900, kNow}));
  EXPECT_EQ(contacts.items[0]->name, L"Ann");
  EXPECT_EQ(contacts.items[0]->previousContacted, kNow - 900);
  EXPECT_EQ(contacts.items[1]->previousContacted, kNow) << "the receiver's own contact is left alone";
}

TEST(NotesText, RichEditRtfToTextAndBack) {
  const std::wstring rtf =
      L"{\\rtf1\\ansi\\ansicpg1252\\deff0{\\fonttbl{\\f0\\fnil\\fcharset0 Tahoma;}{\\f1 Arial;}}\r\n"
      L"{\\colortbl ;\\red255\\green0\\blue0;}{\\*\\generator Riched20 10.0;}\\viewkind4\\uc1\\pard\\f0\\fs16 "
      L"Caf\\'e9 \\b bold\\b0  {\\i nested}\\par\r\n\\u1050?\\u1072?\\tab x\\line y \\{z\\} \\\\ "
      L"{\\pict\\pngblip 89504e47}\\uc2\\u-10179??\\u-8704??\\par\r\n}";
  EXPECT_EQ(NotesPlainText(rtf), L"Caf\u00E9 bold nested\n\u041A\u0430\tx\ny {z} \\ \xD83D\xDE00");
  EXPECT_EQ(NotesPlainText(L"plain, not RTF"), L"plain, not RTF");
  const std::wstring text = L"Line \\ {one}\n\u00C4\u4E2D\xD83D\xDE00\ttab\r\nlast";
  const std::wstring made = NotesRtf(text);
  for (const wchar_t c : made) EXPECT_LT(c, 0x80);
  EXPECT_EQ(NotesPlainText(made), L"Line \\ {one}\n\u00C4\u4E2D\xD83D\xDE00\ttab\nlast");
  EXPECT_EQ(NotesRtf(L""), L"");
  // Deep nesting and cut-off text end quietly.
  EXPECT_EQ(NotesPlainText(L"{\\rtf1 " + std::wstring(100000, L'{') + L"x"), L"");
  EXPECT_EQ(NotesPlainText(L"{\\rtf1 a\\'4"), L"a");
}

TEST(IsoTimes, FullRangeRoundTrips) {
  for (const Time time : {Time{0}, Time{1715524200}, Time{-86401}, Time{253402300800}, std::numeric_limits<Time>::min(),
                          std::numeric_limits<Time>::max()}) {
    EXPECT_EQ(ParseIsoTime(FormatUtc(time)), time) << time;
    EXPECT_EQ(ParseIsoTime(FormatLocal(time)), time) << time;
  }
  EXPECT_EQ(FormatUtc(1715524200), L"2024-05-12T14:30:00Z");
  EXPECT_EQ(FormatUtcBasic(1715524200), L"20240512T143000Z");
  EXPECT_EQ(ParseIsoTime(L"2024-05-12T14:30:00.250-01:30"), 1715524200 + 5400);
  for (const wchar_t* bad : {L"", L"2024-13-01T00:00:00Z", L"2024-05-12T25:00:00Z", L"x", L"2024-05-12T14:30:00Zjunk",
                             L"+999999999999-01-01T00:00:00Z"})
    EXPECT_FALSE(ParseIsoTime(bad).has_value()) << bad;
}

// Everyone exported and imported again into empty collections.
void ExpectRoundTrip(bool vcard) {
  testfiles::TempFolder source(L"source");
  testfiles::TempFolder target(L"target");
  const std::wstring png = source.File(L"ann.png");
  const std::wstring gif = source.File(L"kim.gif");
  testfiles::WriteBytes(png, kPng);
  testfiles::WriteBytes(gif, kGif);
  Groups groups;
  groups.Add(L"Friends, old", L"", Days, 0);
  groups.Add(L"Fam\u00EDlia; \u5BB6\u65CF", L"", Weeks, 2);
  Contacts contacts;
  contacts.Add(L"Ann Lee", png, Weeks, 2, 1715524200, NotesRtf(L"Caf\u00E9, jazz; \\ {x}\nsecond line"), 1);
  contacts.Add(L"\u5C71\u7530 \xD83D\xDE00", gif, Months, 1, 1600000000, L"", 2);
  contacts.Add(L"Bob \"the\" Builder", L"/missing/picture.png", Days, 10, kNow - 30 * 86400, L"plain old notes", 1);
  contacts.items[0]->previousContacted = 1714550400;
  contacts.items[1]->previousContacted = 1500000000;
  ExportOptions options;
  options.now = kNow;
  const std::string bytes = vcard ? WriteVCards(contacts, groups, options) : WriteCsv(contacts, groups, options);
  const ReadResult read = vcard ? ReadVCards(bytes, L"all.vcf") : ReadCsv(bytes, L"all.csv");
  ASSERT_TRUE(read.error.empty());
  ASSERT_TRUE(read.problems.empty());
  Groups newGroups;
  Contacts newContacts;
  const Plan plan = PlanImport(read.people, newGroups, newContacts, ImportOptions());
  const ImportOutcome outcome = ApplyImport(plan, std::vector<bool>(plan.people.size(), true), newGroups, newContacts,
                                            target.path(), kNow + 5);
  EXPECT_EQ(outcome.added, 3);
  ASSERT_EQ(newGroups.items.size(), 2u);
  EXPECT_EQ(newGroups.items[0]->name, L"Friends, old");
  EXPECT_EQ(newGroups.items[1]->name, L"Fam\u00EDlia; \u5BB6\u65CF");
  ASSERT_EQ(newContacts.items.size(), 3u);
  for (std::size_t i = 0; i < 3; ++i) {
    const Contact& was = *contacts.items[i];
    const Contact& now = *newContacts.items[i];
    SCOPED_TRACE(i);
    EXPECT_EQ(now.name, was.name);
    EXPECT_EQ(now.groupId, was.groupId);
    EXPECT_EQ(now.unit, was.unit);
    EXPECT_EQ(now.count, was.count);
    EXPECT_EQ(now.lastContacted, was.lastContacted);
    EXPECT_EQ(now.previousContacted, was.previousContacted);
    EXPECT_EQ(NotesPlainText(now.notes), NotesPlainText(was.notes));
  }
  EXPECT_EQ(testfiles::ReadBytes(newContacts.items[0]->imagePath), kPng);
  EXPECT_EQ(testfiles::ReadBytes(newContacts.items[1]->imagePath), kGif);
  EXPECT_TRUE(newContacts.items[2]->imagePath.empty());  // its picture file was gone
  EXPECT_NE(newContacts.items[0]->imagePath.find(target.path()), std::wstring::npos);
}

TEST(RoundTrip, VCardGivesBackEveryone) { ExpectRoundTrip(true); }

TEST(RoundTrip, CsvGivesBackEveryone) { ExpectRoundTrip(false); }

TEST(Export, OneGroupCsvColumnsAndStatus) {
  Groups groups;
  groups.Add(L"Friends", L"", Days, 0);
  groups.Add(L"Work", L"", Days, 0);
  Contacts contacts;
  contacts.Add(L"Late", L"", Days, 3, kNow - 5 * 86400, L"", 1);
  contacts.Add(L"Soon", L"", Days, 10, kNow - 9 * 86400, L"", 1);
  contacts.Add(L"Fine", L"", Days, 30, kNow, L"", 1);
  contacts.Add(L"Elsewhere", L"", Days, 3, kNow, L"", 2);
  ExportOptions options;
  options.now = kNow;
  options.groupId = 1;
  const std::string csv = WriteCsv(contacts, groups, options);
  EXPECT_EQ(
      csv.rfind(
          "\xEF\xBB\xBFName,Group,Every,Unit,Last contacted,Previous contacted,Status,Days left,Notes,Picture\r\n", 0),
      0u);
  EXPECT_NE(csv.find(",Overdue,-2,"), std::string::npos);
  EXPECT_NE(csv.find(",Due soon,1,"), std::string::npos);
  EXPECT_NE(csv.find(",In time,30,"), std::string::npos);
  EXPECT_EQ(csv.find("Elsewhere"), std::string::npos);
  const std::string vcf = WriteVCards(contacts, groups, options);
  EXPECT_NE(vcf.find("BEGIN:VCARD\r\nVERSION:4.0\r\nFN:Late\r\nN:;Late;;;\r\nCATEGORIES:Friends\r\nREV:"),
            std::string::npos);
  EXPECT_NE(vcf.find("X-AMICORD-INTERVAL:3;days\r\n"), std::string::npos);
  EXPECT_EQ(vcf.find("Elsewhere"), std::string::npos);
  for (std::size_t start = 0, end; (end = vcf.find("\r\n", start)) != std::string::npos; start = end + 2)
    EXPECT_LE(end - start, 75u);
}

}  // namespace
}  // namespace interchange
