// Reading the CSV exports of the online address book, of the desktop mail
// program in four languages, and our own.
#include <gtest/gtest.h>

#include <string>

#include "interchange/csv_reader.h"
#include "interchange/text_decoding.h"

namespace interchange {
namespace {

bool HasKept(const Person& person, const std::wstring& column, const std::wstring& value) {
  for (const KeptProperty& kept : person.details.kept)
    if (kept.column == column && kept.text == value) return true;
  return false;
}

using Phones = std::vector<Phone>;
using Emails = std::vector<EmailAddress>;
using Dates = std::vector<ImportantDate>;

std::string Utf16Le(const std::wstring& text) {
  std::string bytes = "\xFF\xFE";
  for (const wchar_t c : text) {
    bytes += static_cast<char>(c & 0xFF);
    bytes += static_cast<char>((c >> 8) & 0xFF);
  }
  return bytes;
}

TEST(CsvReading, OnlineAddressBookOldAndNewHeaders) {
  const std::string old =
      "Name,Given Name,Additional Name,Family Name,Birthday,Notes,Group Membership,E-mail 1 - Type,E-mail 1 - Value,"
      "Phone 1 - Type,Phone 1 - Value,Organization 1 - Name,Organization 1 - Title\r\n"
      "Ann Lee,Ann,,Lee,1980-05-12,\"Met in Rome, 2019\r\nLikes \"\"jazz\"\"\",* myContacts ::: Friends ::: Work,"
      "* Home,ann@example.org,Mobile,+1 555 0100 ::: +1 555 0101,Acme,Engineer\r\n"
      ",Bob,,Stone,--07-01,,* myContacts\r\n";  // a row with fewer fields than the header
  ReadResult result = ReadCsv(old, L"google.csv");
  ASSERT_TRUE(result.error.empty());
  ASSERT_EQ(result.people.size(), 2u);
  const Person& ann = result.people[0];
  EXPECT_EQ(ann.name, L"Ann Lee");
  EXPECT_EQ(ann.notes, L"Met in Rome, 2019\nLikes \"jazz\"");
  EXPECT_EQ(ann.group, L"Friends");  // "* myContacts" is the address book's own label
  EXPECT_EQ(ann.details.phones, (Phones{{L"mobile", L"+1 555 0100"}, {L"mobile", L"+1 555 0101"}}));
  EXPECT_EQ(ann.details.emails, (Emails{{L"home", L"ann@example.org"}}));
  EXPECT_EQ(ann.details.dates, (Dates{{L"birthday", 5, 12, 1980}}));
  EXPECT_TRUE(HasKept(ann, L"Organization 1 - Name", L"Acme"));
  EXPECT_TRUE(HasKept(ann, L"Organization 1 - Title", L"Engineer"));
  EXPECT_TRUE(ann.extras.empty());
  EXPECT_EQ(ann.line, 2);
  EXPECT_EQ(result.people[1].name, L"Bob Stone");
  EXPECT_EQ(result.people[1].group, L"");
  EXPECT_EQ(result.people[1].details.dates, (Dates{{L"birthday", 7, 1, 0}}));
  EXPECT_EQ(result.people[1].line, 4);  // the quoted line break counts

  const std::string fresh =
      "\xEF\xBB\xBF"
      "First Name,Middle Name,Last Name,Organization Name,Labels,E-mail 1 - Label,E-mail 1 - Value\n"
      "Kim,J.,Park,,* starred ::: Family,Home,kim@example.org,extra,fields\n";
  result = ReadCsv(fresh, L"contacts.csv");
  ASSERT_EQ(result.people.size(), 1u);
  EXPECT_EQ(result.people[0].name, L"Kim J. Park");
  EXPECT_EQ(result.people[0].group, L"Family");
  EXPECT_EQ(result.people[0].details.emails, (Emails{{L"home", L"kim@example.org"}}));
}

TEST(CsvReading, DesktopMailProgramInFourLanguages) {
  const std::string english =
      "Title,First Name,Middle Name,Last Name,Company,Job Title,Business Phone,Mobile Phone,E-mail Address,"
      "Birthday,Notes,Categories\r\n"
      "Mr.,John,,Smith,Acme,Boss,+44 20 7946 0000,,john@acme.example,5/12/1980,Golf on Sundays,Work;Golf\r\n";
  ReadResult result = ReadCsv(english, L"en.csv");
  ASSERT_EQ(result.people.size(), 1u);
  EXPECT_EQ(result.people[0].name, L"John Smith");
  EXPECT_EQ(result.people[0].group, L"Work");
  EXPECT_EQ(result.people[0].notes, L"Golf on Sundays");
  EXPECT_EQ(result.people[0].details.dates, (Dates{{L"birthday", 5, 12, 1980}}));
  EXPECT_EQ(result.people[0].details.phones, (Phones{{L"work", L"+44 20 7946 0000"}}));
  EXPECT_EQ(result.people[0].details.emails, (Emails{{L"other", L"john@acme.example"}}));
  EXPECT_TRUE(HasKept(result.people[0], L"Job Title", L"Boss"));
  EXPECT_TRUE(HasKept(result.people[0], L"Title", L"Mr."));

  // German in the Windows code page, separated by semicolons as German spreadsheets save it.
  const std::string german =
      "Anrede;Vorname;Weitere Vornamen;Nachname;Firma;Mobiltelefon;E-Mail-Adresse;Geburtstag;Notizen;Kategorien\r\n"
      ";J\xFCrgen;;M\xFCller;;0170 1234567;jm@example.de;12.05.1980;Gr\xFC\xDF"
      "e;Familie\r\n";
  result = ReadCsv(german, L"de.csv");
  ASSERT_EQ(result.people.size(), 1u);
  EXPECT_EQ(result.people[0].name, L"J\u00FCrgen M\u00FCller");
  EXPECT_EQ(result.people[0].notes,
            L"Gr\u00FC\u00DF"
            L"e");
  EXPECT_EQ(result.people[0].group, L"Familie");
  EXPECT_EQ(result.people[0].details.dates, (Dates{{L"birthday", 5, 12, 1980}}));
  EXPECT_EQ(result.people[0].details.phones, (Phones{{L"mobile", L"0170 1234567"}}));

  const std::wstring french =
      L"Pr\u00E9nom,Deuxi\u00E8me pr\u00E9nom,Nom,Soci\u00E9t\u00E9,T\u00E9l. mobile,Adresse de messagerie,"
      L"Anniversaire,Notes,Cat\u00E9gories\r\n"
      L"Am\u00E9lie,,Dupont,,06 12 34 56 78,amelie@example.fr,05/12/1980,Caf\u00E9,Amis\r\n";
  result = ReadCsv(Utf16Le(french), L"fr.csv");
  ASSERT_EQ(result.people.size(), 1u);
  EXPECT_EQ(result.people[0].name, L"Am\u00E9lie Dupont");
  EXPECT_EQ(result.people[0].group, L"Amis");
  // Day first outside English.
  EXPECT_EQ(result.people[0].details.dates, (Dates{{L"birthday", 12, 5, 1980}}));
  EXPECT_EQ(result.people[0].details.emails, (Emails{{L"other", L"amelie@example.fr"}}));

  const std::wstring spanish =
      L"Nombre,Segundo nombre,Apellidos,Tel\u00E9fono m\u00F3vil,Direcci\u00F3n de correo electr\u00F3nico,"
      L"Cumplea\u00F1os,Notas,Categor\u00EDas\r\n"
      L"Jos\u00E9,Luis,Garc\u00EDa,600 123 456,jose@example.es,0/0/00,Vecino,Vecinos;Amigos\r\n";
  result = ReadCsv("\xEF\xBB\xBF" + EncodeUtf8(spanish), L"es.csv");
  ASSERT_EQ(result.people.size(), 1u);
  EXPECT_EQ(result.people[0].name, L"Jos\u00E9 Luis Garc\u00EDa");
  EXPECT_EQ(result.people[0].notes, L"Vecino");
  EXPECT_EQ(result.people[0].group, L"Vecinos");
  EXPECT_TRUE(result.people[0].details.dates.empty()) << "the zero date means none";
  EXPECT_TRUE(result.people[0].details.kept.empty());
}

TEST(CsvReading, OurOwnColumnsGiveBackIntervalsAndTimes) {
  const std::string ours =
      "\xEF\xBB\xBFName,Group,Every,Unit,Last contacted,Previous contacted,Status,Days left,Notes,Picture\r\n"
      "Ann Lee,Friends,2,weeks,2024-05-12T16:30:00+02:00,2024-05-01T08:00:00Z,Overdue,-3,\"a\nb\",/no/such.png\r\n"
      "Bob,,x,days,garbage,,,,,\r\n";
  const ReadResult result = ReadCsv(ours, L"ours.csv");
  ASSERT_EQ(result.people.size(), 2u);
  const Person& ann = result.people[0];
  ASSERT_TRUE(ann.unit && ann.count && ann.lastContacted && ann.previousContacted);
  EXPECT_EQ(*ann.unit, Weeks);
  EXPECT_EQ(*ann.count, 2);
  EXPECT_EQ(*ann.lastContacted, 1715524200);
  EXPECT_EQ(*ann.previousContacted, 1714550400);
  EXPECT_EQ(ann.group, L"Friends");
  EXPECT_EQ(ann.notes, L"a\nb");
  EXPECT_EQ(ann.picturePath, L"/no/such.png");
  EXPECT_FALSE(result.people[1].unit.has_value());  // an unreadable interval is no interval
  EXPECT_FALSE(result.people[1].lastContacted.has_value());
}

TEST(CsvReading, UnknownHeadersAndDamagedRows) {
  const ReadResult refused = ReadCsv("Foo,Bar\r\n1,2\r\n", L"odd.csv");
  EXPECT_TRUE(refused.people.empty());
  EXPECT_NE(refused.error.find(L"\"First Name\""), std::wstring::npos);
  EXPECT_NE(refused.error.find(L"\"Given Name\""), std::wstring::npos);
  EXPECT_FALSE(ReadCsv("", L"empty.csv").error.empty());

  const ReadResult damaged = ReadCsv(
      "First Name,Last Name,Notes\r\n"
      ",,no name here\r\n"
      "\r\n"
      "Ann,Lee,\"never closed\r\nstill going",
      L"cut.csv");
  ASSERT_EQ(damaged.people.size(), 1u);
  EXPECT_EQ(damaged.people[0].notes, L"never closed\nstill going");
  ASSERT_EQ(damaged.problems.size(), 2u);
  EXPECT_EQ(damaged.problems[0].line, 2);
  EXPECT_EQ(damaged.problems[1].line, 4);
  EXPECT_EQ(damaged.problems[1].file, L"cut.csv");
}

}  // namespace
}  // namespace interchange
