#pragma once
// How to reach a person and the days that matter to them, and whatever an
// imported card or row held that the program has no field for. Kept in
// journal.dat beside the contact's history, so the three original files keep
// their form.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

// The labels offered in the lists; the user may type any other text.
inline constexpr const wchar_t* kReachLabels[] = {L"mobile", L"home", L"work", L"other"};
inline constexpr wchar_t kBirthdayLabel[] = L"birthday";
inline constexpr wchar_t kAnniversaryLabel[] = L"anniversary";

struct Phone {
  std::wstring label;
  std::wstring number;  // as typed; compared by its digits and a leading +
  bool operator==(const Phone& other) const { return label == other.label && number == other.number; }
};

struct EmailAddress {
  std::wstring label;
  std::wstring address;
  bool operator==(const EmailAddress& other) const { return label == other.label && address == other.address; }
};

struct ImportantDate {
  std::wstring label;      // "birthday", "anniversary" or the user's own text
  std::int32_t month = 1;  // 1-12
  std::int32_t day = 1;    // 1-31, a day that exists in that month (29 February allowed)
  std::int32_t year = 0;   // 0: not known
  bool operator==(const ImportantDate& other) const {
    return label == other.label && month == other.month && day == other.day && year == other.year;
  }
};

// What an imported file held without a field of its own: a vCard property
// line (column empty, text the unfolded line as it stood, group prefix and
// parameters included) or a CSV cell (column its header, text its value).
struct KeptProperty {
  std::wstring column;
  std::wstring text;
  bool operator==(const KeptProperty& other) const { return column == other.column && text == other.text; }
};

struct ContactDetails {
  // Bounds on what one contact carries, so any file loads quickly.
  static constexpr std::size_t kMaxItems = 100;            // phones, addresses, dates: each
  static constexpr std::size_t kMaxTextLength = 256;       // a label, number or address
  static constexpr std::size_t kMaxKeptChars = 64 * 1024;  // all kept properties together

  std::vector<Phone> phones;         // the preferred ones first
  std::vector<EmailAddress> emails;  // the preferred ones first
  std::vector<ImportantDate> dates;  // at most one labelled "birthday"
  std::vector<KeptProperty> kept;

  bool Empty() const { return phones.empty() && emails.empty() && dates.empty() && kept.empty(); }
  bool operator==(const ContactDetails& other) const {
    return phones == other.phones && emails == other.emails && dates == other.dates && kept == other.kept;
  }
  bool operator!=(const ContactDetails& other) const { return !(*this == other); }
};

// Puts details within the bounds above, as loading and Journal::SetDetails do:
// at most kMaxItems of each list, every text cut to kMaxTextLength, kept
// properties only as long as they fit in kMaxKeptChars together (a kept line is
// written back verbatim or not at all), dates that cannot exist dropped, and
// only the first "birthday".
void BoundDetails(ContactDetails& details);
