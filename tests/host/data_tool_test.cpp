// amicord-data's JSON form: every field and every character survives the trip
// files -> JSON text -> files, and bad input is named precisely.
#include <gtest/gtest.h>

#include <limits>
#include <utility>

#include "model/engine.h"
#include "tests/common/archive_files.h"
#include "tools/data_json.h"

using datatool::Json;
using namespace testfiles;

TEST(DataTool, TextSurvivesTheWayThroughJsonCharacterForCharacter) {
  const std::wstring text = std::wstring(L"q\"b\\s/\b\f\n\r\t\x01\x1F\x7F") + L"\x00E9\x041A\x0A0A\xFFFF" +
                            L"\xD83D\xDE00" + std::wstring(1, L'\0') + L"end";
  const std::string dumped = Json(datatool::ToUtf8(text)).dump();
  EXPECT_EQ(datatool::FromUtf8(Json::parse(dumped).get<std::string>()), text);
  // Control characters are escaped, never raw.
  for (const char c : dumped) EXPECT_GE(static_cast<unsigned char>(c), 0x20u);
  // Half a surrogate pair cannot be JSON text: it becomes U+FFFD.
  EXPECT_EQ(datatool::ToUtf8(std::wstring(1, static_cast<wchar_t>(0xD800)) + L"x"), "\xEF\xBF\xBDx");
}

TEST(DataTool, DumpAndWriteRoundTripEveryField) {
  TempFolder folder;
  datatool::DataSet data;
  data.groups.lastId = 4;
  data.groups.items.emplace_back(new Group(4, L"Fam\x00EDlia \"x\"", L"C:\\g.png", static_cast<IntervalUnit>(7), -3));
  data.contacts.lastId = std::numeric_limits<std::int32_t>::max();
  data.contacts.items.emplace_back(new Contact(9, L"\x041A\x0438\x0440\x0430", L"", Months, 2,
                                               std::numeric_limits<std::int64_t>::min(), L"{\\rtf1\r\n}\t", 4));
  data.contacts.items[0]->previousContacted = std::numeric_limits<std::int64_t>::max();
  data.options.autoStart = false;
  data.options.windowX = -32000;
  data.options.minimizeToTray = false;
  data.groupsStatus = data.contactsStatus = data.optionsStatus = FileStatus::Ok;
  const Json first = datatool::ToJson(data);

  datatool::DataSet parsed;
  datatool::FromJson(Json::parse(first.dump()), parsed);
  Engine engine(folder.path());
  engine.groups->items = parsed.groups.items;
  engine.groups->lastId = parsed.groups.lastId;
  engine.contacts->items = parsed.contacts.items;
  engine.contacts->lastId = parsed.contacts.lastId;
  *engine.options = parsed.options;
  ASSERT_TRUE(engine.Save());

  datatool::DataSet back;
  back.groupsStatus = ReadArchive(engine.groupsPath, back.groups);
  back.contactsStatus = ReadArchive(engine.contactsPath, back.contacts);
  back.optionsStatus = ReadArchive(engine.optionsPath, back.options);
  EXPECT_EQ(datatool::ToJson(back), first);
  EXPECT_EQ(first["contacts"]["items"][0]["lastContacted"].get<std::int64_t>(),
            std::numeric_limits<std::int64_t>::min());
  EXPECT_EQ(first["groups"]["items"][0]["unit"].get<int>(), 7);
  EXPECT_EQ(first["options"]["status"].get<std::string>(), "ok");
}

TEST(DataTool, BadInputNamesThePlace) {
  const auto problem = [](const std::string& text) -> std::string {
    datatool::DataSet data;
    try {
      datatool::FromJson(Json::parse(text), data);
    } catch (const datatool::BadInput& error) {
      return error.what();
    }
    return "accepted";
  };
  const std::string options = R"("options":{"autoStart":true,"warnPercent":75,"warnDays":2,"showLastContacted":false,)"
                              R"("windowX":-1,"windowY":-1,"windowWidth":-1,"windowHeight":-1,"minimizeToTray":true})";
  const std::string groups = R"("groups":{"lastId":0,"items":[]})";
  EXPECT_EQ(problem("{" + groups + R"(,"contacts":{"lastId":0,"items":[]},)" + options + "}"), "accepted");
  EXPECT_EQ(problem("[]"), ": expected an object");
  EXPECT_EQ(problem("{" + groups + "," + options + "}"), "contacts: missing");
  EXPECT_EQ(problem("{" + groups + R"(,"contacts":{"lastId":2147483648,"items":[]},)" + options + "}"),
            "contacts.lastId: out of range");
  EXPECT_EQ(problem("{" + groups + R"(,"contacts":{"lastId":1,"items":[{"id":1}]},)" + options + "}"),
            "contacts.items[0].name: missing");
  EXPECT_EQ(problem(R"({"groups":{"lastId":0,"items":[{"id":1,"name":2}]}})"),
            "groups.items[0].name: expected a string");
  EXPECT_EQ(problem(R"({"groups":{"lastId":"1","items":[]}})"), "groups.lastId: expected an integer");
}

TEST(DataTool, TheJournalMemberRoundTripsAndIsCheckedLikeTheOthers) {
  const Json input = Json::parse(R"({
    "groups": {"lastId": 0, "items": []},
    "contacts": {"lastId": 5, "items": [{"id": 5, "name": "Ann", "imagePath": "", "unit": 0, "count": 7,
      "lastContacted": 1700000000, "previousContacted": 1690000000, "notes": "", "groupId": -1}]},
    "options": {"autoStart": false, "warnPercent": 75, "warnDays": 2, "showLastContacted": true, "windowX": 0,
      "windowY": 0, "windowWidth": 400, "windowHeight": 500, "minimizeToTray": true},
    "journal": {"status": "ok", "contacts": [{"id": 5, "snoozedUntil": 1800000000, "entries": [
      {"time": 1700000000, "text": "Lunch \u041a"}, {"time": 1690000000, "text": ""}]}],
      "reminders": {"enabled": false, "at": 1439, "lastRemindedDay": "2026-12-08"}}})");
  datatool::DataSet parsed;
  datatool::FromJson(input, parsed);
  ASSERT_TRUE(parsed.hasJournal);
  TempFolder folder;
  const std::wstring path = folder.File(L"journal.dat");
  ASSERT_TRUE(SaveArchive(path, parsed.journal));
  datatool::DataSet back;
  back.journalStatus = ReadArchive(path, back.journal);
  const Json journal = datatool::ToJson(back)["journal"];
  // A record without details gets empty lists, the settings without lead days the default.
  Json expected = input["journal"];
  for (const char* list : {"phones", "emails", "dates", "kept"}) expected["contacts"][0][list] = Json::array();
  expected["reminders"]["dateLeadDays"] = 3;
  expected["reminders"]["datesNamed"] = Json::array();
  EXPECT_EQ(journal, expected);

  // Without the member there is no journal to write; a bad one names its place.
  Json without = input;
  without.erase("journal");
  datatool::DataSet none;
  datatool::FromJson(without, none);
  EXPECT_FALSE(none.hasJournal);
  Json unordered = input;
  unordered["journal"]["contacts"][0]["entries"][1]["time"] = 1710000000;
  datatool::DataSet bad;
  try {
    datatool::FromJson(unordered, bad);
    ADD_FAILURE() << "entries out of order were taken";
  } catch (const datatool::BadInput& error) {
    EXPECT_EQ(std::string(error.what()), "journal.contacts[0].entries[1].time: entries go newest first");
  }

  // The reminder settings: the defaults without the member, each bad value named.
  Json older = input;
  older["journal"].erase("reminders");
  datatool::DataSet defaults;
  defaults.journal.state.reminders.enabled = false;
  datatool::FromJson(older, defaults);
  EXPECT_EQ(defaults.journal.state.reminders, ReminderSettings{});
  const std::pair<const char*, Json> refused[] = {
      {"journal.reminders.at: out of range", {{"enabled", true}, {"at", 1440}, {"lastRemindedDay", ""}}},
      {"journal.reminders.at: out of range", {{"enabled", true}, {"at", -1}, {"lastRemindedDay", ""}}},
      {"journal.reminders.enabled: expected true or false", {{"enabled", 1}, {"at", 0}, {"lastRemindedDay", ""}}},
      {"journal.reminders.lastRemindedDay: expected a date YYYY-MM-DD or \"\"",
       {{"enabled", true}, {"at", 0}, {"lastRemindedDay", "2026-02-30"}}},
      {"journal.reminders.lastRemindedDay: missing", {{"enabled", true}, {"at", 0}}},
  };
  for (const auto& [message, reminders] : refused) {
    Json wrong = input;
    wrong["journal"]["reminders"] = reminders;
    datatool::DataSet rejected;
    try {
      datatool::FromJson(wrong, rejected);
      ADD_FAILURE() << "taken: " << reminders.dump();
    } catch (const datatool::BadInput& error) {
      EXPECT_EQ(std::string(error.what()), message);
    }
  }
}

TEST(DataTool, TheContactsDetailsAndDateLeadRoundTripAndAreChecked) {
  const Json input = Json::parse(R"({
    "groups": {"lastId": 0, "items": []},
    "contacts": {"lastId": 5, "items": [{"id": 5, "name": "Ann", "imagePath": "", "unit": 0, "count": 7,
      "lastContacted": 1700000000, "previousContacted": 1690000000, "notes": "", "groupId": -1}]},
    "options": {"autoStart": false, "warnPercent": 75, "warnDays": 2, "showLastContacted": true, "windowX": 0,
      "windowY": 0, "windowWidth": 400, "windowHeight": 500, "minimizeToTray": true},
    "journal": {"status": "ok", "contacts": [{"id": 5, "snoozedUntil": 0, "entries": [],
      "phones": [{"label": "mobile", "number": "+49 170 1234567"}],
      "emails": [{"label": "home", "address": "anna@example.org"}],
      "dates": [{"label": "birthday", "month": 2, "day": 29, "year": 0},
                {"label": "name day", "month": 12, "day": 9, "year": 2001}],
      "kept": [{"line": "item1.URL:https://example.org"}, {"column": "Website", "value": "https://e.org"}]}],
      "reminders": {"enabled": true, "at": 540, "lastRemindedDay": "", "dateLeadDays": 30,
                    "datesNamed": ["2026-12-09 D 5 name day"]}}})");
  datatool::DataSet parsed;
  datatool::FromJson(input, parsed);
  EXPECT_EQ(parsed.journal.Details(5).dates[0].month, 2);
  TempFolder folder;
  const std::wstring path = folder.File(L"journal.dat");
  ASSERT_TRUE(SaveArchive(path, parsed.journal));
  datatool::DataSet back;
  back.journalStatus = ReadArchive(path, back.journal);
  EXPECT_EQ(datatool::ToJson(back)["journal"], input["journal"]);

  const std::pair<const char*, Json> refused[] = {
      {"journal.contacts[0].dates[0]: no such day",
       Json::parse(R"({"dates": [{"label": "x", "month": 2, "day": 30, "year": 0}]})")},
      {"journal.contacts[0].dates[1]: a second birthday",
       Json::parse(R"({"dates": [{"label": "birthday", "month": 1, "day": 1, "year": 0},
                                 {"label": "birthday", "month": 1, "day": 2, "year": 0}]})")},
      {"journal.contacts[0].dates[0].month: out of range",
       Json::parse(R"({"dates": [{"label": "x", "month": 13, "day": 1, "year": 0}]})")},
      {"journal.contacts[0].phones[0].number: missing", Json::parse(R"({"phones": [{"label": "home"}]})")},
      {"journal.contacts[0].emails: expected an array", Json::parse(R"({"emails": {}})")},
      {"journal.contacts[0].kept[0].column: missing", Json::parse(R"({"kept": [{"text": "x"}]})")},
      {"journal.contacts[0].phones[0].label: longer than 256 characters",
       Json{{"phones", Json::array({{{"label", std::string(257, 'l')}, {"number", "1"}}})}}},
  };
  for (const auto& [message, details] : refused) {
    Json wrong = input;
    Json& record = wrong["journal"]["contacts"][0];
    for (const char* list : {"phones", "emails", "dates", "kept"}) record.erase(list);
    for (const auto& [key, value] : details.items()) record[key] = value;
    datatool::DataSet rejected;
    try {
      datatool::FromJson(wrong, rejected);
      ADD_FAILURE() << "taken: " << details.dump();
    } catch (const datatool::BadInput& error) {
      EXPECT_EQ(std::string(error.what()), message);
    }
  }
  // Reminder state that loading would put back or drop is refused, so a write shows as it was given.
  const std::pair<const char*, Json> refusedReminders[] = {
      {"journal.reminders.dateLeadDays: out of range", Json{{"dateLeadDays", 31}}},
      {"journal.reminders.datesNamed[0]: longer than 288 characters",
       Json{{"datesNamed", Json::array({"2026-12-09 D 5 " + std::string(274, 'x')})}}},
      {"journal.reminders.datesNamed[1]: expected a string",
       Json{{"datesNamed", Json::array({"2026-12-09 D 5 x", 7})}}},
  };
  for (const auto& [message, members] : refusedReminders) {
    Json wrong = input;
    for (const auto& [key, value] : members.items()) wrong["journal"]["reminders"][key] = value;
    datatool::DataSet rejected;
    try {
      datatool::FromJson(wrong, rejected);
      ADD_FAILURE() << "taken: " << members.dump();
    } catch (const datatool::BadInput& error) {
      EXPECT_EQ(std::string(error.what()), message);
    }
  }
}
