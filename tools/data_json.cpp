#include "tools/data_json.h"

#include <cstdint>
#include <limits>
#include <utility>

#include "model/important_dates.h"
#include "tools/sync_json.h"

namespace datatool {

namespace {

constexpr std::uint32_t kReplacement = 0xFFFD;

void AppendUtf8(std::string& out, std::uint32_t c) {
  if (c < 0x80) {
    out += static_cast<char>(c);
  } else if (c < 0x800) {
    out += static_cast<char>(0xC0 | (c >> 6));
    out += static_cast<char>(0x80 | (c & 0x3F));
  } else if (c < 0x10000) {
    out += static_cast<char>(0xE0 | (c >> 12));
    out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (c & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | (c >> 18));
    out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (c & 0x3F));
  }
}

std::string Place(const std::string& where, const char* key) { return where.empty() ? key : where + "." + key; }

const Json& Field(const Json& object, const std::string& where, const char* key) {
  if (!object.is_object()) throw BadInput(where + ": expected an object");
  const auto found = object.find(key);
  if (found == object.end()) throw BadInput(Place(where, key) + ": missing");
  return *found;
}

std::int64_t Integer(const Json& object, const std::string& where, const char* key, std::int64_t low,
                     std::int64_t high) {
  const Json& value = Field(object, where, key);
  if (value.is_number_unsigned()) {
    if (value.get<std::uint64_t>() > static_cast<std::uint64_t>(high))
      throw BadInput(Place(where, key) + ": out of range");
    return static_cast<std::int64_t>(value.get<std::uint64_t>());
  }
  if (!value.is_number_integer()) throw BadInput(Place(where, key) + ": expected an integer");
  const std::int64_t number = value.get<std::int64_t>();
  if (number < low || number > high) throw BadInput(Place(where, key) + ": out of range");
  return number;
}

std::int32_t Int32(const Json& object, const std::string& where, const char* key) {
  return static_cast<std::int32_t>(
      Integer(object, where, key, std::numeric_limits<std::int32_t>::min(), std::numeric_limits<std::int32_t>::max()));
}

std::int64_t Int64(const Json& object, const std::string& where, const char* key) {
  return Integer(object, where, key, std::numeric_limits<std::int64_t>::min(),
                 std::numeric_limits<std::int64_t>::max());
}

bool Bool(const Json& object, const std::string& where, const char* key) {
  const Json& value = Field(object, where, key);
  if (!value.is_boolean()) throw BadInput(Place(where, key) + ": expected true or false");
  return value.get<bool>();
}

std::wstring Text(const Json& object, const std::string& where, const char* key) {
  const Json& value = Field(object, where, key);
  if (!value.is_string()) throw BadInput(Place(where, key) + ": expected a string");
  return FromUtf8(value.get<std::string>());
}

const Json& Items(const Json& section, const std::string& where) {
  const Json& items = Field(section, where, "items");
  if (!items.is_array()) throw BadInput(where + ".items: expected an array");
  return items;
}

}  // namespace

std::string ToUtf8(const std::wstring& units) {
  std::string out;
  out.reserve(units.size());
  for (std::size_t i = 0; i < units.size(); ++i) {
    const std::uint32_t unit = static_cast<std::uint32_t>(units[i]) & 0xFFFF;
    if (unit >= 0xD800 && unit <= 0xDBFF && i + 1 < units.size()) {
      const std::uint32_t next = static_cast<std::uint32_t>(units[i + 1]) & 0xFFFF;
      if (next >= 0xDC00 && next <= 0xDFFF) {
        AppendUtf8(out, 0x10000 + ((unit - 0xD800) << 10) + (next - 0xDC00));
        ++i;
        continue;
      }
    }
    // JSON text cannot carry half a surrogate pair.
    AppendUtf8(out, unit >= 0xD800 && unit <= 0xDFFF ? kReplacement : unit);
  }
  return out;
}

std::wstring FromUtf8(const std::string& text) {
  std::wstring out;
  out.reserve(text.size());
  for (std::size_t i = 0; i < text.size();) {
    const auto lead = static_cast<unsigned char>(text[i]);
    std::uint32_t c = kReplacement;
    std::size_t length = 1;
    if (lead < 0x80) {
      c = lead;
    } else if ((lead >> 5) == 0x6) {
      length = 2;
      c = lead & 0x1F;
    } else if ((lead >> 4) == 0xE) {
      length = 3;
      c = lead & 0x0F;
    } else if ((lead >> 3) == 0x1E) {
      length = 4;
      c = lead & 0x07;
    }
    if (i + length > text.size()) {
      c = kReplacement;
      length = text.size() - i;
    } else {
      for (std::size_t k = 1; k < length; ++k) {
        const auto byte = static_cast<unsigned char>(text[i + k]);
        if ((byte & 0xC0) != 0x80) {
          c = kReplacement;
          length = k;
          break;
        }
        c = (c << 6) | (byte & 0x3F);
      }
    }
    i += length;
    if (c >= 0x10000) {
      c -= 0x10000;
      out += static_cast<wchar_t>(0xD800 + (c >> 10));
      out += static_cast<wchar_t>(0xDC00 + (c & 0x3FF));
    } else {
      out += static_cast<wchar_t>(c);
    }
  }
  return out;
}

const char* StatusName(FileStatus status) {
  switch (status) {
    case FileStatus::Ok:
      return "ok";
    case FileStatus::Missing:
      return "missing";
    case FileStatus::Damaged:
      return "damaged";
  }
  return "damaged";
}

namespace {

void DetailsToJson(const ContactDetails& details, Json& record) {
  Json phones = Json::array();
  for (const Phone& phone : details.phones)
    phones.push_back({{"label", ToUtf8(phone.label)}, {"number", ToUtf8(phone.number)}});
  Json emails = Json::array();
  for (const EmailAddress& email : details.emails)
    emails.push_back({{"label", ToUtf8(email.label)}, {"address", ToUtf8(email.address)}});
  Json dates = Json::array();
  for (const ImportantDate& date : details.dates)
    dates.push_back({{"label", ToUtf8(date.label)}, {"month", date.month}, {"day", date.day}, {"year", date.year}});
  Json kept = Json::array();
  for (const KeptProperty& property : details.kept) {
    if (property.column.empty())
      kept.push_back({{"line", ToUtf8(property.text)}});
    else
      kept.push_back({{"column", ToUtf8(property.column)}, {"value", ToUtf8(property.text)}});
  }
  record["phones"] = std::move(phones);
  record["emails"] = std::move(emails);
  record["dates"] = std::move(dates);
  record["kept"] = std::move(kept);
}

}  // namespace

Json ToJson(const DataSet& data) {
  Json groups = Json::object();
  groups["status"] = StatusName(data.groupsStatus);
  groups["lastId"] = data.groups.lastId;
  groups["items"] = Json::array();
  for (const auto& group : data.groups.items) {
    groups["items"].push_back({{"id", group->id},
                               {"name", ToUtf8(group->name)},
                               {"imagePath", ToUtf8(group->imagePath)},
                               {"unit", static_cast<std::int32_t>(group->unit)},
                               {"count", group->count}});
  }
  Json contacts = Json::object();
  contacts["status"] = StatusName(data.contactsStatus);
  contacts["lastId"] = data.contacts.lastId;
  contacts["items"] = Json::array();
  for (const auto& contact : data.contacts.items) {
    contacts["items"].push_back({{"id", contact->id},
                                 {"name", ToUtf8(contact->name)},
                                 {"imagePath", ToUtf8(contact->imagePath)},
                                 {"unit", static_cast<std::int32_t>(contact->unit)},
                                 {"count", contact->count},
                                 {"lastContacted", contact->lastContacted},
                                 {"previousContacted", contact->previousContacted},
                                 {"notes", ToUtf8(contact->notes)},
                                 {"groupId", contact->groupId}});
  }
  const Options& o = data.options;
  Json options = {{"status", StatusName(data.optionsStatus)},
                  {"autoStart", o.autoStart},
                  {"warnPercent", o.warnPercent},
                  {"warnDays", o.warnDays},
                  {"showLastContacted", o.showLastContacted},
                  {"windowX", o.windowX},
                  {"windowY", o.windowY},
                  {"windowWidth", o.windowWidth},
                  {"windowHeight", o.windowHeight},
                  {"minimizeToTray", o.minimizeToTray}};
  Json journal = Json::object();
  journal["status"] = StatusName(data.journalStatus);
  journal["contacts"] = Json::array();
  for (const auto& [id, history] : data.journal.contacts) {
    Json entries = Json::array();
    for (const JournalEntry& entry : history.entries)
      entries.push_back({{"time", entry.time}, {"text", ToUtf8(entry.text)}});
    Json record = {{"id", id}, {"snoozedUntil", history.snoozedUntil}, {"entries", entries}};
    DetailsToJson(history.details, record);
    if (history.card.Linked() || !history.card.uid.empty()) record["card"] = CardLinkToJson(history.card);
    journal["contacts"].push_back(std::move(record));
  }
  const ReminderSettings& reminders = data.journal.state.reminders;
  Json datesNamed = Json::array();
  for (const std::wstring& key : reminders.datesNamed) datesNamed.push_back(ToUtf8(key));
  journal["reminders"] = {{"enabled", reminders.enabled},
                          {"at", reminders.at},
                          {"lastRemindedDay", ToUtf8(reminders.lastRemindedDay)},
                          {"dateLeadDays", reminders.dateLeadDays},
                          {"datesNamed", datesNamed}};
  if (!data.journal.state.sync.Empty()) journal["sync"] = SyncAccountToJson(data.journal.state.sync);
  return Json{{"groups", groups}, {"contacts", contacts}, {"options", options}, {"journal", journal}};
}

namespace {

// A list member that may be left out: an empty array then.
const Json& Optional(const Json& object, const std::string& where, const char* key) {
  static const Json kEmpty = Json::array();
  if (!object.contains(key)) return kEmpty;
  const Json& list = object[key];
  if (!list.is_array()) throw BadInput(Place(where, key) + ": expected an array");
  return list;
}

std::wstring Bounded(const Json& object, const std::string& where, const char* key) {
  std::wstring text = Text(object, where, key);
  if (text.size() > ContactDetails::kMaxTextLength)
    throw BadInput(Place(where, key) + ": longer than " + std::to_string(ContactDetails::kMaxTextLength) +
                   " characters");
  return text;
}

ContactDetails DetailsFromJson(const Json& record, const std::string& where) {
  ContactDetails details;
  const auto list = [&](const char* key) -> const Json& {
    const Json& items = Optional(record, where, key);
    if (std::string(key) != "kept" && items.size() > ContactDetails::kMaxItems)
      throw BadInput(Place(where, key) + ": more than " + std::to_string(ContactDetails::kMaxItems));
    return items;
  };
  const auto at = [&](const char* key, std::size_t i) { return Place(where, key) + "[" + std::to_string(i) + "]"; };
  const Json& phones = list("phones");
  for (std::size_t i = 0; i < phones.size(); ++i)
    details.phones.push_back(
        {Bounded(phones[i], at("phones", i), "label"), Bounded(phones[i], at("phones", i), "number")});
  const Json& emails = list("emails");
  for (std::size_t i = 0; i < emails.size(); ++i)
    details.emails.push_back(
        {Bounded(emails[i], at("emails", i), "label"), Bounded(emails[i], at("emails", i), "address")});
  const Json& dates = list("dates");
  bool birthday = false;
  for (std::size_t i = 0; i < dates.size(); ++i) {
    const std::string place = at("dates", i);
    ImportantDate date;
    date.label = Bounded(dates[i], place, "label");
    date.month = static_cast<std::int32_t>(Integer(dates[i], place, "month", 1, 12));
    date.day = static_cast<std::int32_t>(Integer(dates[i], place, "day", 1, 31));
    date.year = static_cast<std::int32_t>(Integer(dates[i], place, "year", 0, 9999));
    if (!IsValidDate(date.day, date.month, date.year)) throw BadInput(place + ": no such day");
    if (date.label == kBirthdayLabel && std::exchange(birthday, true)) throw BadInput(place + ": a second birthday");
    details.dates.push_back(std::move(date));
  }
  const Json& kept = list("kept");
  std::size_t chars = 0;
  for (std::size_t i = 0; i < kept.size(); ++i) {
    const std::string place = at("kept", i);
    KeptProperty property;
    if (kept[i].is_object() && kept[i].contains("line")) {
      property.text = Text(kept[i], place, "line");
    } else {
      property.column = Text(kept[i], place, "column");
      property.text = Text(kept[i], place, "value");
      if (property.column.empty()) throw BadInput(place + ".column: empty (a vCard line is {\"line\": ...})");
    }
    chars += property.column.size() + property.text.size();
    if (chars > ContactDetails::kMaxKeptChars) throw BadInput(place + ": the kept properties pass 64 KB");
    details.kept.push_back(std::move(property));
  }
  return details;
}

// Without the member the settings are the defaults, as for a journal written
// before there were any.
ReminderSettings RemindersFromJson(const Json& section) {
  ReminderSettings reminders;
  if (!section.contains("reminders")) return reminders;
  const Json& item = section["reminders"];
  const std::string where = "journal.reminders";
  reminders.enabled = Bool(item, where, "enabled");
  reminders.at = static_cast<std::int32_t>(Integer(item, where, "at", 0, ReminderSettings::kMinutesPerDay - 1));
  reminders.lastRemindedDay = Text(item, where, "lastRemindedDay");
  if (!reminders.lastRemindedDay.empty() && !IsCalendarDay(reminders.lastRemindedDay))
    throw BadInput(where + ".lastRemindedDay: expected a date YYYY-MM-DD or \"\"");
  if (item.contains("dateLeadDays"))
    reminders.dateLeadDays = static_cast<std::int32_t>(
        Integer(item, where, "dateLeadDays", 0, ReminderSettings::kMaxDateLeadDays));
  // Refused where loading would drop them, so what is written is what a dump shows.
  const Json& named = Optional(item, where, "datesNamed");
  if (named.size() > ReminderSettings::kMaxDatesNamed)
    throw BadInput(where + ".datesNamed: more than " + std::to_string(ReminderSettings::kMaxDatesNamed));
  for (std::size_t i = 0; i < named.size(); ++i) {
    const std::string at = where + ".datesNamed[" + std::to_string(i) + "]";
    if (!named[i].is_string()) throw BadInput(at + ": expected a string");
    std::wstring key = FromUtf8(named[i].get<std::string>());
    if (key.size() > ReminderSettings::kMaxDateKeyLength)
      throw BadInput(at + ": longer than " + std::to_string(ReminderSettings::kMaxDateKeyLength) + " characters");
    reminders.datesNamed.insert(std::move(key));
  }
  return reminders;
}

void JournalFromJson(const Json& section, Journal& journal) {
  const Json& contacts = Field(section, "journal", "contacts");
  if (!contacts.is_array()) throw BadInput("journal.contacts: expected an array");
  journal.contacts.clear();
  journal.state.reminders = RemindersFromJson(section);
  journal.state.sync = section.contains("sync") ? SyncAccountFromJson(section["sync"], "journal.sync") : SyncAccount{};
  for (std::size_t i = 0; i < contacts.size(); ++i) {
    const std::string where = "journal.contacts[" + std::to_string(i) + "]";
    const Json& item = contacts[i];
    const std::int32_t id = Int32(item, where, "id");
    if (journal.Find(id)) throw BadInput(where + ".id: the contact is listed twice");
    const std::int64_t snoozedUntil = Int64(item, where, "snoozedUntil");
    const Json& entries = Field(item, where, "entries");
    if (!entries.is_array()) throw BadInput(where + ".entries: expected an array");
    ContactHistory& history = journal.contacts[id];
    history.snoozedUntil = snoozedUntil;
    if (item.contains("card")) history.card = CardLinkFromJson(item["card"], where + ".card");
    for (std::size_t k = 0; k < entries.size(); ++k) {
      const std::string at = where + ".entries[" + std::to_string(k) + "]";
      const std::int64_t time = Int64(entries[k], at, "time");
      std::wstring text = Text(entries[k], at, "text");
      if (text.size() > Journal::kMaxTextLength) throw BadInput(at + ".text: longer than 200 characters");
      if (!history.entries.empty() && time > history.entries.back().time)
        throw BadInput(at + ".time: entries go newest first");
      history.entries.push_back(JournalEntry{time, std::move(text)});
    }
    history.details = DetailsFromJson(item, where);
  }
  journal.Touch();
}

}  // namespace

void FromJson(const Json& document, DataSet& data) {
  const Json& groups = Field(document, "", "groups");
  data.groups.lastId = Int32(groups, "groups", "lastId");
  data.groups.items.clear();
  const Json& groupItems = Items(groups, "groups");
  for (std::size_t i = 0; i < groupItems.size(); ++i) {
    const std::string where = "groups.items[" + std::to_string(i) + "]";
    const Json& item = groupItems[i];
    // One field after the other, so that the first bad one is the one reported.
    const std::int32_t id = Int32(item, where, "id");
    std::wstring name = Text(item, where, "name");
    std::wstring imagePath = Text(item, where, "imagePath");
    const std::int32_t unit = Int32(item, where, "unit");
    const std::int32_t count = Int32(item, where, "count");
    data.groups.items.emplace_back(
        new Group(id, std::move(name), std::move(imagePath), static_cast<IntervalUnit>(unit), count));
  }

  const Json& contacts = Field(document, "", "contacts");
  data.contacts.lastId = Int32(contacts, "contacts", "lastId");
  data.contacts.items.clear();
  const Json& contactItems = Items(contacts, "contacts");
  for (std::size_t i = 0; i < contactItems.size(); ++i) {
    const std::string where = "contacts.items[" + std::to_string(i) + "]";
    const Json& item = contactItems[i];
    const std::int32_t id = Int32(item, where, "id");
    std::wstring name = Text(item, where, "name");
    std::wstring imagePath = Text(item, where, "imagePath");
    const std::int32_t unit = Int32(item, where, "unit");
    const std::int32_t count = Int32(item, where, "count");
    const std::int64_t lastContacted = Int64(item, where, "lastContacted");
    const std::int64_t previousContacted = Int64(item, where, "previousContacted");
    std::wstring notes = Text(item, where, "notes");
    const std::int32_t groupId = Int32(item, where, "groupId");
    boost::shared_ptr<Contact> contact(new Contact(id, std::move(name), std::move(imagePath),
                                                   static_cast<IntervalUnit>(unit), count, lastContacted,
                                                   std::move(notes), groupId));
    contact->previousContacted = previousContacted;
    data.contacts.items.push_back(contact);
  }

  const Json& options = Field(document, "", "options");
  Options& o = data.options;
  o.autoStart = Bool(options, "options", "autoStart");
  o.warnPercent = Int32(options, "options", "warnPercent");
  o.warnDays = Int32(options, "options", "warnDays");
  o.showLastContacted = Bool(options, "options", "showLastContacted");
  o.windowX = Int32(options, "options", "windowX");
  o.windowY = Int32(options, "options", "windowY");
  o.windowWidth = Int32(options, "options", "windowWidth");
  o.windowHeight = Int32(options, "options", "windowHeight");
  o.minimizeToTray = Bool(options, "options", "minimizeToTray");

  data.hasJournal = document.is_object() && document.contains("journal");
  if (data.hasJournal) JournalFromJson(document["journal"], data.journal);
}

}  // namespace datatool
