// Phones, e-mail addresses, dates and kept properties through vCard and CSV,
// both ways, and the import's duplicate mark by them.
#include <gtest/gtest.h>

#include <string>

#include "interchange/csv_reader.h"
#include "interchange/csv_writer.h"
#include "interchange/import_plan.h"
#include "interchange/notes_text.h"
#include "interchange/text_decoding.h"
#include "interchange/vcard_reader.h"
#include "interchange/vcard_writer.h"
#include "tests/common/archive_files.h"

namespace interchange {
namespace {

using Phones = std::vector<Phone>;
using Emails = std::vector<EmailAddress>;
using Dates = std::vector<ImportantDate>;
using Kept = std::vector<KeptProperty>;

struct Expected {
  Phones phones;
  Emails emails;
  Dates dates;
  Kept kept;
};

void ExpectDetails(const Person& person, const Expected& expected, const std::string& input) {
  SCOPED_TRACE(input);
  EXPECT_EQ(person.details.phones, expected.phones);
  EXPECT_EQ(person.details.emails, expected.emails);
  EXPECT_EQ(person.details.dates, expected.dates);
  EXPECT_EQ(person.details.kept, expected.kept);
  EXPECT_TRUE(person.extras.empty());
}

TEST(VCardDetails, EveryFormOfPhonesAddressesDatesAndKeptLines) {
  struct Case {
    std::string version;
    std::string lines;
    Expected expected;
  };
  const Case cases[] = {
      {"2.1",
       "TEL;HOME;VOICE:030 1234\r\nTEL;CELL;PREF:0170 99\r\nTEL;FAX:030 55\r\n",
       {{{L"mobile", L"0170 99"}, {L"home", L"030 1234"}, {L"fax", L"030 55"}}, {}, {}, {}}},
      {"3.0",
       "TEL;TYPE=WORK,VOICE:+1 555\r\nTEL;TYPE=cell,pref:+49 170\r\nTEL:112233\r\n",
       {{{L"mobile", L"+49 170"}, {L"work", L"+1 555"}, {L"other", L"112233"}}, {}, {}, {}}},
      {"4.0",
       "TEL;VALUE=uri;TYPE=\"voice,home\":tel:+49-30-1234;ext=56\r\nTEL;PREF=1;VALUE=uri:tel:+1-555\r\n",
       {{{L"other", L"+1 555"}, {L"home", L"+49 30 1234 ext. 56"}}, {}, {}, {}}},
      {"3.0",
       "EMAIL;TYPE=INTERNET,WORK:a@work.example\r\nEMAIL;TYPE=INTERNET,HOME,pref:a@home.example\r\n"
       "EMAIL;PREF=1:mailto:b@x.example\r\n",
       {{}, {{L"home", L"a@home.example"}, {L"other", L"b@x.example"}, {L"work", L"a@work.example"}}, {}, {}}},
      // Apple's groups: the label comes before or after its property.
      {"3.0",
       "item1.TEL:+1 999\r\nitem1.X-ABLabel:_$!<Mobile>!$_\r\nitem2.X-ABLabel:Boat\r\nitem2.TEL:+1 888\r\n"
       "item3.X-ABDATE;type=pref:2010-06-01\r\nitem3.X-ABLabel:_$!<Anniversary>!$_\r\n"
       "item4.X-ABDATE:--12-09\r\nitem4.X-ABLabel:name day\r\nitem5.X-ABDATE:1999-01-02\r\n"
       "item5.X-ABLabel:_$!<Other>!$_\r\n"
       "item6.URL:https://example.org\r\nitem6.X-ABLabel:_$!<HomePage>!$_\r\n",
       {{{L"mobile", L"+1 999"}, {L"Boat", L"+1 888"}},
        {},
        {{L"anniversary", 6, 1, 2010}, {L"name day", 12, 9, 0}, {L"Other", 1, 2, 1999}},
        {{L"", L"item6.URL:https://example.org"}, {L"", L"item6.X-ABLabel:_$!<HomePage>!$_"}}}},
      {"4.0",
       "BDAY:19800512\r\nANNIVERSARY:20100601T120000Z\r\n",
       {{}, {}, {{L"birthday", 5, 12, 1980}, {L"anniversary", 6, 1, 2010}}, {}}},
      {"4.0", "BDAY:--0229\r\n", {{}, {}, {{L"birthday", 2, 29, 0}}, {}}},
      {"3.0",
       "BDAY;VALUE=date:1980-05-12T00:00:00\r\nX-ANNIVERSARY:--06-01\r\n",
       {{}, {}, {{L"birthday", 5, 12, 1980}, {L"anniversary", 6, 1, 0}}, {}}},
      {"4.0", "BDAY;VALUE=text:1980-05-12\r\n", {{}, {}, {{L"birthday", 5, 12, 1980}}, {}}},
      {"3.0", "BDAY;X-APPLE-OMIT-YEAR=1604:1604-05-12\r\n", {{}, {}, {{L"birthday", 5, 12, 0}}, {}}},
      // Text that is no date, and a date that cannot be, stay as written.
      {"4.0",
       "BDAY;VALUE=text:circa 1800\r\nANNIVERSARY:20230229\r\n",
       {{}, {}, {}, {{L"", L"BDAY;VALUE=text:circa 1800"}, {L"", L"ANNIVERSARY:20230229"}}}},
      {"3.0",
       "ADR;TYPE=home:;;Main St 1;Oslo;;0150;Norway\r\nNICKNAME:Annie\r\nORG:Acme;Sales\r\nGEO:geo:59.9,10.7\r\n"
       "IMPP:xmpp:anna@example.org\r\nX-SOCIALPROFILE;type=twitter:x\r\nUID:1234\r\nURL:https://e\r\n"
       " xample.org/long\r\nRELATED;TYPE=spouse:text:Bert\r\n",
       {{},
        {},
        {},
        {{L"", L"ADR;TYPE=home:;;Main St 1;Oslo;;0150;Norway"},
         {L"", L"NICKNAME:Annie"},
         {L"", L"ORG:Acme;Sales"},
         {L"", L"GEO:geo:59.9,10.7"},
         {L"", L"IMPP:xmpp:anna@example.org"},
         {L"", L"X-SOCIALPROFILE;type=twitter:x"},
         {L"", L"UID:1234"},
         {L"", L"URL:https://example.org/long"},
         {L"", L"RELATED;TYPE=spouse:text:Bert"}}}},
  };
  for (const Case& c : cases) {
    const std::string file = "BEGIN:VCARD\r\nVERSION:" + c.version + "\r\nFN:Anna\r\n" + c.lines +
                             "NOTE:only this\r\nREV:20240101T000000Z\r\nEND:VCARD\r\n";
    const ReadResult result = ReadVCards(file, L"in.vcf");
    ASSERT_EQ(result.people.size(), 1u) << c.lines;
    EXPECT_TRUE(result.problems.empty()) << c.lines;
    EXPECT_EQ(result.people[0].notes, L"only this");
    ExpectDetails(result.people[0], c.expected, c.lines);
  }

  // Past 64 KB of kept lines the rest is left out and said so.
  std::string big = "BEGIN:VCARD\r\nVERSION:4.0\r\nFN:Big\r\n";
  for (int i = 0; i < 70; ++i) big += "X-BLOB:" + std::string(1000, 'b') + "\r\n";
  big += "END:VCARD\r\n";
  const ReadResult result = ReadVCards(big, L"big.vcf");
  ASSERT_EQ(result.people.size(), 1u);
  EXPECT_EQ(result.people[0].details.kept.size(), 65u);
  ASSERT_EQ(result.problems.size(), 1u);
  EXPECT_EQ(result.problems[0].why,
            L"5 other properties of this entry did not fit in the 64 KB kept for each contact and were left out.");
}

TEST(CsvDetails, TheAddressBookAndMailProgramColumnsAndKeptCells) {
  struct Case {
    std::wstring header;
    std::wstring row;
    Expected expected;
  };
  const Case cases[] = {
      {L"Name,Phone 1 - Type,Phone 1 - Value,Phone 2 - Type,Phone 2 - Value",
       L"Ann,Work,+1 555,* Mobile,+49 170 ::: +49 171",
       {{{L"mobile", L"+49 170"}, {L"mobile", L"+49 171"}, {L"work", L"+1 555"}}, {}, {}, {}}},
      {L"Name,E-mail 1 - Type,E-mail 1 - Value,E-mail 2 - Label,E-mail 2 - Value",
       L"Ann,Home,a@home.example,Uni,a@uni.example",
       {{}, {{L"home", L"a@home.example"}, {L"Uni", L"a@uni.example"}}, {}, {}}},
      {L"Name,Birthday,Event 1 - Type,Event 1 - Value,Event 2 - Type,Event 2 - Value",
       L"Ann,--05-12,Anniversary,2010-06-01,Name day,--12-09",
       {{}, {}, {{L"birthday", 5, 12, 0}, {L"anniversary", 6, 1, 2010}, {L"Name day", 12, 9, 0}}, {}}},
      {L"Name,Birthday", L"Ann,someday", {{}, {}, {}, {{L"Birthday", L"someday"}}}},
      {L"First Name,Last Name,Home Phone,Mobile Phone,Other Phone,E-mail Address,E-mail 2 Address,Birthday,Anniversary",
       L"Ann,Berg,030 1,0170 2,040 3,a@x.example,b@x.example,5/12/1980,6/1/2010",
       {{{L"home", L"030 1"}, {L"mobile", L"0170 2"}, {L"other", L"040 3"}},
        {{L"other", L"a@x.example"}, {L"other", L"b@x.example"}},
        {{L"birthday", 5, 12, 1980}, {L"anniversary", 6, 1, 2010}},
        {}}},
      {L"Vorname;Nachname;Telefon gesch\u00E4ftlich;Geburtstag;Jahrestag;Stra\u00DFe privat",
       L"Ann;Berg;030 1;12.05.1980;01.06.2010;Hauptstr. 1",
       {{{L"work", L"030 1"}},
        {},
        {{L"birthday", 5, 12, 1980}, {L"anniversary", 6, 1, 2010}},
        {{L"Stra\u00DFe privat", L"Hauptstr. 1"}}}},
      {L"Pr\u00E9nom,Nom,T\u00E9l\u00E9phone domicile,Anniversaire,Anniversaire de mariage",
       L"Ann,Berg,01 2,05/12/1980,01/06/2010",
       {{{L"home", L"01 2"}}, {}, {{L"birthday", 12, 5, 1980}, {L"anniversary", 6, 1, 2010}}, {}}},
      {L"Nombre,Apellidos,Tel\u00E9fono del trabajo,Cumplea\u00F1os,Aniversario,Sitio web",
       L"Ann,Berg,91 2,12/05/1980,01/06/2010,https://example.es",
       {{{L"work", L"91 2"}},
        {},
        {{L"birthday", 5, 12, 1980}, {L"anniversary", 6, 1, 2010}},
        {{L"Sitio web", L"https://example.es"}}}},
      // Our own columns that are made again on export are not kept.
      {L"Name,Status,Days left,Website,Nickname",
       L"Ann,Overdue,-3,https://example.org,",
       {{}, {}, {}, {{L"Website", L"https://example.org"}}}},
  };
  for (const Case& c : cases) {
    const std::string file = EncodeUtf8(c.header + L"\r\n" + c.row + L"\r\n");
    const ReadResult result = ReadCsv(file, L"in.csv");
    ASSERT_EQ(result.people.size(), 1u) << file;
    EXPECT_TRUE(result.problems.empty()) << file;
    ExpectDetails(result.people[0], c.expected, file);
  }
}

ContactDetails Full() {
  ContactDetails details;
  details.phones = {
      {L"mobile", L"+49 170 1234567"}, {L"home", L"(030) 12.34 ext. 5"}, {L"Boat", L"+1 555"}, {L"other", L"112"}};
  details.emails = {{L"home", L"anna@example.org"}, {L"Uni", L"a,b@uni.example"}, {L"work", L"a@work.example"}};
  details.dates = {{L"birthday", 2, 29, 1980}, {L"anniversary", 6, 1, 0}, {L"moved to Oslo", 8, 15, 2001}};
  return details;
}

void ExpectRoundTrip(bool vcard) {
  testfiles::TempFolder target(L"target");
  Groups groups;
  groups.Add(L"Friends", L"", Days, 0);
  Contacts contacts;
  contacts.Add(L"Anna Berg", L"", Weeks, 2, 1715524200, L"", 1);
  contacts.Add(L"Bert Costa", L"", Weeks, 2, 1715524200, L"", 1);
  contacts.Add(L"Carla Dahl", L"", Weeks, 2, 1715524200, L"", 1);
  Journal journal;
  ContactDetails anna = Full();
  ContactDetails bert;
  bert.dates = {{L"birthday", 12, 24, 0}};
  if (vcard) {
    anna.kept = {{L"", L"ADR;TYPE=home:;;Main St 1;Oslo;;0150;Norway"},
                 {L"", L"item1.URL:https://example.org"},
                 {L"", L"item1.X-ABLabel:_$!<HomePage>!$_"},
                 {L"", L"NICKNAME:\u00C5sa " + std::wstring(100, L'x')}};
    bert.kept = {{L"", L"X-CUSTOM;X-P=1:value"}};
  } else {
    anna.kept = {{L"Website", L"https://example.org"}, {L"Nickname", L"\u00C5sa"}, {L"Website", L"https://2.example"}};
    bert.kept = {{L"Spouse", L"Dora"}};
  }
  journal.SetDetails(1, anna);
  journal.SetDetails(2, bert);
  ExportOptions options;
  options.now = 1750000000;
  options.journal = &journal;
  const std::string bytes = vcard ? WriteVCards(contacts, groups, options) : WriteCsv(contacts, groups, options);
  const ReadResult read = vcard ? ReadVCards(bytes, L"all.vcf") : ReadCsv(bytes, L"all.csv");
  ASSERT_TRUE(read.problems.empty());
  Groups newGroups;
  Contacts newContacts;
  Journal newJournal;
  const Plan plan = PlanImport(read.people, newGroups, newContacts, ImportOptions(), &newJournal);
  ApplyImport(plan, std::vector<bool>(plan.people.size(), true), newGroups, newContacts, target.path(), 1750000005,
              &newJournal);
  ASSERT_EQ(newContacts.items.size(), 3u);
  EXPECT_EQ(newJournal.Details(newContacts.items[0]->id), anna) << bytes;
  EXPECT_EQ(newJournal.Details(newContacts.items[1]->id), bert) << bytes;
  EXPECT_TRUE(newJournal.Details(newContacts.items[2]->id).Empty());
  EXPECT_EQ(NotesPlainText(newContacts.items[0]->notes), L"") << "nothing of the details goes into the notes";
}

TEST(DetailsRoundTrip, VCardGivesBackEveryFieldKeptLineAndDate) { ExpectRoundTrip(true); }

TEST(DetailsRoundTrip, CsvGivesBackEveryFieldKeptColumnAndDate) { ExpectRoundTrip(false); }

TEST(DetailsExport, TheFormsWritten) {
  Groups groups;
  Contacts contacts;
  contacts.Add(L"Anna Berg", L"", Weeks, 2, 1715524200, L"", -1);
  Journal journal;
  journal.SetDetails(1, Full());
  ExportOptions options;
  options.journal = &journal;
  const std::string vcf = WriteVCards(contacts, groups, options);
  for (const char* line :
       {"\r\nTEL;TYPE=cell;PREF=1;VALUE=uri:tel:+49-170-1234567\r\n",
        "\r\nTEL;TYPE=home;VALUE=uri:tel:(030)-12.34;ext=5\r\n",
        "\r\nitem1.TEL;VALUE=uri:tel:+1-555\r\nitem1.X-ABLabel:Boat\r\n", "\r\nTEL;VALUE=uri:tel:112\r\n",
        "\r\nEMAIL;TYPE=home;PREF=1:anna@example.org\r\n",
        "\r\nitem2.EMAIL:a\\,b@uni.example\r\nitem2.X-ABLabel:Uni\r\n", "\r\nBDAY:19800229\r\n",
        "\r\nANNIVERSARY:--0601\r\n", "\r\nitem3.X-ABDATE:20010815\r\nitem3.X-ABLabel:moved to Oslo\r\n"})
    EXPECT_NE(vcf.find(line), std::string::npos) << line << vcf;
  const std::string csv = WriteCsv(contacts, groups, options);
  EXPECT_NE(csv.find("Picture,Phone 1 - Type,Phone 1 - Value,Phone 2 - Type,Phone 2 - Value,Phone 3 - Type,Phone 3 - "
                     "Value,Phone 4 - Type,Phone 4 - Value,E-mail 1 - Type,E-mail 1 - Value,E-mail 2 - Type,E-mail 2 "
                     "- Value,E-mail 3 - Type,E-mail 3 - Value,Birthday,Event 1 - Type,Event 1 - Value,Event 2 - "
                     "Type,Event 2 - Value\r\n"),
            std::string::npos)
      << csv;
  // Cells a spreadsheet would run as formulas go behind an apostrophe, which reading takes off again.
  EXPECT_NE(csv.find(",Mobile,'+49 170 1234567,Home,(030) 12.34 ext. 5,Boat,'+1 555,Other,112,Home,anna@example.org,"
                     "Uni,\"a,b@uni.example\",Work,a@work.example,1980-02-29,Anniversary,'--06-01,moved to Oslo,"
                     "2001-08-15\r\n"),
            std::string::npos)
      << csv;
}

TEST(ImportPlan, AlreadyHereByAnAddressOrANumbersDigitsToo) {
  Groups groups;
  Contacts contacts;
  contacts.Add(L"Anna Berg", L"", Days, 1, 0, L"", -1);
  Journal journal;
  ContactDetails anna;
  anna.phones = {{L"mobile", L"+49 170 1234567"}};
  anna.emails = {{L"home", L"Anna@Example.org"}};
  journal.SetDetails(1, anna);
  struct Case {
    Phones phones;
    Emails emails;
    bool duplicate;
  };
  const Case cases[] = {
      {{}, {{L"work", L"anna@example.ORG"}}, true},
      {{{L"home", L"+49-170-123 4567"}}, {}, true},
      {{{L"home", L"0170 1234567"}}, {}, false},
      {{}, {{L"work", L"other@example.org"}}, false},
      {{{L"home", L"1234"}}, {}, false},
      {{{L"home", L"555 0100"}}, {}, false},
      {{{L"work", L"555-0100"}}, {}, true},  // the same as the person before it in the files
  };
  std::vector<Person> people;
  for (const Case& c : cases) {
    Person person;
    person.name = L"Someone " + std::to_wstring(people.size());
    person.details.phones = c.phones;
    person.details.emails = c.emails;
    people.push_back(person);
  }
  const Plan plan = PlanImport(people, groups, contacts, ImportOptions(), &journal);
  for (std::size_t i = 0; i < std::size(cases); ++i) EXPECT_EQ(plan.people[i].duplicate, cases[i].duplicate) << i;
  EXPECT_FALSE(PlanImport(people, groups, contacts, ImportOptions()).people[0].duplicate)
      << "without the journal, names only";
}

}  // namespace
}  // namespace interchange
