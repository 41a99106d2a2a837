#include "interchange/vcard_properties.h"

#include <algorithm>
#include <cstdio>

#include "interchange/person_details.h"
#include "interchange/text_decoding.h"
#include "model/reach.h"

namespace interchange {

namespace {

constexpr std::size_t kFoldAt = 75;
constexpr int kOmittedYear = 1604;

// The TYPE word of a label we know; empty for "other" and the user's own.
const char* TypeWord(const std::wstring& label, bool phone) {
  if (label == L"mobile") return phone ? "cell" : nullptr;
  if (label == L"home") return "home";
  if (label == L"work") return "work";
  if (phone && label == L"fax") return "fax";
  if (phone && label == L"pager") return "pager";
  return nullptr;
}

// The highest N of the kept lines' "itemN." groups, so ours come after them.
int HighestItem(const ContactDetails& details) {
  int highest = 0;
  for (const KeptProperty& kept : details.kept) {
    if (!kept.column.empty() || kept.text.size() < 5) continue;
    const std::wstring head = kept.text.substr(0, 4);
    if (head != L"item" && head != L"ITEM" && head != L"Item") continue;
    int number = 0;
    for (std::size_t i = 4; i < kept.text.size() && kept.text[i] >= L'0' && kept.text[i] <= L'9' && number < 1000000;
         ++i)
      number = number * 10 + (kept.text[i] - L'0');
    highest = std::max(highest, number);
  }
  return highest;
}

// A phone or address: its TYPE when the label is one vCard knows, else an
// item group with the label beside it. The first of each kind is preferred,
// so the order survives.
template <class Item>
void Reach(std::string& out, const char* name, const Item& entry, const std::wstring& value, bool phone, bool first,
           bool version4, int& item) {
  std::string head = name;
  const char* type = TypeWord(entry.label, phone);
  const bool own = !type && entry.label != L"other" && !entry.label.empty();
  if (own) head = "item" + std::to_string(++item) + "." + head;
  if (version4) {
    if (type) head += std::string(";TYPE=") + type;
    if (first) head += ";PREF=1";
    if (phone) head += ";VALUE=uri";
  } else if (type || first) {
    head += ";TYPE=";
    if (type) head += type;
    if (first) head += type ? ",pref" : "pref";
  }
  AppendVCardLine(out, head + ":" + EncodeUtf8(value));
  if (own) AppendVCardLine(out, "item" + std::to_string(item) + ".X-ABLabel:" + EncodeUtf8(VCardEscaped(entry.label)));
}

void Date(std::string& out, std::string name, const ImportantDate& date, bool version4) {
  if (version4 || date.year > 0) {
    AppendVCardProperty(out, name, VCardDate(date));
    return;
  }
  ImportantDate dated = date;
  dated.year = kOmittedYear;
  AppendVCardProperty(out, name + ";X-APPLE-OMIT-YEAR=" + std::to_string(kOmittedYear), VCardDate(dated));
}

}  // namespace

std::wstring VCardEscaped(std::wstring_view text) {
  std::wstring out;
  out.reserve(text.size());
  for (std::size_t i = 0; i < text.size(); ++i) {
    const wchar_t c = text[i];
    if (c == L'\\' || c == L',' || c == L';') {
      out += L'\\';
      out += c;
    } else if (c == L'\r' || c == L'\n') {
      if (c == L'\r' && i + 1 < text.size() && text[i + 1] == L'\n') ++i;
      out += L"\\n";
    } else {
      out += c;
    }
  }
  return out;
}

std::vector<std::wstring> VCardComponents(std::wstring_view text, wchar_t separator) {
  std::vector<std::wstring> parts(1);
  for (std::size_t i = 0; i < text.size(); ++i) {
    const wchar_t c = text[i];
    if (c == L'\\' && i + 1 < text.size()) {
      const wchar_t next = text[++i];
      if (next == L'n' || next == L'N') {
        parts.back() += L'\n';
      } else if ((next >= L'a' && next <= L'z') || (next >= L'A' && next <= L'Z') || (next >= L'0' && next <= L'9')) {
        parts.back() += c;
        parts.back() += next;
      } else {
        parts.back() += next;  // \, \; \\ and the stray \: \" \' some writers produce
      }
    } else if (c == separator && separator != 0) {
      parts.emplace_back();
    } else {
      parts.back() += c;
    }
  }
  return parts;
}

void AppendVCardLine(std::string& out, std::string_view line) {
  std::size_t width = kFoldAt;
  while (line.size() > width) {
    std::size_t cut = width;
    while (cut > 1 && (static_cast<unsigned char>(line[cut]) & 0xC0) == 0x80) --cut;
    out.append(line.substr(0, cut));
    out += "\r\n ";
    line.remove_prefix(cut);
    width = kFoldAt - 1;
  }
  out.append(line);
  out += "\r\n";
}

void AppendVCardProperty(std::string& out, std::string_view name, std::wstring_view value) {
  AppendVCardLine(out, std::string(name) + ":" + EncodeUtf8(value));
}

void AppendVCardDetails(std::string& out, const ContactDetails& details, bool version4) {
  int item = HighestItem(details);
  for (std::size_t i = 0; i < details.phones.size(); ++i) {
    const std::wstring& number = details.phones[i].number;
    Reach(out, "TEL", details.phones[i], version4 ? TelUriWithSeparators(number) : VCardEscaped(number), true, i == 0,
          version4, item);
  }
  for (std::size_t i = 0; i < details.emails.size(); ++i)
    Reach(out, "EMAIL", details.emails[i], VCardEscaped(details.emails[i].address), false, i == 0, version4, item);
  for (const ImportantDate& date : details.dates) {
    if (date.label == kBirthdayLabel) {
      Date(out, "BDAY", date, version4);
    } else if (date.label == kAnniversaryLabel) {
      Date(out, version4 ? "ANNIVERSARY" : "X-ANNIVERSARY", date, version4);
    } else {
      const std::string group = "item" + std::to_string(++item);
      Date(out, group + ".X-ABDATE", date, version4);
      AppendVCardProperty(out, group + ".X-ABLabel", VCardEscaped(date.label));
    }
  }
}

void AppendVCardKept(std::string& out, const ContactDetails& details) {
  for (const KeptProperty& kept : details.kept)
    if (kept.column.empty() && !kept.text.empty()) AppendVCardLine(out, EncodeUtf8(kept.text));
}

}  // namespace interchange
